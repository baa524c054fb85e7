// Module start-up: binds NumPy's array and ufunc C APIs, chooses the numeric
// core's kernel set, and creates one ufunc per exposed conversion of the
// registry and the named ellipsoids.
#define PY_SSIZE_T_CLEAN
#include <Python.h>

#include <numpy/arrayobject.h>
#include <numpy/ufuncobject.h>

#include <algorithm>
#include <string>

#include "core/kernels/kernel_set.hpp"
#include "common/pyref.hpp"
#include "common/module_def.hpp"
#include "ufuncs/descriptions.hpp"
#include "ufuncs/loop.hpp"

namespace quorvane::ufuncs {

namespace {

constexpr const char kModuleName[] = "quorvane.mathtools.ellipsoid.ufuncs";
constexpr int kCount = kUfuncCount;

// NumPy keeps these arrays by address for the life of each ufunc, with the
// description as the loops' data. Two loops per ufunc: float32 points (Re and f float64) first, so
// that float32 arrays pick it, then float64.
constexpr int kLoops = 2;
constexpr int kMaxArgs = kMaxIn + 2 + kMaxOutColumns;
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

// "(),()->(3)" for a conversion whose outputs have a core dimension, with one
// "()" per input (Re and f included); empty for an elementwise one.
std::string core_signature(const UfuncDescription &d)
{
    if (d.out_width == 1) {
        return {};
    }
    std::string signature;
    for (int a = 0; a < d.ufunc_nin(); ++a) {
        signature += a == 0 ? "()" : ",()";
    }
    signature += "->";
    for (int a = 0; a < d.nout; ++a) {
        signature += a == 0 ? "(3)" : ",(3)";
    }
    return signature;
}

PyRef make_ufunc(int k)
{
    const UfuncDescription &d = kUfuncs[k];
    loops[k][0] = float32_loop;
    loops[k][1] = strided_loop;
    const int nargs = d.nargs();
    for (int a = 0; a < nargs; ++a) {
        const bool ellipsoid = a >= d.nin && a < d.ufunc_nin();
        types[k][a] = ellipsoid ? NPY_DOUBLE : NPY_FLOAT;
        types[k][nargs + a] = NPY_DOUBLE;
    }
    for (int l = 0; l < kLoops; ++l) {
        loop_data[k][l] = const_cast<UfuncDescription *>(&d);
    }
    const std::string signature = core_signature(d);
    if (!signature.empty()) {
        // NumPy parses the signature into the ufunc and keeps no pointer to it.
        return PyRef::steal(PyUFunc_FromFuncAndDataAndSignature(
            loops[k], loop_data[k], types[k], kLoops, d.ufunc_nin(), d.nout, PyUFunc_None, d.name,
            d.doc, 0, signature.c_str()));
    }
    return PyRef::steal(PyUFunc_FromFuncAndData(loops[k], loop_data[k], types[k], kLoops,
                                                d.ufunc_nin(), d.nout, PyUFunc_None, d.name, d.doc,
                                                0));
}

// ((name, unit), ...) of the tokens of one side of a columns string.
PyRef column_tuple(const std::string &side)
{
    PyRef columns = PyRef::steal(PyList_New(0));
    if (!columns) {
        return {};
    }
    std::size_t start = 0;
    while (start < side.size()) {
        std::size_t end = side.find(' ', start);
        if (end == std::string::npos) {
            end = side.size();
        }
        if (end > start) {
            // "east[3]:1" names the column "east"; the core dimension is
            // the ufunc's signature.
            const std::string token = side.substr(start, end - start);
            const std::size_t colon = token.find(':');
            const std::size_t name_end = std::min(colon, token.find('['));
            PyRef pair =
                PyRef::steal(Py_BuildValue("(s#s)", token.data(), static_cast<Py_ssize_t>(name_end),
                                           token.c_str() + colon + 1));
            if (!pair || PyList_Append(columns.get(), pair.get()) < 0) {
                return {};
            }
        }
        start = end + 1;
    }
    return PyRef::steal(PyList_AsTuple(columns.get()));
}

// columns: name -> (inputs, outputs), each ((column, unit), ...), as the
// registry states them; table_slots: name -> slot of the Ellipsoid method
// table, for every kernel that is one of its routines.
int add_registry(PyObject *module)
{
    PyRef columns = PyRef::steal(PyDict_New());
    PyRef slots = PyRef::steal(PyDict_New());
    if (!columns || !slots) {
        return -1;
    }
    for (const registry::Conversion &c : registry::kConversions) {
        const std::string text = c.columns;
        const std::size_t arrow = text.find(" -> ");
        PyRef inputs = column_tuple(text.substr(0, arrow));
        PyRef outputs = column_tuple(text.substr(arrow + 4));
        PyRef sides = inputs && outputs ? PyRef::steal(PyTuple_Pack(2, inputs.get(), outputs.get()))
                                        : PyRef();
        if (!sides || PyDict_SetItemString(columns.get(), c.name, sides.get()) < 0) {
            return -1;
        }
    }
    // Every routine of the table, the two without a ufunc among them.
    struct Slot {
        const char *name;
        int slot;
    };
    static constexpr Slot kSlots[] = {
#define QUORVANE_SLOT(name, slot, columns, ...) {#name, slot},
        QUORVANE_KERNELS(QUORVANE_SLOT)
#undef QUORVANE_SLOT
    };
    for (const Slot &entry : kSlots) {
        if (entry.slot == 0) {
            continue;
        }
        PyRef slot = PyRef::steal(PyLong_FromLong(entry.slot));
        if (!slot || PyDict_SetItemString(slots.get(), entry.name, slot.get()) < 0) {
            return -1;
        }
    }
    return PyModule_AddObjectRef(module, "columns", columns.get()) < 0 ||
                   PyModule_AddObjectRef(module, "table_slots", slots.get()) < 0
               ? -1
               : 0;
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

PyModuleDef module_def = module_definition(
    kModuleName,
    "NumPy ufuncs of the Ellipsoid conversions, with the ellipsoid as two trailing\n"
    "inputs Re (equatorial radius, metres) and f (flattening), and positions as\n"
    "separate x, y, z components. Angles are radians, lengths metres.\n"
    "\n"
    "They broadcast, take out= and (but for the generalized ufunc enu) where=,\n"
    "work on N-dimensional and non-contiguous arrays, compute float32 points in\n"
    "float64 and round the results back to float32, release the GIL, and give\n"
    "the same bits as the Ellipsoid methods. WGS84 and GRS80 are (Re, f) pairs: lla_from_pos(x, y, "
    "z,\n"
    "*WGS84).");

PyObject *start()
{
    if (_import_array() < 0 || _import_umath() < 0) {
        return nullptr;
    }
    PyRef module = PyRef::steal(PyModule_Create(&module_def));
    if (!module || add_ufuncs(module.get()) < 0 || add_registry(module.get()) < 0 ||
        add_ellipsoid(module.get(), "WGS84", 6378137.0, 298.257223563) < 0 ||
        add_ellipsoid(module.get(), "GRS80", 6378137.0, 298.257222101) < 0 ||
        PyModule_AddStringConstant(module.get(), "kernel_set", kernels::active_set().name) < 0) {
        return nullptr;
    }
    return module.release();
}

}  // namespace

}  // namespace quorvane::ufuncs

PyMODINIT_FUNC PyInit_ufuncs(void) { return quorvane::ufuncs::start(); }
