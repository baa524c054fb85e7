"""The batch C API from Cython against the ufuncs, on the same points.

    python benchmarks/batch_api.py [--points 1000000] [--repeat 7]

Builds the test-only Cython caller (tests/cython_consumer), which calls a batch
kernel through the published table with the GIL released, once over all points
and in a nogil loop over blocks of 4096, and prints its best time per point (CPU
time of the calling thread) beside the ufunc's on the same float64 columns,
with the ratio Cython/ufunc. Both write into the same preallocated arrays
(the ufunc through out=), laid out as the ufunc's results.
"""

import argparse
import sys
import tempfile
import time
import timeit

import numpy as np

from quorvane.mathtools.ellipsoid import ufuncs
from quorvane.mathtools.ellipsoid.ellipsoid import Ellipsoid
from shared import cython_consumer_builder

BLOCK = 4096


def columns(n):
    rng = np.random.default_rng(1)
    lat, lon, alt = rng.uniform(-1.5, 1.5, n), rng.uniform(-3.1, 3.1, n), rng.uniform(-1e4, 1e6, n)
    x, y, z = (np.ascontiguousarray(c) for c in Ellipsoid(*ufuncs.WGS84).pos_from_lla(lat, lon, alt).T)
    observer = tuple(np.broadcast_to(v, n) for v in (0.6, -1.2, 120.0))
    return {"lla_from_pos": (x, y, z), "pos_from_lla": (lat, lon, alt),
            "aer_coords": (x, y, z, *observer), "enu": (lat, lon)}


def best(call, n, repeat):
    """Best CPU time of the calling thread per point (both calls run in it), so that
    time the cores spend on other processes of a shared machine is not counted."""
    return min(timeit.repeat(call, timer=time.thread_time, number=1, repeat=repeat)) / n


def main(argv=None):
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--points", type=int, default=1_000_000)
    parser.add_argument("--repeat", type=int, default=7)
    args = parser.parse_args(argv)
    n = args.points
    with tempfile.TemporaryDirectory() as tmp:
        cy = cython_consumer_builder()(tmp)
        print(f"{'conversion':14s} {'ufunc ns/pt':>11s} {'cython ns/pt':>12s} {'ratio':>6s} "
              f"{'blocks ns/pt':>12s} {'ratio':>6s}")
        for name, inputs in columns(n).items():
            ufunc = getattr(ufuncs, name)
            expected = ufunc(*inputs, *ufuncs.WGS84)
            expected = expected if isinstance(expected, tuple) else (expected,)
            # Laid out as the ufunc's: an (n, 3) output is three strided columns.
            arrays = [np.empty(e.shape) for e in expected]
            outputs = tuple(c for a in arrays for c in (a.T if a.ndim == 2 else [a]))
            # Both write into the same preallocated arrays.
            t_ufunc = best(lambda: ufunc(*inputs, *ufuncs.WGS84, out=tuple(arrays)), n, args.repeat)
            t_one = best(lambda: cy.run_batch(name, *ufuncs.WGS84, inputs, outputs), n, args.repeat)
            t_blocks = best(lambda: cy.run_batch(name, *ufuncs.WGS84, inputs, outputs, BLOCK), n, args.repeat)
            print(f"{name:14s} {t_ufunc * 1e9:11.2f} {t_one * 1e9:12.2f} {t_one / t_ufunc:6.2f} "
                  f"{t_blocks * 1e9:12.2f} {t_blocks / t_ufunc:6.2f}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
