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


_geodetic2ecef = _conversion("geodetic2ecef")
_ecef2geodetic = _conversion("ecef2geodetic")
_geodetic2enu = _conversion("geodetic2enu")
_enu2geodetic = _conversion("enu2geodetic")
_ecef2enu = _conversion("ecef2enu")
_enu2ecef = _conversion("enu2ecef")
_geodetic2ned = _conversion("geodetic2ned")
_ned2geodetic = _conversion("ned2geodetic")
_ecef2ned = _conversion("ecef2ned")
_ned2ecef = _conversion("ned2ecef")
_geodetic2aer = _conversion("geodetic2aer")
_aer2geodetic = _conversion("aer2geodetic")
_ecef2aer = _conversion("ecef2aer")
_aer2ecef = _conversion("aer2ecef")
_enu2aer = _conversion("enu2aer")
_aer2enu = _conversion("aer2enu")
_ned2aer = _conversion("ned2aer")
_aer2ned = _conversion("aer2ned")
_ecef2enuv = _conversion("ecef2enuv")
_enu2ecefv = _conversion("enu2ecefv")
_ecef2nedv = _conversion("ecef2nedv")
_enu2uvw = _conversion("enu2uvw")
_uvw2enu = _conversion("uvw2enu")
_lookAtSpheroid = _conversion("lookAtSpheroid")
_geodetic2spherical = _conversion("geodetic2spherical")
_spherical2geodetic = _conversion("spherical2geodetic")
_geodetic2geocentric = _conversion("geodetic2geocentric")
_geocentric2geodetic = _conversion("geocentric2geodetic")
_geod2geoc = _conversion("geod2geoc")
_geoc2geod = _conversion("geoc2geod")
_geodetic2parametric = _conversion("geodetic2parametric")
_parametric2geodetic = _conversion("parametric2geodetic")
_geodetic2isometric = _conversion("geodetic2isometric")
_isometric2geodetic = _conversion("isometric2geodetic")
_geodetic2rectifying = _conversion("geodetic2rectifying")
_rectifying2geodetic = _conversion("rectifying2geodetic")
_geodetic2authalic = _conversion("geodetic2authalic")
_authalic2geodetic = _conversion("authalic2geodetic")
_geodetic2conformal = _conversion("geodetic2conformal")
_conformal2geodetic = _conversion("conformal2geodetic")
_meridian = _conversion("meridian")
_transverse = _conversion("transverse")
_parallel = _conversion("parallel")
_geocentric_radius = _conversion("geocentric_radius")


def geodetic2ecef(lat, lon, alt, ell=None, deg=True):
    """ECEF position of geodetic coordinates.

    Returns x, y, z (metres); angles in degrees, or radians with deg=False.
    """
    return _geodetic2ecef(lat, lon, alt, ell, deg)

def ecef2geodetic(x, y, z, ell=None, deg=True):
    """Geodetic coordinates of an ECEF position.

    Returns lat, lon, alt; angles in degrees, or radians with deg=False.
    """
    return _ecef2geodetic(x, y, z, ell, deg)

def geodetic2enu(lat, lon, h, lat0, lon0, h0, ell=None, deg=True):
    """East, north, up of a target (lat, lon, h) seen from the observer (lat0, lon0, h0).

    Returns e, n, u (metres); angles in degrees, or radians with deg=False.
    """
    return _geodetic2enu(lat, lon, h, lat0, lon0, h0, ell, deg)

def enu2geodetic(e, n, u, lat0, lon0, h0, ell=None, deg=True):
    """Geodetic coordinates of the target at east, north, up from the observer.

    Returns lat, lon, alt; angles in degrees, or radians with deg=False.
    """
    return _enu2geodetic(e, n, u, lat0, lon0, h0, ell, deg)

def ecef2enu(x, y, z, lat0, lon0, h0, ell=None, deg=True):
    """East, north, up of an ECEF target seen from the observer.

    Returns e, n, u (metres); angles in degrees, or radians with deg=False.
    """
    return _ecef2enu(x, y, z, lat0, lon0, h0, ell, deg)

