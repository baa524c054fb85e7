"""Results and arguments whose memory a hook moves or frees while a method runs.

    python moved_memory.py CASE

Each case makes a result (through zeros_like's __array_function__ or a
replaced module-level numpy) or an argument whose memory an item read,
__float__ or __index__ moves: an ndarray base resized with refcheck=False under
a view, a ctypes array grown by ctypes.resize, the ndarray behind a memoryview.
Right after the move the hook fills fresh allocations of the freed size with a
canary, so that a store through the old pointer lands in them. Prints
"refused: <message>" when the call raised ValueError, "filled" when it returned
the values of the same call on plain arrays; exits non-zero when a canary was
overwritten or a value is wrong."""

import ctypes
import sys
import types

import numpy as np

import quorvane.mathtools.ellipsoid.ellipsoid as M

E = M.Ellipsoid(6378137.0, 1 / 298.257223563)
N = 64
CANARY = 7.0
canaries = []


def move(array):
    """Grows an ndarray in place, then reoccupies memory of its old size."""
    nbytes = array.nbytes
    array.resize((1 << 16,) + array.shape[1:], refcheck=False)
    canaries.extend(np.full(max(nbytes // 8, 1), CANARY) for _ in range(8))


def grow(c_array):
    """ctypes.resize moves the array's memory; reoccupy its old size."""
    size = ctypes.sizeof(c_array)
    ctypes.resize(c_array, size * 1024)
    canaries.extend(np.full(max(size // 8, 1), CANARY) for _ in range(8))


class Hook:
    """A number whose __float__ or __index__ runs the pending action once."""

    action = None

    def __init__(self, value):
        self.value = value

    def __float__(self):
        Hook.fire()
        return float(self.value)

    def __index__(self):
        Hook.fire()
        return int(self.value)

    @staticmethod
    def fire():
        action, Hook.action = Hook.action, None
        if action is not None:
            action()


class Items:
    """A sequence read by item access whose items carry the hook."""

    def __init__(self, values):
        self.values = np.asarray(values, dtype=float)
        self.shape, self.ndim = self.values.shape, self.values.ndim

    def __len__(self):
        return len(self.values)

    def __getitem__(self, i):
        item = self.values[i]
        return [Hook(v) for v in item] if np.ndim(item) else Hook(item)


class ViewMaker:
    """zeros_like through __array_function__: a view of a base it keeps."""

    shape, ndim = (N,), 1

    def __array_function__(self, func, types_, args, kwargs):
        self.base = np.zeros(N)
        Hook.action = lambda: move(self.base)
        return self.base[:]

    def __len__(self):
        return N

    def __getitem__(self, i):
        return Hook(0.5)


class ResizesAtEveryRead:
    """zeros_like answered with a view whose base every item read resizes."""

    shape, ndim = (N,), 1

    def __array_function__(self, func, types_, args, kwargs):
        self.base = np.zeros(N)
        return self.base[:]

    def __len__(self):
        return N

    def __getitem__(self, i):
        self.base.resize((1 << 16,), refcheck=False)
        canaries.append(np.full(N, CANARY))
        return 0.5


def replace_zeros(zeros):
    M.numpy = types.SimpleNamespace(zeros=zeros, asarray=np.asarray, double=np.double)


def view_zeros(shape, dtype):
    base = np.zeros(shape, dtype)
    Hook.action = lambda: move(base)
    return base[:]


def memoryview_zeros(shape, dtype):
    base = np.zeros(shape, dtype)
    Hook.action = lambda: move(base)
    return memoryview(base)


def stale_zeros(shape, dtype):
    base = np.zeros(shape, dtype)
    view = base[:]
    move(base)
    return view


class LLA(ctypes.Structure):
    _fields_ = [("lat", ctypes.c_double), ("lon", ctypes.c_double), ("alt", ctypes.c_double)]


def ctypes_zeros(shape, dtype):
    n = shape if isinstance(shape, int) else shape[0]
    records = (LLA * n)()
    Hook.action = lambda: grow(records)
    return records


rng = np.random.default_rng(3)
LAT, LON, ALT = rng.uniform(-1.5, 1.5, N), rng.uniform(-3, 3, N), rng.uniform(0, 1e4, N)
POS = E.pos_from_lla(LAT, LON, ALT)


def view_argument():
    """pos_from_lla on a view (read from memory) and a sequence whose first
    read resizes the view's base."""
    base = LAT.copy()
    Hook.action = lambda: move(base)
    return E.pos_from_lla(base[:], Items(LON), ALT), E.pos_from_lla(LAT, LON, ALT)


CASES = {
    "zeros_like-view-resized-at-every-read": lambda: (E.reduced_lat_from_geodetic_lat(ResizesAtEveryRead()),
                                                      E.reduced_lat_from_geodetic_lat(np.full(N, 0.5))),
    "zeros_like-view-reduced": lambda: (E.reduced_lat_from_geodetic_lat(ViewMaker()),
                                        E.reduced_lat_from_geodetic_lat(np.full(N, 0.5))),
    "zeros_like-view-geodetic": lambda: (E.geodetic_lat_from_reduced_lat(ViewMaker()),
                                         E.geodetic_lat_from_reduced_lat(np.full(N, 0.5))),
    "ctypes-one-point": lambda: (replace_zeros(ctypes_zeros), E.lla_from_pos(Items(POS[0])))[1:]
    + (E.lla_from_pos(POS[0]),),
    "ctypes-rows": lambda: (replace_zeros(ctypes_zeros), E.lla_from_pos(Items(POS)))[1:] + (E.lla_from_pos(POS),),
    "view-records": lambda: (replace_zeros(view_zeros), E.lla_from_pos(Items(POS)))[1:] + (E.lla_from_pos(POS),),
    "view-one-record": lambda: (replace_zeros(view_zeros), E.aer_coords(Items(POS[0]), 0.1, 0.2, 3.0))[1:]
    + (E.aer_coords(POS[0], 0.1, 0.2, 3.0),),
    "view-rows-of-doubles": lambda: (replace_zeros(view_zeros), E.pos_from_lla(Items(LAT), LON, ALT))[1:]
    + (E.pos_from_lla(LAT, LON, ALT),),
    "view-cells": lambda: (replace_zeros(view_zeros), E.surf_pos_from_surf_coord(Items(LAT), LON))[1:]
    + (E.surf_pos_from_surf_coord(LAT, LON),),
    "memoryview-rows": lambda: (replace_zeros(memoryview_zeros), E.pos_from_lla(Items(LAT), LON, ALT))[1:]
    + (E.pos_from_lla(LAT, LON, ALT),),
    "memoryview-cells": lambda: (replace_zeros(memoryview_zeros), E.surf_pos_from_surf_coord(Items(LAT), LON))[1:]
    + (E.surf_pos_from_surf_coord(LAT, LON),),
    "stale-before-closed-loop": lambda: (replace_zeros(stale_zeros), E.pos_from_lla(LAT, LON, ALT))[1:]
    + (E.pos_from_lla(LAT, LON, ALT),),
    "view-argument": view_argument,
}


def main():
    real_numpy = M.numpy
    try:
        got, want = CASES[sys.argv[1]]()
    except ValueError as error:
        outcome = f"refused: {error}"
    else:
        got = np.asarray(got)
        assert got.tobytes() == np.asarray(want).tobytes(), (got, want)
        outcome = "filled"
    finally:
        M.numpy = real_numpy
    spoiled = sum(int((c != CANARY).sum()) for c in canaries)
    assert spoiled == 0, f"{spoiled} canary values overwritten"
    print(outcome)


if __name__ == "__main__":
    main()
