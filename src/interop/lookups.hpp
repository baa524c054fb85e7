// The Python-level operations of the scalar/array convention, each exactly as
// the interpreter performs it: module-level name lookup, the scalar test, the
// float protocol, item access, equality and assertions.
#pragma once

#include <cstdint>

#include "common/cpython_private.hpp"
#include "interop/module_state.hpp"
#include "common/pyref.hpp"

namespace quorvane::interop {

// Looks `name` up in the module's globals, then the builtins; NameError if absent.
PyRef module_global(PyObject *name);

inline PyRef get_attr(PyObject *obj, PyObject *name)
{
    return PyRef::steal(PyObject_GetAttr(obj, name));
}

// obj[i] with the Python integer i.
PyRef get_item(PyObject *obj, Py_ssize_t i);

// Real as the module's globals gave it to the checks of one call's objects.
struct RealLookup {
    PyRef real;
    std::uint64_t globals_version = 0;
};

// isinstance(x, Real): 1, 0 or -1 on error. Real is looked up again unless
// `lookup` holds what an earlier check found, the module's globals are
// unchanged since, and that check ran no Python code (Python's float, int and
// bool are answered without any).
int is_scalar(PyObject *x, RealLookup &lookup);

// Python's float protocol: an exact float directly, anything else through
// __float__ (or __index__). False with the conversion's exception set.
inline bool to_double(PyObject *x, double *out)
{
    if (PyFloat_CheckExact(x)) {
        *out = PyFloat_AS_DOUBLE(x);
        return true;
    }
    const double value = PyFloat_AsDouble(x);
    if (value == -1.0 && PyErr_Occurred()) {
        return false;
    }
    *out = value;
    return true;
}

// float(obj[i]).
bool item_double(PyObject *obj, Py_ssize_t i, double *out);

// The truth of a == b: 1, 0 or -1 on error.
int equals(PyObject *a, PyObject *b);

// True while the interpreter runs with assertions enabled (not under -O).
inline bool assertions_enabled() { return cpython::assertions_enabled(); }

// An assertion on a truth value from equals(): false with AssertionError (no
// message) when it is 0, false with the pending exception when it is -1.
bool check_assertion(int truth);

// obj.shape[i] as an object.
PyRef shape_item(PyObject *obj, Py_ssize_t i);

// obj.shape[0] as a signed size, by the integer index protocol.
bool leading_extent(PyObject *obj, Py_ssize_t *n);

// The truth of obj.shape == (3,): 1, 0 or -1.
int is_vector_shape(PyObject *obj);

// The truth of obj.ndim == ndim, for ndim 1 or 2: 1, 0 or -1.
int ndim_equals(PyObject *obj, int ndim);

// The chained comparison a.attr == b.attr [== c.attr] [== final], read left to
// right, each attribute once, stopping at the first false link.
int chained_attr_equal(PyObject *attr, PyObject *const *objs, int count, PyObject *final);

}  // namespace quorvane::interop
