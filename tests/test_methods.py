"""Values, one-point and many-point forms, and accepted input types of the ten vectorised methods."""

from fractions import Fraction
from math import atan, cos, nan, pi, sin

import numpy as np
import pytest
from numpy.lib.recfunctions import structured_to_unstructured

from quorvane.mathtools.ellipsoid.ellipsoid import Ellipsoid
from support.methods import METHODS, missing
from support.reference import geodetic_lat, reduced_lat
from support.reference import prime_vertical_pos as ecef  # WGS84 unless told

WGS, SMALL = Ellipsoid(6378137.0, 1 / 298.257223563), Ellipsoid(2.0, 0.5)
LAT = np.array([0.0, 0.3, -0.7, 1.2, -1.5, 0.9])
LON = np.array([0.0, 1.0, -2.5, 3.0, -0.4, -3.1])
ALT = np.array([0.0, 100.0, 2.5e4, -500.0, 3.6e7, 7.0])


POS, SURF, SRC, OBS = ecef(LAT, LON, ALT), ecef(LAT, LON, 0.0), ecef(0.3, 0.2, 2e6), (0.6, -1.1, 250.0)
# visible surface points (one direction scaled down, one up), straight down, straight up (the foot of the
# origin lies behind it but is the nearest root), and east along the horizon (the line misses)
RAY_HITS = ecef(np.array([0.25, 0.35, 0.3, 0.3, 0.3]), np.array([0.2, 0.3, 0.05, 0.2, 0.2]), 0.0)
RAY_DIRS = np.vstack([(RAY_HITS - SRC) * [[1.0], [3e-7], [2.5], [1.0], [-4.0]], [[-sin(0.2), cos(0.2), 0.0]]])
RAY_HITS = np.vstack([RAY_HITS, [[nan, nan, nan]]])
TARGETS = np.vstack([POS[:5], ecef(*OBS)])  # the last target is the observer itself


def flat(a):
    a = np.asarray(a)
    return structured_to_unstructured(a).reshape(len(a), -1) if a.dtype.names else a


def same_bits(a, b):
    return np.asarray(a).tobytes() == np.asarray(b).tobytes()


MANY = {
    "reduced_lat_from_geodetic_lat": (LAT,), "geodetic_lat_from_reduced_lat": (LAT,), "pos_from_lla": (LAT, LON, ALT),
    "lla_from_pos": (POS,), "solve_reduced_lat_equation": (POS,), "surf_pos_from_surf_coord": (LAT, LON),
    "surf_coord_from_surf_pos": (SURF,), "enu": (LAT, LON), "surf_pos_of_ray_first_intersection": (SRC, RAY_DIRS),
    "aer_coords": (TARGETS, *OBS)}
VARYING = {"surf_pos_of_ray_first_intersection": [1], "aer_coords": [0]}


ONE_SHAPE = {"reduced_lat_from_geodetic_lat": None, "geodetic_lat_from_reduced_lat": None, "pos_from_lla": (3,),
             "solve_reduced_lat_equation": None, "surf_pos_from_surf_coord": (3,), "surf_pos_of_ray_first_intersection": (3,)}


@pytest.mark.parametrize("name", METHODS)
def test_many_point_form_equals_one_point_form_bitwise(name):
    args, pick, method = MANY[name], VARYING.get(name, range(len(MANY[name]))), getattr(WGS, name)

    def call(select):
        return method(*[select(a) if k in pick else a for k, a in enumerate(args)])

    result = call(lambda a: a)
    assert type(result) is np.ndarray and len(result) == 6 and (result.dtype.names or result.dtype == np.float64)
    for i in range(6):
        one = call(lambda a: a[i].item() if a.ndim == 1 else a[i])
        if ONE_SHAPE.get(name, (1,)) is None:
            assert type(one) is float and same_bits(result[i], one)
        else:
            assert type(one) is np.ndarray and one.shape == ONE_SHAPE.get(name, (1,))
            assert same_bits(result[i], one[0] if one.dtype.names else one), i
    for part in (slice(0, 1), slice(0, 0)):  # a batch of one stays a batch; an empty batch gives an empty result
        batch = call(lambda a: a[part])
        assert type(batch) is np.ndarray and batch.dtype == result.dtype and batch.shape == result[part].shape
        assert same_bits(batch, result[part])


