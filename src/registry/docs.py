"""The sections that the conversions' docstrings share (numpydoc, one entry per
column), and the functions that put a docstring together from them."""

ELLIPSOID = "Re, f : array_like\n    Equatorial radius in metres and flattening of the ellipsoid.\n"

# The closing paragraphs: the methods' ufuncs promise their method's bits, the
# newer families say what a NaN input does.
LOCAL_NOTE = "All arguments broadcast; a NaN input gives NaN results."
NEW_NOTE = (
    "All arguments broadcast; a NaN input gives NaN results. An invalid\n"
    "ellipsoid gives NaN and NumPy's 'invalid value' floating-point error."
)
LATITUDE_NOTE = (
    "All arguments broadcast; a NaN input gives NaN. An invalid ellipsoid\n"
    "gives NaN and NumPy's 'invalid value' floating-point error."
)
LONG_INVALID = (
    "All arguments broadcast. An invalid ellipsoid (Re not finite and > 0, or f\n"
    "not in [0, 1)) gives NaN and NumPy's 'invalid value' floating-point error.\n"
)


def same_as_method(method):
    return (
        "All arguments broadcast. An invalid ellipsoid gives NaN and NumPy's\n"
        "'invalid value' floating-point error. The values are those of\n"
        f"Ellipsoid(Re, f).{method}, bit for bit."
    )


def column(names, role, *lines):
    """One numpydoc entry: `names : role`, then its description indented."""
    return f"{names} : {role}\n" + "".join(f"    {line}\n" for line in lines)


def sections(parameters, returns):
    return f"Parameters\n----------\n{parameters}\nReturns\n-------\n{returns}\n"


def doc(summary, parameters, returns, remarks):
    return f"{summary}\n\n{sections(parameters, returns)}{remarks}"


# Positions and points, as parameters and as results.
POSITIONS = column("x, y, z", "array_like", "ECEF position components in metres.")
RESULT_POSITIONS = column("x, y, z", "ndarray", "ECEF position components in metres.")
SURFACE_POINTS = column("lat, lon", "array_like", "Geodetic latitude and longitude in radians.")
