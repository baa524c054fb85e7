// Binding of call arguments to required parameters, by position or keyword,
// with the interpreter's usual TypeError wording.
#pragma once

#define PY_SSIZE_T_CLEAN
#include <Python.h>

namespace quorvane::interop {

// Binds a vectorcall argument vector (positional args, then the values of
// kwnames) to the n parameters `names`, all required. out[i] receives a
// borrowed reference. Returns false with TypeError set.
bool bind_arguments(const char *func_name, const char *const *names, Py_ssize_t n,
                    PyObject *const *args, Py_ssize_t nargs, PyObject *kwnames, PyObject **out);

// The same for a call given as an argument tuple and a keyword dict (or NULL).
bool bind_arguments(const char *func_name, const char *const *names, Py_ssize_t n, PyObject *args,
                    PyObject *kwargs, PyObject **out);

}  // namespace quorvane::interop
