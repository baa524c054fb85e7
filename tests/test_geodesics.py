"""Geodesics: geodesic_direct and geodesic_inverse against 34-digit mpmath solutions by
category, their properties (round trips, swapped ends, the way back, the equator, the
meridians and the antipodes), one answer per input on both kernel sets, float32."""

import math
from concurrent.futures import ThreadPoolExecutor

import mpmath as mp
import numpy as np
import pytest

import quorvane.mathtools.ellipsoid.ufuncs as U

from support.geodesic_reference import (CATEGORIES, SPECIAL_PAIRS, Rows, angle_diff, mixed_pairs,
                                        mixed_starts)

A, F = U.WGS84
NM = 1e-9
HP = math.pi / 2
GEODESICS = ["geodesic_direct", "geodesic_inverse"]


def position_error(lat, lon, lat_ref, lon_ref, f=F):
    """Metres between nearby points, in the local metric of the ellipsoid."""
    e2 = f * (2 - f)
    w = 1 - e2 * np.sin(lat_ref) ** 2
    dlon = (lon - lon_ref + np.pi) % (2 * np.pi) - np.pi
    north = A * (1 - e2) / w ** 1.5 * (lat - lat_ref)
    east = A / np.sqrt(w) * np.cos(lat_ref) * dlon
    return np.hypot(north, east)


def turn(a, b):
    """a - b wrapped to [-pi, pi]."""
    return (a - b + np.pi) % (2 * np.pi) - np.pi


@mp.workdps(30)
def meridian_arc(lat1, lat2, f=F):
    """Length of the meridian between two latitudes, from the integral of its radius of
    curvature a (1 - e^2) / (1 - e^2 sin^2)^(3/2)."""
    e2 = mp.mpf(f) * (2 - mp.mpf(f))
    return float(abs(mp.quad(lambda t: A * (1 - e2) / (1 - e2 * mp.sin(t) ** 2) ** 1.5,
                             [mp.mpf(lat1), mp.mpf(lat2)])))


POLE_TO_POLE = meridian_arc(-HP, HP)


@pytest.mark.parametrize("category", CATEGORIES)
def test_within_20_nm_of_mpmath(category):
    rows = Rows(category, 8, seed=11)
    assert len(rows) >= 4
    lat2, lon2, _ = U.geodesic_direct(rows.lat1, rows.lon1, rows.azi1, rows.s12, A, F)
    errors = [float(mp.hypot(*e.displacement(a, b))) for e, a, b in zip(rows.exact, lat2, lon2)]
    assert max(errors) <= 20 * NM
    s12, azi1, azi2 = U.geodesic_inverse(rows.lat1, rows.lon1, rows.lat2, rows.lon2, A, F)
    assert max(abs(float(s - r)) for s, r in zip(s12, rows.s12_inv)) <= 20 * NM
    for got, ref in ((azi1, rows.azi1_inv), (azi2, rows.azi2_inv)):
        assert max(abs(float(angle_diff(a, r)) * m) for a, r, m in zip(got, ref, rows.m12)) <= 20 * NM


@pytest.mark.parametrize(("f", "bound"), [
    pytest.param(0.02, 20 * NM, id="f0.02"),
    pytest.param(0.05, 30e-6, id="f0.05"),
    pytest.param(0.1, 5e-3, id="f0.1"),
])
def test_flatter_ellipsoids_within_their_documented_error(f, bound):
    for category in ("random", "short", "near vertex"):
        rows = Rows(category, 5, seed=12, f=f)
        lat2, lon2, _ = U.geodesic_direct(rows.lat1, rows.lon1, rows.azi1, rows.s12, A, f)
        assert max(float(mp.hypot(*e.displacement(a, b))) for e, a, b in zip(rows.exact, lat2, lon2)) <= bound
        s12, _, _ = U.geodesic_inverse(rows.lat1, rows.lon1, rows.lat2, rows.lon2, A, f)
        assert max(abs(float(s - r)) for s, r in zip(s12, rows.s12_inv)) <= bound


@pytest.mark.parametrize("f", [pytest.param(F, id="wgs84"), pytest.param(0.0, id="sphere"),
                               pytest.param(0.02, id="f0.02")])
def test_direct_of_the_inverse_reaches_the_second_point(f):
    lat1, lon1, lat2, lon2 = mixed_pairs(3000, seed=1, f=f)
    s12, azi1, _ = U.geodesic_inverse(lat1, lon1, lat2, lon2, A, f)
    lat, lon, _ = U.geodesic_direct(lat1, lon1, azi1, s12, A, f)
    assert position_error(lat, lon, lat2, lon2, f).max() <= 40 * NM


