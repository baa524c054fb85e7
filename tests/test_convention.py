"""The shared scalar/array convention: binding, shape checks, order of reads and checks, module-level names."""

import builtins
import json
import numbers

from fractions import Fraction

import numpy as np
import pytest

import quorvane.mathtools.ellipsoid.ellipsoid as M
from support.methods import METHODS

E = M.Ellipsoid(6378137.0, 1 / 298.257223563)
Z = np.zeros
R3 = np.array([7e6, 1e5, 2e5])


class NoFloat:
    """A Real without any float conversion."""


numbers.Real.register(NoFloat)

DIMS, MISMATCH = r"^Buffer has wrong number of dimensions \(expected 1, got {}\)$", "^Buffer dtype mismatch, expected "
BIG_ENDIAN = "^Big-endian buffer not supported on little-endian compiler$"
FAILURES = [  # id, call, exception, message pattern
    ("lat-list-of-floats", lambda: E.reduced_lat_from_geodetic_lat([0.1, 0.2]), AttributeError, None),
    ("lat-list-of-ints", lambda: E.reduced_lat_from_geodetic_lat([1, 2]), ValueError, MISMATCH),
    ("lat-int64", lambda: E.reduced_lat_from_geodetic_lat(np.arange(3)), ValueError, MISMATCH),
    ("lat-float32", lambda: E.geodetic_lat_from_reduced_lat(Z(3, np.float32)), ValueError, MISMATCH),
    ("lat-bool", lambda: E.reduced_lat_from_geodetic_lat(Z(3, bool)), ValueError, MISMATCH),
    ("lat-object", lambda: E.reduced_lat_from_geodetic_lat(Z(3, object)), ValueError, MISMATCH),
    ("lat-0d", lambda: E.reduced_lat_from_geodetic_lat(np.array(0.5)), ValueError, DIMS.format(0)),
    ("lat-2d", lambda: E.geodetic_lat_from_reduced_lat(Z((2, 2))), ValueError, DIMS.format(2)),
    ("lat-big-endian", lambda: E.reduced_lat_from_geodetic_lat(Z(3, ">f8")), ValueError, BIG_ENDIAN),
    ("lat-no-float", lambda: E.reduced_lat_from_geodetic_lat(NoFloat()), TypeError, None),
    ("lat-huge-int", lambda: E.reduced_lat_from_geodetic_lat(10**400), OverflowError, None),
    ("pos-float-with-arrays", lambda: E.pos_from_lla(0.5, Z(2), Z(2)), AttributeError, None),
    ("pos-arrays-with-float", lambda: E.pos_from_lla(Z(2), Z(2), 0.5), AttributeError, None),
    ("pos-lists", lambda: E.pos_from_lla([0.0], [0.0], [0.0]), AttributeError, None),
    ("pos-numpy-scalar-with-arrays", lambda: E.pos_from_lla(np.float64(0.5), Z(2), Z(2)), AssertionError, None),
    ("pos-0d", lambda: E.pos_from_lla(Z(()), Z(()), Z(())), AssertionError, None),
    ("pos-lengths-2-2-3", lambda: E.pos_from_lla(Z(2), Z(2), Z(3)), AssertionError, None),
    ("pos-element-str", lambda: E.pos_from_lla(Z(2), np.array([0.0, "x"], dtype=object), Z(2)), TypeError, None),
    ("surf-float-with-array", lambda: E.surf_pos_from_surf_coord(0.5, Z(2)), AttributeError, None),
    ("surf-numpy-scalar-with-array", lambda: E.surf_pos_from_surf_coord(np.float64(0.5), Z(2)), AssertionError, None),
    ("surf-2d", lambda: E.surf_pos_from_surf_coord(Z((2, 1)), Z((2, 1))), AssertionError, None),
    ("enu-lengths", lambda: E.enu(Z(2), Z(3)), AssertionError, None),
    ("enu-no-float", lambda: E.enu(NoFloat(), 0.0), TypeError, None),
    ("coord-empty-1d", lambda: E.surf_coord_from_surf_pos(Z(0)), AssertionError, None),
    ("coord-list", lambda: E.surf_coord_from_surf_pos([1.0, 2.0, 3.0]), AttributeError, None),
    ("coord-n4", lambda: E.surf_coord_from_surf_pos(Z((2, 4))), AssertionError, None),
    ("coord-3d", lambda: E.surf_coord_from_surf_pos(Z((1, 1, 3))), AssertionError, None),
    ("coord-element-is-pair", lambda: E.surf_coord_from_surf_pos(np.array([[Z(2), 0, 0]], object)), TypeError, None),
    ("ray-list-source", lambda: E.surf_pos_of_ray_first_intersection([2e7, 0.0, 0.0], Z(3)), AttributeError, None),
    ("ray-source-1x3", lambda: E.surf_pos_of_ray_first_intersection(Z((1, 3)), Z(3)), AssertionError, None),
    ("ray-u-empty-1d", lambda: E.surf_pos_of_ray_first_intersection(R3, Z(0)), AssertionError, None),
    ("ray-u-3x1", lambda: E.surf_pos_of_ray_first_intersection(R3, Z((3, 1))), AssertionError, None),
    ("ray-u-list", lambda: E.surf_pos_of_ray_first_intersection(R3, [1.0, 0.0, 0.0]), AttributeError, None),
    ("ray-source-read-before-u", lambda: E.surf_pos_of_ray_first_intersection(np.array(["a", 0, 0], object), [1.0]),
     TypeError, None),
    ("aer-str-observer-bad-target", lambda: E.aer_coords(Z(2), "0.5", 0.0, 0.0), TypeError, None),
    ("aer-str-altitude-list-target", lambda: E.aer_coords([1.0], 0.0, 0.0, "1"), TypeError, None),
    ("aer-huge-observer-bad-target", lambda: E.aer_coords(Z(2), 0.0, 10**400, 0.0), OverflowError, None),
    ("aer-list-target", lambda: E.aer_coords([0.0, 0.0, 0.0], 0.0, 0.0, 0.0), AttributeError, None),
    ("aer-target-2x2", lambda: E.aer_coords(Z((2, 2)), 0.0, 0.0, 0.0), AssertionError, None),
] + [(f"{name}-{tag}", (lambda m, a: lambda: getattr(E, m)(a))(name, arg), exc, None)
     for name in ("lla_from_pos", "solve_reduced_lat_equation")
     for tag, arg, exc in [("list", [1.0, 2.0, 3.0], AttributeError), ("shape-2", Z(2), AssertionError),
                           ("shape-4", Z(4), AssertionError), ("0d", Z(()), AssertionError),
                           ("shape-2x3x3", Z((2, 3, 3)), AssertionError), ("shape-3x4", Z((3, 4)), AssertionError),
                           ("element-str", np.array([[1.0, "x", 2.0]], dtype=object), TypeError)]]


