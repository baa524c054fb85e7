from collections.abc import Sequence
from typing import Any, ClassVar, Final, Literal, Protocol, TypeAlias, overload

import numpy as np
from numpy.typing import NDArray

from quorvane._typing import _F64
from quorvane.mathtools.ellipsoid.ellipsoid import Ellipsoid as _CompiledEllipsoid

# Python numbers give Python floats; float64, integer and list inputs give
# float64 arrays; anything else that NumPy can read (float32 arrays, pandas
# Series, xarray DataArrays, dask arrays) gives the same kind of object back.
_Numbers: TypeAlias = NDArray[np.float64] | NDArray[np.integer[Any]] | Sequence[float] | float

class _ArrayLike(Protocol):
    def __array__(self, *args: Any, **kwargs: Any) -> Any: ...

_Input: TypeAlias = _ArrayLike | Sequence[float] | float

class _SemiAxes(Protocol):
    # pymap3d's Ellipsoid, read through its semi-axes.
    @property
    def semimajor_axis(self) -> float: ...
    @property
    def semiminor_axis(self) -> float: ...

_Ell: TypeAlias = Ellipsoid | _CompiledEllipsoid | _SemiAxes | None

class Ellipsoid:
    models: ClassVar[dict[str, dict[str, str | float]]]
    semimajor_axis: Final[float]
    semiminor_axis: Final[float]
    flattening: Final[float]
    thirdflattening: Final[float]
    eccentricity: Final[float]
    name: Final[str]
    model: Final[str]
    def __init__(self, semimajor_axis: float, semiminor_axis: float, name: str = "",
                 model: str = "") -> None: ...
    @classmethod
    def from_name(cls, name: str) -> Ellipsoid: ...
    def __eq__(self, other: object) -> bool: ...
    def __hash__(self) -> int: ...

@overload
def geodetic2ecef(lat: float, lon: float, alt: float, ell: _Ell = None, deg: bool = True) -> tuple[float, float, float]: ...  # type: ignore[overload-overlap]
@overload
def geodetic2ecef(lat: _Numbers, lon: _Numbers, alt: _Numbers, ell: _Ell = None, deg: bool = True) -> tuple[_F64, _F64, _F64]: ...
@overload
def geodetic2ecef(lat: _Input, lon: _Input, alt: _Input, ell: _Ell = None, deg: bool = True) -> tuple[Any, Any, Any]: ...

@overload
def ecef2geodetic(x: float, y: float, z: float, ell: _Ell = None, deg: bool = True) -> tuple[float, float, float]: ...  # type: ignore[overload-overlap]
@overload
def ecef2geodetic(x: _Numbers, y: _Numbers, z: _Numbers, ell: _Ell = None, deg: bool = True) -> tuple[_F64, _F64, _F64]: ...
@overload
def ecef2geodetic(x: _Input, y: _Input, z: _Input, ell: _Ell = None, deg: bool = True) -> tuple[Any, Any, Any]: ...

@overload
def geodetic2enu(lat: float, lon: float, h: float, lat0: float, lon0: float, h0: float, ell: _Ell = None, deg: bool = True) -> tuple[float, float, float]: ...  # type: ignore[overload-overlap]
@overload
def geodetic2enu(lat: _Numbers, lon: _Numbers, h: _Numbers, lat0: _Numbers, lon0: _Numbers, h0: _Numbers, ell: _Ell = None, deg: bool = True) -> tuple[_F64, _F64, _F64]: ...
@overload
def geodetic2enu(lat: _Input, lon: _Input, h: _Input, lat0: _Input, lon0: _Input, h0: _Input, ell: _Ell = None, deg: bool = True) -> tuple[Any, Any, Any]: ...

@overload
def enu2geodetic(e: float, n: float, u: float, lat0: float, lon0: float, h0: float, ell: _Ell = None, deg: bool = True) -> tuple[float, float, float]: ...  # type: ignore[overload-overlap]
@overload
def enu2geodetic(e: _Numbers, n: _Numbers, u: _Numbers, lat0: _Numbers, lon0: _Numbers, h0: _Numbers, ell: _Ell = None, deg: bool = True) -> tuple[_F64, _F64, _F64]: ...
@overload
def enu2geodetic(e: _Input, n: _Input, u: _Input, lat0: _Input, lon0: _Input, h0: _Input, ell: _Ell = None, deg: bool = True) -> tuple[Any, Any, Any]: ...

