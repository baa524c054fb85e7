"""The ufunc layer: the same bits as the Ellipsoid methods for the same points, under every
NumPy calling form (broadcasting, arrays of ellipsoids, out=, where=, float32, N-D and strided
arrays, the enu core dimension), NaN and the 'invalid' flag for invalid ellipsoids, pickling."""

import pickle
from concurrent.futures import ThreadPoolExecutor
from math import pi

import numpy as np
import pytest

import quorvane.mathtools.ellipsoid.ufuncs as U
from quorvane.mathtools.ellipsoid.ellipsoid import Ellipsoid
from support.sanitizer import SANITIZED

NAMES = ["lla_from_pos", "pos_from_lla", "reduced_lat_from_geodetic_lat", "geodetic_lat_from_reduced_lat",
         "solve_reduced_lat_equation", "surf_pos_from_surf_coord", "surf_coord_from_surf_pos", "enu",
         "surf_pos_of_ray_first_intersection", "aer_coords"]

# Point inputs of each ufunc by kind; "pos" and "dir" are three columns each.
KINDS = {"lla_from_pos": ["pos"], "pos_from_lla": ["lat", "lon", "alt"],
         "reduced_lat_from_geodetic_lat": ["lat"], "geodetic_lat_from_reduced_lat": ["lat"],
         "solve_reduced_lat_equation": ["pos"], "surf_pos_from_surf_coord": ["lat", "lon"],
         "surf_coord_from_surf_pos": ["pos"], "enu": ["lat", "lon"],
         "surf_pos_of_ray_first_intersection": ["pos", "dir"], "aer_coords": ["pos", "lat", "lon", "alt"]}

ELLIPSOIDS = [pytest.param((6378137.0, 1 / 298.257223563), id="wgs84"),
              pytest.param((6371000.0, 0.0), id="sphere"),
              pytest.param((2.0, 0.5), id="small-flat"),
              pytest.param((1.0, 0.999), id="needle-flat")]

N = 240
HALF_PI = pi / 2
EDGES = {
    "lat": [0.0, -0.0, HALF_PI, -HALF_PI, HALF_PI - 1e-12, pi, -pi, 1e-300, 5e-324, 100.0,
            np.nan, np.inf, -np.inf],
    "lon": [0.0, -0.0, pi, -pi, 2 * pi, 1e-300, 1e6, np.nan, np.inf, -np.inf],
    "alt": [0.0, -0.0, -6378137.0, -6356752.3, 3.6e7, 1e300, np.nan, np.inf, -np.inf],
    # centre, poles, on and next to the axis, the equatorial point where Newton's step is 0/0
    # (p = Re e2 on WGS84), far away, non-finite
    "pos": [(0.0, 0.0, 0.0), (0.0, 0.0, 6356752.314245179), (0.0, 0.0, -6356752.314245179),
            (6378137.0, 0.0, 0.0), (-0.0, 0.0, 1e-300), (3e-6, -4e-6, 6.4e6), (42697.67270717795, 0.0, 0.0),
            (1e300, 1e300, 1e300), (np.nan, 0.0, 0.0), (0.0, np.inf, 1.0), (-np.inf, 0.0, -np.inf)],
    "dir": [(0.0, 0.0, 0.0), (1.0, 0.0, 0.0), (0.0, 0.0, -1.0), (1e-300, 0.0, 0.0), (np.nan, 1.0, 0.0),
            (np.inf, 0.0, 0.0)],
}


def random_column(rng, kind):
    """N values of one kind, random and edge cases, in a random order of their own."""
    edges = np.array(EDGES[kind], dtype=np.float64)
    n = N - len(edges)
    if kind == "lat":
        values = rng.uniform(-HALF_PI, HALF_PI, n)
    elif kind == "lon":
        values = rng.uniform(-pi, pi, n)
    elif kind == "alt":
        values = rng.uniform(-1e4, 4e7, n)
    else:
        direction = rng.normal(size=(n, 3))
        direction /= np.linalg.norm(direction, axis=1, keepdims=True)
        # half near Earth's surface, half from millimetres to beyond the Moon
        radius = np.where(rng.random(n) < 0.5, rng.uniform(6.35e6, 6.4e6, n), 10 ** rng.uniform(-3, 8.6, n))
        values = direction * (radius[:, None] if kind == "pos" else 1.0)
    values = np.concatenate([values, edges])
    return values[rng.permutation(N)]


