"""Module start-up, the Ellipsoid type surface, construction and the record dtypes."""

import copy
import ctypes
import gc
import importlib
import math
import numbers
import pickle
import sys
import types
import weakref
from fractions import Fraction

import numpy as np
import pytest

import quorvane.datamodel as datamodel
import quorvane.mathtools.ellipsoid.ellipsoid as emod
from quorvane.mathtools.ellipsoid.ellipsoid import Ellipsoid
from support.consumer import SLOTS
from support.methods import METHODS

NAME = "quorvane.mathtools.ellipsoid.ellipsoid"
REFUSED = "no default __reduce__ due to non-trivial __cinit__"
D, A = "double | ndarray[double]", "ndarray[double]"
# Method -> (parameter annotations in order, return annotation), in type-dict order.
ANNOTATIONS = {
    "reduced_lat_from_geodetic_lat": ({"geodetic_lat": D}, D),
    "geodetic_lat_from_reduced_lat": ({"reduced_lat": D}, D),
    "enu": ({"lat": D, "lon": D}, "ndarray[ENU_dtype]"),
    "surf_pos_from_surf_coord": ({"lat": D, "lon": D}, A),
    "surf_coord_from_surf_pos": ({"r_surf": A}, "ndarray[SurfCoord_dtype]"),
    "solve_reduced_lat_equation": ({"r": A}, D),
    "lla_from_pos": ({"r": A}, "ndarray[LLA_dtype]"),
    "pos_from_lla": ({"lat": D, "lon": D, "alt": D}, A),
    "surf_pos_of_ray_first_intersection": ({"r_source": A, "u_ray": A}, A),
    "aer_coords": ({"r_target": A, "lat_obs": "double", "lon_obs": "double", "alt_obs": "double"},
                   "ndarray[AER_dtype]"),
}


IndexOnly = type("IndexOnly", (), {"__index__": lambda self: 3})


@pytest.mark.parametrize("args, kwargs, expected", [
    pytest.param((2.0, 0.5), {}, (2.0, 0.5, 1.0), id="positional"),
    pytest.param((), {"f": 0.0, "Re": 2.0}, (2.0, 0.0, 2.0), id="keywords-sphere"),
    pytest.param((2, 0), {}, (2.0, 0.0, 2.0), id="integers"),
    pytest.param((np.float32(4.0), Fraction(1, 4)), {}, (4.0, 0.25, 3.0), id="float-protocol"),
    pytest.param((IndexOnly(), 0.0), {}, (3.0, 0.0, 3.0), id="index-protocol"),
    pytest.param((math.inf, 0.5), {}, (math.inf, 0.5, math.inf), id="infinite-Re"),
    pytest.param((1.0, -0.0), {}, (1.0, -0.0, 1.0), id="negative-zero-f"),
    pytest.param((1.0, math.nextafter(1.0, 0.0)), {}, (1.0, math.nextafter(1.0, 0.0), 2.0**-53),
                 id="f-just-below-one"),
])
def test_construction_stores_fields_and_polar_radius(args, kwargs, expected):
    e = Ellipsoid(*args, **kwargs)
    got = (e.Re, e.f, e.Rp)
    assert all(type(v) is float for v in got)
    assert got == expected
    assert [math.copysign(1.0, v) for v in got] == [math.copysign(1.0, v) for v in expected]


@pytest.mark.parametrize("Re, f", [
    pytest.param(0.0, 0.1, id="Re-zero"), pytest.param(-1.0, 0.1, id="Re-negative"),
    pytest.param(math.nan, 0.1, id="Re-nan"), pytest.param(-math.inf, 0.1, id="Re-minus-inf"),
    pytest.param(2.0, 1.0, id="f-one"), pytest.param(2.0, -1e-9, id="f-negative"),
    pytest.param(2.0, math.nan, id="f-nan"), pytest.param(2.0, math.inf, id="f-inf"),
])
def test_invalid_parameters_raise_bare_assertion_error(Re, f):
    with pytest.raises(AssertionError) as info:
        Ellipsoid(Re, f)
    assert info.value.args == ()


@pytest.mark.parametrize("args, kwargs, exc", [
    pytest.param((2.0,), {}, TypeError, id="missing"), pytest.param((), {}, TypeError, id="none"),
    pytest.param((2.0, 0.1, 3.0), {}, TypeError, id="surplus"),
    pytest.param((2.0, 0.1), {"Re": 2.0}, TypeError, id="repeated"),
    pytest.param((2.0,), {"g": 0.1}, TypeError, id="unexpected-keyword"),
    pytest.param(("2.0", 0.1), {}, TypeError, id="str-Re"),
    pytest.param((2.0, None), {}, TypeError, id="None-f"),
    pytest.param((10**400, 0.1), {}, OverflowError, id="huge-int-Re"),
    pytest.param((2.0, -10**400), {}, OverflowError, id="huge-int-f"),
])
def test_bad_arguments_raise_in_construction_and_init(args, kwargs, exc):
    with pytest.raises(exc):
        Ellipsoid(*args, **kwargs)
    e = Ellipsoid(2.0, 0.5)
    with pytest.raises(exc):
        e.__init__(*args, **kwargs)


