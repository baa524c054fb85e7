"""Hostile calls of every method and ufunc, for the sanitizer build (scripts/sanitize.sh).

    python scripts/fuzz_hostile.py [--calls N] [--seed S] [--threads T]

Each call takes random arguments: numbers, arrays of any dtype and layout, views of a
base array, lists, and objects whose hooks run in the middle of the call (__float__,
__index__, __getitem__, __array__, __array_function__ answering zeros_like, an ndarray
subclass's item access) and then resize, free or re-type memory: an ndarray base is
resized with refcheck=False (larger, smaller, to nothing), an array is re-typed or made
read-only, a ctypes array is grown by ctypes.resize, a memoryview is released, a
bytearray is resized. One call in four runs with the module-level `numpy` replaced, so
that results come from a numpy.zeros or zeros_like that returns such a view, a
memoryview, a ctypes array, a bytearray-backed array or an already stale view. Hooks
also fill fresh allocations with a canary value, which is checked after every call: a
store through a pointer into freed memory lands in one of them in the release build,
where AddressSanitizer is not there to stop it.

Any exception a call raises is accepted except SystemError (the module's own error
handling broke) and a changed canary; the run prints the calls made, the exceptions
by type and every finding, and exits non-zero if there was one. --threads runs that
many threads at once, each with its own arguments (the ufuncs release the GIL).
"""

import argparse
import collections
import ctypes
import gc
import random
import sys
import threading
import time
import types
import warnings

import numpy as np

import quorvane.mathtools.ellipsoid.ellipsoid as M
from quorvane.mathtools.ellipsoid import ufuncs as U

ELLIPSOIDS = [M.Ellipsoid(6378137.0, 1 / 298.257223563), M.Ellipsoid(1.0, 0.0), M.Ellipsoid(2.0, 0.5)]
METHODS = {
    "reduced_lat_from_geodetic_lat": ["column"], "geodetic_lat_from_reduced_lat": ["column"],
    "pos_from_lla": ["column"] * 3, "surf_pos_from_surf_coord": ["column"] * 2, "enu": ["column"] * 2,
    "lla_from_pos": ["rows"], "solve_reduced_lat_equation": ["rows"], "surf_coord_from_surf_pos": ["rows"],
    "surf_pos_of_ray_first_intersection": ["vector", "rows"], "aer_coords": ["rows", "number", "number", "number"],
}
UFUNCS = [f for f in vars(U).values() if isinstance(f, np.ufunc)]
CANARY = 7.0


def c_record(dtype, made={}):
    """The ctypes structure of a record dtype of doubles and arrays of doubles."""
    if dtype not in made:
        fields = [(name, ctypes.c_double * dtype.fields[name][0].shape[0] if dtype.fields[name][0].shape
                   else ctypes.c_double) for name in dtype.names]
        made[dtype] = type("Record", (ctypes.Structure,), {"_fields_": fields})
    return made[dtype]


