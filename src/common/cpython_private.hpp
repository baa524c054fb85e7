// Every CPython interface outside the stable, documented C API that the
// project uses, each behind one accessor. Supporting a new interpreter means
// checking this file against its headers: the static_assert below stops the
// build on any version that has not been checked.
//
// Checked against 3.11, 3.12 and 3.13. 3.12 deprecated Py_OptimizeFlag and
// PyDictObject.ma_version_tag; both still hold what they held in 3.11 (the
// flag mirrors the configuration, the tag changes with every change of the
// dict and is never reused), and the deprecation warning is silenced here
// alone. 3.14 removes ma_version_tag: a port replaces dict_version() by dict
// watchers (PyDict_AddWatcher, public since 3.12).
#pragma once

#define PY_SSIZE_T_CLEAN
#include <Python.h>

#include <cstddef>
#include <cstdint>

static_assert(PY_VERSION_HEX >= 0x030B0000 && PY_VERSION_HEX < 0x030E0000,
              "cpython_private.hpp has been checked against CPython 3.11 to 3.13 only");

// CPython 3.11's tracemalloc.h declares PyTraceMalloc_Track and _Untrack
// without C linkage, so a C++ caller would look for mangled names that the
// interpreter does not export. These bind the exported C symbols by name,
// whatever the header's linkage.
extern "C" int quorvane_trace_track(unsigned int domain, std::uintptr_t ptr,
                                    std::size_t size) __asm__("PyTraceMalloc_Track");
extern "C" int quorvane_trace_untrack(unsigned int domain,
                                      std::uintptr_t ptr) __asm__("PyTraceMalloc_Untrack");

namespace quorvane::cpython {

// PyTraceMalloc_Track: records a block of `size` bytes at `ptr` under
// `domain`; -2 when tracemalloc is not tracing.
inline int trace_track(unsigned int domain, std::uintptr_t ptr, std::size_t size)
{
    return quorvane_trace_track(domain, ptr, size);
}

// PyTraceMalloc_Untrack.
inline int trace_untrack(unsigned int domain, std::uintptr_t ptr)
{
    return quorvane_trace_untrack(domain, ptr);
}

// The thread state of the calling thread if it holds the interpreter lock of
// the running thread state, else null; never waits for the lock and reads no
// state that needs it.
inline PyThreadState *current_thread_state_unchecked()
{
#if PY_VERSION_HEX >= 0x030D0000
    return PyThreadState_GetUnchecked();
#else
    return _PyThreadState_UncheckedGet();
#endif
}

// What `name` resolves to along the MRO of `type`, without calling
// descriptors, as the interpreter's own special-method lookup sees it.
// Borrowed; null when absent (no exception set).
inline PyObject *type_lookup(PyTypeObject *type, PyObject *name)
{
    return _PyType_Lookup(type, name);
}

// A tag that changes whenever `type` or one of its bases changes and is never
// reused; 0 while the type has none assigned.
inline unsigned int type_version(PyTypeObject *type) { return type->tp_version_tag; }

#if defined(__GNUC__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
#endif

// A tag that changes with every change of the dict and is never reused.
inline std::uint64_t dict_version(PyObject *dict)
{
    return reinterpret_cast<PyDictObject *>(dict)->ma_version_tag;
}

// True unless the interpreter runs with assertions disabled (-O).
inline bool assertions_enabled() { return Py_OptimizeFlag == 0; }

#if defined(__GNUC__)
#pragma GCC diagnostic pop
#endif

// True when some weak reference to `obj` exists. The weak-reference list of
// a type that has one (tp_weaklistoffset > 0: a static type's own slot, as
// ndarray's) is a plain pointer at that offset, null when empty.
inline bool has_weak_references(PyObject *obj)
{
    const Py_ssize_t offset = Py_TYPE(obj)->tp_weaklistoffset;
    if (offset <= 0) {
        return false;
    }
    return *reinterpret_cast<PyObject **>(reinterpret_cast<char *>(obj) + offset) != nullptr;
}

}  // namespace quorvane::cpython
