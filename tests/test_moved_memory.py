"""Results and arguments whose memory a hook moves or frees while a method runs: the
stores follow the memory the object holds at that moment, or the call fails; no store
or read reaches memory that was freed (support/scripts/moved_memory.py, each case in
a fresh interpreter)."""

import pytest

REFUSED_RESULT = "refused: the memory of the result was moved or freed by its owner while the call used it"
REFUSED_ARGUMENT = "refused: the memory of the argument was moved or freed by its owner while the call used it"


@pytest.mark.parametrize("case, outcome", [
    pytest.param("zeros_like-view-resized-at-every-read", REFUSED_RESULT, id="zeros_like-view-every-read"),
    pytest.param("zeros_like-view-reduced", REFUSED_RESULT, id="zeros_like-view-reduced"),
    pytest.param("zeros_like-view-geodetic", REFUSED_RESULT, id="zeros_like-view-geodetic"),
    pytest.param("ctypes-one-point", "filled", id="ctypes-grown-one-point"),
    pytest.param("ctypes-rows", "filled", id="ctypes-grown-rows"),
    pytest.param("view-records", REFUSED_RESULT, id="view-records"),
    pytest.param("view-one-record", REFUSED_RESULT, id="view-one-record"),
    pytest.param("view-rows-of-doubles", REFUSED_RESULT, id="view-rows-of-doubles"),
    pytest.param("view-cells", REFUSED_RESULT, id="view-item-assignment"),
    pytest.param("memoryview-rows", REFUSED_RESULT, id="memoryview-of-moved-array"),
    pytest.param("memoryview-cells", REFUSED_RESULT, id="memoryview-item-assignment"),
    pytest.param("stale-before-closed-loop", REFUSED_RESULT, id="moved-before-a-closed-loop"),
    pytest.param("view-argument", REFUSED_ARGUMENT, id="argument-view"),
])
def test_moved_memory_is_followed_or_refused(script, case, outcome):
    done = script("moved_memory.py", case)
    assert (done.returncode, done.stdout.strip()) == (0, outcome), done.stderr[-3000:]


import ctypes  # noqa: E402
import types  # noqa: E402

import numpy as np  # noqa: E402

import quorvane.mathtools.ellipsoid.ellipsoid as M  # noqa: E402

E = M.Ellipsoid(6378137.0, 1 / 298.257223563)
RNG = np.random.default_rng(5)
LAT, LON, ALT = RNG.uniform(-1.5, 1.5, 40), RNG.uniform(-3, 3, 40), RNG.uniform(0, 1e4, 40)


class ByItem(np.ndarray):
    """Not an exact ndarray: read by item access."""


def strided(values):
    """The values as every other element of a larger array."""
    holder = np.zeros(2 * len(values))
    holder[::2] = values
    return holder[::2]


@pytest.mark.parametrize("make", [
    pytest.param(lambda v: v.copy()[:], id="slice"),
    pytest.param(strided, id="strided"),
    pytest.param(lambda v: v[::-1].copy()[::-1], id="reversed"),
    pytest.param(lambda v: np.frombuffer(v.tobytes()), id="frombuffer-bytes"),
    pytest.param(lambda v: np.frombuffer(bytearray(v.tobytes())), id="frombuffer-bytearray"),
    pytest.param(lambda v: np.frombuffer(memoryview(memoryview(bytearray(v.tobytes())))), id="memoryview-of-memoryview"),
    pytest.param(lambda v: np.ctypeslib.as_array((ctypes.c_double * len(v))(*v)), id="ctypes-array"),
    pytest.param(lambda v: np.lib.stride_tricks.as_strided(v.copy(), v.shape, v.strides), id="as_strided"),
])
def test_views_whose_owner_holds_the_memory_are_read_as_before(make):
    want = E.pos_from_lla(LAT, LON, ALT)
    assert E.pos_from_lla(make(LAT), make(LON), make(ALT)).tobytes() == want.tobytes()
    # one argument read by item access: the others are read from memory element by element
    assert E.pos_from_lla(make(LAT), LON.view(ByItem), make(ALT)).tobytes() == want.tobytes()


@pytest.mark.parametrize("zeros", [
    pytest.param(lambda shape, dtype: np.zeros(shape, dtype)[:], id="view"),
    pytest.param(lambda shape, dtype: np.zeros(shape, dtype)[::-1][::-1], id="view-of-reversed-view"),
    pytest.param(lambda shape, dtype: np.frombuffer(bytearray(np.zeros(shape, dtype).tobytes()), dtype).reshape(shape),
                 id="frombuffer-bytearray"),
    pytest.param(lambda shape, dtype: memoryview(np.zeros(shape, dtype)), id="memoryview"),
])
@pytest.mark.parametrize("read", [pytest.param(lambda v: v, id="from-memory"), pytest.param(lambda v: v.view(ByItem), id="by-item-access")])
def test_results_that_view_memory_their_owner_holds_are_filled(monkeypatch, zeros, read):
    want = E.pos_from_lla(LAT, LON, ALT)
    monkeypatch.setattr(M, "numpy", types.SimpleNamespace(zeros=zeros, asarray=np.asarray, double=np.double))
    got = E.pos_from_lla(read(LAT), LON, ALT)
    assert np.asarray(got).tobytes() == want.tobytes()
