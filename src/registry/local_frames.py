"""Local frames: east-north-up, north-east-down and azimuth-elevation-range
coordinates of targets relative to a geodetic observer, both ways, between one
another, and the rotations of vectors between ECEF and a local frame."""

from docs import ELLIPSOID, LOCAL_NOTE, NEW_NOTE, RESULT_POSITIONS, column, doc

OBSERVER = column("lat0, lon0", "array_like", "Observer's geodetic latitude and longitude in radians.") + column(
    "alt0", "array_like", "Observer's height above the ellipsoid in metres.")
TARGET_POSITIONS = column("x, y, z", "array_like", "Target ECEF position components in metres.")
TARGET_LLA = column("lat, lon", "array_like", "Target geodetic latitude and longitude in radians.") + column(
    "alt", "array_like", "Target height above the ellipsoid in metres.")
RESULT_LLA = column("lat, lon", "ndarray", "Geodetic latitude and longitude in radians, the longitude in",
                    "[-pi, pi].") + column("alt", "ndarray", "Height above the ellipsoid in metres.")


def enu(role):
    return column("east, north, up", role, "Coordinates in metres along the observer's east, north and up",
                  "(surface normal) axes.")


def ned(role):
    return column("north, east, down", role, "Coordinates in metres along the observer's north, east and down",
                  "axes (down = -up).")


def aer(role):
    return (column("az", role, "Azimuth in radians clockwise from north, in [0, 2 pi).")
            + column("el", role, "Elevation in radians above the horizontal plane, in", "[-pi/2, pi/2].")
            + column("range", role, "Slant range (distance) in metres."))


def observed(summary, points, returns, remark):
    """A conversion with an observer: its points, the observer, the ellipsoid."""
    return doc(summary, points + OBSERVER + ELLIPSOID, returns, remark + NEW_NOTE)


def between(summary, points, returns, remark=""):
    """A conversion between local coordinates, which takes no observer."""
    return doc(summary, points, returns, remark + LOCAL_NOTE)


ORIGIN = "The origin has azimuth and elevation 0. "

# The rotations of vectors between ECEF and a local frame.
ROTATION_AT = column("lat0, lon0", "array_like", "Geodetic latitude and longitude of the local frame in radians.")
ROTATION_NOTE = "A rotation, without translation; the frame of a geodetic latitude\ndoes not depend on the ellipsoid. "


def ecef_vector(role):
    return column("u, v, w", role, "ECEF components of a vector (a velocity, a difference of",
                  "positions), in any unit.")


def axes(names, role):
    return column(names, role, "Components of the vector along the local axes, in its unit.")


def to_local(names, summary):
    return between(summary, ecef_vector("array_like") + ROTATION_AT, axes(names, "ndarray"), ROTATION_NOTE)


def from_local(names, summary):
    return between(summary, axes(names, "array_like") + ROTATION_AT, ecef_vector("ndarray"), ROTATION_NOTE)


LOOK_AT_SPHEROID = f"""Where lines of sight from geodetic observers first meet the ellipsoid.

Parameters
----------
{OBSERVER}{column("az", "array_like", "Azimuth of the line of sight in radians, clockwise from north.")
}tilt : array_like
    Angle of the line of sight from the nadir in radians (0: straight
    down, pi/2: horizontal).
{ELLIPSOID}
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
{NEW_NOTE}"""

AT_OBSERVER = "lat0:rad lon0:rad alt0:m Re:m f:1"
ENU_M, NED_M, AER_M = "east:m north:m up:m", "north:m east:m down:m", "az:rad el:rad range:m"
POS_M, LLA_M = "x:m y:m z:m", "lat:rad lon:rad alt:m"
ENU_V, NED_V, ECEF_V = "east:any north:any up:any", "north:any east:any down:any", "u:any v:any w:any"

# The east-north-up and north-east-down coordinates of ECEF positions and of
# geodetic points relative to an observer, and back: per frame its columns, its
# docstring entry and its title; per target its columns, its entries as
# parameters and as results, and its titles as such.
FRAMES = [("enu", ENU_M, enu, "East, north, up"), ("ned", NED_M, ned, "North, east, down")]
TARGETS = [
    ("pos", POS_M, TARGET_POSITIONS, RESULT_POSITIONS, "ECEF positions", "ECEF positions"),
    ("lla", LLA_M, TARGET_LLA, RESULT_LLA, "geodetic points", "Geodetic coordinates"),
]
RELATIVE_REMARKS = {
    "enu_from_pos": "The target minus the observer's position, dotted with the observer's\n"
    "east, north and up unit vectors (those of aer_coords). ",
    "pos_from_enu": "The inverse of enu_from_pos. ",
    "ned_from_pos": "enu_from_pos with the axes swapped. ",
    "pos_from_ned": "The inverse of ned_from_pos. ",
    "enu_from_lla": "enu_from_pos of the target's pos_from_lla. ",
    "lla_from_enu": "lla_from_pos of pos_from_enu. ",
    "ned_from_lla": "ned_from_pos of the target's pos_from_lla. ",
    "lla_from_ned": "lla_from_pos of pos_from_ned. ",
}


