"""The ufuncs' float32 loop against their float64 loop.

    python benchmarks/float32.py [--points N] [--repeat K] [names...]

Each ufunc converts the same N points (default 10^6, WGS84) given as float64 and as
float32 columns, into preallocated outputs of the same type (out=), so that neither
time includes allocating the results. aer_coords has one observer for every target, as
the methods have (stride-0 columns). Most kernels read and write float32 columns in
place, widening each vector as they load it and rounding each result as they store
it; the compute-bound ones widen blocks of points into float64 buffers and round the
results back (docs/index.md). Times are the calling thread's CPU time (the ufuncs
run on it), so that time slices given to other processes on a shared machine do not
count, best of --repeat rounds, the two types alternating within each round.
"""

import argparse
import os
import time

import numpy as np

import quorvane.mathtools.ellipsoid.ufuncs as U
from quorvane.mathtools.ellipsoid.ellipsoid import Ellipsoid

RE, F = U.WGS84


def column(name, unit, n, rng, known):
    """n values for a ufunc input named `name` in `unit`: the geodetic points, their
    positions and surface points where the name says so, an observer as one number."""
    if name in known:
        return known[name]
    if name.endswith("0"):
        return {"lat0": 0.6, "lon0": -1.2, "alt0": 120.0}[name]
    if unit == "rad":
        return rng.uniform(-1.5, 1.5, n)
    if unit == "m":
        return rng.uniform(1e3, 1e6, n)
    return rng.uniform(-1.0, 1.0, n)


def arguments(n, seed=1):
    """The point inputs of each ufunc as float64 columns (numbers for an observer)."""
    rng = np.random.default_rng(seed)
    lat, lon, alt = rng.uniform(-1.5, 1.5, n), rng.uniform(-3.1, 3.1, n), rng.uniform(-1e4, 1e6, n)
    e = Ellipsoid(RE, F)
    xyz = tuple(np.ascontiguousarray(c) for c in e.pos_from_lla(lat, lon, alt).T)
    surface = tuple(np.ascontiguousarray(c) for c in e.surf_pos_from_surf_coord(lat, lon).T)
    source = np.array([42164e3, 0.0, 0.0])
    toward = tuple(c - s for c, s in zip(xyz, source))
    known = {"lat": lat, "lon": lon, "alt": alt, "x": xyz[0], "y": xyz[1], "z": xyz[2]}
    special = {
        "surf_coord_from_surf_pos": surface,
        "surf_pos_of_ray_first_intersection": (*source, *toward),
        "aer_coords": (*xyz, 0.6, -1.2, 120.0),
    }
    every = {}
    for name, (inputs, _) in U.columns.items():
        points = [(c, unit) for c, unit in inputs if c not in ("Re", "f")]
        every[name] = special.get(name) or tuple(column(c, unit, n, rng, known) for c, unit in points)
    return every


def timer(ufunc, args, dtype):
    """A call on `args` cast to `dtype` into preallocated outputs."""
    typed = tuple(np.asarray(a, dtype) if np.ndim(a) else dtype(a) for a in args)
    ellipsoid = (RE, F) if ufunc.nin > len(args) else ()
    results = ufunc(*typed, *ellipsoid)
    outs = tuple(np.empty_like(r) for r in (results if ufunc.nout > 1 else (results,)))
    if ufunc.nout == 1:
        return lambda: ufunc(*typed, *ellipsoid, out=outs[0])
    return lambda: ufunc(*typed, *ellipsoid, out=outs)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--points", type=int, default=1_000_000)
    parser.add_argument("--repeat", type=int, default=15)
    parser.add_argument("names", nargs="*")
    options = parser.parse_args()
    n = options.points
    print(f"{n:,} points, best of {options.repeat}, kernels {U.kernel_set}, "
          f"load average {os.getloadavg()[0]:.2f}")
    print(f"{'ufunc':36s} {'float64':>9s} {'float32':>9s}  ns/point  float32/float64")
    worst = 0.0
    for name, args in arguments(n).items():
        if options.names and name not in options.names:
            continue
        calls = {dtype: timer(getattr(U, name), args, dtype) for dtype in (np.float64, np.float32)}
        best = {dtype: float("inf") for dtype in calls}
        for _ in range(options.repeat):
            for dtype, call in calls.items():
                start = time.thread_time()
                call()
                best[dtype] = min(best[dtype], time.thread_time() - start)
        t64, t32 = (best[dtype] / n * 1e9 for dtype in (np.float64, np.float32))
        worst = max(worst, t32 / t64)
        print(f"{name:36s} {t64:9.2f} {t32:9.2f}            {t32 / t64:5.2f}")
    print(f"largest float32/float64: {worst:.2f} (load average {os.getloadavg()[0]:.2f})")


if __name__ == "__main__":
    main()