def test_init_recall_neither_validates_nor_stores():
    e = Ellipsoid(2.0, 0.5)
    assert e.__init__(5.0, 0.2) is None
    assert e.__init__(Re=-5.0, f=7.0) is None
    assert (e.Re, e.f, e.Rp) == (2.0, 0.5, 1.0)


def test_assertions_disabled_store_unchecked_values(script):
    proc = script("unchecked_construction.py", optimise=True)
    assert proc.returncode == 0, proc.stderr
    assert proc.stdout.strip().splitlines()[-1] == repr((-1.0, 2.0, 1.0, True))


def test_instances_are_immutable_slotless_and_untracked():
    e = Ellipsoid(2.0, 0.5)
    for name in ("Re", "f", "Rp", "extra"):
        with pytest.raises(AttributeError):
            setattr(e, name, 1.0)
    for name in ("Re", "f", "Rp"):
        with pytest.raises(AttributeError):
            delattr(e, name)
        assert Ellipsoid.__dict__[name].__doc__ is None
    assert not hasattr(e, "__dict__") and not gc.is_tracked(e)
    with pytest.raises(TypeError):
        weakref.ref(e)
    assert (e.Re, e.f, e.Rp) == (2.0, 0.5, 1.0)


def test_python_subclass_works_with_methods_and_table():
    class Sub(Ellipsoid):
        pass

    s = Sub(Re=2.0, f=0.5)
    s.note = "subclass instances get a dict"
    weakref.ref(s)
    assert (s.Rp, s.note) == (1.0, "subclass instances get a dict")
    assert s.reduced_lat_from_geodetic_lat(math.pi / 4) == pytest.approx(math.atan(0.5), rel=1e-15)
    assert list(Ellipsoid.lla_from_pos(s, np.array([0.0, 0.0, 1.0]))[0].tolist()) == pytest.approx(
        [math.pi / 2, 0.0, 0.0])
    with pytest.raises(TypeError, match=REFUSED):
        pickle.dumps(s)


def test_type_identity_docstring_and_member_order():
    assert (Ellipsoid.__module__, Ellipsoid.__name__, Ellipsoid.__qualname__) == (
        NAME, "Ellipsoid", "Ellipsoid")
    assert Ellipsoid.__bases__ == (object,)
    assert Ellipsoid.__doc__.splitlines()[0] == "Ellipsoid(double Re, double f) -> None"
    assert not set(Ellipsoid.__dict__) & {"__eq__", "__lt__", "__hash__", "__repr__", "__str__",
                                          "__call__", "__iter__", "__len__", "__getitem__"}
    assert METHODS == tuple(ANNOTATIONS)
    members = [*ANNOTATIONS, "__reduce__", "__setstate__", "Re", "f", "Rp"]
    assert [k for k in Ellipsoid.__dict__ if k in members] == members


def test_vtable_capsule_is_unnamed_and_shared_by_instances():
    P, S, V = ctypes.py_object, ctypes.c_char_p, ctypes.c_void_p
    is_valid, get_name, get_destructor, get_pointer = (
        ctypes.PYFUNCTYPE(*t)((n, ctypes.pythonapi)) for n, t in [
            ("PyCapsule_IsValid", (ctypes.c_int, P, S)), ("PyCapsule_GetName", (S, P)),
            ("PyCapsule_GetDestructor", (V, P)), ("PyCapsule_GetPointer", (V, P, S))])
    cap = Ellipsoid.__dict__["__pyx_vtable__"]
    assert type(cap).__name__ == "PyCapsule" and is_valid(cap, None) == 1
    assert get_name(cap) is None and get_destructor(cap) is None
    table = get_pointer(cap, None)
    e = Ellipsoid(2.0, 0.5)
    # The table pointer follows the object header (refcount, type).
    assert ctypes.c_void_p.from_address(id(e) + 16).value == table
    slots = dict(zip(SLOTS, (ctypes.c_void_p * len(SLOTS)).from_address(table)))
    lat_fn = ctypes.CFUNCTYPE(ctypes.c_double, ctypes.c_void_p, ctypes.c_double)
    reduced, geodetic = slots["c_reduced_lat_from_geodetic_lat"], slots["c_geodetic_lat_from_reduced_lat"]
    assert lat_fn(reduced)(id(e), math.pi / 4) == pytest.approx(math.atan(0.5), rel=1e-15)
    assert lat_fn(geodetic)(id(e), math.atan(0.5)) == pytest.approx(math.pi / 4, rel=1e-15)


