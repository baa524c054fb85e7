# Rendered by scripts/render_ufunc_stubs.py from the module's registry; do not edit.
from typing import Any, Protocol, overload

import numpy as np
from numpy.typing import ArrayLike, NDArray

_Scalar = float | np.floating[Any] | np.integer[Any]
_F32 = NDArray[np.float32]
_F64 = NDArray[np.float64]

class _Ufunc(Protocol):
    """What every ufunc of this module has beyond its call forms."""

    @property
    def __name__(self) -> str: ...
    @property
    def nin(self) -> int: ...
    @property
    def nout(self) -> int: ...
    @property
    def nargs(self) -> int: ...
    @property
    def signature(self) -> str | None: ...
    @property
    def types(self) -> list[str]: ...

class _LlaFromPos(_Ufunc, Protocol):
    @overload
    def __call__(self, x: _Scalar, y: _Scalar, z: _Scalar, Re: float, f: float, /, **kwargs: Any) -> tuple[float, float, float]: ...
    @overload
    def __call__(self, x: _F32, y: _F32, z: _F32, Re: float, f: float, /, **kwargs: Any) -> tuple[_F32, _F32, _F32]: ...
    @overload
    def __call__(self, x: ArrayLike, y: ArrayLike, z: ArrayLike, Re: ArrayLike, f: ArrayLike, /, **kwargs: Any) -> tuple[_F64, _F64, _F64]: ...

class _PosFromLla(_Ufunc, Protocol):
    @overload
    def __call__(self, lat: _Scalar, lon: _Scalar, alt: _Scalar, Re: float, f: float, /, **kwargs: Any) -> tuple[float, float, float]: ...
    @overload
    def __call__(self, lat: _F32, lon: _F32, alt: _F32, Re: float, f: float, /, **kwargs: Any) -> tuple[_F32, _F32, _F32]: ...
    @overload
    def __call__(self, lat: ArrayLike, lon: ArrayLike, alt: ArrayLike, Re: ArrayLike, f: ArrayLike, /, **kwargs: Any) -> tuple[_F64, _F64, _F64]: ...

class _ReducedLatFromGeodeticLat(_Ufunc, Protocol):
    @overload
    def __call__(self, lat: _Scalar, Re: float, f: float, /, **kwargs: Any) -> float: ...
    @overload
    def __call__(self, lat: _F32, Re: float, f: float, /, **kwargs: Any) -> _F32: ...
    @overload
    def __call__(self, lat: ArrayLike, Re: ArrayLike, f: ArrayLike, /, **kwargs: Any) -> _F64: ...

class _GeodeticLatFromReducedLat(_Ufunc, Protocol):
    @overload
    def __call__(self, beta: _Scalar, Re: float, f: float, /, **kwargs: Any) -> float: ...
    @overload
    def __call__(self, beta: _F32, Re: float, f: float, /, **kwargs: Any) -> _F32: ...
    @overload
    def __call__(self, beta: ArrayLike, Re: ArrayLike, f: ArrayLike, /, **kwargs: Any) -> _F64: ...

class _SolveReducedLatEquation(_Ufunc, Protocol):
    @overload
    def __call__(self, x: _Scalar, y: _Scalar, z: _Scalar, Re: float, f: float, /, **kwargs: Any) -> float: ...
    @overload
    def __call__(self, x: _F32, y: _F32, z: _F32, Re: float, f: float, /, **kwargs: Any) -> _F32: ...
    @overload
    def __call__(self, x: ArrayLike, y: ArrayLike, z: ArrayLike, Re: ArrayLike, f: ArrayLike, /, **kwargs: Any) -> _F64: ...

class _SurfPosFromSurfCoord(_Ufunc, Protocol):
    @overload
    def __call__(self, lat: _Scalar, lon: _Scalar, Re: float, f: float, /, **kwargs: Any) -> tuple[float, float, float]: ...
    @overload
    def __call__(self, lat: _F32, lon: _F32, Re: float, f: float, /, **kwargs: Any) -> tuple[_F32, _F32, _F32]: ...
    @overload
    def __call__(self, lat: ArrayLike, lon: ArrayLike, Re: ArrayLike, f: ArrayLike, /, **kwargs: Any) -> tuple[_F64, _F64, _F64]: ...

class _SurfCoordFromSurfPos(_Ufunc, Protocol):
    @overload
    def __call__(self, x: _Scalar, y: _Scalar, z: _Scalar, Re: float, f: float, /, **kwargs: Any) -> tuple[float, float]: ...
    @overload
    def __call__(self, x: _F32, y: _F32, z: _F32, Re: float, f: float, /, **kwargs: Any) -> tuple[_F32, _F32]: ...
    @overload
    def __call__(self, x: ArrayLike, y: ArrayLike, z: ArrayLike, Re: ArrayLike, f: ArrayLike, /, **kwargs: Any) -> tuple[_F64, _F64]: ...

