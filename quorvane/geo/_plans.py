"""What each degrees-first function computes: its ufunc, its arguments and results
and the role of each (latitude, angle, azimuth, non-negative length).

Roles, one character per argument or result: ``l`` a latitude (converted from
degrees, and within [-90, 90] degrees), ``a`` an angle (converted), ``z`` an
azimuth result (converted, and within [0, 360) degrees), ``n`` a length that
must not be negative, ``-`` a plain value.
"""

from dataclasses import dataclass

from quorvane.mathtools.ellipsoid import ufuncs


@dataclass(frozen=True)
class Plan:
    name: str
    kernel: object
    names: tuple
    roles: str
    out_roles: str
    nout: int
    # The ufunc's point inputs: the index of a user argument, or a constant.
    inputs: tuple
    # The ufunc's results returned, in order.
    outputs: tuple
    with_ellipsoid: bool


def _plan(name, kernel_name, names, roles, out_roles, *, inputs=None, outputs=None):
    names = tuple(names.split())
    kernel = getattr(ufuncs, kernel_name)
    inputs = tuple(range(len(names))) if inputs is None else inputs
    outputs = tuple(range(kernel.nout)) if outputs is None else outputs
    assert len(roles) == len(names) and len(out_roles) == len(outputs)
    # Ellipsoid-free ufuncs (within a local frame, rotations) take no Re, f.
    return Plan(name, kernel, names, roles, out_roles, kernel.nout, inputs, outputs,
                kernel.nin == len(inputs) + 2)


_TABLE = [
    # Geodetic and ECEF.
    ("geodetic2ecef", "pos_from_lla", "lat lon alt", "la-", "---"),
    ("ecef2geodetic", "lla_from_pos", "x y z", "---", "aa-"),
    # Local frames of a geodetic observer (lat0, lon0, h0).
    ("geodetic2enu", "enu_from_lla", "lat lon h lat0 lon0 h0", "la-la-", "---"),
    ("enu2geodetic", "lla_from_enu", "e n u lat0 lon0 h0", "---la-", "aa-"),
    ("ecef2enu", "enu_from_pos", "x y z lat0 lon0 h0", "---la-", "---"),
    ("enu2ecef", "pos_from_enu", "e1 n1 u1 lat0 lon0 h0", "---la-", "---"),
    ("geodetic2ned", "ned_from_lla", "lat lon h lat0 lon0 h0", "la-la-", "---"),
    ("ned2geodetic", "lla_from_ned", "n e d lat0 lon0 h0", "---la-", "aa-"),
    ("ecef2ned", "ned_from_pos", "x y z lat0 lon0 h0", "---la-", "---"),
    ("ned2ecef", "pos_from_ned", "n e d lat0 lon0 h0", "---la-", "---"),
    ("geodetic2aer", "aer_from_lla", "lat lon h lat0 lon0 h0", "la-la-", "za-"),
    ("aer2geodetic", "lla_from_aer", "az el srange lat0 lon0 h0", "aanla-", "aa-"),
    ("ecef2aer", "aer_from_pos", "x y z lat0 lon0 h0", "---la-", "za-"),
    ("aer2ecef", "pos_from_aer", "az el srange lat0 lon0 alt0", "aanla-", "---"),
    ("lookAtSpheroid", "look_at_spheroid", "lat0 lon0 h0 az tilt", "lanaa", "aa-"),
    # Within the local frame: no ellipsoid.
    ("enu2aer", "aer_from_enu", "e n u", "---", "za-"),
    ("aer2enu", "enu_from_aer", "az el srange", "aan", "---"),
    ("ned2aer", "aer_from_ned", "n e d", "---", "za-"),
    ("aer2ned", "ned_from_aer", "az elev slantRange", "aan", "---"),
    # Rotations of vectors (no translation, no ellipsoid).
    ("ecef2enuv", "enu_from_ecef_vector", "u v w lat0 lon0", "---la", "---"),
    ("uvw2enu", "enu_from_ecef_vector", "u v w lat0 lon0", "---la", "---"),
    ("enu2ecefv", "ecef_vector_from_enu", "e n u lat0 lon0", "---la", "---"),
    ("enu2uvw", "ecef_vector_from_enu", "east north up lat0 lon0", "---la", "---"),
    ("ecef2nedv", "ned_from_ecef_vector", "x y z lat0 lon0", "---la", "---"),
    # Geocentric spherical coordinates.
    ("geodetic2spherical", "spherical_from_lla", "lat lon alt", "la-", "aa-"),
    ("spherical2geodetic", "lla_from_spherical", "lat lon radius", "la-", "aa-"),
    # Latitudes.
    ("geodetic2geocentric", "geocentric_lat_from_geodetic_lat", "geodetic_lat alt_m", "l-", "a"),
    ("geod2geoc", "geocentric_lat_from_geodetic_lat", "geodetic_lat alt_m", "l-", "a"),
    ("geocentric2geodetic", "geodetic_lat_from_geocentric_lat", "geocentric_lat alt_m", "l-", "a"),
    ("geodetic2parametric", "reduced_lat_from_geodetic_lat", "geodetic_lat", "l", "a"),
    ("parametric2geodetic", "geodetic_lat_from_reduced_lat", "parametric_lat", "l", "a"),
    ("geodetic2isometric", "isometric_lat_from_geodetic_lat", "geodetic_lat", "l", "a"),
    ("isometric2geodetic", "geodetic_lat_from_isometric_lat", "isometric_lat", "a", "a"),
    ("geodetic2rectifying", "rectifying_lat_from_geodetic_lat", "geodetic_lat", "l", "a"),
    ("rectifying2geodetic", "geodetic_lat_from_rectifying_lat", "rectifying_lat", "l", "a"),
    ("geodetic2authalic", "authalic_lat_from_geodetic_lat", "geodetic_lat", "l", "a"),
    ("authalic2geodetic", "geodetic_lat_from_authalic_lat", "authalic_lat", "l", "a"),
    ("geodetic2conformal", "conformal_lat_from_geodetic_lat", "geodetic_lat", "l", "a"),
    ("conformal2geodetic", "geodetic_lat_from_conformal_lat", "conformal_lat", "l", "a"),
    # Radii of curvature.
    ("meridian", "meridian_radius", "lat", "l", "-"),
    ("transverse", "transverse_radius", "lat", "l", "-"),
    ("parallel", "parallel_radius", "lat", "l", "-"),
    ("geocentric_radius", "geocentric_radius", "geodetic_lat", "l", "-"),
]

PLANS = {row[0]: _plan(*row) for row in _TABLE}
# The geodetic latitude at a distance from the centre: the spherical conversion
# at longitude 0, its latitude only.
PLANS["geoc2geod"] = _plan("geoc2geod", "lla_from_spherical", "geocentric_lat geocentric_distance",
                           "l-", "a", inputs=(0, 0.0, 1), outputs=(0,))
# euler's azimuth of point 2 seen from point 1, both on the surface, kept in
# radians whatever deg is.
PLANS["euler_azimuth"] = _plan("euler_azimuth", "aer_from_lla", "lat1 lon1 lat2 lon2", "lala", "-",
                               inputs=(2, 3, 0.0, 0, 1, 0.0), outputs=(0,))
