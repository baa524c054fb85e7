"""The installed stub of quorvane.geo: its degrees-first functions are the plans'
(names, arguments, whether they take ell, how many results), rendered into the
hand-written template."""

from pathlib import Path

import pytest

import quorvane.geo as geo
from quorvane.geo._plans import PLANS
from support.renderers import REGISTRY, renderer

geo_stub = renderer("geo_stub")
TEMPLATE = (REGISTRY / "geo_stub.pyi.in").read_text()


def test_stub_functions_are_the_plans():
    # The build renders them from the plan table and the registry's arities;
    # rendered here from the plans of the built ufuncs, a disagreement shows.
    functions = [(name, plan.names, plan.with_ellipsoid, len(plan.outputs))
                 for name, plan in PLANS.items() if name in geo.__all__]
    installed = (Path(geo.__file__).parent / "__init__.pyi").read_text()
    assert installed == geo_stub.render(TEMPLATE, functions)


@pytest.mark.parametrize("template", [
    pytest.param("from typing import overload\n", id="no-block"),
    pytest.param("#@ first\nx: int\n#@ second\n", id="two-blocks"),
])
def test_template_without_one_block_is_refused(template):
    with pytest.raises(ValueError, match="one block of #@ lines"):
        geo_stub.render(template, [("meridian", ("lat",), True, 1)])


@pytest.mark.parametrize("with_ellipsoid, results, signature", [
    pytest.param(True, 1, "(lat: float, ell: _Ell = None, deg: bool = True) -> float:", id="ellipsoid-one-result"),
    pytest.param(False, 2, "(lat: float, deg: bool = True) -> tuple[float, float]:", id="no-ellipsoid-two-results"),
])
def test_function_takes_ell_and_returns_one_element_per_result(with_ellipsoid, results, signature):
    text = geo_stub.render("head\n#@ here\ntail\n", [("f", ("lat",), with_ellipsoid, results)])
    assert text.startswith("head\n@overload\n") and text.endswith("\ntail\n")
    assert f"def f{signature}" in text
