// The definition of a test extension module: a name and its methods, no
// docstring, created once by PyModule_Create with its state in globals.
#pragma once

#define PY_SSIZE_T_CLEAN
#include <Python.h>

inline PyModuleDef test_module_definition(const char *name, PyMethodDef *methods)
{
    return {PyModuleDef_HEAD_INIT, name, nullptr, -1, methods, nullptr, nullptr, nullptr, nullptr};
}
