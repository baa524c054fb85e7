// Latitudes and radii: geocentric latitude and geocentric-spherical
// coordinates both ways, the auxiliary latitudes (isometric, rectifying,
// authalic, conformal) both ways, and the radii of curvature.
#pragma once

#include "registry/table_conversions.hpp"

#define QUORVANE_GEODETIC_LAT(role) \
    "lat : " role                   \
    "\n"                            \
    "    Geodetic latitude in radians, in [-pi/2, pi/2].\n"
#define QUORVANE_LATITUDE_NOTE                                               \
    "All arguments broadcast; a NaN input gives NaN. An invalid ellipsoid\n" \
    "gives NaN and NumPy's 'invalid value' floating-point error."

// The sections of a one-column conversion of latitudes.
#define QUORVANE_ONE_COLUMN(input, output)             \
    "Parameters\n"                                     \
    "----------\n" input QUORVANE_ELLIPSOID_PARAMETERS \
    "\n"                                               \
    "Returns\n"                                        \
    "-------\n" output "\n"

// An auxiliary latitude from the geodetic one, and back.
#define QUORVANE_FROM_GEODETIC(auxiliary) \
    QUORVANE_ONE_COLUMN(QUORVANE_GEODETIC_LAT("array_like"), auxiliary("ndarray"))
#define QUORVANE_TO_GEODETIC(auxiliary) \
    QUORVANE_ONE_COLUMN(auxiliary("array_like"), QUORVANE_GEODETIC_LAT("ndarray"))

#define QUORVANE_AUXILIARY(name, role, what) \
    name " : " role                          \
         "\n"                                \
         "    " what "\n"

#define QUORVANE_ISOMETRIC(role)              \
    QUORVANE_AUXILIARY("isometric_lat", role, \
                       "Isometric latitude, asinh(tan(conformal latitude)); unbounded.")
#define QUORVANE_CONFORMAL(role) \
    QUORVANE_AUXILIARY("conformal_lat", role, "Conformal latitude in radians.")
#define QUORVANE_AUTHALIC(role) \
    QUORVANE_AUXILIARY("authalic_lat", role, "Authalic (equal-area) latitude in radians.")
#define QUORVANE_RECTIFYING(role)              \
    QUORVANE_AUXILIARY("rectifying_lat", role, \
                       "Rectifying latitude in radians, proportional to the meridian arc.")
#define QUORVANE_RADIUS  \
    "radius : ndarray\n" \
    "    In metres.\n"

// The accuracy of the auxiliary latitudes, as measured against 200-bit
// references (benchmarks/accuracy_geo.py).
#define QUORVANE_CONFORMAL_ACCURACY                                              \
    "Within a few units of 1e-16 rad of the exact value up to f = 0.5, within\n" \
    "about 1e-14 rad at f = 0.9.\n"
#define QUORVANE_RECTIFYING_ACCURACY                                               \
    "From the Fourier series in the reduced latitude, whose coefficients are\n"    \
    "summed exactly in the third flattening n: within a few units of 1e-16 rad\n"  \
    "up to f = 0.6; beyond the flattening where 64 terms no longer reach double\n" \
    "precision (about 0.68) every result is NaN.\n"

// The inverses of the latitudes that are functions of the conformal one.
#define QUORVANE_NEWTON_ON_TAN(auxiliary) \
    QUORVANE_TO_GEODETIC(auxiliary)       \
    "Newton's method on tan(lat). " QUORVANE_CONFORMAL_ACCURACY QUORVANE_LATITUDE_NOTE
#define QUORVANE_RADIUS_SECTIONS \
    QUORVANE_ONE_COLUMN(QUORVANE_GEODETIC_LAT("array_like"), QUORVANE_RADIUS) QUORVANE_LATITUDE_NOTE

