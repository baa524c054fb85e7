// Docstrings of the Ellipsoid type and its ten methods. A method's docstring
// is its signature line, made from the method list (method_list.hpp), followed
// by the text here.
#pragma once

// The sections every conversion of latitudes has.
#define QUORVANE_LATITUDE_CONVERSION(summary, parameter, from, to, inverse)       \
    summary                                                                       \
        "\n\n"                                                                    \
        "Parameters\n"                                                            \
        "----------\n" parameter                                                  \
        " : float or ndarray of float64, shape (N,)\n"                            \
        "    " from                                                               \
        " latitude in radians. A real number is a scalar; anything else\n"        \
        "    must be a one-dimensional float64 array (ValueError otherwise).\n\n" \
        "Returns\n"                                                               \
        "-------\n"                                                               \
        "float or ndarray of float64, shape (N,)\n"                               \
        "    " to                                                                 \
        " latitude in radians, in [-pi/2, pi/2].\n\n"                             \
        "The inverse is " inverse "."

// A method's ECEF positions, one per row.
#define QUORVANE_POSITIONS(name)              \
    name " : ndarray, shape (3,) or (N, 3)\n" \
         "    ECEF positions in metres (any real dtype).\n"

// The end of a method's docstring: when it raises, and the C routine it runs.
#define QUORVANE_RAISES(when, routine) \
    "Raises\n"                         \
    "------\n"                         \
    "AssertionError\n"                 \
    "    " when                        \
    "\n\n"                             \
    "Each point is computed by the C-level routine " routine "."

// The geodetic latitude and longitude of points given as numbers or arrays.
#define QUORVANE_LAT_LON                            \
    "lat, lon : float, or ndarrays of shape (N,)\n" \
    "    Geodetic latitude and longitude in radians.\n"

// The result of a method that gives one position per point, and its end.
#define QUORVANE_POSITIONS_OF_POINTS(count, routine) \
    "ndarray of float64, shape (3,) for " count      \
    " numbers, (N, 3) for arrays\n"                  \
    "    Positions in metres.\n\n" QUORVANE_RAISES(  \
        "When array arguments are not one-dimensional or differ in shape.", routine)

namespace quorvane::binding::docs {

inline constexpr const char kEllipsoid[] =
    R"(Ellipsoid(double Re, double f) -> None
An ellipsoid of revolution given by its equatorial radius and flattening,
offering geographical calculations: surface normal and tangent vectors,
reduced and geodetic latitude, conversions between ECEF positions and
geodetic coordinates, east-north-up frames, ray intersections and
azimuth/elevation/range.

The ellipsoid is centred at the origin of an Earth-centred, Earth-fixed
(ECEF) frame with its axis of revolution along z. Angles are radians,
lengths metres.

Parameters
----------
Re : float
    Equatorial radius (semi-major axis) in metres; must be greater than zero.
f : float
    Flattening; must lie in [0.0, 1.0). f = 0 is a sphere.

The polar radius is Rp = (1 - f) * Re. The object is immutable and cannot
be pickled or copied.)";

inline constexpr const char reduced_lat_from_geodetic_lat[] = QUORVANE_LATITUDE_CONVERSION(
    "Vectorised conversion from geodetic to reduced (parametric) latitude.\n\n"
    "Applies beta = atan((1 - f) * tan(geodetic_lat)) element-wise to a scalar\n"
    "or to a one-dimensional array.",
    "geodetic_lat", "Geodetic", "Reduced", "geodetic_lat_from_reduced_lat");

inline constexpr const char geodetic_lat_from_reduced_lat[] = QUORVANE_LATITUDE_CONVERSION(
    "Vectorised conversion from reduced (parametric) to geodetic latitude.\n\n"
    "Applies phi = atan(tan(reduced_lat) / (1 - f)) element-wise to a scalar or\n"
    "to a one-dimensional array.",
    "reduced_lat", "Reduced", "Geodetic", "reduced_lat_from_geodetic_lat");

inline constexpr const char enu[] =
    R"(Local east-north-up frames at surface points.

Parameters
----------
lat, lon : float, or ndarrays of shape (N,)
    Geodetic latitude and longitude in radians: two real numbers, or two
    one-dimensional arrays of equal length (any real dtype).

Returns
-------
ndarray of ENU_dtype, shape (1,) for two numbers, (N,) for arrays
    Fields u_east, u_north and u_up: the unit vectors towards east, north
    and up (the outward surface normal) in ECEF components.

Raises
------
AssertionError
    When the arguments are not one-dimensional arrays of equal length.

Each frame is computed by the C-level routine c_enu.)";

inline constexpr const char surf_pos_from_surf_coord[] =
    R"(ECEF positions of surface points given by geodetic latitude and longitude.

