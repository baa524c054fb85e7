"""Regression tests, each named after the fault it pins."""

import ctypes
import math
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


WGS84 = M.Ellipsoid(6378137.0, 1 / 298.257223563)


@pytest.mark.parametrize("lat, lon, up", [
    pytest.param(-1.45, 0.0, 1000.0, id="issue-example"),
    pytest.param(0.1, 0.1, 1.0, id="one-metre-up"),
    pytest.param(0.7, -2.0, -500.0, id="below"),
    *[pytest.param(lat, lon, 1000.0, id=f"grid-{lat:+.2f}-{lon:+.2f}")
      for lat in np.linspace(-1.5, 1.5, 7) for lon in (-3.0, 0.5, 2.0)],
])
def test_elevation_straight_above_or_below_is_not_nan(lat, lon, up):
    """Rounding put up/range a hair beyond 1 before the arcsine."""
    target = WGS84.pos_from_lla(lat, lon, up)
    aer = WGS84.aer_coords(target, lat, lon, 0.0)[0]
    assert aer["elevation"] == pytest.approx(math.copysign(math.pi / 2, up), abs=1e-6)
    assert aer["range"] == pytest.approx(abs(up), rel=1e-9)


def test_target_at_the_observer_still_has_no_elevation():
    r = WGS84.pos_from_lla(0.3, 0.2, 0.0)
    aer = WGS84.aer_coords(r, 0.3, 0.2, 0.0)[0]
    assert aer["range"] == 0.0 and math.isnan(aer["elevation"])


@pytest.mark.parametrize("Re, f", [pytest.param(3.0, 0.2, id="re3-f0.2"), pytest.param(6378137.0, 1 / 300, id="f1/300"),
                                   pytest.param(6378137.0, 1 / 298.257223563, id="wgs84")])
@pytest.mark.parametrize("lat", [pytest.param(math.pi / 2, id="north"), pytest.param(-math.pi / 2, id="south")])
def test_pole_point_made_by_the_module_maps_back_to_the_pole(Re, f, lat):
    """z one ulp beyond the polar radius gave an arcsine argument above 1 and NaN."""
    e = M.Ellipsoid(Re, f)
    coord = e.surf_coord_from_surf_pos(e.surf_pos_from_surf_coord(lat, 0.0))[0]
    assert coord["lat"] == pytest.approx(lat, abs=1e-7)


def test_point_well_beyond_the_pole_still_has_no_surface_latitude():
    e = M.Ellipsoid(3.0, 0.2)
    assert math.isnan(e.surf_coord_from_surf_pos(np.array([0.0, 0.0, 2.4 * (1 + 1e-12)]))[0]["lat"])


def nearest_foot_distance(e, r):
    """Distance from r to the nearest point of the meridian ellipse, by dense sampling
    refined by golden-section search (independent of the Newton solver)."""
    p, z = math.hypot(r[0], r[1]), r[2]
    a, b = e.Re, e.Rp
    def distance(t):
        return math.hypot(p - a * math.cos(t), z - b * math.sin(t))

    t = np.linspace(-math.pi, math.pi, 200_001)
    best = t[np.argmin(np.hypot(p - a * np.cos(t), z - b * np.sin(t)))]
    lo, hi = best - 1e-4, best + 1e-4
    for _ in range(100):
        m1, m2 = lo + (hi - lo) * 0.382, hi - (hi - lo) * 0.382
        lo, hi = (lo, m2) if distance(m1) < distance(m2) else (m1, hi)
    return distance(0.5 * (lo + hi))


@pytest.mark.parametrize("Re, f, r", [
    pytest.param(6378137.0, 1 / 298.257223563, (2000.0, 0.0, 1000.0), id="wgs84-near-centre"),
    pytest.param(6378137.0, 1 / 298.257223563, (-30e3, 12e3, -20e3), id="wgs84-30km-from-centre"),
    pytest.param(1.0, 0.6, None, id="f0.6-just-above-surface"),
])
def test_geodetic_conversion_takes_the_nearest_foot_point(Re, f, r):
    """Newton from the geocentric start settled on another root of the foot-point
    equation inside the evolute, giving a far foot point or a latitude outside
    [-pi/2, pi/2]."""
    e = M.Ellipsoid(Re, f)
    if r is None:
        r = e.pos_from_lla(1.2085, 0.0, 7.2e-4)
    r = np.asarray(r, dtype=float)
    lla = e.lla_from_pos(r)[0]
    assert abs(lla["lat"]) <= math.pi / 2
    assert math.copysign(1.0, lla["lat"]) == math.copysign(1.0, r[2])
    # |alt| is the distance to the foot point: it must be the nearest one
    assert abs(lla["alt"]) == pytest.approx(nearest_foot_distance(e, r), rel=1e-6, abs=1e-9 * Re)
    beta = e.solve_reduced_lat_equation(r)
    assert -math.pi / 2 <= beta <= math.pi / 2
