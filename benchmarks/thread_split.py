"""Time of whole-array calls under the thread count QUORVANE_NUM_THREADS gives
this interpreter (read once, at start-up); run.py starts it once per count.

    QUORVANE_NUM_THREADS=2 python benchmarks/thread_split.py N [--repeat K]

Prints JSON: for each method timed, the best seconds per call over K calls.
"""

import argparse
import json
import time

import numpy as np

from quorvane.mathtools.ellipsoid.ellipsoid import Ellipsoid

RE, F = 6378137.0, 1 / 298.257223563


def calls(n):
    rng = np.random.default_rng(3)
    e = Ellipsoid(RE, F)
    lat, lon, alt = rng.uniform(-1.5, 1.5, n), rng.uniform(-3.1, 3.1, n), rng.uniform(-1e4, 1e6, n)
    r = e.pos_from_lla(lat, lon, alt)
    return {
        "lla_from_pos": lambda: e.lla_from_pos(r),
        "pos_from_lla": lambda: e.pos_from_lla(lat, lon, alt),
        "aer_coords": lambda: e.aer_coords(r, 0.6, -1.2, 120.0),
        "enu": lambda: e.enu(lat, lon),
    }


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("n", type=int)
    parser.add_argument("--repeat", type=int, default=3)
    args = parser.parse_args()
    best = {}
    for name, call in calls(args.n).items():
        times = []
        for _ in range(args.repeat):
            start = time.perf_counter()
            call()
            times.append(time.perf_counter() - start)
        best[name] = min(times)
    print(json.dumps(best))


if __name__ == "__main__":
    main()