def test_inverse_of_the_direct_recovers_distance_and_azimuth():
    # Up to a quarter meridian every geodesic is the shortest path.
    lat1, lon1, azi1, s12 = mixed_starts(3000, seed=2)
    s12 = np.minimum(np.abs(s12), 1e7)
    lat2, lon2, _ = U.geodesic_direct(lat1, lon1, azi1, s12, A, F)
    s, azi, _ = U.geodesic_inverse(lat1, lon1, lat2, lon2, A, F)
    assert np.abs(s - s12).max() <= 40 * NM
    # An azimuth error moves the end sideways by about the error times
    # a sin(s12 / a), the reduced length of such arcs to within f.
    at_pole = np.abs(lat1) == HP
    sideways = np.abs(turn(azi, azi1)) * A * np.sin(s12 / A)
    assert sideways[~at_pole].max() <= 60 * NM


def test_swapping_the_ends_reverses_the_geodesic():
    lat1, lon1, lat2, lon2 = mixed_pairs(3000, seed=3)
    s12, azi1, azi2 = U.geodesic_inverse(lat1, lon1, lat2, lon2, A, F)
    s21, azi2_back, azi1_back = U.geodesic_inverse(lat2, lon2, lat1, lon1, A, F)
    # Both orders reach the same canonical problem, so the same length.
    np.testing.assert_array_equal(s21, s12)
    # And the same geodesic, where it is the only shortest one: not at the
    # poles, nor for coincident points, nor on the cut locus of an oblate
    # ellipsoid (the other end on the opposite parallel, across the globe).
    unique = ((np.abs(lat1) < HP) & (np.abs(lat2) < HP) & (s12 > 0) &
              ~((lat2 == -lat1) & (np.cos(lon2 - lon1) < 0)))
    assert np.abs(turn(azi2_back, azi2 + np.pi))[unique].max() <= 1e-15
    assert np.abs(turn(azi1_back, azi1 + np.pi))[unique].max() <= 1e-15


@pytest.mark.parametrize("way", ["negative distance", "turned around"])
def test_the_way_back_returns_to_the_start(way):
    lat1, lon1, azi1, s12 = mixed_starts(3000, seed=4)
    lat2, lon2, azi2 = U.geodesic_direct(lat1, lon1, azi1, s12, A, F)
    if way == "negative distance":
        lat, lon, azi = U.geodesic_direct(lat2, lon2, azi2, -s12, A, F)
        expected_azi = azi1
    else:
        lat, lon, azi = U.geodesic_direct(lat2, lon2, azi2 + np.pi, s12, A, F)
        expected_azi = azi1 + np.pi
    assert position_error(lat, lon, lat1, lon1).max() <= 40 * NM
    # Within r of a pole, 40 nm sideways turn the meridian by 40 nm / r.
    assert np.all(np.abs(turn(azi, expected_azi)) <= 1e-12 + 40 * NM / (A * np.cos(lat1)))


@pytest.mark.parametrize("lam12", [1e-12, 0.3, 2.0, (1 - F) * math.pi])
def test_the_equator_up_to_its_conjugate_point_is_the_geodesic(lam12):
    lon1 = -2.5
    lam12 = (lon1 + lam12) - lon1  # the difference of the doubles
    s12, azi1, azi2 = U.geodesic_inverse(0.0, lon1, 0.0, lon1 + lam12, A, F)
    assert s12 == pytest.approx(A * lam12, rel=1e-15)
    assert azi1 == azi2 == HP
    lat2, lon2, azi2 = U.geodesic_direct(0.0, lon1, HP, A * lam12, A, F)
    assert abs(lat2) <= 1e-15 and abs(turn(lon2, lon1 + lam12)) <= 1e-15 and azi2 == pytest.approx(HP, abs=1e-15)


@pytest.mark.parametrize("lam12", [(1 - F) * math.pi + 1e-3, 3.14, math.pi - 1e-9])
def test_beyond_the_conjugate_point_the_shortest_path_leaves_the_equator(lam12):
    s12, azi1, azi2 = U.geodesic_inverse(0.0, 0.0, 0.0, lam12, A, F)
    assert s12 < A * lam12 - 1.0 and s12 <= POLE_TO_POLE + 20 * NM
    assert 0 < azi1 < HP and azi2 == pytest.approx(math.pi - azi1, abs=1e-12)
    lat, lon, _ = U.geodesic_direct(0.0, 0.0, azi1, s12, A, F)
    assert position_error(lat, lon, 0.0, lam12) <= 40 * NM


