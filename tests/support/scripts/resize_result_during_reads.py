"""An argument whose item reads resize the result numpy allocated from it
(zeros_like) to 65536 elements or to none: the stores must follow the result's
current memory or the call must fail, never write to the memory it had before.
Prints "ok" when every call gave the right values or refused the resized result."""

import numpy as np

import quorvane.mathtools.ellipsoid.ellipsoid as M

E = M.Ellipsoid(6378137.0, 1 / 298.257223563)
made = []


class Grabbing(np.ndarray):
    """Keeps the array zeros_like makes from it and resizes it at item reads."""

    __array_finalize__ = lambda self, obj: made.append(self)  # noqa: E731

    def __getitem__(self, i):
        while made:
            made.pop().resize((size,), refcheck=False)
        return np.ndarray.__getitem__(self, i)


for size in [1 << 16, 0] * 50:
    x = np.full(4, 0.5).view(Grabbing)
    made.clear()
    try:
        r = E.reduced_lat_from_geodetic_lat(x)
    except ValueError:
        continue
    assert (r[:4] == E.reduced_lat_from_geodetic_lat(0.5)).all(), r[:4]
    junk = [np.ones(4) for _ in range(20)]
print("ok")
