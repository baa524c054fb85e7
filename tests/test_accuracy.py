"""Accuracy of the geodetic conversion against a 200-bit mpmath reference.

Test positions are made from geodetic coordinates with the exact forward
formula and rounded to doubles; the reference latitude and altitude are then
computed exactly for the rounded position, the very input the routine sees.
"""
import itertools

import mpmath as mp
import numpy as np
import pytest

from quorvane.mathtools.ellipsoid.ellipsoid import Ellipsoid
from support.reference import RE, RP, F, exact_geodetic, exact_pos

WGS84 = Ellipsoid(RE, F)
NEAR_POLE = [np.pi / 2 - 1e-9, np.pi / 2 - 1e-12, np.nextafter(np.pi / 2, 0.0)]


def alt_bound(r, rel=1e-15):
    """Altitude (or position) error allowed at r: 10 nm within 5000 km of the
    surface, beyond that rel times the distance from the centre."""
    d = np.linalg.norm(r, axis=-1)
    return np.where(d <= RE + 5e6, 1e-8, rel * d)


def from_geodetic(lats, lons, alts):
    """Rounded positions of a (lat, lon, alt) grid and their exact geodetic coordinates."""
    grid = list(itertools.product(lats, lons, alts))
    r = np.array([[float(c) for c in exact_pos(*g)] for g in grid])
    return r, [exact_geodetic(ri, lat0=g[0]) for ri, g in zip(r, grid)]


def near_axis():
    """Points 0 to 1 m from the polar axis; 1e-5 m and above take the off-axis
    branch (along x, p is exactly d)."""
    pts = [[d * np.cos(a), d * np.sin(a), s * (RP + h)]
           for d in (0.0, 1e-6, 1e-5, 1.01e-5, 1e-4, 1e-3, 1e-2, 0.1, 1.0)
           for h in (-1e5, 0.0, 1000.0, 4e6) for s in (1, -1) for a in (0.0, 2.2)]
    return np.array(pts), [exact_geodetic(p) for p in pts]


SURFACE_LATS = [s * v for s in (1, -1) for v in
                [np.pi / 2, *NEAR_POLE, np.radians(89.99), 1.2, 0.7854, 0.3, 0.0388, 1e-3]] + [0.0]
LONS = [0.0, 1.1, -2.5, np.pi]
BANDS = {
    "within-5000km": lambda: from_geodetic(SURFACE_LATS, LONS, [-1e5, -1.0, 0.0, 1e3, 1e5, 1e6, 4e6, 5e6]),
    # The altitude next to the axis once came out up to 193 m wrong.
    "near-polar-axis": near_axis,
    # 6250 km: where the Newton stopping rule leaves the largest latitude error.
    "to-geostationary": lambda: from_geodetic([-1.5, -0.75, 0.1, 0.75, 1.4, NEAR_POLE[1]], LONS[:2],
                                              [5.5e6, 6.25e6, 1e7, 2e7, 35786e3]),
}


@pytest.mark.parametrize("band", BANDS)
def test_lla_from_pos_matches_mpmath(band):
    r, ref = BANDS[band]()
    got = WGS84.lla_from_pos(r)
    err = {k: np.array([float(mp.mpf(float(g)) - rf[i]) for g, rf in zip(got[k], ref)])
           for i, k in enumerate(("lat", "lon", "alt"))}
    assert np.abs(err["lat"]).max() <= (1.5e-12 if band == "to-geostationary" else 1e-13)
    assert np.abs(err["lon"]).max() <= 1e-15
    assert np.all(np.abs(err["alt"]) <= alt_bound(r)), np.abs(err["alt"]).max()


def test_pos_from_lla_matches_mpmath():
    grid = np.array(list(itertools.product(SURFACE_LATS, LONS, [-1e5, 0.0, 1e3, 1e6, 5e6, 2e7, 35786e3]))).T
    got = WGS84.pos_from_lla(*grid)
    err = [float(mp.sqrt(sum((mp.mpf(float(gi)) - ei) ** 2 for gi, ei in zip(g, exact_pos(*lla)))))
           for g, lla in zip(got, grid.T)]
    assert np.all(err <= alt_bound(got)), max(err)


