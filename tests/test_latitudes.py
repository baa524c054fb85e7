"""Geocentric and auxiliary latitudes and the radii of curvature against 200-bit
references on several flattenings, their inverses, round trips and closed-form values."""

import mpmath as mp
import numpy as np
import pytest

import quorvane.mathtools.ellipsoid.ufuncs as U
from support import geo_reference as G

W = U.WGS84
RE = W[0]
HALF_PI = np.pi / 2
KINDS = ["isometric", "conformal", "authalic", "rectifying"]
FLATTENINGS = [pytest.param(0.0, id="sphere"), pytest.param(W[1], id="wgs84"), pytest.param(0.1, id="f0.1"),
               pytest.param(0.5, id="f0.5")]


def latitudes(n=40, seed=3):
    lat = np.arcsin(np.random.default_rng(seed).uniform(-1, 1, n))
    lat[:6] = [0.0, HALF_PI, -HALF_PI, np.nextafter(HALF_PI, 0), 1e-300, HALF_PI - 1e-9]
    return lat


def forward(kind):
    return getattr(U, f"{kind}_lat_from_geodetic_lat")


def inverse(kind):
    return getattr(U, f"geodetic_lat_from_{kind}_lat")


def bound(f):
    """Worst error allowed on the flattening f: two ulps of pi/2 up to f = 0.1; the
    tangent forms lose about two bits more at f = 0.5."""
    return 4.5e-16 if f <= 0.1 else 1.8e-15


def scale(kind, value):
    # The isometric latitude is unbounded (38 at the double nearest the pole): its
    # error is relative to max(1, |value|).
    return max(1.0, abs(float(value))) if kind == "isometric" else 1.0


@pytest.mark.parametrize("f", FLATTENINGS)
@pytest.mark.parametrize("kind", KINDS)
def test_auxiliary_latitudes_and_their_inverses_match_the_reference(kind, f):
    lat = latitudes()
    got = forward(kind)(lat, RE, f)
    values = np.array([float(G.FORWARD[kind](v, f)) for v in lat])
    back = inverse(kind)(values, RE, f)
    for k in range(len(lat)):
        exact = G.FORWARD[kind](lat[k], f)
        assert abs(float(mp.mpf(float(got[k])) - exact)) <= bound(f) * scale(kind, exact)
        assert abs(float(G.inverse_error(kind, values[k], back[k], f))) <= bound(f)


@pytest.mark.parametrize("f", FLATTENINGS)
@pytest.mark.parametrize("kind", KINDS)
def test_auxiliary_latitude_round_trips(kind, f):
    # Within a few ulps of the magnitude: three ulps of max(1, |value|), which also
    # absorbs the isometric latitude's growth (sec(lat)) over the geodetic error.
    ulps = 3 if f <= 0.1 else 8
    lat = latitudes(200, seed=4)
    assert np.all(np.abs(inverse(kind)(forward(kind)(lat, RE, f), RE, f) - lat) <= ulps * np.spacing(1.0))
    value = forward(kind)(lat, RE, f)
    again = forward(kind)(inverse(kind)(value, RE, f), RE, f)
    assert np.all(np.abs(again - value) <= ulps * np.spacing(np.maximum(1.0, np.abs(value))))


@pytest.mark.parametrize("kind", KINDS)
def test_auxiliary_latitudes_keep_the_equator_the_poles_and_the_sign(kind):
    f = W[1]
    assert forward(kind)(0.0, RE, f) == 0.0 and inverse(kind)(0.0, RE, f) == 0.0
    if kind != "isometric":
        assert forward(kind)(HALF_PI, RE, f) == HALF_PI and inverse(kind)(HALF_PI, RE, f) == HALF_PI
    lat = latitudes()
    assert np.array_equal(forward(kind)(-lat, RE, f), -forward(kind)(lat, RE, f))


def test_isometric_latitude_of_an_infinite_or_huge_value_is_the_pole():
    assert np.array_equal(U.geodetic_lat_from_isometric_lat([np.inf, -np.inf, 800.0, 40.0], *W),
                          [HALF_PI, -HALF_PI, HALF_PI, HALF_PI])


