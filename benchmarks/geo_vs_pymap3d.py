"""quorvane.geo against pymap3d (and pyproj where PROJ has the conversion), in one run.

For every conversion of quorvane.geo: the time per point of one call on
1 000 000 float64 points (degrees, WGS84, one observer for the local frames),
and the time of a one-point call with Python floats, each against pymap3d's
same function on the same input; pyproj on the conversions PROJ does itself
(geodetic <-> ECEF through EPSG:4979/EPSG:4978, and ECEF or geodetic <-> ENU
through its topocentric projection). Best of several rounds; ratios are
peer / quorvane.geo.

    python benchmarks/geo_vs_pymap3d.py [--quick] [--json results.json]
"""

import argparse
import json
import math
import platform
import subprocess
import time

import numpy as np
import pymap3d
import pymap3d.los

import quorvane.geo as geo
from shared import tests_support

tests_support()
from support.geo_functions import REFERENCES, sample  # noqa: E402

OBSERVER = (51.4769, -0.0005, 45.0)
# The families held to 5x pymap3d and 2x pyproj.
FAMILIES = ("geodetic2", "ecef2", "enu2", "ned2", "aer2", "uvw2", "lookAtSpheroid")


def best_seconds(call, args, rounds, number=1):
    best = math.inf
    for _ in range(rounds):
        start = time.perf_counter()
        for _ in range(number):
            call(*args)
        best = min(best, time.perf_counter() - start)
    return best / number


def calls_per_round(call, args, quick):
    """Enough calls for about 0.05 s a round (a few in quick mode)."""
    number = 1
    while not quick and best_seconds(call, args, 1, number) * number < 0.05:
        number *= 4
    return number


def points(name, n):
    """The conversion's arguments, with a single observer for the local frames (as
    pyproj's topocentric projection takes); local coordinates are those of targets
    from 10 km below to 5000 km above the ellipsoid."""
    args = sample(name, n, np.random.default_rng(0))
    source, _, result = name.partition("2")
    if source in ("enu", "ned", "aer") and len(args) == 6:
        target = sample("geodetic2" + source, n, np.random.default_rng(0))[:3]
        return (*getattr(geo, "geodetic2" + source)(*target, *OBSERVER), *OBSERVER)
    if len(args) == 6:
        return (*args[:3], *OBSERVER)
    if len(args) == 5 and name != "lookAtSpheroid":
        return (*args[:3], *OBSERVER[:2])
    return args


def pymap3d_function(name):
    return getattr(pymap3d, name, None) or getattr(pymap3d.los, name)


def pyproj_calls():
    """pyproj's conversion for the functions PROJ does, as (call, argument order)."""
    try:
        import pyproj
    except ImportError:
        return {}
    lat0, lon0, h0 = OBSERVER
    topocentric = f"+proj=topocentric +ellps=WGS84 +lat_0={lat0} +lon_0={lon0} +h_0={h0}"
    from_geodetic = ("+proj=pipeline +step +proj=unitconvert +xy_in=deg +xy_out=rad "
                     "+step +proj=cart +ellps=WGS84 +step " + topocentric)
    to_ecef = pyproj.Transformer.from_crs("EPSG:4979", "EPSG:4978", always_xy=True)
    to_geodetic = pyproj.Transformer.from_crs("EPSG:4978", "EPSG:4979", always_xy=True)
    ecef_enu = pyproj.Transformer.from_pipeline(topocentric)
    geodetic_enu = pyproj.Transformer.from_pipeline(from_geodetic)

    def inverse(transformer):
        return lambda a, b, c: transformer.transform(a, b, c, direction="INVERSE")

    # (call, order of geo's arguments it takes, order of geo's results it gives)
    return {
        "geodetic2ecef": (to_ecef.transform, (1, 0, 2), (0, 1, 2)),
        "ecef2geodetic": (to_geodetic.transform, (0, 1, 2), (1, 0, 2)),
        "ecef2enu": (ecef_enu.transform, (0, 1, 2), (0, 1, 2)),
        "enu2ecef": (inverse(ecef_enu), (0, 1, 2), (0, 1, 2)),
        "geodetic2enu": (geodetic_enu.transform, (1, 0, 2), (0, 1, 2)),
        "enu2geodetic": (inverse(geodetic_enu), (0, 1, 2), (1, 0, 2)),
    }


