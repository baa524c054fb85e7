"""Malformed arguments whose shape assertions -O removes: prints, as JSON, the
outcome of each call ("same" as the well-shaped call, "returned", or the name
of the exception raised) and sys.flags.optimize."""

import json
import sys

import numpy as np

import quorvane.mathtools.ellipsoid.ellipsoid as M

e, z, out = M.Ellipsoid(2.0, 0.5), np.zeros, {"optimize": sys.flags.optimize}
P = np.array([[3.0, 0, 0, 9], [0, 1, 1, -9]])


def run(key, call, reference=None):
    try:
        r = call()
        out[key] = "same" if reference is not None and r.tobytes() == reference().tobytes() else "returned"
    except (IndexError, ValueError) as x:
        out[key] = type(x).__name__


run("enu-3-2", lambda: e.enu(z(3), z(2)))
run("enu-2d", lambda: e.enu(z((2, 2)), z((2, 2))))
run("lla-n4", lambda: e.lla_from_pos(P), lambda: e.lla_from_pos(P[:, :3].copy()))
run("solve-n4", lambda: e.solve_reduced_lat_equation(P), lambda: e.solve_reduced_lat_equation(P[:, :3].copy()))
run("pos-2-2-3", lambda: e.pos_from_lla(z(2), z(2), z(3) + 1), lambda: e.pos_from_lla(z(2), z(2), z(2) + 1))
run("pos-3-2-2", lambda: e.pos_from_lla(z(3), z(2), z(2)))
run("ray-list-source", lambda: e.surf_pos_of_ray_first_intersection([4.0, 0, 0], np.array([-1.0, 0, 0])),
    lambda: e.surf_pos_of_ray_first_intersection(np.array([4.0, 0, 0]), np.array([-1.0, 0, 0])))
run("ray-short-source", lambda: e.surf_pos_of_ray_first_intersection(z(2), np.array([-1.0, 0, 0])))
run("aer-target-4", lambda: e.aer_coords(P[0], 0, 0, 0), lambda: e.aer_coords(P[0, :3].copy(), 0, 0, 0))
run("coord-empty-1d", lambda: e.surf_coord_from_surf_pos(z(0)))
run("surf-numpy-scalar", lambda: e.surf_pos_from_surf_coord(np.float64(0.5), z(2)))
print(json.dumps(out))
