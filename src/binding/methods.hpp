// The ten vectorised methods of Ellipsoid. Each receives the object and its
// bound arguments, in parameter order, and returns a new reference or NULL
// with an exception set.
#pragma once

#define PY_SSIZE_T_CLEAN
#include <Python.h>

#include "binding/method_list.hpp"
#include "quorvane/mathtools/ellipsoid/ellipsoid.h"
#include "binding/interop.hpp"

namespace quorvane::binding {

using MethodImpl = PyObject *(*)(Ellipsoid *self, PyObject *const *args);

#define QUORVANE_DECLARE_METHOD(name, returns, ...) \
    PyObject *name(Ellipsoid *self, PyObject *const *args);
QUORVANE_ELLIPSOID_METHODS(QUORVANE_DECLARE_METHOD, )
#undef QUORVANE_DECLARE_METHOD

}  // namespace quorvane::binding
