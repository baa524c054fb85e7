"""A Conversion checks the plan it is made from: the first fault found, in the
order attributes, counts, roles, inputs, outputs, ufunc, is the one reported; a
kernel without a float64 loop sends every call to the fallback."""

import dataclasses
import types

import numpy as np
import pytest

import quorvane.mathtools.ellipsoid.ufuncs as U
from quorvane.geo import _arrays
from quorvane.geo._models import WGS84, params_of
from quorvane.geo._plans import PLANS
from quorvane.geo._point import Conversion

GEODETIC2ECEF = PLANS["geodetic2ecef"]
AER2GEODETIC = PLANS["aer2geodetic"]


def make(plan, fallback=_arrays.run):
    return Conversion(plan, fallback, params_of, *WGS84._params)


def replaced(plan=GEODETIC2ECEF, **fields):
    return dataclasses.replace(plan, **fields)


@pytest.mark.parametrize("plan, error, text", [
    pytest.param(replaced(names=list(GEODETIC2ECEF.names)), TypeError, "must be tuples", id="names-a-list"),
    pytest.param(replaced(outputs=[0, 1, 2]), TypeError, "must be tuples", id="outputs-a-list"),
    pytest.param(replaced(nout="3"), TypeError, "integer", id="nout-not-an-int"),
    pytest.param(replaced(names=tuple("abcdefghi"), roles="-" * 9), ValueError, "too many or too few",
                 id="nine-arguments"),
    pytest.param(replaced(outputs=(), out_roles=""), ValueError, "too many or too few", id="no-results"),
    pytest.param(replaced(nout=0), ValueError, "too many or too few", id="kernel-without-results"),
    pytest.param(replaced(nout=17), ValueError, "too many or too few", id="kernel-with-17-results"),
    pytest.param(replaced(roles="la"), ValueError, "plan.roles must be a str of one role per item",
                 id="roles-too-short"),
    pytest.param(replaced(out_roles=("-", "-", "-")), ValueError, "plan.out_roles must be a str",
                 id="out-roles-a-tuple"),
    pytest.param(replaced(inputs=(0, 1, 3)), ValueError, "plan.inputs names an argument it does not have",
                 id="input-beyond-the-arguments"),
    pytest.param(replaced(inputs=(0, -1, 2)), ValueError, "plan.inputs names an argument",
                 id="negative-input"),
    pytest.param(replaced(inputs=(0, 1, "2")), TypeError, "must be real number", id="constant-not-a-number"),
    pytest.param(replaced(outputs=(0, 3, 2)), ValueError, "plan.outputs names a result the kernel lacks",
                 id="output-beyond-the-kernel"),
    pytest.param(replaced(kernel=U.meridian_radius), ValueError,
                 "plan does not match its ufunc's inputs and outputs", id="ufunc-of-other-arity"),
    pytest.param(replaced(inputs=(0, 1)), ValueError, "plan does not match its ufunc's inputs",
                 id="one-input-short-of-the-ufunc"),
])
def test_faulty_plans_are_refused(plan, error, text):
    with pytest.raises(error, match=text):
        make(plan)


@pytest.mark.parametrize("missing", ["kernel", "names", "inputs", "roles", "outputs", "out_roles", "nout"])
def test_a_plan_without_an_attribute_raises_its_attribute_error(missing):
    # Lookups that follow a failed one must not swallow its error.
    plan = types.SimpleNamespace(**{k: v for k, v in vars(GEODETIC2ECEF).items() if k != missing})
    with pytest.raises(AttributeError, match=f"'{missing}'"):
        make(plan)


@pytest.mark.parametrize("plan, text", [
    pytest.param(replaced(nout=0, roles="l"), "too many or too few", id="counts-before-roles"),
    pytest.param(replaced(roles="l", out_roles="-"), "plan.roles", id="roles-before-out-roles"),
    pytest.param(replaced(out_roles="-", inputs=(0, 1, 9)), "plan.out_roles", id="out-roles-before-inputs"),
    pytest.param(replaced(inputs=(0, 1, 9), outputs=(0, 1, 9)), "plan.inputs", id="inputs-before-outputs"),
    pytest.param(replaced(outputs=(0, 1, 9), kernel=U.meridian_radius), "plan.outputs",
                 id="outputs-before-ufunc"),
])
def test_the_first_fault_of_a_plan_is_reported(plan, text):
    with pytest.raises(ValueError, match=text):
        make(plan)


@pytest.mark.parametrize("plan, args", [
    pytest.param(GEODETIC2ECEF, (45.0, 10.0, 100.0), id="geodetic2ecef"),
    pytest.param(AER2GEODETIC, (30.0, 20.0, 1000.0, 45.0, 10.0, 0.0), id="aer2geodetic"),
])
def test_a_kernel_without_a_float64_loop_takes_the_fallback(plan, args):
    calls = []
    conversion = make(replaced(plan, kernel=np.vectorize(lambda *a: a)),
                      lambda *a: calls.append(a) or "fell back")
    assert not conversion.has_point_path
    assert conversion(*args, None, True) == "fell back"
    assert len(calls) == 1 and calls[0][1:] == (args, None, True)


@pytest.mark.parametrize("plan, args, deg", [
    pytest.param(GEODETIC2ECEF, (45.0, 10.0, 100.0), True, id="geodetic2ecef-degrees"),
    pytest.param(GEODETIC2ECEF, (0.7, 0.2, 100.0), False, id="geodetic2ecef-radians"),
    pytest.param(AER2GEODETIC, (359.9, 20.0, 1000.0, 45.0, 10.0, 0.0), True, id="aer2geodetic-degrees"),
    pytest.param(PLANS["geodetic2aer"], (45.1, 9.9, 100.0, 45.0, 10.0, 0.0), True, id="geodetic2aer-azimuth"),
])
def test_a_rebuilt_plan_gives_the_bits_of_the_array_path(plan, args, deg):
    # The plan copied field by field is read as the original, and a point of it
    # has the bits of the same point as a one-element array.
    conversion = make(replaced(plan))
    assert conversion.has_point_path
    point = conversion(*args, None, deg)
    arrays = conversion(*(np.array([a]) for a in args), None, deg)
    point = point if isinstance(point, tuple) else (point,)
    arrays = arrays if isinstance(arrays, tuple) else (arrays,)
    assert [np.float64(p).tobytes() for p in point] == [a[0].tobytes() for a in arrays]
