"""Start-up failures, each in a fresh interpreter: a dependency is replaced in sys.modules,
the import must fail cleanly, and after restoring it a new import must succeed and compute
(which needs every vector routine bound)."""

import json
import math
import subprocess
import sys

import pytest

NAME = "quorvane.mathtools.ellipsoid.ellipsoid"
VT = "quorvane.mathtools.vectools.vectools"

DRIVER = r"""
import ctypes, importlib, json, sys, traceback, types
import numpy, numbers, quorvane.datamodel as dm, quorvane.mathtools.vectools.vectools as vt
NAME, VT = "quorvane.mathtools.ellipsoid.ellipsoid", "quorvane.mathtools.vectools.vectools"
P, S, V = ctypes.py_object, ctypes.c_char_p, ctypes.c_void_p
new_capsule, get_pointer, get_name = (ctypes.PYFUNCTYPE(*t)((n, ctypes.pythonapi)) for n, t in [
    ("PyCapsule_New", (P, V, S, V)), ("PyCapsule_GetPointer", (V, P, S)),
    ("PyCapsule_GetName", (S, P))])
keep, saved = [], {}

def capi(renamed={}, drop=()):
    # The real routines' addresses under chosen capsule names.
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
    # The real vector module, running `action` once start-up reads its routines.
    class Late(types.ModuleType):
        @property
        def __pyx_capi__(self):
            action()
            return vt.__pyx_capi__
    seed(VT, Late(VT))

SETUP
report = None
try:
    importlib.import_module(NAME)
except Exception as exc:
    frames = [f.name for f in traceback.extract_tb(exc.__traceback__)]
    report = [type(exc).__name__, str(exc), "init " + NAME in frames, NAME in sys.modules]
for name, old in saved.items():
    if old is None:
        del sys.modules[name]
    else:
        sys.modules[name] = old
e = importlib.import_module(NAME).Ellipsoid(2.0, 0.5)
aer = e.aer_coords(numpy.array([3.0, 4.0, 0.0]), 0.0, 0.0, 0.0)[0]
print(json.dumps([report, [float(v) for v in aer.tolist()]]))
"""

CAPI_API = "numpy.core.multiarray failed to import"
UMATH, OLD_UMATH = "'numpy._core._multiarray_umath'", "'numpy.core._multiarray_umath'"


def halted(name):
    return "ModuleNotFoundError", f"import of {name} halted; None in sys.modules"


def wrong(routine, expected, got):
    return "TypeError", (f"C function {VT}.{routine} has wrong signature "
                         f"(expected {expected}, got {got})")


@pytest.mark.parametrize("setup, expected", [
    pytest.param(f"seed({UMATH}, None); seed({OLD_UMATH}, None)", ("ImportError", CAPI_API),
                 id="numpy-c-api-not-found"),
    pytest.param(f"seed({UMATH}, module('m'))", ("ImportError", CAPI_API),
                 id="numpy-c-api-without-array-api"),
    pytest.param(f"seed({UMATH}, module('m', _ARRAY_API=42))", ("ImportError", CAPI_API),
                 id="numpy-array-api-not-a-capsule"),
    pytest.param(f"seed({OLD_UMATH}, sys.modules[{UMATH}]); seed({UMATH}, None)", None,
                 id="numpy-c-api-old-module-name-accepted"),
    pytest.param("seed(VT, None)", halted(VT), id="vectools-import"),
    pytest.param("seed(VT, module(VT))",
                 ("AttributeError", f"module '{VT}' has no attribute '__pyx_capi__'"),
                 id="vectools-without-capi"),
    pytest.param("vectools(drop=['norm'])",
                 ("ImportError", f"{VT} does not export expected C function norm"),
                 id="norm-missing"),
    pytest.param("vectools({'dot': 'double (double *, double *) '})",
                 wrong("dot", "double (double *, double *)", "double (double *, double *) "),
                 id="dot-extra-blank"),
    pytest.param("vectools({'dot': 'double (double*, double*)'}, drop=['norm'])",
                 wrong("dot", "double (double *, double *)", "double (double*, double*)"),
                 id="dot-checked-before-norm"),
    pytest.param("vectools({'scale': 'void (double const, double *, double *)'})",
                 wrong("scale", "void (double const , double *, double *)",
                       "void (double const, double *, double *)"),
                 id="scale-without-blank-before-comma"),
    pytest.param("vectools(); sys.modules[VT].__pyx_capi__['sub'] = 42",
                 wrong("sub", "void (double *, double *, double *)", "int"),
                 id="sub-not-a-capsule"),
    pytest.param("vectools(); sys.modules[VT].__pyx_capi__['sub'] = "
                 "new_capsule(get_pointer(vt.__pyx_capi__['sub'], get_name(vt.__pyx_capi__['sub'])), None, None)",
                 wrong("sub", "void (double *, double *, double *)", "NULL"),
                 id="regression-sub-capsule-without-name-is-reported-not-formatted-from-null"),
    pytest.param("late(lambda: seed('numpy', None))", halted("numpy"), id="numpy-import"),
    pytest.param("seed('quorvane.datamodel', None)", halted("quorvane.datamodel"),
                 id="datamodel-import"),
    pytest.param("dtypes('SurfCoord_dtype', 'LLA_dtype', 'ENU_dtype')",
                 ("ImportError", "cannot import name AER_dtype"), id="datamodel-without-AER"),
    pytest.param("dtypes('LLA_dtype', 'ENU_dtype')",
                 ("ImportError", "cannot import name SurfCoord_dtype"),
                 id="datamodel-first-missing-name-reported"),
    pytest.param("seed('numbers', None)", halted("numbers"), id="numbers-import"),
])
def test_failed_import_aborts_cleanly_and_can_be_retried(setup, expected):
    proc = subprocess.run([sys.executable, "-c", DRIVER.replace("SETUP", setup)],
                          capture_output=True, text=True)
    assert proc.returncode == 0, proc.stderr
    report, aer = json.loads(proc.stdout.strip().splitlines()[-1])
    # Observer on the equator at (2, 0, 0): target 4 m east and 1 m up.
    assert aer == pytest.approx([math.pi / 2, math.asin(1 / math.sqrt(17)), math.sqrt(17)])
    if expected is None:
        assert report is None
        return
    assert report is not None, "import succeeded despite the broken dependency"
    exc_type, message, init_entry, left_behind = report
    assert exc_type == expected[0]
    assert message.startswith(CAPI_API) if expected[1] == CAPI_API else message == expected[1]
    assert init_entry and not left_behind