def points(name, seed=7):
    """The point inputs of a ufunc as separate float64 columns of length N."""
    rng = np.random.default_rng(seed)
    columns = []
    for kind in KINDS[name]:
        values = random_column(rng, kind)
        columns.extend(values.T if values.ndim == 2 else [values])
    return columns


def split(a):
    return [a[:, k] for k in range(a.shape[1])]


def fields(record, *names):
    return [np.asarray(record[n]) for n in names]


def rowwise(method, make_args, columns):
    """A method that takes one origin or observer per call, called row by row."""
    return np.array([method(*make_args([c[i] for c in columns])) for i in range(len(columns[0]))])


def method_results(e, name, cols):
    """The Ellipsoid method's results for the same points, as the ufunc's output columns."""
    m = getattr(e, name)
    if name in ("reduced_lat_from_geodetic_lat", "geodetic_lat_from_reduced_lat"):
        return [m(cols[0])]
    if name in ("pos_from_lla", "surf_pos_from_surf_coord"):
        return split(m(*cols))
    if name == "lla_from_pos":
        return fields(m(np.stack(cols, axis=1)), "lat", "lon", "alt")
    if name == "solve_reduced_lat_equation":
        return [m(np.stack(cols, axis=1))]
    if name == "surf_coord_from_surf_pos":
        return fields(m(np.stack(cols, axis=1)), "lat", "lon")
    if name == "enu":
        return fields(m(*cols), "u_east", "u_north", "u_up")
    if name == "surf_pos_of_ray_first_intersection":
        return split(rowwise(m, lambda v: (np.array(v[:3]), np.array(v[3:])), cols))
    if name == "aer_coords":
        looks = rowwise(m, lambda v: (np.array(v[:3]), float(v[3]), float(v[4]), float(v[5])), cols)[:, 0]
        return fields(looks, "azimuth", "elevation", "range")
    raise AssertionError(name)


def as_tuple(result):
    return result if isinstance(result, tuple) else (result,)


def assert_same_bits(got, want):
    got, want = np.ascontiguousarray(got, dtype=np.float64), np.ascontiguousarray(want, dtype=np.float64)
    assert got.shape == want.shape
    differ = got.view(np.uint64) != want.view(np.uint64)
    where = np.argwhere(differ)[:3]
    assert not differ.any(), f"{differ.sum()} elements differ, e.g. at {where.tolist()}: {got[differ][:3]} vs {want[differ][:3]}"


def assert_outputs_same_bits(got, want):
    assert len(got) == len(want)
    for g, w in zip(got, want):
        assert_same_bits(g, w)


def call(name, *args, **kwargs):
    # Only an invalid ellipsoid raises a floating-point flag: every other input, NaN,
    # infinities and points without a solution included, converts silently.
    with np.errstate(all="raise"):
        return as_tuple(getattr(U, name)(*args, **kwargs))


@pytest.mark.parametrize("ellipsoid", ELLIPSOIDS)
@pytest.mark.parametrize("name", NAMES)
def test_ufunc_bits_equal_method_bits(name, ellipsoid):
    cols = points(name)
    assert_outputs_same_bits(call(name, *cols, *ellipsoid), method_results(Ellipsoid(*ellipsoid), name, cols))