@pytest.mark.parametrize(("alt_range", "lat_tol"), [
    pytest.param((-1e5, 5e6), 1e-13, id="within-5000km"),
    pytest.param((5e6, 35786e3), 1.5e-12, id="to-geostationary"),
])
def test_round_trip_recovers_lla(alt_range, lat_tol):
    rng = np.random.default_rng(7)
    n = 100_000
    lat = np.concatenate([np.arcsin(rng.uniform(-1, 1, n)), NEAR_POLE, np.negative(NEAR_POLE)])
    lon = rng.uniform(-np.pi, np.pi, lat.size)
    alt = rng.uniform(*alt_range, lat.size)
    r = WGS84.pos_from_lla(lat, lon, alt)
    back = WGS84.lla_from_pos(r)
    assert np.abs(back["lat"] - lat).max() <= lat_tol
    assert np.abs(back["lon"] - lon).max() <= 1e-15
    assert np.all(np.abs(back["alt"] - alt) <= alt_bound(r, rel=1.5e-15))


def test_sphere_latitude_is_geocentric_and_altitude_is_radius_minus_re():
    sphere = Ellipsoid(6371000.0, 0.0)
    lat = np.array([np.pi / 2, *NEAR_POLE, 1.0, 0.3, 0.0, -0.8, -NEAR_POLE[1], -np.pi / 2])
    lla = np.array(list(itertools.product(lat, [0.0, 2.0], [-1e5, 0.0, 2e3, 35786e3]))).T
    r = sphere.pos_from_lla(*lla)
    got = sphere.lla_from_pos(r)
    err = np.array([[float(mp.mpf(float(g[k])) - rf[i]) for i, k in ((0, "lat"), (2, "alt"))]
                    for g, rf in zip(got, (exact_geodetic(ri, 6371000.0, 0.0) for ri in r))])
    assert np.abs(err[:, 0]).max() <= 1e-15
    assert np.all(np.abs(err[:, 1]) <= alt_bound(r))
    assert np.abs(got["lat"] - lla[0]).max() <= 1e-15
    assert np.all(np.abs(got["alt"] - lla[2]) <= alt_bound(r))


@mp.workprec(200)
def g_residual(r, beta):
    """g(beta) of the reduced-latitude equation for r on WGS84, and A."""
    x, y, z, f = map(mp.mpf, (*r, F))
    a, b = mp.hypot(x, y) / (RE * f * (2 - f)), (1 - f) * z / (RE * f * (2 - f))
    s, c = mp.sin(beta), mp.cos(beta)
    return s * c - a * s + b * c, a


def test_newton_cycling_point_returns_root_in_its_quadrant():
    r = np.array([40798.83958831092, 9341.932787049693, 256.4438281130133])
    beta = WGS84.solve_reduced_lat_equation(r)
    g, a = g_residual(r, beta)
    assert 0.0 <= beta <= np.pi / 2
    assert abs(g) <= 1e-12 * max(1, a)
    lla = WGS84.lla_from_pos(r)[0]
    assert np.isfinite(lla["alt"]) and 0.0 <= lla["lat"] <= np.pi / 2


def test_points_near_centre_all_settle_on_a_root():
    rng = np.random.default_rng(2024)
    r = rng.normal(size=(20_000, 3))
    r *= (1e5 * rng.uniform(0, 1, len(r)) ** (1 / 3) / np.linalg.norm(r, axis=1))[:, None]
    beta = WGS84.solve_reduced_lat_equation(r)
    lla = WGS84.lla_from_pos(r)
    assert np.isfinite(beta).all() and np.isfinite(lla["lat"]).all() and np.isfinite(lla["alt"]).all()
    # The iteration stops once a step is below 1.567e-5 rad, so g is left at
    # second order in that step, not at rounding level.
    e = RE * F * (2 - F)
    a, b = np.hypot(r[:, 0], r[:, 1]) / e, (1 - F) * r[:, 2] / e
    g = np.sin(beta) * np.cos(beta) - a * np.sin(beta) + b * np.cos(beta)
    assert np.abs(g).max() <= 1e-9
