"""Worst errors of the local-frame, latitude and radius ufuncs against 200-bit mpmath
references.

Usage: python benchmarks/accuracy_geo.py [--n N] [--n-flat M] [--seed S]

WGS84, N random observers and targets (default 100 000), both from 10 km below to
5000 km above the surface, uniform over the sphere of directions, the targets within
10 000 km of their observer. Every input is a double and every reference is exact for
that double: the references of the inverse conversions are the generating point moved
by one Newton step to the rounded input (tests/support/geo_reference.py). The auxiliary
latitudes are measured on WGS84 at the N target latitudes and on other flattenings at M
latitudes (default 2000); the error of an inverse is (x - F(lat)) / F'(lat) at the
computed lat, with F and F' at 200 bits.
"""
import time

import mpmath as mp
import numpy as np

from quorvane.mathtools.ellipsoid import ufuncs as U
from shared import tests_support, whole_number_options

tests_support()
from support import geo_reference as G  # noqa: E402
from support.reference import RE, F, exact_pos  # noqa: E402

WGS84 = (RE, F)
mp.mp.prec = G.PREC


def sample(rng, n):
    """n observers and targets: (lat0, lon0, alt0), (lat, lon, alt), the targets
    within 10 000 km of their observers."""
    chosen = []
    while sum(c[0].shape[1] for c in chosen) < n:
        m = 2 * n
        obs = (np.arcsin(rng.uniform(-1, 1, m)), rng.uniform(-np.pi, np.pi, m), rng.uniform(-1e4, 5e6, m))
        tgt = (np.arcsin(rng.uniform(-1, 1, m)), rng.uniform(-np.pi, np.pi, m), rng.uniform(-1e4, 5e6, m))
        d = np.linalg.norm(np.stack(U.pos_from_lla(*tgt, *WGS84)) - np.stack(U.pos_from_lla(*obs, *WGS84)), axis=0)
        keep = d <= 1e7
        chosen.append(tuple(np.stack(c)[:, keep] for c in (obs, tgt)))
    obs = np.concatenate([c[0] for c in chosen], axis=1)[:, :n]
    tgt = np.concatenate([c[1] for c in chosen], axis=1)[:, :n]
    return obs, tgt


def rounded(values):
    return np.array([float(v) for v in values])


def angle_error(got, exact, wrap=False):
    d = abs(mp.mpf(float(got)) - exact)
    return float(min(d, 2 * mp.pi - d)) if wrap else float(d)


def vector_error(got, exact):
    return float(mp.sqrt(sum((mp.mpf(float(g)) - e) ** 2 for g, e in zip(got, exact))))


class Table:
    def __init__(self):
        self.rows = {}

    def add(self, conversion, output, unit, error):
        self.rows.setdefault((conversion, output, unit), []).append(error)

    def print(self, title):
        print(f"\n{title}")
        print(f"{'conversion':34s} {'output':14s} {'worst':>10s} {'median':>10s}  unit  (points)")
        for (conversion, output, unit), errors in self.rows.items():
            e = np.array(errors)
            e = e[~np.isnan(e)]
            if len(e) == 0:
                print(f"{conversion:34s} {output:14s} {'NaN':>10s} {'':>10s}  {unit:5s} (every result NaN)")
                continue
            print(f"{conversion:34s} {output:14s} {np.max(e):10.2e} {np.median(e):10.2e}  {unit:5s} ({len(e)})")
        self.rows = {}


def exact_aer(enu):
    e, n, u = enu
    az = mp.atan2(e, n)
    return (az + 2 * mp.pi if az < 0 else az), mp.atan2(u, mp.hypot(e, n)), mp.sqrt(e * e + n * n + u * u)


def exact_enu_of_aer(aer):
    az, el, rng = (mp.mpf(float(v)) for v in aer)
    return rng * mp.cos(el) * mp.sin(az), rng * mp.cos(el) * mp.cos(az), rng * mp.sin(el)


