# Rendered by scripts/render_ufunc_stubs.py from the module's registry; do not edit.
from typing import Any, Protocol, overload

from numpy.typing import ArrayLike

from quorvane._typing import _F32, _F64, _Real
from quorvane.mathtools.ellipsoid._ufunc_typing import _Ufunc

class _Points1To1ValuesOnEllipsoid(_Ufunc, Protocol):
    @overload
    def __call__(self, p0: _Real, Re: float, f: float, /, **kwargs: Any) -> float: ...
    @overload
    def __call__(self, p0: _F32, Re: float, f: float, /, **kwargs: Any) -> _F32: ...
    @overload
    def __call__(self, p0: ArrayLike, Re: ArrayLike, f: ArrayLike, /, **kwargs: Any) -> _F64: ...

class _Points2To1ValuesOnEllipsoid(_Ufunc, Protocol):
    @overload
    def __call__(self, p0: _Real, p1: _Real, Re: float, f: float, /, **kwargs: Any) -> float: ...
    @overload
    def __call__(self, p0: _F32, p1: _F32, Re: float, f: float, /, **kwargs: Any) -> _F32: ...
    @overload
    def __call__(self, p0: ArrayLike, p1: ArrayLike, Re: ArrayLike, f: ArrayLike, /, **kwargs: Any) -> _F64: ...

class _Points2To3ValuesOnEllipsoid(_Ufunc, Protocol):
    @overload
    def __call__(self, p0: _Real, p1: _Real, Re: float, f: float, /, **kwargs: Any) -> tuple[float, float, float]: ...
    @overload
    def __call__(self, p0: _F32, p1: _F32, Re: float, f: float, /, **kwargs: Any) -> tuple[_F32, _F32, _F32]: ...
    @overload
    def __call__(self, p0: ArrayLike, p1: ArrayLike, Re: ArrayLike, f: ArrayLike, /, **kwargs: Any) -> tuple[_F64, _F64, _F64]: ...

class _Points2To3VectorsOnEllipsoid(_Ufunc, Protocol):
    @overload
    def __call__(self, p0: _F32, p1: _F32, Re: float, f: float, /, **kwargs: Any) -> tuple[_F32, _F32, _F32]: ...
    @overload
    def __call__(self, p0: ArrayLike, p1: ArrayLike, Re: ArrayLike, f: ArrayLike, /, **kwargs: Any) -> tuple[_F64, _F64, _F64]: ...

class _Points3To3Values(_Ufunc, Protocol):
    @overload
    def __call__(self, p0: _Real, p1: _Real, p2: _Real, /, **kwargs: Any) -> tuple[float, float, float]: ...
    @overload
    def __call__(self, p0: _F32, p1: _F32, p2: _F32, /, **kwargs: Any) -> tuple[_F32, _F32, _F32]: ...
    @overload
    def __call__(self, p0: ArrayLike, p1: ArrayLike, p2: ArrayLike, /, **kwargs: Any) -> tuple[_F64, _F64, _F64]: ...

class _Points3To1ValuesOnEllipsoid(_Ufunc, Protocol):
    @overload
    def __call__(self, p0: _Real, p1: _Real, p2: _Real, Re: float, f: float, /, **kwargs: Any) -> float: ...
    @overload
    def __call__(self, p0: _F32, p1: _F32, p2: _F32, Re: float, f: float, /, **kwargs: Any) -> _F32: ...
    @overload
    def __call__(self, p0: ArrayLike, p1: ArrayLike, p2: ArrayLike, Re: ArrayLike, f: ArrayLike, /, **kwargs: Any) -> _F64: ...

class _Points3To2ValuesOnEllipsoid(_Ufunc, Protocol):
    @overload
    def __call__(self, p0: _Real, p1: _Real, p2: _Real, Re: float, f: float, /, **kwargs: Any) -> tuple[float, float]: ...
    @overload
    def __call__(self, p0: _F32, p1: _F32, p2: _F32, Re: float, f: float, /, **kwargs: Any) -> tuple[_F32, _F32]: ...
    @overload
    def __call__(self, p0: ArrayLike, p1: ArrayLike, p2: ArrayLike, Re: ArrayLike, f: ArrayLike, /, **kwargs: Any) -> tuple[_F64, _F64]: ...

