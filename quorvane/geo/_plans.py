"""The plans of the degrees-first functions: each row of the plan table
(quorvane/geo/_plan_table.py) with its ufunc, whose arity decides the counts
that the table leaves out."""

from dataclasses import dataclass

from quorvane.geo._plan_table import EULER_AZIMUTH, FUNCTIONS
from quorvane.mathtools.ellipsoid import ufuncs


@dataclass(frozen=True)
class Plan:
    name: str
    kernel: object
    names: tuple
    roles: str
    out_roles: str
    nout: int
    # The ufunc's point inputs: the index of a user argument, or a constant.
    inputs: tuple
    # The ufunc's results returned, in order.
    outputs: tuple
    with_ellipsoid: bool


def _plan(name, kernel_name, names, roles, out_roles, inputs=None, outputs=None):
    names = tuple(names.split())
    kernel = getattr(ufuncs, kernel_name)
    inputs = tuple(range(len(names))) if inputs is None else inputs
    outputs = tuple(range(kernel.nout)) if outputs is None else outputs
    assert len(roles) == len(names) and len(out_roles) == len(outputs)
    # Ellipsoid-free ufuncs (within a local frame, rotations) take no Re, f.
    return Plan(name, kernel, names, roles, out_roles, kernel.nout, inputs, outputs,
                kernel.nin == len(inputs) + 2)


PLANS = {row[0]: _plan(*row) for row in [*FUNCTIONS, EULER_AZIMUTH]}