class _Enu(_Ufunc, Protocol):
    @overload
    def __call__(self, lat: _Scalar, lon: _Scalar, Re: float, f: float, /, **kwargs: Any) -> tuple[_F64, _F64, _F64]: ...
    @overload
    def __call__(self, lat: _F32, lon: _F32, Re: float, f: float, /, **kwargs: Any) -> tuple[_F32, _F32, _F32]: ...
    @overload
    def __call__(self, lat: ArrayLike, lon: ArrayLike, Re: ArrayLike, f: ArrayLike, /, **kwargs: Any) -> tuple[_F64, _F64, _F64]: ...

class _SurfPosOfRayFirstIntersection(_Ufunc, Protocol):
    @overload
    def __call__(self, x: _Scalar, y: _Scalar, z: _Scalar, ux: _Scalar, uy: _Scalar, uz: _Scalar, Re: float, f: float, /, **kwargs: Any) -> tuple[float, float, float]: ...
    @overload
    def __call__(self, x: _F32, y: _F32, z: _F32, ux: _F32, uy: _F32, uz: _F32, Re: float, f: float, /, **kwargs: Any) -> tuple[_F32, _F32, _F32]: ...
    @overload
    def __call__(self, x: ArrayLike, y: ArrayLike, z: ArrayLike, ux: ArrayLike, uy: ArrayLike, uz: ArrayLike, Re: ArrayLike, f: ArrayLike, /, **kwargs: Any) -> tuple[_F64, _F64, _F64]: ...

class _AerCoords(_Ufunc, Protocol):
    @overload
    def __call__(self, x: _Scalar, y: _Scalar, z: _Scalar, lat: _Scalar, lon: _Scalar, alt: _Scalar, Re: float, f: float, /, **kwargs: Any) -> tuple[float, float, float]: ...
    @overload
    def __call__(self, x: _F32, y: _F32, z: _F32, lat: _F32, lon: _F32, alt: _F32, Re: float, f: float, /, **kwargs: Any) -> tuple[_F32, _F32, _F32]: ...
    @overload
    def __call__(self, x: ArrayLike, y: ArrayLike, z: ArrayLike, lat: ArrayLike, lon: ArrayLike, alt: ArrayLike, Re: ArrayLike, f: ArrayLike, /, **kwargs: Any) -> tuple[_F64, _F64, _F64]: ...

class _GeodesicDirect(_Ufunc, Protocol):
    @overload
    def __call__(self, lat1: _Scalar, lon1: _Scalar, azi1: _Scalar, s12: _Scalar, Re: float, f: float, /, **kwargs: Any) -> tuple[float, float, float]: ...
    @overload
    def __call__(self, lat1: _F32, lon1: _F32, azi1: _F32, s12: _F32, Re: float, f: float, /, **kwargs: Any) -> tuple[_F32, _F32, _F32]: ...
    @overload
    def __call__(self, lat1: ArrayLike, lon1: ArrayLike, azi1: ArrayLike, s12: ArrayLike, Re: ArrayLike, f: ArrayLike, /, **kwargs: Any) -> tuple[_F64, _F64, _F64]: ...

class _GeodesicInverse(_Ufunc, Protocol):
    @overload
    def __call__(self, lat1: _Scalar, lon1: _Scalar, lat2: _Scalar, lon2: _Scalar, Re: float, f: float, /, **kwargs: Any) -> tuple[float, float, float]: ...
    @overload
    def __call__(self, lat1: _F32, lon1: _F32, lat2: _F32, lon2: _F32, Re: float, f: float, /, **kwargs: Any) -> tuple[_F32, _F32, _F32]: ...
    @overload
    def __call__(self, lat1: ArrayLike, lon1: ArrayLike, lat2: ArrayLike, lon2: ArrayLike, Re: ArrayLike, f: ArrayLike, /, **kwargs: Any) -> tuple[_F64, _F64, _F64]: ...

lla_from_pos: _LlaFromPos
pos_from_lla: _PosFromLla
reduced_lat_from_geodetic_lat: _ReducedLatFromGeodeticLat
geodetic_lat_from_reduced_lat: _GeodeticLatFromReducedLat
solve_reduced_lat_equation: _SolveReducedLatEquation
surf_pos_from_surf_coord: _SurfPosFromSurfCoord
surf_coord_from_surf_pos: _SurfCoordFromSurfPos
enu: _Enu
surf_pos_of_ray_first_intersection: _SurfPosOfRayFirstIntersection
aer_coords: _AerCoords
geodesic_direct: _GeodesicDirect
geodesic_inverse: _GeodesicInverse

# Per ufunc: (inputs, outputs), each ((column name, unit), ...); units are "rad",
# "m", "1" (dimensionless) or "any" (the caller's unit).
columns: dict[str, tuple[tuple[tuple[str, str], ...], tuple[tuple[str, str], ...]]]
# The slot of the Ellipsoid method table of each conversion that is one of its routines.
table_slots: dict[str, int]

# (Re, f) of the usual reference ellipsoids.
WGS84: tuple[float, float]
GRS80: tuple[float, float]

# The kernel set the conversions run on: "avx2-libmvec" or "plain".
kernel_set: str