def local_frames(table, obs, tgt, rng):
    n = obs.shape[1]
    r = np.stack(U.pos_from_lla(*tgt, *WGS84))
    # Rounded inputs: positions from the exact forward map, ENU and AER of the
    # exact target, vectors at random.
    exact = []
    for k in range(n):
        po = exact_pos(*obs[:, k])
        axes = G.frame(*(mp.mpf(float(v)) for v in obs[:2, k]))
        pt = exact_pos(*tgt[:, k])
        exact.append((po, axes, pt))
        r[:, k] = rounded(pt)
    enu_l = np.array([[float(sum(a * (t - o) for a, t, o in zip(axis, pt, po))) for axis in axes]
                      for po, axes, pt in exact]).T
    aer_l = np.stack(U.aer_from_enu(*enu_l))
    vec = rng.uniform(-8000, 8000, (3, n))

    outputs = {
        "enu_from_pos": U.enu_from_pos(*r, *obs, *WGS84), "ned_from_pos": U.ned_from_pos(*r, *obs, *WGS84),
        "aer_from_pos": U.aer_from_pos(*r, *obs, *WGS84), "enu_from_lla": U.enu_from_lla(*tgt, *obs, *WGS84),
        "ned_from_lla": U.ned_from_lla(*tgt, *obs, *WGS84), "aer_from_lla": U.aer_from_lla(*tgt, *obs, *WGS84),
        "pos_from_enu": U.pos_from_enu(*enu_l, *obs, *WGS84),
        "pos_from_ned": U.pos_from_ned(enu_l[1], enu_l[0], -enu_l[2], *obs, *WGS84),
        "lla_from_enu": U.lla_from_enu(*enu_l, *obs, *WGS84),
        "lla_from_ned": U.lla_from_ned(enu_l[1], enu_l[0], -enu_l[2], *obs, *WGS84),
        "pos_from_aer": U.pos_from_aer(*aer_l, *obs, *WGS84), "lla_from_aer": U.lla_from_aer(*aer_l, *obs, *WGS84),
        "aer_from_enu": U.aer_from_enu(*enu_l), "enu_from_aer": U.enu_from_aer(*aer_l),
        "aer_from_ned": U.aer_from_ned(enu_l[1], enu_l[0], -enu_l[2]), "ned_from_aer": U.ned_from_aer(*aer_l),
        "enu_from_ecef_vector": U.enu_from_ecef_vector(*vec, *obs[:2]),
        "ned_from_ecef_vector": U.ned_from_ecef_vector(*vec, *obs[:2]),
        "ecef_vector_from_enu": U.ecef_vector_from_enu(*vec, *obs[:2]),
        "ecef_vector_from_ned": U.ecef_vector_from_ned(*vec, *obs[:2]),
    }
    got = {name: np.stack(v) for name, v in outputs.items()}

    def ned(v):
        return v[1], v[0], -v[2]

    def add_aer(name, k, aer):
        g = got[name][:, k]
        table.add(name, "az", "rad", angle_error(g[0], aer[0], wrap=True))
        table.add(name, "el", "rad", angle_error(g[1], aer[1]))
        table.add(name, "range", "m", angle_error(g[2], aer[2]))

    def add_lla(name, k, lla):
        g = got[name][:, k]
        table.add(name, "lat", "rad", angle_error(g[0], lla[0]))
        table.add(name, "lon", "rad", angle_error(g[1], lla[1], wrap=True))
        table.add(name, "alt", "m", angle_error(g[2], lla[2]))

    for k, (po, axes, pt) in enumerate(exact):
        dot = [sum(a * (mp.mpf(float(t)) - o) for a, t, o in zip(axis, r[:, k], po)) for axis in axes]
        table.add("enu_from_pos", "east,north,up", "m", vector_error(got["enu_from_pos"][:, k], dot))
        table.add("ned_from_pos", "north,east,down", "m", vector_error(got["ned_from_pos"][:, k], ned(dot)))
        add_aer("aer_from_pos", k, exact_aer(dot))
        dot = [sum(a * (t - o) for a, t, o in zip(axis, pt, po)) for axis in axes]
        table.add("enu_from_lla", "east,north,up", "m", vector_error(got["enu_from_lla"][:, k], dot))
        table.add("ned_from_lla", "north,east,down", "m", vector_error(got["ned_from_lla"][:, k], ned(dot)))
        add_aer("aer_from_lla", k, exact_aer(dot))

        for source, local in (("enu", [mp.mpf(float(v)) for v in enu_l[:, k]]),
                              ("aer", exact_enu_of_aer(aer_l[:, k]))):
            pos = [o + sum(c * axis[i] for c, axis in zip(local, axes)) for i, o in enumerate(po)]
            lla = G.geodetic_near(pos, *tgt[:, k])
            for name in (f"pos_from_{source}", "pos_from_ned")[: 2 if source == "enu" else 1]:
                table.add(name, "x,y,z", "m", vector_error(got[name][:, k], pos))
            for name in (f"lla_from_{source}", "lla_from_ned")[: 2 if source == "enu" else 1]:
                add_lla(name, k, lla)
        aer = exact_aer([mp.mpf(float(v)) for v in enu_l[:, k]])
        add_aer("aer_from_enu", k, aer)
        add_aer("aer_from_ned", k, aer)
        local = exact_enu_of_aer(aer_l[:, k])
        table.add("enu_from_aer", "east,north,up", "m", vector_error(got["enu_from_aer"][:, k], local))
        table.add("ned_from_aer", "north,east,down", "m", vector_error(got["ned_from_aer"][:, k], ned(local)))
        v = [mp.mpf(float(c)) for c in vec[:, k]]
        table.add("enu_from_ecef_vector", "east,north,up", "m/s",
                  vector_error(got["enu_from_ecef_vector"][:, k], [sum(a * b for a, b in zip(ax, v)) for ax in axes]))
        table.add("ned_from_ecef_vector", "north,east,down", "m/s",
                  vector_error(got["ned_from_ecef_vector"][:, k],
                               ned([sum(a * b for a, b in zip(ax, v)) for ax in axes])))
        table.add("ecef_vector_from_enu", "u,v,w", "m/s",
                  vector_error(got["ecef_vector_from_enu"][:, k], [sum(c * ax[i] for c, ax in zip(v, axes))
                                                                  for i in range(3)]))
        back = [sum(c * ax[i] for c, ax in zip(ned(v), axes)) for i in range(3)]
        table.add("ecef_vector_from_ned", "u,v,w", "m/s", vector_error(got["ecef_vector_from_ned"][:, k], back))