class _Points3To3ValuesOnEllipsoid(_Ufunc, Protocol):
    @overload
    def __call__(self, p0: _Real, p1: _Real, p2: _Real, Re: float, f: float, /, **kwargs: Any) -> tuple[float, float, float]: ...
    @overload
    def __call__(self, p0: _F32, p1: _F32, p2: _F32, Re: float, f: float, /, **kwargs: Any) -> tuple[_F32, _F32, _F32]: ...
    @overload
    def __call__(self, p0: ArrayLike, p1: ArrayLike, p2: ArrayLike, Re: ArrayLike, f: ArrayLike, /, **kwargs: Any) -> tuple[_F64, _F64, _F64]: ...

class _Points4To3ValuesOnEllipsoid(_Ufunc, Protocol):
    @overload
    def __call__(self, p0: _Real, p1: _Real, p2: _Real, p3: _Real, Re: float, f: float, /, **kwargs: Any) -> tuple[float, float, float]: ...
    @overload
    def __call__(self, p0: _F32, p1: _F32, p2: _F32, p3: _F32, Re: float, f: float, /, **kwargs: Any) -> tuple[_F32, _F32, _F32]: ...
    @overload
    def __call__(self, p0: ArrayLike, p1: ArrayLike, p2: ArrayLike, p3: ArrayLike, Re: ArrayLike, f: ArrayLike, /, **kwargs: Any) -> tuple[_F64, _F64, _F64]: ...

class _Points4To5ValuesOnEllipsoid(_Ufunc, Protocol):
    @overload
    def __call__(self, p0: _Real, p1: _Real, p2: _Real, p3: _Real, Re: float, f: float, /, **kwargs: Any) -> tuple[float, float, float, float, float]: ...
    @overload
    def __call__(self, p0: _F32, p1: _F32, p2: _F32, p3: _F32, Re: float, f: float, /, **kwargs: Any) -> tuple[_F32, _F32, _F32, _F32, _F32]: ...
    @overload
    def __call__(self, p0: ArrayLike, p1: ArrayLike, p2: ArrayLike, p3: ArrayLike, Re: ArrayLike, f: ArrayLike, /, **kwargs: Any) -> tuple[_F64, _F64, _F64, _F64, _F64]: ...

class _Points5To3Values(_Ufunc, Protocol):
    @overload
    def __call__(self, p0: _Real, p1: _Real, p2: _Real, p3: _Real, p4: _Real, /, **kwargs: Any) -> tuple[float, float, float]: ...
    @overload
    def __call__(self, p0: _F32, p1: _F32, p2: _F32, p3: _F32, p4: _F32, /, **kwargs: Any) -> tuple[_F32, _F32, _F32]: ...
    @overload
    def __call__(self, p0: ArrayLike, p1: ArrayLike, p2: ArrayLike, p3: ArrayLike, p4: ArrayLike, /, **kwargs: Any) -> tuple[_F64, _F64, _F64]: ...

class _Points5To3ValuesOnEllipsoid(_Ufunc, Protocol):
    @overload
    def __call__(self, p0: _Real, p1: _Real, p2: _Real, p3: _Real, p4: _Real, Re: float, f: float, /, **kwargs: Any) -> tuple[float, float, float]: ...
    @overload
    def __call__(self, p0: _F32, p1: _F32, p2: _F32, p3: _F32, p4: _F32, Re: float, f: float, /, **kwargs: Any) -> tuple[_F32, _F32, _F32]: ...
    @overload
    def __call__(self, p0: ArrayLike, p1: ArrayLike, p2: ArrayLike, p3: ArrayLike, p4: ArrayLike, Re: ArrayLike, f: ArrayLike, /, **kwargs: Any) -> tuple[_F64, _F64, _F64]: ...