@overload
def ecef2enu(x: float, y: float, z: float, lat0: float, lon0: float, h0: float, ell: _Ell = None, deg: bool = True) -> tuple[float, float, float]: ...  # type: ignore[overload-overlap]
@overload
def ecef2enu(x: _Numbers, y: _Numbers, z: _Numbers, lat0: _Numbers, lon0: _Numbers, h0: _Numbers, ell: _Ell = None, deg: bool = True) -> tuple[_F64, _F64, _F64]: ...
@overload
def ecef2enu(x: _Input, y: _Input, z: _Input, lat0: _Input, lon0: _Input, h0: _Input, ell: _Ell = None, deg: bool = True) -> tuple[Any, Any, Any]: ...

@overload
def enu2ecef(e1: float, n1: float, u1: float, lat0: float, lon0: float, h0: float, ell: _Ell = None, deg: bool = True) -> tuple[float, float, float]: ...  # type: ignore[overload-overlap]
@overload
def enu2ecef(e1: _Numbers, n1: _Numbers, u1: _Numbers, lat0: _Numbers, lon0: _Numbers, h0: _Numbers, ell: _Ell = None, deg: bool = True) -> tuple[_F64, _F64, _F64]: ...
@overload
def enu2ecef(e1: _Input, n1: _Input, u1: _Input, lat0: _Input, lon0: _Input, h0: _Input, ell: _Ell = None, deg: bool = True) -> tuple[Any, Any, Any]: ...

@overload
def geodetic2ned(lat: float, lon: float, h: float, lat0: float, lon0: float, h0: float, ell: _Ell = None, deg: bool = True) -> tuple[float, float, float]: ...  # type: ignore[overload-overlap]
@overload
def geodetic2ned(lat: _Numbers, lon: _Numbers, h: _Numbers, lat0: _Numbers, lon0: _Numbers, h0: _Numbers, ell: _Ell = None, deg: bool = True) -> tuple[_F64, _F64, _F64]: ...
@overload
def geodetic2ned(lat: _Input, lon: _Input, h: _Input, lat0: _Input, lon0: _Input, h0: _Input, ell: _Ell = None, deg: bool = True) -> tuple[Any, Any, Any]: ...

@overload
def ned2geodetic(n: float, e: float, d: float, lat0: float, lon0: float, h0: float, ell: _Ell = None, deg: bool = True) -> tuple[float, float, float]: ...  # type: ignore[overload-overlap]
@overload
def ned2geodetic(n: _Numbers, e: _Numbers, d: _Numbers, lat0: _Numbers, lon0: _Numbers, h0: _Numbers, ell: _Ell = None, deg: bool = True) -> tuple[_F64, _F64, _F64]: ...
@overload
def ned2geodetic(n: _Input, e: _Input, d: _Input, lat0: _Input, lon0: _Input, h0: _Input, ell: _Ell = None, deg: bool = True) -> tuple[Any, Any, Any]: ...

@overload
def ecef2ned(x: float, y: float, z: float, lat0: float, lon0: float, h0: float, ell: _Ell = None, deg: bool = True) -> tuple[float, float, float]: ...  # type: ignore[overload-overlap]
@overload
def ecef2ned(x: _Numbers, y: _Numbers, z: _Numbers, lat0: _Numbers, lon0: _Numbers, h0: _Numbers, ell: _Ell = None, deg: bool = True) -> tuple[_F64, _F64, _F64]: ...
@overload
def ecef2ned(x: _Input, y: _Input, z: _Input, lat0: _Input, lon0: _Input, h0: _Input, ell: _Ell = None, deg: bool = True) -> tuple[Any, Any, Any]: ...

@overload
def ned2ecef(n: float, e: float, d: float, lat0: float, lon0: float, h0: float, ell: _Ell = None, deg: bool = True) -> tuple[float, float, float]: ...  # type: ignore[overload-overlap]
@overload
def ned2ecef(n: _Numbers, e: _Numbers, d: _Numbers, lat0: _Numbers, lon0: _Numbers, h0: _Numbers, ell: _Ell = None, deg: bool = True) -> tuple[_F64, _F64, _F64]: ...
@overload
def ned2ecef(n: _Input, e: _Input, d: _Input, lat0: _Input, lon0: _Input, h0: _Input, ell: _Ell = None, deg: bool = True) -> tuple[Any, Any, Any]: ...

