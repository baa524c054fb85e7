// quorvane.mathtools.vectools.vectools: three-vector routines for compiled
// callers, published as capsules in __pyx_capi__ (see vectools.h). They are
// stateless and need no interpreter lock.
#include <cmath>

#include "common/pyref.hpp"
#include "common/module_def.hpp"
#include "common/vectools_doc.hpp"

#include "quorvane/mathtools/vectools/vectools.h"

namespace {

void scale(double const s, double *a, double *out)
{
    for (int i = 0; i < 3; ++i) {
        out[i] = s * a[i];
    }
}

void add(double *a, double *b, double *out)
{
    for (int i = 0; i < 3; ++i) {
        out[i] = a[i] + b[i];
    }
}

void sub(double *a, double *b, double *out)
{
    for (int i = 0; i < 3; ++i) {
        out[i] = a[i] - b[i];
    }
}

double dot(double *a, double *b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }

double norm(double *a) { return std::sqrt(a[0] * a[0] + a[1] * a[1] + a[2] * a[2]); }

struct Export {
    const char *name;
    const char *signature;
    void *address;
};

int add_capi(PyObject *module)
{
    const Export exports[] = {
        {"scale", VECTOOLS_SCALE_SIGNATURE, reinterpret_cast<void *>(&scale)},
        {"add", VECTOOLS_ADD_SIGNATURE, reinterpret_cast<void *>(&add)},
        {"sub", VECTOOLS_SUB_SIGNATURE, reinterpret_cast<void *>(&sub)},
        {"dot", VECTOOLS_DOT_SIGNATURE, reinterpret_cast<void *>(&dot)},
        {"norm", VECTOOLS_NORM_SIGNATURE, reinterpret_cast<void *>(&norm)},
    };
    quorvane::PyRef capi = quorvane::PyRef::steal(PyDict_New());
    if (!capi) {
        return -1;
    }
    for (const Export &e : exports) {
        quorvane::PyRef capsule =
            quorvane::PyRef::steal(PyCapsule_New(e.address, e.signature, nullptr));
        if (!capsule || PyDict_SetItemString(capi.get(), e.name, capsule.get()) < 0) {
            return -1;
        }
    }
    return PyModule_AddObjectRef(module, "__pyx_capi__", capi.get());
}

PyModuleDef_Slot slots[] = {
    {Py_mod_exec, reinterpret_cast<void *>(&add_capi)},
    {0, nullptr},
};

PyModuleDef module_def = quorvane::module_definition("vectools", kVectoolsDoc, slots);

}  // namespace

PyMODINIT_FUNC PyInit_vectools(void) { return PyModuleDef_Init(&module_def); }