@pytest.mark.parametrize("name", METHODS)
def test_method_objects(name):
    params, ret = ANNOTATIONS[name]
    fn = Ellipsoid.__dict__[name]
    assert getattr(Ellipsoid, name) is fn  # unbound through the class, like a Python function
    assert (fn.__name__, fn.__qualname__, fn.__module__) == (name, f"Ellipsoid.{name}", NAME)
    sig = ", ".join(f"{p}: {t}" for p, t in params.items())
    assert fn.__doc__.splitlines()[0] == f"Ellipsoid.{name}(self, {sig}) -> {ret}"
    assert list(fn.__annotations__.items()) == [*params.items(), ("return", ret)]
    e = Ellipsoid(2.0, 0.5)
    bound = getattr(e, name)
    assert isinstance(bound, types.MethodType) and bound.__func__ is fn and bound.__self__ is e
    args = [np.zeros(3) if t == A else 0.0 for t in params.values()]
    for foreign in (None, object(), 2.0):
        with pytest.raises(TypeError):
            fn(foreign, *args)


@pytest.mark.parametrize("action, refused", [
    pytest.param(pickle.dumps, True, id="pickle"),
    pytest.param(lambda e: pickle.dumps(e, protocol=0), True, id="pickle-protocol-0"),
    pytest.param(copy.copy, True, id="copy"),
    pytest.param(copy.deepcopy, True, id="deepcopy"),
    pytest.param(lambda e: e.__reduce_ex__(2), True, id="reduce-ex"),
    pytest.param(lambda e: e.__setstate__(None), True, id="setstate"),
    pytest.param(lambda e: e.__setstate__(state=(1.0, 0.0)), True, id="setstate-keyword"),
    pytest.param(lambda e: e.__reduce__(1), False, id="reduce-positional"),
    pytest.param(lambda e: e.__reduce__(protocol=2), False, id="reduce-keyword"),
    pytest.param(lambda e: e.__setstate__(), False, id="setstate-no-argument"),
    pytest.param(lambda e: e.__setstate__(1, 2), False, id="setstate-two-arguments"),
    pytest.param(lambda e: e.__setstate__(other=1), False, id="setstate-bad-keyword"),
])
def test_pickling_refused_and_hooks_check_arguments(action, refused):
    e = Ellipsoid(2.0, 0.5)
    with pytest.raises(TypeError) as info:
        action(e)
    assert (str(info.value) == REFUSED) is refused
    assert (e.Re, e.f, e.Rp) == (2.0, 0.5, 1.0)


def test_module_attributes():
    assert emod.Ellipsoid is Ellipsoid and emod.numpy is np and emod.Real is numbers.Real
    for name in ("SurfCoord_dtype", "LLA_dtype", "ENU_dtype", "AER_dtype"):
        assert getattr(emod, name) is getattr(datamodel, name)
    assert not [k for k, v in vars(emod).items() if isinstance(v, types.BuiltinFunctionType)]


def test_reimport_returns_same_module_without_reinitialising(monkeypatch):
    sentinel = object()
    monkeypatch.setattr(emod, "numpy", sentinel)
    assert importlib.import_module(NAME) is emod
    monkeypatch.delitem(sys.modules, NAME)
    again = importlib.import_module(NAME)
    assert again is emod and again.numpy is sentinel and again.Ellipsoid is Ellipsoid


@pytest.mark.parametrize("name, itemsize, fields", [
    pytest.param("SurfCoord_dtype", 16, [("lat", 0, ()), ("lon", 8, ())], id="SurfCoord"),
    pytest.param("LLA_dtype", 24, [("lat", 0, ()), ("lon", 8, ()), ("alt", 16, ())], id="LLA"),
    pytest.param("ENU_dtype", 72, [("u_east", 0, (3,)), ("u_north", 24, (3,)),
                                   ("u_up", 48, (3,))], id="ENU"),
    pytest.param("AER_dtype", 24, [(None, 0, ()), (None, 8, ()), (None, 16, ())], id="AER"),
])
def test_record_dtype_layout(name, itemsize, fields):
    dt = getattr(datamodel, name)
    assert dt.itemsize == itemsize and dt.isnative
    got = [(n, dt.fields[n][1], dt.fields[n][0].shape) for n in dt.names]
    assert len(got) == len(fields)
    assert [(n if exp[0] else None, o, s) for (n, o, s), exp in zip(got, fields)] == fields
    for n in dt.names:
        assert dt.fields[n][0].base == np.dtype(np.float64) and dt.fields[n][0].base.isnative
