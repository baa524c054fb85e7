// NumPy's C API, shared by every translation unit of the module. The table is
// imported once at start-up (module.cpp defines QUORVANE_NUMPY_IMPORT_UNIT).
#pragma once

#define PY_SSIZE_T_CLEAN
#include <Python.h>

#define PY_ARRAY_UNIQUE_SYMBOL quorvane_ellipsoid_ARRAY_API
#ifndef QUORVANE_NUMPY_IMPORT_UNIT
#define NO_IMPORT_ARRAY
#endif
#include <numpy/arrayobject.h>
