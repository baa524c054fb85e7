"""The registry's Python table (src/registry/*.py) against the built module, which
the build compiled from its rendering, and the renderer's C++ literals and output."""

import ast
import sys

import pytest
from hypothesis import given, strategies as st

import quorvane.mathtools.ellipsoid.ufuncs as U
from support.renderers import REGISTRY
TABLE_MODULES = ("render_registry", "conversions", "docs", "table_conversions", "local_frames", "latitudes",
                 "geodesics")


@pytest.fixture(scope="module")
def render():
    # The table's modules import each other by bare name, as they do when the
    # build runs the renderer as a script; a module of the same name imported
    # elsewhere must not stand in for one of them.
    for name in TABLE_MODULES:
        sys.modules.pop(name, None)
    sys.path.insert(0, str(REGISTRY))
    try:
        import render_registry
        yield render_registry
    finally:
        sys.path.remove(str(REGISTRY))
        for name in TABLE_MODULES:
            sys.modules.pop(name, None)


def exposed(render):
    return [entry for _, entries in render.FAMILIES for entry in entries]


def parse_columns(columns):
    """The table's `name:unit` tokens as the module's ((name, unit), ...) pairs."""
    inputs, outputs = columns.split(" -> ")
    return tuple(tuple((token.split(":")[0].split("[")[0], token.split(":")[1]) for token in side.split())
                 for side in (inputs, outputs))


def test_conversions_are_the_modules_in_its_order(render):
    assert [name for name, *_ in exposed(render)] == list(U.columns)


def test_columns_are_the_modules(render):
    assert {name: parse_columns(columns) for name, _, _, columns, _ in exposed(render)} == dict(U.columns)


def test_slots_are_the_method_tables(render):
    kernels = exposed(render) + render.INTERNAL_KERNELS[1]
    assert {name: slot for name, _, slot, *_ in kernels if slot} == U.table_slots


def test_docstrings_are_the_ufuncs_after_their_signature(render):
    # NumPy puts the call signature and a blank line in front of the docstring.
    built = {name: getattr(U, name).__doc__.split("\n\n", 1)[1] for name in U.columns}
    assert {name: doc for name, *_, doc in exposed(render)} == built


def test_every_kernel_is_named_once(render):
    names = [name for name, *_ in exposed(render) + render.INTERNAL_KERNELS[1]]
    assert len(names) == len(set(names))


def c_literal_value(source):
    # The renderer's escapes (\\n, \\", \\\\) read the same in Python, and
    # adjacent literals join in both languages.
    return ast.literal_eval(source.replace("\n    ", " "))


@pytest.mark.parametrize("text", [
    pytest.param("One line.", id="no-newline"),
    pytest.param("One line.\n", id="trailing-newline"),
    pytest.param("Title.\n\nBody\n    indented\n", id="blank-and-indented"),
    pytest.param('Karney, "Algorithms for geodesics"', id="quotes"),
    pytest.param("a\\b \\n literally", id="backslashes"),
    pytest.param("\n\n", id="only-newlines"),
])
def test_literal_reads_back_as_the_text(render, text):
    assert c_literal_value(render.literal(text)) == text


@given(st.text(alphabet=st.sampled_from('ab "\\\n:-'), min_size=1, max_size=40))
def test_literal_reads_back_as_any_ascii_text(render, text):
    assert c_literal_value(render.literal(text)) == text


def test_unchanged_header_is_not_rewritten(render, tmp_path):
    header = tmp_path / "registry/families.hpp"
    render.main(str(header))
    first = header.stat().st_mtime_ns
    render.main(str(header))
    assert header.stat().st_mtime_ns == first
    header.write_text("stale")
    render.main(str(header))
    assert header.read_text() == render.render()


def test_header_defines_every_family_and_docstring(render):
    text = render.render()
    for macro, entries in render.FAMILIES + [render.INTERNAL_KERNELS]:
        assert f"#define {macro}(X) \\\n" in text
        for name, body, slot, columns, *_ in entries:
            assert f'X({name}, {slot}, "{columns}", {body})' in text
    for name, *_ in exposed(render):
        assert f"inline constexpr char {name}[] =\n" in text
