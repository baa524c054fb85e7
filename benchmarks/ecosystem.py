"""The ufuncs under dask: a two-process dask.distributed cluster against the eager call,
and the threaded scheduler's scaling from one thread to two.

    python benchmarks/ecosystem.py [--points N] [--threaded-points N] [--repeat K]

1. dask.distributed: LocalCluster(processes=True, n_workers=2, threads_per_worker=1)
   on loopback converts N ECEF positions (default 10^6, chunks of N/8) to latitude,
   longitude and altitude with lla_from_pos, first with the positions already on
   the workers (persisted), then shipped from the client; the results come back to
   the client and are checked bit for bit against the eager NumPy call.
2. Threaded scheduler: lla_from_pos and pos_from_lla on N points (default 10^7,
   chunks of 10^6) held in memory, computed with 1 and 2 threads; each output is
   reduced to its sum so that the time is the ufunc's. The load average is
   printed with the times: on a shared machine, other processes take cores.
Times are the best of --repeat runs.
"""

import os
import time
import warnings

import dask
import dask.array as da
import numpy as np
from distributed import Client, LocalCluster

import quorvane.mathtools.ellipsoid.ufuncs as U
from shared import whole_number_options

THREE = "(),(),(),(),()->(),(),()"

# Shipping the positions inside the graph is the case being measured.
warnings.filterwarnings("ignore", message="Sending large graph")


def best(repeat, run):
    times = []
    for _ in range(repeat):
        start = time.perf_counter()
        result = run()
        times.append(time.perf_counter() - start)
    return min(times), result


def positions(n, seed=1):
    rng = np.random.default_rng(seed)
    lat, lon, alt = rng.uniform(-1.5, 1.5, n), rng.uniform(-3.1, 3.1, n), rng.uniform(-1e4, 1e6, n)
    return (lat, lon, alt), U.pos_from_lla(lat, lon, alt, *U.WGS84)


def same_bits(a, b):
    return all(x.tobytes() == y.tobytes() for x, y in zip(a, b))


def lla_graph(x, y, z):
    return da.apply_gufunc(U.lla_from_pos, THREE, x, y, z, *U.WGS84, output_dtypes=[np.float64] * 3)


def distributed(n, repeat):
    _, xyz = positions(n)
    eager_s, eager = best(repeat, lambda: U.lla_from_pos(*xyz, *U.WGS84))
    chunk = max(n // 8, 1)
    started = time.perf_counter()
    with LocalCluster(processes=True, n_workers=2, threads_per_worker=1, host="127.0.0.1",
                      dashboard_address=":0") as cluster, Client(cluster) as client:
        startup_s = time.perf_counter() - started
        on_workers = client.persist([da.from_array(c, chunks=chunk) for c in xyz])
        client.gather(client.compute([a.sum() for a in on_workers]))
        resident_s, resident = best(repeat, lambda: client.compute(lla_graph(*on_workers), sync=True))
        shipped_s, shipped = best(repeat, lambda: client.compute(
            lla_graph(*[da.from_array(c, chunks=chunk) for c in xyz]), sync=True))
    assert same_bits(resident, eager) and same_bits(shipped, eager), "distributed bits differ from eager"
    print(f"dask.distributed, lla_from_pos on {n:,} points, 2 worker processes x 1 thread, {n // chunk} chunks "
          f"(load average after: {os.getloadavg()[0]:.2f})")
    print(f"  eager NumPy call                         {eager_s * 1e3:9.1f} ms  {eager_s / n * 1e9:7.1f} ns/point")
    print(f"  cluster, positions on the workers        {resident_s * 1e3:9.1f} ms  x{resident_s / eager_s:5.2f} eager")
    print(f"  cluster, positions shipped from client   {shipped_s * 1e3:9.1f} ms  x{shipped_s / eager_s:5.2f} eager")
    print(f"  cluster start-up (not in the above)      {startup_s * 1e3:9.1f} ms")
    print("  results equal the eager call bit for bit")


def threaded(n, repeat):
    lla, xyz = positions(n, seed=2)
    chunk = 1_000_000
    cases = {
        "lla_from_pos": [a.sum() for a in lla_graph(*[da.from_array(c, chunks=chunk) for c in xyz])],
        "pos_from_lla": [a.sum() for a in da.apply_gufunc(
            U.pos_from_lla, THREE, *[da.from_array(c, chunks=chunk) for c in lla], *U.WGS84,
            output_dtypes=[np.float64] * 3)],
    }
    print(f"dask threaded scheduler, {n:,} points in chunks of {chunk:,} "
          f"(cpus: {os.cpu_count()}, load average before: {os.getloadavg()[0]:.2f})")
    def timed(sums, threads):
        # CPU time over wall time: above 1 only while both threads compute at once,
        # i.e. with the interpreter lock released; other processes lower it.
        cpu, start = time.process_time(), time.perf_counter()
        wall, _ = best(repeat, lambda: dask.compute(*sums, scheduler="threads", num_workers=threads))
        return wall, (time.process_time() - cpu) / (time.perf_counter() - start)

    for name, sums in cases.items():
        (one, _), (two, busy) = timed(sums, 1), timed(sums, 2)
        print(f"  {name:14s} 1 thread {one * 1e3:8.1f} ms   2 threads {two * 1e3:8.1f} ms   "
              f"speed-up x{one / two:4.2f}   cpu/wall with 2 x{busy:4.2f}   "
              f"load average {os.getloadavg()[0]:.2f}")


def main():
    args = whole_number_options(__doc__, points=1_000_000, threaded_points=10_000_000, repeat=3)
    distributed(args.points, args.repeat)
    threaded(args.threaded_points, args.repeat)


if __name__ == "__main__":
    main()
