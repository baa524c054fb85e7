"""pymap3d's geodesic functions (its vincenty module: vdist, vreckon, track2) on the
geodesic ufuncs, which solve the direct and inverse problems to round-off everywhere.

Where the answers differ from pymap3d's: near antipodal points Vincenty's iteration
fails or converges on the wrong line, while these are always the shortest geodesic
(between antipodal points on the equator it runs over a pole), and track2 follows
that geodesic instead of refusing antipodal ends.
"""

import math

import numpy as np

from quorvane.geo._arrays import _out_of_range
from quorvane.geo._models import WGS84, params_of
from quorvane.mathtools.ellipsoid import ufuncs


def _ellipsoid(ell):
    return WGS84._params if ell is None else params_of(ell)


def _angle(name, value, deg, latitude=False):
    """The argument as float64 radians; a latitude beyond the poles is refused by name."""
    value = np.asarray(value, dtype=np.float64)
    limit = 90.0 if deg else math.pi / 2
    if latitude and value.size and not np.all(np.abs(value) <= limit):
        bad = value[~(np.abs(value) <= limit)].flat[0]
        if not math.isnan(bad):
            raise _out_of_range(name, float(bad), deg)
    return np.radians(value) if deg else value


def _full_turn(angle, deg):
    """An angle in radians as pymap3d returns azimuths and vreckon's longitude: within
    [0, 360) degrees, or [0, 2 pi) radians."""
    full = 360.0 if deg else 2 * math.pi
    turned = np.mod(np.degrees(angle) if deg else angle, full)
    # mod of a tiny negative angle rounds up to the full turn itself.
    return np.where(turned >= full, 0.0, turned)


def _out(value):
    return float(value) if value.ndim == 0 else value


def vdist(Lat1, Lon1, Lat2, Lon2, ell=None, deg=True):
    """Length of the shortest geodesic between two points and its azimuth at the first.

    Returns (distance in metres, azimuth clockwise from north in [0, 360) degrees, or
    [0, 2 pi) radians with deg=False).
    """
    s12, azi1, _ = ufuncs.geodesic_inverse(
        _angle("Lat1", Lat1, deg, True), _angle("Lon1", Lon1, deg),
        _angle("Lat2", Lat2, deg, True), _angle("Lon2", Lon2, deg), *_ellipsoid(ell))
    return _out(np.asarray(s12)), _out(_full_turn(azi1, deg))


def vreckon(Lat1, Lon1, Rng, Azim, ell=None, deg=True):
    """Where the geodesic from (Lat1, Lon1) with azimuth Azim ends after Rng metres.

    Returns (lat2, lon2), lon2 within [0, 360) degrees (or [0, 2 pi) radians), as
    pymap3d gives it. A negative range raises ValueError.
    """
    rng = np.asarray(Rng, dtype=np.float64)
    if rng.size and np.any(rng < 0):
        raise ValueError(f"Rng = {float(rng[rng < 0].flat[0])!r} must not be negative")
    lat2, lon2, _ = ufuncs.geodesic_direct(
        _angle("Lat1", Lat1, deg, True), _angle("Lon1", Lon1, deg), _angle("Azim", Azim, deg),
        rng, *_ellipsoid(ell))
    lat2 = np.degrees(lat2) if deg else np.asarray(lat2)
    return _out(lat2), _out(_full_turn(lon2, deg))


def track2(lat1, lon1, lat2, lon2, ell=None, npts=100, deg=True):
    """npts points evenly spaced along the shortest geodesic from the first point to the
    second, ends included: (lats, lons) as lists, longitudes as vreckon gives them."""
    if npts < 2:
        raise ValueError("npts must be greater than 1")
    if npts == 2:
        return [lat1, lat2], [lon1, lon2]
    distance, azimuth = vdist(lat1, lon1, lat2, lon2, ell, deg)
    lats, lons = vreckon(lat1, lon1, np.linspace(0.0, distance, npts), azimuth, ell, deg)
    return list(lats), list(lons)
