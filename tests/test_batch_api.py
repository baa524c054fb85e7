"""The batch kernels published to compiled callers (batch.h): a C++ caller
(support/consumer.cpp) and a Cython caller (cython_consumer/) read the table and
run the kernels without the GIL, from several threads, with the bits of the ufuncs."""

import ctypes
import re
from concurrent.futures import ThreadPoolExecutor

import numpy as np
import pytest

from quorvane.mathtools.ellipsoid import ufuncs
from quorvane.mathtools.ellipsoid.ellipsoid import Ellipsoid

WGS84 = ufuncs.WGS84
RNG = np.random.default_rng(23)
N = 4000
SPECIAL = [0.0, -0.0, np.pi / 2, -np.pi / 2, 1e-300, 1e300, np.inf, -np.inf, np.nan]


def _column(scale):
    values = RNG.normal(size=N) * scale
    values[: len(SPECIAL)] = RNG.permutation(SPECIAL)
    return values


LAT, LON, ALT = _column(0.8), _column(2.0), _column(1e6)
X, Y, Z = (_column(7e6) for _ in range(3))
U = [_column(1.0) for _ in range(3)]

# The inputs of each conversion with a ufunc; an observer of aer_coords is shared
# (a stride-0 column), as a method call passes it.
INPUTS = {
    "lla_from_pos": (X, Y, Z),
    "pos_from_lla": (LAT, LON, ALT),
    "reduced_lat_from_geodetic_lat": (LAT,),
    "geodetic_lat_from_reduced_lat": (LAT,),
    "solve_reduced_lat_equation": (X, Y, Z),
    "surf_pos_from_surf_coord": (LAT, LON),
    "surf_coord_from_surf_pos": (X / 7e6 * 6.3e6, Y / 7e6 * 6.3e6, Z / 7e6 * 6.3e6),
    "enu": (LAT, LON),
    "surf_pos_of_ray_first_intersection": (X, Y, Z, *U),
    "aer_coords": (X, Y, Z, *(np.broadcast_to(v, N) for v in (0.6, -1.2, 120.0))),
}


def ufunc_columns(name, inputs, Re, f):
    """The ufunc's outputs as one-dimensional columns, a (..., 3) output as three."""
    outputs = getattr(ufuncs, name)(*inputs, Re, f)
    outputs = outputs if isinstance(outputs, tuple) else (outputs,)
    return [column for out in outputs for column in (out.T if out.ndim == 2 else [out])]


def empty_columns(count, n=N):
    return [np.full(n, -7.0) for _ in range(count)]


def parse(columns):
    """A columns string as ufuncs.columns gives it: ((name, unit), ...) before and after the arrow."""
    before, after = columns.split(" -> ")
    return tuple(tuple(tuple(re.sub(r"\[3\]", "", token).split(":")) for token in side.split())
                 for side in (before, after))


def test_header_version_and_size(consumer):
    version, size, kernel_set, _ = consumer.batch_info()

    class QVBatchAPI(ctypes.Structure):
        _fields_ = [("version", ctypes.c_uint), ("size", ctypes.c_uint), ("count", ctypes.c_int),
                    ("kernels", ctypes.c_void_p), ("kernel_set", ctypes.c_char_p)]

    assert (version, size) == (1, ctypes.sizeof(QVBatchAPI))
    assert kernel_set == ufuncs.kernel_set


def test_table_lists_every_conversion_with_its_columns(consumer, cy):
    *_, kernels = consumer.batch_info()
    names = [k[0] for k in kernels]
    conversions = list(ufuncs.columns)
    # Every conversion, in the registry's order, then the two table slots enu combines.
    assert names == conversions + ["surf_normal_vector", "surf_tangent_vector"]
    for name, columns, point_inputs, output_columns in kernels:
        inputs, outputs = parse(columns)
        if name in ufuncs.columns:
            assert (inputs, outputs) == ufuncs.columns[name]
        assert point_inputs == len([c for c in inputs if c[0] not in ("Re", "f")])
        assert output_columns == sum(3 if "[3]" in token else 1 for token in columns.split(" -> ")[1].split())
    assert cy.batch_table() == (ufuncs.kernel_set, kernels)


@pytest.mark.parametrize("name", ["lla_from_pos", "aer_coords", "surf_tangent_vector", "enu"])
def test_find_kernel_by_name(consumer, name):
    *_, kernels = consumer.batch_info()
    assert kernels[consumer.find_kernel(name)][0] == name


@pytest.mark.parametrize("name", ["", "lla", "lla_from_pos ", "lla_longitude", "LLA_FROM_POS"])
def test_find_kernel_unknown_or_private(consumer, name):
    assert consumer.find_kernel(name) is None


@pytest.mark.parametrize("ellipsoid", [pytest.param(WGS84, id="wgs84"), pytest.param((2.0, 0.5), id="re2-f0.5"),
                                       pytest.param((1.0, 0.0), id="sphere")])
@pytest.mark.parametrize("name", list(INPUTS))
def test_bits_equal_the_ufuncs(consumer, name, ellipsoid):
    inputs = INPUTS[name]
    expected = ufunc_columns(name, inputs, *ellipsoid)
    got = empty_columns(len(expected))
    consumer.batch(name, *ellipsoid, inputs, got)
    assert [g.tobytes() for g in got] == [e.tobytes() for e in expected]


@pytest.mark.parametrize("name", ["lla_from_pos", "enu", "aer_coords"])
def test_strided_columns(consumer, name):
    """Every other input element, outputs into the columns of a record array."""
    inputs = tuple(np.repeat(c, 2)[::2] if c.strides[0] else c for c in INPUTS[name])
    expected = ufunc_columns(name, INPUTS[name], *WGS84)
    records = np.zeros((N, len(expected) + 1))
    got = [records[:, j] for j in range(len(expected))]
    consumer.batch(name, *WGS84, inputs, got)
    assert [np.ascontiguousarray(g).tobytes() for g in got] == [e.tobytes() for e in expected]
    assert not records[:, -1].view(np.uint64).any()


