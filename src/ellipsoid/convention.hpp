// The pieces of the scalar/array convention that the methods share: shape
// assertions, loop drivers and the bound on stores.
#pragma once

#include "geometry.hpp"
#include "result.hpp"
#include "source.hpp"

namespace quorvane::binding {

// The loop bound: the argument's leading extent, but never past the result's
// end, whatever the argument's shape reported when the result was allocated.
inline Py_ssize_t bounded(Py_ssize_t n, Py_ssize_t length) { return n < length ? n : length; }

// True when the object's table is this module's own: its routines run no
// Python code, so a loop over memory-readable arrays cannot change them.
inline bool native_table(Ellipsoid *self) { return self->vtab == &geometry::method_table; }

// assert obj.shape == (3,)
bool assert_vector_shape(PyObject *obj);

// assert obj.ndim == 2; assert obj.shape[1] == 3
bool assert_rows_shape(PyObject *obj);

// assert a.ndim == b.ndim [== c.ndim] == 1; assert a.shape == b.shape [== c.shape]
bool assert_parallel_shapes(PyObject *const *objs, int count);

// The truth of obj.ndim == 1: 1, 0 or -1.
int is_one_point(PyObject *obj);

// isinstance(obj, Real) for each object in turn, stopping at the first that
// is not: 1 when all are scalars, 0 when one is not, -1 on error.
int all_scalars(PyObject *const *objs, int count);

// The tuple (obj.shape[0], 3).
PyRef leading_extent_by_3(PyObject *obj);

// Reads row i of `rows` (rows[i][j], j = 0, 1, 2) for i < stop and calls
// body(i, row); stops at the first failed read or pending exception.
template <class Body>
bool for_each_row(Source &rows, Py_ssize_t stop, bool closed, Body body)
{
    Source *const sources[] = {&rows};
    ClosedLoop loop(closed, sources, 1);
    Py_ssize_t i = 0;
    StridedDoubles d;
    if (rows.frozen_float64(2, &d)) {
        for (const Py_ssize_t end = stop < d.n ? stop : d.n; i < end; ++i) {
            const double row[3] = {d.at(i, 0), d.at(i, 1), d.at(i, 2)};
            body(i, row);
            if (PyErr_Occurred()) {
                return false;
            }
        }
    }
    for (; i < stop; ++i) {
        double row[3];
        if (!rows.row(i, row)) {
            return false;
        }
        body(i, row);
        if (PyErr_Occurred()) {
            return false;
        }
    }
    return true;
}

// Reads element i of each source in order (sources[k][i]) for i < stop and
// calls body(i, values); stops at the first failed read or pending exception.
template <int K, class Body>
bool for_each_element(Source *const (&sources)[K], Py_ssize_t stop, bool closed, Body body)
{
    ClosedLoop loop(closed, sources, K);
    Py_ssize_t i = 0;
    StridedDoubles d[K];
    bool all_float64 = true;
    Py_ssize_t end = stop;
    for (int k = 0; k < K && all_float64; ++k) {
        all_float64 = sources[k]->frozen_float64(1, &d[k]);
        end = all_float64 && d[k].n < end ? d[k].n : end;
    }
    if (all_float64) {
        for (; i < end; ++i) {
            double values[K];
            for (int k = 0; k < K; ++k) {
                values[k] = d[k].at(i);
            }
            body(i, values);
            if (PyErr_Occurred()) {
                return false;
            }
        }
    }
    for (; i < stop; ++i) {
        double values[K];
        for (int k = 0; k < K; ++k) {
            if (!sources[k]->element(i, &values[k])) {
                return false;
            }
        }
        body(i, values);
        if (PyErr_Occurred()) {
            return false;
        }
    }
    return true;
}

}  // namespace quorvane::binding
