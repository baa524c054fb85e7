"""Worst errors of geodesic_direct and geodesic_inverse against 34-digit mpmath solutions.

    python benchmarks/geodesic_accuracy.py [--rows N] [--flattening F ...] [--json PATH]

For each category of tests/support/geodesic_reference.py (random, nearly
antipodal, short, one and both ends near a pole, nearly meridional, nearly
equatorial, between vertices, ending near a vertex) N geodesics (shortest paths
only) with exact solutions from mpmath's elliptic integrals and quadrature.
Errors, in nanometres, on an ellipsoid with WGS84's equatorial radius:

- direct: distance from the computed end to the exact end;
- inverse s12: distance error, against the exact length corrected to first
  order for the rounding of the end point to doubles;
- inverse azi1, azi2: azimuth errors times the reduced length m12, the
  sideways displacement they amount to (GeographicLib's measure).

Run it once per kernel set (QUORVANE_KERNELS=plain for the fallback).
"""

import argparse
import json
import sys
import time

import mpmath as mp

import quorvane.mathtools.ellipsoid.ufuncs as U
from shared import tests_support

tests_support()
from support.geodesic_reference import CATEGORIES, F, RE, Rows, angle_diff  # noqa: E402


def errors(rows, f):
    lat2, lon2, _ = U.geodesic_direct(rows.lat1, rows.lon1, rows.azi1, rows.s12, RE, f)
    direct = max(float(mp.hypot(*e.displacement(a, b))) for e, a, b in zip(rows.exact, lat2, lon2))
    s12, azi1, azi2 = U.geodesic_inverse(rows.lat1, rows.lon1, rows.lat2, rows.lon2, RE, f)
    distance = max(abs(float(s - r)) for s, r in zip(s12, rows.s12_inv))
    sideways = [max(abs(float(angle_diff(a, r)) * m) for a, r, m in zip(got, ref, rows.m12))
                for got, ref in ((azi1, rows.azi1_inv), (azi2, rows.azi2_inv))]
    return {"rows": len(rows), "direct": direct, "inverse_s12": distance, "inverse_azi1_m12": sideways[0],
            "inverse_azi2_m12": sideways[1]}


def run(n, flattenings, seed, json_path=None, out=sys.stdout):
    results = {"kernel_set": U.kernel_set, "rows_per_category": n, "flattening": {}}
    print(f"kernels: {U.kernel_set}; worst errors in nm over {n} geodesics per category", file=out)
    for f in flattenings:
        print(f"\nf = {f:.10g}", file=out)
        print(f"{'category':18s} {'rows':>5s} {'direct':>12s} {'inverse s12':>12s} {'azi1 m12':>12s} "
              f"{'azi2 m12':>12s} {'seconds':>8s}", file=out)
        table = {}
        for category in CATEGORIES:
            start = time.time()
            e = errors(Rows(category, n, seed=seed, f=f), f)
            table[category] = e
            print(f"{category:18s} {e['rows']:5d} {e['direct'] * 1e9:12.2f} {e['inverse_s12'] * 1e9:12.2f} "
                  f"{e['inverse_azi1_m12'] * 1e9:12.2f} {e['inverse_azi2_m12'] * 1e9:12.2f} "
                  f"{time.time() - start:8.0f}", file=out, flush=True)
        results["flattening"][repr(f)] = table
    if json_path:
        with open(json_path, "w") as target:
            json.dump(results, target, indent=1)
    return results


def main(argv=None):
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--rows", type=int, default=200, help="geodesics per category")
    parser.add_argument("--flattening", type=float, nargs="+", default=[F])
    parser.add_argument("--seed", type=int, default=2)
    parser.add_argument("--json", default=None)
    args = parser.parse_args(argv)
    run(args.rows, args.flattening, args.seed, args.json)
    return 0


if __name__ == "__main__":
    sys.exit(main())
