"""Regression tests, each named after the fault it pins."""

import ctypes
import types
import warnings

import numpy as np
import pytest

import quorvane.mathtools.ellipsoid.ellipsoid as M

E = M.Ellipsoid(2.0, 0.5)


class FreezesLastResult(np.ndarray):
    """Item access at index 2 makes the newest array of this class read-only:
    through zeros_like that is the latitude methods' own result."""

    made = []

    def __array_finalize__(self, obj):
        FreezesLastResult.made.append(self)

    def __getitem__(self, i):
        if i == 2:
            FreezesLastResult.made[-1].setflags(write=False)
        return super().__getitem__(i)


class RetypesLastResult(FreezesLastResult):
    """Item access at index 2 re-types the newest array's storage as int64."""

    def __getitem__(self, i):
        if i == 2:
            with warnings.catch_warnings():  # deprecated since NumPy 2.5, still honoured
                warnings.simplefilter("ignore", DeprecationWarning)
                FreezesLastResult.made[-1].dtype = np.int64
        return np.ndarray.__getitem__(self, i)


@pytest.mark.parametrize("subclass, message", [
    pytest.param(FreezesLastResult, "read-only", id="made-read-only"),
    pytest.param(RetypesLastResult, "Buffer dtype mismatch, expected 'double' but got 'long'", id="re-typed"),
])
@pytest.mark.parametrize("method", ["reduced_lat_from_geodetic_lat", "geodetic_lat_from_reduced_lat"])
def test_result_that_stops_taking_stores_raises_instead_of_returning_zeros(subclass, message, method):
    FreezesLastResult.made.clear()
    lat = np.linspace(0.1, 0.8, 8).view(subclass)
    with pytest.raises(ValueError, match=message):
        getattr(E, method)(lat)


def test_result_resized_smaller_keeps_what_fits():
    """A store that no longer fits goes nowhere; the stores before it stay."""

    class Shrinks(np.ndarray):
        made = []

        def __array_finalize__(self, obj):
            Shrinks.made.append(self)

        def __getitem__(self, i):
            if i == 2:
                Shrinks.made[-1].resize(2, refcheck=False)
            return super().__getitem__(i)

    lat = np.linspace(0.1, 0.8, 8)
    out = E.reduced_lat_from_geodetic_lat(lat.view(Shrinks))
    assert out.shape == (2,)
    assert out.tobytes() == E.reduced_lat_from_geodetic_lat(lat[:2]).tobytes()


@pytest.mark.parametrize("double", [
    pytest.param(np.int64, id="int64"),
    pytest.param(np.float32, id="float32"),
    pytest.param(np.complex128, id="complex128"),
    pytest.param(np.longdouble, id="longdouble"),
])
def test_surface_positions_returned_as_allocated_not_viewed_as_float64(monkeypatch, double):
    monkeypatch.setattr(M, "numpy", types.SimpleNamespace(zeros=np.zeros, asarray=np.asarray, double=double))
    lat, lon = np.array([0.1, -1.2]), np.array([0.2, 3.0])
    result = E.surf_pos_from_surf_coord(lat, lon)
    monkeypatch.undo()
    # Item assignment stores float(value) into whatever numpy.zeros made.
    expected = E.surf_pos_from_surf_coord(lat, lon).astype(double)
    assert result.dtype == np.dtype(double)
    assert np.array_equal(result, expected)


@pytest.mark.parametrize("call, message", [
    pytest.param(lambda: E.enu(0.1), r"^enu\(\) takes exactly 2 positional arguments \(1 given\)$", id="missing"),
    pytest.param(lambda: E.lla_from_pos(1, 2), r"^lla_from_pos\(\) takes exactly 1 positional argument \(2 given\)$",
                 id="too-many"),
    pytest.param(lambda: E.enu(0.1, lat=0.2), r"^enu\(\) got multiple values for keyword argument 'lat'$",
                 id="multiple-values"),
    pytest.param(lambda: E.enu(0.1, longitude=0.2), r"^enu\(\) got an unexpected keyword argument 'longitude'$",
                 id="unexpected"),
    pytest.param(lambda: E.enu(0.1, **{"\udcff": 0.2}), r"^enu\(\) got an unexpected keyword argument '\udcff'$",
                 id="unexpected-surrogate"),
    pytest.param(lambda: M.Ellipsoid.enu(), r"^unbound method Ellipsoid\.enu\(\) needs an argument$", id="unbound"),
    pytest.param(lambda: M.Ellipsoid.enu(1.0, 0.1, 0.2),
                 r"^descriptor 'enu' for 'quorvane\.mathtools\.ellipsoid\.ellipsoid\.Ellipsoid' objects "
                 r"doesn't apply to a 'float' object$", id="not-an-ellipsoid"),
])
def test_binding_messages_are_kept_word_for_word(call, message):
    with pytest.raises(TypeError, match=message):
        call()


RECORD_CALLS = [
    pytest.param(lambda e: e.lla_from_pos(np.array([1.0, 2.0, 3.0])), id="lla-one"),
    pytest.param(lambda e: e.lla_from_pos(np.ones((5, 3))), id="lla-many"),
    pytest.param(lambda e: e.aer_coords(np.array([1.0, 2.0, 3.0]), 0.1, 0.2, 0.0), id="aer-one"),
    pytest.param(lambda e: e.enu(0.1, 0.2), id="enu-one"),
    pytest.param(lambda e: e.surf_coord_from_surf_pos(np.array([1.0, 0.0, 0.0])), id="coord-one"),
]


@pytest.mark.parametrize("call", RECORD_CALLS)
def test_record_results_are_indistinguishable_from_numpys_own(monkeypatch, call):
    fast = call(E)
    # Through a stand-in numpy the same call allocates with numpy.zeros itself.
    monkeypatch.setattr(M, "numpy", types.SimpleNamespace(zeros=np.zeros, asarray=np.asarray, double=np.double))
    plain = call(E)
    assert fast.tobytes() == plain.tobytes()
    assert fast.dtype is plain.dtype
    assert fast.flags == plain.flags
    assert (fast.base is None) == (plain.base is None)


class Frame(ctypes.Structure):
    _fields_ = [("u_east", ctypes.c_double * 3), ("u_north", ctypes.c_double * 3), ("u_up", ctypes.c_double * 3)]


@pytest.mark.parametrize("count", [pytest.param(1, id="one-frame"), pytest.param(3, id="three-frames")])
def test_result_buffer_without_strides_is_read_as_c_contiguous(monkeypatch, count):
    """ctypes exports C-contiguous buffers without strides; they used to be dereferenced."""
    lat, lon = np.linspace(0.1, 0.5, count), np.linspace(-1.0, 2.0, count)
    expected = E.enu(lat, lon) if count > 1 else E.enu(0.1, -1.0)
    frames = (Frame * count)()
    monkeypatch.setattr(M, "numpy", types.SimpleNamespace(zeros=lambda shape, dtype: frames, asarray=np.asarray,
                                                          double=np.float64))
    result = E.enu(lat, lon) if count > 1 else E.enu(0.1, -1.0)
    assert bytes(frames) == expected.tobytes()
    assert np.asarray(result).tobytes() == expected.tobytes()
