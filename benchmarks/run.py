"""Speed of the ten Ellipsoid methods against their bare loops and peer libraries.

    python benchmarks/run.py [--quick] [--json PATH]

For each method and N points of float64 input it measures, in one run:
- the method itself;
- the bare loop: the same C-level routine applied over the same arrays by a
  C++ loop with no Python per point (the test-only consumer extension), which
  is the limit the method can reach;
- the peers on the conversions they share (pymap3d, pyproj, pyerfa), where
  installed (`pip install ".[bench]"`).
It prints time per point with the ratios method/bare and peer/method, the
opt-in split of one large call across threads (QUORVANE_NUM_THREADS at 1 and
2, each in its own interpreter), the peak memory of one large conversion, and
writes everything as JSON.
"""

import argparse
import importlib
import json
import os
import subprocess
import sys
import tempfile
import time
import timeit
import tracemalloc
from pathlib import Path

import numpy as np

from quorvane.mathtools.ellipsoid.ellipsoid import Ellipsoid
from shared import tests_support

tests_support()
from support.consumer import build_consumer  # noqa: E402
from support.methods import METHODS  # noqa: E402

RE, F = 6378137.0, 1 / 298.257223563
OBSERVER = (0.6, -1.2, 120.0)  # lat, lon [rad], alt [m]
RAY_SOURCE = np.array([42164e3, 0.0, 0.0])


def inputs(n, seed=1):
    """Random geodetic points, their ECEF positions and rays towards them."""
    rng = np.random.default_rng(seed)
    lat = rng.uniform(-1.5, 1.5, n)
    lon = rng.uniform(-3.1, 3.1, n)
    alt = rng.uniform(-1e4, 1e6, n)
    e = Ellipsoid(RE, F)
    r = e.pos_from_lla(lat, lon, alt)
    u = r - RAY_SOURCE
    return dict(lat=lat, lon=lon, alt=alt, r=r, u=u)


def method_calls(e, d, n):
    """The call of each method: on one point (scalars or a 3-vector) for N = 1."""
    one = n == 1
    lat, lon, alt, r, u = d["lat"], d["lon"], d["alt"], d["r"], d["u"]
    if one:
        lat, lon, alt = float(lat[0]), float(lon[0]), float(alt[0])
        r, u = r[0].copy(), u[0].copy()
    obs = OBSERVER
    return {
        "reduced_lat_from_geodetic_lat": (e.reduced_lat_from_geodetic_lat, lat),
        "geodetic_lat_from_reduced_lat": (e.geodetic_lat_from_reduced_lat, lat),
        "enu": (e.enu, lat, lon),
        "surf_pos_from_surf_coord": (e.surf_pos_from_surf_coord, lat, lon),
        "surf_coord_from_surf_pos": (e.surf_coord_from_surf_pos, r),
        "solve_reduced_lat_equation": (e.solve_reduced_lat_equation, r),
        "lla_from_pos": (e.lla_from_pos, r),
        "pos_from_lla": (e.pos_from_lla, lat, lon, alt),
        "surf_pos_of_ray_first_intersection": (e.surf_pos_of_ray_first_intersection, RAY_SOURCE, u),
        "aer_coords": (e.aer_coords, r, *obs),
    }


def bare_calls(consumer, e, d):
    lat, lon, alt, r, u = d["lat"], d["lon"], d["alt"], d["r"], d["u"]
    obs = [np.full(len(lat), v) for v in OBSERVER]
    b = consumer
    return {
        "reduced_lat_from_geodetic_lat": (b.bare_reduced_lat_from_geodetic_lat, e, lat),
        "geodetic_lat_from_reduced_lat": (b.bare_geodetic_lat_from_reduced_lat, e, lat),
        "enu": (b.bare_enu, e, lat, lon),
        "surf_pos_from_surf_coord": (b.bare_surf_pos_from_surf_coord, e, lat, lon),
        "surf_coord_from_surf_pos": (b.bare_surf_coord_from_surf_pos, e, r),
        "solve_reduced_lat_equation": (b.bare_solve_reduced_lat_equation, e, r),
        "lla_from_pos": (b.bare_lla_from_pos, e, r),
        "pos_from_lla": (b.bare_pos_from_lla, e, lat, lon, alt),
        "surf_pos_of_ray_first_intersection":
            (b.bare_surf_pos_of_ray_first_intersection, e, RAY_SOURCE, u),
        "aer_coords": (b.bare_aer_coords, e, r, *obs),
    }


