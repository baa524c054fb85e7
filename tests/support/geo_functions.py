"""200-bit references for every conversion of quorvane.geo, in radians and metres,
composed at full precision from the textbook pieces of support.geo_reference and
support.reference (exact positions, exact geodetic coordinates, the geodetic
frame), and the sample points each conversion is checked on.

REFERENCES[name](*args) takes the float radians the degrees-first function hands
its ufunc and returns mpf results; ANGLE_RESULTS[name] marks which are angles.
"""

import mpmath as mp
import numpy as np

from support import geo_reference as ref
from support.reference import RE, F, exact_geodetic, exact_pos

PREC = 200


def _m(*values):
    return [mp.mpf(float(v)) for v in values]


def _rotate_to(frame, d):
    return tuple(sum(a * b for a, b in zip(axis, d)) for axis in frame)


def _rotate_from(frame, v):
    e, n, u = frame
    return tuple(v[0] * e[i] + v[1] * n[i] + v[2] * u[i] for i in range(3))


def _ned(v):
    return v[1], v[0], -v[2]


@mp.workprec(PREC)
def _enu_of_pos(r, lat0, lon0, alt0):
    lat0, lon0 = _m(lat0, lon0)
    r0 = exact_pos(lat0, lon0, float(alt0))
    return _rotate_to(ref.frame(lat0, lon0), [r[i] - r0[i] for i in range(3)])


@mp.workprec(PREC)
def _pos_of_enu(v, lat0, lon0, alt0):
    lat0, lon0 = _m(lat0, lon0)
    r0 = exact_pos(lat0, lon0, float(alt0))
    d = _rotate_from(ref.frame(lat0, lon0), v)
    return tuple(r0[i] + d[i] for i in range(3))


@mp.workprec(PREC)
def _aer(v):
    horizontal = mp.hypot(v[0], v[1])
    az = mp.atan2(v[0], v[1])
    return (az + 2 * mp.pi if az < 0 else az), mp.atan2(v[2], horizontal), mp.sqrt(
        horizontal ** 2 + v[2] ** 2)


@mp.workprec(PREC)
def _enu_of_aer(az, el, srange):
    return ref.enu_from_aer(az, el, srange)


def _geodetic(r):
    return exact_geodetic(r, RE, F)


def _pos(lat, lon, alt):
    return exact_pos(*_m(lat, lon, alt))


def _aux(kind):
    return lambda lat: ref.FORWARD[kind](lat)


def _aux_inverse(kind):
    return lambda value: ref.geodetic_lat_from(kind, value)


REFERENCES = {
    "geodetic2ecef": lambda lat, lon, alt: _pos(lat, lon, alt),
    "ecef2geodetic": lambda x, y, z: _geodetic(_m(x, y, z)),
    "geodetic2enu": lambda lat, lon, h, *o: _enu_of_pos(_pos(lat, lon, h), *o),
    "enu2geodetic": lambda e, n, u, *o: _geodetic(_pos_of_enu(_m(e, n, u), *o)),
    "ecef2enu": lambda x, y, z, *o: _enu_of_pos(_m(x, y, z), *o),
    "enu2ecef": lambda e, n, u, *o: _pos_of_enu(_m(e, n, u), *o),
    "geodetic2ned": lambda lat, lon, h, *o: _ned(_enu_of_pos(_pos(lat, lon, h), *o)),
    "ned2geodetic": lambda n, e, d, *o: _geodetic(_pos_of_enu(_ned(_m(n, e, d)), *o)),
    "ecef2ned": lambda x, y, z, *o: _ned(_enu_of_pos(_m(x, y, z), *o)),
    "ned2ecef": lambda n, e, d, *o: _pos_of_enu(_ned(_m(n, e, d)), *o),
    "geodetic2aer": lambda lat, lon, h, *o: _aer(_enu_of_pos(_pos(lat, lon, h), *o)),
    "aer2geodetic": lambda az, el, r, *o: _geodetic(_pos_of_enu(_enu_of_aer(az, el, r), *o)),
    "ecef2aer": lambda x, y, z, *o: _aer(_enu_of_pos(_m(x, y, z), *o)),
    "aer2ecef": lambda az, el, r, *o: _pos_of_enu(_enu_of_aer(az, el, r), *o),
    "enu2aer": lambda e, n, u: _aer(_m(e, n, u)),
    "aer2enu": _enu_of_aer,
    "ned2aer": lambda n, e, d: _aer(_ned(_m(n, e, d))),
    "aer2ned": lambda az, el, r: _ned(_enu_of_aer(az, el, r)),
    "ecef2enuv": ref.rotate_to_enu,
    "uvw2enu": ref.rotate_to_enu,
    "enu2ecefv": ref.rotate_from_enu,
    "enu2uvw": ref.rotate_from_enu,
    "ecef2nedv": lambda *a: _ned(ref.rotate_to_enu(*a)),
    "lookAtSpheroid": ref.look_at_spheroid,
    "geodetic2spherical": ref.spherical_from_lla,
    "spherical2geodetic": ref.lla_from_spherical,
    "geodetic2geocentric": lambda lat, alt: ref.spherical_from_lla(lat, 0.0, alt)[0],
    "geod2geoc": lambda lat, alt: ref.spherical_from_lla(lat, 0.0, alt)[0],
    "geocentric2geodetic": ref.geodetic_lat_from_geocentric_lat,
    "geoc2geod": lambda lat, distance: ref.lla_from_spherical(lat, 0.0, distance)[0],
    "geodetic2parametric": lambda lat: mp.atan((1 - mp.mpf(F)) * mp.tan(mp.mpf(lat))),
    "parametric2geodetic": lambda beta: mp.atan(mp.tan(mp.mpf(beta)) / (1 - mp.mpf(F))),
    "geodetic2isometric": _aux("isometric"),
    "isometric2geodetic": _aux_inverse("isometric"),
    "geodetic2rectifying": _aux("rectifying"),
    "rectifying2geodetic": _aux_inverse("rectifying"),
    "geodetic2authalic": _aux("authalic"),
    "authalic2geodetic": _aux_inverse("authalic"),
    "geodetic2conformal": _aux("conformal"),
    "conformal2geodetic": _aux_inverse("conformal"),
    "meridian": lambda lat: ref.radii(lat)[0],
    "transverse": lambda lat: ref.radii(lat)[1],
    "parallel": lambda lat: ref.radii(lat)[2],
    "geocentric_radius": lambda lat: ref.radii(lat)[3],
}


