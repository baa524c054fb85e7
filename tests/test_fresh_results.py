"""Results are made as numpy.zeros makes them: every property a caller can observe
(type, flags, owner, dtype object, memory handler, tracemalloc record, zero bytes
where nothing was written) is the one of numpy.zeros with the same shape and dtype."""

import tracemalloc

import numpy as np
import pytest

import quorvane.mathtools.ellipsoid.ellipsoid as module
from quorvane.mathtools.ellipsoid.ellipsoid import Ellipsoid

try:
    from numpy._core.multiarray import get_handler_name
except ImportError:  # NumPy 1.x
    from numpy.core.multiarray import get_handler_name

E = Ellipsoid(6378137.0, 1 / 298.257223563)
RNG = np.random.default_rng(11)
LAT, LON, ALT = RNG.uniform(-1.5, 1.5, 500), RNG.uniform(-3, 3, 500), RNG.uniform(0, 1e6, 500)
R = E.pos_from_lla(LAT, LON, ALT)

# (call, the dtype numpy.zeros would be given): one point and many for each kind of
# result (records, (n, 3) vectors, zeros_like latitudes, vectors stored by item).
CALLS = [
    pytest.param(lambda: E.lla_from_pos(R[0]), "LLA_dtype", id="lla-one-point"),
    pytest.param(lambda: E.lla_from_pos(R), "LLA_dtype", id="lla-array"),
    pytest.param(lambda: E.enu(0.3, 1.2), "ENU_dtype", id="enu-one-point"),
    pytest.param(lambda: E.enu(LAT, LON), "ENU_dtype", id="enu-array"),
    pytest.param(lambda: E.aer_coords(R[0], 0.6, -1.2, 120.0), "AER_dtype", id="aer-one-point"),
    pytest.param(lambda: E.aer_coords(R, 0.6, -1.2, 120.0), "AER_dtype", id="aer-array"),
    pytest.param(lambda: E.surf_coord_from_surf_pos(R[:7]), "SurfCoord_dtype", id="surf-coord-array"),
    pytest.param(lambda: E.pos_from_lla(LAT, LON, ALT), None, id="vectors"),
    pytest.param(lambda: E.reduced_lat_from_geodetic_lat(LAT), None, id="latitudes"),
    pytest.param(lambda: E.surf_pos_from_surf_coord(LAT, LON), None, id="vectors-by-item"),
    pytest.param(lambda: E.lla_from_pos(R[:0]), "LLA_dtype", id="lla-empty"),
]


def numpy_zeros_like(result, dtype_name):
    dtype = getattr(module, dtype_name) if dtype_name else np.double
    return np.zeros(result.shape, dtype)


def observable(array):
    return {
        "type": type(array),
        "flags": {flag: array.flags[flag] for flag in
                  ("C_CONTIGUOUS", "F_CONTIGUOUS", "OWNDATA", "WRITEABLE", "ALIGNED", "WRITEBACKIFCOPY")},
        "base": array.base,
        "dtype": id(array.dtype),
        "shape": array.shape,
        "strides": array.strides,
        "handler": get_handler_name(array),
        "address mod 16": array.ctypes.data % 16,
    }


@pytest.mark.parametrize("call, dtype_name", CALLS)
def test_result_is_what_numpy_zeros_makes(call, dtype_name):
    result = call()
    assert observable(result) == observable(numpy_zeros_like(result, dtype_name))


def traced_blocks(action):
    """The blocks in NumPy's tracemalloc domain that `action` leaves allocated:
    (its result, sizes of the blocks)."""
    numpy_domain = [tracemalloc.DomainFilter(True, np.lib.tracemalloc_domain)]
    tracemalloc.start()
    try:
        before = tracemalloc.take_snapshot().filter_traces(numpy_domain)
        result = action()
        after = tracemalloc.take_snapshot().filter_traces(numpy_domain)
    finally:
        tracemalloc.stop()
    known = {trace.traceback for trace in before.traces}
    return result, sorted(trace.size for trace in after.traces if trace.traceback not in known)


