// Allocating, viewing and returning results.
//
// Results are allocated through the module-level name `numpy` with
// numpy.zeros or numpy.zeros_like, viewed as typed buffers, filled, and
// returned through numpy.asarray, each name looked up at its use. Where the
// lookups still find the functions that numpy offered at start-up and the
// arguments are plain, the same work is done directly, with identical
// results; anything else is called as it is.
#pragma once

#include "lookups.hpp"
#include "record_layout.hpp"

namespace quorvane::binding {

// A writable view of a result as elements of `layout` in one or two
// dimensions, any strides. Stores are bounded by the view's own extents.
class ResultView {
public:
    // Fails with ValueError when the result does not present the layout.
    bool acquire(PyObject *result, const RecordLayout &layout, int ndim);

    Py_ssize_t length() const { return shape_[0]; }
    Py_ssize_t columns() const { return shape_[1]; }

    template <class T>
    T *element(Py_ssize_t i) const
    {
        return reinterpret_cast<T *>(data_ + i * strides_[0]);
    }
    double *cell(Py_ssize_t i, Py_ssize_t j) const
    {
        return reinterpret_cast<double *>(data_ + i * strides_[0] + j * strides_[1]);
    }

private:
    BufferView buffer_;
    char *data_ = nullptr;
    Py_ssize_t shape_[2] = {0, 0};
    Py_ssize_t strides_[2] = {0, 0};
};

// numpy.<name>, both looked up now.
PyRef numpy_attr(PyObject *name);

// numpy.zeros(shape=<shape_expr()>, dtype=<dtype_expr()>), evaluated in this order:
// `numpy`, its `zeros`, the shape, the dtype, the call.
template <class ShapeExpr, class DtypeExpr>
PyRef allocate_zeros(ShapeExpr shape_expr, DtypeExpr dtype_expr);

PyRef call_zeros(PyObject *zeros, PyObject *shape, PyObject *dtype);

// numpy.zeros_like(x)
PyRef allocate_zeros_like(PyObject *x);

// numpy.asarray(result) or numpy.asarray(result, dtype=<module-level dtype_name>).
PyRef return_array(PyObject *result, PyObject *dtype_name);

// numpy.asarray([v[0], v[1], v[2]]): a float64 array of shape (3,).
PyRef return_vector(const double *v);

// Dtype expressions for allocate_zeros.
inline PyRef numpy_double() { return numpy_attr(state.names.double_); }

template <class ShapeExpr, class DtypeExpr>
PyRef allocate_zeros(ShapeExpr shape_expr, DtypeExpr dtype_expr)
{
    PyRef zeros = numpy_attr(state.names.zeros);
    if (!zeros) {
        return zeros;
    }
    PyRef shape = shape_expr();
    if (!shape) {
        return shape;
    }
    PyRef dtype = dtype_expr();
    if (!dtype) {
        return dtype;
    }
    return call_zeros(zeros.get(), shape.get(), dtype.get());
}

}  // namespace quorvane::binding