def optional(name):
    """The module `name`, or None where it is not installed."""
    try:
        return importlib.import_module(name)
    except ImportError:
        return None


def peer_calls(d, n):
    """Peer functions doing the same conversion, keyed by method, where installed."""
    peers = {}
    one = n == 1
    lat, lon, alt, r = d["lat"], d["lon"], d["alt"], d["r"]
    x, y, z = r[:, 0], r[:, 1], r[:, 2]
    if one:
        lat, lon, alt = float(lat[0]), float(lon[0]), float(alt[0])
        x, y, z = float(x[0]), float(y[0]), float(z[0])
    pymap3d, pyproj, erfa = (optional(name) for name in ("pymap3d", "pyproj", "erfa"))
    if pymap3d is not None:
        from pymap3d.los import lookAtSpheroid

        ell = pymap3d.Ellipsoid(RE, RE * (1 - F))
        lat0, lon0, h0 = OBSERVER
        az = np.pi / 4 if one else np.full(len(d["lat"]), np.pi / 4)
        tilt = 0.1 if one else np.full(len(d["lat"]), 0.1)
        deg = {"deg": False}
        peers["pos_from_lla", "pymap3d"] = (pymap3d.geodetic2ecef, lat, lon, alt, ell, deg)
        peers["lla_from_pos", "pymap3d"] = (pymap3d.ecef2geodetic, x, y, z, ell, deg)
        peers["aer_coords", "pymap3d"] = (pymap3d.ecef2aer, x, y, z, lat0, lon0, h0, ell, deg)
        peers["enu", "pymap3d geodetic2enu"] = \
            (pymap3d.geodetic2enu, lat, lon, alt, lat0, lon0, h0, ell, deg)
        peers["surf_pos_of_ray_first_intersection", "pymap3d lookAtSpheroid"] = \
            (lookAtSpheroid, lat0, lon0, h0, az, tilt, ell, deg)
        peers["reduced_lat_from_geodetic_lat", "pymap3d"] = (pymap3d.geodetic2parametric, lat, ell, deg)
        peers["geodetic_lat_from_reduced_lat", "pymap3d"] = (pymap3d.parametric2geodetic, lat, ell, deg)
    if pyproj is not None:
        to_ecef = pyproj.Transformer.from_crs("EPSG:4979", "EPSG:4978", always_xy=True)
        to_geo = pyproj.Transformer.from_crs("EPSG:4978", "EPSG:4979", always_xy=True)
        lon_deg, lat_deg = np.degrees(lon), np.degrees(lat)
        if one:
            lon_deg, lat_deg = float(lon_deg), float(lat_deg)
        peers["pos_from_lla", "pyproj"] = (to_ecef.transform, lon_deg, lat_deg, alt)
        peers["lla_from_pos", "pyproj"] = (to_geo.transform, x, y, z)
    if erfa is not None:
        xyz = np.array([x, y, z]) if one else np.ascontiguousarray(r)
        peers["pos_from_lla", "pyerfa"] = (erfa.gd2gce, RE, F, lon, lat, alt)
        peers["lla_from_pos", "pyerfa"] = (erfa.gc2gde, RE, F, xyz)
    return peers


def per_call(call, min_time, repeat, clock=timeit.default_timer):
    """Best time of one call, over `repeat` rounds of at least `min_time` seconds.

    `call` is (function, *arguments), with a dict of keywords last if any; the
    call is timed as a plain call expression, without a wrapper around it.
    """
    fn, *args = call
    kwargs = args.pop() if args and isinstance(args[-1], dict) else {}
    names = {f"a{k}": a for k, a in enumerate(args)}
    names.update({f"k_{k}": v for k, v in kwargs.items()})
    stmt = "fn(" + ", ".join([f"a{k}" for k in range(len(args))] +
                             [f"{k}=k_{k}" for k in kwargs]) + ")"
    timer = timeit.Timer(stmt, timer=clock, globals={"fn": fn, **names})
    number = 1
    while (elapsed := timer.timeit(number)) < min_time:
        number *= max(2, min(10, int(min_time / max(elapsed, 1e-9)) + 1))
    return min([elapsed / number] + [t / number for t in timer.repeat(repeat - 1, number)])


