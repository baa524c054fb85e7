"""Start-up failures, each in a fresh interpreter (support/scripts/import_failure.py): a
dependency is replaced in sys.modules, the import must fail cleanly, and after restoring it
a new import must succeed and compute (which needs every vector routine bound)."""

import json
import math
import subprocess
import sys
from pathlib import Path

import pytest

NAME = "quorvane.mathtools.ellipsoid.ellipsoid"
VT = "quorvane.mathtools.vectools.vectools"
CAPI_API = "numpy.core.multiarray failed to import"
NOT_STARTED = f"cannot create '{NAME}.Ellipsoid' instances: its module did not finish starting"


def halted(name):
    return "ModuleNotFoundError", f"import of {name} halted; None in sys.modules"


def wrong(routine, expected, got):
    return "TypeError", (f"C function {VT}.{routine} has wrong signature "
                         f"(expected {expected}, got {got})")


@pytest.mark.parametrize("scenario, expected", [
    ("numpy-c-api-not-found", ("ImportError", CAPI_API)),
    ("numpy-c-api-without-array-api", ("ImportError", CAPI_API)),
    ("numpy-array-api-not-a-capsule", ("ImportError", CAPI_API)),
    ("numpy-c-api-old-module-name-accepted", None),
    ("vectools-import", halted(VT)),
    ("vectools-without-capi", ("AttributeError", f"module '{VT}' has no attribute '__pyx_capi__'")),
    ("norm-missing", ("ImportError", f"{VT} does not export expected C function norm")),
    ("dot-extra-blank", wrong("dot", "double (double *, double *)", "double (double *, double *) ")),
    ("dot-checked-before-norm", wrong("dot", "double (double *, double *)", "double (double*, double*)")),
    ("scale-without-blank-before-comma",
     wrong("scale", "void (double const , double *, double *)", "void (double const, double *, double *)")),
    ("sub-not-a-capsule", wrong("sub", "void (double *, double *, double *)", "int")),
    ("regression-sub-capsule-without-name-is-reported-not-formatted-from-null",
     wrong("sub", "void (double *, double *, double *)", "NULL")),
    ("numpy-import", halted("numpy")),
    ("datamodel-import", halted("quorvane.datamodel")),
    ("datamodel-without-AER", ("ImportError", "cannot import name AER_dtype")),
    ("datamodel-first-missing-name-reported", ("ImportError", "cannot import name SurfCoord_dtype")),
    ("numbers-import", halted("numbers")),
    # "%.200s" of the module name counts bytes of UTF-8, as for the routine's name.
    ("norm-missing-long-module-name", ("ImportError", "\u00e9" * 100 + " does not export expected C function norm")),
])
def test_failed_import_aborts_cleanly_and_can_be_retried(script, scenario, expected):
    proc = script("import_failure.py", scenario)
    assert proc.returncode == 0, proc.stderr
    report, aer = json.loads(proc.stdout.strip().splitlines()[-1])
    # Observer on the equator at (2, 0, 0): target 4 m east and 1 m up.
    assert aer == pytest.approx([math.pi / 2, math.asin(1 / math.sqrt(17)), math.sqrt(17)])
    if expected is None:
        assert report is None
        return
    assert report is not None, "import succeeded despite the broken dependency"
    exc_type, message, init_entry, left_behind, construction = report
    assert exc_type == expected[0]
    assert message.startswith(CAPI_API) if expected[1] == CAPI_API else message == expected[1]
    assert init_entry and not left_behind
    # Regression: a type left ready by a failed start-up made instances whose
    # routines could reach vector-routine pointers that were never bound.
    if construction is not None:
        assert construction == ["TypeError", NOT_STARTED]


ROOT = Path(__file__).resolve().parents[1]


@pytest.mark.parametrize("statement, module", [
    pytest.param("import quorvane.mathtools.ellipsoid.ellipsoid", NAME, id="import-ellipsoid"),
    pytest.param("from quorvane.mathtools.ellipsoid import ufuncs", "quorvane.mathtools.ellipsoid.ufuncs",
                 id="from-import-ufuncs"),
    pytest.param("from quorvane.mathtools.vectools.vectools import __pyx_capi__", VT, id="from-vectools"),
])
def test_source_tree_import_says_why_the_compiled_module_is_missing(statement, module):
    """Run from the repository's root, Python imports the source folder quorvane/, which has
    no compiled modules: the error says so and how to run or install instead."""
    proc = subprocess.run([sys.executable, "-c", statement], cwd=ROOT, capture_output=True, text=True, timeout=60)
    last = proc.stderr.strip().splitlines()[-1]
    assert proc.returncode == 1
    assert last.startswith(f"ImportError: No module named '{module}': Python imported the package from its "
                           f"source tree {ROOT} "), last
    assert last.endswith("install the source tree in editable mode: pip install --no-build-isolation "
                         "-Ceditable.rebuild=true -Cbuild-dir=build/editable -e ."), last
