"""What each degrees-first function computes, as plain data: its ufunc, its
arguments and results and the role of each. quorvane/geo/_plans.py makes the
plans of it; the build reads it too, before any module is compiled, to render
the functions of quorvane/geo/__init__.pyi, so it imports nothing.

A row is (function, ufunc, arguments, argument roles, result roles), and for a
function that does not pass its arguments to the ufunc in order and return all
of its results, then (ufunc inputs, results kept): each ufunc point input is
the index of an argument or a constant, and the results are the ufunc's by
index, in the order returned.

Roles, one character per argument or result: ``l`` a latitude (converted from
degrees, and within [-90, 90] degrees), ``a`` an angle (converted), ``z`` an
azimuth result (converted, and within [0, 360) degrees), ``n`` a length that
must not be negative, ``-`` a plain value.
"""

# The public functions, in the order of the stub's definitions.
FUNCTIONS = [
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
    # Within the local frame: no ellipsoid.
    ("enu2aer", "aer_from_enu", "e n u", "---", "za-"),
    ("aer2enu", "enu_from_aer", "az el srange", "aan", "---"),
    ("ned2aer", "aer_from_ned", "n e d", "---", "za-"),
    ("aer2ned", "ned_from_aer", "az elev slantRange", "aan", "---"),
    # Rotations of vectors (no translation, no ellipsoid).
    ("ecef2enuv", "enu_from_ecef_vector", "u v w lat0 lon0", "---la", "---"),
    ("enu2ecefv", "ecef_vector_from_enu", "e n u lat0 lon0", "---la", "---"),
    ("ecef2nedv", "ned_from_ecef_vector", "x y z lat0 lon0", "---la", "---"),
    ("enu2uvw", "ecef_vector_from_enu", "east north up lat0 lon0", "---la", "---"),
    ("uvw2enu", "enu_from_ecef_vector", "u v w lat0 lon0", "---la", "---"),
    # The line of sight of an observer above the ellipsoid.
    ("lookAtSpheroid", "look_at_spheroid", "lat0 lon0 h0 az tilt", "lanaa", "aa-"),
    # Geocentric spherical coordinates.
    ("geodetic2spherical", "spherical_from_lla", "lat lon alt", "la-", "aa-"),
    ("spherical2geodetic", "lla_from_spherical", "lat lon radius", "la-", "aa-"),
    # Latitudes.
    ("geodetic2geocentric", "geocentric_lat_from_geodetic_lat", "geodetic_lat alt_m", "l-", "a"),
    ("geocentric2geodetic", "geodetic_lat_from_geocentric_lat", "geocentric_lat alt_m", "l-", "a"),
    ("geod2geoc", "geocentric_lat_from_geodetic_lat", "geodetic_lat alt_m", "l-", "a"),
    # The geodetic latitude at a distance from the centre: the spherical
    # conversion at longitude 0, its latitude only.
    ("geoc2geod", "lla_from_spherical", "geocentric_lat geocentric_distance", "l-", "a", (0, 0.0, 1), (0,)),
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

# euler's azimuth of point 2 seen from point 1, both on the surface, kept in
# radians whatever deg is; euler uses it, and it is no function of its own.
EULER_AZIMUTH = ("euler_azimuth", "aer_from_lla", "lat1 lon1 lat2 lon2", "lala", "-", (2, 3, 0.0, 0, 1, 0.0), (0,))