def _lat(rng, n):
    return np.degrees(np.arcsin(rng.uniform(-1, 1, n)))


def _lla(rng, n):
    return _lat(rng, n), rng.uniform(-180, 180, n), rng.uniform(-1e4, 5e6, n)


def _pair(rng, n):
    """Targets and observers from 10 km below to 5000 km above WGS84, the targets
    within 10 000 km of their observer."""
    import quorvane.geo as geo

    target, observer = [], []
    while sum(len(t[0]) for t in target) < n:
        t, o = _lla(rng, n), _lla(rng, n)
        near = np.hypot(*geo.geodetic2enu(*t, *o)[:2]) < 1e7
        near &= np.linalg.norm(geo.geodetic2enu(*t, *o), axis=0) < 1e7
        target.append([c[near] for c in t])
        observer.append([c[near] for c in o])
    return ([np.concatenate(c)[:n] for c in zip(*target)],
            [np.concatenate(c)[:n] for c in zip(*observer)])


def sample(name, n, rng):
    """n points (degrees and metres) for the conversion."""
    import quorvane.geo as geo

    source, _, result = name.partition("2")
    if name in ("ecef2enuv", "uvw2enu", "enu2ecefv", "enu2uvw", "ecef2nedv"):
        return (*rng.uniform(-1e7, 1e7, (3, n)), _lat(rng, n), rng.uniform(-180, 180, n))
    if name in ("geodetic2ecef", "geodetic2spherical"):
        return _lla(rng, n)
    if name == "ecef2geodetic":
        return geo.geodetic2ecef(*_lla(rng, n))
    if result in ("enu", "ned", "aer") or source in ("enu", "ned", "aer"):
        target, observer = _pair(rng, n)
        if name in ("enu2aer", "ned2aer", "aer2enu", "aer2ned"):
            return tuple(getattr(geo, "geodetic2" + source)(*target, *observer))
        if source == "geodetic":
            return (*target, *observer)
        if source == "ecef":
            return (*geo.geodetic2ecef(*target), *observer)
        return (*getattr(geo, "geodetic2" + source)(*target, *observer), *observer)
    if name == "lookAtSpheroid":
        return (_lat(rng, n), rng.uniform(-180, 180, n), rng.uniform(0, 5e6, n),
                rng.uniform(0, 360, n), rng.uniform(0, 90, n))
    if name == "spherical2geodetic":
        lat, lon, alt = _lla(rng, n)
        return (lat, lon, 6.4e6 + alt)
    if name in ("geodetic2geocentric", "geod2geoc", "geocentric2geodetic"):
        return (_lat(rng, n), rng.uniform(-1e4, 5e6, n))
    if name == "geoc2geod":
        return (_lat(rng, n), 6.4e6 + rng.uniform(-1e4, 5e6, n))
    if name == "isometric2geodetic":
        return (rng.uniform(-200, 200, n),)
    return (_lat(rng, n),)