@overload
def geodetic2aer(lat: float, lon: float, h: float, lat0: float, lon0: float, h0: float, ell: _Ell = None, deg: bool = True) -> tuple[float, float, float]: ...  # type: ignore[overload-overlap]
@overload
def geodetic2aer(lat: _Numbers, lon: _Numbers, h: _Numbers, lat0: _Numbers, lon0: _Numbers, h0: _Numbers, ell: _Ell = None, deg: bool = True) -> tuple[_F64, _F64, _F64]: ...
@overload
def geodetic2aer(lat: _Input, lon: _Input, h: _Input, lat0: _Input, lon0: _Input, h0: _Input, ell: _Ell = None, deg: bool = True) -> tuple[Any, Any, Any]: ...

@overload
def aer2geodetic(az: float, el: float, srange: float, lat0: float, lon0: float, h0: float, ell: _Ell = None, deg: bool = True) -> tuple[float, float, float]: ...  # type: ignore[overload-overlap]
@overload
def aer2geodetic(az: _Numbers, el: _Numbers, srange: _Numbers, lat0: _Numbers, lon0: _Numbers, h0: _Numbers, ell: _Ell = None, deg: bool = True) -> tuple[_F64, _F64, _F64]: ...
@overload
def aer2geodetic(az: _Input, el: _Input, srange: _Input, lat0: _Input, lon0: _Input, h0: _Input, ell: _Ell = None, deg: bool = True) -> tuple[Any, Any, Any]: ...

@overload
def ecef2aer(x: float, y: float, z: float, lat0: float, lon0: float, h0: float, ell: _Ell = None, deg: bool = True) -> tuple[float, float, float]: ...  # type: ignore[overload-overlap]
@overload
def ecef2aer(x: _Numbers, y: _Numbers, z: _Numbers, lat0: _Numbers, lon0: _Numbers, h0: _Numbers, ell: _Ell = None, deg: bool = True) -> tuple[_F64, _F64, _F64]: ...
@overload
def ecef2aer(x: _Input, y: _Input, z: _Input, lat0: _Input, lon0: _Input, h0: _Input, ell: _Ell = None, deg: bool = True) -> tuple[Any, Any, Any]: ...

@overload
def aer2ecef(az: float, el: float, srange: float, lat0: float, lon0: float, alt0: float, ell: _Ell = None, deg: bool = True) -> tuple[float, float, float]: ...  # type: ignore[overload-overlap]
@overload
def aer2ecef(az: _Numbers, el: _Numbers, srange: _Numbers, lat0: _Numbers, lon0: _Numbers, alt0: _Numbers, ell: _Ell = None, deg: bool = True) -> tuple[_F64, _F64, _F64]: ...
@overload
def aer2ecef(az: _Input, el: _Input, srange: _Input, lat0: _Input, lon0: _Input, alt0: _Input, ell: _Ell = None, deg: bool = True) -> tuple[Any, Any, Any]: ...

@overload
def enu2aer(e: float, n: float, u: float, deg: bool = True) -> tuple[float, float, float]: ...  # type: ignore[overload-overlap]
@overload
def enu2aer(e: _Numbers, n: _Numbers, u: _Numbers, deg: bool = True) -> tuple[_F64, _F64, _F64]: ...
@overload
def enu2aer(e: _Input, n: _Input, u: _Input, deg: bool = True) -> tuple[Any, Any, Any]: ...

@overload
def aer2enu(az: float, el: float, srange: float, deg: bool = True) -> tuple[float, float, float]: ...  # type: ignore[overload-overlap]
@overload
def aer2enu(az: _Numbers, el: _Numbers, srange: _Numbers, deg: bool = True) -> tuple[_F64, _F64, _F64]: ...
@overload
def aer2enu(az: _Input, el: _Input, srange: _Input, deg: bool = True) -> tuple[Any, Any, Any]: ...

@overload
def ned2aer(n: float, e: float, d: float, deg: bool = True) -> tuple[float, float, float]: ...  # type: ignore[overload-overlap]
@overload
def ned2aer(n: _Numbers, e: _Numbers, d: _Numbers, deg: bool = True) -> tuple[_F64, _F64, _F64]: ...
@overload
def ned2aer(n: _Input, e: _Input, d: _Input, deg: bool = True) -> tuple[Any, Any, Any]: ...

