#include "interop/fresh_array.hpp"

#include <cstdint>

#include "common/cpython_private.hpp"
#include "common/numpy_private.hpp"

namespace quorvane::interop {

namespace {

// Dtypes whose zero is all-zero bytes and for which numpy.zeros does no more
// than take a zeroed block: built-in ones without object references (zeros
// fills those with the integer 0) and without a sub-array shape (which zeros
// turns into more dimensions).
bool zero_is_zero_bytes(PyArray_Descr *descr)
{
    return PyDataType_ISLEGACY(descr) && !PyDataType_HASSUBARRAY(descr) &&
           !PyDataType_REFCHK(descr) && !PyDataType_FLAGCHK(descr, NPY_NEEDS_INIT) &&
           PyDataType_ELSIZE(descr) > 0;
}

PyRef zeros_by_numpy(int ndim, const npy_intp *dims, PyArray_Descr *descr)
{
    Py_INCREF(descr);  // stolen
    return PyRef::steal(PyArray_Zeros(ndim, const_cast<npy_intp *>(dims), descr, 0));
}

}  // namespace

PyRef fresh_zeros(int ndim, const npy_intp *dims, PyArray_Descr *descr, DeferredZeros *deferred)
{
    npy_intp nbytes = PyDataType_ELSIZE(descr);
    bool direct = numpy_private::has_memory_handlers() && zero_is_zero_bytes(descr);
    for (int k = 0; direct && k < ndim; ++k) {
        direct = !__builtin_mul_overflow(nbytes, dims[k], &nbytes);
    }
    // Empty arrays (NumPy gives them one byte and zero strides) and sizes
    // that overflow are left to NumPy, as are NumPy versions without handlers.
    if (!direct || nbytes == 0) {
        return zeros_by_numpy(ndim, dims, descr);
    }
    PyRef handler = PyRef::steal(numpy_private::current_memory_handler());
    if (!handler) {
        return handler;
    }
    auto *h = static_cast<PyDataMem_Handler *>(PyCapsule_GetPointer(handler.get(), "mem_handler"));
    if (h == nullptr) {
        return PyRef();
    }
    const npy_intp row_bytes = PyDataType_ELSIZE(descr) * (ndim == 2 ? dims[1] : 1);
    const bool defer = deferred != nullptr && row_bytes == deferred->row_bytes();
    PyDataMemAllocator &a = h->allocator;
    void *data = defer ? a.malloc(a.ctx, static_cast<size_t>(nbytes))
                       : a.calloc(a.ctx, static_cast<size_t>(nbytes), 1);
    if (data == nullptr) {
        // NumPy reports what it cannot allocate in its own words.
        return zeros_by_numpy(ndim, dims, descr);
    }
    // As NumPy records its own allocations; -2 (not tracing) is no failure.
    cpython::trace_track(numpy_private::kTraceDomain, reinterpret_cast<std::uintptr_t>(data),
                         static_cast<size_t>(nbytes));
    Py_INCREF(descr);  // stolen
    PyObject *array = PyArray_NewFromDescr(&PyArray_Type, descr, ndim, const_cast<npy_intp *>(dims),
                                           nullptr, data, NPY_ARRAY_CARRAY, nullptr);
    if (array == nullptr) {
        cpython::trace_untrack(numpy_private::kTraceDomain, reinterpret_cast<std::uintptr_t>(data));
        a.free(a.ctx, data, static_cast<size_t>(nbytes));
        return PyRef();
    }
    PyArrayObject *fresh = reinterpret_cast<PyArrayObject *>(array);
    PyArray_ENABLEFLAGS(fresh, NPY_ARRAY_OWNDATA);
    numpy_private::set_memory_handler(fresh, handler.release());
    if (defer) {
        deferred->defer(static_cast<char *>(data), nbytes);
    }
    return PyRef::steal(array);
}

}  // namespace quorvane::interop
