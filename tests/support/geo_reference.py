"""200-bit mpmath references for the local-frame, latitude and radius conversions,
written from the textbook definitions (prime-vertical positions, the geodetic frame
built from sines and cosines of the latitude, the meridian arc as the integral of
the meridian radius, the authalic q function under an arcsine, inverses as roots of
the forward maps), not from the module's lane formulas.

Every function takes and returns Python floats or mpf; the vectorised wrappers at
the end map them over NumPy arrays and round to float64."""

import functools

import mpmath as mp
import numpy as np

from support.reference import RE, F, exact_geodetic, exact_pos

PREC = 200


def _mpf(*values):
    # mpf arguments stay exact (root finders pass them); anything else is a double.
    return [v if isinstance(v, mp.mpf) else mp.mpf(float(v)) for v in values]


def _e2(f):
    return f * (2 - f)


def frame(lat0, lon0):
    """East, north and up unit vectors (mpf) of the geodetic latitude and longitude."""
    sp, cp, sl, cl = mp.sin(lat0), mp.cos(lat0), mp.sin(lon0), mp.cos(lon0)
    return ((-sl, cl, mp.mpf(0)), (-sp * cl, -sp * sl, cp), (cp * cl, cp * sl, sp))


@mp.workprec(PREC)
def enu_from_pos(x, y, z, lat0, lon0, alt0, Re=RE, f=F):
    x, y, z, lat0, lon0 = _mpf(x, y, z, lat0, lon0)
    r0 = exact_pos(lat0, lon0, float(alt0), Re, f)
    d = (x - r0[0], y - r0[1], z - r0[2])
    return tuple(sum(a * b for a, b in zip(axis, d)) for axis in frame(lat0, lon0))


@mp.workprec(PREC)
def pos_from_enu(east, north, up, lat0, lon0, alt0, Re=RE, f=F):
    east, north, up, lat0, lon0 = _mpf(east, north, up, lat0, lon0)
    r0 = exact_pos(lat0, lon0, float(alt0), Re, f)
    e, n, u = frame(lat0, lon0)
    return tuple(r0[i] + east * e[i] + north * n[i] + up * u[i] for i in range(3))


@mp.workprec(PREC)
def aer_from_enu(east, north, up):
    east, north, up = _mpf(east, north, up)
    horizontal = mp.hypot(east, north)
    az = mp.atan2(east, north)
    if az < 0:
        az += 2 * mp.pi
    return az, mp.atan2(up, horizontal), mp.sqrt(horizontal ** 2 + up ** 2)


@mp.workprec(PREC)
def enu_from_aer(az, el, srange):
    az, el, srange = _mpf(az, el, srange)
    return (srange * mp.cos(el) * mp.sin(az), srange * mp.cos(el) * mp.cos(az), srange * mp.sin(el))


@mp.workprec(PREC)
def rotate_to_enu(u, v, w, lat0, lon0):
    d = _mpf(u, v, w)
    return tuple(sum(a * b for a, b in zip(axis, d)) for axis in frame(*_mpf(lat0, lon0)))


@mp.workprec(PREC)
def rotate_from_enu(east, north, up, lat0, lon0):
    east, north, up = _mpf(east, north, up)
    e, n, u = frame(*_mpf(lat0, lon0))
    return tuple(east * e[i] + north * n[i] + up * u[i] for i in range(3))


@mp.workprec(PREC)
def look_at_spheroid(lat0, lon0, alt0, az, tilt, Re=RE, f=F):
    """Latitude, longitude and range of the first point where the line of sight
    from the observer (azimuth az, tilt from nadir) meets the ellipsoid; NaNs if
    it does not."""
    az, tilt = _mpf(az, tilt)
    r0 = exact_pos(*_mpf(lat0, lon0), float(alt0), Re, f)
    e, n, u = frame(*_mpf(lat0, lon0))
    local = (mp.sin(tilt) * mp.sin(az), mp.sin(tilt) * mp.cos(az), -mp.cos(tilt))
    d = [local[0] * e[i] + local[1] * n[i] + local[2] * u[i] for i in range(3)]
    a2, b2 = mp.mpf(Re) ** 2, (mp.mpf(Re) * (1 - mp.mpf(f))) ** 2
    qa = (d[0] ** 2 + d[1] ** 2) / a2 + d[2] ** 2 / b2
    qb = 2 * ((d[0] * r0[0] + d[1] * r0[1]) / a2 + d[2] * r0[2] / b2)
    qc = (r0[0] ** 2 + r0[1] ** 2) / a2 + r0[2] ** 2 / b2 - 1
    disc = qb * qb - 4 * qa * qc
    if disc < 0:
        return mp.nan, mp.nan, mp.nan
    roots = sorted(((-qb - mp.sqrt(disc)) / (2 * qa), (-qb + mp.sqrt(disc)) / (2 * qa)))
    ahead = [t for t in roots if t >= 0]
    if not ahead:
        return mp.nan, mp.nan, mp.nan
    t = ahead[0]
    hit = [r0[i] + t * d[i] for i in range(3)]
    p = mp.hypot(hit[0], hit[1])
    # The normal of the surface point is the gradient (x / a^2, z / b^2).
    return mp.atan2(hit[2] / b2, p / a2), mp.atan2(hit[1], hit[0]), t


