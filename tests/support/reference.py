"""Expected values derived apart from the module's own formulas: the prime-vertical
form of a position (the module works from the reduced latitude), the reduced and
geodetic latitudes as angles of the meridian ellipse, and 200-bit mpmath
references for the geodetic conversion."""

import mpmath as mp
import numpy as np

RE, F = 6378137.0, 1 / 298.257223563  # WGS84
RP = (1 - F) * RE


def prime_vertical_pos(lat, lon, alt, Re=RE, f=F):
    """ECEF position of geodetic coordinates through the prime-vertical radius N."""
    e2 = f * (2 - f)
    n = Re / np.sqrt(1 - e2 * np.sin(lat) ** 2)
    return np.stack([(n + alt) * np.cos(lat) * np.cos(lon), (n + alt) * np.cos(lat) * np.sin(lon),
                     (n * (1 - e2) + alt) * np.sin(lat)], axis=-1)


@mp.workprec(200)
def _reduced_lat(lat, Re, f):
    # The surface point of the prime-vertical form is (Re cos beta, Rp sin beta)
    # in its meridian plane: beta is the angle of that point on the circles of
    # radius Re and Rp.
    lat, Re, f = map(mp.mpf, (lat, Re, f))
    e2 = f * (2 - f)
    n = Re / mp.sqrt(1 - e2 * mp.sin(lat) ** 2)
    return mp.atan2(n * (1 - e2) * mp.sin(lat) / ((1 - f) * Re), n * mp.cos(lat) / Re)


@mp.workprec(200)
def _geodetic_lat(beta, Re, f):
    # The geodetic latitude is the direction of the outward normal, the
    # gradient (x / Re^2, z / Rp^2) of the meridian ellipse at the point of
    # reduced latitude beta.
    beta, Re, f = map(mp.mpf, (beta, Re, f))
    rp = (1 - f) * Re
    return mp.atan2(rp * mp.sin(beta) / rp ** 2, Re * mp.cos(beta) / Re ** 2)


def reduced_lat(lat, Re=RE, f=F):
    """Reduced latitudes (float64) of geodetic latitudes in [-pi/2, pi/2]."""
    return np.array([float(_reduced_lat(float(v), Re, f)) for v in np.ravel(lat)]).reshape(np.shape(lat))


def geodetic_lat(beta, Re=RE, f=F):
    """Geodetic latitudes (float64) of reduced latitudes in [-pi/2, pi/2]."""
    return np.array([float(_geodetic_lat(float(v), Re, f)) for v in np.ravel(beta)]).reshape(np.shape(beta))


@mp.workprec(200)
def exact_pos(lat, lon, alt, Re=RE, f=F):
    """Exact ECEF position (mpf) of the geodetic coordinates, taken as exact."""
    lat, lon, alt, Re, f = map(mp.mpf, (lat, lon, alt, Re, f))
    e2 = f * (2 - f)
    n = Re / mp.sqrt(1 - e2 * mp.sin(lat) ** 2)
    return ((n + alt) * mp.cos(lat) * mp.cos(lon), (n + alt) * mp.cos(lat) * mp.sin(lon),
            (n * (1 - e2) + alt) * mp.sin(lat))


@mp.workprec(200)
def exact_geodetic(r, Re=RE, f=F, lat0=None):
    """Exact (lat, lon, alt) of the double position r: the foot of the normal
    through r in r's quadrant, found by Newton on the reduced-latitude equation
    from lat0 (the generating latitude) or from the geocentric latitude."""
    x, y, z, Re, f = map(mp.mpf, (*r, Re, f))
    p, rp = mp.hypot(x, y), (1 - f) * Re
    lon = mp.atan2(y, x) if p else mp.mpf(0)
    if f == 0:
        return mp.atan2(z, p), lon, mp.sqrt(p * p + z * z) - Re
    if p == 0:
        return mp.sign(z) * mp.pi / 2, lon, abs(z) - rp
    a, b = p / (Re * f * (2 - f)), (1 - f) * z / (Re * f * (2 - f))
    beta = mp.findroot(lambda t: mp.sin(t) * mp.cos(t) - a * mp.sin(t) + b * mp.cos(t),
                       mp.atan2(z, p) if lat0 is None else mp.atan((1 - f) * mp.tan(lat0)),
                       solver="newton",
                       df=lambda t: mp.cos(2 * t) - a * mp.cos(t) - b * mp.sin(t))
    assert mp.sign(beta) == mp.sign(z) and abs(beta) <= mp.pi / 2  # r's quadrant
    lat = mp.atan2(Re * mp.sin(beta), rp * mp.cos(beta))
    return lat, lon, (p - Re * mp.cos(beta)) * mp.cos(lat) + (z - rp * mp.sin(beta)) * mp.sin(lat)
