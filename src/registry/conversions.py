"""The registry of conversions: one entry per batch kernel,

    (name, Body, slot, columns, docstring)

name: the conversion's name (its ufunc's, and its method's where it has one);
Body: the kernel body in src/core/kernels; slot: its routine's position in the
Ellipsoid method table (1-12), or 0; columns: its inputs and outputs with names
and units (columns.hpp); docstring: the ufunc's, numpydoc with one entry per
column. Kernels without a ufunc have no docstring.

A family of conversions is one module with its docstrings' sections and its
CONVERSIONS; render_registry.py renders them all as registry/families.hpp, one
X-macro list a family, in the ufunc module's order."""

import geodesics
import latitudes
import local_frames
import table_conversions

# The X-macro of each family, in the ufunc module's order, and the kernels
# without a ufunc.
FAMILIES = [
    ("QUORVANE_TABLE_CONVERSIONS", table_conversions.CONVERSIONS),
    ("QUORVANE_LOCAL_FRAME_CONVERSIONS", local_frames.CONVERSIONS),
    ("QUORVANE_LATITUDE_CONVERSIONS", latitudes.CONVERSIONS),
    ("QUORVANE_GEODESIC_CONVERSIONS", geodesics.CONVERSIONS),
]
INTERNAL_KERNELS = ("QUORVANE_INTERNAL_KERNELS", table_conversions.INTERNAL_KERNELS)
