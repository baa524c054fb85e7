"""What every local-frame, latitude and radius ufunc owes its callers whatever its
formula: the same bits for a point alone, in any array, in a tail, with a broadcast or a
per-point observer; float32 as float64 rounded; NaN in exactly the outputs that depend
on a NaN input (others may be NaN too: 0 * NaN is NaN)."""

import numpy as np
import pytest

import quorvane.mathtools.ellipsoid.ufuncs as U

GEO = ["enu_from_pos", "pos_from_enu", "ned_from_pos", "pos_from_ned", "enu_from_lla", "lla_from_enu",
       "ned_from_lla", "lla_from_ned", "aer_from_lla", "lla_from_aer", "pos_from_aer", "aer_from_pos",
       "aer_from_enu", "enu_from_aer", "aer_from_ned", "ned_from_aer", "enu_from_ecef_vector",
       "ecef_vector_from_enu", "ned_from_ecef_vector", "ecef_vector_from_ned", "look_at_spheroid",
       "geocentric_lat_from_geodetic_lat", "geodetic_lat_from_geocentric_lat", "spherical_from_lla",
       "lla_from_spherical", "isometric_lat_from_geodetic_lat", "geodetic_lat_from_isometric_lat",
       "rectifying_lat_from_geodetic_lat", "geodetic_lat_from_rectifying_lat", "authalic_lat_from_geodetic_lat",
       "geodetic_lat_from_authalic_lat", "conformal_lat_from_geodetic_lat", "geodetic_lat_from_conformal_lat",
       "meridian_radius", "transverse_radius", "parallel_radius", "geocentric_radius"]
# Conversions with an observer (or the axes of a rotation) that may be broadcast.
OBSERVED = [n for n in GEO if "lon0" in [c for c, _ in U.columns[n][0]]]

HALF_PI = np.pi / 2
# Column name -> range of valid values.
RANGES = {"x": (-7e6, 7e6), "y": (-7e6, 7e6), "z": (-7e6, 7e6), "lat": (-HALF_PI, HALF_PI),
          "lat0": (-HALF_PI, HALF_PI), "lon": (-np.pi, np.pi), "lon0": (-np.pi, np.pi), "alt": (-1e4, 5e6),
          "alt0": (-1e4, 5e6), "east": (-1e6, 1e6), "north": (-1e6, 1e6), "up": (-1e6, 1e6), "down": (-1e6, 1e6),
          "az": (0, 2 * np.pi), "el": (-HALF_PI, HALF_PI), "range": (0, 1e7), "u": (-8e3, 8e3), "v": (-8e3, 8e3),
          "w": (-8e3, 8e3), "tilt": (0, 1.2), "geocentric_lat": (-HALF_PI, HALF_PI), "radius": (6.3e6, 1.1e7),
          "isometric_lat": (-3, 3), "rectifying_lat": (-HALF_PI, HALF_PI), "authalic_lat": (-HALF_PI, HALF_PI),
          "conformal_lat": (-HALF_PI, HALF_PI)}
ELLIPSOIDS = [pytest.param(U.WGS84, id="wgs84"), pytest.param((6371000.0, 0.0), id="sphere"),
              pytest.param((2.0, 0.3), id="flat")]


def point_columns(name):
    return [c for c, _ in U.columns[name][0] if c not in ("Re", "f")]


def takes_ellipsoid(name):
    return [c for c, _ in U.columns[name][0]][-2:] == ["Re", "f"]


def sample(name, n, seed=3, scale=1.0):
    rng = np.random.default_rng(seed)
    return [rng.uniform(*RANGES[c], n) * (scale if c in "xyz" or c == "radius" else 1.0)
            for c in point_columns(name)]


def run(name, columns, ellipsoid=U.WGS84):
    extra = ellipsoid if takes_ellipsoid(name) else ()
    with np.errstate(all="raise"):
        out = getattr(U, name)(*columns, *extra)
    return [np.asarray(o) for o in (out if isinstance(out, tuple) else (out,))]


def same_bits(a, b):
    a, b = np.ascontiguousarray(a, np.float64), np.ascontiguousarray(b, np.float64)
    return a.shape == b.shape and bool((a.view(np.uint64) == b.view(np.uint64)).all())


@pytest.mark.parametrize("ellipsoid", ELLIPSOIDS)
@pytest.mark.parametrize("name", GEO)
def test_one_point_gives_the_bits_of_any_array(name, ellipsoid):
    # 37 points: full passes, a tail of one vector and a partial one; strided views.
    cols = sample(name, 74, scale=ellipsoid[0] / U.WGS84[0])
    whole = run(name, cols, ellipsoid)
    strided = run(name, [c[::2] for c in cols], ellipsoid)
    for i in (0, 1, 5, 30, 36):
        alone = run(name, [c[2 * i] for c in cols], ellipsoid)
        assert all(same_bits(a, w[2 * i]) and same_bits(a, s[i]) for a, w, s in zip(alone, whole, strided))


