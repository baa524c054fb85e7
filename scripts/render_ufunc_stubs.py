"""Renders the stub of the ufunc module, quorvane/mathtools/ellipsoid/ufuncs.pyi, from
the built module's registry description (`columns`) and its ufuncs' signatures.

    python scripts/render_ufunc_stubs.py          # rewrites the stub
    python scripts/render_ufunc_stubs.py --check  # exits 1 if the stub is stale

Each ufunc gets a protocol of its own with three call forms: Python or NumPy scalars
in, floats out; float32 arrays in (Re and f as floats), float32 arrays out; anything
array-like, float64 arrays out. A ufunc with a core dimension returns arrays even for
scalar inputs."""

import argparse
import sys
from pathlib import Path

STUB = Path(__file__).resolve().parent.parent / "quorvane/mathtools/ellipsoid/ufuncs.pyi"

HEADER = '''# Rendered by scripts/render_ufunc_stubs.py from the module's registry; do not edit.
from typing import Any, Protocol, overload

from numpy.typing import ArrayLike

from quorvane.mathtools.ellipsoid._ufunc_typing import _F32, _F64, _Scalar, _Ufunc
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


def class_name(name):
    return "_" + "".join(part.capitalize() for part in name.split("_"))


def call(parameters, point_type, parameter_type, result):
    params = ", ".join(f"{p}: {parameter_type if p in ('Re', 'f') else point_type}" for p in parameters)
    return f"    @overload\n    def __call__(self, {params}, /, **kwargs: Any) -> {result}: ...\n"


def protocol(name, ufunc, inputs, outputs):
    # Column names may repeat (a ray's origin and its result are both x, y, z);
    # positional-only parameters need distinct names.
    parameters = []
    for column, _ in inputs:
        parameters.append(column if column not in parameters else f"{column}_{len(parameters)}")

    def result(kind):
        return kind if len(outputs) == 1 else f"tuple[{', '.join([kind] * len(outputs))}]"

    scalar = "float" if ufunc.signature is None else "_F64"
    lines = [f"class {class_name(name)}(_Ufunc, Protocol):\n"]
    lines.append(call(parameters, "_Scalar", "float", result(scalar)))
    lines.append(call(parameters, "_F32", "float", result("_F32")))
    lines.append(call(parameters, "ArrayLike", "ArrayLike", result("_F64")))
    return "".join(lines)


def render():
    from quorvane.mathtools.ellipsoid import ufuncs

    parts = [HEADER]
    for name, (inputs, outputs) in ufuncs.columns.items():
        parts.append("\n" + protocol(name, getattr(ufuncs, name), inputs, outputs))
    parts.append("\n")
    for name in ufuncs.columns:
        parts.append(f"{name}: {class_name(name)}\n")
    parts.append(FOOTER)
    return "".join(parts)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--check", action="store_true")
    text = render()
    if parser.parse_args().check:
        if STUB.read_text() != text:
            print(f"{STUB} is stale: run scripts/render_ufunc_stubs.py", file=sys.stderr)
            sys.exit(1)
        return
    STUB.write_text(text)


if __name__ == "__main__":
    main()
