#include "interop/held_memory.hpp"

#include <cstdint>

#include "interop/messages.hpp"

namespace quorvane::interop {

namespace {

// Bytes [lo, hi) as addresses; empty when lo == hi.
struct Span {
    std::uintptr_t lo;
    std::uintptr_t hi;
};

// The bytes that elements of the given extents and strides cover. Valid
// layouts keep these sums inside the address space; unsigned arithmetic
// keeps a corrupt one from overflowing (it then fails the containment).
Span extent(const void *data, int ndim, const Py_ssize_t *dims, const Py_ssize_t *strides,
            Py_ssize_t itemsize)
{
    std::uintptr_t lo = reinterpret_cast<std::uintptr_t>(data);
    std::uintptr_t hi = lo + static_cast<std::uintptr_t>(itemsize);
    for (int k = 0; k < ndim; ++k) {
        if (dims[k] == 0) {
            return {lo, lo};
        }
        const std::uintptr_t reach =
            static_cast<std::uintptr_t>(strides[k]) * static_cast<std::uintptr_t>(dims[k] - 1);
        if (strides[k] < 0) {
            lo += reach;  // wraps to lo - |stride| * (dims - 1)
        } else {
            hi += reach;
        }
    }
    return {lo, hi};
}

Span array_extent(PyArrayObject *array)
{
    return extent(PyArray_BYTES(array), PyArray_NDIM(array), PyArray_DIMS(array),
                  PyArray_STRIDES(array), PyArray_ITEMSIZE(array));
}

// A buffer without shape or strides is len contiguous bytes.
Span buffer_extent(const Py_buffer &view)
{
    if (view.shape == nullptr || view.strides == nullptr) {
        const std::uintptr_t lo = reinterpret_cast<std::uintptr_t>(view.buf);
        return {lo, lo + static_cast<std::uintptr_t>(view.len)};
    }
    return extent(view.buf, view.ndim, view.shape, view.strides, view.itemsize);
}

bool within(Span inner, Span outer) { return outer.lo <= inner.lo && inner.hi <= outer.hi; }

bool lost(const char *what)
{
    PyErr_Format(PyExc_ValueError, messages::kMemoryLost, what);
    return false;
}

// NumPy collapses chains of views to the owner, so a longer chain is made on purpose.
constexpr int kMaxChain = 16;

// What one link of a chain of bases says about a span.
enum class Link { kHeld, kLost, kNext };

// An array that owns its data decides; a view passes on to its base, and a
// view without one has no owner to ask.
Link array_link(PyArrayObject *array, Span span, PyObject **holder)
{
    if (PyArray_CHKFLAGS(array, NPY_ARRAY_OWNDATA)) {
        return within(span, array_extent(array)) ? Link::kHeld : Link::kLost;
    }
    *holder = PyArray_BASE(array);
    return *holder == nullptr ? Link::kHeld : Link::kNext;
}

// A buffer exporter, asked for a fresh buffer that `pin` then keeps: a
// memoryview passes on to what it views, any other exporter decides.
Link exporter_link(BufferView &pin, Span span, PyObject **holder)
{
    // Strides where the exporter gives them, else its bytes as one run;
    // neither from a released memoryview or a closed mmap.
    if (!pin.acquire(*holder, PyBUF_FULL_RO)) {
        PyErr_Clear();
        if (!pin.acquire(*holder, PyBUF_SIMPLE)) {
            PyErr_Clear();
            return Link::kLost;
        }
    }
    if (PyMemoryView_Check(*holder) && PyMemoryView_GET_BASE(*holder) != nullptr) {
        *holder = PyMemoryView_GET_BASE(*holder);
        return Link::kNext;
    }
    const Py_buffer &view = pin.view();
    return view.suboffsets != nullptr || within(span, buffer_extent(view)) ? Link::kHeld
                                                                           : Link::kLost;
}

}  // namespace

bool HeldMemory::vouch(PyObject *obj, const char *lo, const char *hi, const char *what)
{
    for (BufferView &pin : pins_) {
        pin.release();
    }
    const Span span{reinterpret_cast<std::uintptr_t>(lo), reinterpret_cast<std::uintptr_t>(hi)};
    if (span.lo == span.hi) {
        return true;
    }
    int pinned = 0;
    PyObject *holder = obj;
    // A chain longer than kMaxChain, or with more exporters than pins, is not
    // followed to its end and so not vouched for.
    for (int link = 0; link < kMaxChain; ++link) {
        Link verdict;
        if (PyArray_Check(holder)) {
            verdict = array_link(reinterpret_cast<PyArrayObject *>(holder), span, &holder);
        } else if (!PyObject_CheckBuffer(holder)) {
            verdict = Link::kHeld;
        } else if (pinned < kMaxPins) {
            verdict = exporter_link(pins_[pinned++], span, &holder);
        } else {
            verdict = Link::kLost;
        }
        if (verdict != Link::kNext) {
            return verdict == Link::kHeld || lost(what);
        }
    }
    return lost(what);
}

bool HeldMemory::vouch_extent(PyObject *obj, const char *data, int ndim, const Py_ssize_t *dims,
                              const Py_ssize_t *strides, Py_ssize_t itemsize, const char *what)
{
    const Span span = extent(data, ndim, dims, strides, itemsize);
    return vouch(obj, reinterpret_cast<const char *>(span.lo),
                 reinterpret_cast<const char *>(span.hi), what);
}

bool HeldMemory::vouch_array(PyArrayObject *array, const char *what)
{
    // An array that owns its data holds every byte of its own elements: the
    // chain ends where it starts, as vouch() would find, without the walk.
    // Pins of an earlier vouch, the only state vouch() would drop, must not
    // outlive it.
    if (PyArray_CHKFLAGS(array, NPY_ARRAY_OWNDATA) && !pins_[0].held()) {
        return true;
    }
    return vouch_extent(reinterpret_cast<PyObject *>(array), PyArray_BYTES(array),
                        PyArray_NDIM(array), PyArray_DIMS(array), PyArray_STRIDES(array),
                        PyArray_ITEMSIZE(array), what);
}

bool HeldMemory::vouch_exporter(PyObject *obj, const char *what)
{
    if (PyArray_Check(obj)) {
        return vouch_array(reinterpret_cast<PyArrayObject *>(obj), what);
    }
    if (!PyObject_CheckBuffer(obj)) {
        return true;
    }
    BufferView view;
    if (!view.acquire(obj, PyBUF_FULL_RO)) {
        PyErr_Clear();
        return true;
    }
    const Py_buffer &v = view.view();
    const char *data = static_cast<const char *>(v.buf);
    if (v.shape == nullptr || v.strides == nullptr) {
        return vouch(obj, data, data + v.len, what);
    }
    return vouch_extent(obj, data, v.ndim, v.shape, v.strides, v.itemsize, what);
}

}  // namespace quorvane::interop
