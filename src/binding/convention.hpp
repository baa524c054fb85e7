// The pieces of the scalar/array convention that the methods share: shape
// assertions, loop drivers and the bound on stores.
#pragma once

#include <utility>

#include "geometry.hpp"
#include "batch_call.hpp"
#include "loop_plan.hpp"

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
// body(i, row); stops at the first failed read or pending exception. In a
// closed loop over float64 rows a ready batch call converts the rows in
// memory at once.
template <class Body>
bool for_each_row(const LoopPlan &plan, Source &rows, Py_ssize_t stop, const BatchCall &batch,
                  Body body)
{
    Py_ssize_t i = 0;
    StridedDoubles d;
    if (plan.closed() && rows.frozen_float64(2, &d)) {
        const Py_ssize_t end = stop < d.n ? stop : d.n;
        if (batch.ready() && end > 0) {
            const kernels::In columns[] = {
                {d.data, d.s0}, {d.data + d.s1, d.s0}, {d.data + 2 * d.s1, d.s0}};
            batch.run(columns, 3, end);
            i = end;
        }
        for (; i < end; ++i) {
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

// How many leading elements, up to `stop`, every frozen source holds as
// float64 (d[k] then describes source k); 0 when one source is not frozen as
// a one-dimensional float64 array.
inline Py_ssize_t frozen_extent(Source *const *sources, int count, Py_ssize_t stop,
                                StridedDoubles *d)
{
    Py_ssize_t end = stop;
    for (int k = 0; k < count; ++k) {
        if (!sources[k]->frozen_float64(1, &d[k])) {
            return 0;
        }
        end = d[k].n < end ? d[k].n : end;
    }
    return end;
}

// A batch call over elements [0, end) of one-dimensional float64 sources.
inline void run_on_elements(const BatchCall &batch, const StridedDoubles *d, int count,
                            Py_ssize_t end)
{
    kernels::In columns[BatchCall::kMaxColumns];
    for (int k = 0; k < count; ++k) {
        columns[k] = {d[k].data, d[k].s0};
    }
    batch.run(columns, count, end);
}

// Reads element i of each source in order (sources[k][i]) for i < stop and
// calls body(i, values); stops at the first failed read or pending exception.
// In a closed loop over float64 sources a ready batch call converts the
// elements in memory at once.
template <int K, class Body>
bool for_each_element(const LoopPlan &plan, Source *const (&sources)[K], Py_ssize_t stop,
                      const BatchCall &batch, Body body)
{
    Py_ssize_t i = 0;
    StridedDoubles d[K];
    // Elements [0, end) are read from memory: a closed loop over float64 sources.
    Py_ssize_t end = plan.closed() ? frozen_extent(sources, K, stop, d) : 0;
    if (batch.ready() && end > 0) {
        run_on_elements(batch, d, K, end);
        i = end;
    }
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

// The rows form shared by the methods that take an (n, 3) argument and give
// one element per row: the shape assertions, allocation by numpy.zeros with
// the shape points.shape[0] and the dtype `dtype_expr()`, the view as
// `layout`, and routine(row, element) per row. The filled result, or null.
template <class Element, class DtypeExpr, class Routine>
PyRef per_row(Ellipsoid *self, PyObject *points, DtypeExpr dtype_expr,
              const RecordLayout &layout, BatchCall batch, Routine routine)
{
    if (assertions_enabled() && !assert_rows_shape(points)) {
        return PyRef();
    }
    PyRef result = allocate_zeros([points] { return shape_item(points, 0); }, dtype_expr);
    ResultView out;
    Py_ssize_t n;
    if (!result || !out.acquire(result.get(), layout, 1) || !leading_extent(points, &n)) {
        return PyRef();
    }
    Source rows(points);
    Source *const sources[] = {&rows};
    const LoopPlan plan(native_table(self), out, sources, 1);
    batch.write_to(out, static_cast<int>(sizeof(Element) / sizeof(double)));
    const bool ok = for_each_row(plan, rows, bounded(n, out.length()), batch,
                                 [&](Py_ssize_t i, const double *point) {
                                     out.store<Element>(i, [&](Element *element) {
                                         routine(point, element);
                                     });
                                 });
    return ok ? std::move(result) : PyRef();
}

// How a method tells one point from many, and what its one-point form does.
struct PointsForm {
    int one_point;              // the truth of the method's one-point test
    bool assert_vector_shape;   // the one-point form asserts points.shape == (3,)
    PyObject *one_point_shape;  // the shape argument of the one-point allocation
};

// A record result of a routine applied to one point (a three-vector) or to
// each row of an (n, 3) argument: allocation by numpy.zeros with the
// module-level dtype `dtype_name`, the record view, reads, stores and the
// return through numpy.asarray. routine(point, record) fills one record.
template <class Record, class Routine>
PyObject *record_per_point(Ellipsoid *self, PyObject *points, const PointsForm &form,
                           PyObject *dtype_name, const RecordLayout &layout,
                           const BatchCall &batch, Routine routine)
{
    auto dtype = [dtype_name] { return module_global(dtype_name); };
    PyRef result;
    if (form.one_point == 1) {
        if (form.assert_vector_shape && assertions_enabled() && !assert_vector_shape(points)) {
            return nullptr;
        }
        PyObject *const shape = form.one_point_shape;
        result = allocate_zeros([shape] { return PyRef::new_ref(shape); }, dtype);
        ResultView out;
        if (!result || !out.acquire(result.get(), layout, 1)) {
            return nullptr;
        }
        double point[3];
        if (!Source(points).vector(point)) {
            return nullptr;
        }
        out.store<Record>(0, [&](Record *record) { routine(point, record); });
        if (PyErr_Occurred()) {
            return nullptr;
        }
    } else {
        result = per_row<Record>(self, points, dtype, layout, batch, routine);
        if (!result) {
            return nullptr;
        }
    }
    return return_array(result.get(), dtype_name).release();
}

}  // namespace quorvane::binding
