"""Compositions of the existing ufuncs (and NumPy) for the conversions whose own
ufuncs the module does not have yet, in the ufuncs' convention: radians and
metres, Re and f trailing."""

import numpy as np

from quorvane.mathtools.ellipsoid import ufuncs

TWO_PI = 2 * np.pi


class _Kernel:
    def __init__(self, function, nout):
        self.function = function
        self.nout = nout

    def __call__(self, *args):
        return self.function(*args)


def _frame(lat0, lon0):
    sp, cp, sl, cl = np.sin(lat0), np.cos(lat0), np.sin(lon0), np.cos(lon0)
    return (-sl, cl, 0.0), (-sp * cl, -sp * sl, cp), (cp * cl, cp * sl, sp)


def enu_from_ecef_vector(u, v, w, lat0, lon0):
    return tuple(a[0] * u + a[1] * v + a[2] * w for a in _frame(lat0, lon0))


def ecef_vector_from_enu(east, north, up, lat0, lon0):
    e, n, u = _frame(lat0, lon0)
    return tuple(east * e[i] + north * n[i] + up * u[i] for i in range(3))


def ned_from_ecef_vector(u, v, w, lat0, lon0):
    east, north, up = enu_from_ecef_vector(u, v, w, lat0, lon0)
    return north, east, -up


def enu_from_pos(x, y, z, lat0, lon0, alt0, Re, f):
    x0, y0, z0 = ufuncs.pos_from_lla(lat0, lon0, alt0, Re, f)
    return enu_from_ecef_vector(x - x0, y - y0, z - z0, lat0, lon0)


def pos_from_enu(east, north, up, lat0, lon0, alt0, Re, f):
    x0, y0, z0 = ufuncs.pos_from_lla(lat0, lon0, alt0, Re, f)
    u, v, w = ecef_vector_from_enu(east, north, up, lat0, lon0)
    return x0 + u, y0 + v, z0 + w


def aer_from_enu(east, north, up):
    horizontal = np.hypot(east, north)
    az = np.arctan2(east, north)
    az = np.where(az < 0, az + TWO_PI, az)
    az = np.where(az >= TWO_PI, 0.0, az)
    return az, np.arctan2(up, horizontal), np.hypot(horizontal, up)


def enu_from_aer(az, el, srange):
    horizontal = srange * np.cos(el)
    return horizontal * np.sin(az), horizontal * np.cos(az), srange * np.sin(el)


def _ned(enu):
    east, north, up = enu
    return north, east, -up


def look_at_spheroid(lat0, lon0, alt0, az, tilt, Re, f):
    e, n, u = enu_from_aer(az, tilt - np.pi / 2, 1.0)
    du, dv, dw = ecef_vector_from_enu(e, n, u, lat0, lon0)
    x0, y0, z0 = ufuncs.pos_from_lla(lat0, lon0, alt0, Re, f)
    x, y, z = ufuncs.surf_pos_of_ray_first_intersection(x0, y0, z0, du, dv, dw, Re, f)
    along = (x - x0) * du + (y - y0) * dv + (z - z0) * dw
    lat, lon, _ = ufuncs.lla_from_pos(x, y, z, Re, f)
    miss = ~(along >= 0)
    return (np.where(miss, np.nan, lat), np.where(miss, np.nan, lon),
            np.where(miss, np.nan, np.sqrt((x - x0) ** 2 + (y - y0) ** 2 + (z - z0) ** 2)))


def spherical_from_lla(lat, lon, alt, Re, f):
    x, y, z = ufuncs.pos_from_lla(lat, lon, alt, Re, f)
    return np.arctan2(z, np.hypot(x, y)), np.arctan2(y, x), np.sqrt(x * x + y * y + z * z)


def lla_from_spherical(lat, lon, radius, Re, f):
    c = radius * np.cos(lat)
    return ufuncs.lla_from_pos(c * np.cos(lon), c * np.sin(lon), radius * np.sin(lat), Re, f)


