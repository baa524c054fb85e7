"""Worst errors of the geodetic conversion against a 200-bit mpmath reference.

Usage: python benchmarks/accuracy_report.py [--n N] [--seed S] [--markdown]

On WGS84, by height: -100 km to 5000 km, -4000 km to -100 km, -5000 km to
-4000 km (within about 1400 km of the centre), 5000 km up to geostationary
altitude, and positions next to the polar axis; then, near the surface
(heights from -1 % of the polar radius to +1 % of the equatorial radius, Re of
WGS84), ellipsoids of flattening 0.1, 0.3, 0.6, 0.9 and 0.99. N random points
per band (half beyond 5000 km). Each position is made from geodetic
coordinates by the exact forward formula and rounded to doubles;
lla_from_pos is compared with the exact latitude and altitude of that double
position, and pos_from_lla with the exact forward position. The references are
those of the tests (tests/support/reference.py). Last, the elevation of
aer_coords for targets 1 km to 100 km from an observer on the WGS84 surface,
against the arcsine of the exact up component over the exact range: within a
degree of the zenith or nadir, and further from them. --markdown prints the
table of docs/index.md.
"""
import argparse
import time

import mpmath as mp
import numpy as np

from quorvane.mathtools.ellipsoid.ellipsoid import Ellipsoid
from shared import tests_support

tests_support()
from support.reference import RE, RP, F, exact_geodetic, exact_pos  # noqa: E402

WGS84 = Ellipsoid(RE, F)
LAT_BOUND = 1e-13  # rad, the bound tests/test_accuracy.py holds WGS84 to within 5000 km
FLATTENINGS = (0.1, 0.3, 0.6, 0.9, 0.99)


def rounded_positions(lat, lon, alt, e=WGS84):
    """Double positions of exact geodetic coordinates, the exact geodetic
    coordinates of those doubles (lat, lon, alt as mpf) and the exact positions."""
    exact = [exact_pos(*p, e.Re, e.f) for p in zip(lat, lon, alt)]
    r = np.array([[float(c) for c in p] for p in exact])
    ref = [exact_geodetic(ri, e.Re, e.f, lat0=la) for ri, la in zip(r, lat)]
    return r, ref, exact


def lla_errors(r, ref, e=WGS84):
    """Latitude [rad] and altitude [m] errors of lla_from_pos at the positions
    r, shape (N, 3), against their exact geodetic coordinates ref."""
    got = e.lla_from_pos(r)
    dlat = np.array([float(float(g) - rf[0]) for g, rf in zip(got["lat"], ref)])
    dalt = np.array([float(float(g) - rf[2]) for g, rf in zip(got["alt"], ref)])
    return dlat, dalt


def geodetic_band(rng, n, alt_lo, alt_hi, e=WGS84):
    """n random geodetic points (uniform over the sphere of directions), plus
    latitudes within 1e-6..1e-15 rad of the poles."""
    lat = np.arcsin(rng.uniform(-1, 1, n))
    k = min(n, 40)
    lat[:k] = np.sign(rng.uniform(-1, 1, k)) * (np.pi / 2 - 10.0 ** -rng.uniform(6, 15, k))
    lon = rng.uniform(-np.pi, np.pi, n)
    alt = rng.uniform(alt_lo, alt_hi, n)
    r, ref, exact = rounded_positions(lat, lon, alt, e)
    got = e.pos_from_lla(lat, lon, alt)
    pos_err = np.array([float(sum((float(g) - e) ** 2 for g, e in zip(gi, ei)) ** 0.5)
                        for gi, ei in zip(got, exact)])
    return r, ref, pos_err, list(zip(lat, lon, alt))


AXIS_DISTANCES = np.concatenate([np.logspace(-7, 3, 41), [1.01e-5]])
AXIS_HEIGHTS = (-1e5, 0.0, 1000.0, 1e5, 4e6)


def axis_band(rng, dist=AXIS_DISTANCES, heights=AXIS_HEIGHTS):
    """Points at the distances from the axis (by default 1e-7..1e3 m, log-spaced,
    with 1e-5 m, the branch threshold, and 1.01e-5 m) and the heights above the
    pole (by default -100 km..4000 km), both hemispheres, at random longitudes."""
    pts, where = [], []
    for d in dist:
        for h in heights:
            for s in (1, -1):
                a = rng.uniform(-np.pi, np.pi)
                pts.append([d * np.cos(a), d * np.sin(a), s * (RP + h)])
                where.append((d, s * h))
    return np.array(pts), [exact_geodetic(p) for p in pts], where


def report(name, r, ref, where, what, e=WGS84):
    """Prints the worst errors of the band and returns its row of the table."""
    dlat, dalt = lla_errors(r, ref, e)
    dist = np.linalg.norm(r, axis=1)
    i, j, k = np.argmax(np.abs(dalt)), np.argmax(np.abs(dlat)), np.argmax(np.abs(dalt) / dist)
    above = int(np.sum(np.abs(dlat) > LAT_BOUND))
    print(f"{name} ({len(r)} points)")
    print(f"  worst |alt error| {abs(dalt[i]) * 1e9:8.3f} nm      at {what} = {fmt(where[i])}")
    print(f"  worst |alt error| / |r| {abs(dalt[k]) / dist[k]:.2e}  at {what} = {fmt(where[k])}")
    print(f"  worst |lat error| {abs(dlat[j]):.2e} rad  at {what} = {fmt(where[j])}")
    print(f"  points with |lat error| > {LAT_BOUND:.0e} rad: {above}")
    return name, len(r), abs(dalt[i]), abs(dalt[k]) / dist[k], abs(dlat[j]), above


