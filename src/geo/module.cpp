// Start-up of quorvane.geo._point: binds NumPy's ufunc C API (for the ufunc
// type and its loop table) and publishes the Conversion type.
#define PY_SSIZE_T_CLEAN
#include <Python.h>

#define PY_ARRAY_UNIQUE_SYMBOL quorvane_geo_ARRAY_API
#define PY_UFUNC_UNIQUE_SYMBOL quorvane_geo_UFUNC_API
#include <numpy/arrayobject.h>
#include <numpy/ufuncobject.h>

#include "geo/conversion.hpp"
#include "common/module_def.hpp"

namespace quorvane::geo {

namespace {

PyModuleDef module_def =
    module_definition("quorvane.geo._point",
                      "The one-point path of quorvane.geo: each public function there calls a\n"
                      "Conversion, which computes Python numbers through the ufunc's float64 loop\n"
                      "and hands anything else to the array path.");

PyObject *start()
{
    if (_import_array() < 0 || _import_umath() < 0 || !ready_conversion_type()) {
        return nullptr;
    }
    PyRef module = PyRef::steal(PyModule_Create(&module_def));
    if (!module || PyModule_AddObjectRef(module.get(), "Conversion",
                                         reinterpret_cast<PyObject *>(conversion_type())) < 0) {
        return nullptr;
    }
    return module.release();
}

}  // namespace

}  // namespace quorvane::geo

PyMODINIT_FUNC PyInit__point(void) { return quorvane::geo::start(); }
