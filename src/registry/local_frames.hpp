// Local frames: east-north-up, north-east-down and azimuth-elevation-range
// coordinates of targets relative to a geodetic observer, both ways, between
// one another, and the rotations of vectors between ECEF and a local frame.
#pragma once

#include "registry/table_conversions.hpp"

#define QUORVANE_OBSERVER                                          \
    "lat0, lon0 : array_like\n"                                    \
    "    Observer's geodetic latitude and longitude in radians.\n" \
    "alt0 : array_like\n"                                          \
    "    Observer's height above the ellipsoid in metres.\n"

#define QUORVANE_TARGET_POSITIONS \
    "x, y, z : array_like\n"      \
    "    Target ECEF position components in metres.\n"
#define QUORVANE_TARGET_LLA                                    \
    "lat, lon : array_like\n"                                  \
    "    Target geodetic latitude and longitude in radians.\n" \
    "alt : array_like\n"                                       \
    "    Target height above the ellipsoid in metres.\n"
#define QUORVANE_ENU_COLUMNS(role)                                        \
    "east, north, up : " role                                             \
    "\n"                                                                  \
    "    Coordinates in metres along the observer's east, north and up\n" \
    "    (surface normal) axes.\n"
#define QUORVANE_NED_COLUMNS(role)                                          \
    "north, east, down : " role                                             \
    "\n"                                                                    \
    "    Coordinates in metres along the observer's north, east and down\n" \
    "    axes (down = -up).\n"
#define QUORVANE_AER_COLUMNS(role)                                 \
    "az : " role                                                   \
    "\n"                                                           \
    "    Azimuth in radians clockwise from north, in [0, 2 pi).\n" \
    "el : " role                                                   \
    "\n"                                                           \
    "    Elevation in radians above the horizontal plane, in\n"    \
    "    [-pi/2, pi/2].\n"                                         \
    "range : " role                                                \
    "\n"                                                           \
    "    Slant range (distance) in metres.\n"
#define QUORVANE_RESULT_POSITIONS \
    "x, y, z : ndarray\n"         \
    "    ECEF position components in metres.\n"
#define QUORVANE_RESULT_LLA                                              \
    "lat, lon : ndarray\n"                                               \
    "    Geodetic latitude and longitude in radians, the longitude in\n" \
    "    [-pi, pi].\n"                                                   \
    "alt : ndarray\n"                                                    \
    "    Height above the ellipsoid in metres.\n"

// The sections of a conversion with an observer: its point parameters, the
// observer, the ellipsoid, then its returns.
#define QUORVANE_OBSERVED(points, returns)                                \
    "Parameters\n"                                                        \
    "----------\n" points QUORVANE_OBSERVER QUORVANE_ELLIPSOID_PARAMETERS \
    "\n"                                                                  \
    "Returns\n"                                                           \
    "-------\n" returns "\n"

#define QUORVANE_LOCAL_PARAMETERS(points, returns) \
    "Parameters\n"                                 \
    "----------\n" points                          \
    "\n"                                           \
    "Returns\n"                                    \
    "-------\n" returns "\n"

#define QUORVANE_NEW_CONVERSION_NOTE                                       \
    "All arguments broadcast; a NaN input gives NaN results. An invalid\n" \
    "ellipsoid gives NaN and NumPy's 'invalid value' floating-point error."
#define QUORVANE_LOCAL_NOTE "All arguments broadcast; a NaN input gives NaN results."