# Latitudes and radii --------------------------------------------------------

@mp.workprec(PREC)
def meridian_plane(lat, alt, Re=RE, f=F):
    """Distance from the axis and height above the equator of (lat, alt)."""
    lat, alt, Re, f = _mpf(lat, alt, Re, f)
    n = Re / mp.sqrt(1 - _e2(f) * mp.sin(lat) ** 2)
    return (n + alt) * mp.cos(lat), (n * (1 - _e2(f)) + alt) * mp.sin(lat)


@mp.workprec(PREC)
def spherical_from_lla(lat, lon, alt, Re=RE, f=F):
    p, z = meridian_plane(lat, alt, Re, f)
    return mp.atan2(z, p), mp.mpf(float(lon)), mp.hypot(p, z)


@mp.workprec(PREC)
def lla_from_spherical(slat, lon, radius, Re=RE, f=F):
    slat, radius = _mpf(slat, radius)
    p, z = radius * mp.cos(slat), radius * mp.sin(slat)
    lat, _, alt = exact_geodetic((p, 0, z), Re, f)
    return lat, mp.mpf(float(lon)), alt


@mp.workprec(PREC)
def geodetic_lat_from_geocentric_lat(slat, alt, Re=RE, f=F):
    """The geodetic latitude of the point at height alt whose geocentric latitude is
    slat; above the centres of curvature the geocentric latitude increases with the
    geodetic one, so the poles bracket the root."""
    slat = mp.mpf(float(slat))

    def miss(lat):
        p, z = meridian_plane(lat, alt, Re, f)
        return mp.atan2(z, p) - slat
    return mp.findroot(miss, (-mp.pi / 2, mp.pi / 2), solver="anderson")


@mp.workprec(PREC)
def isometric_lat(lat, f=F):
    lat, f = _mpf(lat, f)
    e = mp.sqrt(_e2(f))
    return mp.asinh(mp.tan(lat)) - e * mp.atanh(e * mp.sin(lat))


@mp.workprec(PREC)
def conformal_lat(lat, f=F):
    return mp.atan(mp.sinh(isometric_lat(lat, f)))


@mp.workprec(PREC)
def _q(lat, e2):
    # Snyder's q: proportional to the area between the equator and latitude lat.
    s = mp.sin(lat)
    if e2 == 0:
        return 2 * s
    e = mp.sqrt(e2)
    return (1 - e2) * (s / (1 - e2 * s * s) + mp.atanh(e * s) / e)


@mp.workprec(PREC)
def authalic_lat(lat, f=F):
    lat, f = _mpf(lat, f)
    return mp.asin(_q(lat, _e2(f)) / _q(mp.pi / 2, _e2(f)))


@mp.workprec(PREC)
def meridian_arc(lat, f=F):
    """Meridian distance from the equator to lat on the ellipsoid with Re = 1,
    (1 - e2) times the integral of (1 - e2 sin(t)^2)^(-3/2): for e2 <= 1/4 by
    the binomial series of the integrand, whose terms e2^k binomial(-3/2, k)
    times the integral of sin(t)^(2k) fall below 2^-200 (the integrals by their
    stable forward recurrence), else E(lat | e2) - e2 sin cos / sqrt(1 - e2 sin^2)."""
    lat, f = _mpf(lat, f)
    e2 = _e2(f)
    s, c = mp.sin(lat), mp.cos(lat)
    if e2 > mp.mpf(1) / 4:
        return mp.ellipe(lat, e2) - e2 * s * c / mp.sqrt(1 - e2 * s * s)
    integral, total, coefficient, k = lat, lat, mp.mpf(1), 0
    odd_power = s  # sin(lat)^(2k - 1) for the next k
    while True:
        k += 1
        integral = ((2 * k - 1) * integral - odd_power * c) / (2 * k)
        odd_power *= s * s
        coefficient *= e2 * (mp.mpf(1) / 2 + k) / k  # (-e2)^k binomial(-3/2, k)
        term = coefficient * integral
        total += term
        if abs(term) < mp.mpf(2) ** -PREC * abs(total) or term == 0:
            return (1 - e2) * total


