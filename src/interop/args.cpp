#include "interop/args.hpp"

#include "interop/messages.hpp"

namespace quorvane::interop {

namespace {

bool raise_count(const char *func_name, Py_ssize_t expected, Py_ssize_t given)
{
    PyErr_Format(PyExc_TypeError, messages::kTakesPositional, func_name, messages::kExactly,
                 expected, expected == 1 ? "" : "s", given);
    return false;
}

// Places one keyword argument into its parameter slot.
bool bind_keyword(const char *func_name, const char *const *names, Py_ssize_t n, PyObject *key,
                  PyObject *value, PyObject **out)
{
    if (!PyUnicode_Check(key)) {
        PyErr_Format(PyExc_TypeError, messages::kKeywordsMustBeStrings, func_name);
        return false;
    }
    for (Py_ssize_t i = 0; i < n; ++i) {
        if (PyUnicode_CompareWithASCIIString(key, names[i]) == 0) {
            if (out[i] != nullptr) {
                PyErr_Format(PyExc_TypeError, messages::kMultipleValues, func_name, key);
                return false;
            }
            out[i] = value;
            return true;
        }
    }
    PyErr_Format(PyExc_TypeError, messages::kUnexpectedKeyword, func_name, key);
    return false;
}

bool bind_positional(const char *func_name, Py_ssize_t n, PyObject *const *args, Py_ssize_t nargs,
                     PyObject **out)
{
    if (nargs > n) {
        return raise_count(func_name, n, nargs);
    }
    for (Py_ssize_t i = 0; i < n; ++i) {
        out[i] = i < nargs ? args[i] : nullptr;
    }
    return true;
}

bool check_complete(const char *func_name, Py_ssize_t n, PyObject **out)
{
    for (Py_ssize_t i = 0; i < n; ++i) {
        if (out[i] == nullptr) {
            return raise_count(func_name, n, i);
        }
    }
    return true;
}

}  // namespace

bool bind_arguments(const char *func_name, const char *const *names, Py_ssize_t n,
                    PyObject *const *args, Py_ssize_t nargs, PyObject *kwnames, PyObject **out)
{
    if (!bind_positional(func_name, n, args, nargs, out)) {
        return false;
    }
    const Py_ssize_t nkw = kwnames ? PyTuple_GET_SIZE(kwnames) : 0;
    for (Py_ssize_t k = 0; k < nkw; ++k) {
        if (!bind_keyword(func_name, names, n, PyTuple_GET_ITEM(kwnames, k), args[nargs + k],
                          out)) {
            return false;
        }
    }
    return check_complete(func_name, n, out);
}

bool bind_arguments(const char *func_name, const char *const *names, Py_ssize_t n, PyObject *args,
                    PyObject *kwargs, PyObject **out)
{
    if (!bind_positional(func_name, n, &PyTuple_GET_ITEM(args, 0), PyTuple_GET_SIZE(args), out)) {
        return false;
    }
    if (kwargs != nullptr) {
        Py_ssize_t pos = 0;
        PyObject *key;
        PyObject *value;
        while (PyDict_Next(kwargs, &pos, &key, &value)) {
            if (!bind_keyword(func_name, names, n, key, value, out)) {
                return false;
            }
        }
    }
    return check_complete(func_name, n, out);
}

}  // namespace quorvane::interop