namespace quorvane::registry::docs {

inline constexpr char enu_from_pos[] =
    "East, north, up coordinates of ECEF positions relative to a geodetic observer.\n\n"
    QUORVANE_OBSERVED(QUORVANE_TARGET_POSITIONS, QUORVANE_ENU_COLUMNS("ndarray"))
    "The target minus the observer's position, dotted with the observer's\n"
    "east, north and up unit vectors (those of aer_coords). " QUORVANE_NEW_CONVERSION_NOTE;

inline constexpr char pos_from_enu[] =
    "ECEF positions of east, north, up coordinates relative to a geodetic "
    "observer.\n\n" QUORVANE_OBSERVED(
        QUORVANE_ENU_COLUMNS("array_like"),
        QUORVANE_RESULT_POSITIONS) "The inverse of enu_from_pos. " QUORVANE_NEW_CONVERSION_NOTE;

inline constexpr char ned_from_pos[] =
    "North, east, down coordinates of ECEF positions relative to a geodetic "
    "observer.\n\n" QUORVANE_OBSERVED(
        QUORVANE_TARGET_POSITIONS,
        QUORVANE_NED_COLUMNS(
            "ndarray")) "enu_from_pos with the axes swapped. " QUORVANE_NEW_CONVERSION_NOTE;

inline constexpr char pos_from_ned[] =
    "ECEF positions of north, east, down coordinates relative to a geodetic "
    "observer.\n\n" QUORVANE_OBSERVED(
        QUORVANE_NED_COLUMNS("array_like"),
        QUORVANE_RESULT_POSITIONS) "The inverse of ned_from_pos. " QUORVANE_NEW_CONVERSION_NOTE;

inline constexpr char enu_from_lla[] =
    "East, north, up coordinates of geodetic points relative to a geodetic "
    "observer.\n\n" QUORVANE_OBSERVED(
        QUORVANE_TARGET_LLA,
        QUORVANE_ENU_COLUMNS(
            "ndarray")) "enu_from_pos of the target's pos_from_lla. " QUORVANE_NEW_CONVERSION_NOTE;

inline constexpr char lla_from_enu[] =
    "Geodetic coordinates of east, north, up coordinates relative to a geodetic "
    "observer.\n\n" QUORVANE_OBSERVED(
        QUORVANE_ENU_COLUMNS("array_like"),
        QUORVANE_RESULT_LLA) "lla_from_pos of pos_from_enu. " QUORVANE_NEW_CONVERSION_NOTE;

inline constexpr char ned_from_lla[] =
    "North, east, down coordinates of geodetic points relative to a geodetic "
    "observer.\n\n" QUORVANE_OBSERVED(
        QUORVANE_TARGET_LLA,
        QUORVANE_NED_COLUMNS(
            "ndarray")) "ned_from_pos of the target's pos_from_lla. " QUORVANE_NEW_CONVERSION_NOTE;

inline constexpr char lla_from_ned[] =
    "Geodetic coordinates of north, east, down coordinates relative to a geodetic "
    "observer.\n\n" QUORVANE_OBSERVED(
        QUORVANE_NED_COLUMNS("array_like"),
        QUORVANE_RESULT_LLA) "lla_from_pos of pos_from_ned. " QUORVANE_NEW_CONVERSION_NOTE;

inline constexpr char aer_from_lla[] =
    "Azimuth, elevation and range of geodetic points seen from a geodetic observer.\n\n"
    QUORVANE_OBSERVED(QUORVANE_TARGET_LLA, QUORVANE_AER_COLUMNS("ndarray"))
    "aer_from_pos of the target's pos_from_lla; a target at the observer has\n"
    "azimuth and elevation 0. " QUORVANE_NEW_CONVERSION_NOTE;

inline constexpr char lla_from_aer[] =
    "Geodetic coordinates of points at given azimuth, elevation and range from a\n"
    "geodetic observer.\n\n" QUORVANE_OBSERVED(
        QUORVANE_AER_COLUMNS("array_like"),
        QUORVANE_RESULT_LLA) "lla_from_pos of pos_from_aer. " QUORVANE_NEW_CONVERSION_NOTE;

inline constexpr char pos_from_aer[] =
    "ECEF positions of points at given azimuth, elevation and range from a geodetic\n"
    "observer.\n\n" QUORVANE_OBSERVED(
        QUORVANE_AER_COLUMNS("array_like"),
        QUORVANE_RESULT_POSITIONS) "pos_from_enu of enu_from_aer. " QUORVANE_NEW_CONVERSION_NOTE;

inline constexpr char aer_from_pos[] =
    "Azimuth, elevation and range of ECEF positions seen from a geodetic observer.\n\n"
    QUORVANE_OBSERVED(QUORVANE_TARGET_POSITIONS, QUORVANE_AER_COLUMNS("ndarray"))
    "As aer_coords, with the azimuth in [0, 2 pi) (aer_coords' plus 2 pi where\n"
    "that is negative) and the same range, bit for bit; the elevation is\n"
    "atan2(up, hypot(east, north)), which stays accurate at the zenith where\n"
    "aer_coords' asin(up / range) loses digits. A target at the observer has\n"
    "azimuth and elevation 0. " QUORVANE_NEW_CONVERSION_NOTE;

inline constexpr char aer_from_enu[] =
    "Azimuth, elevation and range of east, north, up coordinates.\n\n" QUORVANE_LOCAL_PARAMETERS(
        QUORVANE_ENU_COLUMNS("array_like"),
        QUORVANE_AER_COLUMNS(
            "ndarray")) "The origin has azimuth and elevation 0. " QUORVANE_LOCAL_NOTE;

inline constexpr char enu_from_aer[] =
    "East, north, up coordinates of azimuth, elevation and range.\n\n" QUORVANE_LOCAL_PARAMETERS(
        QUORVANE_AER_COLUMNS("array_like"), QUORVANE_ENU_COLUMNS("ndarray")) QUORVANE_LOCAL_NOTE;

inline constexpr char aer_from_ned[] =
    "Azimuth, elevation and range of north, east, down coordinates.\n\n" QUORVANE_LOCAL_PARAMETERS(
        QUORVANE_NED_COLUMNS("array_like"),
        QUORVANE_AER_COLUMNS(
            "ndarray")) "The origin has azimuth and elevation 0. " QUORVANE_LOCAL_NOTE;

inline constexpr char ned_from_aer[] =
    "North, east, down coordinates of azimuth, elevation and range.\n\n" QUORVANE_LOCAL_PARAMETERS(
        QUORVANE_AER_COLUMNS("array_like"), QUORVANE_NED_COLUMNS("ndarray")) QUORVANE_LOCAL_NOTE;

#define QUORVANE_ECEF_VECTOR(role)                                   \
    "u, v, w : " role                                                \
    "\n"                                                             \
    "    ECEF components of a vector (a velocity, a difference of\n" \
    "    positions), in any unit.\n"
#define QUORVANE_VECTOR_AXES(axes, role) \
    axes " : " role                      \
         "\n"                            \
         "    Components of the vector along the local axes, in its unit.\n"
#define QUORVANE_ROTATION_AT    \
    "lat0, lon0 : array_like\n" \
    "    Geodetic latitude and longitude of the local frame in radians.\n"
#define QUORVANE_ROTATION_NOTE                                            \
    "A rotation, without translation; the frame of a geodetic latitude\n" \
    "does not depend on the ellipsoid. " QUORVANE_LOCAL_NOTE

inline constexpr char enu_from_ecef_vector[] =
    "East, north, up components of ECEF vectors at a geodetic latitude and "
    "longitude.\n\n" QUORVANE_LOCAL_PARAMETERS(
        QUORVANE_ECEF_VECTOR("array_like") QUORVANE_ROTATION_AT,
        QUORVANE_VECTOR_AXES("east, north, up", "ndarray")) QUORVANE_ROTATION_NOTE;

inline constexpr char ecef_vector_from_enu[] =
    "ECEF components of vectors given by east, north, up components.\n\n" QUORVANE_LOCAL_PARAMETERS(
        QUORVANE_VECTOR_AXES("east, north, up", "array_like") QUORVANE_ROTATION_AT,
        QUORVANE_ECEF_VECTOR("ndarray")) QUORVANE_ROTATION_NOTE;

inline constexpr char ned_from_ecef_vector[] =
    "North, east, down components of ECEF vectors at a geodetic latitude and "
    "longitude.\n\n" QUORVANE_LOCAL_PARAMETERS(
        QUORVANE_ECEF_VECTOR("array_like") QUORVANE_ROTATION_AT,
        QUORVANE_VECTOR_AXES("north, east, down", "ndarray")) QUORVANE_ROTATION_NOTE;

inline constexpr char ecef_vector_from_ned[] =
    "ECEF components of vectors given by north, east, down "
    "components.\n\n" QUORVANE_LOCAL_PARAMETERS(
        QUORVANE_VECTOR_AXES("north, east, down", "array_like") QUORVANE_ROTATION_AT,
        QUORVANE_ECEF_VECTOR("ndarray")) QUORVANE_ROTATION_NOTE;

inline constexpr char look_at_spheroid[] =
    R"(Where lines of sight from geodetic observers first meet the ellipsoid.

Parameters
----------
lat0, lon0 : array_like
    Observer's geodetic latitude and longitude in radians.
alt0 : array_like
    Observer's height above the ellipsoid in metres.
az : array_like
    Azimuth of the line of sight in radians, clockwise from north.
tilt : array_like
    Angle of the line of sight from the nadir in radians (0: straight
    down, pi/2: horizontal).
)" QUORVANE_ELLIPSOID_PARAMETERS R"(
Returns
-------
lat, lon : ndarray
    Geodetic latitude and longitude of the point in radians.
range : ndarray
    Distance from the observer to the point in metres.

The first point ahead of the observer (range >= 0) where the line meets the
surface; NaN where it passes the ellipsoid or points away from it. An
observer on the surface sees its own point at range 0, one below it the
point where the line leaves the ellipsoid.
)" QUORVANE_NEW_CONVERSION_NOTE;

}  // namespace quorvane::registry::docs