@mp.workprec(200)
def exact_elevation(target, lat, lon):
    """Elevation of the double position `target` seen from the surface point at
    (lat, lon): the arcsine of its up component over its distance."""
    observer = exact_pos(lat, lon, 0.0)
    d = [mp.mpf(t) - o for t, o in zip(target, observer)]
    lat, lon = mp.mpf(lat), mp.mpf(lon)
    up = (mp.cos(lat) * mp.cos(lon), mp.cos(lat) * mp.sin(lon), mp.sin(lat))
    return mp.asin(sum(a * b for a, b in zip(d, up)) / mp.sqrt(sum(a * a for a in d)))


def elevation_errors(rng, n):
    """Elevation errors of aer_coords and the targets' angles from the zenith or
    nadir: n targets 1 km to 100 km from observers on the surface (nearer ones
    see the rounding of the observer's position), at angles from
    1e-9 rad to 90 degrees from the vertical, above or below."""
    errors, angles = [], []
    for _ in range(n):
        lat, lon = float(np.arcsin(rng.uniform(-1, 1))), float(rng.uniform(-np.pi, np.pi))
        frame = WGS84.enu(lat, lon)[0]
        angle = 10 ** rng.uniform(-9, np.log10(np.pi / 2))
        turn = rng.uniform(-np.pi, np.pi)
        horizontal = np.cos(turn) * frame["u_east"] + np.sin(turn) * frame["u_north"]
        vertical = frame["u_up"] * (1 if rng.uniform() < 0.5 else -1)
        target = WGS84.pos_from_lla(lat, lon, 0.0) + 10 ** rng.uniform(3, 5) * (
            np.cos(angle) * vertical + np.sin(angle) * horizontal)
        got = WGS84.aer_coords(target, lat, lon, 0.0)[0]["elevation"]
        errors.append(abs(float(got - exact_elevation(target, lat, lon))))
        angles.append(angle)
    return np.array(errors), np.array(angles)


def fmt(t):
    return "(" + ", ".join(f"{v:.10g}" for v in t) + ")"


def markdown(rows):
    print("| domain | points | worst altitude error | relative to the distance from the centre "
          f"| worst latitude error | points above {LAT_BOUND:.0e} rad |")
    print("|---|---:|---:|---:|---:|---:|")
    for name, n, alt, rel, lat, above in rows:
        print(f"| {name} | {n} | {alt * 1e9:.3g} nm | {rel:.1e} | {lat:.2g} rad | {above} |")


def main():
    ap = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    ap.add_argument("--n", type=int, default=8000, help="random points per band")
    ap.add_argument("--seed", type=int, default=1)
    ap.add_argument("--markdown", action="store_true", help="print the table of docs/index.md")
    args = ap.parse_args()
    rng = np.random.default_rng(args.seed)
    print(f"errors against mpmath at 200 bits, {args.n} random points per band\n")
    t0 = time.perf_counter()
    rows = []
    bands = [("WGS84, -100 km .. 5000 km", -1e5, 5e6, args.n),
             ("WGS84, -4000 km .. -100 km", -4e6, -1e5, args.n),
             ("WGS84, -5000 km .. -4000 km", -5e6, -4e6, args.n),
             ("WGS84, 5000 km .. geostationary (35 786 km)", 5e6, 35786e3, args.n // 2)]
    for name, lo, hi, n in bands:
        r, ref, pos_err, where = geodetic_band(rng, n, lo, hi)
        rows.append(report(name, r, ref, where, "(lat, lon, alt)"))
        m = np.argmax(pos_err)
        print(f"  pos_from_lla: worst |position error| {pos_err[m] * 1e9:.3f} nm at (lat, lon, alt) = "
              f"{fmt(where[m])}; worst relative {np.max(pos_err / np.linalg.norm(r, axis=1)):.2e}")
    r, ref, where = axis_band(rng)
    rows.append(report("WGS84, 1e-7 .. 1e3 m from the polar axis", r, ref, where,
                       "(distance from axis, +-height)"))
    for f in FLATTENINGS:
        e = Ellipsoid(RE, f)
        r, ref, _, where = geodetic_band(rng, args.n, -0.01 * e.Rp, 0.01 * RE, e)
        rows.append(report(f"f = {f}, near the surface", r, ref, where, "(lat, lon, alt)", e))
    errors, angles = elevation_errors(rng, args.n // 4)
    near = angles < np.radians(1)
    print(f"aer_coords elevation ({len(errors)} targets 1 km .. 100 km away)")
    print(f"  within 1 degree of the zenith or nadir: worst {errors[near].max():.2e} rad "
          f"({near.sum()} targets)")
    for lo, hi in [(1e-9, 1e-6), (1e-6, 1e-3), (1e-3, np.radians(1))]:
        band = (angles >= lo) & (angles < hi)
        print(f"    {lo:.0e} .. {hi:.0e} rad from it: worst {errors[band].max():.2e} rad ({band.sum()} targets)")
    print(f"  further from them: worst {errors[~near].max():.2e} rad ({(~near).sum()} targets)")
    print(f"\n{time.perf_counter() - t0:.1f} s")
    if args.markdown:
        print()
        markdown(rows)


if __name__ == "__main__":
    main()