namespace quorvane::registry::docs {

inline constexpr char geocentric_lat_from_geodetic_lat[] =
    "Geocentric latitude of points given by geodetic latitude and altitude.\n\n"
    "Parameters\n"
    "----------\n" QUORVANE_GEODETIC_LAT("array_like")
    "alt : array_like\n"
    "    Height above the ellipsoid in metres.\n" QUORVANE_ELLIPSOID_PARAMETERS
    "\n"
    "Returns\n"
    "-------\n"
    "geocentric_lat : ndarray\n"
    "    Angle in radians between the equatorial plane and the line from the\n"
    "    centre to the point.\n\n" QUORVANE_LATITUDE_NOTE;

inline constexpr char geodetic_lat_from_geocentric_lat[] =
    "Geodetic latitude of points given by geocentric latitude and altitude.\n\n"
    "Parameters\n"
    "----------\n"
    "geocentric_lat : array_like\n"
    "    Geocentric latitude in radians.\n"
    "alt : array_like\n"
    "    Height of the point above the ellipsoid in metres (not its distance\n"
    "    from the centre: see lla_from_spherical).\n" QUORVANE_ELLIPSOID_PARAMETERS
    "\n"
    "Returns\n"
    "-------\n" QUORVANE_GEODETIC_LAT("ndarray")
    "\n"
    "The inverse of geocentric_lat_from_geodetic_lat at the same altitude, by\n"
    "Newton's method; the altitude must lie above the centres of curvature\n"
    "(alt > -Re (1 - f)^2), where the latitude is unique. " QUORVANE_LATITUDE_NOTE;

inline constexpr char spherical_from_lla[] =
    "Geocentric-spherical coordinates of geodetic points.\n\n"
    "Parameters\n"
    "----------\n" QUORVANE_GEODETIC_LAT("array_like")
    "lon : array_like\n"
    "    Longitude in radians.\n"
    "alt : array_like\n"
    "    Height above the ellipsoid in metres.\n" QUORVANE_ELLIPSOID_PARAMETERS
    "\n"
    "Returns\n"
    "-------\n"
    "geocentric_lat : ndarray\n"
    "    Geocentric latitude in radians.\n"
    "lon : ndarray\n"
    "    The longitude, unchanged.\n"
    "radius : ndarray\n"
    "    Distance from the centre in metres.\n\n" QUORVANE_LATITUDE_NOTE;

inline constexpr char lla_from_spherical[] =
    "Geodetic coordinates of geocentric-spherical coordinates.\n\n"
    "Parameters\n"
    "----------\n"
    "geocentric_lat : array_like\n"
    "    Geocentric latitude in radians.\n"
    "lon : array_like\n"
    "    Longitude in radians.\n"
    "radius : array_like\n"
    "    Distance from the centre in metres.\n" QUORVANE_ELLIPSOID_PARAMETERS
    "\n"
    "Returns\n"
    "-------\n" QUORVANE_GEODETIC_LAT("ndarray")
    "lon : ndarray\n"
    "    The longitude, unchanged.\n"
    "alt : ndarray\n"
    "    Height above the ellipsoid in metres.\n\n"
    "Latitude and altitude as lla_from_pos gives them for the point. " QUORVANE_LATITUDE_NOTE;

inline constexpr char isometric_lat_from_geodetic_lat[] =
    "Isometric latitude from geodetic latitude.\n\n"
    QUORVANE_FROM_GEODETIC(QUORVANE_ISOMETRIC)
    "asinh(tan(phi)) - e atanh(e sin(phi)), computed as the asinh of the\n"
    "conformal latitude's tangent. Finite at the double nearest the pole.\n"
    QUORVANE_CONFORMAL_ACCURACY QUORVANE_LATITUDE_NOTE;

inline constexpr char geodetic_lat_from_isometric_lat[] =
    "Geodetic latitude from isometric latitude.\n\n" QUORVANE_NEWTON_ON_TAN(QUORVANE_ISOMETRIC);

inline constexpr char conformal_lat_from_geodetic_lat[] =
    "Conformal latitude from geodetic latitude.\n\n"
    QUORVANE_FROM_GEODETIC(QUORVANE_CONFORMAL)
    "Closed form through the tangents of both latitudes.\n"
    QUORVANE_CONFORMAL_ACCURACY QUORVANE_LATITUDE_NOTE;

inline constexpr char geodetic_lat_from_conformal_lat[] =
    "Geodetic latitude from conformal latitude.\n\n" QUORVANE_NEWTON_ON_TAN(QUORVANE_CONFORMAL);

inline constexpr char authalic_lat_from_geodetic_lat[] =
    "Authalic latitude from geodetic latitude.\n\n"
    QUORVANE_FROM_GEODETIC(QUORVANE_AUTHALIC)
    "Closed form through Snyder's q function, without its cancellation at the\n"
    "poles; within a few units of 1e-16 rad up to f = 0.5. " QUORVANE_LATITUDE_NOTE;

inline constexpr char geodetic_lat_from_authalic_lat[] =
    "Geodetic latitude from authalic latitude.\n\n"
    QUORVANE_TO_GEODETIC(QUORVANE_AUTHALIC)
    "Newton's method on tan(lat); within a few units of 1e-16 rad up to\n"
    "f = 0.5. " QUORVANE_LATITUDE_NOTE;

inline constexpr char rectifying_lat_from_geodetic_lat[] =
    "Rectifying latitude from geodetic latitude.\n\n" QUORVANE_FROM_GEODETIC(QUORVANE_RECTIFYING)
        QUORVANE_RECTIFYING_ACCURACY QUORVANE_LATITUDE_NOTE;

inline constexpr char geodetic_lat_from_rectifying_lat[] =
    "Geodetic latitude from rectifying latitude.\n\n" QUORVANE_TO_GEODETIC(
        QUORVANE_RECTIFYING) "Newton's method on the same series. " QUORVANE_RECTIFYING_ACCURACY
        QUORVANE_LATITUDE_NOTE;

inline constexpr char meridian_radius[] =
    "Radius of curvature of the meridian, M = Re (1 - e2) / (1 - e2 "
    "sin(lat)^2)^(3/2).\n\n" QUORVANE_RADIUS_SECTIONS;

inline constexpr char transverse_radius[] =
    "Radius of curvature of the prime vertical, N = Re / sqrt(1 - e2 "
    "sin(lat)^2).\n\n" QUORVANE_RADIUS_SECTIONS;

inline constexpr char parallel_radius[] =
    "Radius of the parallel, N cos(lat).\n\n" QUORVANE_RADIUS_SECTIONS;

inline constexpr char geocentric_radius[] =
    "Distance from the centre to the surface point at a geodetic "
    "latitude.\n\n" QUORVANE_RADIUS_SECTIONS;

}  // namespace quorvane::registry::docs

