// Reading the points of an argument, element by element.
//
// The convention reads element i as obj[i] (a row of a two-dimensional
// argument as obj[i], then item j of it) and converts it by the float
// protocol. For an exact numpy.ndarray of a real numeric dtype in native byte
// order that is the same as reading the element from memory and converting it
// as C does: its item access and its scalars' float conversion cannot be
// overridden, and raise nothing inside the array's bounds. Those reads go
// straight to memory; every other object, and any index outside the array's
// current bounds, takes the item protocol, with its exceptions. An array
// whose memory its owner no longer holds (see held_memory.hpp) is not read:
// the read fails with ValueError.
#pragma once

#include <cstring>

#include "interop/held_memory.hpp"
#include "interop/numpy_api.hpp"

namespace quorvane::interop {

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
        const Layout *l;
        if (!layout(&scratch, &l)) {
            return false;
        }
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
        const Layout *l;
        if (!layout(&scratch, &l)) {
            return false;
        }
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
        const Layout *l;
        if (!layout(&scratch, &l)) {
            return false;
        }
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
        const Access access = current_layout(&snapshot_);
        if (access == Access::lost) {
            PyErr_Clear();  // the first read raises it again
        }
        frozen_ = access == Access::memory;
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

    enum class Access { memory, protocol, lost };

    // The array's layout as it is now (memory), or how else its elements are
    // read: by the item protocol, or not at all (lost, with ValueError set)
    // when its owner no longer holds its memory.
    Access current_layout(Layout *l) const;

    // While a loop runs no Python code the layout cannot change, and the
    // snapshot taken at its start serves every read. *l is null for the item
    // protocol; false when the memory is lost.
    bool layout(Layout *scratch, const Layout **l) const
    {
        if (frozen_) {
            *l = &snapshot_;
            return true;
        }
        const Access access = current_layout(scratch);
        *l = access == Access::memory ? scratch : nullptr;
        return access != Access::lost;
    }

    static double load(const char *p, int type);

    bool element_by_protocol(Py_ssize_t i, double *out) const;
    bool row_by_protocol(Py_ssize_t i, double *out) const;
    bool vector_by_protocol(double *out) const;

    PyObject *obj_;
    mutable HeldMemory held_;
    Layout snapshot_{};
    bool frozen_ = false;
};

}  // namespace quorvane::interop
