"""Digests of every method's results on fixed random points, with whatever kernel set
and thread count the environment selects.

    python kernel_digest.py

Prints JSON: the kernel set (as the ufunc module reports it), per method
a SHA-256 of the result bytes on 300 000 points, the first 200 results as hex floats,
and how many of the first 300 points a one-point call gives other bits for."""

import hashlib
import json

import numpy as np

from quorvane.mathtools.ellipsoid.ellipsoid import Ellipsoid

N = 300_000  # enough for two threads of the split


def arguments(e, lat, lon, alt, r):
    """Each method's array arguments, from latitudes, longitudes, altitudes (n,) and
    positions (n, 3) scaled to the ellipsoid."""
    return {
        "reduced_lat_from_geodetic_lat": (lat,),
        "geodetic_lat_from_reduced_lat": (lat,),
        "enu": (lat, lon),
        "surf_pos_from_surf_coord": (lat, lon),
        "surf_coord_from_surf_pos": (e.surf_pos_from_surf_coord(lat, lon),),
        "solve_reduced_lat_equation": (r,),
        "lla_from_pos": (r,),
        "pos_from_lla": (lat, lon, alt),
        "surf_pos_of_ray_first_intersection": (np.array([1.5, 0.3, -0.7]) * e.Re, r / e.Re),
        "aer_coords": (r, 0.3, -2.0, 0.1 * e.Re),
    }


def one_point(method, args, i):
    """The arguments of point i alone, in the method's one-point form."""
    if method == "surf_pos_of_ray_first_intersection":
        return args[0], args[1][i]
    if method == "aer_coords":
        return (args[0][i], *args[1:])
    return tuple(a[i] for a in args)


def as_bytes(x):
    return np.ascontiguousarray(x).view(np.uint8).tobytes()


def main():
    from quorvane.mathtools.ellipsoid import ufuncs

    e = Ellipsoid(6378137.0, 1 / 298.257223563)
    rng = np.random.default_rng(2024)
    lat, lon = rng.uniform(-1.6, 1.6, N), rng.uniform(-4, 4, N)
    r = rng.normal(size=(N, 3)) * rng.uniform(1e2, 4e7, (N, 1))
    report = {"kernels": ufuncs.kernel_set, "digests": {}, "samples": {}, "one_point_mismatches": {}}
    for method, args in arguments(e, lat, lon, rng.uniform(-1e6, 4e7, N), r).items():
        result = getattr(e, method)(*args)
        report["digests"][method] = hashlib.sha256(as_bytes(result)).hexdigest()
        flat = np.ascontiguousarray(result).view(np.float64).ravel()
        report["samples"][method] = [float(x).hex() for x in flat[:200]]
        report["one_point_mismatches"][method] = sum(
            as_bytes(getattr(e, method)(*one_point(method, args, i))) != as_bytes(result[i]) for i in range(300))
    print(json.dumps(report))


if __name__ == "__main__":
    main()