def look_at(table, obs, rng):
    """Observers at their altitude's magnitude (the look-at needs them above the
    surface), lines of sight below the horizon up to 0.1 degree from it."""
    lat0, lon0, alt0 = obs[0], obs[1], np.abs(obs[2])
    az = rng.uniform(0, 2 * np.pi, len(lat0))
    horizon = np.arcsin(6356752.0 / (RE + alt0))
    tilt = rng.uniform(0, 1, len(lat0)) * (horizon - np.radians(0.1))
    got = np.stack(U.look_at_spheroid(lat0, lon0, alt0, az, tilt, *WGS84))
    for k in range(len(lat0)):
        ref = G.look_at_spheroid(lat0[k], lon0[k], alt0[k], az[k], tilt[k])
        table.add("look_at_spheroid", "lat", "rad", angle_error(got[0, k], ref[0]))
        table.add("look_at_spheroid", "lon", "rad", angle_error(got[1, k], ref[1], wrap=True))
        table.add("look_at_spheroid", "range", "m", angle_error(got[2, k], ref[2]))


def geocentric(table, tgt):
    lat, lon, alt = tgt
    sph = np.stack(U.spherical_from_lla(lat, lon, alt, *WGS84))
    slat = U.geocentric_lat_from_geodetic_lat(lat, alt, *WGS84)
    exact = [G.spherical_from_lla(*tgt[:, k]) for k in range(len(lat))]
    sph_in = np.array([[float(v) for v in e] for e in exact]).T
    back = U.geodetic_lat_from_geocentric_lat(sph_in[0], alt, *WGS84)
    lla = np.stack(U.lla_from_spherical(*sph_in, *WGS84))
    with mp.workprec(G.PREC):
        for k, (s, lo, rad) in enumerate(exact):
            table.add("geocentric_lat_from_geodetic_lat", "geocentric_lat", "rad", angle_error(slat[k], s))
            table.add("spherical_from_lla", "geocentric_lat", "rad", angle_error(sph[0, k], s))
            table.add("spherical_from_lla", "radius", "m", angle_error(sph[2, k], rad))
            # The rounded geocentric latitude moved the point along its
            # parallel of altitude: d lat = d psi / (d psi / d lat).
            p, z = G.meridian_plane(lat[k], alt[k])
            e2 = F * (2 - F)
            w2 = 1 - e2 * mp.sin(lat[k]) ** 2
            m = RE * (1 - e2) / w2 ** mp.mpf(1.5)
            slope = (m + alt[k]) * (p * mp.cos(lat[k]) + z * mp.sin(lat[k])) / (p * p + z * z)
            exact_lat = lat[k] + (mp.mpf(float(sph_in[0, k])) - s) / slope
            table.add("geodetic_lat_from_geocentric_lat", "lat", "rad", angle_error(back[k], exact_lat))
            r = (mp.mpf(sph_in[2, k]) * mp.cos(sph_in[0, k]), 0, mp.mpf(sph_in[2, k]) * mp.sin(sph_in[0, k]))
            near = G.geodetic_near(r, lat[k], 0.0, alt[k])
            table.add("lla_from_spherical", "lat", "rad", angle_error(lla[0, k], near[0]))
            table.add("lla_from_spherical", "alt", "m", angle_error(lla[2, k], near[2]))


