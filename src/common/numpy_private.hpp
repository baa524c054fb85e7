// Every NumPy interface outside what the module's target C-API version
// (1.20, NPY_TARGET_VERSION) declares, each behind one accessor that checks
// the running NumPy first.
//
// Data memory handlers (NEP 49) arrived with C-API feature version 1.22 (0xf):
// the handler current in the calling context, the handler an array frees its
// data with (PyArrayObject_fields.mem_handler, right after _buffer_info), and
// the tracemalloc domain NumPy reports array data to. Checked against NumPy 2.4.
//
// Include after the target's NumPy set-up (numpy_api.hpp), which fixes the
// C-API table this file indexes.
#pragma once

#ifndef NPY_FEATURE_VERSION
#error "numpy_private.hpp needs NumPy's headers included first, through numpy_api.hpp"
#endif

#include <cstddef>

namespace quorvane::numpy_private {

// numpy.lib.tracemalloc_domain: array data is traced under this domain, so
// that tracemalloc counts it apart from the interpreter's own memory.
constexpr unsigned int kTraceDomain = 389047;

// Whether the running NumPy allocates array data through memory handlers.
inline bool has_memory_handlers() { return PyArray_RUNTIME_VERSION >= NPY_1_22_API_VERSION; }

// PyDataMem_GetHandler(): a new reference to the capsule (named "mem_handler")
// of the handler that numpy.zeros would use here and now, a context
// variable. Only when has_memory_handlers().
inline PyObject *current_memory_handler()
{
#if NPY_FEATURE_VERSION >= NPY_1_22_API_VERSION
    return PyDataMem_GetHandler();
#else
    // Entry 305 of the C-API table, numbered for good since NumPy 1.22.
    return reinterpret_cast<PyObject *(*)()>(PyArray_API[305])();
#endif
}

// Hands `handler` (a reference, stolen) to `array` as the handler its data
// is freed with: an array that owns data it did not allocate itself frees it
// through this field, and would fall back to free() without it. Only when
// has_memory_handlers().
inline void set_memory_handler(PyArrayObject *array, PyObject *handler)
{
#if NPY_FEATURE_VERSION >= NPY_1_22_API_VERSION
    constexpr std::size_t offset = offsetof(PyArrayObject_fields, mem_handler);
#else
    static_assert(sizeof(PyArrayObject_fields) ==
                      offsetof(PyArrayObject_fields, _buffer_info) + sizeof(void *),
                  "the 1.20 record ends at _buffer_info; mem_handler follows it");
    constexpr std::size_t offset = sizeof(PyArrayObject_fields);
#endif
    PyObject **slot = reinterpret_cast<PyObject **>(reinterpret_cast<char *>(array) + offset);
    PyObject *old = *slot;
    *slot = handler;
    Py_XDECREF(old);
}

}  // namespace quorvane::numpy_private
