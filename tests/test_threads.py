"""Threads sharing one Ellipsoid: every method, in batches and in its one-point forms,
called concurrently with inputs of each thread's own, must give bit for bit the results
computed beforehand on one thread; a call failing in one thread touches no other."""

import sys
import threading
from concurrent.futures import ThreadPoolExecutor

import numpy as np
import pytest

import quorvane.mathtools.ellipsoid.ellipsoid as M
from support.methods import METHODS

THREADS, POINTS, ROUNDS, STEP = 8, 2000, 3, 100
E = M.Ellipsoid(6378137.0, 1 / 298.257223563)


class PyItems(np.ndarray):
    """Elements read through Python code, so that other threads may run within a call."""

    def __getitem__(self, i):
        return super().__getitem__(i)


class Boom(Exception):
    pass


class Raising:
    def __init__(self, thread):
        self.thread = thread

    def __float__(self):
        raise Boom(self.thread)


def calls(thread):
    """(method name, arguments) of every batch and of one-point forms, in a shuffled order."""
    rng = np.random.default_rng(thread)
    lat, lon = rng.uniform(-1.6, 1.6, POINTS), rng.uniform(-4.0, 4.0, POINTS)
    alt, r = rng.uniform(-5e6, 3e7, POINTS), rng.uniform(-1.5e7, 1.5e7, (POINTS, 3))
    u, src = rng.normal(size=(POINTS, 3)), np.array([2e7, -1e7, 5e6])  # many rays miss: NaN
    lat[::97], r[::89, 1], u[::83] = np.nan, np.inf, 0.0
    obs = (lat[1], lon[1], alt[1])
    batch = {"reduced_lat_from_geodetic_lat": (lat,), "geodetic_lat_from_reduced_lat": (lat,),
             "enu": (lat, lon), "surf_pos_from_surf_coord": (lat, lon),
             "surf_coord_from_surf_pos": (r,), "solve_reduced_lat_equation": (r,),
             "lla_from_pos": (r,), "pos_from_lla": (lat, lon, alt),
             "surf_pos_of_ray_first_intersection": (src, u), "aer_coords": (r, *obs)}
    one = {"reduced_lat_from_geodetic_lat": lambda i: (float(lat[i]),),
           "geodetic_lat_from_reduced_lat": lambda i: (lat[i],),
           "enu": lambda i: (lat[i], lon[i]), "surf_pos_from_surf_coord": lambda i: (float(lat[i]), float(lon[i])),
           "surf_coord_from_surf_pos": lambda i: (r[i],), "solve_reduced_lat_equation": lambda i: (r[i],),
           "lla_from_pos": lambda i: (r[i],), "pos_from_lla": lambda i: (float(lat[i]), lon[i], float(alt[i])),
           "surf_pos_of_ray_first_intersection": lambda i: (src, u[i]), "aer_coords": lambda i: (r[i], *obs)}
    batches = [(name, batch[name]) for name in METHODS]
    ones = [(name, one[name](i)) for i in range(0, POINTS, STEP) for name in METHODS]
    everything = batches + ones
    return [everything[k] for k in rng.permutation(len(everything))]


def same(got, want):
    return (type(got) is type(want) and np.asarray(got).dtype == np.asarray(want).dtype
            and np.shape(got) == np.shape(want)
            and np.asarray(got).tobytes() == np.asarray(want).tobytes())


def py_items(args):
    return tuple(a.view(PyItems) if isinstance(a, np.ndarray) else a for a in args)


@pytest.fixture
def fast_switching():
    old = sys.getswitchinterval()
    sys.setswitchinterval(1e-5)
    yield
    sys.setswitchinterval(old)


def test_concurrent_calls_on_one_ellipsoid_match_single_threaded_results(fast_switching):
    work = [calls(t) for t in range(THREADS)]
    expected = [[getattr(E, name)(*args) for name, args in w] for w in work]
    start = threading.Barrier(THREADS)

    def worker(t):
        bad_rows = np.ones((50, 3), dtype=object)
        bad_rows[25, 1] = Raising(t)
        start.wait()
        mismatches = []
        for rnd in range(ROUNDS):
            for (name, args), want in zip(work[t], expected[t]):
                got = getattr(E, name)(*(py_items(args) if rnd % 2 else args))
                if not same(got, want):
                    mismatches.append((rnd, name))
            with pytest.raises(Boom) as failed:
                E.lla_from_pos(bad_rows)
            if failed.value.args != (t,):
                mismatches.append((rnd, "exception of another thread"))
        return mismatches

    with ThreadPoolExecutor(THREADS) as pool:
        outcomes = list(pool.map(worker, range(THREADS)))
    assert outcomes == [[]] * THREADS
