"""Leak loops over the call paths of the Python level, successful and failing: after a
warm-up each call is repeated, and neither the traced memory nor the reference counts of
its arguments, the record dtypes, None or numpy may grow."""

import gc
import pickle
import sys
import tracemalloc

import numpy as np
import pytest

import quorvane.datamodel as dm
import quorvane.mathtools.ellipsoid.ellipsoid as M
from support.methods import METHODS, missing

WARM, LOOPS, SLACK = 200, 2000, 64 * 1024
E, SPARE = M.Ellipsoid(6378137.0, 1 / 298.257223563), M.Ellipsoid(2.0, 0.5)
DTYPES = [dm.SurfCoord_dtype, dm.LLA_dtype, dm.ENU_dtype, dm.AER_dtype]
WRONG = np.dtype([("a", "f4"), ("b", "f4"), ("c", "f8"), ("d", "f8")])  # 24 bytes, not 3 doubles
HUGE, STR, DELETE = 10 ** 400, "x", object()


class Boom(Exception):
    pass


class Raising:
    def __float__(self):
        raise Boom


class Spoilt(np.ndarray):
    """Read through Python item access; element (or row) `at` reads as `bad`."""
    at, bad = -1, None

    def __getitem__(self, i):
        if type(i) is int and i == self.at:
            return self.bad if self.ndim == 1 else (1.0, self.bad, 1.0)
        return super().__getitem__(i)


def spoil(a, bad, at=2):
    s = a.view(Spoilt)
    s.at, s.bad = at, bad
    return s


RAISING = Raising()
LAT, LON, ALT = np.linspace(-1.5, 1.5, 4), np.linspace(-3, 3, 4), np.linspace(-1e3, 1e7, 4)
POS = E.pos_from_lla(LAT, LON, ALT)
OBS = (0.5, 1.0, 9.0)
INPUTS = {  # method: (one point, many points, badly shaped, record dtype of the result)
    "reduced_lat_from_geodetic_lat": ((0.5,), (LAT,), None, None),
    "geodetic_lat_from_reduced_lat": ((0.5,), (LAT,), None, None),
    "enu": ((0.5, 1.0), (LAT, LON), (LAT, LON[1:]), "ENU_dtype"),
    "surf_pos_from_surf_coord": ((0.5, 1.0), (LAT, LON), (LAT, LON[1:]), None),
    "surf_coord_from_surf_pos": ((POS[0],), (POS,), (POS[:, :2],), "SurfCoord_dtype"),
    "solve_reduced_lat_equation": ((POS[0],), (POS,), (POS[:, :2],), None),
    "lla_from_pos": ((POS[0],), (POS,), (POS[:, :2],), "LLA_dtype"),
    "pos_from_lla": (OBS, (LAT, LON, ALT), (LAT, LON, ALT[1:]), None),
    "surf_pos_of_ray_first_intersection": ((2 * POS[1], -POS[1]), (2 * POS[1], -POS),
                                           (POS[1], POS[:, :2]), None),
    "aer_coords": ((POS[0], *OBS), (POS, *OBS), (POS[:, :2], *OBS), "AER_dtype"),
}


def swap(args, k, value):
    return args[:k] + (value,) + args[k + 1:]


def case(id, fn, args, exc=None, patch=(), **kwargs):
    return pytest.param(fn, args, kwargs, exc, patch, id=id)


def method_cases(name, one, many, bad, record):
    f, c = getattr(E, name), lambda path, *rest, **kw: case(f"{name}-{path}", *rest, **kw)
    k = max(i for i, a in enumerate(many) if isinstance(a, np.ndarray))  # the array read last
    yield from [c("one", f, one), c("many", f, many),
                c("item-protocol", f, swap(many, k, spoil(many[k], None, -1))),
                c("missing-argument", f, many[:-1], TypeError),
                c("unknown-keyword", f, many, TypeError, bogus=0),
                c("self-not-ellipsoid", getattr(M.Ellipsoid, name), (None,) + many, TypeError),
                c("element-str", f, swap(many, k, spoil(many[k], STR)), TypeError),
                c("element-raising", f, swap(many, k, spoil(many[k], RAISING)), Boom),
                c("numpy-removed", f, many, NameError, [("numpy", DELETE)])]
    if isinstance(one[0], float):
        yield c("scalar-overflow", f, swap(one, 0, HUGE), OverflowError)
        yield c("Real-removed", f, one, NameError, [("Real", DELETE)])
    else:
        yield c("one-point-element-raising", f, swap(one, 0, spoil(one[0], RAISING, 1)), Boom)
    if bad:
        yield c("bad-shape", f, bad, AssertionError)
    if record:
        yield c("record-dtype-mismatch", f, many, ValueError, [(record, WRONG)])