@pytest.mark.parametrize("n", [pytest.param(n, id=f"{n}-points") for n in (3, 16, 37, N)])
@pytest.mark.parametrize("name", ["lla_from_pos", "aer_coords", "surf_pos_of_ray_first_intersection"])
def test_records_of_three_in_and_out(consumer, name, n):
    """Positions read from the rows of an (n, 3) array and results written into
    the rows of another, as the methods pass them, for full passes and tails."""
    rows = np.stack([c[:n] for c in INPUTS[name][:3]], axis=1)
    inputs = (*rows.T, *(c[:n] for c in INPUTS[name][3:]))
    expected = ufunc_columns(name, tuple(np.ascontiguousarray(c) for c in inputs), *WGS84)
    records = np.zeros((n, 3))
    consumer.batch(name, *WGS84, inputs, records.T)
    assert [np.ascontiguousarray(c).tobytes() for c in records.T] == [e.tobytes() for e in expected]


def test_outputs_may_overwrite_inputs(consumer):
    x, y, z = (c.copy() for c in INPUTS["lla_from_pos"])
    expected = ufunc_columns("lla_from_pos", (x, y, z), *WGS84)
    consumer.batch("lla_from_pos", *WGS84, (x, y, z), (x, y, z))
    assert [c.tobytes() for c in (x, y, z)] == [e.tobytes() for e in expected]


@pytest.mark.parametrize("Re, f", [pytest.param(-1.0, 0.1, id="negative-radius"), pytest.param(0.0, 0.1, id="zero-radius"),
                                   pytest.param(np.inf, 0.1, id="infinite-radius"), pytest.param(1.0, 1.0, id="f-one"),
                                   pytest.param(1.0, -0.1, id="negative-f"), pytest.param(np.nan, 0.0, id="nan-radius")])
@pytest.mark.parametrize("name", ["lla_from_pos", "aer_coords", "surf_tangent_vector"])
def test_invalid_ellipsoid_gives_nan(consumer, name, Re, f):
    *_, kernels = consumer.batch_info()
    nin, nout = next(k[2:] for k in kernels if k[0] == name)
    got = empty_columns(nout, 50)
    consumer.batch(name, Re, f, [c[:50] for c in (X, Y, Z, LAT, LON, ALT)[:nin]], got)
    assert np.isnan(got).all()


def test_ellipsoid_free_kernel_ignores_the_ellipsoid(consumer):
    """surf_normal_vector's columns list no Re and f: an invalid pair changes nothing."""
    valid, invalid = empty_columns(3), empty_columns(3)
    consumer.batch("surf_normal_vector", *WGS84, (LAT, LON), valid)
    consumer.batch("surf_normal_vector", -1.0, 2.0, (LAT, LON), invalid)
    up = ufunc_columns("enu", (LAT, LON), *WGS84)[6:]
    assert [v.tobytes() for v in valid] == [v.tobytes() for v in invalid] == [u.tobytes() for u in up]


MILLION = 1_000_000


@pytest.fixture(scope="module")
def million():
    rng = np.random.default_rng(3)
    lat, lon, alt = rng.uniform(-1.5, 1.5, MILLION), rng.uniform(-3, 3, MILLION), rng.uniform(-1e4, 1e6, MILLION)
    r = Ellipsoid(*WGS84).pos_from_lla(lat, lon, alt)
    return {"lla_from_pos": tuple(np.ascontiguousarray(c) for c in r.T),
            "aer_coords": (*(np.ascontiguousarray(c) for c in r.T),
                           *(np.broadcast_to(v, MILLION) for v in (0.6, -1.2, 120.0)))}


@pytest.mark.parametrize("name", ["lla_from_pos", "aer_coords"])
def test_two_threads_of_a_c_caller(consumer, million, name):
    expected = ufunc_columns(name, million[name], *WGS84)
    got = empty_columns(3, MILLION)
    consumer.batch(name, *WGS84, million[name], got, nthreads=2)
    assert [g.tobytes() for g in got] == [e.tobytes() for e in expected]


@pytest.mark.parametrize("block", [pytest.param(0, id="one-call"), pytest.param(4099, id="blocks-of-4099")])
@pytest.mark.parametrize("name", ["lla_from_pos", "aer_coords"])
def test_two_threads_of_a_cython_caller(cy, million, name, block):
    """Two Python threads each run half of the points through a nogil Cython call at once."""
    inputs = million[name]
    expected = ufunc_columns(name, inputs, *WGS84)
    got = empty_columns(3, MILLION)
    half = MILLION // 2 + 1
    halves = [slice(0, half), slice(half, MILLION)]
    with ThreadPoolExecutor(2) as pool:
        list(pool.map(lambda rows: cy.run_batch(name, *WGS84, tuple(c[rows] for c in inputs),
                                                tuple(g[rows] for g in got), block), halves))
    assert [g.tobytes() for g in got] == [e.tobytes() for e in expected]


def test_capsule_beside_the_method_table():
    capsule = Ellipsoid.__dict__["__quorvane_batch_api__"]
    get_name = ctypes.PYFUNCTYPE(ctypes.c_char_p, ctypes.py_object)(("PyCapsule_GetName", ctypes.pythonapi))
    assert type(capsule).__name__ == "PyCapsule"
    assert get_name(capsule) == b"quorvane.mathtools.ellipsoid.ellipsoid.batch_api"
