"""Latitudes and radii: geocentric latitude and geocentric-spherical coordinates
both ways, the auxiliary latitudes (isometric, rectifying, authalic, conformal)
both ways, and the radii of curvature."""

from docs import ELLIPSOID, LATITUDE_NOTE, column, doc


def geodetic_lat(role):
    return column("lat", role, "Geodetic latitude in radians, in [-pi/2, pi/2].")


ALT = column("alt", "array_like", "Height above the ellipsoid in metres.")
GEOCENTRIC_LAT = column("geocentric_lat", "array_like", "Geocentric latitude in radians.")
SAME_LON = column("lon", "ndarray", "The longitude, unchanged.")


def latitude_doc(summary, parameters, returns, remark=""):
    return doc(summary, parameters + ELLIPSOID, returns, remark + LATITUDE_NOTE)


# The auxiliary latitudes: the column's name, the latitude's, and its description.
ISOMETRIC = ("isometric_lat", "isometric", "Isometric latitude, asinh(tan(conformal latitude)); unbounded.")
CONFORMAL = ("conformal_lat", "conformal", "Conformal latitude in radians.")
AUTHALIC = ("authalic_lat", "authalic", "Authalic (equal-area) latitude in radians.")
RECTIFYING = ("rectifying_lat", "rectifying", "Rectifying latitude in radians, proportional to the meridian arc.")

# The accuracy of the auxiliary latitudes, as measured against 200-bit
# references (benchmarks/accuracy_geo.py).
CONFORMAL_ACCURACY = "Within a few units of 1e-16 rad of the exact value up to f = 0.5, within\nabout 1e-14 rad at f = 0.9.\n"
RECTIFYING_ACCURACY = (
    "From the Fourier series in the reduced latitude, whose coefficients are\n"
    "summed exactly in the third flattening n: within a few units of 1e-16 rad\n"
    "up to f = 0.6; beyond the flattening where 64 terms no longer reach double\n"
    "precision (about 0.68) every result is NaN.\n"
)


def from_geodetic(auxiliary, remark):
    name, latitude, what = auxiliary
    return latitude_doc(f"{latitude.capitalize()} latitude from geodetic latitude.", geodetic_lat("array_like"),
                        column(name, "ndarray", what), remark)


def to_geodetic(auxiliary, remark):
    name, latitude, what = auxiliary
    return latitude_doc(f"Geodetic latitude from {latitude} latitude.", column(name, "array_like", what),
                        geodetic_lat("ndarray"), remark)


def radius(summary):
    return latitude_doc(summary, geodetic_lat("array_like"), column("radius", "ndarray", "In metres."))


NEWTON = "Newton's method on tan(lat). " + CONFORMAL_ACCURACY

