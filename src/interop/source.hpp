// Reading the points of an argument, element by element.
//
// The convention reads element i as obj[i] (a row of a two-dimensional
// argument as obj[i], then item j of it) and converts it by the float
// protocol. For an exact numpy.ndarray of a real numeric dtype in native byte
// order that is the same as reading the element from memory and converting it
// as C does: its item access and its scalars' float conversion cannot be
// overridden, and raise nothing inside the array's bounds. Those reads go
// straight to memory; every other object, and any index outside the array's
// current bounds, takes the item protocol, with its exceptions.
#pragma once

#include <cstring>

#include "numpy_api.hpp"

namespace quorvane::binding {

// A float64 array's elements: element (i, j) at data + i * s0 + j * s1.
struct StridedDoubles {
    const char *data;
    npy_intp n;
    npy_intp s0;
    npy_intp s1;

    double at(npy_intp i, npy_intp j = 0) const
    {
        double value;
        std::memcpy(&value, data + i * s0 + j * s1, sizeof value);
        return value;
    }
};

class Source {
public:
    explicit Source(PyObject *obj) : obj_(obj) {}

    // While the source is frozen as a float64 array of `ndim` dimensions
    // (with at least three columns for two): its elements, for loops that
    // read them without any per-element dispatch.
    bool frozen_float64(int ndim, StridedDoubles *out) const
    {
        if (!frozen_ || snapshot_.type != NPY_DOUBLE || snapshot_.ndim != ndim ||
            (ndim == 2 && snapshot_.dims[1] < 3)) {
            return false;
        }
        *out = {snapshot_.data, snapshot_.dims[0], snapshot_.strides[0],
                ndim == 2 ? snapshot_.strides[1] : 0};
        return true;
    }

    // obj[i]
    bool element(Py_ssize_t i, double *out) const
    {
        Layout scratch;
        const Layout *l = layout(&scratch);
        if (l != nullptr && l->ndim == 1 && i >= 0 && i < l->dims[0]) {
            *out = load(l->data + i * l->strides[0], l->type);
            return true;
        }
        return element_by_protocol(i, out);
    }

    // obj[i][0], obj[i][1], obj[i][2]
    bool row(Py_ssize_t i, double *out) const
    {
        Layout scratch;
        const Layout *l = layout(&scratch);
        if (l != nullptr && l->ndim == 2 && i >= 0 && i < l->dims[0] && l->dims[1] >= 3) {
            const char *p = l->data + i * l->strides[0];
            for (int j = 0; j < 3; ++j) {
                out[j] = load(p + j * l->strides[1], l->type);
            }
            return true;
        }
        return row_by_protocol(i, out);
    }

    // obj[0], obj[1], obj[2]
    bool vector(double *out) const
    {
        Layout scratch;
        const Layout *l = layout(&scratch);
        if (l != nullptr && l->ndim == 1 && l->dims[0] >= 3) {
            for (int j = 0; j < 3; ++j) {
                out[j] = load(l->data + j * l->strides[0], l->type);
            }
            return true;
        }
        return vector_by_protocol(out);
    }

    // Snapshots the current layout and serves every read from it until
    // thaw(); false, and nothing frozen, when the elements cannot be read
    // from memory. Only for loops in which no Python code can run.
    bool freeze()
    {
        frozen_ = current_layout(obj_, &snapshot_);
        return frozen_;
    }
    void thaw() { frozen_ = false; }

private:

    struct Layout {
        const char *data;
        npy_intp dims[2];
        npy_intp strides[2];
        int ndim;
        int type;
    };

    // The array's layout as it is now, or false when obj is not an array
    // whose elements may be read from memory.
    static bool current_layout(PyObject *obj, Layout *l);

    // While a loop runs no Python code the layout cannot change, and the
    // snapshot taken at its start serves every read.
    const Layout *layout(Layout *scratch) const
    {
        if (frozen_) {
            return &snapshot_;
        }
        return current_layout(obj_, scratch) ? scratch : nullptr;
    }

    static double load(const char *p, int type);

    bool element_by_protocol(Py_ssize_t i, double *out) const;
    bool row_by_protocol(Py_ssize_t i, double *out) const;
    bool vector_by_protocol(double *out) const;

    PyObject *obj_;
    Layout snapshot_{};
    bool frozen_ = false;
};

}  // namespace quorvane::binding
