"""NumPy dtypes of the records shared with the compiled geometry routines.

Each dtype has exactly the layout of its C record in ``structured.h``:
native-endian float64 fields, packed, in this order.
"""

from __future__ import annotations

import numpy as np

SurfCoord_dtype: np.dtype[np.void] = np.dtype([("lat", np.float64), ("lon", np.float64)])
LLA_dtype: np.dtype[np.void] = np.dtype(
    [("lat", np.float64), ("lon", np.float64), ("alt", np.float64)]
)
ENU_dtype: np.dtype[np.void] = np.dtype(
    [("u_east", np.float64, (3,)), ("u_north", np.float64, (3,)), ("u_up", np.float64, (3,))]
)
AER_dtype: np.dtype[np.void] = np.dtype(
    [("azimuth", np.float64), ("elevation", np.float64), ("range", np.float64)]
)

__all__ = ["SurfCoord_dtype", "LLA_dtype", "ENU_dtype", "AER_dtype"]