def enu2ecef(e1, n1, u1, lat0, lon0, h0, ell=None, deg=True):
    """ECEF position of the target at east, north, up from the observer.

    Returns x, y, z (metres); angles in degrees, or radians with deg=False.
    """
    return _enu2ecef(e1, n1, u1, lat0, lon0, h0, ell, deg)

def geodetic2ned(lat, lon, h, lat0, lon0, h0, ell=None, deg=True):
    """North, east, down of a target (lat, lon, h) seen from the observer.

    Returns n, e, d (metres); angles in degrees, or radians with deg=False.
    """
    return _geodetic2ned(lat, lon, h, lat0, lon0, h0, ell, deg)

def ned2geodetic(n, e, d, lat0, lon0, h0, ell=None, deg=True):
    """Geodetic coordinates of the target at north, east, down from the observer.

    Returns lat, lon, alt; angles in degrees, or radians with deg=False.
    """
    return _ned2geodetic(n, e, d, lat0, lon0, h0, ell, deg)

def ecef2ned(x, y, z, lat0, lon0, h0, ell=None, deg=True):
    """North, east, down of an ECEF target seen from the observer.

    Returns n, e, d (metres); angles in degrees, or radians with deg=False.
    """
    return _ecef2ned(x, y, z, lat0, lon0, h0, ell, deg)

def ned2ecef(n, e, d, lat0, lon0, h0, ell=None, deg=True):
    """ECEF position of the target at north, east, down from the observer.

    Returns x, y, z (metres); angles in degrees, or radians with deg=False.
    """
    return _ned2ecef(n, e, d, lat0, lon0, h0, ell, deg)

def geodetic2aer(lat, lon, h, lat0, lon0, h0, ell=None, deg=True):
    """Azimuth, elevation and slant range of a target (lat, lon, h) seen from the observer.

    Returns az in [0, 360), el, srange; angles in degrees, or radians with deg=False.
    """
    return _geodetic2aer(lat, lon, h, lat0, lon0, h0, ell, deg)

def aer2geodetic(az, el, srange, lat0, lon0, h0, ell=None, deg=True):
    """Geodetic coordinates of the target at azimuth, elevation and slant range (srange >= 0) from the observer.

    Returns lat, lon, alt; angles in degrees, or radians with deg=False.
    """
    return _aer2geodetic(az, el, srange, lat0, lon0, h0, ell, deg)

def ecef2aer(x, y, z, lat0, lon0, h0, ell=None, deg=True):
    """Azimuth, elevation and slant range of an ECEF target seen from the observer.

    Returns az in [0, 360), el, srange; angles in degrees, or radians with deg=False.
    """
    return _ecef2aer(x, y, z, lat0, lon0, h0, ell, deg)

def aer2ecef(az, el, srange, lat0, lon0, alt0, ell=None, deg=True):
    """ECEF position of the target at azimuth, elevation and slant range (srange >= 0) from the observer.

    Returns x, y, z (metres); angles in degrees, or radians with deg=False.
    """
    return _aer2ecef(az, el, srange, lat0, lon0, alt0, ell, deg)

def enu2aer(e, n, u, deg=True):
    """Azimuth, elevation and slant range of east, north, up.

    Returns az in [0, 360), el, srange; angles in degrees, or radians with deg=False.
    """
    return _enu2aer(e, n, u, None, deg)

def aer2enu(az, el, srange, deg=True):
    """East, north, up of azimuth, elevation and slant range (srange >= 0).

    Returns e, n, u (metres); angles in degrees, or radians with deg=False.
    """
    return _aer2enu(az, el, srange, None, deg)

def ned2aer(n, e, d, deg=True):
    """Azimuth, elevation and slant range of north, east, down.

    Returns az in [0, 360), elev, slantRange; angles in degrees, or radians with deg=False.
    """
    return _ned2aer(n, e, d, None, deg)