class _Points6To3ValuesOnEllipsoid(_Ufunc, Protocol):
    @overload
    def __call__(self, p0: _Real, p1: _Real, p2: _Real, p3: _Real, p4: _Real, p5: _Real, Re: float, f: float, /, **kwargs: Any) -> tuple[float, float, float]: ...
    @overload
    def __call__(self, p0: _F32, p1: _F32, p2: _F32, p3: _F32, p4: _F32, p5: _F32, Re: float, f: float, /, **kwargs: Any) -> tuple[_F32, _F32, _F32]: ...
    @overload
    def __call__(self, p0: ArrayLike, p1: ArrayLike, p2: ArrayLike, p3: ArrayLike, p4: ArrayLike, p5: ArrayLike, Re: ArrayLike, f: ArrayLike, /, **kwargs: Any) -> tuple[_F64, _F64, _F64]: ...

lla_from_pos: _Points3To3ValuesOnEllipsoid
pos_from_lla: _Points3To3ValuesOnEllipsoid
reduced_lat_from_geodetic_lat: _Points1To1ValuesOnEllipsoid
geodetic_lat_from_reduced_lat: _Points1To1ValuesOnEllipsoid
solve_reduced_lat_equation: _Points3To1ValuesOnEllipsoid
surf_pos_from_surf_coord: _Points2To3ValuesOnEllipsoid
surf_coord_from_surf_pos: _Points3To2ValuesOnEllipsoid
enu: _Points2To3VectorsOnEllipsoid
surf_pos_of_ray_first_intersection: _Points6To3ValuesOnEllipsoid
aer_coords: _Points6To3ValuesOnEllipsoid
enu_from_pos: _Points6To3ValuesOnEllipsoid
pos_from_enu: _Points6To3ValuesOnEllipsoid
ned_from_pos: _Points6To3ValuesOnEllipsoid
pos_from_ned: _Points6To3ValuesOnEllipsoid
enu_from_lla: _Points6To3ValuesOnEllipsoid
lla_from_enu: _Points6To3ValuesOnEllipsoid
ned_from_lla: _Points6To3ValuesOnEllipsoid
lla_from_ned: _Points6To3ValuesOnEllipsoid
aer_from_lla: _Points6To3ValuesOnEllipsoid
lla_from_aer: _Points6To3ValuesOnEllipsoid
pos_from_aer: _Points6To3ValuesOnEllipsoid
aer_from_pos: _Points6To3ValuesOnEllipsoid
aer_from_enu: _Points3To3Values
enu_from_aer: _Points3To3Values
aer_from_ned: _Points3To3Values
ned_from_aer: _Points3To3Values
enu_from_ecef_vector: _Points5To3Values
ecef_vector_from_enu: _Points5To3Values
ned_from_ecef_vector: _Points5To3Values
ecef_vector_from_ned: _Points5To3Values
look_at_spheroid: _Points5To3ValuesOnEllipsoid
geocentric_lat_from_geodetic_lat: _Points2To1ValuesOnEllipsoid
geodetic_lat_from_geocentric_lat: _Points2To1ValuesOnEllipsoid
spherical_from_lla: _Points3To3ValuesOnEllipsoid
lla_from_spherical: _Points3To3ValuesOnEllipsoid
isometric_lat_from_geodetic_lat: _Points1To1ValuesOnEllipsoid
geodetic_lat_from_isometric_lat: _Points1To1ValuesOnEllipsoid
rectifying_lat_from_geodetic_lat: _Points1To1ValuesOnEllipsoid
geodetic_lat_from_rectifying_lat: _Points1To1ValuesOnEllipsoid
authalic_lat_from_geodetic_lat: _Points1To1ValuesOnEllipsoid
geodetic_lat_from_authalic_lat: _Points1To1ValuesOnEllipsoid
conformal_lat_from_geodetic_lat: _Points1To1ValuesOnEllipsoid
geodetic_lat_from_conformal_lat: _Points1To1ValuesOnEllipsoid
meridian_radius: _Points1To1ValuesOnEllipsoid
transverse_radius: _Points1To1ValuesOnEllipsoid
parallel_radius: _Points1To1ValuesOnEllipsoid
geocentric_radius: _Points1To1ValuesOnEllipsoid
geodesic_direct: _Points4To3ValuesOnEllipsoid
geodesic_inverse: _Points4To3ValuesOnEllipsoid
geodesic_direct_lengths: _Points4To5ValuesOnEllipsoid
geodesic_inverse_lengths: _Points4To5ValuesOnEllipsoid

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