@pytest.mark.parametrize("call, exc, pattern", [pytest.param(*f[1:], id=f[0]) for f in FAILURES])
def test_malformed_arguments(call, exc, pattern):
    with pytest.raises(exc, match=pattern) as info:
        call()
    if exc is AssertionError:
        assert info.value.args == ()


SAMPLE = {  # method: positional arguments (a valid call)
    "reduced_lat_from_geodetic_lat": (Z(2) + 0.3,), "geodetic_lat_from_reduced_lat": (Z(2) + 0.3,),
    "pos_from_lla": (Z(2) + 0.1, Z(2) + 0.2, Z(2) + 10.0), "lla_from_pos": (np.array([R3, R3 / 2]),),
    "solve_reduced_lat_equation": (np.array([R3, R3 / 2]),), "surf_pos_from_surf_coord": (Z(2) + 0.1, Z(2) + 0.2),
    "surf_coord_from_surf_pos": (np.array([R3, R3 / 2]) / 2,), "enu": (Z(2) + 0.1, Z(2) + 0.2),
    "surf_pos_of_ray_first_intersection": (R3 * 2, -np.array([R3, R3 / 2])),
    "aer_coords": (np.array([R3, R3 / 2]), 0.1, 0.2, 30.0),
}


@pytest.mark.parametrize("name", METHODS)
def test_argument_binding(name):
    method, args = getattr(E, name), SAMPLE[name]
    params = [p for p in method.__annotations__ if p != "return"]
    expected = method(*args).tobytes()
    assert method(**dict(zip(params, args))).tobytes() == expected
    assert method(*args[:1], **dict(zip(params[1:], args[1:]))).tobytes() == expected
    for bad_args, bad_kwargs in [(args[:-1], {}), (args + (0.0,), {}), (args, {"extra": 1}), (args[:-1], {"Lat": 0.0})]:
        with pytest.raises(TypeError):
            method(*bad_args, **bad_kwargs)
    with pytest.raises(TypeError, match=f"^descriptor '{name}' for '{M.__name__}.Ellipsoid' objects doesn't apply"
                                        " to a 'NoneType' object$"):  # refused before any routine runs
        getattr(M.Ellipsoid, name)(None, *args)