@functools.lru_cache
def _quarter_meridian(f):
    return meridian_arc(mp.pi / 2, f)


@mp.workprec(PREC)
def rectifying_lat(lat, f=F):
    return mp.pi / 2 * meridian_arc(lat, f) / _quarter_meridian(float(f))


FORWARD = {"isometric": isometric_lat, "conformal": conformal_lat, "authalic": authalic_lat,
           "rectifying": rectifying_lat}


@mp.workprec(PREC)
def geodetic_lat_from(kind, value, f=F):
    """The geodetic latitude whose auxiliary latitude of the given kind is value:
    every one of these maps is increasing on [-pi/2, pi/2], so the root is
    bracketed by the poles."""
    forward, value = FORWARD[kind], mp.mpf(float(value))
    half_pi = mp.pi / 2
    return mp.findroot(lambda t: forward(t, f) - value, (-half_pi, half_pi), solver="anderson")


@mp.workprec(PREC)
def auxiliary_slope(kind, lat, f=F):
    """d(auxiliary latitude) / d(geodetic latitude) at lat, by the closed forms
    of the derivatives (not by differencing the maps)."""
    lat, f = _mpf(lat, f)
    e2 = _e2(f)
    w2 = 1 - e2 * mp.sin(lat) ** 2
    isometric = (1 - e2) / (w2 * mp.cos(lat))
    if kind == "isometric":
        return isometric
    if kind == "conformal":
        return mp.cos(conformal_lat(lat, f)) * isometric
    if kind == "authalic":
        return 2 * (1 - e2) * mp.cos(lat) / (w2 ** 2 * _q(mp.pi / 2, e2) * mp.cos(authalic_lat(lat, f)))
    return mp.pi / 2 * (1 - e2) / (w2 ** mp.mpf(1.5) * _quarter_meridian(float(f)))


@mp.workprec(PREC)
def inverse_error(kind, value, lat, f=F):
    """Error of lat as the geodetic latitude of the auxiliary latitude value: to
    first order (value - forward(lat)) / forward'(lat), the neglected term being
    of the order of the error squared."""
    return (mp.mpf(float(value)) - FORWARD[kind](lat, f)) / auxiliary_slope(kind, lat, f)


@mp.workprec(PREC)
def geodetic_near(r, lat, lon, alt, Re=RE, f=F):
    """Exact geodetic coordinates of the position r (mpf or doubles) that lies
    within a few nanometres of the exact position of (lat, lon, alt): one
    Newton step from those, d lat = north . dr / (M + alt),
    d lon = east . dr / ((N + alt) cos(lat)), d alt = up . dr; what it neglects
    is of the order of |dr|^2 / Re."""
    lat, lon, alt, Re, f = _mpf(lat, lon, alt, Re, f)
    r0 = exact_pos(lat, lon, alt, Re, f)
    dr = [mp.mpf(a) - b for a, b in zip(r, r0)]
    east, north, up = frame(lat, lon)
    e2 = _e2(f)
    w2 = 1 - e2 * mp.sin(lat) ** 2
    n = Re / mp.sqrt(w2)
    m = n * (1 - e2) / w2
    dot = [sum(a * b for a, b in zip(axis, dr)) for axis in (east, north, up)]
    return lat + dot[1] / (m + alt), lon + dot[0] / ((n + alt) * mp.cos(lat)), alt + dot[2]


@mp.workprec(PREC)
def radii(lat, Re=RE, f=F):
    """Meridian, transverse, parallel and geocentric radii at geodetic latitude lat."""
    lat, Re, f = _mpf(lat, Re, f)
    e2 = _e2(f)
    w2 = 1 - e2 * mp.sin(lat) ** 2
    n = Re / mp.sqrt(w2)
    p, z = meridian_plane(lat, 0, Re, f)
    return Re * (1 - e2) / w2 ** mp.mpf(1.5), n, n * mp.cos(lat), mp.hypot(p, z)


def vectorised(reference, *columns, **ellipsoid):
    """float64 outputs of a scalar reference over broadcast NumPy columns, one
    array per output."""
    columns = np.broadcast_arrays(*map(np.asarray, columns))
    rows = [reference(*point, **ellipsoid) for point in zip(*(c.ravel() for c in columns))]
    rows = [r if isinstance(r, tuple) else (r,) for r in rows]
    shape = columns[0].shape
    return tuple(np.array([float(r[k]) for r in rows]).reshape(shape) for k in range(len(rows[0])))

