"""The conversions of quorvane.geo, each a thin function over a Conversion: Python
numbers are converted in the Conversion itself, through the float64 loop of
the ufunc; anything else goes to the array path (quorvane/geo/_arrays.py).

Arguments, their order, defaults and conventions are pymap3d's: degrees unless
deg=False, WGS84 unless ell is given.
"""

from quorvane.geo import _arrays
from quorvane.geo._models import WGS84, params_of
from quorvane.geo._plans import PLANS
from quorvane.geo._point import Conversion


def _conversion(name):
    return Conversion(PLANS[name], _arrays.run, params_of, *WGS84._params)


def _define(name, summary, returns):
    """The function `name`, compiled from source so that it has pymap3d's signature
    (arguments by name, defaults) and calls its Conversion with no more work than a
    hand-written wrapper. Its arguments are its plan's (quorvane/geo/_plans.py), then
    ell where the ufunc takes an ellipsoid, then deg; its docstring says what it
    computes and what it returns."""
    plan = PLANS[name]
    points = ", ".join(plan.names)
    ell_parameter, ell = (", ell=None", "ell") if plan.with_ellipsoid else ("", "None")
    source = f"def {name}({points}{ell_parameter}, deg=True):\n    return _convert({points}, {ell}, deg)\n"
    namespace = {"__name__": __name__, "_convert": _conversion(name)}
    exec(compile(source, f"<{__name__}.{name}>", "exec"), namespace)
    function = namespace[name]
    function.__doc__ = f"{summary}\n\n    Returns {returns}; angles in degrees, or radians with deg=False.\n    "
    return function


geodetic2ecef = _define("geodetic2ecef", "ECEF position of geodetic coordinates.",
                        "x, y, z (metres)")
ecef2geodetic = _define("ecef2geodetic", "Geodetic coordinates of an ECEF position.",
                        "lat, lon, alt")
geodetic2enu = _define("geodetic2enu", "East, north, up of a target (lat, lon, h) seen from the observer (lat0, lon0, h0).",
                       "e, n, u (metres)")
enu2geodetic = _define("enu2geodetic", "Geodetic coordinates of the target at east, north, up from the observer.",
                       "lat, lon, alt")
ecef2enu = _define("ecef2enu", "East, north, up of an ECEF target seen from the observer.",
                   "e, n, u (metres)")
enu2ecef = _define("enu2ecef", "ECEF position of the target at east, north, up from the observer.",
                   "x, y, z (metres)")
geodetic2ned = _define("geodetic2ned", "North, east, down of a target (lat, lon, h) seen from the observer.",
                       "n, e, d (metres)")
ned2geodetic = _define("ned2geodetic", "Geodetic coordinates of the target at north, east, down from the observer.",
                       "lat, lon, alt")
ecef2ned = _define("ecef2ned", "North, east, down of an ECEF target seen from the observer.",
                   "n, e, d (metres)")
ned2ecef = _define("ned2ecef", "ECEF position of the target at north, east, down from the observer.",
                   "x, y, z (metres)")
geodetic2aer = _define("geodetic2aer", "Azimuth, elevation and slant range of a target (lat, lon, h) seen from the observer.",
                       "az in [0, 360), el, srange")
aer2geodetic = _define("aer2geodetic", "Geodetic coordinates of the target at azimuth, elevation and slant range (srange >= 0) from the observer.",
                       "lat, lon, alt")
ecef2aer = _define("ecef2aer", "Azimuth, elevation and slant range of an ECEF target seen from the observer.",
                   "az in [0, 360), el, srange")
aer2ecef = _define("aer2ecef", "ECEF position of the target at azimuth, elevation and slant range (srange >= 0) from the observer.",
                   "x, y, z (metres)")
enu2aer = _define("enu2aer", "Azimuth, elevation and slant range of east, north, up.",
                  "az in [0, 360), el, srange")
aer2enu = _define("aer2enu", "East, north, up of azimuth, elevation and slant range (srange >= 0).",
                  "e, n, u (metres)")
ned2aer = _define("ned2aer", "Azimuth, elevation and slant range of north, east, down.",
                  "az in [0, 360), elev, slantRange")