@overload
def aer2ned(az: float, elev: float, slantRange: float, deg: bool = True) -> tuple[float, float, float]: ...  # type: ignore[overload-overlap]
@overload
def aer2ned(az: _Numbers, elev: _Numbers, slantRange: _Numbers, deg: bool = True) -> tuple[_F64, _F64, _F64]: ...
@overload
def aer2ned(az: _Input, elev: _Input, slantRange: _Input, deg: bool = True) -> tuple[Any, Any, Any]: ...

@overload
def ecef2enuv(u: float, v: float, w: float, lat0: float, lon0: float, deg: bool = True) -> tuple[float, float, float]: ...  # type: ignore[overload-overlap]
@overload
def ecef2enuv(u: _Numbers, v: _Numbers, w: _Numbers, lat0: _Numbers, lon0: _Numbers, deg: bool = True) -> tuple[_F64, _F64, _F64]: ...
@overload
def ecef2enuv(u: _Input, v: _Input, w: _Input, lat0: _Input, lon0: _Input, deg: bool = True) -> tuple[Any, Any, Any]: ...

@overload
def enu2ecefv(e: float, n: float, u: float, lat0: float, lon0: float, deg: bool = True) -> tuple[float, float, float]: ...  # type: ignore[overload-overlap]
@overload
def enu2ecefv(e: _Numbers, n: _Numbers, u: _Numbers, lat0: _Numbers, lon0: _Numbers, deg: bool = True) -> tuple[_F64, _F64, _F64]: ...
@overload
def enu2ecefv(e: _Input, n: _Input, u: _Input, lat0: _Input, lon0: _Input, deg: bool = True) -> tuple[Any, Any, Any]: ...

@overload
def ecef2nedv(x: float, y: float, z: float, lat0: float, lon0: float, deg: bool = True) -> tuple[float, float, float]: ...  # type: ignore[overload-overlap]
@overload
def ecef2nedv(x: _Numbers, y: _Numbers, z: _Numbers, lat0: _Numbers, lon0: _Numbers, deg: bool = True) -> tuple[_F64, _F64, _F64]: ...
@overload
def ecef2nedv(x: _Input, y: _Input, z: _Input, lat0: _Input, lon0: _Input, deg: bool = True) -> tuple[Any, Any, Any]: ...

@overload
def enu2uvw(east: float, north: float, up: float, lat0: float, lon0: float, deg: bool = True) -> tuple[float, float, float]: ...  # type: ignore[overload-overlap]
@overload
def enu2uvw(east: _Numbers, north: _Numbers, up: _Numbers, lat0: _Numbers, lon0: _Numbers, deg: bool = True) -> tuple[_F64, _F64, _F64]: ...
@overload
def enu2uvw(east: _Input, north: _Input, up: _Input, lat0: _Input, lon0: _Input, deg: bool = True) -> tuple[Any, Any, Any]: ...

@overload
def uvw2enu(u: float, v: float, w: float, lat0: float, lon0: float, deg: bool = True) -> tuple[float, float, float]: ...  # type: ignore[overload-overlap]
@overload
def uvw2enu(u: _Numbers, v: _Numbers, w: _Numbers, lat0: _Numbers, lon0: _Numbers, deg: bool = True) -> tuple[_F64, _F64, _F64]: ...
@overload
def uvw2enu(u: _Input, v: _Input, w: _Input, lat0: _Input, lon0: _Input, deg: bool = True) -> tuple[Any, Any, Any]: ...

@overload
def lookAtSpheroid(lat0: float, lon0: float, h0: float, az: float, tilt: float, ell: _Ell = None, deg: bool = True) -> tuple[float, float, float]: ...  # type: ignore[overload-overlap]
@overload
def lookAtSpheroid(lat0: _Numbers, lon0: _Numbers, h0: _Numbers, az: _Numbers, tilt: _Numbers, ell: _Ell = None, deg: bool = True) -> tuple[_F64, _F64, _F64]: ...
@overload
def lookAtSpheroid(lat0: _Input, lon0: _Input, h0: _Input, az: _Input, tilt: _Input, ell: _Ell = None, deg: bool = True) -> tuple[Any, Any, Any]: ...

