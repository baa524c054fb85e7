"""The ufunc module used as its users do, checked by `mypy --strict` and then run.

Each ufunc's stub type is shared by every ufunc of the same arity, so these
lines cover each call form (scalars, float32 arrays, any array-like), one and
several outputs, core dimensions, and ufuncs with and without (Re, f).
"""

from typing import assert_type

import numpy as np
from numpy.typing import NDArray

from quorvane.mathtools.ellipsoid import ufuncs as U

F32 = NDArray[np.float32]
F64 = NDArray[np.float64]
Re, f = U.WGS84
lat32 = np.linspace(-1.0, 1.0, 4, dtype=np.float32)
lat64 = np.linspace(-1.0, 1.0, 4)

assert_type(U.reduced_lat_from_geodetic_lat(0.5, Re, f), float)
assert_type(U.reduced_lat_from_geodetic_lat(np.float64(0.5), Re, f), float)
assert_type(U.reduced_lat_from_geodetic_lat(lat32, Re, f), F32)
assert_type(U.reduced_lat_from_geodetic_lat(lat64, Re, f), F64)
assert_type(U.reduced_lat_from_geodetic_lat([0.1, 0.2], Re, f), F64)
assert_type(U.geocentric_lat_from_geodetic_lat(0.5, 100.0, Re, f), float)

assert_type(U.pos_from_lla(0.5, 0.1, 10.0, Re, f), tuple[float, float, float])
assert_type(U.pos_from_lla(lat32, lat32, lat32, Re, f), tuple[F32, F32, F32])
assert_type(U.pos_from_lla(lat64, 0.1, 10.0, Re, f), tuple[F64, F64, F64])
assert_type(U.surf_coord_from_surf_pos(Re, 0.0, 0.0, Re, f), tuple[float, float])
assert_type(U.geodesic_inverse_lengths(0.1, 0.2, 0.3, 0.4, Re, f),
            tuple[float, float, float, float, float])

assert_type(U.enu(0.5, 0.1, Re, f), tuple[F64, F64, F64])
assert_type(U.enu(lat32, lat32, Re, f), tuple[F32, F32, F32])

assert_type(U.aer_from_enu(1.0, 2.0, 3.0), tuple[float, float, float])
assert_type(U.enu_from_ecef_vector(lat64, lat64, lat64, 0.5, 0.1), tuple[F64, F64, F64])
assert_type(U.look_at_spheroid(lat64, 0.1, 1e5, 0.2, 0.3, Re, f), tuple[F64, F64, F64])

assert U.reduced_lat_from_geodetic_lat.nin == 3 and U.enu.signature is not None
