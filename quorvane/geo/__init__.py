"""Degrees-first conversions between geodetic, ECEF, local (ENU, NED, AER) and
spherical coordinates, auxiliary latitudes and radii of an ellipsoid, with
pymap3d's function names, argument order and conventions, on this package's
compiled ufuncs.

Replace ``import pymap3d as pm`` with ``import quorvane.geo as pm``. Angles are
degrees unless ``deg=False``; the ellipsoid is WGS84 unless ``ell`` is given,
as an ``Ellipsoid`` of this module (``Ellipsoid.from_name("grs80")``) or this
package's ``quorvane.mathtools.ellipsoid.ellipsoid.Ellipsoid(Re, f)``.

Python numbers give Python floats; NumPy arrays and lists broadcast; pandas
Series keep their index, xarray DataArrays their coordinates, and dask arrays
stay lazy. A latitude beyond 90 degrees (pi/2 with deg=False) raises
ValueError, as do a negative slant range and, for lookAtSpheroid, a negative
observer altitude.
"""

from quorvane.geo import _functions, _plans, _rsphere
from quorvane.geo._functions import (
    aer2ecef,
    aer2enu,
    aer2geodetic,
    aer2ned,
    authalic2geodetic,
    conformal2geodetic,
    ecef2aer,
    ecef2enu,
    ecef2enuv,
    ecef2geodetic,
    ecef2ned,
    ecef2nedv,
    enu2aer,
    enu2ecef,
    enu2ecefv,
    enu2geodetic,
    enu2uvw,
    geoc2geod,
    geocentric2geodetic,
    geocentric_radius,
    geod2geoc,
    geodetic2aer,
    geodetic2authalic,
    geodetic2conformal,
    geodetic2ecef,
    geodetic2enu,
    geodetic2geocentric,
    geodetic2isometric,
    geodetic2ned,
    geodetic2parametric,
    geodetic2rectifying,
    geodetic2spherical,
    isometric2geodetic,
    lookAtSpheroid,
    meridian,
    ned2aer,
    ned2ecef,
    ned2geodetic,
    parallel,
    parametric2geodetic,
    rectifying2geodetic,
    spherical2geodetic,
    transverse,
    uvw2enu,
)
from quorvane.geo._models import Ellipsoid
from quorvane.geo._geodesics import track2, vdist, vreckon
from quorvane.geo._rsphere import authalic, biaxial, curve, eqavol, euler, rectifying, triaxial

# The geodesics and the ellipsoid, then by name the conversions (a function of each
# plan but euler_azimuth, a part of rsphere's euler) and the spheres' radii.
__all__ = ["track2", "vdist", "vreckon", "Ellipsoid",
           *sorted([name for name in _plans.PLANS if hasattr(_functions, name)] + _rsphere.__all__)]