@overload
def geodetic2spherical(lat: float, lon: float, alt: float, ell: _Ell = None, deg: bool = True) -> tuple[float, float, float]: ...  # type: ignore[overload-overlap]
@overload
def geodetic2spherical(lat: _Numbers, lon: _Numbers, alt: _Numbers, ell: _Ell = None, deg: bool = True) -> tuple[_F64, _F64, _F64]: ...
@overload
def geodetic2spherical(lat: _Input, lon: _Input, alt: _Input, ell: _Ell = None, deg: bool = True) -> tuple[Any, Any, Any]: ...

@overload
def spherical2geodetic(lat: float, lon: float, radius: float, ell: _Ell = None, deg: bool = True) -> tuple[float, float, float]: ...  # type: ignore[overload-overlap]
@overload
def spherical2geodetic(lat: _Numbers, lon: _Numbers, radius: _Numbers, ell: _Ell = None, deg: bool = True) -> tuple[_F64, _F64, _F64]: ...
@overload
def spherical2geodetic(lat: _Input, lon: _Input, radius: _Input, ell: _Ell = None, deg: bool = True) -> tuple[Any, Any, Any]: ...

@overload
def geodetic2geocentric(geodetic_lat: float, alt_m: float, ell: _Ell = None, deg: bool = True) -> float: ...  # type: ignore[overload-overlap]
@overload
def geodetic2geocentric(geodetic_lat: _Numbers, alt_m: _Numbers, ell: _Ell = None, deg: bool = True) -> _F64: ...
@overload
def geodetic2geocentric(geodetic_lat: _Input, alt_m: _Input, ell: _Ell = None, deg: bool = True) -> Any: ...

@overload
def geocentric2geodetic(geocentric_lat: float, alt_m: float, ell: _Ell = None, deg: bool = True) -> float: ...  # type: ignore[overload-overlap]
@overload
def geocentric2geodetic(geocentric_lat: _Numbers, alt_m: _Numbers, ell: _Ell = None, deg: bool = True) -> _F64: ...
@overload
def geocentric2geodetic(geocentric_lat: _Input, alt_m: _Input, ell: _Ell = None, deg: bool = True) -> Any: ...

@overload
def geod2geoc(geodetic_lat: float, alt_m: float, ell: _Ell = None, deg: bool = True) -> float: ...  # type: ignore[overload-overlap]
@overload
def geod2geoc(geodetic_lat: _Numbers, alt_m: _Numbers, ell: _Ell = None, deg: bool = True) -> _F64: ...
@overload
def geod2geoc(geodetic_lat: _Input, alt_m: _Input, ell: _Ell = None, deg: bool = True) -> Any: ...

@overload
def geoc2geod(geocentric_lat: float, geocentric_distance: float, ell: _Ell = None, deg: bool = True) -> float: ...  # type: ignore[overload-overlap]
@overload
def geoc2geod(geocentric_lat: _Numbers, geocentric_distance: _Numbers, ell: _Ell = None, deg: bool = True) -> _F64: ...
@overload
def geoc2geod(geocentric_lat: _Input, geocentric_distance: _Input, ell: _Ell = None, deg: bool = True) -> Any: ...

@overload
def geodetic2parametric(geodetic_lat: float, ell: _Ell = None, deg: bool = True) -> float: ...  # type: ignore[overload-overlap]
@overload
def geodetic2parametric(geodetic_lat: _Numbers, ell: _Ell = None, deg: bool = True) -> _F64: ...
@overload
def geodetic2parametric(geodetic_lat: _Input, ell: _Ell = None, deg: bool = True) -> Any: ...

@overload
def parametric2geodetic(parametric_lat: float, ell: _Ell = None, deg: bool = True) -> float: ...  # type: ignore[overload-overlap]
@overload
def parametric2geodetic(parametric_lat: _Numbers, ell: _Ell = None, deg: bool = True) -> _F64: ...
@overload
def parametric2geodetic(parametric_lat: _Input, ell: _Ell = None, deg: bool = True) -> Any: ...

@overload
def geodetic2isometric(geodetic_lat: float, ell: _Ell = None, deg: bool = True) -> float: ...  # type: ignore[overload-overlap]
@overload
def geodetic2isometric(geodetic_lat: _Numbers, ell: _Ell = None, deg: bool = True) -> _F64: ...
@overload
def geodetic2isometric(geodetic_lat: _Input, ell: _Ell = None, deg: bool = True) -> Any: ...