def test_scalar_arguments_take_the_float_protocol():
    assert type(WGS.reduced_lat_from_geodetic_lat(np.float64(0.3))) is float
    assert type(WGS.geodetic_lat_from_reduced_lat(1)) is float and WGS.reduced_lat_from_geodetic_lat(0.0) == 0.0
    assert WGS.reduced_lat_from_geodetic_lat(True) == WGS.reduced_lat_from_geodetic_lat(1.0)
    assert WGS.geodetic_lat_from_reduced_lat(Fraction(1, 3)) == WGS.geodetic_lat_from_reduced_lat(1 / 3)
    assert same_bits(WGS.aer_coords(POS[2], 1, np.int64(0), np.float32(2.5)), WGS.aer_coords(POS[2], 1.0, 0.0, 2.5))
    assert same_bits(WGS.pos_from_lla(1, np.float32(0.5), Fraction(7, 2)), WGS.pos_from_lla(1.0, 0.5, 3.5))
    assert same_bits(WGS.enu(0, np.int8(1)), WGS.enu(0.0, 1.0))
    assert same_bits(WGS.surf_pos_from_surf_coord(0, 0), [WGS.Re, 0.0, 0.0])


class SubArray(np.ndarray):
    pass


class FloatLike:
    def __init__(self, v):
        self.v = float(v)

    def __float__(self):
        return self.v


class IndexLike:
    def __init__(self, v):
        self.v = int(v)

    def __index__(self):
        return self.v


class Duck:
    """Array-like offering only shape, ndim and item access by a Python int."""

    def __init__(self, a):
        self.a = np.asarray(a)
        self.shape, self.ndim = self.a.shape, self.a.ndim

    def __getitem__(self, i):
        if type(i) is not int:
            raise TypeError(f"index {i!r}")
        return Duck(self.a[i]) if self.ndim > 1 else FloatLike(self.a[i])


def objects(kind, values):
    out = np.empty(values.shape, dtype=object)
    out.ravel()[:] = [kind(v) for v in values.ravel()]
    return out


def strided(a):  # every second element, or the first three columns of an (n, 5) array
    big = np.full((2 * len(a),) if a.ndim == 1 else (len(a), 5), 99.0)
    view = big[::2] if a.ndim == 1 else big[:, :3]
    view[...] = a
    return view


VARIANTS = {  # input made from float64 values; the expected result is the one for its float64 value
    "float32": lambda a: a.astype(np.float32),
    "int64": lambda a: np.rint(a).astype(np.int64),
    "int64-extremes": lambda a: np.resize(np.array([-2**63, 2**63 - 1, 0, -1], np.int64), a.shape),
    "uint64-extremes": lambda a: np.resize(np.array([2**64 - 1, 2**63, 0, 1], np.uint64), a.shape),
    "bool": lambda a: a > 0.5,
    "object-fractions": lambda a: objects(Fraction, a),
    "object-float-hook": lambda a: objects(FloatLike, a),
    "object-index-hook": lambda a: objects(IndexLike, np.rint(a)),
    "strided": strided,
    "subclass": lambda a: a.view(SubArray),
    "duck": Duck,
}


def as_float64(x):
    if isinstance(x, Duck):
        return x.a
    return np.array([float(v) for v in x.ravel()]).reshape(x.shape) if x.dtype == object else x.astype(np.float64)


S_ALT = np.array([0.0, 0.5, 1.0, -0.2, 3.0, 0.1])
S_POS = ecef(LAT, LON, S_ALT, 2.0, 0.5)
INPUTS = {
    "pos_from_lla": (LAT, LON, S_ALT), "lla_from_pos": (S_POS,), "solve_reduced_lat_equation": (S_POS,),
    "surf_coord_from_surf_pos": (S_POS,), "surf_pos_from_surf_coord": (LAT, LON), "enu": (LAT, LON),
    "surf_pos_of_ray_first_intersection": (np.array([4.0, 0.5, 1.0]), S_POS - [4.0, 0.5, 1.0]),
    "aer_coords": (S_POS, 0.25, -0.5, 0.75),
}


