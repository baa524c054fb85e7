"""The stub of the ufunc module, quorvane/mathtools/ellipsoid/ufuncs.pyi, from each
ufunc's arity: (point inputs, whether Re and f close the inputs, outputs, whether the
outputs have a core dimension).

The ufuncs of one arity share one protocol with three call forms: Python or NumPy
scalars in, floats out; float32 arrays in (Re and f as floats), float32 arrays out;
anything array-like, float64 arrays out. A ufunc with a core dimension returns arrays
even for scalar inputs, so it has no form of its own for them. The parameters are
positional-only, so their names (p0, p1, ...) are the protocol's, not the columns';
`columns` names them."""

HEADER = '''# Rendered by src/registry/render_stubs.py from the registry; do not edit.
from typing import Any, Protocol, overload

from numpy.typing import ArrayLike

from quorvane._typing import _F32, _F64, _Real
from quorvane.mathtools.ellipsoid._ufunc_typing import _Ufunc
'''

FOOTER = '''
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
'''


def arity_of_columns(columns):
    """The arity of a registry entry's columns ("lat:rad lon:rad Re:m f:1 -> east[3]:1 ...")."""
    inputs, outputs = (side.split() for side in columns.split(" -> "))
    on_ellipsoid = [token.split(":")[0] for token in inputs[-2:]] == ["Re", "f"]
    return len(inputs) - 2 * on_ellipsoid, on_ellipsoid, len(outputs), any("[" in token for token in outputs)


def class_name(points, on_ellipsoid, outputs, vectors):
    kind = "Vectors" if vectors else "Values"
    return f"_Points{points}To{outputs}{kind}" + ("OnEllipsoid" if on_ellipsoid else "")


def call(points, on_ellipsoid, point_type, parameter_type, result):
    params = [f"p{i}: {point_type}" for i in range(points)]
    params += [f"Re: {parameter_type}", f"f: {parameter_type}"] if on_ellipsoid else []
    return f"    @overload\n    def __call__(self, {', '.join(params)}, /, **kwargs: Any) -> {result}: ...\n"


def protocol(points, on_ellipsoid, outputs, vectors):
    def result(kind):
        return kind if outputs == 1 else f"tuple[{', '.join([kind] * outputs)}]"

    lines = [f"class {class_name(points, on_ellipsoid, outputs, vectors)}(_Ufunc, Protocol):\n"]
    if not vectors:
        # With a core dimension scalars give float64 arrays, as any array-like does.
        lines.append(call(points, on_ellipsoid, "_Real", "float", result("float")))
    lines.append(call(points, on_ellipsoid, "_F32", "float", result("_F32")))
    lines.append(call(points, on_ellipsoid, "ArrayLike", "ArrayLike", result("_F64")))
    return "".join(lines)


def render(arities):
    """The stub of the ufuncs {name: arity}, in the module's order."""
    parts = [HEADER]
    for shape in sorted(set(arities.values())):
        parts.append("\n" + protocol(*shape))
    parts.append("\n")
    for name, shape in arities.items():
        parts.append(f"{name}: {class_name(*shape)}\n")
    parts.append(FOOTER)
    return "".join(parts)
