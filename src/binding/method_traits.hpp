// What each of the ten methods is, as data: which conversion it runs, how its
// arguments carry points, how it tells one point from many, and what one
// point gives. One driver (method_driver.cpp) runs every method from this.
#pragma once

#define PY_SSIZE_T_CLEAN
#include <Python.h>

#include "interop/module_state.hpp"
#include "quorvane/mathtools/ellipsoid/ellipsoid.h"
#include "interop/record_layout.hpp"
#include "registry/conversions.hpp"
#include "binding/interop.hpp"

namespace quorvane::binding {

// The table routine for one point: its inputs in the registry's column order,
// the fixed input (ray origin or observer) and the element to fill.
using PointRoutine = void (*)(Ellipsoid *self, const double *point, const double *fixed, void *out);

// An input shared by every point, read before the points are looked at.
enum class Fixed {
    kNone,
    kOrigin,    // args[0], a three-vector; the points follow it
    kObserver,  // args[1], args[2], args[3], three numbers after the points
};

// How one point is told from many.
enum class OnePointTest {
    kAllScalars,    // isinstance(arg, Real) for each point argument
    kVectorShape,   // arg.shape == (3,)
    kOneDimension,  // arg.ndim == 1
};

// How the points arrive.
enum class Points {
    kElements,  // parallel one-dimensional arguments, a point's inputs at index i
    kRows,      // one (n, 3) argument, a point in row i
};

// What one point gives, and so how it is stored and returned.
enum class Element {
    kFloat,      // a double: a float alone, a float64 array of n
    kVector,     // three doubles: a (3,) array alone, rows of an (n, 3) float64 array
    kSurfCoord,  // records of the module-level dtype, alone (1,) or (n,)
    kLLA,
    kAER,
    kENU,
};

struct MethodTraits {
    registry::Id id;
    PointRoutine routine;
    Fixed fixed;
    OnePointTest test;
    Points points;
    int point_args;  // arguments that carry points
    Element element;
    // Records: the dtype's module-level name, the layout the result must
    // present, and the shape of the one-point allocation.
    PyObject *InternedNames::*dtype_name;
    const RecordLayout *layout;
    PyObject *ModuleState::*one_point_shape;
    // The one-point form asserts arg.shape == (3,) first.
    bool assert_one_point_vector;
    // The array form stores by item assignment, result[i, k] = value, and
    // returns the result as allocated.
    bool store_by_item;
};

PyObject *run_method(const MethodTraits &traits, Ellipsoid *self, PyObject *const *args);

}  // namespace quorvane::binding