# Their input types are those of a float64 view (test_latitude_methods_accept_float64_views).
LATITUDE = ("reduced_lat_from_geodetic_lat", "geodetic_lat_from_reduced_lat")


def test_every_method_has_inputs():
    assert missing(INPUTS, without=LATITUDE) == []


@pytest.mark.parametrize("variant", VARIANTS)
@pytest.mark.parametrize("name", INPUTS)
def test_input_types_give_the_float64_result(name, variant):
    method = getattr(SMALL, name)
    args = [VARIANTS[variant](a) if isinstance(a, np.ndarray) else a for a in INPUTS[name]]
    ref = [as_float64(a) if not isinstance(a, float) else a for a in args]
    result = method(*args)
    assert type(result) is np.ndarray and same_bits(result, method(*ref))
    if name in ("lla_from_pos", "surf_coord_from_surf_pos", "surf_pos_of_ray_first_intersection"):
        assert same_bits(method(*args[:-1], args[-1][1]), method(*ref[:-1], ref[-1][1]))  # one-point form


@pytest.mark.parametrize("name", LATITUDE)
@pytest.mark.parametrize("variant", ["strided", "subclass"])
def test_latitude_methods_accept_float64_views(name, variant):
    result = getattr(WGS, name)(VARIANTS[variant](LAT))
    assert type(result) is np.ndarray and result.dtype == np.float64
    assert same_bits(result, getattr(WGS, name)(LAT.copy()))


def enu_frames(lat, lon):
    sl, cl, so, co = np.sin(lat), np.cos(lat), np.sin(lon), np.cos(lon)
    return np.stack([-so, co, 0 * lat, -sl * co, -sl * so, cl, cl * co, cl * so, sl], axis=-1)


def aer(targets, lat, lon, alt):
    d = targets - ecef(lat, lon, alt)
    east, north, up = (d @ v for v in enu_frames(np.array(lat), np.array(lon)).reshape(3, 3))
    rng = np.linalg.norm(d, axis=-1)
    return np.stack([np.arctan2(east, north), np.arcsin(up / rng), rng], axis=-1)


def close(actual, expected, atol):
    """Column by column, each column with its own absolute tolerance."""
    actual = flat(actual).reshape(len(np.atleast_1d(actual)), -1)
    expected = np.asarray(expected, dtype=float).reshape(actual.shape)
    for j, tol in enumerate(np.broadcast_to(atol, actual.shape[-1:])):
        np.testing.assert_allclose(actual[..., j], expected[..., j], rtol=1e-14, atol=tol, err_msg=f"column {j}")


BETA = reduced_lat(LAT, WGS.Re, WGS.f)


@pytest.mark.parametrize("name, args, expected, atol", [
    ("reduced_lat_from_geodetic_lat", (LAT,), BETA, 1e-15),
    ("geodetic_lat_from_reduced_lat", (LAT,), geodetic_lat(LAT, WGS.Re, WGS.f), 1e-15),
    ("pos_from_lla", (LAT, LON, ALT), POS, 1e-7),
    ("surf_pos_from_surf_coord", (LAT, LON), SURF, 1e-8),
    ("surf_coord_from_surf_pos", (SURF,), np.c_[LAT, LON], 1e-12),
    ("enu", (LAT, LON), enu_frames(LAT, LON), 1e-15),
    ("lla_from_pos", (POS,), np.c_[LAT, LON, ALT], [1e-9, 1e-12, 1e-2]),  # Newton stops at steps of 1.567e-5
    ("solve_reduced_lat_equation", (POS,), BETA, 1e-9),
    ("surf_pos_of_ray_first_intersection", (SRC, RAY_DIRS), RAY_HITS, 1e-6),
    ("aer_coords", (POS, *OBS), aer(POS, *OBS), [1e-12, 1e-12, 1e-6]),
])
def test_values_against_closed_forms(name, args, expected, atol):
    close(getattr(WGS, name)(*args), expected, atol)