# The forms of a target's coordinates in src/core/kernels/local_frame_lanes.hpp.
FORMS = {"pos": "PosForm", "lla": "LlaForm", "enu": "EnuForm", "ned": "NedForm", "aer": "AerForm",
         "ecef_vector": "EcefVectorForm"}


def entry(name, wrapper, columns, docstring):
    """The entry of <to>_from_<from>, whose body is Between its two forms: Seen where
    one is relative to a geodetic observer, Rotated where one is a vector rotated at
    a latitude and longitude, Between itself where neither needs an observer."""
    to, source = name.split("_from_")
    return (name, f"{wrapper}<{FORMS[source]}, {FORMS[to]}>", 0, columns, docstring)


def relative(name, summary, points, returns, columns):
    doc = observed(f"{summary} relative to a geodetic observer.", points, returns, RELATIVE_REMARKS[name])
    return entry(name, "Seen", columns, doc)


RELATIVE = [
    conversion
    for target, target_m, target_in, target_out, points, coordinates in TARGETS
    for frame, frame_m, frame_doc, title in FRAMES
    for conversion in (
        relative(f"{frame}_from_{target}", f"{title} coordinates of {points}", target_in, frame_doc("ndarray"),
                 f"{target_m} {AT_OBSERVER} -> {frame_m}"),
        relative(f"{target}_from_{frame}", f"{coordinates} of {title.lower()} coordinates",
                 frame_doc("array_like"), target_out, f"{frame_m} {AT_OBSERVER} -> {target_m}"),
    )
]

# name, kernel body, slot of the method table, columns (registry/columns.hpp), docstring
CONVERSIONS = [
    *RELATIVE,
    entry("aer_from_lla", "Seen", f"{LLA_M} {AT_OBSERVER} -> {AER_M}", observed(
        "Azimuth, elevation and range of geodetic points seen from a geodetic observer.",
        TARGET_LLA, aer("ndarray"), "aer_from_pos of the target's pos_from_lla; a target at the observer has\n"
        "azimuth and elevation 0. ")),
    entry("lla_from_aer", "Seen", f"{AER_M} {AT_OBSERVER} -> {LLA_M}", observed(
        "Geodetic coordinates of points at given azimuth, elevation and range from a\ngeodetic observer.",
        aer("array_like"), RESULT_LLA, "lla_from_pos of pos_from_aer. ")),
    entry("pos_from_aer", "Seen", f"{AER_M} {AT_OBSERVER} -> {POS_M}", observed(
        "ECEF positions of points at given azimuth, elevation and range from a geodetic\nobserver.",
        aer("array_like"), RESULT_POSITIONS, "pos_from_enu of enu_from_aer. ")),
    entry("aer_from_pos", "Seen", f"{POS_M} {AT_OBSERVER} -> {AER_M}", observed(
        "Azimuth, elevation and range of ECEF positions seen from a geodetic observer.",
        TARGET_POSITIONS, aer("ndarray"),
        "As aer_coords, with the azimuth in [0, 2 pi) (aer_coords' plus 2 pi where\n"
        "that is negative) and the same range, bit for bit; the elevation is\n"
        "atan2(up, hypot(east, north)), which stays accurate at the zenith where\n"
        "aer_coords' asin(up / range) loses digits. A target at the observer has\n"
        "azimuth and elevation 0. ")),
    entry("aer_from_enu", "Between", f"{ENU_M} -> {AER_M}", between(
        "Azimuth, elevation and range of east, north, up coordinates.", enu("array_like"), aer("ndarray"),
        ORIGIN)),
    entry("enu_from_aer", "Between", f"{AER_M} -> {ENU_M}", between(
        "East, north, up coordinates of azimuth, elevation and range.", aer("array_like"), enu("ndarray"))),
    entry("aer_from_ned", "Between", f"{NED_M} -> {AER_M}", between(
        "Azimuth, elevation and range of north, east, down coordinates.", ned("array_like"), aer("ndarray"),
        ORIGIN)),
    entry("ned_from_aer", "Between", f"{AER_M} -> {NED_M}", between(
        "North, east, down coordinates of azimuth, elevation and range.", aer("array_like"), ned("ndarray"))),
    entry("enu_from_ecef_vector", "Rotated", f"{ECEF_V} lat0:rad lon0:rad -> {ENU_V}", to_local(
        "east, north, up", "East, north, up components of ECEF vectors at a geodetic latitude and longitude.")),
    entry("ecef_vector_from_enu", "Rotated", f"{ENU_V} lat0:rad lon0:rad -> {ECEF_V}", from_local(
        "east, north, up", "ECEF components of vectors given by east, north, up components.")),
    entry("ned_from_ecef_vector", "Rotated", f"{ECEF_V} lat0:rad lon0:rad -> {NED_V}", to_local(
        "north, east, down", "North, east, down components of ECEF vectors at a geodetic latitude and longitude.")),
    entry("ecef_vector_from_ned", "Rotated", f"{NED_V} lat0:rad lon0:rad -> {ECEF_V}", from_local(
        "north, east, down", "ECEF components of vectors given by north, east, down components.")),
    ("look_at_spheroid", "LookAtSpheroid", 0, "lat0:rad lon0:rad alt0:m az:rad tilt:rad Re:m f:1 -> lat:rad lon:rad range:m",
     LOOK_AT_SPHEROID),
]
