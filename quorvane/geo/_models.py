"""Named reference ellipsoids, and reading (Re, f) from whatever is passed as ``ell``."""

import math
from typing import ClassVar

from quorvane.mathtools.ellipsoid.ellipsoid import Ellipsoid as _Compiled

# key: (name, semimajor axis a, semiminor axis b or None, inverse flattening or None).
# A model whose definition is a and 1/f keeps that f, so that "wgs84" is
# bit for bit ufuncs.WGS84; the others are defined here by a and b.
_DEFINITIONS = {
    "maupertuis": ("Maupertuis (1738)", 6397300.0, 6363806.283, None),
    "plessis": ("Plessis (1817)", 6376523.0, 6355862.9333, None),
    "everest1830": ("Everest (1830)", 6377299.365, 6356098.359, None),
    "everest1830m": ("Everest 1830 Modified (1967)", 6377304.063, 6356103.039, None),
    "everest1967": ("Everest 1830 (1967 Definition)", 6377298.556, 6356097.55, None),
    "airy": ("Airy (1830)", 6377563.396, 6356256.909, None),
    "bessel": ("Bessel (1841)", 6377397.155, 6356078.963, None),
    "clarke1866": ("Clarke (1866)", 6378206.4, 6356583.8, None),
    "clarke1878": ("Clarke (1878)", 6378190.0, 6356456.0, None),
    "clarke1860": ("Clarke (1880)", 6378249.145, 6356514.87, None),
    "helmert": ("Helmert (1906)", 6378200.0, 6356818.17, None),
    "hayford": ("Hayford (1910)", 6378388.0, 6356911.946, None),
    "international1924": ("International (1924)", 6378388.0, 6356911.946, None),
    "krassovsky1940": ("Krassovsky (1940)", 6378245.0, 6356863.019, None),
    "wgs66": ("WGS66 (1966)", 6378145.0, 6356759.769, None),
    "australian": ("Australian National (1966)", 6378160.0, 6356774.719, None),
    "international1967": ("New International (1967)", 6378157.5, 6356772.2, None),
    "grs67": ("GRS-67 (1967)", 6378160.0, 6356774.516, None),
    "sa1969": ("South American (1969)", 6378160.0, 6356774.719, None),
    "wgs72": ("WGS-72 (1972)", 6378135.0, None, 298.26),
    "grs80": ("GRS-80 (1979)", 6378137.0, None, 298.257222101),
    "wgs84": ("WGS-84 (1984)", 6378137.0, None, 298.257223563),
    "wgs84_mean": ("WGS-84 (1984) Mean", 6371008.7714, 6371008.7714, None),
    "iers1989": ("IERS (1989)", 6378136.0, 6356751.302, None),
    "pz90.11": ("ПЗ-90 (2011)", 6378136.0, 6356751.3618, None),
    "iers2003": ("IERS (2003)", 6378136.6, 6356751.9, None),
    "gsk2011": ("ГСК (2011)", 6378136.5, 6356751.758, None),
    "mercury": ("Mercury", 2440500.0, 2438300.0, None),
    "venus": ("Venus", 6051800.0, 6051800.0, None),
    "moon": ("Moon", 1738100.0, 1736000.0, None),
    "mars": ("Mars", 3396900.0, 3376097.80585952, None),
    "jupiter": ("Jupiter", 71492000.0, 66770054.3475922, None),
    # pymap3d's spelling of the same model, so that code written for it runs.
    "jupyter": ("Jupiter", 71492000.0, 66770054.3475922, None),
    "io": ("Io", 1829.7, 1815.8, None),
    "saturn": ("Saturn", 60268000.0, 54364301.5271271, None),
    "uranus": ("Uranus", 25559000.0, 24973000.0, None),
    "neptune": ("Neptune", 24764000.0, 24341000.0, None),
    "pluto": ("Pluto", 1188000.0, 1188000.0, None),
}


def _semiminor(a: float, b: float | None, inverse_flattening: float | None) -> float:
    if b is not None:
        return b
    assert inverse_flattening is not None
    return a * (1.0 - 1.0 / inverse_flattening)


