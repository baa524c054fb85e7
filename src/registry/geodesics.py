"""Geodesics on the ellipsoid: the direct and the inverse problem
(src/core/kernels/geodesic_lanes.hpp, geodesic_inverse_lanes.hpp)."""

from docs import ELLIPSOID, LONG_INVALID, column, doc

DIRECT_PARAMETERS = (
    column("lat1, lon1", "array_like", "Geodetic latitude and longitude of the start in radians; |lat1| > pi/2",
           "gives NaN.")
    + column("azi1", "array_like", "Azimuth at the start in radians, clockwise from north.")
    + column("s12", "array_like", "Length of the geodesic in metres; negative lengths run backwards.")
    + ELLIPSOID
)
INVERSE_PARAMETERS = (
    column("lat1, lon1", "array_like", "Geodetic latitude and longitude of the first point in radians.")
    + column("lat2, lon2", "array_like", "Geodetic latitude and longitude of the second point in radians;",
             "|lat| > pi/2 gives NaN.")
    + ELLIPSOID
)
SAME_BITS = LONG_INVALID + "A geodesic gives the same bits alone and in any array."

DIRECT = doc(
    "Where a geodesic of given start, azimuth and length ends (the direct problem).", DIRECT_PARAMETERS,
    column("lat2, lon2", "ndarray", "Geodetic latitude and longitude of the end in radians, lon2 in", "(-pi, pi].")
    + column("azi2", "ndarray", "Azimuth at the end, in the direction of travel, in radians in (-pi, pi]."),
    """Series in the third flattening to sixth order (Karney, "Algorithms for
geodesics", J. Geodesy 2013): within 20 nm on WGS84. The error grows about as
f^7 (on an ellipsoid of Earth's size 11 nm at f = 0.02, 1 mm at 0.1, 0.2 m at
0.2; docs/geodesics.md); for f > 0.2 every result is NaN. At a pole (lat1 =
+-pi/2 as a double) the azimuth is taken as at the limit along the meridian
lon1.

""" + SAME_BITS)

INVERSE = doc(
    "The shortest geodesic between two points: its length and azimuths (the inverse problem).",
    INVERSE_PARAMETERS,
    column("s12", "ndarray", "Length of the shortest geodesic in metres.")
    + column("azi1, azi2", "ndarray", "Azimuths of that geodesic at the first and at the second point, in the",
             "direction from 1 to 2, radians clockwise from north in (-pi, pi]."),
    """Newton's method on the auxiliary sphere with a bracket, from a great-circle
start or, for nearly antipodal points, the astroid's (Karney, "Algorithms
for geodesics", J. Geodesy 2013): within 20 nm on WGS84, distance and
azimuths times the reduced length. The error grows about as f^7 as for
geodesic_direct; for f > 0.2 every result is NaN. Where several geodesics
are shortest (antipodal points; points on the equator beyond (1 - f) pi
apart, whose shortest paths pass north and south of it) one of them is
returned: between antipodal points on the equator, the one over the north
pole. At a pole the azimuths are taken as at the limit along the meridian of
the given longitude.

""" + SAME_BITS)


def with_lengths(base, parameters, outputs, a12, m12):
    """A _lengths variant: its base's parameters and outputs, then a12 and m12."""
    return doc(
        f"{base}, and the arc length and reduced length of the geodesic.", parameters,
        column(outputs, "ndarray", f"As from {base}, bit for bit.") + column("a12", "ndarray", *a12)
        + column("m12", "ndarray", *m12),
        f"The two extra outputs cost a few series terms that {base} leaves\n"
        "out. All arguments broadcast. An invalid ellipsoid gives NaN and NumPy's\n"
        "'invalid value' floating-point error.")


DIRECT_IN = "lat1:rad lon1:rad azi1:rad s12:m Re:m f:1"
INVERSE_IN = "lat1:rad lon1:rad lat2:rad lon2:rad Re:m f:1"
LENGTHS = "a12:rad m12:m"

# name, kernel body, slot of the method table, columns (registry/columns.hpp), docstring
CONVERSIONS = [
    ("geodesic_direct", "GeodesicDirect", 0, f"{DIRECT_IN} -> lat2:rad lon2:rad azi2:rad", DIRECT),
    ("geodesic_inverse", "GeodesicInverse", 0, f"{INVERSE_IN} -> s12:m azi1:rad azi2:rad", INVERSE),
    ("geodesic_direct_lengths", "GeodesicDirectLengths", 0, f"{DIRECT_IN} -> lat2:rad lon2:rad azi2:rad {LENGTHS}",
     with_lengths("geodesic_direct", DIRECT_PARAMETERS, "lat2, lon2, azi2",
                  ("Arc length on the auxiliary sphere in radians (pi for half a circuit),", "of the sign of s12."),
                  ("Reduced length in metres: how far the end moves sideways per radian of",
                   "azi1; 0 at a conjugate point, negative beyond the first one."))),
    ("geodesic_inverse_lengths", "GeodesicInverseLengths", 0, f"{INVERSE_IN} -> s12:m azi1:rad azi2:rad {LENGTHS}",
     with_lengths("geodesic_inverse", INVERSE_PARAMETERS, "s12, azi1, azi2",
                  ("Arc length on the auxiliary sphere in radians, in [0, pi].",),
                  ("Reduced length in metres, >= 0 up to round-off on a shortest path: an",
                   "azimuth error d(azi1) moves the second point sideways by m12 d(azi1)."))),
]
