// Fresh results as numpy.zeros makes them: the same dtype object, flags,
// owner, memory handler and tracemalloc record, with zeroed bytes, taken
// straight from the memory handler current in the calling context. NumPy's
// own zeros sets up a zero-fill plan per call for record dtypes, which costs
// more than converting a point.
#pragma once

#include <cstring>

#include "interop/numpy_api.hpp"
#include "common/pyref.hpp"

namespace quorvane::interop {

// The bytes of a result left unzeroed because a batch kernel is to write
// every one of them: its rows from some row on must be zeroed before
// anything else writes or returns the result. Only results whose rows are
// `row_bytes` long, all written by the kernel, are left so.
class DeferredZeros {
public:
    explicit DeferredZeros(Py_ssize_t row_bytes) : row_bytes_(row_bytes) {}

    Py_ssize_t row_bytes() const { return row_bytes_; }

    // Called by the allocation that left `nbytes` bytes at `data` unzeroed.
    void defer(char *data, Py_ssize_t nbytes)
    {
        data_ = data;
        nbytes_ = nbytes;
    }

    // Zeroes the rows from `row` on, once: the rows before it have been
    // written. Later calls do nothing.
    void zero_from(Py_ssize_t row)
    {
        if (data_ == nullptr) {
            return;
        }
        const Py_ssize_t first = row < nbytes_ / row_bytes_ ? row * row_bytes_ : nbytes_;
        std::memset(data_ + first, 0, static_cast<size_t>(nbytes_ - first));
        data_ = nullptr;
    }

private:
    Py_ssize_t row_bytes_;
    char *data_ = nullptr;
    Py_ssize_t nbytes_ = 0;
};

// numpy.zeros(dims, descr), descr borrowed. With `deferred`, a result whose
// rows match its row length comes back unzeroed and recorded there.
PyRef fresh_zeros(int ndim, const npy_intp *dims, PyArray_Descr *descr,
                  DeferredZeros *deferred = nullptr);

}  // namespace quorvane::interop