def aer2ned(az, elev, slantRange, deg=True):
    """North, east, down of azimuth, elevation and slant range (slantRange >= 0).

    Returns n, e, d (metres); angles in degrees, or radians with deg=False.
    """
    return _aer2ned(az, elev, slantRange, None, deg)

def ecef2enuv(u, v, w, lat0, lon0, deg=True):
    """A vector (velocity, difference) rotated from ECEF axes to east, north, up at (lat0, lon0); no translation.

    Returns east, north, up; angles in degrees, or radians with deg=False.
    """
    return _ecef2enuv(u, v, w, lat0, lon0, None, deg)

def enu2ecefv(e, n, u, lat0, lon0, deg=True):
    """A vector rotated from east, north, up at (lat0, lon0) to ECEF axes; no translation.

    Returns u, v, w; angles in degrees, or radians with deg=False.
    """
    return _enu2ecefv(e, n, u, lat0, lon0, None, deg)

def ecef2nedv(x, y, z, lat0, lon0, deg=True):
    """A vector rotated from ECEF axes to north, east, down at (lat0, lon0); no translation.

    Returns north, east, down; angles in degrees, or radians with deg=False.
    """
    return _ecef2nedv(x, y, z, lat0, lon0, None, deg)

def enu2uvw(east, north, up, lat0, lon0, deg=True):
    """A vector rotated from east, north, up at (lat0, lon0) to ECEF axes (as enu2ecefv).

    Returns u, v, w; angles in degrees, or radians with deg=False.
    """
    return _enu2uvw(east, north, up, lat0, lon0, None, deg)

def uvw2enu(u, v, w, lat0, lon0, deg=True):
    """A vector rotated from ECEF axes to east, north, up at (lat0, lon0) (as ecef2enuv).

    Returns east, north, up; angles in degrees, or radians with deg=False.
    """
    return _uvw2enu(u, v, w, lat0, lon0, None, deg)

def lookAtSpheroid(lat0, lon0, h0, az, tilt, ell=None, deg=True):
    """Where the line of sight from the observer (h0 >= 0), at azimuth az clockwise from north and tilt from nadir (0 = straight down), first meets the ellipsoid.

    Returns lat, lon, d (slant range); NaN where the line of sight misses; angles in degrees, or radians with deg=False.
    """
    return _lookAtSpheroid(lat0, lon0, h0, az, tilt, ell, deg)

def geodetic2spherical(lat, lon, alt, ell=None, deg=True):
    """Geocentric spherical coordinates of geodetic coordinates.

    Returns lat (geocentric), lon, radius (distance from the centre); angles in degrees, or radians with deg=False.
    """
    return _geodetic2spherical(lat, lon, alt, ell, deg)

def spherical2geodetic(lat, lon, radius, ell=None, deg=True):
    """Geodetic coordinates of geocentric spherical coordinates.

    Returns lat, lon, alt; angles in degrees, or radians with deg=False.
    """
    return _spherical2geodetic(lat, lon, radius, ell, deg)

def geodetic2geocentric(geodetic_lat, alt_m, ell=None, deg=True):
    """Geocentric latitude of the point at geodetic latitude and altitude alt_m.

    Returns geocentric latitude; angles in degrees, or radians with deg=False.
    """
    return _geodetic2geocentric(geodetic_lat, alt_m, ell, deg)

def geocentric2geodetic(geocentric_lat, alt_m, ell=None, deg=True):
    """Geodetic latitude of the point at geocentric latitude and altitude alt_m above the ellipsoid.

    Returns geodetic latitude; angles in degrees, or radians with deg=False.
    """
    return _geocentric2geodetic(geocentric_lat, alt_m, ell, deg)

def geod2geoc(geodetic_lat, alt_m, ell=None, deg=True):
    """Geocentric latitude of the point at geodetic latitude and altitude alt_m (as geodetic2geocentric).

    Returns geocentric latitude; angles in degrees, or radians with deg=False.
    """
    return _geod2geoc(geodetic_lat, alt_m, ell, deg)