@overload
def isometric2geodetic(isometric_lat: float, ell: _Ell = None, deg: bool = True) -> float: ...  # type: ignore[overload-overlap]
@overload
def isometric2geodetic(isometric_lat: _Numbers, ell: _Ell = None, deg: bool = True) -> _F64: ...
@overload
def isometric2geodetic(isometric_lat: _Input, ell: _Ell = None, deg: bool = True) -> Any: ...

@overload
def geodetic2rectifying(geodetic_lat: float, ell: _Ell = None, deg: bool = True) -> float: ...  # type: ignore[overload-overlap]
@overload
def geodetic2rectifying(geodetic_lat: _Numbers, ell: _Ell = None, deg: bool = True) -> _F64: ...
@overload
def geodetic2rectifying(geodetic_lat: _Input, ell: _Ell = None, deg: bool = True) -> Any: ...

@overload
def rectifying2geodetic(rectifying_lat: float, ell: _Ell = None, deg: bool = True) -> float: ...  # type: ignore[overload-overlap]
@overload
def rectifying2geodetic(rectifying_lat: _Numbers, ell: _Ell = None, deg: bool = True) -> _F64: ...
@overload
def rectifying2geodetic(rectifying_lat: _Input, ell: _Ell = None, deg: bool = True) -> Any: ...

@overload
def geodetic2authalic(geodetic_lat: float, ell: _Ell = None, deg: bool = True) -> float: ...  # type: ignore[overload-overlap]
@overload
def geodetic2authalic(geodetic_lat: _Numbers, ell: _Ell = None, deg: bool = True) -> _F64: ...
@overload
def geodetic2authalic(geodetic_lat: _Input, ell: _Ell = None, deg: bool = True) -> Any: ...

@overload
def authalic2geodetic(authalic_lat: float, ell: _Ell = None, deg: bool = True) -> float: ...  # type: ignore[overload-overlap]
@overload
def authalic2geodetic(authalic_lat: _Numbers, ell: _Ell = None, deg: bool = True) -> _F64: ...
@overload
def authalic2geodetic(authalic_lat: _Input, ell: _Ell = None, deg: bool = True) -> Any: ...

@overload
def geodetic2conformal(geodetic_lat: float, ell: _Ell = None, deg: bool = True) -> float: ...  # type: ignore[overload-overlap]
@overload
def geodetic2conformal(geodetic_lat: _Numbers, ell: _Ell = None, deg: bool = True) -> _F64: ...
@overload
def geodetic2conformal(geodetic_lat: _Input, ell: _Ell = None, deg: bool = True) -> Any: ...

@overload
def conformal2geodetic(conformal_lat: float, ell: _Ell = None, deg: bool = True) -> float: ...  # type: ignore[overload-overlap]
@overload
def conformal2geodetic(conformal_lat: _Numbers, ell: _Ell = None, deg: bool = True) -> _F64: ...
@overload
def conformal2geodetic(conformal_lat: _Input, ell: _Ell = None, deg: bool = True) -> Any: ...

@overload
def meridian(lat: float, ell: _Ell = None, deg: bool = True) -> float: ...  # type: ignore[overload-overlap]
@overload
def meridian(lat: _Numbers, ell: _Ell = None, deg: bool = True) -> _F64: ...
@overload
def meridian(lat: _Input, ell: _Ell = None, deg: bool = True) -> Any: ...

@overload
def transverse(lat: float, ell: _Ell = None, deg: bool = True) -> float: ...  # type: ignore[overload-overlap]
@overload
def transverse(lat: _Numbers, ell: _Ell = None, deg: bool = True) -> _F64: ...
@overload
def transverse(lat: _Input, ell: _Ell = None, deg: bool = True) -> Any: ...

@overload
def parallel(lat: float, ell: _Ell = None, deg: bool = True) -> float: ...  # type: ignore[overload-overlap]
@overload
def parallel(lat: _Numbers, ell: _Ell = None, deg: bool = True) -> _F64: ...
@overload
def parallel(lat: _Input, ell: _Ell = None, deg: bool = True) -> Any: ...

