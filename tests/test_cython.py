"""A Cython module built against the installed .pxd files calls every routine of the
Ellipsoid method table and the vector routines, and subclasses Ellipsoid."""

import math
import re
from pathlib import Path

import numpy as np
import pytest

from quorvane.mathtools.ellipsoid import get_include
from quorvane.mathtools.ellipsoid.ellipsoid import Ellipsoid

RE_WGS84 = 6378137.0
F_WGS84 = 1 / 298.257223563


@pytest.fixture(scope="module")
def e():
    return Ellipsoid(RE_WGS84, F_WGS84)


@pytest.fixture(scope="module")
def radial(cy):
    return cy.RadialNormal(RE_WGS84, F_WGS84)


POINTS = [
    pytest.param((0.7, -1.9, 1234.5), id="north-west"),
    pytest.param((-0.4, 2.6, 35_786e3), id="south-east-geostationary-height"),
    pytest.param((1.5, 0.3, -50.0), id="near-pole-below-surface"),
]


def _target(lat, lon, alt):
    return BASE.pos_from_lla(lat + 0.01, lon - 0.02, alt + 5000.0)


def _ray(lat, lon, alt):
    origin = BASE.pos_from_lla(lat, lon, alt + 1e6)
    return origin, -origin + np.array([1e5, -2e5, 0.0])


# Inputs derived from BASE, so that they are the same whichever object is called.
BASE = Ellipsoid(RE_WGS84, F_WGS84)

# For each routine: (its result through the Cython module for e, the result of
# the Python method of e that runs the same routine).
ROUTINES = {
    "c_reduced_lat_from_geodetic_lat": lambda cy, e, lat, lon, alt: (
        cy.reduced_lat_from_geodetic_lat(e, lat),
        e.reduced_lat_from_geodetic_lat(lat),
    ),
    "c_geodetic_lat_from_reduced_lat": lambda cy, e, lat, lon, alt: (
        cy.geodetic_lat_from_reduced_lat(e, lat),
        e.geodetic_lat_from_reduced_lat(lat),
    ),
    "surf_normal_vector": lambda cy, e, lat, lon, alt: (
        cy.surf_normal_vector(e, lat, lon),
        e.enu(lat, lon)["u_up"][0],
    ),
    "surf_tangent_vector": lambda cy, e, lat, lon, alt: (
        cy.surf_tangent_vector(e, lat, lon),
        [e.enu(lat, lon)["u_east"][0], e.enu(lat, lon)["u_north"][0]],
    ),
    "c_enu": lambda cy, e, lat, lon, alt: (
        cy.enu(e, lat, lon),
        [e.enu(lat, lon)[name][0] for name in ("u_east", "u_north", "u_up")],
    ),
    "c_surf_pos_from_surf_coord": lambda cy, e, lat, lon, alt: (
        cy.surf_pos_from_surf_coord(e, lat, lon),
        BASE.surf_pos_from_surf_coord(lat, lon),
    ),
    "c_surf_coord_from_surf_pos": lambda cy, e, lat, lon, alt: (
        cy.surf_coord_from_surf_pos(e, BASE.surf_pos_from_surf_coord(lat, lon)),
        e.surf_coord_from_surf_pos(BASE.surf_pos_from_surf_coord(lat, lon)).item(),
    ),
    "c_solve_reduced_lat_equation": lambda cy, e, lat, lon, alt: (
        cy.solve_reduced_lat_equation(e, BASE.pos_from_lla(lat, lon, alt)),
        e.solve_reduced_lat_equation(BASE.pos_from_lla(lat, lon, alt)),
    ),
    "c_lla_from_pos": lambda cy, e, lat, lon, alt: (
        cy.lla_from_pos(e, BASE.pos_from_lla(lat, lon, alt)),
        e.lla_from_pos(BASE.pos_from_lla(lat, lon, alt)).item(),
    ),
    "c_pos_from_lla": lambda cy, e, lat, lon, alt: (
        cy.pos_from_lla(e, lat, lon, alt),
        BASE.pos_from_lla(lat, lon, alt),
    ),
    "c_surf_pos_of_ray_first_intersection": lambda cy, e, lat, lon, alt: (
        cy.surf_pos_of_ray_first_intersection(e, *_ray(lat, lon, alt)),
        e.surf_pos_of_ray_first_intersection(*_ray(lat, lon, alt)),
    ),
    "c_aer_coords": lambda cy, e, lat, lon, alt: (
        cy.aer_coords(e, _target(lat, lon, alt), lat, lon, alt),
        e.aer_coords(_target(lat, lon, alt), lat, lon, alt).item(),
    ),
}

