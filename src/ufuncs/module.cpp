// Module start-up: binds NumPy's array and ufunc C APIs, chooses the numeric
// core's kernel set, and creates the ten ufuncs and the named ellipsoids.
#define PY_SSIZE_T_CLEAN
#include <Python.h>

#include <numpy/arrayobject.h>
#include <numpy/ufuncobject.h>

#include "descriptions.hpp"
#include "loop.hpp"
#include "pyref.hpp"
#include "kernels/batch.hpp"

namespace quorvane::ufuncs {

namespace {

constexpr const char kModuleName[] = "quorvane.mathtools.ellipsoid.ufuncs";
constexpr int kCount = sizeof kUfuncs / sizeof kUfuncs[0];

// NumPy keeps these arrays by address for the life of each ufunc: one float64
// loop per ufunc, its description as the loop's data.
// Two loops per ufunc: float32 points (Re and f float64) first, so that
// float32 arrays pick it, then float64.
constexpr int kLoops = 2;
constexpr int kMaxArgs = kMaxIn + 2 + 3;
PyUFuncGenericFunction loops[kCount][kLoops];
void *loop_data[kCount][kLoops];
char types[kCount][kLoops * kMaxArgs];

// NumPy pickles a ufunc as its __name__ looked up in its __module__, which is
// 'numpy' unless set. A ufunc without an instance dict (NumPy before 2.1)
// cannot take it, and pickle then searches the imported modules by name.
int name_module(PyObject *ufunc, PyObject *module_name, const char *name)
{
    PyRef qualname = PyRef::steal(PyUnicode_FromString(name));
    if (!qualname) {
        return -1;
    }
    if (PyObject_SetAttrString(ufunc, "__module__", module_name) < 0 ||
        PyObject_SetAttrString(ufunc, "__qualname__", qualname.get()) < 0) {
        if (!PyErr_ExceptionMatches(PyExc_AttributeError)) {
            return -1;
        }
        PyErr_Clear();
    }
    return 0;
}

PyRef make_ufunc(int k)
{
    const UfuncDescription &d = kUfuncs[k];
    loops[k][0] = float32_loop;
    loops[k][1] = strided_loop;
    const int nargs = d.nargs();
    for (int a = 0; a < nargs; ++a) {
        const bool ellipsoid = a == d.nin || a == d.nin + 1;
        types[k][a] = ellipsoid ? NPY_DOUBLE : NPY_FLOAT;
        types[k][nargs + a] = NPY_DOUBLE;
    }
    for (int l = 0; l < kLoops; ++l) {
        loop_data[k][l] = const_cast<UfuncDescription *>(&d);
    }
    if (d.signature != nullptr) {
        return PyRef::steal(PyUFunc_FromFuncAndDataAndSignature(
            loops[k], loop_data[k], types[k], kLoops, d.nin + 2, d.nout, PyUFunc_None, d.name,
            d.doc, 0, d.signature));
    }
    return PyRef::steal(PyUFunc_FromFuncAndData(loops[k], loop_data[k], types[k], kLoops,
                                                d.nin + 2, d.nout, PyUFunc_None, d.name, d.doc,
                                                0));
}

int add_ufuncs(PyObject *module)
{
    PyRef module_name = PyRef::steal(PyUnicode_FromString(kModuleName));
    if (!module_name) {
        return -1;
    }
    for (int k = 0; k < kCount; ++k) {
        PyRef ufunc = make_ufunc(k);
        if (!ufunc || name_module(ufunc.get(), module_name.get(), kUfuncs[k].name) < 0 ||
            PyModule_AddObjectRef(module, kUfuncs[k].name, ufunc.get()) < 0) {
            return -1;
        }
    }
    return 0;
}

int add_ellipsoid(PyObject *module, const char *name, double Re, double inverse_flattening)
{
    PyRef parameters = PyRef::steal(Py_BuildValue("(dd)", Re, 1.0 / inverse_flattening));
    return parameters ? PyModule_AddObjectRef(module, name, parameters.get()) : -1;
}

PyModuleDef module_def = {
    PyModuleDef_HEAD_INIT,
    kModuleName,
    "NumPy ufuncs of the Ellipsoid conversions, with the ellipsoid as two trailing\n"
    "inputs Re (equatorial radius, metres) and f (flattening), and positions as\n"
    "separate x, y, z components. Angles are radians, lengths metres.\n"
    "\n"
    "They broadcast, take out= and (but for the generalized ufunc enu) where=,\n"
    "work on N-dimensional and non-contiguous arrays, compute float32 points in\n"
    "float64 and round the results back to float32, release the GIL, and give\n"
    "the same bits as the Ellipsoid methods. WGS84 and GRS80 are (Re, f) pairs: lla_from_pos(x, y, z,\n"
    "*WGS84).",
    -1,
    nullptr,
    nullptr,
    nullptr,
    nullptr,
    nullptr,
};

PyObject *start()
{
    if (_import_array() < 0 || _import_umath() < 0) {
        return nullptr;
    }
    PyRef module = PyRef::steal(PyModule_Create(&module_def));
    if (!module || add_ufuncs(module.get()) < 0 ||
        add_ellipsoid(module.get(), "WGS84", 6378137.0, 298.257223563) < 0 ||
        add_ellipsoid(module.get(), "GRS80", 6378137.0, 298.257222101) < 0 ||
        PyModule_AddStringConstant(module.get(), "kernel_set", kernels::kernels().name) < 0) {
        return nullptr;
    }
    return module.release();
}

}  // namespace

}  // namespace quorvane::ufuncs

PyMODINIT_FUNC PyInit_ufuncs(void)
{
    return quorvane::ufuncs::start();
}
