// Whether the memory behind a result or an argument is still held by its owner.
//
// An array that owns its data keeps it until it is resized or freed; a view
// points into memory that its base owns, and numpy's resize(refcheck=False),
// ctypes.resize or the release of a memoryview move or free that memory
// without the view's pointer changing. So no pointer into a result or an
// argument outlives Python code: after any Python code may have run, the
// pointer is taken again from the object, and the bytes about to be read or
// written are vouched for here against the memory that the owner at the end
// of the object's chain of bases holds at that moment.
//
// The places that keep such a pointer across code that can run Python (item
// access, __float__, __index__, attribute lookups, a replaced numpy.zeros,
// zeros_like or asarray, __array_function__ and __array_finalize__ hooks, a
// table routine that a subclass implements in Python):
//   - ResultView (result.hpp), the results of eight methods, whole-array and
//     one-point forms: only a private result (an exact ndarray that owns its
//     data and that nothing else references) keeps its pointer for the call.
//     Any other result is taken again and vouched for before each store, and
//     when a loop closes (loop_plan.hpp): a ctypes array grown by
//     ctypes.resize is followed to its new memory, a view whose base moved
//     fails.
//   - CellStores (result.hpp), surf_pos_from_surf_coord: direct stores into a
//     private result only; any other takes item assignment, which writes
//     through the exporter's own pointer (an ndarray's, a memoryview's), so a
//     result that exports a buffer is vouched for before each assignment.
//   - BatchCall (batch_call.hpp): the output columns come from a closed
//     ResultView or a direct CellStores, the input columns from frozen
//     sources, both only for loops in which no Python code runs.
//   - Source (source.hpp), the arguments: the layout of an array read from
//     memory is taken again at every read, and vouched for then; a frozen
//     snapshot is vouched for when it is taken, at the start of a loop that
//     runs no Python code.
// The ufunc loops keep NumPy's pointers, but run no Python code and, as
// NumPy's own loops, leave the operands to NumPy.
//
// An owner is an ndarray that owns its data, or a buffer exporter at the end
// of the chain (a memoryview is followed to what it views), asked for a fresh
// buffer. The exporters are held (a buffer is kept) until the next check, so
// that those which refuse to resize while exported (bytearray, array.array,
// mmap) cannot move in between. What has no owner to ask is taken at its
// word, as NumPy takes it: memory an ndarray was handed from C without a
// base, and memory described through __array_interface__ (the views of
// numpy.lib.stride_tricks.as_strided).
#pragma once

#include "interop/numpy_api.hpp"
#include "common/pyref.hpp"

namespace quorvane::interop {

class HeldMemory {
public:
    HeldMemory() = default;
    HeldMemory(const HeldMemory &) = delete;
    HeldMemory &operator=(const HeldMemory &) = delete;

    // True when bytes [lo, hi) of the memory that `obj` exposes are held by
    // their owner now; false with ValueError naming `what` ("result",
    // "argument") when the owner no longer holds them.
    bool vouch(PyObject *obj, const char *lo, const char *hi, const char *what);

    // The same for every byte of the elements of a strided layout.
    bool vouch_extent(PyObject *obj, const char *data, int ndim, const Py_ssize_t *dims,
                      const Py_ssize_t *strides, Py_ssize_t itemsize, const char *what);

    // The same for every byte of an array's elements.
    bool vouch_array(PyArrayObject *array, const char *what);

    // The same for all the memory of an ndarray or another buffer exporter, as
    // a fresh buffer of it shows; true for an object that exports none, and
    // for one that refuses to (its own protocol then reports why).
    bool vouch_exporter(PyObject *obj, const char *what);

private:
    // A memoryview and the exporter behind it are the most a chain holds.
    static constexpr int kMaxPins = 4;
    BufferView pins_[kMaxPins];
};

}  // namespace quorvane::interop