// name, kernel body, slot of the method table, columns (registry/columns.hpp)
#define QUORVANE_LOCAL_FRAME_CONVERSIONS(X)                                               \
    X(enu_from_pos, EnuFromPos, 0,                                                        \
      "x:m y:m z:m lat0:rad lon0:rad alt0:m Re:m f:1 -> east:m north:m up:m")             \
    X(pos_from_enu, PosFromEnu, 0,                                                        \
      "east:m north:m up:m lat0:rad lon0:rad alt0:m Re:m f:1 -> x:m y:m z:m")             \
    X(ned_from_pos, NedFromPos, 0,                                                        \
      "x:m y:m z:m lat0:rad lon0:rad alt0:m Re:m f:1 -> north:m east:m down:m")           \
    X(pos_from_ned, PosFromNed, 0,                                                        \
      "north:m east:m down:m lat0:rad lon0:rad alt0:m Re:m f:1 -> x:m y:m z:m")           \
    X(enu_from_lla, EnuFromLla, 0,                                                        \
      "lat:rad lon:rad alt:m lat0:rad lon0:rad alt0:m Re:m f:1 -> east:m north:m up:m")   \
    X(lla_from_enu, LlaFromEnu, 0,                                                        \
      "east:m north:m up:m lat0:rad lon0:rad alt0:m Re:m f:1 -> lat:rad lon:rad alt:m")   \
    X(ned_from_lla, NedFromLla, 0,                                                        \
      "lat:rad lon:rad alt:m lat0:rad lon0:rad alt0:m Re:m f:1 -> north:m east:m down:m") \
    X(lla_from_ned, LlaFromNed, 0,                                                        \
      "north:m east:m down:m lat0:rad lon0:rad alt0:m Re:m f:1 -> lat:rad lon:rad alt:m") \
    X(aer_from_lla, AerFromLla, 0,                                                        \
      "lat:rad lon:rad alt:m lat0:rad lon0:rad alt0:m Re:m f:1 -> az:rad el:rad range:m") \
    X(lla_from_aer, LlaFromAer, 0,                                                        \
      "az:rad el:rad range:m lat0:rad lon0:rad alt0:m Re:m f:1 -> lat:rad lon:rad alt:m") \
    X(pos_from_aer, PosFromAer, 0,                                                        \
      "az:rad el:rad range:m lat0:rad lon0:rad alt0:m Re:m f:1 -> x:m y:m z:m")           \
    X(aer_from_pos, AerFromPos, 0,                                                        \
      "x:m y:m z:m lat0:rad lon0:rad alt0:m Re:m f:1 -> az:rad el:rad range:m")           \
    X(aer_from_enu, AerFromEnu, 0, "east:m north:m up:m -> az:rad el:rad range:m")        \
    X(enu_from_aer, EnuFromAer, 0, "az:rad el:rad range:m -> east:m north:m up:m")        \
    X(aer_from_ned, AerFromNed, 0, "north:m east:m down:m -> az:rad el:rad range:m")      \
    X(ned_from_aer, NedFromAer, 0, "az:rad el:rad range:m -> north:m east:m down:m")      \
    X(enu_from_ecef_vector, EnuFromEcefVector, 0,                                         \
      "u:any v:any w:any lat0:rad lon0:rad -> east:any north:any up:any")                 \
    X(ecef_vector_from_enu, EcefVectorFromEnu, 0,                                         \
      "east:any north:any up:any lat0:rad lon0:rad -> u:any v:any w:any")                 \
    X(ned_from_ecef_vector, NedFromEcefVector, 0,                                         \
      "u:any v:any w:any lat0:rad lon0:rad -> north:any east:any down:any")               \
    X(ecef_vector_from_ned, EcefVectorFromNed, 0,                                         \
      "north:any east:any down:any lat0:rad lon0:rad -> u:any v:any w:any")               \
    X(look_at_spheroid, LookAtSpheroid, 0,                                                \
      "lat0:rad lon0:rad alt0:m az:rad tilt:rad Re:m f:1 -> lat:rad lon:rad range:m")