def geocentric_lat_from_geodetic_lat(lat, alt, Re, f):
    x, _, z = ufuncs.pos_from_lla(lat, 0.0, alt, Re, f)
    return np.arctan2(z, x)


def geodetic_lat_from_geocentric_lat(lat_c, alt, Re, f):
    e2 = f * (2 - f)
    lat = lat_c
    for _ in range(30):
        n = Re / np.sqrt(1 - e2 * np.sin(lat) ** 2)
        lat = np.arctan2(np.sin(lat_c) * (n + alt), np.cos(lat_c) * (n * (1 - e2) + alt))
    return lat


def _e(f):
    return np.sqrt(f * (2 - f))


def isometric_lat_from_geodetic_lat(lat, Re, f):
    e = _e(f)
    return np.arcsinh(np.tan(lat)) - e * np.arctanh(e * np.sin(lat))


def geodetic_lat_from_isometric_lat(psi, Re, f):
    e = _e(f)
    lat = np.arctan(np.sinh(psi))
    for _ in range(30):
        lat = np.arctan(np.sinh(psi + e * np.arctanh(e * np.sin(lat))))
    return lat


def conformal_lat_from_geodetic_lat(lat, Re, f):
    return np.arctan(np.sinh(isometric_lat_from_geodetic_lat(lat, Re, f)))


def geodetic_lat_from_conformal_lat(chi, Re, f):
    return geodetic_lat_from_isometric_lat(np.arcsinh(np.tan(chi)), Re, f)


def rectifying_lat_from_geodetic_lat(lat, Re, f):
    n = f / (2 - f)
    return (lat - (3 * n / 2 - 9 * n**3 / 16) * np.sin(2 * lat)
            + (15 * n**2 / 16 - 15 * n**4 / 32) * np.sin(4 * lat)
            - 35 * n**3 / 48 * np.sin(6 * lat) + 315 * n**4 / 512 * np.sin(8 * lat))


def geodetic_lat_from_rectifying_lat(mu, Re, f):
    n = f / (2 - f)
    return (mu + (3 * n / 2 - 27 * n**3 / 32) * np.sin(2 * mu)
            + (21 * n**2 / 16 - 55 * n**4 / 32) * np.sin(4 * mu)
            + 151 * n**3 / 96 * np.sin(6 * mu) + 1097 * n**4 / 512 * np.sin(8 * mu))


def _q(sin_lat, e):
    e2 = e * e
    if e == 0:
        return 2 * sin_lat
    return (1 - e2) * (sin_lat / (1 - e2 * sin_lat**2) + np.arctanh(e * sin_lat) / e)


def authalic_lat_from_geodetic_lat(lat, Re, f):
    e = float(_e(f))
    return np.arcsin(np.clip(_q(np.sin(lat), e) / _q(1.0, e), -1, 1))


def geodetic_lat_from_authalic_lat(beta, Re, f):
    e2 = f * (2 - f)
    return (beta + (e2 / 3 + 31 * e2**2 / 180 + 517 * e2**3 / 5040) * np.sin(2 * beta)
            + (23 * e2**2 / 360 + 251 * e2**3 / 3780) * np.sin(4 * beta)
            + 761 * e2**3 / 45360 * np.sin(6 * beta))


def _w(lat, f):
    return np.sqrt(1 - f * (2 - f) * np.sin(lat) ** 2)


def meridian_radius(lat, Re, f):
    return Re * (1 - f * (2 - f)) / _w(lat, f) ** 3


def transverse_radius(lat, Re, f):
    return Re / _w(lat, f)


def parallel_radius(lat, Re, f):
    return Re / _w(lat, f) * np.cos(lat)


def geocentric_radius(lat, Re, f):
    x, _, z = ufuncs.pos_from_lla(lat, 0.0, 0.0, Re, f)
    return np.hypot(x, z)


def _via_pos(to_frame):
    def from_lla(lat, lon, alt, lat0, lon0, alt0, Re, f):
        return to_frame(*ufuncs.pos_from_lla(lat, lon, alt, Re, f), lat0, lon0, alt0, Re, f)
    return from_lla


