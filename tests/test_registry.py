"""The registry of conversions against everything that states it again: each ufunc's
arity and core signature, its docstring's parameters and returns, the shipped stub, the
published method table (C header and Cython declarations) and the Ellipsoid methods."""

import re
from pathlib import Path

import pytest

import quorvane.mathtools.ellipsoid.ufuncs as U
from quorvane.mathtools.ellipsoid import ellipsoid, get_include

from support.methods import METHODS
from support.renderers import renderer

NAMES = list(U.columns)


def point_inputs(name):
    return [c for c, _ in U.columns[name][0] if c not in ("Re", "f")]


def doc_section(doc, title):
    """The names a numpydoc section documents ("x, y, z : array_like" gives x, y, z)."""
    section = doc.split(f"\n{title}\n{'-' * len(title)}\n", 1)[1]
    section = section.split("\n\n", 1)[0]
    return [name.strip() for line in section.splitlines()
            if line and not line.startswith(" ") for name in line.split(":")[0].split(",")]


@pytest.mark.parametrize("name", NAMES)
def test_ufunc_arity_and_signature_follow_the_columns(name):
    ufunc = getattr(U, name)
    inputs, outputs = U.columns[name]
    assert (ufunc.nin, ufunc.nout) == (len(inputs), len(outputs))
    takes_ellipsoid = [c for c, _ in inputs[-2:]] == ["Re", "f"]
    assert [c for c, _ in inputs if c in ("Re", "f")] == (["Re", "f"] if takes_ellipsoid else [])
    assert {unit for _, unit in inputs + outputs} <= {"rad", "m", "1", "any"}
    if ufunc.signature is not None:
        assert ufunc.signature == ",".join(["()"] * ufunc.nin) + "->" + ",".join(["(3)"] * ufunc.nout)


@pytest.mark.parametrize("name", NAMES)
def test_docstring_documents_the_columns(name):
    doc = getattr(U, name).__doc__
    inputs, outputs = U.columns[name]
    assert doc_section(doc, "Parameters") == [c for c, _ in inputs]
    assert doc_section(doc, "Returns") == [c for c, _ in outputs]


def built_arity(name):
    """The arity of a ufunc as the module built it, as the stub's renderer takes it."""
    ufunc = getattr(U, name)
    on_ellipsoid = [c for c, _ in U.columns[name][0][-2:]] == ["Re", "f"]
    return ufunc.nin - 2 * on_ellipsoid, on_ellipsoid, ufunc.nout, ufunc.signature is not None


def test_stub_is_rendered_from_the_registry():
    # The build renders the installed stub from the registry's columns; rendered
    # here from the built ufuncs, it differs wherever the two disagree.
    installed = (Path(U.__file__).parent / "ufuncs.pyi").read_text()
    assert installed == renderer("ufunc_stub").render({name: built_arity(name) for name in NAMES})


def table_fields(text, pattern):
    return [m.group(1).removeprefix("c_") for m in re.finditer(pattern, text)]


@pytest.mark.parametrize("path, pattern", [
    pytest.param("quorvane/mathtools/ellipsoid/ellipsoid.h", r"\(\*(\w+)\)\(Ellipsoid \*self", id="C-header"),
    pytest.param("quorvane/mathtools/ellipsoid/ellipsoid.pxd", r"cdef \w+ (\w+)\(self", id="pxd"),
])
def test_published_method_table_is_the_registrys_slots_in_order(path, pattern):
    text = (Path(get_include()) / path).read_text()
    by_slot = sorted(U.table_slots, key=U.table_slots.get)
    assert sorted(U.table_slots.values()) == list(range(1, 13))
    assert table_fields(text, pattern) == by_slot


def test_every_method_is_a_conversion_with_a_table_slot():
    assert set(METHODS) <= set(U.table_slots) & set(NAMES)
    # The ten methods run the same kernels as their ufuncs, so their points come in
    # the same order; one-point names may differ (r for x, y, z).
    for method in METHODS:
        assert getattr(ellipsoid.Ellipsoid, method).__name__ == method
