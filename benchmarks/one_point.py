"""One-point calls of the Ellipsoid methods, side by side for two installations.

    python benchmarks/one_point.py [--against OTHER_PYTHON] [--rounds 5] [--json PATH]

Times each method on one point (numbers or a 3-vector, the inputs of
benchmarks/run.py at N = 1) as the best of several rounds, in CPU time of the
calling thread. With --against, the
same timing runs in turn under this interpreter and under OTHER_PYTHON (e.g. a
virtual environment with another build installed), alternating round by round
so that both see the same load, and the table shows both times and their
ratio.
"""

import argparse
import json
import subprocess
import sys
import time
import timeit
from pathlib import Path

METHODS = ("lla_from_pos", "pos_from_lla", "enu", "aer_coords", "surf_pos_from_surf_coord",
           "surf_coord_from_surf_pos", "solve_reduced_lat_equation", "reduced_lat_from_geodetic_lat",
           "surf_pos_of_ray_first_intersection")


def measure(number=1000, repeat=201):
    """Best seconds per call of each method, in this interpreter: the best of many
    short windows of the calling thread's CPU time, so that on a shared machine the
    time other processes hold the cores is not counted and some windows run
    undisturbed."""
    import numpy as np

    from quorvane.mathtools.ellipsoid.ellipsoid import Ellipsoid

    e = Ellipsoid(6378137.0, 1 / 298.257223563)
    lat, lon, alt = 0.6, -1.2, 120.0
    r = e.pos_from_lla(0.7, 0.2, 3.5e5)
    source = np.array([42164e3, 0.0, 0.0])
    calls = {
        "lla_from_pos": (e.lla_from_pos, r),
        "pos_from_lla": (e.pos_from_lla, lat, lon, alt),
        "enu": (e.enu, lat, lon),
        "aer_coords": (e.aer_coords, r, lat, lon, alt),
        "surf_pos_from_surf_coord": (e.surf_pos_from_surf_coord, lat, lon),
        "surf_coord_from_surf_pos": (e.surf_coord_from_surf_pos, e.surf_pos_from_surf_coord(lat, lon)),
        "solve_reduced_lat_equation": (e.solve_reduced_lat_equation, r),
        "reduced_lat_from_geodetic_lat": (e.reduced_lat_from_geodetic_lat, lat),
        "surf_pos_of_ray_first_intersection": (e.surf_pos_of_ray_first_intersection, source, r - source),
    }
    times = {}
    for name in METHODS:
        fn, *args = calls[name]
        names = {f"a{k}": a for k, a in enumerate(args)}
        stmt = "fn(" + ", ".join(names) + ")"
        timer = timeit.Timer(stmt, timer=time.thread_time, globals={"fn": fn, **names})
        times[name] = min(timer.repeat(repeat, number)) / number
    return times


def run_in(python, quick):
    """measure() in a fresh process of `python`."""
    proc = subprocess.run([python, "-P", __file__, "--child", *(["--quick"] if quick else [])],
                          capture_output=True, text=True, check=True, cwd=Path(__file__).parent)
    return json.loads(proc.stdout)


def main(argv=None):
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--against", default=None, help="another interpreter to time side by side")
    parser.add_argument("--rounds", type=int, default=5)
    parser.add_argument("--json", default=None)
    parser.add_argument("--quick", action="store_true", help="a few short windows")
    parser.add_argument("--child", action="store_true", help=argparse.SUPPRESS)
    args = parser.parse_args(argv)
    if args.child:
        print(json.dumps(measure(number=50, repeat=3) if args.quick else measure()))
        return 0
    pythons = {"this": sys.executable}
    if args.against:
        pythons["other"] = args.against
    best = {label: {} for label in pythons}
    for _ in range(args.rounds):
        for label, python in pythons.items():
            for name, t in run_in(python, args.quick).items():
                best[label][name] = min(t, best[label].get(name, float("inf")))
    header = f"{'method (one point)':36s} {'this ns':>9s}"
    if args.against:
        header += f" {'other ns':>9s} {'other/this':>10s}"
    print(header)
    for name in METHODS:
        line = f"{name:36s} {best['this'][name] * 1e9:9.1f}"
        if args.against:
            line += f" {best['other'][name] * 1e9:9.1f} {best['other'][name] / best['this'][name]:10.2f}"
        print(line)
    if args.json:
        Path(args.json).write_text(json.dumps({"pythons": pythons, "seconds": best}, indent=1))
    return 0


if __name__ == "__main__":
    sys.exit(main())
