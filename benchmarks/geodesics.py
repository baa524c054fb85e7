"""Speed of geodesic_inverse and geodesic_direct against pyproj.Geod and geographiclib.

    python benchmarks/geodesics.py [--n N] [--quick] [--json PATH]

One thread, WGS84, N geodesics (10^6 by default) of two sets: random pairs of
points (directions and distances for the direct problem), and an equal mix of
the nine categories of the accuracy tests (random, nearly antipodal, short,
one or both ends near a pole, nearly meridional, nearly equatorial, between
vertices, ending near a vertex; tests/support/geodesic_reference.py), a pool
of 20 000 repeated in a random order. Every function is timed in the same run
on the same points, by the CPU time of this thread (so that other processes
on a shared machine slow no one's figure), best of several repeats:

- geodesic_inverse / geodesic_direct (radians);
- pyproj.Geod(ellps="WGS84").inv / .fwd (degrees), and the ratios to them,
  where pyproj is installed (the bench extra);
- geographiclib's Python Geodesic.WGS84.Inverse / Direct, on 2000 geodesics.

Then the inverse kernel's search, counted by a probe built from the kernel's
own chunk loop (geodesic_search_probe.cpp, needs a C++ compiler): the
evaluations of lambda(alpha1) per geodesic, the share of vector lanes busy in
the search (lanes idle only while the last geodesics of each chunk finish),
and the time split between the start, the search and the results.
"""

import argparse
import ctypes
import importlib
import json
import platform
import subprocess
import sys
import tempfile
import time
from pathlib import Path

import numpy as np

import quorvane.mathtools.ellipsoid.ufuncs as U
from shared import best_seconds, lscpu, tests_support

tests_support()
from support.consumer import compiler  # noqa: E402
from support.geodesic_reference import mixed_pairs, mixed_starts  # noqa: E402

A, F = U.WGS84
POOL = 20_000
ROOT = Path(__file__).resolve().parents[1]


def host_cpu():
    return lscpu().get("Model name") or platform.processor() or "unknown"


def point_sets(n, seed=1):
    """{set: (inverse inputs, direct inputs)}, each four float64 columns of length n."""
    rng = np.random.default_rng(seed)
    lat = lambda: np.arcsin(rng.uniform(-1, 1, n))  # noqa: E731
    lon = lambda: rng.uniform(-np.pi, np.pi, n)  # noqa: E731
    random = ((lat(), lon(), lat(), lon()), (lat(), lon(), lon(), rng.uniform(0, 2e7, n)))
    pool_size = min(n, POOL)
    pool_inv, pool_dir = mixed_pairs(pool_size, seed), mixed_starts(pool_size, seed)
    order = rng.integers(0, pool_size, n)
    mix = (tuple(np.ascontiguousarray(c[order]) for c in pool_inv),
           tuple(np.ascontiguousarray(c[order]) for c in pool_dir))
    return {"random": random, "mix": mix}


def optional(name):
    """The module `name`, or None where it is not installed."""
    try:
        return importlib.import_module(name)
    except ImportError:
        return None


def measure(inverse, direct, repeat, sample):
    """ns per geodesic of each function on one set; pyproj's where installed."""
    from geographiclib.geodesic import Geodesic
    n = len(inverse[0])
    lat1, lon1, lat2, lon2 = (np.degrees(c) for c in inverse)
    dlat1, dlon1, dazi1 = (np.degrees(c) for c in direct[:3])
    s12 = direct[3]
    calls = {
        "geodesic_inverse": lambda: U.geodesic_inverse(*inverse, A, F),
        "geodesic_direct": lambda: U.geodesic_direct(*direct, A, F),
    }
    pyproj = optional("pyproj")
    if pyproj is not None:
        geod = pyproj.Geod(ellps="WGS84")
        calls["pyproj Geod.inv"] = lambda: geod.inv(lon1, lat1, lon2, lat2)
        calls["pyproj Geod.fwd"] = lambda: geod.fwd(dlon1, dlat1, dazi1, s12)
    times = {name: best_seconds(call, repeat, time.thread_time) / n * 1e9 for name, call in calls.items()}
    k = min(sample, n)
    gl = Geodesic.WGS84
    times["geographiclib Inverse"] = best_seconds(
        lambda: [gl.Inverse(lat1[i], lon1[i], lat2[i], lon2[i]) for i in range(k)], 1, time.thread_time) / k * 1e9
    times["geographiclib Direct"] = best_seconds(
        lambda: [gl.Direct(dlat1[i], dlon1[i], dazi1[i], s12[i]) for i in range(k)], 1, time.thread_time) / k * 1e9
    return times


