// The creation of a test extension module: a name and its methods, no
// docstring, created once by PyModule_Create with its state in globals, and
// given one constant. The includer sets NumPy's API macros and includes
// numpy/arrayobject.h first.
#pragma once

#define PY_SSIZE_T_CLEAN
#include <Python.h>
#include <numpy/arrayobject.h>

// The definition of a test module with these methods; it must outlive the
// module, so each caller keeps it in a static.
inline PyModuleDef test_module_def(const char *name, PyMethodDef *methods)
{
    return {PyModuleDef_HEAD_INIT, name, nullptr, -1, methods, nullptr, nullptr, nullptr, nullptr};
}

// Binds NumPy's C API, which the module's methods use, then creates the module.
// add_constant(module) returns what PyModule_Add* returns: < 0 with the error
// set, and then the half-made module is dropped.
template <typename AddConstant>
PyObject *create_test_module(PyModuleDef &def, AddConstant add_constant)
{
    import_array();
    PyObject *m = PyModule_Create(&def);
    if (m && add_constant(m) < 0)
        Py_CLEAR(m);
    return m;
}