@pytest.mark.parametrize("name", NAMES)
def test_arrays_of_ellipsoids_match_each_ellipsoid(name):
    """Runs of one ellipsoid alternate with single elements; one run changes only f."""
    cols = points(name, seed=11)
    chosen = [(6378137.0, 1 / 298.257223563), (6378137.0, 1 / 298.257222101), (6371000.0, 0.0), (2.0, 0.5)]
    which = np.repeat(np.arange(N // 8) % 4, 8)
    which[1::7] = (which[1::7] + 1) % 4
    Re = np.array([chosen[k][0] for k in which])
    f = np.array([chosen[k][1] for k in which])
    got = call(name, *cols, Re, f)
    for k, e in enumerate(chosen):
        mask = which == k
        want = method_results(Ellipsoid(*e), name, [c[mask] for c in cols])
        assert_outputs_same_bits([g[mask] for g in got], want)


def test_regression_run_of_one_radius_split_where_flattening_changes():
    lat = np.full(6, 0.7)
    f = np.array([0.0, 0.0, 0.5, 0.5, 0.0, 0.5])
    got = U.reduced_lat_from_geodetic_lat(lat, 1.0, f)
    assert got[0] == got[1] == got[4] == 0.7
    assert got[2] == got[3] == got[5] == Ellipsoid(1.0, 0.5).reduced_lat_from_geodetic_lat(0.7) != 0.7


@pytest.mark.parametrize("name", NAMES)
def test_in_domain_points_raise_no_floating_point_flag(name):
    rng = np.random.default_rng(3)
    lat, lon, alt = rng.uniform(-1.5, 1.5, 64), rng.uniform(-3, 3, 64), rng.uniform(0, 1e6, 64)
    # surf_coord_from_surf_pos takes its points to be on the surface: |z| > Rp is out of its domain
    # and aer_coords has no elevation for a target at the observer
    pos = U.pos_from_lla(np.roll(lat, 1), lon, 0.0 if name == "surf_coord_from_surf_pos" else alt, *U.WGS84)
    by_kind = {"lat": [lat], "lon": [lon], "alt": [alt], "pos": list(pos), "dir": [-p for p in pos]}
    args = [c for kind in KINDS[name] for c in by_kind[kind]]
    with np.errstate(all="raise"):
        out = as_tuple(getattr(U, name)(*args, *U.WGS84))
    assert all(np.isfinite(o).all() for o in out)


SHAPES = [pytest.param((), id="0-d"), pytest.param((5,), id="1-d"), pytest.param((2, 3, 4), id="3-d")]


@pytest.mark.parametrize("shape", SHAPES)
@pytest.mark.parametrize("name", NAMES)
def test_n_dimensional_inputs_give_the_flat_results_reshaped(name, shape):
    size = int(np.prod(shape))
    cols = [c[:size] for c in points(name, seed=5)]
    got = call(name, *[c.reshape(shape) for c in cols], *U.WGS84)
    want = method_results(Ellipsoid(*U.WGS84), name, cols)
    core = (3,) if name == "enu" else ()
    for g, w in zip(got, want):
        assert np.shape(g) == shape + core
        assert_same_bits(np.reshape(g, (size,) + core), w)


STRIDED = [
    pytest.param(lambda a: a.reshape(6, 40).T, id="transposed"),
    pytest.param(lambda a: np.repeat(a, 2)[::2], id="step-2"),
    pytest.param(lambda a: a[::-1].copy()[::-1], id="reversed"),
    pytest.param(lambda a: np.frombuffer(b"\0" + a.tobytes(), np.float64, offset=1), id="unaligned"),
]


@pytest.mark.parametrize("layout", STRIDED)
@pytest.mark.parametrize("name", NAMES)
def test_non_contiguous_inputs(name, layout):
    cols = points(name, seed=9)
    views = [layout(c) for c in cols]
    assert not all(v.flags.c_contiguous for v in views) or not views[0].flags.aligned
    got = call(name, *views, *U.WGS84)
    want = call(name, *[np.ascontiguousarray(v) for v in views], *U.WGS84)
    assert_outputs_same_bits(got, want)


@pytest.mark.parametrize("name", NAMES)
def test_scalar_and_broadcast_ellipsoid_agree(name):
    cols = [c.reshape(4, 60) for c in points(name, seed=2)]
    Re, f = U.GRS80
    scalar = call(name, *cols, Re, f)
    per_row = call(name, *cols, np.full((4, 1), Re), np.full((1, 60), f))
    assert_outputs_same_bits(scalar, per_row)


def test_points_broadcast_against_each_other():
    lat = np.linspace(-1.5, 1.5, 7)[:, None]
    lon = np.linspace(-3.0, 3.0, 5)[None, :]
    x, y, z = U.pos_from_lla(lat, lon, 100.0, *U.WGS84)
    assert x.shape == (7, 5)
    lat2, lon2 = np.broadcast_arrays(lat, lon)
    want = Ellipsoid(*U.WGS84).pos_from_lla(lat2.ravel(), lon2.ravel(), np.full(35, 100.0))
    assert_outputs_same_bits([x.ravel(), y.ravel(), z.ravel()], split(want))


@pytest.mark.parametrize("name", NAMES)
def test_out_arrays_are_filled_and_returned(name):
    cols = points(name, seed=4)
    want = call(name, *cols, *U.WGS84)
    outs = tuple(np.full_like(w, -7.0) for w in want)
    got = call(name, *cols, *U.WGS84, out=outs)
    assert all(g is o for g, o in zip(got, outs))
    assert_outputs_same_bits(outs, want)


@pytest.mark.parametrize("name", [n for n in NAMES if n != "enu"])
def test_where_leaves_masked_out_elements(name):
    cols = points(name, seed=6)
    want = call(name, *cols, *U.WGS84)
    mask = np.arange(N) % 3 != 1
    outs = tuple(np.full_like(w, -7.0) for w in want)
    call(name, *cols, *U.WGS84, out=outs, where=mask)
    for o, w in zip(outs, want):
        assert_same_bits(o[mask], w[mask])
        assert (o[~mask] == -7.0).all()


@pytest.mark.parametrize("name", NAMES)
@pytest.mark.parametrize("ellipsoid", [pytest.param(U.WGS84, id="float-parameters"),
                                       pytest.param(tuple(np.float32(U.WGS84)), id="float32-parameters")])
def test_float32_inputs_are_computed_in_float64_and_cast_back(name, ellipsoid):
    """float32 points take the float32 loop, whose Re and f stay float64: the results
    are the float64 results of the widened points, rounded to float32."""
    with np.errstate(over="ignore"):
        cols32 = [c.astype(np.float32) for c in points(name, seed=8)]
    got = call(name, *cols32, *ellipsoid)
    assert all(g.dtype == np.float32 for g in got)
    want = method_results(Ellipsoid(*map(float, ellipsoid)), name, [c.astype(np.float64) for c in cols32])
    with np.errstate(over="ignore", invalid="ignore"):
        rounded = [w.astype(np.float32) for w in want]
    assert_outputs_same_bits(got, rounded)


@pytest.mark.parametrize("name", NAMES)
def test_float32_out_receives_the_float64_results_rounded(name):
    cols = points(name, seed=10)
    want = call(name, *cols, *U.WGS84)
    outs = tuple(np.empty(w.shape, np.float32) for w in want)
    # NumPy's own cast to float32 overflows for the large values, as astype does.
    with np.errstate(over="ignore", invalid="ignore"):
        getattr(U, name)(*cols, *U.WGS84, out=outs)
        rounded = [w.astype(np.float32) for w in want]
    for o, r in zip(outs, rounded):
        assert_same_bits(o.astype(np.float64), r.astype(np.float64))


def test_integer_and_python_scalar_inputs():
    x, y, z = U.pos_from_lla(0, 0, 0, 6378137, 0)
    assert (type(x), float(x), float(y), float(z)) == (np.float64, 6378137.0, 0.0, 0.0)


INVALID = [pytest.param(0.0, 0.1, id="Re=0"), pytest.param(-1.0, 0.1, id="Re<0"),
           pytest.param(np.nan, 0.1, id="Re=nan"), pytest.param(np.inf, 0.1, id="Re=inf"),
           pytest.param(-np.inf, 0.1, id="Re=-inf"), pytest.param(1.0, -1e-300, id="f<0"),
           pytest.param(1.0, 1.0, id="f=1"), pytest.param(1.0, 2.0, id="f>1"),
           pytest.param(1.0, np.nan, id="f=nan"), pytest.param(1.0, np.inf, id="f=inf"),
           pytest.param(1.0, -np.inf, id="f=-inf")]


@pytest.mark.parametrize("bad_Re, bad_f", INVALID)
@pytest.mark.parametrize("name", NAMES)
def test_invalid_ellipsoid_gives_nan_and_the_invalid_warning(name, bad_Re, bad_f):
    cols = [c[:12] for c in points(name, seed=12)]
    cols = [np.where(np.isfinite(c), c, 0.5) for c in cols]
    bad = np.arange(12) % 4 == 2
    Re, f = np.where(bad, bad_Re, 6378137.0), np.where(bad, bad_f, 0.003)
    with pytest.warns(RuntimeWarning, match="invalid value"):
        got = as_tuple(getattr(U, name)(*cols, Re, f))
    for g in got:
        assert np.isnan(g[bad]).all()
    want = method_results(Ellipsoid(6378137.0, 0.003), name, [c[~bad] for c in cols])
    assert_outputs_same_bits([g[~bad] for g in got], want)


@pytest.mark.parametrize("name", NAMES)
def test_invalid_ellipsoid_raises_under_errstate_invalid_raise(name):
    args = [0.5] * (ARITY[name][0] - 2)
    with np.errstate(invalid="raise"), pytest.raises(FloatingPointError, match="invalid value"):
        getattr(U, name)(*args, -6378137.0, 0.0)


def test_smallest_valid_ellipsoids_are_not_flagged():
    with np.errstate(all="raise"):
        for Re, f in [(5e-324, 0.0), (1.0, 0.0), (1.0, np.nextafter(1.0, 0.0)), (1.7e308, 0.5)]:
            assert not np.isnan(U.reduced_lat_from_geodetic_lat(0.25, Re, f))


ARITY = {"lla_from_pos": (5, 3), "pos_from_lla": (5, 3), "reduced_lat_from_geodetic_lat": (3, 1),
         "geodetic_lat_from_reduced_lat": (3, 1), "solve_reduced_lat_equation": (5, 1),
         "surf_pos_from_surf_coord": (4, 3), "surf_coord_from_surf_pos": (5, 2), "enu": (4, 3),
         "surf_pos_of_ray_first_intersection": (8, 3), "aer_coords": (8, 3)}


@pytest.mark.parametrize("name", NAMES)
def test_module_surface(name):
    ufunc = getattr(U, name)
    assert type(ufunc) is np.ufunc and ufunc.__name__ == name
    assert (ufunc.nin, ufunc.nout) == ARITY[name]
    nin, nout = ARITY[name]
    assert ufunc.types == ["f" * (nin - 2) + "dd->" + "f" * nout, "d" * nin + "->" + "d" * nout]
    assert ufunc.signature == ("(),(),(),()->(3),(3),(3)" if name == "enu" else None)
    assert "metres" in ufunc.__doc__
    assert ("radians" in ufunc.__doc__) == (name != "surf_pos_of_ray_first_intersection")


def test_named_ellipsoids():
    # Defining constants: GRS80 (Moritz 1980) and WGS84 (NIMA TR8350.2), as inverse flattening.
    assert U.WGS84 == (6378137.0, 1 / 298.257223563)
    assert U.GRS80 == (6378137.0, 1 / 298.257222101)
    assert type(U.WGS84) is tuple and all(type(v) is float for v in U.WGS84 + U.GRS80)


@pytest.mark.parametrize("name", NAMES)
def test_ufuncs_pickle_by_name(name):
    ufunc = getattr(U, name)
    assert pickle.loads(pickle.dumps(ufunc)) is ufunc
    assert ufunc.__module__ == "quorvane.mathtools.ellipsoid.ufuncs"


def test_pickle_loads_in_a_fresh_interpreter(script):
    data = pickle.dumps([U.lla_from_pos, U.enu, U.aer_coords])
    done = script("unpickle_ufuncs.py", input=data)
    assert done.returncode == 0, done.stderr
    names, values = done.stdout.decode().splitlines()
    assert names.split() == [f"quorvane.mathtools.ellipsoid.ufuncs.{name}" for name in ("lla_from_pos", "enu", "aer_coords")]
    assert [float(v) for v in values.split()] == [0.0, 0.0, 0.0]


ENU_SHAPES = [pytest.param((), (), (3,), id="scalars"),
              pytest.param((4,), (), (4, 3), id="vector-lat"),
              pytest.param((4, 1), (5,), (4, 5, 3), id="outer"),
              pytest.param((2, 3, 4), (4,), (2, 3, 4, 3), id="3-d")]


@pytest.mark.parametrize("lat_shape, lon_shape, out_shape", ENU_SHAPES)
def test_enu_output_shapes(lat_shape, lon_shape, out_shape):
    rng = np.random.default_rng(1)
    lat, lon = rng.uniform(-1.5, 1.5, lat_shape), rng.uniform(-3, 3, lon_shape)
    frames = U.enu(lat, lon, *U.WGS84)
    assert [f.shape for f in frames] == [out_shape] * 3
    lat_b, lon_b = np.broadcast_arrays(lat, lon)
    want = method_results(Ellipsoid(*U.WGS84), "enu", [np.ravel(lat_b), np.ravel(lon_b)])
    assert_outputs_same_bits([f.reshape(-1, 3) for f in frames], want)


CORE_LAYOUTS = [pytest.param(lambda: np.empty((4, 5, 6))[..., ::2], id="core-step-2"),
                pytest.param(lambda: np.empty((3, 4, 5)).transpose(1, 2, 0), id="core-outermost"),
                pytest.param(lambda: np.empty((4, 5, 3))[:, ::-1, ::-1], id="core-reversed")]


@pytest.mark.parametrize("make_out", CORE_LAYOUTS)
def test_enu_out_with_strided_core_dimension(make_out):
    lat, lon = np.linspace(-1.4, 1.4, 4)[:, None], np.linspace(-3, 3, 5)
    outs = (make_out(), make_out(), make_out())
    U.enu(lat, lon, *U.WGS84, out=outs)
    assert_outputs_same_bits(outs, U.enu(lat, lon, *U.WGS84))


def test_enu_takes_no_where_as_numpy_allows_none_for_generalized_ufuncs():
    with pytest.raises(TypeError, match="where"):
        U.enu(0.1, 0.2, *U.WGS84, where=True)


def test_enu_rejects_out_with_a_wrong_core_size():
    with pytest.raises(ValueError, match="core dimension"):
        U.enu(0.1, 0.2, *U.WGS84, out=(np.empty(4), np.empty(4), np.empty(4)))


def test_concurrent_calls_match_one_thread():
    cols = [np.tile(c, 50) for c in points("lla_from_pos", seed=13)]
    want = call("lla_from_pos", *cols, *U.WGS84)
    with ThreadPoolExecutor(4) as pool:
        results = list(pool.map(lambda _: call("lla_from_pos", *cols, *U.WGS84), range(8)))
    for got in results:
        assert_outputs_same_bits(got, want)


def float32_reference(name, cols32, Re, f, **kwargs):
    """The float64 ufunc on the widened points, rounded to float32: what the float32 loop gives."""
    with np.errstate(all="ignore"):
        want = as_tuple(getattr(U, name)(*[np.asarray(c, np.float64) for c in cols32], Re, f, **kwargs))
        return [w.astype(np.float32) for w in want]


def float32_call(name, *args, **kwargs):
    with np.errstate(over="ignore"):  # the rounding of results beyond float32's range, as astype
        return as_tuple(getattr(U, name)(*args, **kwargs))


def float32_points(name, n, seed):
    with np.errstate(over="ignore"):
        return [np.resize(c, n).astype(np.float32) for c in points(name, seed=seed)]


def fp_error_kinds(compute):
    """The floating-point errors NumPy reports while `compute` runs ("overflow", ...)."""
    kinds = set()
    with np.errstate(all="call", call=lambda kind, flag: kinds.add(kind)):
        compute()
    return kinds


F32 = np.float32
ROUNDING_CASES = [
    pytest.param("meridian_radius", [F32([0.1, 0.7])], (1e39, 0.0), id="overflow"),
    pytest.param("meridian_radius", [F32([0.1, 0.7])], (1e-39, 0.0), id="underflow"),
    # Rotations at lat0 = lon0 = 0 only permute the components: exact subnormal
    # results, which rounding to float32 leaves exact and so does not underflow.
    pytest.param("ecef_vector_from_enu", [F32([1e-40, 3e-41]), F32([2e-40, 0]), F32([5e-41, 1e-45]), F32(0),
                                          F32(0)], (), id="exact-subnormals"),
    pytest.param("ecef_vector_from_enu", [F32([np.inf, 3e38, np.nan, 1]), F32(0), F32([1, 3e38, 1, 1]), F32(0),
                                          F32(np.pi / 4)], (), id="overflow-beside-inf-and-nan"),
    pytest.param("ecef_vector_from_enu", [F32([1e-30, 1e-44]), F32(0), F32([1e-30, 0]), F32(0.3), F32(0.2)], (),
                 id="inexact-subnormal-beside-normal"),
    pytest.param("surf_pos_from_surf_coord", [F32([0.1]), F32([0.2])], (1e39, 0.0), id="overflow-widened"),
]


@pytest.mark.parametrize("name, cols32, ellipsoid", ROUNDING_CASES)
def test_float32_results_raise_the_flags_of_rounding_float64_results(name, cols32, ellipsoid):
    """Rounding the results to float32 overflows or underflows exactly where NumPy's cast
    of the float64 results does, and is reported as the ufunc's own error."""
    with np.errstate(all="ignore"):
        want = as_tuple(getattr(U, name)(*[np.float64(c) for c in cols32], *ellipsoid))
    expected = fp_error_kinds(lambda: [w.astype(np.float32) for w in want])
    assert fp_error_kinds(lambda: getattr(U, name)(*cols32, *ellipsoid)) == expected
    assert expected <= {"overflow", "underflow"}


# Dense where a call fits one block and around sizes where blocks end, sparse beyond.
LENGTHS = [*range(1, 48), 63, 64, 65, 127, 128, 129, 185, 186, 187, 255, 256, 257, 340, 341, 342, 511, 512,
           513, 1023, 1024, 1025, 2047, 2048, 2049, 4097]


@pytest.mark.parametrize("name", NAMES)
def test_float32_calls_of_every_length_give_the_rounded_float64_bits(name):
    cols = float32_points(name, max(LENGTHS), seed=14)
    for n in LENGTHS:
        got = float32_call(name, *[c[:n] for c in cols], *U.WGS84)
        assert_outputs_same_bits(got, float32_reference(name, [c[:n] for c in cols], *U.WGS84))


@pytest.mark.parametrize("n", [pytest.param(1, id="one-point"), pytest.param(3000, id="3000-points")])
@pytest.mark.parametrize("name", NAMES)
def test_float32_repeated_inputs_give_the_bits_of_full_columns(name, n):
    """Each point input in turn, then all of them, broadcast from one value (stride 0), as an
    observer is: the float32 loop hands them on repeated."""
    cols = float32_points(name, n, seed=15)
    for repeated in [[k] for k in range(len(cols))] + [list(range(len(cols)))]:
        args = [np.broadcast_to(c[n // 2], (n,)) if k in repeated else c for k, c in enumerate(cols)]
        full = [np.ascontiguousarray(a) for a in args]
        assert_outputs_same_bits(float32_call(name, *args, *U.WGS84), float32_reference(name, full, *U.WGS84))


@pytest.mark.parametrize("name", NAMES)
def test_float32_runs_of_ellipsoids_across_blocks(name):
    cols = float32_points(name, 2500, seed=16)
    run = np.repeat(np.arange(25) % 3, 100)
    Re = np.array([6378137.0, 6371000.0, 2.0])[run]
    f = np.array([1 / 298.257223563, 0.0, 0.5])[run]
    assert_outputs_same_bits(float32_call(name, *cols, Re, f), float32_reference(name, cols, Re, f))


FLOAT32_LAYOUTS = [
    pytest.param(lambda a: a.reshape(50, 40).T, id="transposed"),
    pytest.param(lambda a: np.repeat(a, 3)[::3], id="step-3"),
    pytest.param(lambda a: a[::-1].copy()[::-1], id="reversed"),
    pytest.param(lambda a: np.frombuffer(bytearray(b"\0" + a.tobytes()), np.float32, offset=1), id="unaligned"),
]


@pytest.mark.parametrize("layout", FLOAT32_LAYOUTS)
@pytest.mark.parametrize("name", NAMES)
def test_float32_strided_inputs_and_outputs(name, layout):
    views = [layout(c) for c in float32_points(name, 2000, seed=17)]
    want = float32_reference(name, [np.ascontiguousarray(v) for v in views], *U.WGS84)
    # enu's frames with the core dimension outermost in memory, the others laid out as the inputs
    outs = tuple(np.zeros(w.shape[::-1], np.float32).T if name == "enu" else layout(np.zeros(2000, np.float32))
                 for w in want)
    got = float32_call(name, *views, *U.WGS84, out=outs)
    assert all(g is o for g, o in zip(got, outs))
    assert_outputs_same_bits(got, want)


# Under AddressSanitizer (scripts/sanitize.sh preloads its runtime) the kernels' frames
# grow by their redzones, to 44 KiB for lla_from_pos (benchmarks/stack_use.py): only the
# latitude kernels still fit 32 KiB there. What the float32 loop adds to the float64 one
# is checked in uninstrumented builds by tests/test_benchmark.py.


@pytest.mark.parametrize("name", NAMES)
def test_small_thread_stacks_run_every_loop(script, name):
    """NumPy's own loops run on a thread of 32 KiB of stack; the float32 loop kept 34 KiB
    of buffers on the stack and overflowed it."""
    if SANITIZED and "lat_from" not in name:
        pytest.skip("the sanitizer's redzones make this kernel's frames larger than 32 KiB")
    done = script("small_thread_stack.py", name)
    assert (done.returncode, done.stdout.split()) == (0, ["float64", "ok", "float32", "ok"]), done.stderr[-2000:]
