// Process-wide state of the binding, written once while the module starts and
// read-only afterwards.
#pragma once

#define PY_SSIZE_T_CLEAN
#include <Python.h>

namespace quorvane::interop {

// The names the module interns at start-up: each member of InternedNames
// and the text it holds.
#define QUORVANE_INTERNED_NAMES(X)        \
    X(numpy, "numpy")                     \
    X(Real, "Real")                       \
    X(zeros, "zeros")                     \
    X(zeros_like, "zeros_like")           \
    X(asarray, "asarray")                 \
    X(double_, "double")                  \
    X(shape, "shape")                     \
    X(ndim, "ndim")                       \
    X(SurfCoord_dtype, "SurfCoord_dtype") \
    X(LLA_dtype, "LLA_dtype")             \
    X(ENU_dtype, "ENU_dtype")             \
    X(AER_dtype, "AER_dtype")             \
    X(instancecheck, "__instancecheck__")

struct InternedNames {
#define QUORVANE_MEMBER(member, text) PyObject *member;
    QUORVANE_INTERNED_NAMES(QUORVANE_MEMBER)
#undef QUORVANE_MEMBER
};

struct ModuleState {
    PyObject *module_dict;    // the module's globals, where the methods look names up
    PyObject *builtins_dict;  // searched after the globals
    InternedNames names;
    PyObject *tuple_1;              // (1,)
    PyObject *tuple_3;              // (3,)
    PyObject *int_1;                // 1
    PyObject *int_2;                // 2
    PyObject *int_3;                // 3
    PyObject *kwnames_shape_dtype;  // ("shape", "dtype")
    PyObject *kwnames_dtype;        // ("dtype",)
    // The functions numpy offered at start-up. A call whose module-level
    // lookups still find them may do their work directly.
    PyObject *numpy_module;
    PyObject *numpy_zeros;
    PyObject *numpy_zeros_like;
    PyObject *numpy_asarray;
    PyObject *float64_descr;  // numpy's canonical float64 dtype
    // numbers.Real and the __instancecheck__ its metaclass had at start-up.
    PyObject *numbers_real;
    PyObject *real_instancecheck;
};

extern ModuleState state;

}  // namespace quorvane::interop
