"""quorvane.geo used as a pymap3d user would, checked by `mypy --strict` and then run."""

from typing import Any, assert_type

import numpy as np
from numpy.typing import NDArray

import quorvane.geo as pm
from quorvane.mathtools.ellipsoid.ellipsoid import Ellipsoid as Compiled

grs80 = pm.Ellipsoid.from_name("grs80")
assert_type(grs80.semiminor_axis, float)
assert_type(pm.Ellipsoid.models["wgs84"], dict[str, str | float])


def one_point() -> float:
    x, y, z = pm.geodetic2ecef(51.4769, -0.0005, 45.0)
    assert_type(x, float)
    lat, lon, alt = pm.ecef2geodetic(x, y, z, ell=grs80)
    az, el, srange = pm.geodetic2aer(lat, lon + 0.1, alt, 51.0, 0.0, 0.0, grs80, deg=True)
    e, n, u = pm.aer2enu(az, el, srange)
    lat2, _, d = pm.lookAtSpheroid(51.0, 0.0, 500e3, 10.0, 20.0)
    radius = pm.meridian(lat2, ell=Compiled(6378137.0, 1 / 298.257223563))
    assert_type(radius, float)
    assert_type(pm.geodetic2isometric(0.7, deg=False), float)
    assert_type(pm.curve(45.0, method="norm"), float)
    return e + n + u + d + radius + pm.authalic(grs80) + pm.euler(1.0, 2.0, 3.0, 4.0)


def many_points(n: int) -> NDArray[np.float64]:
    lat = np.linspace(-80.0, 80.0, n)
    x, y, z = pm.geodetic2ecef(lat, 10.0, [0.0] * n)
    assert_type(x, NDArray[np.float64])
    east, north, up = pm.ecef2enu(x, y, z, 45.0, 7.0, 300.0)
    rows: Any = pm.geodetic2ecef(lat.astype(np.float32), 0.0, 0.0)
    assert rows[0].dtype == np.float32
    return np.asarray(east + north + up + pm.curve(lat), dtype=np.float64)


print(one_point(), many_points(5).shape)
