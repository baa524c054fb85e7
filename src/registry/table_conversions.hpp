// The conversions of the Ellipsoid method table: its twelve slots, ten of
// them also ufuncs (surf_normal_vector and surf_tangent_vector are parts of
// enu), and the pieces that the table's composite routines run after calling
// other slots. Docstrings are the ufuncs'; NumPy puts the call signature in
// front.
#pragma once

// The ellipsoid parameters, as every ufunc takes them.
#define QUORVANE_ELLIPSOID_PARAMETERS \
    "Re, f : array_like\n"            \
    "    Equatorial radius in metres and flattening of the ellipsoid.\n"

// The point parameters of the ufuncs of positions and of surface points.
#define QUORVANE_POSITIONS   \
    "x, y, z : array_like\n" \
    "    ECEF position components in metres.\n"
#define QUORVANE_SURFACE_POINTS \
    "lat, lon : array_like\n"   \
    "    Geodetic latitude and longitude in radians.\n"

// The parameters section for the given point parameters, up to the returns.
#define QUORVANE_PARAMETERS(points)                     \
    "Parameters\n"                                      \
    "----------\n" points QUORVANE_ELLIPSOID_PARAMETERS \
    "\n"                                                \
    "Returns\n"                                         \
    "-------\n"

// The closing paragraph of every ufunc but lla_from_pos, which words it at length.
#define QUORVANE_SAME_AS_METHOD(method)                                     \
    "All arguments broadcast. An invalid ellipsoid gives NaN and NumPy's\n" \
    "'invalid value' floating-point error. The values are those of\n"       \
    "Ellipsoid(Re, f)." method ", bit for bit."

namespace quorvane::registry::docs {

inline constexpr char lla_from_pos[] =
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

inline constexpr char pos_from_lla[] =
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

inline constexpr char reduced_lat_from_geodetic_lat[] =
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

inline constexpr char geodetic_lat_from_reduced_lat[] =
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

inline constexpr char solve_reduced_lat_equation[] =
    R"(Reduced latitude of the foot of the surface normal through ECEF positions.

)" QUORVANE_PARAMETERS(QUORVANE_POSITIONS) R"(beta : ndarray
    Reduced latitude in radians.

)" QUORVANE_SAME_AS_METHOD("solve_reduced_lat_equation");

inline constexpr char surf_pos_from_surf_coord[] =
    R"(ECEF positions of surface points given by geodetic latitude and longitude.

)" QUORVANE_PARAMETERS(QUORVANE_SURFACE_POINTS) R"(x, y, z : ndarray
    ECEF position components in metres.

)" QUORVANE_SAME_AS_METHOD("surf_pos_from_surf_coord");

inline constexpr char surf_coord_from_surf_pos[] =
    R"(Geodetic latitude and longitude of points on the surface.

The point is taken to lie on the surface: its latitude follows from z
alone and its longitude from x and y. |z| > Rp gives a NaN latitude.

)" QUORVANE_PARAMETERS(QUORVANE_POSITIONS) R"(lat, lon : ndarray
    Geodetic latitude and longitude in radians.

)" QUORVANE_SAME_AS_METHOD("surf_coord_from_surf_pos");

inline constexpr char enu[] =
    R"(Local east-north-up frames at surface points.

A generalized ufunc with signature (),(),(),()->(3),(3),(3).

)" QUORVANE_PARAMETERS(QUORVANE_SURFACE_POINTS) R"(east, north, up : ndarray, shape (..., 3)
    Unit vectors towards east, north and up (the outward surface normal),
    in ECEF components.

All arguments broadcast over the leading dimensions; where= is not taken, as
by no generalized ufunc. An invalid ellipsoid gives NaN and NumPy's 'invalid value' floating-point error. The values are
those of the u_east, u_north and u_up fields of Ellipsoid(Re, f).enu, bit
for bit.)";

inline constexpr char surf_pos_of_ray_first_intersection[] =
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

inline constexpr char aer_coords[] =
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

}  // namespace quorvane::registry::docs

// name, kernel body, slot of the method table, columns (registry/columns.hpp)
#define QUORVANE_TABLE_CONVERSIONS(X)                                                      \
    X(lla_from_pos, LlaFromPos, 9, "x:m y:m z:m Re:m f:1 -> lat:rad lon:rad alt:m")        \
    X(pos_from_lla, PosFromLla, 10, "lat:rad lon:rad alt:m Re:m f:1 -> x:m y:m z:m")       \
    X(reduced_lat_from_geodetic_lat, ReducedLat, 1, "lat:rad Re:m f:1 -> beta:rad")        \
    X(geodetic_lat_from_reduced_lat, GeodeticLat, 2, "beta:rad Re:m f:1 -> lat:rad")       \
    X(solve_reduced_lat_equation, Solve, 8, "x:m y:m z:m Re:m f:1 -> beta:rad")            \
    X(surf_pos_from_surf_coord, SurfPos, 6, "lat:rad lon:rad Re:m f:1 -> x:m y:m z:m")     \
    X(surf_coord_from_surf_pos, SurfCoordOf, 7, "x:m y:m z:m Re:m f:1 -> lat:rad lon:rad") \
    X(enu, Enu, 5, "lat:rad lon:rad Re:m f:1 -> east[3]:1 north[3]:1 up[3]:1")             \
    X(surf_pos_of_ray_first_intersection, RayHit, 11,                                      \
      "x:m y:m z:m ux:any uy:any uz:any Re:m f:1 -> x:m y:m z:m")                          \
    X(aer_coords, Aer, 12,                                                                 \
      "x:m y:m z:m lat:rad lon:rad alt:m Re:m f:1 -> azimuth:rad elevation:rad range:m")

// Kernels without a ufunc: the two slots that enu combines, and the pieces of
// the composite routines (what lla_from_pos adds before and after slot 8, the
// end of pos_from_lla after slots 6 and 3, the end of aer_coords after its
// vector routines; range passes through the last so that a NaN leaves as every
// kernel's NaN does).
#define QUORVANE_INTERNAL_KERNELS(X)                                                          \
    X(surf_normal_vector, Normal, 3, "lat:rad lon:rad -> up[3]:1")                            \
    X(surf_tangent_vector, Tangents, 4, "lat:rad lon:rad Re:m f:1 -> east[3]:1 north[3]:1")   \
    X(lla_longitude, Longitude, 0, "x:m y:m -> lon:rad")                                      \
    X(lla_altitude, Altitude, 0, "x:m y:m z:m beta:rad Re:m f:1 -> alt:m")                    \
    X(pos_along_normal, AlongNormal, 0, "alt:m upx:1 upy:1 upz:1 x:m y:m z:m -> x:m y:m z:m") \
    X(aer_look_angles, LookAngles, 0,                                                         \
      "east:m north:m up:m range:m -> azimuth:rad elevation:rad range:m")