def check_same(name, ours, theirs, label):
    """The peer does the same conversion: results within a metre or 1e-5 degrees."""
    ours = ours if isinstance(ours, tuple) else (ours,)
    theirs = theirs if isinstance(theirs, tuple) else (theirs,)
    for a, b in zip(ours, theirs):
        a, b = np.asarray(a, dtype=float), np.asarray(b, dtype=float)
        close = np.isclose(a, b, rtol=1e-7, atol=1.0) | (np.abs((a - b + 180) % 360 - 180) < 1e-5)
        if not np.all(close | (np.isnan(a) & np.isnan(b))):
            raise AssertionError(f"{label} does not do {name}'s conversion")


def measure(name, n, rounds, pyproj_peers, quick):
    args = points(name, n)
    ours = getattr(geo, name)
    theirs = pymap3d_function(name)
    row = {"name": name, "n": n}
    check_same(name, ours(*args), theirs(*args), "pymap3d")
    row["ns_per_point"] = best_seconds(ours, args, rounds) / n * 1e9
    row["pymap3d_ns_per_point"] = best_seconds(theirs, args, max(1, rounds // 2)) / n * 1e9
    if name in pyproj_peers:
        call, order, results = pyproj_peers[name]
        peer_args = [args[k] for k in order]
        got = call(*peer_args)
        check_same(name, ours(*args), tuple(got[k] for k in results), "pyproj")
        row["pyproj_ns_per_point"] = best_seconds(call, peer_args, max(1, rounds // 2)) / n * 1e9
    point = tuple(float(a[0]) if np.ndim(a) else float(a) for a in args)
    number = calls_per_round(ours, point, quick)
    row["one_point_ns"] = best_seconds(ours, point, rounds, number) * 1e9
    number = calls_per_round(theirs, point, quick)
    row["pymap3d_one_point_ns"] = best_seconds(theirs, point, max(1, rounds // 2), number) * 1e9
    return row


def host():
    try:
        model = next(line.split(":", 1)[1].strip()
                     for line in subprocess.run(["lscpu"], capture_output=True, text=True).stdout.splitlines()
                     if line.startswith("Model name"))
    except (OSError, StopIteration):
        model = platform.processor() or "unknown"
    from quorvane.mathtools.ellipsoid import ufuncs
    return {"cpu": model, "python": platform.python_version(), "numpy": np.__version__,
            "pymap3d": pymap3d.__version__, "kernels": ufuncs.kernel_set}


def in_family(name):
    return name.startswith(FAMILIES) and not name.startswith(("geodetic2geocentric", "geodetic2parametric",
                                                            "geodetic2isometric", "geodetic2rectifying",
                                                            "geodetic2authalic", "geodetic2conformal",
                                                            "geodetic2spherical"))


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--quick", action="store_true", help="2000 points, one round: a run-through")
    parser.add_argument("--json", help="also write the rows to this file")
    options = parser.parse_args()
    n, rounds = (2000, 1) if options.quick else (1_000_000, 5)
    peers = pyproj_calls()
    info = host()
    print(f"# {info['cpu']}, Python {info['python']}, NumPy {info['numpy']}, "
          f"pymap3d {info['pymap3d']}, kernels {info['kernels']}; {n} points")
    print("| function | ns/point | pymap3d (x) | pyproj (x) | one point ns | pymap3d one point (x) |")
    print("|---|---:|---:|---:|---:|---:|")
    rows = []
    for name in sorted(REFERENCES, key=lambda name: (not in_family(name), name)):
        row = measure(name, n, rounds, peers, options.quick)
        row["family"] = in_family(name)
        rows.append(row)
        proj = (f"{row['pyproj_ns_per_point']:.1f} ({row['pyproj_ns_per_point'] / row['ns_per_point']:.1f}x)"
                if "pyproj_ns_per_point" in row else "-")
        print(f"| {name} | {row['ns_per_point']:.1f} | {row['pymap3d_ns_per_point']:.1f} "
              f"({row['pymap3d_ns_per_point'] / row['ns_per_point']:.1f}x) | {proj} | "
              f"{row['one_point_ns']:.0f} | {row['pymap3d_one_point_ns']:.0f} "
              f"({row['pymap3d_one_point_ns'] / row['one_point_ns']:.1f}x) |", flush=True)
    if options.json:
        with open(options.json, "w") as out:
            json.dump({"host": info, "rows": rows}, out, indent=1)


if __name__ == "__main__":
    main()
