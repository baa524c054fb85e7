// Test-only extension module: a NumPy data memory handler that counts its
// calls and the bytes it was asked for and given back, delegating to the C
// library. install() makes it the current handler of the calling context and
// returns the one it replaced; restore(old) puts that back.
#define PY_SSIZE_T_CLEAN
#include <Python.h>
#define NPY_NO_DEPRECATED_API NPY_1_7_API_VERSION
#define NPY_TARGET_VERSION NPY_1_22_API_VERSION
#include <numpy/arrayobject.h>

#include <atomic>
#include <cstdlib>

#include "module_def.hpp"

namespace {

std::atomic<long long> g_mallocs{0}, g_callocs{0}, g_frees{0}, g_reallocs{0};
std::atomic<long long> g_bytes_in{0}, g_bytes_out{0};

void *counting_malloc(void *, size_t size)
{
    ++g_mallocs, g_bytes_in += static_cast<long long>(size);
    return std::malloc(size);
}

void *counting_calloc(void *, size_t nelem, size_t elsize)
{
    ++g_callocs, g_bytes_in += static_cast<long long>(nelem * elsize);
    return std::calloc(nelem, elsize);
}

void *counting_realloc(void *, void *ptr, size_t size)
{
    ++g_reallocs;
    return std::realloc(ptr, size);
}

void counting_free(void *, void *ptr, size_t size)
{
    ++g_frees, g_bytes_out += static_cast<long long>(size);
    std::free(ptr);
}

PyDataMem_Handler g_handler = {
    "quorvane_counting_handler",
    1,
    {nullptr, counting_malloc, counting_calloc, counting_realloc, counting_free}};

PyObject *install(PyObject *, PyObject *)
{
    PyObject *capsule = PyCapsule_New(&g_handler, "mem_handler", nullptr);
    if (!capsule)
        return nullptr;
    PyObject *old = PyDataMem_SetHandler(capsule);
    Py_DECREF(capsule);
    return old;
}

PyObject *restore(PyObject *, PyObject *old)
{
    PyObject *replaced = PyDataMem_SetHandler(old);
    if (!replaced)
        return nullptr;
    Py_DECREF(replaced);
    Py_RETURN_NONE;
}

// counts() -> {name: count}
PyObject *counts(PyObject *, PyObject *)
{
    return Py_BuildValue("{s:L,s:L,s:L,s:L,s:L,s:L}", "malloc", g_mallocs.load(), "calloc",
                         g_callocs.load(), "realloc", g_reallocs.load(), "free", g_frees.load(),
                         "bytes_in", g_bytes_in.load(), "bytes_out", g_bytes_out.load());
}

PyMethodDef methods[] = {{"install", install, METH_NOARGS, "install() -> the handler replaced"},
                         {"restore", restore, METH_O, "restore(handler)"},
                         {"counts", counts, METH_NOARGS, "counts() -> calls and bytes so far"},
                         {nullptr, nullptr, 0, nullptr}};

}  // namespace

PyMODINIT_FUNC PyInit_quorvane_memory_handler(void)
{
    static PyModuleDef def = test_module_def("quorvane_memory_handler", methods);
    return create_test_module(
        def, [](PyObject *m) { return PyModule_AddStringConstant(m, "NAME", g_handler.name); });
}