class Recorder:
    """Stands in for the module's numpy and records the calls made through it."""

    double = np.dtype(np.float64)

    def __init__(self):
        self.calls = []

    def __getattr__(self, name):
        def call(*args, **kwargs):
            self.calls.append((name, args, kwargs))
            return getattr(np, name)(*args, **kwargs)
        return call


DBL = Recorder.double
ALLOCATIONS = [  # call, expected zeros/zeros_like keyword arguments (None: nothing allocated), asarray dtype
    ("lat", lambda: E.reduced_lat_from_geodetic_lat(Z(2)), "like", None),
    ("pos-one", lambda: E.pos_from_lla(0.1, 0.2, 3.0), None, None),
    ("pos-many", lambda: E.pos_from_lla(Z(2), Z(2), Z(2)), {"shape": (2, 3), "dtype": DBL}, None),
    ("lla-one", lambda: E.lla_from_pos(R3), {"shape": 1, "dtype": M.LLA_dtype}, M.LLA_dtype),
    ("lla-many", lambda: E.lla_from_pos(Z((2, 3)) + R3), {"shape": 2, "dtype": M.LLA_dtype}, M.LLA_dtype),
    ("solve-many", lambda: E.solve_reduced_lat_equation(Z((2, 3)) + R3), {"shape": 2, "dtype": DBL}, None),
    ("surf-one", lambda: E.surf_pos_from_surf_coord(0.1, 0.2), None, None),
    ("surf-many", lambda: E.surf_pos_from_surf_coord(Z(2), Z(2)), {"shape": (2, 3), "dtype": DBL}, None),
    ("coord-one", lambda: E.surf_coord_from_surf_pos(R3), {"shape": (1,), "dtype": M.SurfCoord_dtype}, M.SurfCoord_dtype),
    ("coord-many", lambda: E.surf_coord_from_surf_pos(Z((2, 3))), {"shape": 2, "dtype": M.SurfCoord_dtype}, M.SurfCoord_dtype),
    ("enu-one", lambda: E.enu(0.1, 0.2), {"shape": (1,), "dtype": M.ENU_dtype}, M.ENU_dtype),
    ("enu-many", lambda: E.enu(Z(2), Z(2)), {"shape": (2,), "dtype": M.ENU_dtype}, M.ENU_dtype),
    ("ray-one", lambda: E.surf_pos_of_ray_first_intersection(R3, -R3), None, None),
    ("ray-many", lambda: E.surf_pos_of_ray_first_intersection(R3, Z((2, 3)) - R3), {"shape": (2, 3), "dtype": DBL}, None),
    ("aer-one", lambda: E.aer_coords(R3, 0.0, 0.0, 0.0), {"shape": 1, "dtype": M.AER_dtype}, M.AER_dtype),
    ("aer-many", lambda: E.aer_coords(Z((2, 3)), 0.0, 0.0, 0.0), {"shape": 2, "dtype": M.AER_dtype}, M.AER_dtype),
]