def build_probe(folder):
    """The search probe for this machine's kernel set, or None without a compiler."""
    avx2 = U.kernel_set.startswith("avx2")
    target = Path(folder) / "geodesic_search_probe.so"
    cmd = [*compiler(), "-std=c++17", "-O2", "-fno-math-errno", "-ffp-contract=off", "-fPIC", "-shared",
           f"-DQUORVANE_KERNEL_LANES={4 if avx2 else 1}", *(["-mavx2", "-mfma"] if avx2 else []),
           f"-I{ROOT}", f"-I{ROOT / 'src'}", str(Path(__file__).with_name("geodesic_search_probe.cpp")), "-o", str(target),
           *(["-lmvec"] if avx2 else [])]
    try:
        subprocess.run(cmd, check=True, capture_output=True, text=True)
    except (OSError, subprocess.CalledProcessError):
        return None
    return ctypes.CDLL(str(target))


def probe_search(probe, inverse):
    """Evaluations per geodesic, lane occupancy and phase times of the inverse kernel."""
    n = len(inverse[0])
    columns = [np.ascontiguousarray(c, dtype=np.float64) for c in inverse]
    outputs = [np.empty(n) for _ in range(3)]
    evaluations = np.zeros(n)
    seconds = np.zeros(3)
    counts = np.zeros(3, dtype=np.int64)
    pointers = lambda arrays: (ctypes.c_void_p * len(arrays))(*[a.ctypes.data for a in arrays])  # noqa: E731
    probe.probe(ctypes.c_double(A), ctypes.c_double(F), ctypes.c_long(n), pointers(columns), pointers(outputs),
                ctypes.c_void_p(evaluations.ctypes.data), ctypes.c_void_p(seconds.ctypes.data),
                ctypes.c_void_p(counts.ctypes.data))
    reference = U.geodesic_inverse(*inverse, A, F)
    assert all(np.array_equal(o, r, equal_nan=True) for o, r in zip(outputs, reference)), "probe differs from kernel"
    steps, busy, lanes = (int(v) for v in counts)
    histogram = np.bincount(evaluations.astype(int))
    return {"evaluations_mean": float(evaluations.mean()), "evaluations_max": int(evaluations.max()),
            "over_6_evaluations": float(np.mean(evaluations > 6)),
            "evaluations_histogram": {int(k): int(v) for k, v in enumerate(histogram) if v},
            "lane_occupancy": busy / (steps * lanes),
            "ns_start": seconds[0] / n * 1e9, "ns_search": seconds[1] / n * 1e9, "ns_results": seconds[2] / n * 1e9}


def run(n, repeat, sample, json_path=None, out=sys.stdout):
    results = {"cpu": host_cpu(), "kernel_set": U.kernel_set, "n": n, "sets": {}}
    print(f"host: {results['cpu']}; kernels: {U.kernel_set}; one thread; {n} geodesics; "
          f"ns per geodesic (thread CPU time, best of {repeat}); geographiclib on {min(sample, n)}", file=out)
    with tempfile.TemporaryDirectory() as folder:
        probe = build_probe(folder)
        for name, (inverse, direct) in point_sets(n).items():
            times = measure(inverse, direct, repeat, sample)
            entry = {"ns": times}
            if "pyproj Geod.inv" in times:
                entry["inverse_speedup_over_pyproj"] = times["pyproj Geod.inv"] / times["geodesic_inverse"]
                entry["direct_speedup_over_pyproj"] = times["pyproj Geod.fwd"] / times["geodesic_direct"]
            if probe is not None:
                entry["search"] = probe_search(probe, inverse)
            results["sets"][name] = entry
            report(name, entry, out)
    if json_path:
        Path(json_path).write_text(json.dumps(results, indent=1))
    return results


def report(name, entry, out):
    t = entry["ns"]
    print(f"\n{name}:", file=out)
    for problem, ours, pyproj, gl in (("inverse", "geodesic_inverse", "pyproj Geod.inv", "geographiclib Inverse"),
                                      ("direct", "geodesic_direct", "pyproj Geod.fwd", "geographiclib Direct")):
        peer = (f"   {pyproj} {t[pyproj]:8.1f} ({t[pyproj] / t[ours]:.1f}x)" if pyproj in t
                else f"   {pyproj}: not installed")
        print(f"  {problem:8s} {ours:16s} {t[ours]:8.1f}{peer}   geographiclib {t[gl]:9.0f} "
              f"({t[gl] / t[ours]:.0f}x)", file=out)
    s = entry.get("search")
    if s:
        print(f"  inverse search: {s['evaluations_mean']:.2f} evaluations per geodesic (max {s['evaluations_max']}, "
              f"{100 * s['over_6_evaluations']:.2f}% over 6), lanes busy {100 * s['lane_occupancy']:.1f}%; "
              f"ns per geodesic: start {s['ns_start']:.1f}, search {s['ns_search']:.1f}, "
              f"results {s['ns_results']:.1f}", file=out)


def main(argv=None):
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--n", type=int, default=1_000_000, help="geodesics per set")
    parser.add_argument("--quick", action="store_true", help="10 000 geodesics, fewer repeats")
    parser.add_argument("--json", default=None, help="where to write the results as JSON")
    args = parser.parse_args(argv)
    n, repeat, sample = (10_000, 2, 200) if args.quick else (args.n, 5, 2000)
    run(n, repeat, sample, args.json)
    return 0


if __name__ == "__main__":
    sys.exit(main())
