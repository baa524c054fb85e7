"""Digests of every output of the module on a fixed set of points: each method as a
whole-array call and as one-point calls, and each ufunc on float64 and float32, on four
ellipsoids, with whatever kernel set the environment selects.

    python tests/support/scripts/output_digests.py [--points N] > digests.json

Two runs of different builds on one machine print the same JSON exactly when no output
changed by a single bit. Run it once more with QUORVANE_KERNELS=plain for the other set."""

import argparse
import hashlib
import json

import numpy as np

from quorvane.mathtools.ellipsoid import ufuncs
from quorvane.mathtools.ellipsoid.ellipsoid import Ellipsoid

from kernel_digest import arguments as method_args, one_point

ELLIPSOIDS = {"wgs84": (6378137.0, 1 / 298.257223563), "re2-f0.5": (2.0, 0.5),
              "sphere": (1.0, 0.0), "f0.99": (1.0, 0.99)}
SPECIAL = [0.0, -0.0, np.pi / 2, -np.pi / 2, np.pi, 1e-300, -1e-300, 1e300, np.inf, -np.inf, np.nan]


def digest(*arrays):
    h = hashlib.sha256()
    for a in arrays:
        h.update(np.ascontiguousarray(a).view(np.uint8).tobytes())
    return h.hexdigest()[:24]


def inputs(Re, n, seed=7):
    rng = np.random.default_rng(seed)
    lat, lon = rng.uniform(-1.6, 1.6, n), rng.uniform(-4, 4, n)
    alt = rng.uniform(-0.2, 2.0, n) * Re
    r = rng.normal(size=(n, 3)) * Re * rng.uniform(1e-6, 3, (n, 1))
    r[: n // 20, :2] *= 1e-12
    k = len(SPECIAL)
    for column in (lat, lon, alt):
        column[-k:] = rng.permutation(SPECIAL)
    r[-k:] = rng.permutation(np.repeat(SPECIAL, 3)).reshape(k, 3)
    return lat, lon, alt, r


def ufunc_args(e, lat, lon, alt, r):
    surf = e.surf_pos_from_surf_coord(lat, lon)
    return {
        "reduced_lat_from_geodetic_lat": (lat,),
        "geodetic_lat_from_reduced_lat": (lat,),
        "enu": (lat, lon),
        "surf_pos_from_surf_coord": (lat, lon),
        "surf_coord_from_surf_pos": tuple(surf.T),
        "solve_reduced_lat_equation": tuple(r.T),
        "lla_from_pos": tuple(r.T),
        "pos_from_lla": (lat, lon, alt),
        "surf_pos_of_ray_first_intersection": (*(np.array([1.5, 0.3, -0.7]) * e.Re), *(r / e.Re).T),
        "aer_coords": (*r.T, 0.3, -2.0, 0.1 * e.Re),
    }


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--points", type=int, default=100_000)
    parser.add_argument("--one-point", type=int, default=3_000)
    options = parser.parse_args()
    report = {"kernels": ufuncs.kernel_set, "methods": {}, "one_point": {}, "ufuncs64": {}, "ufuncs32": {}}
    for name, (Re, f) in ELLIPSOIDS.items():
        e = Ellipsoid(Re, f)
        data = inputs(Re, options.points)
        for method, args in method_args(e, *data).items():
            key = f"{name}:{method}"
            report["methods"][key] = digest(getattr(e, method)(*args))
            m = options.one_point
            report["one_point"][key] = digest(*(getattr(e, method)(*one_point(method, args, i))
                                                for i in range(options.points - m, options.points)))
        for ufunc, args in ufunc_args(e, *data).items():
            key = f"{name}:{ufunc}"
            report["ufuncs64"][key] = digest(*np.atleast_1d(getattr(ufuncs, ufunc)(*args, Re, f)))
            args32 = tuple(np.asarray(a, np.float32) for a in args)
            report["ufuncs32"][key] = digest(*np.atleast_1d(getattr(ufuncs, ufunc)(*args32, Re, f)))
    print(json.dumps(report, indent=1, sort_keys=True))


if __name__ == "__main__":
    main()