def _to_lla(to_pos):
    def to_lla(a, b, c, lat0, lon0, alt0, Re, f):
        return ufuncs.lla_from_pos(*to_pos(a, b, c, lat0, lon0, alt0, Re, f), Re, f)
    return to_lla


def aer_from_pos(x, y, z, lat0, lon0, alt0, Re, f):
    return aer_from_enu(*enu_from_pos(x, y, z, lat0, lon0, alt0, Re, f))


def pos_from_aer(az, el, srange, lat0, lon0, alt0, Re, f):
    return pos_from_enu(*enu_from_aer(az, el, srange), lat0, lon0, alt0, Re, f)


def ned_from_pos(x, y, z, lat0, lon0, alt0, Re, f):
    return _ned(enu_from_pos(x, y, z, lat0, lon0, alt0, Re, f))


def pos_from_ned(north, east, down, lat0, lon0, alt0, Re, f):
    return pos_from_enu(east, north, -down, lat0, lon0, alt0, Re, f)


_FUNCTIONS = {
    "enu_from_pos": (enu_from_pos, 3), "pos_from_enu": (pos_from_enu, 3),
    "ned_from_pos": (ned_from_pos, 3), "pos_from_ned": (pos_from_ned, 3),
    "enu_from_lla": (_via_pos(enu_from_pos), 3), "lla_from_enu": (_to_lla(pos_from_enu), 3),
    "ned_from_lla": (_via_pos(ned_from_pos), 3), "lla_from_ned": (_to_lla(pos_from_ned), 3),
    "aer_from_lla": (_via_pos(aer_from_pos), 3), "lla_from_aer": (_to_lla(pos_from_aer), 3),
    "aer_from_pos": (aer_from_pos, 3), "pos_from_aer": (pos_from_aer, 3),
    "aer_from_enu": (aer_from_enu, 3), "enu_from_aer": (enu_from_aer, 3),
    "aer_from_ned": (lambda n, e, d: aer_from_enu(e, n, -d), 3),
    "ned_from_aer": (lambda az, el, r: _ned(enu_from_aer(az, el, r)), 3),
    "enu_from_ecef_vector": (enu_from_ecef_vector, 3),
    "ecef_vector_from_enu": (ecef_vector_from_enu, 3),
    "ned_from_ecef_vector": (ned_from_ecef_vector, 3),
    "look_at_spheroid": (look_at_spheroid, 3),
    "spherical_from_lla": (spherical_from_lla, 3), "lla_from_spherical": (lla_from_spherical, 3),
    "geocentric_lat_from_geodetic_lat": (geocentric_lat_from_geodetic_lat, 1),
    "geodetic_lat_from_geocentric_lat": (geodetic_lat_from_geocentric_lat, 1),
    "isometric_lat_from_geodetic_lat": (isometric_lat_from_geodetic_lat, 1),
    "geodetic_lat_from_isometric_lat": (geodetic_lat_from_isometric_lat, 1),
    "conformal_lat_from_geodetic_lat": (conformal_lat_from_geodetic_lat, 1),
    "geodetic_lat_from_conformal_lat": (geodetic_lat_from_conformal_lat, 1),
    "rectifying_lat_from_geodetic_lat": (rectifying_lat_from_geodetic_lat, 1),
    "geodetic_lat_from_rectifying_lat": (geodetic_lat_from_rectifying_lat, 1),
    "authalic_lat_from_geodetic_lat": (authalic_lat_from_geodetic_lat, 1),
    "geodetic_lat_from_authalic_lat": (geodetic_lat_from_authalic_lat, 1),
    "meridian_radius": (meridian_radius, 1), "transverse_radius": (transverse_radius, 1),
    "parallel_radius": (parallel_radius, 1), "geocentric_radius": (geocentric_radius, 1),
}

KERNELS = {name: _Kernel(function, nout) for name, (function, nout) in _FUNCTIONS.items()}
