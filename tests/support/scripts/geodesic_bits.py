"""The geodesic ufuncs on the inputs of an .npz file, whole, point by point and reversed,
with whatever kernel set the environment selects.

    python geodesic_bits.py INPUTS.npz RESULTS.npz

INPUTS holds `direct` and `inverse`, each (4, n); RESULTS gets, for each, `<name>`
(3, n) from one call, `<name>_alone` from one call per point and `<name>_reversed`
from one call on the points in reverse order (put back in order). Prints the kernel
set's name."""

import sys

import numpy as np

from quorvane.mathtools.ellipsoid import ufuncs

WGS84 = (6378137.0, 1 / 298.257223563)


def main(source, target):
    inputs = np.load(source)
    results = {}
    for name in ("direct", "inverse"):
        ufunc = getattr(ufuncs, "geodesic_" + name)
        columns = inputs[name]
        results[name] = np.array(ufunc(*columns, *WGS84))
        results[name + "_alone"] = np.array([ufunc(*columns[:, i], *WGS84) for i in range(columns.shape[1])]).T
        results[name + "_reversed"] = np.array(ufunc(*columns[:, ::-1], *WGS84))[:, ::-1]
    np.savez(target, **results)
    print(ufuncs.kernel_set)


if __name__ == "__main__":
    main(*sys.argv[1:])
