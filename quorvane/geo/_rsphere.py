"""Radii of spheres that stand in for an ellipsoid (pymap3d's rsphere).

The per-ellipsoid radii are closed forms of (a, b); ``curve`` and ``euler``
vary with position and combine the compiled radii of curvature.
"""

import math

import numpy as np

from quorvane.geo._functions import _conversion
from quorvane.geo._models import WGS84, params_of

_meridian = _conversion("meridian")
_transverse = _conversion("transverse")


def _axes(ell):
    a, f = WGS84._params if ell is None else params_of(ell)
    return a, a * (1.0 - f), f


def _method_error(method):
    return ValueError(f"method must be 'mean' or 'norm', got {method!r}")


def eqavol(ell=None):
    """Radius of the sphere of the ellipsoid's volume, (a^2 b)^(1/3) (metres)."""
    a, b, _ = _axes(ell)
    return math.cbrt(a * a * b)


def authalic(ell=None):
    """Radius of the sphere of the ellipsoid's surface area (metres)."""
    a, _, f = _axes(ell)
    e = math.sqrt(f * (2.0 - f))
    if e == 0.0:
        return a
    return a * math.sqrt((1.0 + (1.0 - e * e) * math.atanh(e) / e) / 2.0)


def _complete_elliptic_e(m):
    # E(m) from the arithmetic-geometric mean: E = K (1 - sum 2^(n-1) c_n^2),
    # K = pi / (2 AGM(1, sqrt(1 - m))); quadratic convergence, exact for any
    # flattening rather than a series in it.
    a, b = 1.0, math.sqrt(1.0 - m)
    weight, total = 0.5, 0.5 * m
    while True:
        c = (a - b) / 2.0
        a, b = (a + b) / 2.0, math.sqrt(a * b)
        weight *= 2.0
        total += weight * c * c
        if c <= 1e-17 * a:
            return math.pi / (2.0 * a) * (1.0 - total)


def rectifying(ell=None):
    """Radius of the sphere whose meridian has the ellipsoid's length: the meridian
    quadrant over pi/2, a E(e^2) 2/pi (metres)."""
    a, _, f = _axes(ell)
    return 2.0 / math.pi * a * _complete_elliptic_e(f * (2.0 - f))


def triaxial(ell=None, method="mean"):
    """Mean of the three semi-axes a, a, b: arithmetic (2a + b)/3 for "mean", geometric
    (a^2 b)^(1/3) for "norm" (metres)."""
    a, b, _ = _axes(ell)
    if method == "mean":
        return (2.0 * a + b) / 3.0
    if method == "norm":
        return math.cbrt(a * a * b)
    raise _method_error(method)


def biaxial(ell=None, method="mean"):
    """Mean of the semi-axes a and b: arithmetic for "mean", geometric for "norm" (metres)."""
    a, b, _ = _axes(ell)
    if method == "mean":
        return (a + b) / 2.0
    if method == "norm":
        return math.sqrt(a * b)
    raise _method_error(method)


def _is_number(value):
    return type(value) is float or type(value) is int


def curve(lat, ell=None, deg=True, method="mean"):
    """Mean of the radii of curvature M and N at geodetic latitude lat: arithmetic for
    "mean", geometric sqrt(M N) for "norm" (metres)."""
    if method not in ("mean", "norm"):
        raise _method_error(method)
    m = _meridian(lat, ell, deg)
    n = _transverse(lat, ell, deg)
    if method == "mean":
        return (m + n) / 2.0
    return math.sqrt(m * n) if _is_number(m) else np.sqrt(m * n)


_euler_azimuth = _conversion("euler_azimuth")


def euler(lat1, lon1, lat2, lon2, ell=None, deg=True):
    """Euler radius of curvature, 1 / (cos^2(az) / M + sin^2(az) / N), at the mean
    latitude of the two points, for the azimuth of point 2 seen from point 1 (metres)."""
    az = _euler_azimuth(lat1, lon1, lat2, lon2, ell, deg)
    if _is_number(lat1) and _is_number(lat2):
        mid = (lat1 + lat2) / 2.0
    else:
        lat1 = np.asarray(lat1) if type(lat1) is list else lat1
        lat2 = np.asarray(lat2) if type(lat2) is list else lat2
        mid = (lat1 + lat2) / 2.0
    m = _meridian(mid, ell, deg)
    n = _transverse(mid, ell, deg)
    if _is_number(az) and _is_number(m):
        cos2 = math.cos(az) ** 2
        return m * n / (n * cos2 + m * (1.0 - cos2))
    cos2 = np.cos(az) ** 2
    return m * n / (n * cos2 + m * (1.0 - cos2))


__all__ = ["eqavol", "authalic", "rectifying", "euler", "curve", "triaxial", "biaxial"]