KINDS = ["isometric", "conformal", "authalic", "rectifying"]


def auxiliary(table, lat, f, label):
    Re = RE
    for kind in KINDS:
        forward = getattr(U, f"{kind}_lat_from_geodetic_lat")(lat, Re, f)
        exact = [G.FORWARD[kind](v, f) for v in lat]
        values = rounded(exact)
        inverse = getattr(U, f"geodetic_lat_from_{kind}_lat")(values, Re, f)
        for k in range(len(lat)):
            if np.isnan(forward[k]) or np.isnan(inverse[k]):
                table.add(f"{kind} {label}", "forward", "rad", np.nan)
                continue
            table.add(f"{kind} {label}", "forward", "rad", angle_error(forward[k], exact[k]))
            table.add(f"{kind} {label}", "inverse", "rad", abs(float(G.inverse_error(kind, values[k], inverse[k], f))))


def radii(table, lat):
    got = np.stack([getattr(U, f"{kind}_radius")(lat, *WGS84)
                    for kind in ("meridian", "transverse", "parallel", "geocentric")])
    for k, v in enumerate(lat):
        for name, g, e in zip(("meridian", "transverse", "parallel", "geocentric"), got[:, k], G.radii(v)):
            table.add(f"{name}_radius", "radius / N", "1", float(abs(mp.mpf(float(g)) - e) / G.radii(v)[1]))


def main():
    args = whole_number_options(__doc__, n=100_000, n_flat=2000, seed=1)
    rng = np.random.default_rng(args.seed)
    print(f"Errors against mpmath at {G.PREC} bits; kernel set {U.kernel_set}; WGS84 (Re = {RE} m, f = {F!r})")
    t0 = time.perf_counter()
    obs, tgt = sample(rng, args.n)
    table = Table()
    local_frames(table, obs, tgt, rng)
    look_at(table, obs, rng)
    table.print(f"Local frames, {args.n} observer-target pairs within 10 000 km "
                "(-10 km .. 5000 km; look-at: observers at |alt0|)")
    geocentric(table, tgt)
    radii(table, tgt[0])
    auxiliary(table, tgt[0], F, "WGS84")
    table.print(f"Latitudes and radii on WGS84, {args.n} points")
    flat_lat = np.arcsin(rng.uniform(-1, 1, args.n_flat))
    flat_lat[:4] = [0.0, np.pi / 2, -np.pi / 2, np.nextafter(np.pi / 2, 0)]
    for f in (0.0, 1 / 298.257223563, 0.1, 0.3, 0.5, 0.6, 0.9):
        auxiliary(table, flat_lat, f, f"f={f:.6g}")
    table.print(f"Auxiliary latitudes by flattening, {args.n_flat} latitudes (poles included)")
    print(f"\n{time.perf_counter() - t0:.0f} s")


if __name__ == "__main__":
    main()
