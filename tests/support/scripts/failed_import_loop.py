"""Repeated imports that fail for a datamodel without AER_dtype, then a real
import. Prints the traced memory grown and the largest reference-count change
over the failing imports after a warm-up, the polar radius of Ellipsoid(2, 0.5)
and the range of a target from an observer on it."""

import gc
import importlib
import sys
import tracemalloc
import types

import numpy

import quorvane.datamodel as dm

NAME, stub = "quorvane.mathtools.ellipsoid.ellipsoid", types.ModuleType(dm.__name__)
vars(stub).update({n: getattr(dm, n) for n in ("SurfCoord_dtype", "LLA_dtype", "ENU_dtype")})


def fail(times):
    for _ in range(times):
        sys.modules[dm.__name__] = stub
        try:
            importlib.import_module(NAME)
            raise SystemExit("imported without AER_dtype")
        except ImportError as exc:
            assert str(exc) == "cannot import name AER_dtype", exc
        sys.modules[dm.__name__] = dm
        sys.modules.pop(NAME, None)


def counts():
    return [sys.getrefcount(o) for o in (None, numpy, stub, dm.SurfCoord_dtype)]


tracemalloc.start()
fail(50)
gc.collect()
refs, before = counts(), tracemalloc.get_traced_memory()[0]
fail(200)
gc.collect()
grown, after = tracemalloc.get_traced_memory()[0] - before, counts()
tracemalloc.stop()
e = importlib.import_module(NAME).Ellipsoid(2.0, 0.5)
aer = e.aer_coords(numpy.array([3.0, 4.0, 0.0]), 0.0, 0.0, 0.0)[0]
print(grown, max(a - b for a, b in zip(after, refs)), e.Rp, aer["range"])
