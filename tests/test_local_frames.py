"""Local frames against 200-bit references (positions within 10 nm, angles within 1e-13
rad, observers and targets from 10 km below to 5000 km above WGS84, targets within
10 000 km), round trips within a few ulps, and the relations between the frames."""

import mpmath as mp
import numpy as np
import pytest

import quorvane.mathtools.ellipsoid.ufuncs as U
from support import geo_reference as G
from support.reference import exact_pos

W = U.WGS84
HALF_PI = np.pi / 2
POLE = np.nextafter(HALF_PI, 0)


def pairs(n=24, seed=11):
    """Observers and targets as (3, m) arrays, with the poles, the equator and a
    target straight above its observer among them."""
    rng = np.random.default_rng(seed)
    obs = np.stack([np.arcsin(rng.uniform(-1, 1, n)), rng.uniform(-np.pi, np.pi, n), rng.uniform(-1e4, 5e6, n)])
    tgt = np.stack([np.arcsin(rng.uniform(-1, 1, n)), rng.uniform(-np.pi, np.pi, n), rng.uniform(-1e4, 5e6, n)])
    obs[:, :4] = [[HALF_PI, -POLE, 0.0, 0.4], [0.3, 1.0, -2.0, 0.2], [1e3, 4e6, -1e4, 0.0]]
    tgt[:, :4] = [[0.1, -1.2, 0.0, 0.4], [0.3, 1.0, 0.5, 0.2], [2e6, 0.0, 0.0, 3e6]]
    near = np.linalg.norm(np.stack(U.pos_from_lla(*tgt, *W)) - np.stack(U.pos_from_lla(*obs, *W)), axis=0) <= 1e7
    return obs[:, near], tgt[:, near]


OBS, TGT = pairs()


def err(got, exact):
    return float(mp.sqrt(sum((mp.mpf(float(g)) - e) ** 2 for g, e in zip(got, exact))))


def angle_err(got, exact, wrap=False):
    d = abs(mp.mpf(float(got)) - exact)
    return float(min(d, 2 * mp.pi - d)) if wrap else float(d)


def aer_ok(got, exact):
    """Azimuth and elevation within 1e-13 rad, range within 10 nm; straight above
    or below the azimuth is any angle."""
    vertical = abs(abs(exact[1]) - mp.pi / 2) < 1e-12
    return ((vertical or angle_err(got[0], exact[0], wrap=True) < 1e-13) and angle_err(got[1], exact[1]) < 1e-13
            and angle_err(got[2], exact[2]) < 1e-8)


def ned(v):
    return v[1], v[0], -v[2]


@pytest.mark.parametrize("name, frame", [pytest.param("enu_from_pos", "enu", id="enu"),
                                         pytest.param("ned_from_pos", "ned", id="ned"),
                                         pytest.param("aer_from_pos", "aer", id="aer")])
@pytest.mark.parametrize("target", ["pos", "lla"])
def test_local_coordinates_of_targets_match_the_reference(name, frame, target):
    r = np.stack(U.pos_from_lla(*TGT, *W))
    name = name if target == "pos" else name.replace("pos", "lla")
    got = np.stack(getattr(U, name)(*(r if target == "pos" else TGT), *OBS, *W))
    for k in range(OBS.shape[1]):
        args = r[:, k] if target == "pos" else exact_pos(*TGT[:, k])
        exact = G.enu_from_pos(*args, *OBS[:, k])
        if frame == "aer":
            assert aer_ok(got[:, k], G.aer_from_enu(*exact))
        else:
            assert err(got[:, k], exact if frame == "enu" else ned(exact)) < 1e-8


@pytest.mark.parametrize("local", ["enu", "ned", "aer"])
def test_positions_and_geodetic_coordinates_of_local_coordinates_match_the_reference(local):
    enu = np.stack(U.enu_from_lla(*TGT, *OBS, *W))
    given = {"enu": enu, "ned": np.stack(ned(enu)), "aer": np.stack(U.aer_from_enu(*enu))}[local]
    pos = np.stack(getattr(U, f"pos_from_{local}")(*given, *OBS, *W))
    lla = np.stack(getattr(U, f"lla_from_{local}")(*given, *OBS, *W))
    for k in range(OBS.shape[1]):
        e = G.enu_from_aer(*given[:, k]) if local == "aer" else G.rotate_to_enu(*enu[:, k], 0.0, 0.0)
        exact = G.pos_from_enu(*(e if local == "aer" else enu[:, k]), *OBS[:, k])
        assert err(pos[:, k], exact) < 1e-8
        lat, lon, alt = G.geodetic_near(exact, *TGT[:, k])
        assert angle_err(lla[0, k], lat) < 1e-13 and angle_err(lla[1, k], lon, wrap=True) < 1e-13
        assert angle_err(lla[2, k], alt) < 1e-8


