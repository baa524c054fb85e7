// The ten vectorised methods of Ellipsoid. Each receives the object and its
// bound arguments, in parameter order, and returns a new reference or NULL
// with an exception set.
#pragma once

#define PY_SSIZE_T_CLEAN
#include <Python.h>

#include "quorvane/mathtools/ellipsoid/ellipsoid.h"

namespace quorvane::binding {

using MethodImpl = PyObject *(*)(Ellipsoid *self, PyObject *const *args);

PyObject *reduced_lat_from_geodetic_lat(Ellipsoid *self, PyObject *const *args);
PyObject *geodetic_lat_from_reduced_lat(Ellipsoid *self, PyObject *const *args);
PyObject *enu(Ellipsoid *self, PyObject *const *args);
PyObject *surf_pos_from_surf_coord(Ellipsoid *self, PyObject *const *args);
PyObject *surf_coord_from_surf_pos(Ellipsoid *self, PyObject *const *args);
PyObject *solve_reduced_lat_equation(Ellipsoid *self, PyObject *const *args);
PyObject *lla_from_pos(Ellipsoid *self, PyObject *const *args);
PyObject *pos_from_lla(Ellipsoid *self, PyObject *const *args);
PyObject *surf_pos_of_ray_first_intersection(Ellipsoid *self, PyObject *const *args);
PyObject *aer_coords(Ellipsoid *self, PyObject *const *args);

}  // namespace quorvane::binding