B = atan(0.5)  # reduced latitude of geodetic pi/4: the normal (cos B / 2, sin B) at (2 cos B, sin B) is at 45 degrees
EDGES = [  # Re = 2, f = 0.5: polar radius 1
    ("lla_from_pos", ([3.0, 0, 0],), [0, 0, 1]), ("lla_from_pos", ([0, 0, -3.0],), [-pi / 2, 0, 2]),
    ("lla_from_pos", ([0.0, 0, 0],), [nan, 0, -1]), ("lla_from_pos", ([-3.0, 0, 0],), [0, pi, 1]),
    ("lla_from_pos", ([1.5, 0, 0],), [nan, 0, nan]), ("solve_reduced_lat_equation", ([3.0, 0, 0],), 0.0),
    ("pos_from_lla", (pi / 2, 0.0, 2.0), [0, 0, 3]), ("surf_pos_from_surf_coord", (pi / 4, 0), [2 * cos(B), 0, sin(B)]),
    ("surf_coord_from_surf_pos", ([0, 0, 3.0],), [nan, 0]), ("surf_coord_from_surf_pos", ([-2.0, -0.0, 0],), [0, -pi]),
    ("enu", (0.0, 0.0), [0, 1, 0, 0, 0, 1, 1, 0, 0]), ("reduced_lat_from_geodetic_lat", (pi / 4,), B),
    ("surf_pos_of_ray_first_intersection", ([4.0, 0, 0], [-2.0, 0, 0]), [2, 0, 0]),
    ("surf_pos_of_ray_first_intersection", ([4.0, 0, 0], [1.0, 0, 0]), [2, 0, 0]),
    ("surf_pos_of_ray_first_intersection", ([0.0, 0, 0], [1.0, 0, 0]), [-2, 0, 0]),
    ("surf_pos_of_ray_first_intersection", ([2.0, 0, 5], [0, 0, -1.0]), [2, 0, 0]),
    ("surf_pos_of_ray_first_intersection", ([4.0, 0, 0], [0.0, 0, 0]), [nan, nan, nan]),
    ("aer_coords", ([2.0, -1, 0], 0.0, 0.0, 0.0), [-pi / 2, 0, 1]), ("aer_coords", ([2.0, 0, 1], 0, 0, 0), [0, 0, 1]),
    ("aer_coords", ([2.0, 0, 0], 0.0, 0.0, 0.0), [0, nan, 0]), ("aer_coords", ([4.0, 0, 0], 0, 0, 1.0), [0, pi / 2, 1]),
]


@pytest.mark.parametrize("name, args, expected", [pytest.param(*c, id=f"{c[0]}-{i}") for i, c in enumerate(EDGES)])
def test_edge_cases_small_ellipsoid(name, args, expected):
    args = [np.array(a) if isinstance(a, list) else a for a in args]
    np.testing.assert_allclose(flat(getattr(SMALL, name)(*args)).ravel(), expected, rtol=0, atol=1e-15)
    k = 0 if name == "aer_coords" else len(args) - 1
    if isinstance(args[k], np.ndarray):  # the same point as a batch of one
        many = getattr(SMALL, name)(*args[:k], args[k][None], *args[k + 1:])
        np.testing.assert_allclose(flat(many).ravel(), expected, rtol=0, atol=1e-15)


@pytest.mark.parametrize("ell", [pytest.param(WGS, id="wgs84"), pytest.param(SMALL, id="Re2-f0.5")])
def test_round_trips_on_arrays(ell):
    rng = np.random.default_rng(7)
    lat, lon = rng.uniform(-1.55, 1.55, 200), rng.uniform(-np.pi + 1e-9, np.pi, 200)
    alt = rng.uniform(0.0, 2.0, 200) * ell.Re
    close(ell.lla_from_pos(ell.pos_from_lla(lat, lon, alt)), np.c_[lat, lon, alt], [1e-9, 1e-12, 1e-9 * ell.Re])
    close(ell.surf_coord_from_surf_pos(ell.surf_pos_from_surf_coord(lat, lon)), np.c_[lat, lon], 1e-12)
    close(ell.geodetic_lat_from_reduced_lat(ell.reduced_lat_from_geodetic_lat(lat)), lat, 1e-14)
    sphere = Ellipsoid(3.0, 0.0)
    close(sphere.reduced_lat_from_geodetic_lat(lat), lat, 1e-15)
    close(sphere.geodetic_lat_from_reduced_lat(lat), lat, 1e-15)
