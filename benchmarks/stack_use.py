"""Peak stack use of the ufuncs' loops, float64 and float32, against NumPy's own loops.

    python benchmarks/stack_use.py [--points N] [--size BYTES]

Each call runs on a thread that pthread_create (through ctypes) starts on a stack
this script maps and fills with a byte pattern (--size, default 256 KiB); after the
thread ends, the lowest byte that no longer holds the pattern gives the deepest the
stack went. The depth includes what every call on such a thread needs (glibc's
thread descriptor at the top of the stack, ctypes' callback and the interpreter
running it, NumPy's ufunc machinery): the line "python only" (a callback that calls
nothing) and NumPy's own loops give that base, np.arctan2 for the element-wise ufuncs
and np.vecdot for enu, a generalized ufunc (NumPy's generalized ufuncs keep arrays of
NPY_MAXARGS x NPY_MAXDIMS axes on the stack). For each ufunc it prints the depth on
float64 and float32 points, what the float32 loop adds to the float64 one, and what
each adds to NumPy's own loop of the same type. aer_coords runs twice: with one
observer (stride-0 columns, the observer-once kernel) and with an observer per target.
"""

import argparse
import ctypes
import mmap

import numpy as np
from float32 import arguments as every_argument

import quorvane.mathtools.ellipsoid.ufuncs as U

PATTERN = 0xA5
START = ctypes.CFUNCTYPE(ctypes.c_void_p, ctypes.c_void_p)
libc = ctypes.CDLL(None, use_errno=True)


def stack_depth(call, size):
    """The deepest the stack of a fresh thread went while it ran call()."""
    stack = mmap.mmap(-1, size)
    stack.write(bytes([PATTERN]) * size)
    base = ctypes.addressof(ctypes.c_char.from_buffer(stack))
    failure = []

    def body(_):
        try:
            call()
        except BaseException as error:  # reported by the caller, after the join
            failure.append(error)
        return None

    start = START(body)
    attr = ctypes.create_string_buffer(128)  # pthread_attr_t is 56 bytes on x86-64 glibc
    thread = ctypes.c_ulong()
    for name, args in [("pthread_attr_init", (attr,)),
                       ("pthread_attr_setstack", (attr, ctypes.c_void_p(base), ctypes.c_size_t(size))),
                       ("pthread_create", (ctypes.byref(thread), attr, start, None)),
                       ("pthread_join", (thread, None)),
                       ("pthread_attr_destroy", (attr,))]:
        error = getattr(libc, name)(*args)
        if error:
            raise OSError(error, f"{name} failed")
    if failure:
        raise failure[0]
    painted = stack[:]
    untouched = len(painted) - len(painted.lstrip(bytes([PATTERN])))
    del start
    return size - untouched


def arguments(name, n, dtype, one_observer=True):
    """Point inputs of a ufunc (positions near WGS84), in dtype."""
    rng = np.random.default_rng(4)
    lat, lon, alt = rng.uniform(-1.5, 1.5, n), rng.uniform(-3, 3, n), rng.uniform(0, 1e4, n)
    xyz = tuple(U.pos_from_lla(lat, lon, alt, *U.WGS84))
    observer = (0.6, -1.2, 120.0) if one_observer else (lat[::-1], lon[::-1], alt)
    columns = {
        "reduced_lat_from_geodetic_lat": (lat,), "geodetic_lat_from_reduced_lat": (lat,),
        "enu": (lat, lon), "surf_pos_from_surf_coord": (lat, lon),
        "surf_coord_from_surf_pos": xyz, "solve_reduced_lat_equation": xyz, "lla_from_pos": xyz,
        "pos_from_lla": (lat, lon, alt),
        "surf_pos_of_ray_first_intersection": (4.2e7, 0.0, 0.0, *(-c for c in xyz)),
        "aer_coords": (*xyz, *observer),
    }.get(name)
    if columns is None:
        # Every other conversion of the registry, from its columns' names and units.
        columns = every_argument(n)[name]
    return tuple(np.asarray(c, dtype) for c in columns)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--points", type=int, default=1000)
    parser.add_argument("--size", type=int, default=256 * 1024)
    options = parser.parse_args()
    n, size = options.points, options.size
    print(f"peak stack depth in bytes, {n} points, kernels {U.kernel_set}")
    print(f"  python only                          {stack_depth(lambda: None, size):6d}")
    numpy_own = {}
    for kind, ufunc in (("element-wise", np.arctan2), ("generalized", np.vecdot)):
        for dtype in (np.float64, np.float32):
            a, b = np.ones(n, dtype), np.full(n, 2.0, dtype)
            numpy_own[kind, dtype] = stack_depth(lambda: ufunc(a, b), size)
            print(f"  numpy.{ufunc.__name__:8s} {np.dtype(dtype).name:7s}               "
                  f"{numpy_own[kind, dtype]:6d}")
    print(f"  {'ufunc':36s} {'float64':>7s} {'float32':>7s} {'32 - 64':>8s}   over NumPy: float64 float32")
    cases = [(name, name, True) for name, ufunc in vars(U).items() if isinstance(ufunc, np.ufunc)]
    cases.append(("aer_coords, observer per target", "aer_coords", False))
    worst = {}
    for label, name, one_observer in cases:
        kind = "generalized" if getattr(U, name).signature else "element-wise"
        depth = {}
        for dtype in (np.float64, np.float32):
            args = arguments(name, n, dtype, one_observer)
            ellipsoid = U.WGS84 if getattr(U, name).nin > len(args) else ()
            depth[dtype] = stack_depth(lambda: getattr(U, name)(*args, *ellipsoid), size)
        added = depth[np.float32] - depth[np.float64]
        over = {dtype: depth[dtype] - numpy_own[kind, dtype] for dtype in depth}
        worst = {"float32 loop over float64 loop": max(worst.get("float32 loop over float64 loop", 0), added),
                 "any loop over NumPy's own": max(worst.get("any loop over NumPy's own", 0), *over.values())}
        print(f"  {label:36s} {depth[np.float64]:7d} {depth[np.float32]:7d} {added:8d}   "
              f"{over[np.float64]:18d} {over[np.float32]:7d}")
    for what, bytes_ in worst.items():
        print(f"most the {what}: {bytes_} bytes")


if __name__ == "__main__":
    main()
