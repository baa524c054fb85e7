"""A start-up that fails on a broken dependency, then a retried import.

    python import_failure.py SCENARIO

SCENARIO names a way of breaking a dependency in sys.modules (see SCENARIOS).
The module is imported once with it in place; then the dependencies are
restored and the module imported again, which must compute (every vector
routine bound). Prints, as JSON, [report, aer]: report is None for a
successful first import, else [exception type, message, whether the module's
init function is on the traceback, whether the module was left in
sys.modules, what constructing the Ellipsoid type that the failed start-up left
among object's subclasses gave (null when it is not there)]; aer is aer_coords of a target from an observer on
Ellipsoid(2, 0.5)."""

import ctypes
import importlib
import json
import sys
import traceback
import types

import numpy

import quorvane.datamodel as dm
import quorvane.mathtools.vectools.vectools as vt

NAME, VT = "quorvane.mathtools.ellipsoid.ellipsoid", "quorvane.mathtools.vectools.vectools"
UMATH, OLD_UMATH = "numpy._core._multiarray_umath", "numpy.core._multiarray_umath"
P, S, V = ctypes.py_object, ctypes.c_char_p, ctypes.c_void_p
new_capsule, get_pointer, get_name = (ctypes.PYFUNCTYPE(*t)((n, ctypes.pythonapi)) for n, t in [
    ("PyCapsule_New", (P, V, S, V)), ("PyCapsule_GetPointer", (V, P, S)),
    ("PyCapsule_GetName", (S, P))])
keep, saved = [], {}


def capi(renamed={}, drop=()):
    """The real routines' addresses under chosen capsule names."""
    out = {}
    for name, real in vt.__pyx_capi__.items():
        if name not in drop:
            sig = get_name(real)
            keep.append(renamed.get(name, sig.decode()).encode())
            out[name] = new_capsule(get_pointer(real, sig), keep[-1], None)
    return out


def module(name, **attrs):
    m = types.ModuleType(name)
    vars(m).update(attrs)
    return m


def seed(name, value):
    saved.setdefault(name, sys.modules.get(name))
    sys.modules[name] = value


def vectools(renamed={}, drop=()):
    seed(VT, module(VT, __pyx_capi__=capi(renamed, drop)))


def dtypes(*names):
    seed("quorvane.datamodel", module("quorvane.datamodel", **{n: getattr(dm, n) for n in names}))


def late(action):
    """The real vector module, running `action` once start-up reads its routines."""
    class Late(types.ModuleType):
        @property
        def __pyx_capi__(self):
            action()
            return vt.__pyx_capi__
    seed(VT, Late(VT))


def sub_replaced(capsule):
    vectools()
    sys.modules[VT].__pyx_capi__["sub"] = capsule


def unnamed_sub():
    real = vt.__pyx_capi__["sub"]
    return new_capsule(get_pointer(real, get_name(real)), None, None)


SCENARIOS = {
    "numpy-c-api-not-found": lambda: (seed(UMATH, None), seed(OLD_UMATH, None)),
    "numpy-c-api-without-array-api": lambda: seed(UMATH, module("m")),
    "numpy-array-api-not-a-capsule": lambda: seed(UMATH, module("m", _ARRAY_API=42)),
    "numpy-c-api-old-module-name-accepted": lambda: (seed(OLD_UMATH, sys.modules[UMATH]), seed(UMATH, None)),
    "vectools-import": lambda: seed(VT, None),
    "vectools-without-capi": lambda: seed(VT, module(VT)),
    "norm-missing": lambda: vectools(drop=["norm"]),
    "dot-extra-blank": lambda: vectools({"dot": "double (double *, double *) "}),
    "dot-checked-before-norm": lambda: vectools({"dot": "double (double*, double*)"}, drop=["norm"]),
    "scale-without-blank-before-comma": lambda: vectools({"scale": "void (double const, double *, double *)"}),
    "sub-not-a-capsule": lambda: sub_replaced(42),
    "regression-sub-capsule-without-name-is-reported-not-formatted-from-null":
        lambda: sub_replaced(unnamed_sub()),
    "numpy-import": lambda: late(lambda: seed("numpy", None)),
    "datamodel-import": lambda: seed("quorvane.datamodel", None),
    "datamodel-without-AER": lambda: dtypes("SurfCoord_dtype", "LLA_dtype", "ENU_dtype"),
    "datamodel-first-missing-name-reported": lambda: dtypes("LLA_dtype", "ENU_dtype"),
    "numbers-import": lambda: seed("numbers", None),
    # 150 two-byte characters: 300 bytes of UTF-8, cut at 200 like the routine's name.
    "norm-missing-long-module-name": lambda: (vectools(drop=["norm"]),
                                              setattr(sys.modules[VT], "__name__", "\u00e9" * 150)),
}


def construct_leftover_type():
    """Ellipsoid(2.0, 0.0), from the type the failed start-up may have readied."""
    found = [t for t in object.__subclasses__() if t.__module__ == NAME and t.__name__ == "Ellipsoid"]
    if not found:
        return None
    try:
        found[0](2.0, 0.0)
    except TypeError as exc:
        return ["TypeError", str(exc)]
    return ["constructed", ""]

SCENARIOS[sys.argv[1]]()
report = None
try:
    importlib.import_module(NAME)
except (ImportError, AttributeError, TypeError) as exc:
    frames = [f.name for f in traceback.extract_tb(exc.__traceback__)]
    report = [type(exc).__name__, str(exc), "init " + NAME in frames, NAME in sys.modules,
              construct_leftover_type()]
for name, old in saved.items():
    if old is None:
        del sys.modules[name]
    else:
        sys.modules[name] = old
e = importlib.import_module(NAME).Ellipsoid(2.0, 0.5)
aer = e.aer_coords(numpy.array([3.0, 4.0, 0.0]), 0.0, 0.0, 0.0)[0]
print(json.dumps([report, [float(v) for v in aer.tolist()]]))