def peak_memory(n):
    """Peak traced memory of lla_from_pos on n points, against the result's size."""
    e = Ellipsoid(RE, F)
    r = np.random.default_rng(2).uniform(-7e6, 7e6, (n, 3))
    tracemalloc.start()
    tracemalloc.reset_peak()
    result = e.lla_from_pos(r)
    _, peak = tracemalloc.get_traced_memory()
    tracemalloc.stop()
    return {"points": n, "result_bytes": result.nbytes, "peak_bytes": peak,
            "peak_over_result": peak / result.nbytes}


def thread_scaling(n, counts=(1, 2)):
    """Best time per call of a few methods on n points, per thread count."""
    script = Path(__file__).with_name("thread_split.py")
    times = {}
    for count in counts:
        env = {**os.environ, "QUORVANE_NUM_THREADS": str(count)}
        proc = subprocess.run([sys.executable, "-P", str(script), str(n)], env=env,
                              capture_output=True, text=True, check=True)
        times[count] = json.loads(proc.stdout)
    return {"points": n, "seconds": times}


def run(quick=False, json_path=None, out=sys.stdout, clock=timeit.default_timer):
    sizes = (1, 100, 10_000) if quick else (1, 1000, 1_000_000)
    min_time, repeat = (0.005, 2) if quick else (0.2, 5)
    e = Ellipsoid(RE, F)
    with tempfile.TemporaryDirectory() as tmp:
        consumer = build_consumer(tmp)
        rows = []
        for n in sizes:
            d = inputs(n)
            methods = method_calls(e, d, n)
            bares = bare_calls(consumer, e, d)
            peers = peer_calls(d, n)
            for name in METHODS:
                t = per_call(methods[name], min_time, repeat, clock) / n
                t_bare = per_call(bares[name], min_time, repeat, clock) / n
                row = {"method": name, "n": n, "ns_per_point": t * 1e9,
                       "bare_ns_per_point": t_bare * 1e9, "method_over_bare": t / t_bare,
                       "peers": {}}
                for (key, peer), peer_fn in peers.items():
                    if key == name:
                        t_peer = per_call(peer_fn, min_time, repeat, clock) / n
                        row["peers"][peer] = {"ns_per_point": t_peer * 1e9,
                                              "peer_over_method": t_peer / t}
                rows.append(row)
    threads = thread_scaling(200_000 if quick else 10_000_000)
    memory = peak_memory(100_000 if quick else 10_000_000)
    report(rows, threads, memory, out)
    if json_path:
        Path(json_path).write_text(json.dumps({"rows": rows, "threads": threads, "memory": memory}, indent=1))
    return rows, memory


def report(rows, threads, memory, out):
    print(f"{'method':36s} {'N':>8s} {'ns/pt':>9s} {'bare':>9s} {'m/bare':>7s}  peers: ns/pt (peer/method)",
          file=out)
    for row in rows:
        peers = "  ".join(f"{p} {v['ns_per_point']:.1f} ({v['peer_over_method']:.1f}x)"
                          for p, v in row["peers"].items())
        print(f"{row['method']:36s} {row['n']:8d} {row['ns_per_point']:9.1f} "
              f"{row['bare_ns_per_point']:9.1f} {row['method_over_bare']:7.2f}  {peers}", file=out)
    one = threads["seconds"][1]
    print(f"\nOne call on {threads['points']} points, split across threads (QUORVANE_NUM_THREADS):", file=out)
    print(f"{'method':36s} " + " ".join(f"{f'{c} thr ms':>10s} {'speed-up':>8s}" for c in threads["seconds"]),
          file=out)
    for name in one:
        cells = " ".join(f"{t[name] * 1e3:10.1f} {one[name] / t[name]:8.2f}" for t in threads["seconds"].values())
        print(f"{name:36s} {cells}", file=out)
    print(f"\nlla_from_pos on {memory['points']} points: result {memory['result_bytes'] / 2**20:.1f} MiB, "
          f"peak traced {memory['peak_bytes'] / 2**20:.1f} MiB "
          f"({memory['peak_over_result']:.3f} x result)", file=out)


def main(argv=None):
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--quick", action="store_true", help="small sizes and short timings")
    parser.add_argument("--json", default=None, help="where to write the results as JSON")
    parser.add_argument("--cpu-time", action="store_true",
                        help="time the tables in CPU time of the calling thread (for a loaded machine)")
    args = parser.parse_args(argv)
    run(args.quick, args.json, clock=time.thread_time if args.cpu_time else timeit.default_timer)
    return 0


if __name__ == "__main__":
    sys.exit(main())