# name, kernel body, slot of the method table, columns (registry/columns.hpp), docstring
CONVERSIONS = [
    ("geocentric_lat_from_geodetic_lat", "GeocentricLatFromGeodeticLat", 0,
     "lat:rad alt:m Re:m f:1 -> geocentric_lat:rad", latitude_doc(
        "Geocentric latitude of points given by geodetic latitude and altitude.", geodetic_lat("array_like") + ALT,
        column("geocentric_lat", "ndarray", "Angle in radians between the equatorial plane and the line from the",
               "centre to the point."))),
    ("geodetic_lat_from_geocentric_lat", "GeodeticLatFromGeocentricLat", 0,
     "geocentric_lat:rad alt:m Re:m f:1 -> lat:rad", latitude_doc(
        "Geodetic latitude of points given by geocentric latitude and altitude.", GEOCENTRIC_LAT + column(
            "alt", "array_like", "Height of the point above the ellipsoid in metres (not its distance",
            "from the centre: see lla_from_spherical)."), geodetic_lat("ndarray"),
        "The inverse of geocentric_lat_from_geodetic_lat at the same altitude, by\n"
        "Newton's method; the altitude must lie above the centres of curvature\n"
        "(alt > -Re (1 - f)^2), where the latitude is unique. ")),
    ("spherical_from_lla", "SphericalFromLla", 0,
     "lat:rad lon:rad alt:m Re:m f:1 -> geocentric_lat:rad lon:rad radius:m", latitude_doc(
        "Geocentric-spherical coordinates of geodetic points.",
        geodetic_lat("array_like") + column("lon", "array_like", "Longitude in radians.") + ALT,
        column("geocentric_lat", "ndarray", "Geocentric latitude in radians.") + SAME_LON
        + column("radius", "ndarray", "Distance from the centre in metres."))),
    ("lla_from_spherical", "LlaFromSpherical", 0,
     "geocentric_lat:rad lon:rad radius:m Re:m f:1 -> lat:rad lon:rad alt:m", latitude_doc(
        "Geodetic coordinates of geocentric-spherical coordinates.",
        GEOCENTRIC_LAT + column("lon", "array_like", "Longitude in radians.")
        + column("radius", "array_like", "Distance from the centre in metres."),
        geodetic_lat("ndarray") + SAME_LON + column("alt", "ndarray", "Height above the ellipsoid in metres."),
        "Latitude and altitude as lla_from_pos gives them for the point. ")),
    ("isometric_lat_from_geodetic_lat", "IsometricLatFromGeodeticLat", 0,
     "lat:rad Re:m f:1 -> isometric_lat:rad", from_geodetic(
        ISOMETRIC, "asinh(tan(phi)) - e atanh(e sin(phi)), computed as the asinh of the\n"
        "conformal latitude's tangent. Finite at the double nearest the pole.\n" + CONFORMAL_ACCURACY)),
    ("geodetic_lat_from_isometric_lat", "GeodeticLatFromIsometricLat", 0,
     "isometric_lat:rad Re:m f:1 -> lat:rad", to_geodetic(ISOMETRIC, NEWTON)),
    ("rectifying_lat_from_geodetic_lat", "RectifyingLatFromGeodeticLat", 0,
     "lat:rad Re:m f:1 -> rectifying_lat:rad", from_geodetic(RECTIFYING, RECTIFYING_ACCURACY)),
    ("geodetic_lat_from_rectifying_lat", "GeodeticLatFromRectifyingLat", 0,
     "rectifying_lat:rad Re:m f:1 -> lat:rad", to_geodetic(
        RECTIFYING, "Newton's method on the same series. " + RECTIFYING_ACCURACY)),
    ("authalic_lat_from_geodetic_lat", "AuthalicLatFromGeodeticLat", 0,
     "lat:rad Re:m f:1 -> authalic_lat:rad", from_geodetic(
        AUTHALIC, "Closed form through Snyder's q function, without its cancellation at the\n"
        "poles; within a few units of 1e-16 rad up to f = 0.5. ")),
    ("geodetic_lat_from_authalic_lat", "GeodeticLatFromAuthalicLat", 0,
     "authalic_lat:rad Re:m f:1 -> lat:rad", to_geodetic(
        AUTHALIC, "Newton's method on tan(lat); within a few units of 1e-16 rad up to\nf = 0.5. ")),
    ("conformal_lat_from_geodetic_lat", "ConformalLatFromGeodeticLat", 0,
     "lat:rad Re:m f:1 -> conformal_lat:rad", from_geodetic(
        CONFORMAL, "Closed form through the tangents of both latitudes.\n" + CONFORMAL_ACCURACY)),
    ("geodetic_lat_from_conformal_lat", "GeodeticLatFromConformalLat", 0,
     "conformal_lat:rad Re:m f:1 -> lat:rad", to_geodetic(CONFORMAL, NEWTON)),
    ("meridian_radius", "MeridianRadius", 0, "lat:rad Re:m f:1 -> radius:m", radius(
        "Radius of curvature of the meridian, M = Re (1 - e2) / (1 - e2 sin(lat)^2)^(3/2).")),
    ("transverse_radius", "TransverseRadius", 0, "lat:rad Re:m f:1 -> radius:m", radius(
        "Radius of curvature of the prime vertical, N = Re / sqrt(1 - e2 sin(lat)^2).")),
    ("parallel_radius", "ParallelRadius", 0, "lat:rad Re:m f:1 -> radius:m", radius(
        "Radius of the parallel, N cos(lat).")),
    ("geocentric_radius", "GeocentricRadius", 0, "lat:rad Re:m f:1 -> radius:m", radius(
        "Distance from the centre to the surface point at a geodetic latitude.")),
]
