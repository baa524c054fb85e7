// Allocating, viewing and returning results.
//
// Results are allocated through the module-level name `numpy` with
// numpy.zeros or numpy.zeros_like, viewed as typed buffers, filled, and
// returned through numpy.asarray, each name looked up at its use. Where the
// lookups still find the functions that numpy offered at start-up and the
// arguments are plain, the same work is done directly, with identical
// results; anything else is called as it is.
#pragma once

#include <cstddef>
#include <cstring>

#include "interop/fresh_array.hpp"
#include "interop/held_memory.hpp"
#include "interop/lookups.hpp"
#include "interop/numpy_api.hpp"
#include "interop/record_layout.hpp"

namespace quorvane::interop {

// True for an exact ndarray that owns its data and that only the caller's
// reference reaches: no other reference, no weak reference, and (being exact)
// not tracked by the collector, so no Python code can resize it, re-type it or
// free its memory behind the caller. A view is never private: its base may be
// reachable, and moving the base's memory leaves the view pointing at none.
bool is_private_array(PyObject *obj);

// A column of doubles: element i at data + i * stride.
struct StridedColumn {
    char *data;
    std::ptrdiff_t stride;
};

// A writable view of a result as elements of `layout` in one or two
// dimensions, any strides. Stores never go past the view's own extents.
//
// A result that Python code may still reach (from a rebound numpy.zeros, an
// ndarray subclass made by zeros_like, a view an __array_function__ returned)
// is taken again before every store of a loop in which Python code can run,
// and when a loop that runs none closes, since a hook run by an argument's
// item access may resize it or its base with refcheck=False, grow it with
// ctypes.resize, make it read-only or re-type it (see held_memory.hpp): a
// store that no longer fits goes nowhere, a result that no longer passes the
// buffer check raises what that check raises and stops the loop, and so does
// a result whose memory its owner no longer holds.
class ResultView {
public:
    // Fails with ValueError when the result does not present the layout.
    bool acquire(PyObject *result, const RecordLayout &layout, int ndim);

    Py_ssize_t length() const { return shape_[0]; }

    // True when no Python code other than the loop's own can reach the result.
    bool is_private() const { return reachable_ == nullptr; }

    // For a loop in which no Python code can run: the layout stays as it is
    // from now on. A reachable result is taken again first; one that fails
    // stays open, so that its first store raises.
    void close();

    // Column j < count of the result as a base address and a stride: the
    // j-th double of each record (a record of `count` doubles, or a double
    // for count 1), or column j of a two-dimensional result. Only while the
    // layout cannot change (a private result, or a closed loop); false
    // otherwise, or when the result has fewer columns.
    bool out_columns(StridedColumn *columns, int count) const;

    // Lets write() fill element i (a record or a double) in place. A result
    // that Python code may reach is written through a local copy, committed
    // after write() returns if element i still exists, since write() may call
    // a replaced table slot that runs Python code.
    template <class T, class Write>
    void store(Py_ssize_t i, Write write)
    {
        if (reachable_ == nullptr || closed_) {
            T local;
            write(i < shape_[0] ? reinterpret_cast<T *>(data_ + i * strides_[0]) : &local);
            return;
        }
        T local;
        write(&local);
        if (!PyErr_Occurred() && refresh(i, 0)) {
            std::memcpy(data_ + i * strides_[0], &local, sizeof local);
        }
    }

    // Stores the three doubles of row i of a two-dimensional result, as far
    // as the result has columns.
    void store_row(Py_ssize_t i, const double *row)
    {
        for (Py_ssize_t j = 0; j < 3; ++j) {
            const bool open = reachable_ != nullptr && !closed_;
            if (open ? refresh(i, j) : (i < shape_[0] && j < shape_[1])) {
                std::memcpy(data_ + i * strides_[0] + j * strides_[1], &row[j], sizeof(double));
            } else if (PyErr_Occurred()) {
                return;
            }
        }
    }

private:
    // Takes a reachable result's memory and layout again; false when (i, j)
    // no longer fits, with an exception set when the result no longer passes
    // the buffer check or its owner no longer holds the memory of (i, j).
    bool refresh(Py_ssize_t i, Py_ssize_t j);