class Ellipsoid:
    """A reference ellipsoid of revolution, by its semi-axes in metres.

    ``Ellipsoid.from_name("grs80")`` gives a named model (``Ellipsoid.models``
    lists them); ``Ellipsoid(a, b)`` any oblate ellipsoid or sphere. Instances
    are immutable: the conversions read the (Re, f) cached at construction.
    """

    __slots__ = ("semimajor_axis", "semiminor_axis", "flattening", "thirdflattening",
                 "eccentricity", "name", "model", "_params")

    models: ClassVar[dict[str, dict[str, str | float]]] = {
        key: {"name": name, "a": a, "b": _semiminor(a, b, inv_f)}
        for key, (name, a, b, inv_f) in _DEFINITIONS.items()
    }

    semimajor_axis: float
    semiminor_axis: float
    flattening: float
    thirdflattening: float
    eccentricity: float
    name: str
    model: str
    _params: tuple[float, float]

    def __init__(self, semimajor_axis: float, semiminor_axis: float, name: str = "",
                 model: str = "") -> None:
        a = float(semimajor_axis)
        b = float(semiminor_axis)
        if not (math.isfinite(a) and a > 0.0):
            raise ValueError(f"semimajor_axis must be a positive finite length, got {semimajor_axis!r}")
        if not (math.isfinite(b) and 0.0 < b <= a):
            raise ValueError("semiminor_axis must be positive and at most semimajor_axis "
                             f"(oblate ellipsoids and spheres), got {semiminor_axis!r}")
        self._init(a, b, (a - b) / a, name, model)

    def _init(self, a, b, f, name, model):
        set_ = object.__setattr__
        set_(self, "semimajor_axis", a)
        set_(self, "semiminor_axis", b)
        set_(self, "flattening", f)
        set_(self, "thirdflattening", (a - b) / (a + b))
        set_(self, "eccentricity", math.sqrt(f * (2.0 - f)))
        set_(self, "name", str(name))
        set_(self, "model", str(model))
        set_(self, "_params", (a, f))

    @classmethod
    def from_name(cls, name: str) -> "Ellipsoid":
        """The named model, e.g. "wgs84", "grs80", "bessel", "mars"; names as in ``models``."""
        try:
            title, a, b, inverse_flattening = _DEFINITIONS[name.lower()]
        except (KeyError, AttributeError):
            raise KeyError(f"no ellipsoid model named {name!r}; known models: "
                           f"{', '.join(_DEFINITIONS)}") from None
        self = cls.__new__(cls)
        if inverse_flattening is None:
            b = _semiminor(a, b, None)
            self._init(a, b, (a - b) / a, title, name.lower())
        else:
            self._init(a, _semiminor(a, None, inverse_flattening), 1.0 / inverse_flattening,
                       title, name.lower())
        return self

    def __setattr__(self, name: str, value: object) -> None:
        raise AttributeError(f"Ellipsoid is immutable: cannot set {name!r}")

    def __delattr__(self, name: str) -> None:
        raise AttributeError(f"Ellipsoid is immutable: cannot delete {name!r}")

    def __eq__(self, other: object) -> bool:
        if not isinstance(other, Ellipsoid):
            return NotImplemented
        return self._params == other._params

    def __hash__(self) -> int:
        return hash(self._params)

    def __repr__(self) -> str:
        label = f", model={self.model!r}" if self.model else ""
        return (f"Ellipsoid(semimajor_axis={self.semimajor_axis!r}, "
                f"semiminor_axis={self.semiminor_axis!r}{label})")

    def __reduce__(self):
        if self.model:
            return (Ellipsoid.from_name, (self.model,))
        return (Ellipsoid, (self.semimajor_axis, self.semiminor_axis, self.name))


WGS84 = Ellipsoid.from_name("wgs84")


def params_of(ell):
    """(Re, f) of ``ell``: a geo Ellipsoid, this package's compiled Ellipsoid(Re, f), or
    any object with ``semimajor_axis`` and ``semiminor_axis`` (pymap3d's Ellipsoid)."""
    if type(ell) is Ellipsoid:
        return ell._params
    if isinstance(ell, _Compiled):
        return (ell.Re, ell.f)
    if isinstance(ell, Ellipsoid):
        return ell._params
    try:
        a, b = ell.semimajor_axis, ell.semiminor_axis
    except AttributeError:
        raise TypeError("ell must be a quorvane.geo.Ellipsoid, a quorvane Ellipsoid(Re, f) "
                        f"or None (WGS84), got {type(ell).__name__}") from None
    return Ellipsoid(a, b)._params