# Routines that use slot 3, the one RadialNormal replaces, through the table.
USES_NORMAL = {"surf_normal_vector", "c_enu", "c_pos_from_lla", "c_aer_coords"}


def _flat(value):
    return np.asarray(value, dtype=float).ravel()


def _declared_slots(path, pattern):
    return re.findall(pattern, Path(path).read_text())


def test_pxd_declares_the_header_slots_in_table_order():
    root = Path(get_include())
    header = _declared_slots(root / "quorvane/mathtools/ellipsoid/ellipsoid.h",
                             r"\(\*(\w+)\)\(Ellipsoid \*self")
    pxd = _declared_slots(root / "quorvane/mathtools/ellipsoid/ellipsoid.pxd",
                          r"cdef \w+ (\w+)\(self")
    assert len(header) == 12
    assert pxd == header
    assert sorted(ROUTINES) == sorted(header)


def test_fields_read_from_the_object_record(cy, e, radial):
    assert cy.fields(e) == (e.Re, e.f, e.Rp)
    assert cy.fields(radial) == (RE_WGS84, F_WGS84, (1 - F_WGS84) * RE_WGS84)


@pytest.mark.parametrize("point", POINTS)
@pytest.mark.parametrize("routine", sorted(ROUTINES))
def test_routine_matches_python_method(cy, e, routine, point):
    got, expected = ROUTINES[routine](cy, e, *point)
    np.testing.assert_array_equal(_flat(got), _flat(expected))


@pytest.mark.parametrize("point", POINTS)
def test_normal_is_the_geodetic_direction(cy, e, point):
    # The outward normal at geodetic (lat, lon) is, by definition of geodetic
    # latitude, (cos lat cos lon, cos lat sin lon, sin lat).
    lat, lon, _ = point
    expected = [math.cos(lat) * math.cos(lon), math.cos(lat) * math.sin(lon), math.sin(lat)]
    np.testing.assert_allclose(cy.surf_normal_vector(e, lat, lon), expected, rtol=0, atol=1e-15)


def _radial(e, lat, lon):
    r_surf = e.surf_pos_from_surf_coord(lat, lon)
    return r_surf / np.linalg.norm(r_surf)


def _aer_in_frame(target, r_obs, east, north, up):
    # Azimuth from the components along north and east; elevation is the angle
    # between the line of sight and the plane normal to up (with the replaced
    # normal the frame is no longer orthogonal, so not atan2 of up over the
    # horizontal component).
    d = np.asarray(target) - r_obs
    distance = float(np.linalg.norm(d))
    return math.atan2(d @ east, d @ north), math.asin(d @ up / distance), distance


@pytest.mark.parametrize("point", POINTS)
def test_override_is_a_different_normal(e, point):
    # Away from the equator and the poles the radial and the geodetic normal
    # differ, which the override tests below rely on.
    lat, lon, _ = point
    assert np.max(np.abs(_radial(e, lat, lon) - e.enu(lat, lon)["u_up"][0])) > 1e-5