    // The memory and layout of a reachable result as they are now; false with
    // the buffer check's exception set.
    bool retake();

    // The buffer of an exporter, checked against the layout.
    bool take_buffer(PyObject *result);

    BufferView buffer_;
    HeldMemory held_;
    PyObject *reachable_ = nullptr;
    PyArray_Descr *live_descr_ = nullptr;  // an ndarray's dtype the buffer check passed
    const RecordLayout *layout_ = nullptr;
    int ndim_ = 1;
    bool closed_ = false;
    char *data_ = nullptr;
    Py_ssize_t shape_[2] = {0, 0};
    Py_ssize_t strides_[2] = {0, 0};
};

// result[i, k] = float(value): item assignment with the key (i, k), or a
// direct store where the result is a private, plain, writable float64 matrix
// and (i, k) lies inside it, which is what the assignment would do.
class CellStores {
public:
    explicit CellStores(PyObject *target);

    // Stores run no Python code.
    bool direct() const { return direct_; }

    // Column j < count of a direct result (see ResultView::out_columns).
    bool out_columns(StridedColumn *columns, int count) const;

    // False with the assignment's exception set.
    bool assign(Py_ssize_t i, Py_ssize_t k, double value) const
    {
        if (direct_ && i < rows_ && k < columns_) {
            std::memcpy(data_ + i * row_stride_ + k * column_stride_, &value, sizeof value);
            return true;
        }
        return assign_item(i, k, value);
    }

private:
    bool assign_item(Py_ssize_t i, Py_ssize_t k, double value) const;

    PyObject *target_;
    mutable HeldMemory held_;
    bool direct_ = false;
    char *data_ = nullptr;
    Py_ssize_t rows_ = 0;
    Py_ssize_t columns_ = 0;
    Py_ssize_t row_stride_ = 0;
    Py_ssize_t column_stride_ = 0;
};

// numpy.<name>, both looked up now.
PyRef numpy_attr(PyObject *name);

// numpy.zeros(shape=<shape_expr()>, dtype=<dtype_expr()>), evaluated in this order:
// `numpy`, its `zeros`, the shape, the dtype, the call. Where the work is done
// directly, a result that `deferred` accepts may be left unzeroed (fresh_array.hpp).
template <class ShapeExpr, class DtypeExpr>
PyRef allocate_zeros(ShapeExpr shape_expr, DtypeExpr dtype_expr, DeferredZeros *deferred = nullptr);

PyRef call_zeros(PyObject *zeros, PyObject *shape, PyObject *dtype, DeferredZeros *deferred);

// numpy.zeros_like(x), with `deferred` as for allocate_zeros.
PyRef allocate_zeros_like(PyObject *x, DeferredZeros *deferred = nullptr);

// numpy.asarray(result) or numpy.asarray(result, dtype=<module-level dtype_name>).
// A result that a loop filled as doubles (`as_doubles`) is first viewed as
// float64: an array whose dtype is a record of one float64 passes that view,
// and asarray would keep the record.
PyRef return_array(PyObject *result, PyObject *dtype_name, bool as_doubles = true);

// numpy.asarray([v[0], v[1], v[2]]): a float64 array of shape (3,).
PyRef return_vector(const double *v);

// Dtype expressions for allocate_zeros.
inline PyRef numpy_double() { return numpy_attr(state.names.double_); }

template <class ShapeExpr, class DtypeExpr>
PyRef allocate_zeros(ShapeExpr shape_expr, DtypeExpr dtype_expr, DeferredZeros *deferred)
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
    return call_zeros(zeros.get(), shape.get(), dtype.get(), deferred);
}

}  // namespace quorvane::interop