def geoc2geod(geocentric_lat, geocentric_distance, ell=None, deg=True):
    """Geodetic latitude of the point at geocentric latitude and distance from the centre (metres, not altitude).

    Returns geodetic latitude; angles in degrees, or radians with deg=False.
    """
    return _geoc2geod(geocentric_lat, geocentric_distance, ell, deg)

def geodetic2parametric(geodetic_lat, ell=None, deg=True):
    """Parametric (reduced) latitude.

    Returns parametric latitude; angles in degrees, or radians with deg=False.
    """
    return _geodetic2parametric(geodetic_lat, ell, deg)

def parametric2geodetic(parametric_lat, ell=None, deg=True):
    """Geodetic latitude of a parametric (reduced) latitude.

    Returns geodetic latitude; angles in degrees, or radians with deg=False.
    """
    return _parametric2geodetic(parametric_lat, ell, deg)

def geodetic2isometric(geodetic_lat, ell=None, deg=True):
    """Isometric latitude (infinite at the poles).

    Returns isometric latitude; angles in degrees, or radians with deg=False.
    """
    return _geodetic2isometric(geodetic_lat, ell, deg)

def isometric2geodetic(isometric_lat, ell=None, deg=True):
    """Geodetic latitude of an isometric latitude.

    Returns geodetic latitude; angles in degrees, or radians with deg=False.
    """
    return _isometric2geodetic(isometric_lat, ell, deg)

def geodetic2rectifying(geodetic_lat, ell=None, deg=True):
    """Rectifying latitude.

    Returns rectifying latitude; angles in degrees, or radians with deg=False.
    """
    return _geodetic2rectifying(geodetic_lat, ell, deg)

def rectifying2geodetic(rectifying_lat, ell=None, deg=True):
    """Geodetic latitude of a rectifying latitude.

    Returns geodetic latitude; angles in degrees, or radians with deg=False.
    """
    return _rectifying2geodetic(rectifying_lat, ell, deg)

def geodetic2authalic(geodetic_lat, ell=None, deg=True):
    """Authalic latitude.

    Returns authalic latitude; angles in degrees, or radians with deg=False.
    """
    return _geodetic2authalic(geodetic_lat, ell, deg)

def authalic2geodetic(authalic_lat, ell=None, deg=True):
    """Geodetic latitude of an authalic latitude.

    Returns geodetic latitude; angles in degrees, or radians with deg=False.
    """
    return _authalic2geodetic(authalic_lat, ell, deg)

def geodetic2conformal(geodetic_lat, ell=None, deg=True):
    """Conformal latitude.

    Returns conformal latitude; angles in degrees, or radians with deg=False.
    """
    return _geodetic2conformal(geodetic_lat, ell, deg)

def conformal2geodetic(conformal_lat, ell=None, deg=True):
    """Geodetic latitude of a conformal latitude.

    Returns geodetic latitude; angles in degrees, or radians with deg=False.
    """
    return _conformal2geodetic(conformal_lat, ell, deg)

def meridian(lat, ell=None, deg=True):
    """Radius of curvature in the meridian (M) at geodetic latitude lat.

    Returns radius (metres); angles in degrees, or radians with deg=False.
    """
    return _meridian(lat, ell, deg)

def transverse(lat, ell=None, deg=True):
    """Radius of curvature in the prime vertical (N) at geodetic latitude lat.

    Returns radius (metres); angles in degrees, or radians with deg=False.
    """
    return _transverse(lat, ell, deg)

def parallel(lat, ell=None, deg=True):
    """Radius of the parallel (N cos(lat)) at geodetic latitude lat.

    Returns radius (metres); angles in degrees, or radians with deg=False.
    """
    return _parallel(lat, ell, deg)

def geocentric_radius(geodetic_lat, ell=None, deg=True):
    """Distance from the centre to the surface point at geodetic latitude.

    Returns radius (metres); angles in degrees, or radians with deg=False.
    """
    return _geocentric_radius(geodetic_lat, ell, deg)