@pytest.mark.parametrize("forward, backward", [
    pytest.param("aer_from_enu", "enu_from_aer", id="enu-aer"),
    pytest.param("aer_from_ned", "ned_from_aer", id="ned-aer"),
])
def test_between_local_coordinates_match_the_reference(forward, backward):
    enu = np.stack(U.enu_from_lla(*TGT, *OBS, *W))
    given = enu if forward == "aer_from_enu" else np.stack(ned(enu))
    aer = np.stack(getattr(U, forward)(*given))
    back = np.stack(getattr(U, backward)(*aer))
    for k in range(enu.shape[1]):
        assert aer_ok(aer[:, k], G.aer_from_enu(*enu[:, k]))
        exact = G.enu_from_aer(*aer[:, k])
        assert err(back[:, k], exact if forward == "aer_from_enu" else ned(exact)) < 1e-8


@pytest.mark.parametrize("name", ["enu_from_ecef_vector", "ned_from_ecef_vector", "ecef_vector_from_enu",
                                  "ecef_vector_from_ned"])
def test_vector_rotations_match_the_reference_and_keep_the_norm(name):
    v = np.random.default_rng(2).uniform(-8000, 8000, (3, OBS.shape[1]))
    got = np.stack(getattr(U, name)(*v, *OBS[:2]))
    for k in range(v.shape[1]):
        if name.startswith("ecef"):
            local = v[:, k] if "enu" in name else ned(v[:, k])
            exact = G.rotate_from_enu(*local, *OBS[:2, k])
        else:
            exact = G.rotate_to_enu(*v[:, k], *OBS[:2, k])
            exact = exact if "enu" in name else ned(exact)
        assert err(got[:, k], exact) < 1e-11
    assert np.allclose(np.linalg.norm(got, axis=0), np.linalg.norm(v, axis=0), rtol=4e-16, atol=0)


# Round trips return the input within a few ulps of the coordinates' magnitude.
ROUND_TRIPS = [("enu_from_pos", "pos_from_enu"), ("ned_from_pos", "pos_from_ned"),
               ("aer_from_pos", "pos_from_aer"), ("enu_from_lla", "lla_from_enu"),
               ("ned_from_lla", "lla_from_ned"), ("aer_from_lla", "lla_from_aer")]


@pytest.mark.parametrize("there, back", [pytest.param(a, b, id=a) for a, b in ROUND_TRIPS])
def test_round_trips_return_the_input(there, back):
    given = np.stack(U.pos_from_lla(*TGT, *W)) if there.endswith("pos") else TGT
    returned = np.stack(getattr(U, back)(*getattr(U, there)(*given, *OBS, *W), *OBS, *W))
    if there.endswith("pos"):
        assert np.all(np.linalg.norm(returned - given, axis=0) <= 4 * np.spacing(np.abs(given).max(axis=0)))
    else:
        assert np.abs(returned[:2] - given[:2]).max() < 4e-15 and np.abs(returned[2] - given[2]).max() < 4e-9


def test_local_round_trips_between_frames():
    enu = np.stack(U.enu_from_lla(*TGT, *OBS, *W))
    back = np.stack(U.enu_from_aer(*U.aer_from_enu(*enu)))
    assert np.all(np.abs(back - enu) <= 4 * np.spacing(np.linalg.norm(enu, axis=0)))
    v = np.random.default_rng(4).normal(size=(3, 30)) * 1e3
    at = np.random.default_rng(5).uniform(-1.5, 1.5, (2, 30))
    for there, back in (("enu_from_ecef_vector", "ecef_vector_from_enu"), ("ned_from_ecef_vector", "ecef_vector_from_ned")):
        returned = np.stack(getattr(U, back)(*getattr(U, there)(*v, *at), *at))
        assert np.all(np.abs(returned - v) <= 4 * np.spacing(np.linalg.norm(v, axis=0)))


@pytest.mark.parametrize("enu_name, ned_name, ned_is_input", [
    ("enu_from_pos", "ned_from_pos", False), ("enu_from_lla", "ned_from_lla", False),
    ("pos_from_enu", "pos_from_ned", True), ("lla_from_enu", "lla_from_ned", True),
    ("aer_from_enu", "aer_from_ned", True), ("enu_from_aer", "ned_from_aer", False),
    ("enu_from_ecef_vector", "ned_from_ecef_vector", False), ("ecef_vector_from_enu", "ecef_vector_from_ned", True),
])
def test_ned_is_enu_with_the_axes_swapped(enu_name, ned_name, ned_is_input):
    enu = np.stack(U.enu_from_lla(*TGT, *OBS, *W))
    rest = {"enu_from_pos": (*U.pos_from_lla(*TGT, *W), *OBS, *W), "enu_from_lla": (*TGT, *OBS, *W),
            "enu_from_aer": tuple(U.aer_from_enu(*enu)), "enu_from_ecef_vector": (*enu, *OBS[:2])}
    if ned_is_input:
        tail = {"aer_from_enu": (), "ecef_vector_from_enu": tuple(OBS[:2])}.get(enu_name, (*OBS, *W))
        got_enu, got_ned = getattr(U, enu_name)(*enu, *tail), getattr(U, ned_name)(*ned(enu), *tail)
        assert np.array_equal(np.stack(got_enu), np.stack(got_ned))
    else:
        got_enu, got_ned = getattr(U, enu_name)(*rest[enu_name]), getattr(U, ned_name)(*rest[enu_name])
        assert np.array_equal(np.stack(ned(got_enu)), np.stack(got_ned))