@pytest.mark.parametrize("name", OBSERVED)
def test_broadcast_observer_gives_the_bits_of_an_observer_per_point(name):
    cols = sample(name, 41)
    names = point_columns(name)
    obs = [names.index(c) for c in ("lat0", "lon0", "alt0") if c in names]
    for i in obs:
        cols[i] = np.float64(cols[i][7])
    broadcast = run(name, cols)
    repeated = run(name, [np.full(41, c) if k in obs else c for k, c in enumerate(cols)])
    assert all(same_bits(b, r) for b, r in zip(broadcast, repeated))


def reversed_strided(c):
    return np.repeat(c, 2)[::-2]


def unaligned(c):
    return np.frombuffer(bytearray(b"\0" + c.tobytes()), c.dtype, offset=1)


# Float32 columns are read and written where they are: every layout of inputs and
# outputs, and an observer given once, must give the float64 results rounded.
@pytest.mark.parametrize("layout", [pytest.param(lambda c: c, id="contiguous"),
                                    pytest.param(reversed_strided, id="reversed-strided"),
                                    pytest.param(unaligned, id="unaligned")])
@pytest.mark.parametrize("name", GEO)
def test_float32_is_float64_rounded(name, layout):
    cols = [layout(c.astype(np.float32)) for c in sample(name, 50)]
    want = run(name, [c.astype(np.float64) for c in cols])
    outs = tuple(layout(np.zeros(50, np.float32)) for _ in want)
    extra = U.WGS84 if takes_ellipsoid(name) else ()
    with np.errstate(all="raise"):
        getattr(U, name)(*cols, *extra, out=outs)
    assert all(same_bits(o, w.astype(np.float32)) for o, w in zip(outs, want))


# In place: NumPy hands a kernel the same memory as an input and an output when
# they are the same array, so every point must be read before it is written.
@pytest.mark.parametrize("dtype", [np.float64, np.float32])
@pytest.mark.parametrize("name", [n for n in GEO if len(U.columns[n][1]) <= len(point_columns(n))])
def test_results_written_over_their_own_inputs(name, dtype):
    cols = [c.astype(dtype) for c in sample(name, 37)]
    want = run(name, cols)
    extra = U.WGS84 if takes_ellipsoid(name) else ()
    overwritten = [c.copy() for c in cols]
    with np.errstate(all="raise"):
        getattr(U, name)(*overwritten, *extra, out=tuple(overwritten[:len(want)]))
    assert all(same_bits(o, w) for o, w in zip(overwritten, want))


@pytest.mark.parametrize("name", OBSERVED)
def test_float32_broadcast_observer_is_float64_rounded(name):
    names = point_columns(name)
    cols = [c.astype(np.float32) if c_name not in ("lat0", "lon0", "alt0") else np.float32(c[7])
            for c, c_name in zip(sample(name, 41), names)]
    got = run(name, cols)
    want = run(name, [np.asarray(c, np.float64) for c in cols])
    assert all(g.dtype == np.float32 and same_bits(g, w.astype(np.float32)) for g, w in zip(got, want))


@pytest.mark.parametrize("name", GEO)
def test_nan_input_gives_nan_in_every_output_that_depends_on_it(name):
    base = sample(name, 9)
    for k in range(len(base)):
        # The outputs that change with input k depend on it.
        moved = [c + (0.01 * (1 + abs(c)) if j == k else 0) for j, c in enumerate(base)]
        depends = [not np.array_equal(a, b) for a, b in zip(run(name, base), run(name, moved))]
        nan = [c if j != k else np.full_like(c, np.nan) for j, c in enumerate(base)]
        assert any(depends)
        for out, dependent in zip(run(name, nan), depends):
            assert np.isnan(out).all() or not dependent
    assert all(np.isnan(o).all() for o in run(name, [np.full(9, np.nan)] * len(base)))


@pytest.mark.parametrize("name", [n for n in GEO if takes_ellipsoid(n)])
def test_invalid_ellipsoid_gives_nan_and_the_invalid_flag(name):
    cols = sample(name, 5)
    with pytest.raises(FloatingPointError), np.errstate(invalid="raise"):
        getattr(U, name)(*cols, 6378137.0, 1.0)
    with np.errstate(invalid="ignore"):
        out = getattr(U, name)(*cols, -1.0, 0.0)
    assert all(np.isnan(o).all() for o in (out if isinstance(out, tuple) else (out,)))
