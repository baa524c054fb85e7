"""Digests of every method's results on fixed random points, with whatever kernel set
and thread count the environment selects.

    python kernel_digest.py

Prints JSON: the kernel set (as the ufunc module reports it, when built), per method
a SHA-256 of the result bytes on 300 000 points, the first 200 results as hex floats,
and how many of the first 300 points a one-point call gives other bits for."""

import hashlib
import json

import numpy as np

from quorvane.mathtools.ellipsoid.ellipsoid import Ellipsoid

N = 300_000  # enough for two threads of the split
e = Ellipsoid(6378137.0, 1 / 298.257223563)
rng = np.random.default_rng(2024)
lat, lon = rng.uniform(-1.6, 1.6, N), rng.uniform(-4, 4, N)
alt = rng.uniform(-1e6, 4e7, N)
r = rng.normal(size=(N, 3)) * rng.uniform(1e2, 4e7, (N, 1))
ARGS = {
    "reduced_lat_from_geodetic_lat": (lat,),
    "geodetic_lat_from_reduced_lat": (lat,),
    "enu": (lat, lon),
    "surf_pos_from_surf_coord": (lat, lon),
    "surf_coord_from_surf_pos": (e.surf_pos_from_surf_coord(lat, lon),),
    "solve_reduced_lat_equation": (r,),
    "lla_from_pos": (r,),
    "pos_from_lla": (lat, lon, alt),
    "surf_pos_of_ray_first_intersection": (np.array([2.5e7, 1e6, -3e6]), -r),
    "aer_coords": (r, 0.3, -2.0, 100.0),
}


def one_point(method, i):
    args = ARGS[method]
    if method == "surf_pos_of_ray_first_intersection":
        return args[0], args[1][i]
    if method == "aer_coords":
        return (args[0][i], *args[1:])
    return tuple(a[i] for a in args)


def as_bytes(x):
    return np.ascontiguousarray(x).view(np.uint8).tobytes()


try:
    from quorvane.mathtools.ellipsoid import ufuncs
    kernels = ufuncs.kernel_set
except ImportError:
    kernels = None
report = {"kernels": kernels, "digests": {}, "samples": {}, "one_point_mismatches": {}}
for method, args in ARGS.items():
    result = getattr(e, method)(*args)
    report["digests"][method] = hashlib.sha256(as_bytes(result)).hexdigest()
    flat = np.ascontiguousarray(result).view(np.float64).ravel()
    report["samples"][method] = [float(x).hex() for x in flat[:200]]
    report["one_point_mismatches"][method] = sum(
        as_bytes(getattr(e, method)(*one_point(method, i))) != as_bytes(result[i]) for i in range(300))
print(json.dumps(report))
