"""The conversions of the Ellipsoid method table: its twelve slots, ten of them
also ufuncs (surf_normal_vector and surf_tangent_vector are parts of enu), and
the pieces that the table's composite routines run after calling other slots.
Docstrings are the ufuncs'; NumPy puts the call signature in front."""

from docs import ELLIPSOID, POSITIONS, RESULT_POSITIONS, SURFACE_POINTS, column, doc, same_as_method

BETA = column("beta", "ndarray", "Reduced latitude in radians.")
LAT_LON = column("lat, lon", "ndarray", "Geodetic latitude and longitude in radians.")


def method_doc(name, summary, parameters, returns):
    return doc(summary, parameters + ELLIPSOID, returns, same_as_method(name))


LLA_FROM_POS = """Geodetic latitude, longitude and altitude of ECEF positions.

Parameters
----------
x, y, z : array_like
    ECEF position components in metres.
Re, f : array_like
    Equatorial radius in metres and flattening of the ellipsoid, e.g.
    ``*WGS84``.

Returns
-------
lat, lon : ndarray
    Geodetic latitude and longitude in radians. On the polar axis the
    longitude is 0; the centre has a NaN latitude.
alt : ndarray
    Height above the ellipsoid along its normal, in metres (negative below
    the surface).

All arguments broadcast. An invalid ellipsoid (Re not finite and > 0, or f
not in [0, 1)) gives NaN and NumPy's 'invalid value' floating-point error.
The values are those of Ellipsoid(Re, f).lla_from_pos, bit for bit."""

ENU = f"""Local east-north-up frames at surface points.

A generalized ufunc with signature (),(),(),()->(3),(3),(3).

Parameters
----------
{SURFACE_POINTS}{ELLIPSOID}
Returns
-------
east, north, up : ndarray, shape (..., 3)
    Unit vectors towards east, north and up (the outward surface normal),
    in ECEF components.

All arguments broadcast over the leading dimensions; where= is not taken, as
by no generalized ufunc. An invalid ellipsoid gives NaN and NumPy's 'invalid value' floating-point error. The values are
those of the u_east, u_north and u_up fields of Ellipsoid(Re, f).enu, bit
for bit."""

# name, kernel body, slot of the method table, columns (registry/columns.hpp), docstring
CONVERSIONS = [
    ("lla_from_pos", "LlaFromPos", 9, "x:m y:m z:m Re:m f:1 -> lat:rad lon:rad alt:m", LLA_FROM_POS),
    ("pos_from_lla", "PosFromLla", 10, "lat:rad lon:rad alt:m Re:m f:1 -> x:m y:m z:m", method_doc(
        "pos_from_lla", "ECEF positions of points given by geodetic latitude, longitude and altitude.",
        SURFACE_POINTS + column("alt", "array_like", "Height above the ellipsoid along its normal, in metres."),
        RESULT_POSITIONS)),
    ("reduced_lat_from_geodetic_lat", "ReducedLat", 1, "lat:rad Re:m f:1 -> beta:rad", method_doc(
        "reduced_lat_from_geodetic_lat", "Reduced (parametric) latitude from geodetic latitude.\n\n"
        "beta = atan((1 - f) * tan(lat)), in [-pi/2, pi/2].",
        column("lat", "array_like", "Geodetic latitude in radians."), BETA)),
    ("geodetic_lat_from_reduced_lat", "GeodeticLat", 2, "beta:rad Re:m f:1 -> lat:rad", method_doc(
        "geodetic_lat_from_reduced_lat", "Geodetic latitude from reduced (parametric) latitude.\n\n"
        "lat = atan(tan(beta) / (1 - f)), in [-pi/2, pi/2].",
        column("beta", "array_like", "Reduced latitude in radians."),
        column("lat", "ndarray", "Geodetic latitude in radians."))),
    ("solve_reduced_lat_equation", "Solve", 8, "x:m y:m z:m Re:m f:1 -> beta:rad", method_doc(
        "solve_reduced_lat_equation",
        "Reduced latitude of the foot of the surface normal through ECEF positions.", POSITIONS, BETA)),
    ("surf_pos_from_surf_coord", "SurfPos", 6, "lat:rad lon:rad Re:m f:1 -> x:m y:m z:m", method_doc(
        "surf_pos_from_surf_coord",
        "ECEF positions of surface points given by geodetic latitude and longitude.",
        SURFACE_POINTS, RESULT_POSITIONS)),
    ("surf_coord_from_surf_pos", "SurfCoordOf", 7, "x:m y:m z:m Re:m f:1 -> lat:rad lon:rad", method_doc(
        "surf_coord_from_surf_pos", "Geodetic latitude and longitude of points on the surface.\n\n"
        "The point is taken to lie on the surface: its latitude follows from z\n"
        "alone and its longitude from x and y. |z| > Rp gives a NaN latitude.", POSITIONS, LAT_LON)),
    ("enu", "Enu", 5, "lat:rad lon:rad Re:m f:1 -> east[3]:1 north[3]:1 up[3]:1", ENU),
    ("surf_pos_of_ray_first_intersection", "RayHit", 11,
     "x:m y:m z:m ux:any uy:any uz:any Re:m f:1 -> x:m y:m z:m", method_doc(
        "surf_pos_of_ray_first_intersection", "Where lines meet the surface.\n\n"
        "Of the two intersections of the line (x, y, z) + l * (ux, uy, uz) with the\n"
        "surface, the one of smaller |l|: nearest the origin along the whole line,\n"
        "possibly behind it. A line that misses gives NaN.",
        column("x, y, z", "array_like", "Ray origin, ECEF metres.")
        + column("ux, uy, uz", "array_like", "Ray direction, ECEF; need not be a unit vector."),
        column("x, y, z", "ndarray", "Intersection point, ECEF metres."))),
    ("aer_coords", "Aer", 12, "x:m y:m z:m lat:rad lon:rad alt:m Re:m f:1 -> azimuth:rad elevation:rad range:m",
     method_doc(
        "aer_coords", "Azimuth, elevation and range of targets seen from observers.",
        column("x, y, z", "array_like", "Target position, ECEF metres.")
        + column("lat, lon, alt", "array_like",
                 "Observer's geodetic latitude and longitude in radians and altitude in", "metres."),
        column("azimuth", "ndarray", "Radians clockwise from local north, in [-pi, pi].")
        + column("elevation", "ndarray", "Radians above the local horizontal plane; NaN for a target at the",
                 "observer.")
        + column("range", "ndarray", "Slant distance in metres."))),
]

# Kernels without a ufunc: the two slots that enu combines, and the pieces of
# the composite routines (what lla_from_pos adds before and after slot 8, the
# end of pos_from_lla after slots 6 and 3, the end of aer_coords after its
# vector routines; range passes through the last so that a NaN leaves as every
# kernel's NaN does).
INTERNAL_KERNELS = [
    ("surf_normal_vector", "Normal", 3, "lat:rad lon:rad -> up[3]:1"),
    ("surf_tangent_vector", "Tangents", 4, "lat:rad lon:rad Re:m f:1 -> east[3]:1 north[3]:1"),
    ("lla_longitude", "Longitude", 0, "x:m y:m -> lon:rad"),
    ("lla_altitude", "Altitude", 0, "x:m y:m z:m beta:rad Re:m f:1 -> alt:m"),
    ("pos_along_normal", "AlongNormal", 0, "alt:m upx:1 upy:1 upz:1 x:m y:m z:m -> x:m y:m z:m"),
    ("aer_look_angles", "LookAngles", 0, "east:m north:m up:m range:m -> azimuth:rad elevation:rad range:m"),
]