@pytest.mark.parametrize(("lat1", "lat2"), [(0.1, 0.9), (-1.2, 0.4), (-0.3, -0.31), (0.0, HP), (1.5, 1.5 - 1e-7)])
@pytest.mark.parametrize("dlon", [pytest.param(0.0, id="same-meridian"), pytest.param(math.pi, id="over-a-pole")])
def test_meridians_match_the_meridian_integral(lat1, lat2, dlon):
    s12, azi1, azi2 = U.geodesic_inverse(lat1, 0.7, lat2, 0.7 + dlon, A, F)
    if dlon == 0.0:
        expected = meridian_arc(lat1, lat2)
        heading = 0.0 if lat2 > lat1 else math.pi
        assert abs(turn(azi1, heading)) <= 1e-15 and abs(turn(azi2, heading)) <= 1e-15
    else:
        pole = HP if lat1 + lat2 > 0 else -HP
        expected = meridian_arc(lat1, pole) + meridian_arc(pole, lat2)
    assert abs(s12 - expected) <= 20 * NM


@pytest.mark.parametrize("lat", [0.0, 0.2, -0.9, 1.5, HP])
def test_antipodes_are_half_a_meridian_apart(lat):
    s12, _, _ = U.geodesic_inverse(lat, 0.4, -lat, 0.4 + math.pi, A, F)
    assert abs(s12 - POLE_TO_POLE) <= 20 * NM


@pytest.mark.parametrize("lat", [0.0, 0.03, -0.7, 1.4])
def test_near_the_antipode_the_distance_stays_within_the_offset_of_half_a_meridian(lat):
    """Triangle inequality through the antipode, whose distance is half a meridian: a
    path that is not the shortest, or a wrong one, shows up as a larger difference."""
    rng = np.random.default_rng(5)
    dlat, dlon = (10 ** rng.uniform(-12, -1.5, 400) * rng.choice([-1, 1], 400) for _ in range(2))
    lat2 = np.clip(-lat + dlat, -HP, HP)
    s12, azi1, _ = U.geodesic_inverse(lat, 0.0, lat2, math.pi + dlon, A, F)
    # Along the meridian, then the parallel: no radius of curvature exceeds a / (1 - f).
    offset = A / (1 - F) * (np.abs(lat2 + lat) + np.abs(dlon) * np.maximum(math.cos(lat), np.cos(lat2)))
    assert np.all(np.abs(s12 - POLE_TO_POLE) <= offset + 40 * NM)
    lat_end, lon_end, _ = U.geodesic_direct(lat, 0.0, azi1, s12, A, F)
    assert position_error(lat_end, lon_end, lat2, math.pi + dlon).max() <= 40 * NM


def test_on_a_sphere_the_distance_is_the_great_circle_arc():
    lat1, lon1, lat2, lon2 = mixed_pairs(2000, seed=6, f=0.0)
    s12, _, _ = U.geodesic_inverse(lat1, lon1, lat2, lon2, A, 0.0)
    # Vincenty's form of the central angle, well conditioned everywhere.
    dlon = lon2 - lon1
    y = np.hypot(np.cos(lat2) * np.sin(dlon), np.cos(lat1) * np.sin(lat2) - np.sin(lat1) * np.cos(lat2) * np.cos(dlon))
    x = np.sin(lat1) * np.sin(lat2) + np.cos(lat1) * np.cos(lat2) * np.cos(dlon)
    assert np.abs(s12 - A * np.arctan2(y, x)).max() <= 20 * NM


@pytest.mark.parametrize("pair", [pytest.param(p, id=f"pair{k}") for k, p in enumerate(SPECIAL_PAIRS)])
def test_special_pairs_have_a_finite_shortest_path(pair):
    from geographiclib.geodesic import Geodesic
    s12, azi1, azi2 = U.geodesic_inverse(*pair, A, F)
    assert np.isfinite([s12, azi1, azi2]).all()
    assert -math.pi < azi1 <= math.pi and -math.pi < azi2 <= math.pi
    assert abs(s12 - Geodesic(A, F).Inverse(*np.degrees(pair))["s12"]) <= 20 * NM
    lat, lon, _ = U.geodesic_direct(pair[0], pair[1], azi1, s12, A, F)
    assert position_error(lat, lon, pair[2], pair[3]) <= 40 * NM