R0, F0 = E.Re, E.f
CASES = [
    case("Ellipsoid", M.Ellipsoid, (R0, F0)),
    case("Ellipsoid-keywords", M.Ellipsoid, (), Re=R0, f=F0),
    case("Ellipsoid-missing-argument", M.Ellipsoid, (R0,), TypeError),
    case("Ellipsoid-unknown-keyword", M.Ellipsoid, (R0,), TypeError, g=F0),
    case("Ellipsoid-str", M.Ellipsoid, (STR, F0), TypeError),
    case("Ellipsoid-overflow", M.Ellipsoid, (HUGE, F0), OverflowError),
    case("Ellipsoid-raising", M.Ellipsoid, (R0, RAISING), Boom),
    case("Ellipsoid-f-out-of-range", M.Ellipsoid, (R0, 1.0), AssertionError),
    case("__init__-again", SPARE.__init__, (R0, 0.1)),
    case("__init__-str", SPARE.__init__, (R0, STR), TypeError),
    *[case(f"{p}-get", getattr(M.Ellipsoid, p).__get__, (E,)) for p in ("Re", "f", "Rp")],
    case("Re-set", setattr, (SPARE, "Re", 1.0), AttributeError),
    case("__reduce__", E.__reduce__, (), TypeError),
    case("__reduce__-surplus-argument", E.__reduce__, (STR,), TypeError),
    case("__setstate__", E.__setstate__, (None,), TypeError),
    case("__setstate__-keyword", E.__setstate__, (), TypeError, state=None),
    case("__setstate__-missing-argument", E.__setstate__, (), TypeError),
    case("pickle.dumps", pickle.dumps, (E,), TypeError),
    case("latitude-int-array", E.reduced_lat_from_geodetic_lat, (np.arange(4),), ValueError),
    case("aer_coords-str-observer", E.aer_coords, (POS, 0.5, STR, 9.0), TypeError),
    *[c for name in METHODS if name in INPUTS for c in method_cases(name, *INPUTS[name])],
]


def test_every_method_has_leak_inputs():
    assert missing(INPUTS) == []


@pytest.fixture(scope="module", autouse=True)
def frozen_heap():  # gc.collect() then only visits the objects made by the loops
    gc.collect(), gc.freeze()
    yield
    gc.unfreeze()


def growth(call, watched):
    """Traced bytes and largest reference-count change over LOOPS calls after WARM calls."""
    tracemalloc.start()
    try:
        for _ in range(WARM):
            call()
        gc.collect()
        refs, before = [sys.getrefcount(o) for o in watched], tracemalloc.get_traced_memory()[0]
        for _ in range(LOOPS):
            call()
        gc.collect()
        after, grown = [sys.getrefcount(o) for o in watched], tracemalloc.get_traced_memory()[0]
        return grown - before, max(a - b for a, b in zip(after, refs))
    finally:
        tracemalloc.stop()


@pytest.mark.parametrize("fn, args, kwargs, exc, patch", CASES)
def test_repeated_calls_leak_nothing(monkeypatch, fn, args, kwargs, exc, patch):
    for name, value in patch:
        monkeypatch.delattr(M, name) if value is DELETE else monkeypatch.setattr(M, name, value)

    def call():
        try:
            fn(*args, **kwargs)
        except exc or ():
            return
        assert exc is None, f"no {exc.__name__}"

    call()
    watched = [None, np, M.Ellipsoid, E, STR, HUGE, RAISING, WRONG, *DTYPES, *args, *kwargs.values()]
    grown, refs = growth(call, watched)
    assert grown < SLACK and refs <= 0, (grown, refs)


def test_repeated_failed_imports_leak_nothing_and_a_real_import_follows(script):
    proc = script("failed_import_loop.py")
    assert proc.returncode == 0, (proc.returncode, proc.stderr)  # -11: crashed
    grown, refs, rp, distance = map(float, proc.stdout.split()[-4:])
    assert grown < SLACK and refs <= 0, (grown, refs)
    # Observer on the equator at (2, 0, 0), target 4 m east and 1 m up.
    assert rp == 1.0 and distance == pytest.approx(17 ** 0.5)
