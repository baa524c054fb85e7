"""The package used as its users do, checked by `mypy --strict` and then run.

assert_type makes mypy check each inferred type exactly; at run time it does
nothing, so running the script checks that these calls are valid.
"""

from typing import Any, assert_type

import numpy as np
from numpy.typing import NDArray

from quorvane.datamodel import AER_dtype, ENU_dtype, LLA_dtype, SurfCoord_dtype
from quorvane.mathtools.ellipsoid import get_include
from quorvane.mathtools.ellipsoid.ellipsoid import Ellipsoid

wgs84 = Ellipsoid(6378137.0, 1 / 298.257223563)
sphere = Ellipsoid(Re=6371000.0, f=0.0)
assert_type(wgs84.Rp, float)
assert sphere.Rp == sphere.Re


def one_point(lat: float, lon: float, alt: float) -> tuple[float, float, float]:
    r = wgs84.pos_from_lla(lat, lon, alt)
    assert_type(r, NDArray[np.float64])
    lla = wgs84.lla_from_pos(r)
    assert_type(lla, NDArray[np.void])
    assert lla.dtype == LLA_dtype
    beta = wgs84.reduced_lat_from_geodetic_lat(geodetic_lat=lat)
    assert_type(beta, float)
    assert_type(wgs84.geodetic_lat_from_reduced_lat(beta), float)
    frame = wgs84.enu(lat, lon)
    assert frame.dtype == ENU_dtype
    surface = wgs84.surf_pos_from_surf_coord(lat, lon)
    assert wgs84.surf_coord_from_surf_pos(surface).dtype == SurfCoord_dtype
    reduced: float = wgs84.solve_reduced_lat_equation(r)
    assert abs(reduced - beta) < 1e-9
    return float(lla["lat"][0]), float(lla["lon"][0]), float(lla["alt"][0])


def many_points(n: int) -> NDArray[np.float64]:
    lat = np.linspace(-1.5, 1.5, n)
    lon = np.linspace(-3.0, 3.0, n)
    alt = np.full(n, 1000.0)
    positions = wgs84.pos_from_lla(lat, lon, alt)
    betas = wgs84.reduced_lat_from_geodetic_lat(lat)
    assert_type(betas, NDArray[np.float64])
    frames = wgs84.enu(lat.astype(np.float32), lon)
    look = wgs84.aer_coords(positions, 0.1, 0.2, 300)
    assert look.dtype == AER_dtype and frames.shape == (n,)
    rows: Any = wgs84.solve_reduced_lat_equation(positions)
    assert rows.shape == (n,)
    hits = wgs84.surf_pos_of_ray_first_intersection(
        r_source=np.array([1e7, 0.0, 0.0]), u_ray=-positions
    )
    return np.asarray(hits - positions, dtype=np.float64)


include: str = get_include()
print(one_point(0.9, 0.1, 45.0), many_points(5).shape, include)
