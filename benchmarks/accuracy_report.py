"""Worst errors of the WGS84 geodetic conversion against a 200-bit mpmath reference.

Usage: python benchmarks/accuracy_report.py [--n N] [--seed S]

Three bands: positions within 5000 km of the surface, positions next to the
polar axis, and positions from 5000 km up to geostationary altitude. Each
position is made from geodetic coordinates by the exact forward formula and
rounded to doubles; lla_from_pos is compared with the exact latitude and
altitude of that double position, and pos_from_lla with the exact forward
position. The references are those of the tests (tests/support/reference.py).
"""
import argparse
import time

import numpy as np

from quorvane.mathtools.ellipsoid.ellipsoid import Ellipsoid
from shared import tests_support

tests_support()
from support.reference import RE, RP, F, exact_geodetic, exact_pos  # noqa: E402

WGS84 = Ellipsoid(RE, F)


def rounded_positions(lat, lon, alt):
    """Double positions of exact geodetic coordinates, the exact geodetic
    coordinates of those doubles (lat, lon, alt as mpf) and the exact positions."""
    exact = [exact_pos(*p) for p in zip(lat, lon, alt)]
    r = np.array([[float(c) for c in e] for e in exact])
    ref = [exact_geodetic(ri, lat0=la) for ri, la in zip(r, lat)]
    return r, ref, exact


def lla_errors(r, ref):
    """Latitude [rad] and altitude [m] errors of lla_from_pos at the positions
    r, shape (N, 3), against their exact geodetic coordinates ref."""
    got = WGS84.lla_from_pos(r)
    dlat = np.array([float(float(g) - rf[0]) for g, rf in zip(got["lat"], ref)])
    dalt = np.array([float(float(g) - rf[2]) for g, rf in zip(got["alt"], ref)])
    return dlat, dalt


def geodetic_band(rng, n, alt_lo, alt_hi):
    """n random geodetic points (uniform over the sphere of directions), plus
    latitudes within 1e-6..1e-15 rad of the poles."""
    lat = np.arcsin(rng.uniform(-1, 1, n))
    k = min(n, 40)
    lat[:k] = np.sign(rng.uniform(-1, 1, k)) * (np.pi / 2 - 10.0 ** -rng.uniform(6, 15, k))
    lon = rng.uniform(-np.pi, np.pi, n)
    alt = rng.uniform(alt_lo, alt_hi, n)
    r, ref, exact = rounded_positions(lat, lon, alt)
    got = WGS84.pos_from_lla(lat, lon, alt)
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


def report(name, r, ref, where, what):
    dlat, dalt = lla_errors(r, ref)
    dist = np.linalg.norm(r, axis=1)
    i, j, k = np.argmax(np.abs(dalt)), np.argmax(np.abs(dlat)), np.argmax(np.abs(dalt) / dist)
    print(f"{name} ({len(r)} points)")
    print(f"  worst |alt error| {abs(dalt[i]) * 1e9:8.3f} nm      at {what} = {fmt(where[i])}")
    print(f"  worst |alt error| / |r| {abs(dalt[k]) / dist[k]:.2e}  at {what} = {fmt(where[k])}")
    print(f"  worst |lat error| {abs(dlat[j]):.2e} rad  at {what} = {fmt(where[j])}")


def fmt(t):
    return "(" + ", ".join(f"{v:.10g}" for v in t) + ")"


def main():
    ap = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    ap.add_argument("--n", type=int, default=20000, help="random points within 5000 km")
    ap.add_argument("--seed", type=int, default=1)
    args = ap.parse_args()
    rng = np.random.default_rng(args.seed)
    print(f"WGS84 (Re = {RE} m, f = {WGS84.f!r}); errors against mpmath at 200 bits\n")
    t0 = time.perf_counter()
    bands = [("within 5000 km of the surface (-100 km .. 5000 km)", -1e5, 5e6, args.n), None,
             ("5000 km .. geostationary (35 786 km)", 5e6, 35786e3, args.n // 2)]
    for band in bands:
        if band is None:
            r, ref, where = axis_band(rng)
            report("near the polar axis (1e-7 .. 1e3 m from it)", r, ref, where,
                   "(distance from axis, +-height)")
            continue
        name, lo, hi, n = band
        r, ref, pos_err, where = geodetic_band(rng, n, lo, hi)
        report(name, r, ref, where, "(lat, lon, alt)")
        m = np.argmax(pos_err)
        print(f"  pos_from_lla: worst |position error| {pos_err[m] * 1e9:.3f} nm at (lat, lon, alt) = "
              f"{fmt(where[m])}; worst relative {np.max(pos_err / np.linalg.norm(r, axis=1)):.2e}")
    print(f"\n{time.perf_counter() - t0:.1f} s")


if __name__ == "__main__":
    main()