@pytest.mark.parametrize("call, zeros, dtype", [pytest.param(*a[1:], id=a[0]) for a in ALLOCATIONS])
def test_allocation_through_module_numpy(monkeypatch, call, zeros, dtype):
    expected = call()
    recorder = Recorder()
    monkeypatch.setattr(M, "numpy", recorder)
    result = call()
    assert result.tobytes() == expected.tobytes() and type(result) is np.ndarray
    names = [c[0] for c in recorder.calls]
    if zeros == "like":
        assert names == ["zeros_like", "asarray"] and recorder.calls[0][2] == {} and len(recorder.calls[0][1]) == 1
    elif zeros is None:
        assert names == ["asarray"] and type(recorder.calls[0][1][0]) is list
        assert [type(v) for v in recorder.calls[0][1][0]] == [float] * 3
    else:
        assert names == ["zeros", "asarray"] and recorder.calls[0][1] == ()
        kwargs = recorder.calls[0][2]
        assert kwargs.keys() == zeros.keys() and type(kwargs["shape"]) is type(zeros["shape"])
        assert kwargs["shape"] == zeros["shape"] and kwargs["dtype"] is zeros["dtype"]
    assert recorder.calls[-1][2] == ({} if dtype is None else {"dtype": dtype})


def test_module_names_are_looked_up_at_each_call(monkeypatch):
    monkeypatch.delattr(M, "numpy")
    assert E.reduced_lat_from_geodetic_lat(0.25) == E.reduced_lat_from_geodetic_lat(np.float64(0.25))
    for call in (lambda: E.reduced_lat_from_geodetic_lat(Z(2)), lambda: E.lla_from_pos(R3)):
        with pytest.raises(NameError, match="^name 'numpy' is not defined$"):
            call()
    recorder = Recorder()
    monkeypatch.setattr(builtins, "numpy", recorder, raising=False)  # the builtins come second
    E.lla_from_pos(R3)
    assert [c[0] for c in recorder.calls] == ["zeros", "asarray"]
    monkeypatch.delattr(M, "LLA_dtype")
    with pytest.raises(NameError, match="^name 'LLA_dtype' is not defined$"):
        E.lla_from_pos(R3)
    monkeypatch.delattr(M, "Real")
    with pytest.raises(NameError, match="^name 'Real' is not defined$"):
        E.enu(0.0, 0.0)


class NotReal:
    pass


class Refusing(type):
    def __instancecheck__(cls, obj):
        raise ZeroDivisionError("refused")


@pytest.mark.parametrize("call, exc", [
    pytest.param(lambda: E.reduced_lat_from_geodetic_lat(0.5), ValueError, id="lat-float-becomes-0d-array"),
    pytest.param(lambda: E.pos_from_lla(0.1, 0.2, 0.3), AttributeError, id="pos-floats-have-no-ndim"),
    pytest.param(lambda: E.surf_pos_from_surf_coord(0.1, 0.2), AttributeError, id="surf"),
    pytest.param(lambda: E.enu(0.1, 0.2), AttributeError, id="enu"),
])
def test_rebinding_real_changes_the_scalar_test(monkeypatch, call, exc):
    call()
    monkeypatch.setattr(M, "Real", NotReal)
    with pytest.raises(exc):
        call()
    monkeypatch.setattr(M, "Real", Refusing("R", (), {}))
    with pytest.raises(ZeroDivisionError, match="refused"):
        call()


class RebindingReal(type):
    """A Real whose instance check says yes once and rebinds the module's Real to NotReal."""

    def __instancecheck__(cls, obj):
        M.Real = NotReal
        return True


@pytest.mark.parametrize("first", [pytest.param(np.float64(0.1), id="numpy-float"),
                                   pytest.param(Fraction(1, 10), id="fraction")])
def test_real_is_looked_up_again_after_an_instance_check_ran_code(monkeypatch, first):
    """The scalar test looks Real up for each argument as the interpreter would: an instance
    check that rebinds it decides how the following arguments are tested."""
    monkeypatch.setattr(M, "Real", RebindingReal("R", (), {}))
    with pytest.raises(AttributeError):  # 0.2 is no longer a Real: the array path wants .ndim
        E.pos_from_lla(first, 0.2, 0.3)