def test_rectifying_latitude_is_nan_beyond_the_series_reach():
    assert np.isnan(U.rectifying_lat_from_geodetic_lat([0.0, 0.5], RE, 0.9)).all()
    assert np.isnan(U.geodetic_lat_from_rectifying_lat([0.0, 0.5], RE, 0.9)).all()
    assert not np.isnan(U.rectifying_lat_from_geodetic_lat([0.0, 0.5], RE, 0.6)).any()


@pytest.mark.parametrize("f", FLATTENINGS[1:3])
@pytest.mark.parametrize("alt", [-1e4, 0.0, 450e3, 5e6, 35786e3])
def test_geocentric_latitude_both_ways_matches_the_reference(alt, f):
    lat = latitudes(24)
    slat = U.geocentric_lat_from_geodetic_lat(lat, alt, RE, f)
    exact = [G.spherical_from_lla(v, 0.0, alt, RE, f)[0] for v in lat]
    assert max(abs(float(mp.mpf(float(g)) - e)) for g, e in zip(slat, exact)) <= 4.5e-16
    rounded = np.array([float(e) for e in exact])
    back = U.geodetic_lat_from_geocentric_lat(rounded, alt, RE, f)
    for k in range(len(lat)):
        assert abs(float(mp.mpf(float(back[k])) - G.geodetic_lat_from_geocentric_lat(rounded[k], alt, RE, f))) <= 4.5e-16


def test_spherical_coordinates_both_ways_match_the_reference():
    rng = np.random.default_rng(6)
    lat, lon, alt = latitudes(24), rng.uniform(-np.pi, np.pi, 24), rng.uniform(-1e4, 5e6, 24)
    sph = np.stack(U.spherical_from_lla(lat, lon, alt, *W))
    assert np.array_equal(sph[1], lon)
    lla = np.stack(U.lla_from_spherical(*sph, *W))
    assert np.array_equal(lla[1], lon)
    for k in range(24):
        slat, _, radius = G.spherical_from_lla(lat[k], lon[k], alt[k])
        assert abs(float(mp.mpf(float(sph[0, k])) - slat)) <= 4.5e-16
        assert abs(float(mp.mpf(float(sph[2, k])) - radius)) <= 1e-8
        exact = G.lla_from_spherical(*sph[:, k])
        assert abs(float(mp.mpf(float(lla[0, k])) - exact[0])) < 1e-13
        assert abs(float(mp.mpf(float(lla[2, k])) - exact[2])) < 1e-8
    assert np.abs(lla[0] - lat).max() < 1e-13 and np.abs(lla[2] - alt).max() < 1e-8


@pytest.mark.parametrize("f", FLATTENINGS)
def test_radii_match_the_reference(f):
    lat = latitudes(30)
    got = np.stack([getattr(U, f"{k}_radius")(lat, RE, f) for k in ("meridian", "transverse", "parallel", "geocentric")])
    for k in range(len(lat)):
        exact = G.radii(lat[k], RE, f)
        # relative to N: a few ulps, twice that on the flattest
        allowed = (5e-16 if f <= 0.1 else 1e-15) * float(exact[1])
        assert all(abs(float(mp.mpf(float(g)) - e)) <= allowed for g, e in zip(got[:, k], exact))


@pytest.mark.parametrize("f", FLATTENINGS[1:])
def test_radii_at_the_equator_and_the_pole(f):
    rp = RE * (1 - f)
    at = np.array([0.0, HALF_PI])
    assert np.allclose(U.meridian_radius(at, RE, f), [rp * (1 - f), RE / (1 - f)], rtol=4e-16, atol=0)
    assert np.allclose(U.transverse_radius(at, RE, f), [RE, RE / (1 - f)], rtol=4e-16, atol=0)
    assert np.allclose(U.geocentric_radius(at, RE, f), [RE, rp], rtol=4e-16, atol=0)
    assert U.parallel_radius(0.0, RE, f) == RE and abs(U.parallel_radius(HALF_PI, RE, f)) < 1e-9
