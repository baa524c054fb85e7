from typing import Any, ClassVar, Final, TypeAlias, overload

import numpy as np
from numpy.typing import NDArray
from typing_extensions import CapsuleType, disjoint_base

from quorvane._typing import _F64, _Real

# Position, coordinate and direction arrays are converted to float64 from any
# real dtype; the latitude conversions read float64 buffers only.
_RealArray: TypeAlias = NDArray[np.floating[Any] | np.integer[Any] | np.bool_]

SurfCoord_dtype: np.dtype[np.void]
LLA_dtype: np.dtype[np.void]
ENU_dtype: np.dtype[np.void]
AER_dtype: np.dtype[np.void]

# Its instance layout is the C record, so it cannot share a subclass with another
# such type.
@disjoint_base
class Ellipsoid:
    # The method table for compiled callers (ellipsoid.h, ellipsoid.pxd).
    __pyx_vtable__: ClassVar[CapsuleType]
    # The batch kernels for compiled callers (batch.h, ellipsoid.pxd).
    __quorvane_batch_api__: ClassVar[CapsuleType]

    def __init__(self, Re: _Real, f: _Real) -> None: ...
    Re: Final[float]
    f: Final[float]
    Rp: Final[float]
    @overload
    def reduced_lat_from_geodetic_lat(self, geodetic_lat: _Real) -> float: ...
    @overload
    def reduced_lat_from_geodetic_lat(self, geodetic_lat: _F64) -> _F64: ...
    @overload
    def geodetic_lat_from_reduced_lat(self, reduced_lat: _Real) -> float: ...
    @overload
    def geodetic_lat_from_reduced_lat(self, reduced_lat: _F64) -> _F64: ...
    # One frame of ENU_dtype for two numbers, one per element for arrays.
    @overload
    def enu(self, lat: _Real, lon: _Real) -> NDArray[np.void]: ...
    @overload
    def enu(self, lat: _RealArray, lon: _RealArray) -> NDArray[np.void]: ...
    # Shape (3,) for two numbers, (N, 3) for arrays.
    @overload
    def surf_pos_from_surf_coord(self, lat: _Real, lon: _Real) -> _F64: ...
    @overload
    def surf_pos_from_surf_coord(self, lat: _RealArray, lon: _RealArray) -> _F64: ...
    # SurfCoord_dtype, shape (1,) or (N,).
    def surf_coord_from_surf_pos(self, r_surf: _RealArray) -> NDArray[np.void]: ...
    # A float for one position of shape (3,), an array of shape (N,) for (N, 3)
    # rows. Overloads on the static shape would be unsound: an array of unknown
    # shape (NDArray) matches a one-dimensional pattern, so the result stays open.
    def solve_reduced_lat_equation(self, r: _RealArray) -> Any: ...
    # LLA_dtype, shape (1,) or (N,).
    def lla_from_pos(self, r: _RealArray) -> NDArray[np.void]: ...
    # Shape (3,) for three numbers, (N, 3) for arrays.
    @overload
    def pos_from_lla(self, lat: _Real, lon: _Real, alt: _Real) -> _F64: ...
    @overload
    def pos_from_lla(
        self, lat: _RealArray, lon: _RealArray, alt: _RealArray
    ) -> _F64: ...
    # Shape (3,) or (N, 3), as u_ray.
    def surf_pos_of_ray_first_intersection(
        self, r_source: _RealArray, u_ray: _RealArray
    ) -> _F64: ...
    # AER_dtype, shape (1,) or (N,).
    def aer_coords(
        self, r_target: _RealArray, lat_obs: _Real, lon_obs: _Real, alt_obs: _Real
    ) -> NDArray[np.void]: ...