@pytest.mark.parametrize(("name", "point"), [
    pytest.param("geodesic_direct", (HP + 1e-9, 0.0, 1.0, 1e6), id="direct-beyond-pole"),
    pytest.param("geodesic_inverse", (0.3, 0.0, -HP - 1e-9, 1.0), id="inverse-beyond-pole"),
    pytest.param("geodesic_direct", (0.3, 0.0, np.nan, 1e6), id="direct-nan"),
    pytest.param("geodesic_inverse", (0.3, np.inf, 0.2, 1.0), id="inverse-inf"),
])
def test_points_without_a_geodesic_give_nan(name, point):
    assert np.isnan(getattr(U, name)(*point, A, F)).all()


@pytest.mark.parametrize("name", GEODESICS)
def test_flattening_beyond_the_series_gives_nan_without_a_flag(name):
    with np.errstate(all="raise"):
        within = np.array(getattr(U, name)(0.3, 0.1, 0.5, 2e6, A, [0.2, 0.21, 0.5]))
    assert np.isfinite(within[:, 0]).all() and np.isnan(within[:, 1:]).all()


def mixed_inputs(name, n=3000, seed=7):
    if name == "geodesic_direct":
        return mixed_starts(n, seed)
    return mixed_pairs(n, seed)


def bits(a):
    return np.ascontiguousarray(a, dtype=np.float64).view(np.uint64)


@pytest.mark.parametrize("name", GEODESICS)
def test_one_answer_alone_in_any_batch_and_on_threads(name):
    ufunc = getattr(U, name)
    columns = mixed_inputs(name)
    whole = np.array(ufunc(*columns, A, F))
    for i in range(0, len(columns[0]), 37):
        np.testing.assert_array_equal(bits(ufunc(*[c[i] for c in columns], A, F)), bits(whole[:, i]))
    order = np.random.default_rng(8).permutation(len(columns[0]))
    shuffled = np.array(ufunc(*[c[order] for c in columns], A, F))
    np.testing.assert_array_equal(bits(shuffled), bits(whole[:, order]))
    cuts = [0, 5, 130, 131, 1200, 2999, 3000]
    with ThreadPoolExecutor(4) as pool:
        parts = list(pool.map(lambda k: np.array(ufunc(*[c[cuts[k]:cuts[k + 1]] for c in columns], A, F)),
                              range(len(cuts) - 1)))
    np.testing.assert_array_equal(bits(np.concatenate(parts, axis=1)), bits(whole))


@pytest.fixture(scope="module")
def plain_run(script, tmp_path_factory):
    """Both ufuncs under the plain fallback, whole, alone and reversed."""
    folder = tmp_path_factory.mktemp("geodesic_bits")
    inputs = {"direct": np.array(mixed_inputs("geodesic_direct", 1500)),
              "inverse": np.array(mixed_inputs("geodesic_inverse", 1500))}
    np.savez(folder / "inputs.npz", **inputs)
    proc = script("geodesic_bits.py", folder / "inputs.npz", folder / "results.npz",
                  env={"QUORVANE_KERNELS": "plain"})
    assert proc.returncode == 0, proc.stderr
    assert proc.stdout.strip() == "plain"
    return inputs, dict(np.load(folder / "results.npz"))


@pytest.mark.parametrize("name", ["direct", "inverse"])
def test_plain_kernels_give_one_answer_per_input_and_agree_with_the_chosen_set(plain_run, name):
    inputs, results = plain_run
    plain = results[name]
    np.testing.assert_array_equal(bits(results[name + "_alone"]), bits(plain))
    np.testing.assert_array_equal(bits(results[name + "_reversed"]), bits(plain))
    chosen = np.array(getattr(U, "geodesic_" + name)(*inputs[name], A, F))
    if name == "direct":
        assert position_error(plain[0], plain[1], chosen[0], chosen[1]).max() <= 40 * NM
    else:
        assert np.abs(plain[0] - chosen[0]).max() <= 40 * NM


@pytest.mark.parametrize("name", GEODESICS)
def test_float32_inputs_are_computed_in_float64_and_rounded(name):
    columns32 = [c.astype(np.float32) for c in mixed_inputs(name, 500)]
    got = getattr(U, name)(*columns32, A, F)
    want = getattr(U, name)(*[c.astype(np.float64) for c in columns32], A, F)
    for g, w in zip(got, want):
        assert g.dtype == np.float32
        np.testing.assert_array_equal(g, w.astype(np.float32))
