// The Ellipsoid extension type: construction and validation, the read-only
// properties, the pickling hooks and the placeholders of the ten methods.
#pragma once

#define PY_SSIZE_T_CLEAN
#include <Python.h>
#include "binding/interop.hpp"

namespace quorvane::binding {

extern PyTypeObject EllipsoidType;

// Lets the type make instances: called once start-up has completed.
void mark_started();

// Fills the type's slots; PyType_Ready is left to the caller. False with an
// exception set when a docstring cannot be made.
bool prepare_ellipsoid_type();

}  // namespace quorvane::binding