@overload
def geocentric_radius(geodetic_lat: float, ell: _Ell = None, deg: bool = True) -> float: ...  # type: ignore[overload-overlap]
@overload
def geocentric_radius(geodetic_lat: _Numbers, ell: _Ell = None, deg: bool = True) -> _F64: ...
@overload
def geocentric_radius(geodetic_lat: _Input, ell: _Ell = None, deg: bool = True) -> Any: ...

# The radii of spheres standing in for the ellipsoid (metres).
def eqavol(ell: _Ell = None) -> float: ...
def authalic(ell: _Ell = None) -> float: ...
def rectifying(ell: _Ell = None) -> float: ...
def triaxial(ell: _Ell = None, method: Literal["mean", "norm"] = "mean") -> float: ...
def biaxial(ell: _Ell = None, method: Literal["mean", "norm"] = "mean") -> float: ...
@overload
def curve(lat: float, ell: _Ell = None, deg: bool = True, method: Literal["mean", "norm"] = "mean") -> float: ...  # type: ignore[overload-overlap]
@overload
def curve(lat: _Numbers, ell: _Ell = None, deg: bool = True,
          method: Literal["mean", "norm"] = "mean") -> _F64: ...
@overload
def curve(lat: _Input, ell: _Ell = None, deg: bool = True,
          method: Literal["mean", "norm"] = "mean") -> Any: ...
@overload
def euler(lat1: float, lon1: float, lat2: float, lon2: float, ell: _Ell = None, deg: bool = True) -> float: ...  # type: ignore[overload-overlap]
@overload
def euler(lat1: _Numbers, lon1: _Numbers, lat2: _Numbers, lon2: _Numbers, ell: _Ell = None,
          deg: bool = True) -> _F64: ...
@overload
def euler(lat1: _Input, lon1: _Input, lat2: _Input, lon2: _Input, ell: _Ell = None,
          deg: bool = True) -> Any: ...

# Geodesics (numbers or NumPy array-likes only).
@overload
def vdist(Lat1: float, Lon1: float, Lat2: float, Lon2: float, ell: _Ell = None, deg: bool = True) -> tuple[float, float]: ...  # type: ignore[overload-overlap]
@overload
def vdist(Lat1: _Numbers, Lon1: _Numbers, Lat2: _Numbers, Lon2: _Numbers, ell: _Ell = None, deg: bool = True) -> tuple[_F64, _F64]: ...
@overload
def vreckon(Lat1: float, Lon1: float, Rng: float, Azim: float, ell: _Ell = None, deg: bool = True) -> tuple[float, float]: ...  # type: ignore[overload-overlap]
@overload
def vreckon(Lat1: _Numbers, Lon1: _Numbers, Rng: _Numbers, Azim: _Numbers, ell: _Ell = None, deg: bool = True) -> tuple[_F64, _F64]: ...
def track2(lat1: float, lon1: float, lat2: float, lon2: float, ell: _Ell = None, npts: int = 100, deg: bool = True) -> tuple[list[float], list[float]]: ...

__all__ = [
    "track2",
    "vdist",
    "vreckon",
    "Ellipsoid",
    "aer2ecef",
    "aer2enu",
    "aer2geodetic",
    "aer2ned",
    "authalic",
    "authalic2geodetic",
    "biaxial",
    "conformal2geodetic",
    "curve",
    "ecef2aer",
    "ecef2enu",
    "ecef2enuv",
    "ecef2geodetic",
    "ecef2ned",
    "ecef2nedv",
    "enu2aer",
    "enu2ecef",
    "enu2ecefv",
    "enu2geodetic",
    "enu2uvw",
    "eqavol",
    "euler",
    "geoc2geod",
    "geocentric2geodetic",
    "geocentric_radius",
    "geod2geoc",
    "geodetic2aer",
    "geodetic2authalic",
    "geodetic2conformal",
    "geodetic2ecef",
    "geodetic2enu",
    "geodetic2geocentric",
    "geodetic2isometric",
    "geodetic2ned",
    "geodetic2parametric",
    "geodetic2rectifying",
    "geodetic2spherical",
    "isometric2geodetic",
    "lookAtSpheroid",
    "meridian",
    "ned2aer",
    "ned2ecef",
    "ned2geodetic",
    "parallel",
    "parametric2geodetic",
    "rectifying",
    "rectifying2geodetic",
    "spherical2geodetic",
    "transverse",
    "triaxial",
    "uvw2enu",
]