def test_the_observer_is_at_the_origin_of_its_frame():
    zeros = np.zeros_like(OBS[0])
    assert np.array_equal(np.stack(U.enu_from_lla(*OBS, *OBS, *W)), np.zeros_like(OBS))
    assert np.array_equal(np.stack(U.aer_from_lla(*OBS, *OBS, *W)), np.zeros_like(OBS))
    here = U.pos_from_enu(zeros, zeros, zeros, *OBS, *W)
    assert np.array_equal(np.stack(U.enu_from_pos(*here, *OBS, *W)), np.zeros_like(OBS))
    # The observer's position is pos_from_lla's within a few ulps, not by its steps.
    assert np.all(np.abs(np.stack(here) - np.stack(U.pos_from_lla(*OBS, *W))) <= 8 * np.spacing(6.4e6 + 5e6))


@pytest.mark.parametrize("east, north, az", [
    pytest.param(0.0, 1.0, 0.0, id="north"), pytest.param(-0.0, 1.0, 0.0, id="north-signed-zero"),
    pytest.param(-1e-300, 1.0, 0.0, id="west-of-north-below-an-ulp"), pytest.param(0.0, -1.0, np.pi, id="south"),
    pytest.param(-1.0, 0.0, 1.5 * np.pi, id="west"), pytest.param(0.0, -0.0, 0.0, id="zenith-signed-zero"),
    pytest.param(-1e-9, 1.0, 2 * np.pi - 1e-9, id="just-west-of-north"),
])
def test_azimuth_is_in_zero_to_two_pi(east, north, az):
    got = U.aer_from_enu(east, north, 5.0)[0]
    assert 0.0 <= got < 2 * np.pi and not np.signbit(got) and abs(got - az) < 1e-15


def test_elevation_keeps_its_digits_at_the_zenith():
    # asin(up / range) would be off by about 1e-9 rad here.
    el = U.aer_from_enu(1e-3, 0.0, 1e6)[1]
    assert angle_err(el, mp.atan2(1e6, 1e-3)) <= 2.3e-16


@pytest.mark.parametrize("alt0", [1.0, 450e3, 35786e3])
def test_look_at_spheroid_matches_the_reference(alt0):
    rng = np.random.default_rng(8)
    n = 30
    lat0, lon0 = np.arcsin(rng.uniform(-1, 1, n)), rng.uniform(-np.pi, np.pi, n)
    # Lines 3 % inside the horizon or beyond it: at grazing incidence the point
    # moves by metres for an ulp of the tilt.
    inside, outside = np.arcsin(6356752.0 / (W[0] + alt0)), np.arcsin(min(1.0, W[0] / (6356752.0 + alt0)))
    az = rng.uniform(0, 2 * np.pi, n)
    tilt = np.where(rng.random(n) < 0.7, rng.uniform(0, 0.97 * inside, n), rng.uniform(1.03 * outside, np.pi, n))
    tilt[:3] = [0.0, HALF_PI, np.pi]   # straight down, horizontal, straight up
    got = np.stack(U.look_at_spheroid(lat0, lon0, alt0, az, tilt, *W))
    for k in range(n):
        exact = G.look_at_spheroid(lat0[k], lon0[k], alt0, az[k], tilt[k])
        if mp.isnan(exact[2]):
            assert np.isnan(got[:, k]).all()
            continue
        assert angle_err(got[0, k], exact[0]) < 1e-13 and angle_err(got[1, k], exact[1], wrap=True) < 1e-13
        # 10 nm within 5000 km of the surface, beyond that 1e-15 of the distance from the centre.
        assert angle_err(got[2, k], exact[2]) <= max(1e-8, 1e-15 * (W[0] + alt0))
    assert np.isnan(got[:, 1:3]).all()


def test_look_at_spheroid_from_the_surface_sees_the_observers_own_point():
    lat0, lon0 = np.array([0.3, -1.2, HALF_PI]), np.array([0.1, 2.0, 0.0])
    for tilt in (0.0, 1.0, np.pi):
        lat, lon, srange = U.look_at_spheroid(lat0, lon0, 0.0, 0.5, tilt, *W)
        assert np.all(srange == 0.0) and not np.signbit(srange).any()
        assert np.allclose(lat, lat0, rtol=0, atol=1e-15) and np.allclose(lon[:2], lon0[:2], rtol=0, atol=1e-15)