// name, kernel body, slot of the method table, columns (registry/columns.hpp)
#define QUORVANE_LATITUDE_CONVERSIONS(X)                                       \
    X(geocentric_lat_from_geodetic_lat, GeocentricLatFromGeodeticLat, 0,       \
      "lat:rad alt:m Re:m f:1 -> geocentric_lat:rad")                          \
    X(geodetic_lat_from_geocentric_lat, GeodeticLatFromGeocentricLat, 0,       \
      "geocentric_lat:rad alt:m Re:m f:1 -> lat:rad")                          \
    X(spherical_from_lla, SphericalFromLla, 0,                                 \
      "lat:rad lon:rad alt:m Re:m f:1 -> geocentric_lat:rad lon:rad radius:m") \
    X(lla_from_spherical, LlaFromSpherical, 0,                                 \
      "geocentric_lat:rad lon:rad radius:m Re:m f:1 -> lat:rad lon:rad alt:m") \
    X(isometric_lat_from_geodetic_lat, IsometricLatFromGeodeticLat, 0,         \
      "lat:rad Re:m f:1 -> isometric_lat:rad")                                 \
    X(geodetic_lat_from_isometric_lat, GeodeticLatFromIsometricLat, 0,         \
      "isometric_lat:rad Re:m f:1 -> lat:rad")                                 \
    X(rectifying_lat_from_geodetic_lat, RectifyingLatFromGeodeticLat, 0,       \
      "lat:rad Re:m f:1 -> rectifying_lat:rad")                                \
    X(geodetic_lat_from_rectifying_lat, GeodeticLatFromRectifyingLat, 0,       \
      "rectifying_lat:rad Re:m f:1 -> lat:rad")                                \
    X(authalic_lat_from_geodetic_lat, AuthalicLatFromGeodeticLat, 0,           \
      "lat:rad Re:m f:1 -> authalic_lat:rad")                                  \
    X(geodetic_lat_from_authalic_lat, GeodeticLatFromAuthalicLat, 0,           \
      "authalic_lat:rad Re:m f:1 -> lat:rad")                                  \
    X(conformal_lat_from_geodetic_lat, ConformalLatFromGeodeticLat, 0,         \
      "lat:rad Re:m f:1 -> conformal_lat:rad")                                 \
    X(geodetic_lat_from_conformal_lat, GeodeticLatFromConformalLat, 0,         \
      "conformal_lat:rad Re:m f:1 -> lat:rad")                                 \
    X(meridian_radius, MeridianRadius, 0, "lat:rad Re:m f:1 -> radius:m")      \
    X(transverse_radius, TransverseRadius, 0, "lat:rad Re:m f:1 -> radius:m")  \
    X(parallel_radius, ParallelRadius, 0, "lat:rad Re:m f:1 -> radius:m")      \
    X(geocentric_radius, GeocentricRadius, 0, "lat:rad Re:m f:1 -> radius:m")
