"""Renders the stubs of the ufunc module and of quorvane.geo from the registry and
the plan table, before any module is compiled. The build runs it into its own
folder and installs the stubs next to the modules:

    python -B src/registry/render_stubs.py <build>/generated/stubs/ufuncs.pyi <build>/generated/stubs/geo/__init__.pyi"""

import runpy
import sys
from pathlib import Path

import geo_stub
import ufunc_stub
from conversions import FAMILIES
from render_registry import write

HERE = Path(__file__).resolve().parent
TEMPLATE = HERE / "geo_stub.pyi.in"
# Read as a file: the package around it imports the compiled modules.
PLAN_TABLE = HERE.parent.parent / "quorvane/geo/_plan_table.py"


def geo_functions(rows, arities):
    """(name, arguments, with_ellipsoid, results) of each row of the plan table."""
    functions = []
    for name, ufunc, arguments, _, _, *mapping in rows:
        _, on_ellipsoid, outputs, _ = arities[ufunc]
        # A row that keeps some of the ufunc's results ends with their indices.
        functions.append((name, arguments.split(), on_ellipsoid, len(mapping[1]) if mapping else outputs))
    return functions


def main(ufunc_path, geo_path):
    arities = {name: ufunc_stub.arity_of_columns(columns)
               for _, entries in FAMILIES for name, _, _, columns, *_ in entries}
    write(ufunc_path, ufunc_stub.render(arities))
    functions = geo_functions(runpy.run_path(str(PLAN_TABLE))["FUNCTIONS"], arities)
    write(geo_path, geo_stub.render(TEMPLATE.read_text(), functions))


if __name__ == "__main__":
    main(*sys.argv[1:])