@pytest.mark.parametrize("call, dtype_name", CALLS)
def test_result_traced_as_numpy_traces_it(call, dtype_name):
    result, sizes = traced_blocks(call)
    _, zeros_sizes = traced_blocks(lambda: numpy_zeros_like(result, dtype_name))
    assert sizes == zeros_sizes == [max(result.nbytes, 1)]


def test_result_untraced_once_freed():
    numpy_domain = [tracemalloc.DomainFilter(True, np.lib.tracemalloc_domain)]
    tracemalloc.start()
    try:
        before = tracemalloc.take_snapshot().filter_traces(numpy_domain)
        result = E.lla_from_pos(R)
        during = tracemalloc.take_snapshot().filter_traces(numpy_domain)
        del result
        after = tracemalloc.take_snapshot().filter_traces(numpy_domain)
    finally:
        tracemalloc.stop()
    assert len(during.traces) == len(before.traces) + 1
    assert len(after.traces) == len(before.traces)


@pytest.fixture
def counting(memory_handler):
    """The counting memory handler, current while the test runs."""
    replaced = memory_handler.install()
    try:
        yield memory_handler
    finally:
        memory_handler.restore(replaced)


@pytest.mark.parametrize("call, dtype_name", [c for c in CALLS if c.id != "lla-empty"])
def test_result_taken_from_the_current_handler(counting, call, dtype_name):
    before = counting.counts()
    result = call()
    during = counting.counts()
    nbytes = result.nbytes
    assert get_handler_name(result) == counting.NAME
    assert during["malloc"] + during["calloc"] == before["malloc"] + before["calloc"] + 1
    assert during["bytes_in"] - before["bytes_in"] == nbytes
    zeros = numpy_zeros_like(result, dtype_name)
    assert get_handler_name(zeros) == counting.NAME
    del zeros
    freed = counting.counts()
    del result
    after = counting.counts()
    assert (after["free"] - freed["free"], after["bytes_out"] - freed["bytes_out"]) == (1, nbytes)


def test_default_handler_back_after_restore(memory_handler):
    replaced = memory_handler.install()
    memory_handler.restore(replaced)
    assert get_handler_name(E.lla_from_pos(R)) == get_handler_name(np.zeros(1))


@pytest.mark.parametrize("n", [pytest.param(n, id=f"{n}-points") for n in (1, 5, 1000, 20_000)])
def test_fields_a_routine_leaves_unwritten_read_zero(cy, n):
    """A replaced slot that writes one field leaves the others as allocated: zeros,
    never what an earlier array left in the same memory."""
    partial = cy.LatitudeOnly(6378137.0, 1 / 298.257223563)
    positions = np.ascontiguousarray(np.resize(R, (n, 3)))
    for _ in range(3):
        np.full(3 * n, np.nan)  # freed at once; the next block of its size may reuse it
        lla = partial.lla_from_pos(positions)
        assert np.array_equal(lla["lat"], np.ones(n))
        for name in ("lon", "alt"):
            assert not np.ascontiguousarray(lla[name]).view(np.uint8).any()


@pytest.mark.parametrize(
    "call",
    [
        pytest.param(lambda r: E.lla_from_pos(r), id="records"),
        pytest.param(lambda r: E.surf_pos_of_ray_first_intersection(np.array([4e7, 0, 0]), r), id="vectors"),
        pytest.param(lambda r: E.solve_reduced_lat_equation(r), id="latitudes"),
    ],
)
@pytest.mark.parametrize("n", [pytest.param(n, id=f"{n}-points") for n in (3, 4096)])
def test_array_results_equal_after_reused_memory(call, n):
    """Results of the batch kernels left unzeroed at allocation equal those of a
    point-by-point call (float32 input, read through the table routines) in every
    byte, with memory that held NaN just before."""
    positions = np.ascontiguousarray(np.resize(R, (n, 3)))
    expected = call(positions.astype(np.float32).astype(np.float64))
    np.full(3 * n, np.nan)
    direct = call(positions.astype(np.float32).astype(np.float64))
    np.full(3 * n, np.nan)
    per_point = call(positions.astype(np.float32))
    assert direct.tobytes() == expected.tobytes() == per_point.tobytes()