class Fuzz:
    """One thread's generator of arguments and hooks; `victims` are the buffers the
    hooks of the current call may move."""

    def __init__(self, seed):
        self.rng = random.Random(seed)
        self.nrng = np.random.default_rng(seed)
        self.victims = []
        self.canaries = []

    # what hooks do
    def act(self):
        r = self.rng
        if r.random() < 0.15:
            gc.collect(0)
        if not self.victims or r.random() < 0.2:
            return
        victim = r.choice(self.victims)
        try:
            if isinstance(victim, np.ndarray):
                kind = r.randrange(5)
                if kind == 0:
                    victim.resize((r.choice([0, 1, 3, 64, 4096]),) + victim.shape[1:], refcheck=False)
                elif kind == 1:
                    victim.resize((r.choice([0, 1, 2]),) + victim.shape[1:], refcheck=False)
                elif kind == 2:
                    victim.dtype = r.choice([np.int64, np.float32, np.uint8, victim.dtype])
                elif kind == 3:
                    victim.setflags(write=False)
                else:
                    victim.shape = (victim.size,)
            elif isinstance(victim, memoryview):
                victim.release()
            elif isinstance(victim, bytearray):
                del victim[r.randrange(len(victim) + 1):]
            elif ctypes.sizeof(victim) < 1 << 20:
                ctypes.resize(victim, ctypes.sizeof(victim) + r.choice([8, 4096, 1 << 16]))
        except (ValueError, TypeError, BufferError, AttributeError):
            pass  # refused: exported, not owned, read-only, ...
        self.canaries.extend(np.full(r.choice([1, 3, 8, 24, 64, 512]), CANARY) for _ in range(3))

    # hostile objects
    def number(self, value):
        return Hook(self, value) if self.rng.random() < 0.5 else value

    def sequence(self, values):
        return Items(self, values)

    def base_view(self, array):
        base = array.copy()
        self.victims.append(base)
        return base[:] if self.rng.random() < 0.7 else base[::-1][::-1]

    def zeros_like_object(self, values):
        return ViewMaker(self, values)

    # arguments
    def values(self, n, width=None):
        shape = (n,) if width is None else (n, width)
        kind = self.rng.randrange(4)
        if kind == 0:
            return self.nrng.uniform(-2, 2, shape)
        if kind == 1:
            return self.nrng.normal(size=shape) * 7e6
        if kind == 2:
            return np.where(self.nrng.random(shape) < 0.3, np.nan, self.nrng.uniform(-1e7, 1e7, shape))
        return self.nrng.choice([0.0, -0.0, np.inf, -np.inf, 1e-300, 6378137.0, 6356752.3142], shape)

    def argument(self, role, n):
        r = self.rng
        if role == "number":
            return self.number(r.choice([0.3, -1.2, 100.0, np.nan, 7, np.float32(0.5)]))
        width = None if role == "column" else 3
        values = self.values(3 if role == "vector" else n, width)
        if role == "vector":
            values = values[0] if values.ndim == 2 else values
        kind = r.randrange(10)
        if kind == 0:
            return values
        if kind == 1:
            return self.base_view(values)
        if kind == 2:
            return values.astype(r.choice([np.float32, np.int32, np.int64, np.uint8, np.longdouble, np.float16,
                                           np.complex128, bool]))
        if kind == 3:
            return np.repeat(values, 2, axis=0)[::2]
        if kind == 4:
            return values.tolist()
        if kind == 5:
            return self.sequence(values)
        if kind == 6 and role == "column":
            return self.zeros_like_object(values)
        if kind == 7:
            view = values.view(Grabbing)
            Grabbing.owner = self
            return view
        if kind == 8:
            return np.frombuffer(bytearray(values.tobytes()), values.dtype).reshape(values.shape)
        return values[::-1]

    # replaced numpy
    def zeros(self, shape, dtype):
        r = self.rng
        dtype = np.dtype(dtype)
        base = np.zeros(shape, dtype)
        kind = r.randrange(6)
        if kind == 0:
            return base
        if kind == 1:
            self.victims.append(base)
            return base[:]
        if kind == 2:
            self.victims.append(base)
            return memoryview(base)
        if kind == 3:
            buffer = bytearray(base.tobytes())
            self.victims.append(buffer)
            return np.frombuffer(buffer, dtype).reshape(base.shape)
        if kind == 4 and base.ndim in (1, 2):
            element = ctypes.c_double if dtype.fields is None else c_record(dtype)
            for extent in reversed(base.shape):
                element = element * extent
            records = element()
            self.victims.append(records)
            return records
        view = base[:]
        base.resize((4096,) + base.shape[1:], refcheck=False)
        return view

    def zeros_like(self, x):
        return self.zeros(np.shape(x), getattr(x, "dtype", np.float64))

    def numpy(self):
        return types.SimpleNamespace(zeros=self.zeros, zeros_like=self.zeros_like, asarray=np.asarray,
                                     double=np.double)

    # calls
    def method_call(self):
        name = self.rng.choice(sorted(METHODS))
        n = self.rng.choice([0, 1, 2, 5, 17, 64])
        args = [self.argument(role, n) for role in METHODS[name]]
        return getattr(self.rng.choice(ELLIPSOIDS), name), args, {}

    def ufunc_call(self):
        ufunc = self.rng.choice(UFUNCS)
        n = self.rng.choice([1, 3, 64, 300, 2500])
        dtype = self.rng.choice([np.float64, np.float32, np.float32, np.int64])
        args = []
        for _ in range(ufunc.nin - 2):
            column = self.values(n).astype(dtype)
            kind = self.rng.randrange(4)
            args.append(column if kind == 0 else column[::-1] if kind == 1 else
                        np.broadcast_to(column[:1], (n,)) if kind == 2 else Wrapped(self, column))
        Re, f = self.rng.choice([U.WGS84, (1.0, 0.0), (-1.0, 0.5), (np.full(n, 2.0), np.linspace(0, 0.99, n))])
        return ufunc, args + [Re, f], {}

    def one_call(self, outcomes, findings):
        self.victims.clear()
        self.canaries.clear()
        replaced = self.rng.random() < 0.25 and threading.current_thread() is threading.main_thread()
        function, args, kwargs = self.ufunc_call() if self.rng.random() < 0.3 else self.method_call()
        if replaced:
            M.numpy = self.numpy()
        try:
            function(*args, **kwargs)
            outcomes["returned"] += 1
        except SystemError as error:
            findings.append(f"SystemError from {getattr(function, '__name__', function)}: {error}")
        except Exception as error:  # any other exception is an accepted answer
            moved = "was moved or freed by its owner" in str(error)
            outcomes["ValueError (memory moved)" if moved else type(error).__name__] += 1
        finally:
            if replaced:
                M.numpy = np
        spoiled = sum(int((c != CANARY).sum()) for c in self.canaries)
        if spoiled:
            findings.append(f"{spoiled} canary values overwritten by {getattr(function, '__name__', function)}")


