// The pieces of the scalar/array convention that the method driver shares:
// shape assertions, the scalar test of several arguments and the bound on
// stores.
#pragma once

#include "interop/lookups.hpp"
#include "common/pyref.hpp"
#include "binding/interop.hpp"

namespace quorvane::binding {

// The loop bound: the argument's leading extent, but never past the result's
// end, whatever the argument's shape reported when the result was allocated.
inline Py_ssize_t bounded(Py_ssize_t n, Py_ssize_t length) { return n < length ? n : length; }

// assert obj.shape == (3,)
bool assert_vector_shape(PyObject *obj);

// assert obj.ndim == 2; assert obj.shape[1] == 3
bool assert_rows_shape(PyObject *obj);

// assert a.ndim == b.ndim [== c.ndim] == 1; assert a.shape == b.shape [== c.shape]
bool assert_parallel_shapes(PyObject *const *objs, int count);

// isinstance(obj, Real) for each object in turn, stopping at the first that
// is not: 1 when all are scalars, 0 when one is not, -1 on error.
int all_scalars(PyObject *const *objs, int count);

// The tuple (obj.shape[0], 3).
PyRef leading_extent_by_3(PyObject *obj);

}  // namespace quorvane::binding