With N = Re / sqrt(1 - e2 * sin(lat)^2) and e2 = f * (2 - f):

    x = N * cos(lat) * cos(lon)
    y = N * cos(lat) * sin(lon)
    z = N * (1 - e2) * sin(lat)

Parameters
----------
)" QUORVANE_LAT_LON R"(
Returns
-------
)" QUORVANE_POSITIONS_OF_POINTS("two", "c_surf_pos_from_surf_coord");

inline constexpr const char surf_coord_from_surf_pos[] =
    R"(Geodetic latitude and longitude of points on the surface.

The point is taken to lie on the surface: its latitude follows from z
alone and its longitude from x and y. A point with |z| > Rp has a NaN
latitude.

Parameters
----------
)" QUORVANE_POSITIONS("r_surf") R"(
Returns
-------
ndarray of SurfCoord_dtype, shape (1,) or (N,)
    Fields lat and lon, in radians.

)" QUORVANE_RAISES("For any other shape.", "c_surf_coord_from_surf_pos");

inline constexpr const char solve_reduced_lat_equation[] =
    R"(Reduced latitude of the foot of the surface normal through each position.

Solves sin(b) cos(b) - A sin(b) + B cos(b) = 0 with A = p / (Re e2) and
B = (1 - f) z / (Re e2), p = sqrt(x^2 + y^2), by Newton's method from the
geocentric latitude.

Parameters
----------
)" QUORVANE_POSITIONS("r") R"(
Returns
-------
float for shape (3,), ndarray of float64 of shape (N,) for shape (N, 3)
    Reduced latitude in radians.

)" QUORVANE_RAISES("For any other shape.", "c_solve_reduced_lat_equation");

inline constexpr const char lla_from_pos[] =
    R"(Geodetic latitude, longitude and altitude of ECEF positions.

Parameters
----------
)" QUORVANE_POSITIONS("r") R"(
Returns
-------
ndarray of LLA_dtype, shape (1,) for shape (3,), (N,) for shape (N, 3)
    Fields lat and lon in radians, alt in metres above the ellipsoid along
    its normal (negative below the surface). On the polar axis the
    longitude is 0; the centre has a NaN latitude.

)" QUORVANE_RAISES("For any other shape.", "c_lla_from_pos");

inline constexpr const char pos_from_lla[] =
    R"(ECEF positions of points given by geodetic latitude, longitude, altitude.

With N = Re / sqrt(1 - e2 * sin(lat)^2) and e2 = f * (2 - f):

    x = (N + alt) * cos(lat) * cos(lon)
    y = (N + alt) * cos(lat) * sin(lon)
    z = (N * (1 - e2) + alt) * sin(lat)

Parameters
----------
)" QUORVANE_LAT_LON R"(alt : float, or ndarray of shape (N,)
    Height above the ellipsoid along its normal, in metres.

Returns
-------
)" QUORVANE_POSITIONS_OF_POINTS("three", "c_pos_from_lla");

inline constexpr const char surf_pos_of_ray_first_intersection[] =
    R"(Where rays from one origin meet the surface.

The point r_source + l * u_ray lies on the surface when

    a l^2 + b l + c = 0,
    a = ux^2 + uy^2 + g uz^2,
    b = 2 (ux x + uy y + g uz z),
    c = x^2 + y^2 + g z^2 - Re^2,   g = 1 / (1 - f)^2.

Of the two roots the one of smaller magnitude is taken: the intersection
nearest the origin along the whole line, which may lie behind it. A line
that misses the surface gives NaN coordinates.

Parameters
----------
r_source : ndarray, shape (3,)
    Ray origin, ECEF metres.
u_ray : ndarray, shape (3,) or (N, 3)
    Ray directions, ECEF; need not be unit vectors.

Returns
-------
ndarray of float64, shape (3,) or (N, 3)
    Intersection points in metres.

Raises
------
AssertionError
    For any other shapes.

Each point is computed by the C-level routine
c_surf_pos_of_ray_first_intersection.)";

inline constexpr const char aer_coords[] =
    R"(Azimuth, elevation and range of targets seen from one observer.

Parameters
----------
r_target : ndarray, shape (3,) or (N, 3)
    Target positions, ECEF metres (any real dtype).
lat_obs, lon_obs : float
    Observer's geodetic latitude and longitude, radians.
alt_obs : float
    Observer's altitude above the ellipsoid, metres.

Returns
-------
ndarray of AER_dtype, shape (1,) or (N,)
    Fields azimuth (radians clockwise from local north, in [-pi, pi]),
    elevation (radians above the local horizontal plane) and range (slant
    distance in metres). A target at the observer has range 0 and a NaN
    elevation.

)" QUORVANE_RAISES("For any other shape of r_target.", "c_aer_coords");

}  // namespace quorvane::binding::docs