@pytest.mark.parametrize("point", POINTS)
def test_override_seen_by_composite_routines(cy, e, radial, point):
    lat, lon, alt = point
    u_radial = _radial(e, lat, lon)
    u_east, u_north = (np.array(v) for v in cy.surf_tangent_vector(e, lat, lon))
    r_obs = e.surf_pos_from_surf_coord(lat, lon) + alt * u_radial

    np.testing.assert_allclose(cy.surf_normal_vector(radial, lat, lon), u_radial,
                               rtol=0, atol=1e-15)
    east, north, up = cy.enu(radial, lat, lon)
    np.testing.assert_array_equal(east, u_east)
    np.testing.assert_array_equal(north, u_north)
    np.testing.assert_allclose(up, u_radial, rtol=0, atol=1e-15)
    np.testing.assert_allclose(cy.pos_from_lla(radial, lat, lon, alt), r_obs, rtol=1e-15, atol=1e-8)

    target = _target(lat, lon, alt)
    expected = _aer_in_frame(target, r_obs, u_east, u_north, u_radial)
    np.testing.assert_allclose(cy.aer_coords(radial, target, lat, lon, alt), expected,
                               rtol=1e-12, atol=1e-12)


@pytest.mark.parametrize("point", POINTS)
def test_override_seen_by_python_methods(e, radial, point):
    lat, lon, alt = point
    u_radial = _radial(e, lat, lon)
    np.testing.assert_allclose(radial.enu(lat, lon)["u_up"][0], u_radial, rtol=0, atol=1e-15)
    np.testing.assert_allclose(radial.pos_from_lla(lat, lon, alt),
                               e.surf_pos_from_surf_coord(lat, lon) + alt * u_radial,
                               rtol=1e-15, atol=1e-8)


@pytest.mark.parametrize("point", POINTS)
@pytest.mark.parametrize("routine", sorted(set(ROUTINES) - USES_NORMAL))
def test_override_not_seen_by_other_routines(cy, e, radial, routine, point):
    got, _ = ROUTINES[routine](cy, radial, *point)
    expected, _ = ROUTINES[routine](cy, e, *point)
    np.testing.assert_array_equal(_flat(got), _flat(expected))


A = (1.5, -2.0, 4.0)
B = (0.25, 8.0, -3.0)


@pytest.mark.parametrize(
    "call, expected",
    [
        pytest.param(lambda cy: cy.vector_scale(2.5, A), (3.75, -5.0, 10.0), id="scale"),
        pytest.param(lambda cy: cy.vector_add(A, B), (1.75, 6.0, 1.0), id="add"),
        pytest.param(lambda cy: cy.vector_sub(A, B), (1.25, -10.0, 7.0), id="sub"),
        pytest.param(lambda cy: cy.vector_dot(A, B), 0.375 - 16.0 - 12.0, id="dot"),
        pytest.param(lambda cy: cy.vector_norm((3.0, -4.0, 12.0)), 13.0, id="norm"),
    ],
)
def test_vector_routine(cy, call, expected):
    # Small dyadic values: every result is exact in binary floating point.
    assert call(cy) == expected


def test_override_seen_by_whole_array_calls(e, radial):
    """Float64 arrays on the module's own table go to the batch kernels at once; on a
    table with a replaced slot they must still go point by point through that table."""
    rng = np.random.default_rng(5)
    lat, lon, alt = rng.uniform(-1.5, 1.5, 2000), rng.uniform(-3, 3, 2000), rng.uniform(0, 1e5, 2000)
    u_radial = np.array([_radial(e, a, b) for a, b in zip(lat, lon)])
    np.testing.assert_allclose(radial.enu(lat, lon)["u_up"], u_radial, rtol=0, atol=1e-15)
    np.testing.assert_allclose(radial.pos_from_lla(lat, lon, alt),
                               e.surf_pos_from_surf_coord(lat, lon) + alt[:, None] * u_radial,
                               rtol=1e-15, atol=1e-8)
    assert not np.array_equal(radial.enu(lat, lon)["u_up"], e.enu(lat, lon)["u_up"])