class Element:
    """An element that logs its conversion, or raises when it is the designated one."""

    def __init__(self, log, tag, fail):
        self.log, self.tag, self.fail = log, tag, fail

    def __float__(self):
        if self.tag == self.fail:
            raise KeyError(self.tag)
        self.log.append(self.tag)
        return 7e6


class Duck:
    def __init__(self, log, name, shape, fail, prefix=()):
        self.log, self.name, self.shape, self.ndim, self.fail, self.prefix = log, name, shape, len(shape), fail, prefix

    def __getitem__(self, i):
        if type(i) is not int:
            raise TypeError(f"index {i!r}")
        if self.ndim == 2:
            return Duck(self.log, self.name, self.shape[1:], self.fail, (i,))
        return Element(self.log, self.name + "".join(map(str, self.prefix + (i,))), self.fail)

    def __array__(self, dtype=None, copy=None):
        return np.zeros(self.shape)


READ_ORDER = {  # method: argument shapes (None: an Element), failing element, elements read before it
    "reduced_lat_from_geodetic_lat": ([(3,)], "a1", ["a0"]),
    "geodetic_lat_from_reduced_lat": ([(3,)], "a1", ["a0"]),
    "pos_from_lla": ([(3,), (3,), (3,)], "b1", ["a0", "b0", "c0", "a1"]),
    "lla_from_pos": ([(3, 3)], "a12", ["a00", "a01", "a02", "a10", "a11"]),
    "solve_reduced_lat_equation": ([(3,)], "a1", ["a0"]),
    "surf_pos_from_surf_coord": ([(3,), (3,)], "a1", ["a0", "b0"]),
    "enu": ([(3,), (3,)], "b1", ["a0", "b0", "a1"]),
    "surf_coord_from_surf_pos": ([(2, 3)], "a10", ["a00", "a01", "a02"]),
    "surf_pos_of_ray_first_intersection": ([(3,), (2, 3)], "b11", ["a0", "a1", "a2", "b00", "b01", "b02", "b10"]),
    "aer_coords": ([(2, 3), None, None, None], "a01", ["b", "c", "d", "a00"]),
}


@pytest.mark.parametrize("name", METHODS)
def test_elements_are_read_in_order_and_a_failure_stops_the_loop(name):
    shapes, fail, before = READ_ORDER[name]
    log = []
    args = [Element(log, n, fail) if s is None else Duck(log, n, s, fail) for n, s in zip("abcd", shapes)]
    with pytest.raises(KeyError) as info:
        getattr(E, name)(*args)
    assert info.value.args == (fail,) and log == before


@pytest.fixture(scope="module")
def growing_outcomes(script):
    proc = script("growing_shape.py", *METHODS)
    lines = dict(line.split(" ", 1) for line in proc.stdout.splitlines())
    return lines, proc


@pytest.mark.parametrize("name", METHODS)
def test_regression_shape_growing_after_allocation_does_not_store_past_the_result(growing_outcomes, name):
    lines, proc = growing_outcomes
    assert name in lines, f"process ended with {proc.returncode}: {proc.stderr[-800:]}"
    assert lines[name] in ("returned 2", "raised IndexError")


@pytest.fixture(scope="module")
def optimised_outcomes(script):
    proc = script("optimised_shape_checks.py", optimise=True)
    assert proc.returncode == 0, proc.stderr[-800:]
    return json.loads(proc.stdout)


@pytest.mark.parametrize("key, outcome", [
    ("optimize", 1), ("enu-3-2", "IndexError"), ("enu-2d", "ValueError"), ("lla-n4", "same"), ("solve-n4", "same"),
    ("pos-2-2-3", "same"), ("pos-3-2-2", "IndexError"), ("ray-list-source", "same"), ("ray-short-source", "IndexError"),
    ("aer-target-4", "same"), ("coord-empty-1d", "IndexError"), ("surf-numpy-scalar", "IndexError"),
])
def test_shape_assertions_skipped_under_optimisation(optimised_outcomes, key, outcome):
    assert optimised_outcomes[key] == outcome
