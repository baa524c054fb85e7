"""Worst errors of quorvane.geo's degrees-first functions against 200-bit references.

Usage: python benchmarks/geo_accuracy.py [--n N] [--seed S]

WGS84, N points per function (default 1000) from tests/support/geo_functions.py:
observers and targets from 10 km below to 5000 km above the surface, targets
within 10 000 km of their observer. The reference takes the radians the function
hands its ufunc and gives exact results, converted to degrees at 200 bits; so the
errors include the rounding of the results' conversion to degrees (the ufuncs'
own errors in radians: benchmarks/accuracy_geo.py).
"""

import argparse
import math

import mpmath as mp
import numpy as np

import quorvane.geo as geo
from quorvane.geo._plans import PLANS
from shared import tests_support

tests_support()
from support.geo_functions import PREC, REFERENCES, sample  # noqa: E402


def worst_errors(name, n, rng):
    args = sample(name, n, rng)
    ours = geo.__dict__[name](*args)
    ours = ours if isinstance(ours, tuple) else (ours,)
    plan = PLANS[name]
    radians = [np.radians(a) if role in "la" else np.asarray(a, dtype=float)
               for role, a in zip(plan.roles, args)]
    worst = [0.0] * len(plan.out_roles)
    with mp.workprec(PREC):
        for i, point in enumerate(zip(*radians)):
            expected = REFERENCES[name](*map(float, point))
            expected = expected if isinstance(expected, tuple) else (expected,)
            for k, role in enumerate(plan.out_roles):
                exact = expected[k] * 180 / mp.pi if role != "-" else expected[k]
                if mp.isnan(exact):
                    continue
                error = abs(mp.mpf(float(ours[k][i])) - exact)
                if role == "z":
                    error = min(error, abs(error - 360))
                worst[k] = max(worst[k], float(error))
    return worst


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--n", type=int, default=1000)
    parser.add_argument("--seed", type=int, default=1)
    options = parser.parse_args()
    rng = np.random.default_rng(options.seed)
    print(f"Worst errors of quorvane.geo (degrees, metres) against mpmath at {PREC} bits, "
          f"{options.n} points per function, WGS84")
    print("| function | worst errors (angles in degrees and as radians, lengths in m) |")
    print("|---|---|")
    for name in sorted(REFERENCES):
        worst = worst_errors(name, options.n, rng)
        shown = [f"{e:.1e} m" if role == "-" else f"{e:.1e} deg ({math.radians(e):.1e} rad)"
                 for e, role in zip(worst, PLANS[name].out_roles)]
        print(f"| {name} | {', '.join(shown)} |", flush=True)


if __name__ == "__main__":
    main()