class Hook:
    """A number whose __float__ and __index__ run a hook first."""

    def __init__(self, fuzz, value):
        self.fuzz, self.value = fuzz, value

    def __float__(self):
        self.fuzz.act()
        return float(self.value)

    def __index__(self):
        self.fuzz.act()
        return int(self.value) if np.isfinite(self.value) else 0


class Items:
    """A sequence with shape and ndim, read by item access, whose reads run hooks."""

    def __init__(self, fuzz, values):
        self.fuzz, self.values = fuzz, values
        self.ndim = values.ndim
        self.shape = tuple(Hook(fuzz, s) if fuzz.rng.random() < 0.2 else s for s in values.shape)

    def __len__(self):
        return len(self.values)

    def __getitem__(self, i):
        self.fuzz.act()
        item = self.values[i]
        if np.ndim(item):
            return [self.fuzz.number(v) for v in item]
        return self.fuzz.number(item)

    def __array__(self, dtype=None, copy=None):
        self.fuzz.act()
        return np.asarray(self.values, dtype)


class ViewMaker(Items):
    """zeros_like answered through __array_function__ with a view of a base it keeps."""

    def __array_function__(self, func, types_, args, kwargs):
        base = np.zeros(self.values.shape)
        self.fuzz.victims.append(base)
        return base[:] if self.fuzz.rng.random() < 0.8 else base


class Grabbing(np.ndarray):
    """A subclass whose item reads run hooks, and whose new instances (the results
    zeros_like makes from it) become victims."""

    owner = None

    def __array_finalize__(self, obj):
        if Grabbing.owner is not None:
            Grabbing.owner.victims.append(self)

    def __getitem__(self, i):
        if Grabbing.owner is not None:
            Grabbing.owner.act()
        return np.ndarray.__getitem__(self, i)


class Wrapped:
    """A ufunc operand that NumPy converts through __array__, running a hook."""

    def __init__(self, fuzz, values):
        self.fuzz, self.values = fuzz, values

    def __array__(self, dtype=None, copy=None):
        self.fuzz.act()
        return self.values if dtype is None else self.values.astype(dtype)


def run(seed, calls, outcomes, findings, progress):
    np.seterr(all="ignore")  # the floating-point error state is per thread
    fuzz = Fuzz(seed)
    for k in range(calls):
        fuzz.one_call(outcomes, findings)
        progress[seed] = k + 1


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--calls", type=int, default=20_000, help="calls in all (split across threads)")
    parser.add_argument("--seed", type=int, default=1)
    parser.add_argument("--threads", type=int, default=1)
    options = parser.parse_args()
    # Casts of NaN and out-of-range arguments, the calls themselves and the deprecated dtype
    # assignment of the hooks warn; warnings.catch_warnings would not be safe across threads.
    warnings.simplefilter("ignore")
    outcomes, findings, progress = collections.Counter(), [], {}
    start = time.perf_counter()
    per_thread = options.calls // options.threads
    workers = [threading.Thread(target=run, args=(options.seed + t, per_thread, outcomes, findings, progress))
               for t in range(1, options.threads)]
    for worker in workers:
        worker.start()
    run(options.seed, per_thread, outcomes, findings, progress)
    for worker in workers:
        worker.join()
    made = sum(progress.values())
    print(f"{made} calls in {time.perf_counter() - start:.0f} s on {options.threads} thread(s), "
          f"kernels {U.kernel_set}, assertions {'off' if sys.flags.optimize else 'on'}, seed {options.seed}")
    print("  outcomes: " + ", ".join(f"{k} {v}" for k, v in outcomes.most_common()))
    print(f"  findings: {len(findings)}")
    for finding in findings[:20]:
        print("    " + finding)
    sys.exit(1 if findings else 0)


if __name__ == "__main__":
    main()