aer2ned = _define("aer2ned", "North, east, down of azimuth, elevation and slant range (slantRange >= 0).",
                  "n, e, d (metres)")
ecef2enuv = _define("ecef2enuv", "A vector (velocity, difference) rotated from ECEF axes to east, north, up at (lat0, lon0); no translation.",
                    "east, north, up")
enu2ecefv = _define("enu2ecefv", "A vector rotated from east, north, up at (lat0, lon0) to ECEF axes; no translation.",
                    "u, v, w")
ecef2nedv = _define("ecef2nedv", "A vector rotated from ECEF axes to north, east, down at (lat0, lon0); no translation.",
                    "north, east, down")
enu2uvw = _define("enu2uvw", "A vector rotated from east, north, up at (lat0, lon0) to ECEF axes (as enu2ecefv).",
                  "u, v, w")
uvw2enu = _define("uvw2enu", "A vector rotated from ECEF axes to east, north, up at (lat0, lon0) (as ecef2enuv).",
                  "east, north, up")
lookAtSpheroid = _define("lookAtSpheroid", "Where the line of sight from the observer (h0 >= 0), at azimuth az clockwise from north and tilt from nadir (0 = straight down), first meets the ellipsoid.",
                         "lat, lon, d (slant range); NaN where the line of sight misses")
geodetic2spherical = _define("geodetic2spherical", "Geocentric spherical coordinates of geodetic coordinates.",
                             "lat (geocentric), lon, radius (distance from the centre)")
spherical2geodetic = _define("spherical2geodetic", "Geodetic coordinates of geocentric spherical coordinates.",
                             "lat, lon, alt")
geodetic2geocentric = _define("geodetic2geocentric", "Geocentric latitude of the point at geodetic latitude and altitude alt_m.",
                              "geocentric latitude")
geocentric2geodetic = _define("geocentric2geodetic", "Geodetic latitude of the point at geocentric latitude and altitude alt_m above the ellipsoid.",
                              "geodetic latitude")
geod2geoc = _define("geod2geoc", "Geocentric latitude of the point at geodetic latitude and altitude alt_m (as geodetic2geocentric).",
                    "geocentric latitude")
geoc2geod = _define("geoc2geod", "Geodetic latitude of the point at geocentric latitude and distance from the centre (metres, not altitude).",
                    "geodetic latitude")
geodetic2parametric = _define("geodetic2parametric", "Parametric (reduced) latitude.",
                              "parametric latitude")
parametric2geodetic = _define("parametric2geodetic", "Geodetic latitude of a parametric (reduced) latitude.",
                              "geodetic latitude")
geodetic2isometric = _define("geodetic2isometric", "Isometric latitude (infinite at the poles).",
                             "isometric latitude")
isometric2geodetic = _define("isometric2geodetic", "Geodetic latitude of an isometric latitude.",
                             "geodetic latitude")
geodetic2rectifying = _define("geodetic2rectifying", "Rectifying latitude.",
                              "rectifying latitude")
rectifying2geodetic = _define("rectifying2geodetic", "Geodetic latitude of a rectifying latitude.",
                              "geodetic latitude")
geodetic2authalic = _define("geodetic2authalic", "Authalic latitude.",
                            "authalic latitude")
authalic2geodetic = _define("authalic2geodetic", "Geodetic latitude of an authalic latitude.",
                            "geodetic latitude")
geodetic2conformal = _define("geodetic2conformal", "Conformal latitude.",
                             "conformal latitude")
conformal2geodetic = _define("conformal2geodetic", "Geodetic latitude of a conformal latitude.",
                             "geodetic latitude")
meridian = _define("meridian", "Radius of curvature in the meridian (M) at geodetic latitude lat.",
                   "radius (metres)")
transverse = _define("transverse", "Radius of curvature in the prime vertical (N) at geodetic latitude lat.",
                     "radius (metres)")
parallel = _define("parallel", "Radius of the parallel (N cos(lat)) at geodetic latitude lat.",
                   "radius (metres)")
geocentric_radius = _define("geocentric_radius", "Distance from the centre to the surface point at geodetic latitude.",
                            "radius (metres)")
