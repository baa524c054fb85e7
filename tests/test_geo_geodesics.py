"""quorvane.geo's vdist, vreckon and track2: pymap3d's conventions (degrees, azimuth and
vreckon's longitude in [0, 360), errors), agreement with GeographicLib as an independent
peer, and the shortest geodesic where Vincenty's iteration gives up."""

import math

import numpy as np
import pytest
from geographiclib.geodesic import Geodesic

import quorvane.geo as geo

WGS84 = Geodesic.WGS84
CASES = [
    pytest.param((10.0, 170.0, 20.0, -170.0), id="across-the-antimeridian"),
    pytest.param((-33.9, 18.4, 51.5, -0.1), id="cape-town-london"),
    pytest.param((89.9, 0.0, -89.9, 45.0), id="pole-to-pole"),
    pytest.param((0.0, 0.0, 0.5, 179.7), id="nearly-antipodal"),
    pytest.param((0.0, 0.0, 0.0, 180.0), id="antipodal-on-the-equator"),
    pytest.param((45.0, 10.0, 45.0, 10.0), id="coincident"),
]


def peer_inverse(lat1, lon1, lat2, lon2):
    g = WGS84.Inverse(lat1, lon1, lat2, lon2)
    return g["s12"], g["azi1"] % 360.0


@pytest.mark.parametrize("points", CASES)
def test_vdist_is_the_shortest_geodesic(points):
    distance, azimuth = geo.vdist(*points)
    s12, azi1 = peer_inverse(*points)
    assert isinstance(distance, float) and isinstance(azimuth, float)
    assert distance == pytest.approx(s12, abs=1e-6)
    assert 0.0 <= azimuth < 360.0
    if points[:2] != points[2:]:
        # Antipodal points on the equator have two shortest lines, over either pole.
        expected = {azi1, (360.0 - azi1) % 360.0} if points[-1] == 180.0 else {azi1}
        assert min(abs(azimuth - a) for a in expected) < 1e-9


@pytest.mark.parametrize("points", CASES[:3])
def test_vdist_agrees_with_pymap3d_where_vincenty_converges(points):
    pymap3d = pytest.importorskip("pymap3d.vincenty")
    distance, azimuth = geo.vdist(*points)
    peer_distance, peer_azimuth = pymap3d.vdist(*points)
    assert distance == pytest.approx(float(peer_distance), abs=1e-3)
    assert azimuth == pytest.approx(float(peer_azimuth), abs=1e-7)


def test_vreckon_inverts_vdist_and_wraps_longitude_as_pymap3d():
    rng = np.random.default_rng(3)
    lat1, lat2 = rng.uniform(-80, 80, (2, 500))
    lon1, lon2 = rng.uniform(-180, 180, (2, 500))
    distance, azimuth = geo.vdist(lat1, lon1, lat2, lon2)
    lat, lon = geo.vreckon(lat1, lon1, distance, azimuth)
    assert np.all((lon >= 0.0) & (lon < 360.0))
    assert np.allclose(lat, lat2, atol=1e-9)
    assert np.allclose(np.mod(lon - lon2 + 180.0, 360.0) - 180.0, 0.0, atol=1e-9)


def test_radians_give_the_same_geodesic():
    deg = geo.vdist(10.0, 20.0, -30.0, 140.0)
    rad = geo.vdist(*np.radians([10.0, 20.0, -30.0, 140.0]), deg=False)
    assert rad[0] == pytest.approx(deg[0], rel=1e-14)
    assert math.degrees(rad[1]) == pytest.approx(deg[1], abs=1e-9)
    assert 0.0 <= rad[1] < 2 * math.pi


def test_track2_follows_the_geodesic_even_between_antipodes():
    lats, lons = geo.track2(0.0, 0.0, 0.0, 180.0, npts=5)
    assert len(lats) == len(lons) == 5
    # The shortest line between antipodes on the equator runs over a pole.
    assert abs(lats[2]) == pytest.approx(90.0, abs=1e-9)
    assert lats[-1] == pytest.approx(0.0, abs=1e-9)
    assert geo.track2(1.0, 2.0, 3.0, 4.0, npts=2) == ([1.0, 3.0], [2.0, 4.0])


@pytest.mark.parametrize("call, message", [
    pytest.param(lambda: geo.vdist(91.0, 0.0, 0.0, 0.0), "Lat1", id="latitude-beyond-the-pole"),
    pytest.param(lambda: geo.vdist(0.0, 0.0, 1.6, 0.0, deg=False), "Lat2", id="radians-beyond-the-pole"),
    pytest.param(lambda: geo.vreckon(0.0, 0.0, -1.0, 0.0), "Rng", id="negative-range"),
    pytest.param(lambda: geo.track2(0.0, 0.0, 1.0, 1.0, npts=1), "npts", id="one-point-track"),
])
def test_bad_input_raises_value_error_naming_the_argument(call, message):
    with pytest.raises(ValueError, match=message):
        call()


def test_ellipsoid_argument_changes_the_answer():
    wgs84 = geo.Ellipsoid.from_name("wgs84")
    grs80 = geo.Ellipsoid.from_name("grs80")
    assert geo.vdist(0, 0, 10, 10, ell=wgs84)[0] != geo.vdist(0, 0, 10, 10, ell=grs80)[0]
