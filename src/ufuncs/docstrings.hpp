// Docstrings of the ten ufuncs. NumPy puts the call signature in front.
#pragma once

// The ellipsoid parameters, as every ufunc takes them.
#define QUORVANE_ELLIPSOID_PARAMETERS                                  \
    "Re, f : array_like\n"                                             \
    "    Equatorial radius in metres and flattening of the ellipsoid.\n"

// The point parameters of the ufuncs of positions and of surface points.
#define QUORVANE_POSITIONS                                             \
    "x, y, z : array_like\n"                                           \
    "    ECEF position components in metres.\n"
#define QUORVANE_SURFACE_POINTS                                        \
    "lat, lon : array_like\n"                                          \
    "    Geodetic latitude and longitude in radians.\n"

// The parameters section for the given point parameters, up to the returns.
#define QUORVANE_PARAMETERS(points)                                    \
    "Parameters\n"                                                     \
    "----------\n" points QUORVANE_ELLIPSOID_PARAMETERS                \
    "\n"                                                               \
    "Returns\n"                                                        \
    "-------\n"

// The closing paragraph of every ufunc but lla_from_pos, which words it at length.
#define QUORVANE_SAME_AS_METHOD(method)                                             \
    "All arguments broadcast. An invalid ellipsoid gives NaN and NumPy's\n"         \
    "'invalid value' floating-point error. The values are those of\n"               \
    "Ellipsoid(Re, f)." method ", bit for bit."

namespace quorvane::ufuncs::docs {

inline constexpr const char kLlaFromPos[] =
    R"(Geodetic latitude, longitude and altitude of ECEF positions.

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
The values are those of Ellipsoid(Re, f).lla_from_pos, bit for bit.)";

inline constexpr const char kPosFromLla[] =
    R"(ECEF positions of points given by geodetic latitude, longitude and altitude.

Parameters
----------
lat, lon : array_like
    Geodetic latitude and longitude in radians.
alt : array_like
    Height above the ellipsoid along its normal, in metres.
)" QUORVANE_ELLIPSOID_PARAMETERS R"(
Returns
-------
x, y, z : ndarray
    ECEF position components in metres.

)" QUORVANE_SAME_AS_METHOD("pos_from_lla");

inline constexpr const char kReducedLatFromGeodeticLat[] =
    R"(Reduced (parametric) latitude from geodetic latitude.

beta = atan((1 - f) * tan(lat)), in [-pi/2, pi/2].

Parameters
----------
lat : array_like
    Geodetic latitude in radians.
)" QUORVANE_ELLIPSOID_PARAMETERS R"(
Returns
-------
beta : ndarray
    Reduced latitude in radians.

)" QUORVANE_SAME_AS_METHOD("reduced_lat_from_geodetic_lat");

inline constexpr const char kGeodeticLatFromReducedLat[] =
    R"(Geodetic latitude from reduced (parametric) latitude.

lat = atan(tan(beta) / (1 - f)), in [-pi/2, pi/2].

Parameters
----------
beta : array_like
    Reduced latitude in radians.
)" QUORVANE_ELLIPSOID_PARAMETERS R"(
Returns
-------
lat : ndarray
    Geodetic latitude in radians.

)" QUORVANE_SAME_AS_METHOD("geodetic_lat_from_reduced_lat");

inline constexpr const char kSolveReducedLatEquation[] =
    R"(Reduced latitude of the foot of the surface normal through ECEF positions.

)" QUORVANE_PARAMETERS(QUORVANE_POSITIONS) R"(beta : ndarray
    Reduced latitude in radians.

)" QUORVANE_SAME_AS_METHOD("solve_reduced_lat_equation");

inline constexpr const char kSurfPosFromSurfCoord[] =
    R"(ECEF positions of surface points given by geodetic latitude and longitude.

)" QUORVANE_PARAMETERS(QUORVANE_SURFACE_POINTS) R"(x, y, z : ndarray
    ECEF position components in metres.

)" QUORVANE_SAME_AS_METHOD("surf_pos_from_surf_coord");

inline constexpr const char kSurfCoordFromSurfPos[] =
    R"(Geodetic latitude and longitude of points on the surface.

The point is taken to lie on the surface: its latitude follows from z
alone and its longitude from x and y. |z| > Rp gives a NaN latitude.

)" QUORVANE_PARAMETERS(QUORVANE_POSITIONS) R"(lat, lon : ndarray
    Geodetic latitude and longitude in radians.

)" QUORVANE_SAME_AS_METHOD("surf_coord_from_surf_pos");

inline constexpr const char kEnu[] =
    R"(Local east-north-up frames at surface points.

A generalized ufunc with signature (),(),(),()->(3),(3),(3).

)" QUORVANE_PARAMETERS(QUORVANE_SURFACE_POINTS) R"(east, north, up : ndarray, shape (..., 3)
    Unit vectors towards east, north and up (the outward surface normal),
    in ECEF components.

All arguments broadcast over the leading dimensions; where= is not taken, as
by no generalized ufunc. An invalid ellipsoid gives NaN and NumPy's 'invalid value' floating-point error. The values are
those of the u_east, u_north and u_up fields of Ellipsoid(Re, f).enu, bit
for bit.)";

inline constexpr const char kSurfPosOfRayFirstIntersection[] =
    R"(Where lines meet the surface.

Of the two intersections of the line (x, y, z) + l * (ux, uy, uz) with the
surface, the one of smaller |l|: nearest the origin along the whole line,
possibly behind it. A line that misses gives NaN.

Parameters
----------
x, y, z : array_like
    Ray origin, ECEF metres.
ux, uy, uz : array_like
    Ray direction, ECEF; need not be a unit vector.
)" QUORVANE_ELLIPSOID_PARAMETERS R"(
Returns
-------
x, y, z : ndarray
    Intersection point, ECEF metres.

)" QUORVANE_SAME_AS_METHOD("surf_pos_of_ray_first_intersection");

inline constexpr const char kAerCoords[] =
    R"(Azimuth, elevation and range of targets seen from observers.

Parameters
----------
x, y, z : array_like
    Target position, ECEF metres.
lat, lon, alt : array_like
    Observer's geodetic latitude and longitude in radians and altitude in
    metres.
)" QUORVANE_ELLIPSOID_PARAMETERS R"(
Returns
-------
azimuth : ndarray
    Radians clockwise from local north, in [-pi, pi].
elevation : ndarray
    Radians above the local horizontal plane; NaN for a target at the
    observer.
range : ndarray
    Slant distance in metres.

)" QUORVANE_SAME_AS_METHOD("aer_coords");

}  // namespace quorvane::ufuncs::docs
