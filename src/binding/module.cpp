// Module start-up: binds NumPy's C API, publishes the Ellipsoid type with its
// method table, binds the vector routines, imports numpy, the record dtypes
// and numbers.Real as module attributes, and installs the ten methods. The
// first failing step aborts the import.
#define QUORVANE_NUMPY_IMPORT_UNIT
#include "interop/numpy_api.hpp"

#include <frameobject.h>

#include <cstring>

#include "common/cpython_private.hpp"
#include "binding/ellipsoid_type.hpp"
#include "interop/messages.hpp"
#include "core/kernels/kernel_set.hpp"
#include "core/kernels/published.hpp"
#include "binding/thread_split.hpp"
#include "table/routines.hpp"
#include "binding/method_function.hpp"
#include "interop/module_state.hpp"
#include "common/pyref.hpp"
#include "common/module_def.hpp"
#include "table/vector_routines.hpp"
#include "common/vectools_doc.hpp"
#include "binding/interop.hpp"

namespace quorvane::interop {

// Filled by start-up below.
ModuleState state;

}  // namespace quorvane::interop

namespace quorvane::binding {

namespace {

constexpr const char kModuleName[] = "quorvane.mathtools.ellipsoid.ellipsoid";
constexpr const char kVectoolsName[] = "quorvane.mathtools.vectools.vectools";

// The module once it has started; later imports get this same object.
PyObject *started_module = nullptr;

// Where a failed start-up stopped, for the traceback entry.
int failed_line = 0;

#define FAIL_HERE() (failed_line = __LINE__, -1)

bool intern(PyObject **slot, const char *text)
{
    Py_XSETREF(*slot, PyUnicode_InternFromString(text));
    return *slot != nullptr;
}

// NumPy's own import macro words its error after NumPy 2's module layout; the
// message here is the same whatever NumPy runs, with NumPy's error as cause.
int import_numpy_c_api()
{
    if (_import_array() >= 0) {
        return 0;
    }
    SavedError cause;
    PyErr_SetString(PyExc_ImportError, messages::kNumpyImport);
    SavedError error;
    if (cause.value() != nullptr) {
        PyException_SetCause(error.value(), Py_NewRef(cause.value()));
        PyException_SetContext(error.value(), Py_NewRef(cause.value()));
    }
    error.restore();
    return -1;
}

int publish_type(PyObject *module)
{
    table::fill_method_table();
    // A start-up that failed after this step leaves the type ready, and
    // possibly referenced; it is filled only once.
    if (!PyType_HasFeature(&EllipsoidType, Py_TPFLAGS_READY)) {
        if (!prepare_ellipsoid_type() || PyType_Ready(&EllipsoidType) < 0) {
            return FAIL_HERE();
        }
    }
    // No name and no destructor: the table is static and lives as long as the process.
    PyRef capsule = PyRef::steal(PyCapsule_New(&table::method_table, nullptr, nullptr));
    if (!capsule || PyDict_SetItemString(EllipsoidType.tp_dict, ELLIPSOID_METHOD_TABLE_KEY,
                                         capsule.get()) < 0) {
        return FAIL_HERE();
    }
    // The batch kernels, beside it (ellipsoid.h says why there); static too.
    PyRef batch = PyRef::steal(PyCapsule_New(const_cast<QV_BatchAPI *>(&kernels::batch_api()),
                                             ELLIPSOID_BATCH_API_NAME, nullptr));
    if (!batch ||
        PyDict_SetItemString(EllipsoidType.tp_dict, ELLIPSOID_BATCH_API_KEY, batch.get()) < 0) {
        return FAIL_HERE();
    }
    PyType_Modified(&EllipsoidType);
    if (PyModule_AddObjectRef(module, "Ellipsoid", reinterpret_cast<PyObject *>(&EllipsoidType)) <
        0) {
        return FAIL_HERE();
    }
    return 0;
}

// str(module.__name__) as UTF-8 bytes, for the messages' byte precisions
// ("%.200s" counts bytes, as for the other names in them). Lone surrogates
// pass through and come out as replacement characters.
PyRef module_name_utf8(PyObject *module)
{
    PyRef name = PyRef::steal(PyObject_GetAttrString(module, "__name__"));
    PyRef text = name ? PyRef::steal(PyObject_Str(name.get())) : PyRef();
    return text ? PyRef::steal(PyUnicode_AsEncodedString(text.get(), "utf-8", "surrogatepass"))
                : PyRef();
}

// Binds one routine of the vector module's __pyx_capi__ by name and signature.
int bind_vector_routine(PyObject *vectools, const char *name, const char *signature, void **address)
{
    PyRef capi = PyRef::steal(PyObject_GetAttrString(vectools, "__pyx_capi__"));
    if (!capi) {
        return FAIL_HERE();
    }
    PyRef capsule = PyRef::steal(PyMapping_GetItemString(capi.get(), name));
    if (!capsule) {
        if (!PyErr_ExceptionMatches(PyExc_KeyError)) {
            return FAIL_HERE();
        }
        PyErr_Clear();
        PyRef module_name = module_name_utf8(vectools);
        if (!module_name) {
            return FAIL_HERE();
        }
        PyErr_Format(PyExc_ImportError, messages::kMissingCFunction,
                     PyBytes_AS_STRING(module_name.get()), name);
        return FAIL_HERE();
    }
    if (!PyCapsule_IsValid(capsule.get(), signature)) {
        PyRef module_name = module_name_utf8(vectools);
        if (!module_name) {
            return FAIL_HERE();
        }
        // A capsule without a name, or no capsule at all, has no signature to
        // show: say what is there instead.
        const char *got = Py_TYPE(capsule.get())->tp_name;
        if (PyCapsule_CheckExact(capsule.get())) {
            got = PyCapsule_GetName(capsule.get());
            got = got != nullptr ? got : "NULL";
        }
        PyErr_Format(PyExc_TypeError, messages::kWrongSignature,
                     PyBytes_AS_STRING(module_name.get()), name, signature, got);
        return FAIL_HERE();
    }
    *address = PyCapsule_GetPointer(capsule.get(), signature);
    return *address != nullptr ? 0 : FAIL_HERE();
}

// Whether the module that start-up bound the routines from is the compiled
// vectools module of this package rather than a stand-in put in sys.modules:
// an extension module defined under that name with that docstring.
bool is_vectools_itself(PyObject *vectools)
{
    PyModuleDef *def = PyModule_Check(vectools) ? PyModule_GetDef(vectools) : nullptr;
    if (def == nullptr) {
        PyErr_Clear();
        return false;
    }
    return def->m_name != nullptr && std::strcmp(def->m_name, "vectools") == 0 &&
           def->m_doc != nullptr && std::strcmp(def->m_doc, kVectoolsDoc) == 0;
}

int bind_vector_routines()
{
    PyRef vectools = PyRef::steal(PyImport_ImportModule(kVectoolsName));
    if (!vectools) {
        return FAIL_HERE();
    }
    // Bound into a copy and published whole: a failure part-way leaves the
    // stand-ins in place.
    table::VectorRoutines v = table::unbound_vector_routines;
    struct Binding {
        const char *name;
        const char *signature;
        void **address;
    };
    // scale and add are checked as start-up requires but called by no routine.
    void *checked_only = nullptr;
    const Binding bindings[] = {
        {"scale", VECTOOLS_SCALE_SIGNATURE, &checked_only},
        {"add", VECTOOLS_ADD_SIGNATURE, &checked_only},
        {"sub", VECTOOLS_SUB_SIGNATURE, reinterpret_cast<void **>(&v.sub)},
        {"dot", VECTOOLS_DOT_SIGNATURE, reinterpret_cast<void **>(&v.dot)},
        {"norm", VECTOOLS_NORM_SIGNATURE, reinterpret_cast<void **>(&v.norm)},
    };
    for (const Binding &b : bindings) {
        if (bind_vector_routine(vectools.get(), b.name, b.signature, b.address) < 0) {
            return -1;
        }
    }
    v.vectools_own = is_vectools_itself(vectools.get());
    table::vector_routines = v;
    return 0;
}

// from <package> import <names...>, each stored as a module attribute of the same name.
int import_names(PyObject *module, const char *package, const char *const *names, int count)
{
    PyRef fromlist = PyRef::steal(PyList_New(count));
    if (!fromlist) {
        return FAIL_HERE();
    }
    for (int k = 0; k < count; ++k) {
        PyObject *name = PyUnicode_FromString(names[k]);
        if (name == nullptr) {
            return FAIL_HERE();
        }
        PyList_SET_ITEM(fromlist.get(), k, name);
    }
    PyRef source =
        PyRef::steal(PyImport_ImportModuleLevel(package, nullptr, nullptr, fromlist.get(), 0));
    if (!source) {
        return FAIL_HERE();
    }
    for (int k = 0; k < count; ++k) {
        PyObject *name = PyList_GET_ITEM(fromlist.get(), k);
        PyRef value = PyRef::steal(PyObject_GetAttr(source.get(), name));
        if (!value) {
            if (PyErr_ExceptionMatches(PyExc_AttributeError)) {
                PyErr_Format(PyExc_ImportError, messages::kCannotImportName, name);
            }
            return FAIL_HERE();
        }
        if (PyModule_AddObjectRef(module, names[k], value.get()) < 0) {
            return FAIL_HERE();
        }
    }
    return 0;
}

int import_numpy(PyObject *module)
{
    PyRef numpy = PyRef::steal(PyImport_ImportModuleLevel("numpy", nullptr, nullptr, nullptr, 0));
    if (!numpy || PyModule_AddObjectRef(module, "numpy", numpy.get()) < 0) {
        return FAIL_HERE();
    }
    Py_XSETREF(state.numpy_module, Py_NewRef(numpy.get()));
    struct Original {
        PyObject **slot;
        const char *name;
    };
    const Original originals[] = {
        {&state.numpy_zeros, "zeros"},
        {&state.numpy_zeros_like, "zeros_like"},
        {&state.numpy_asarray, "asarray"},
    };
    for (const Original &o : originals) {
        Py_XSETREF(*o.slot, PyObject_GetAttrString(numpy.get(), o.name));
        if (*o.slot == nullptr) {
            return FAIL_HERE();
        }
    }
    Py_XSETREF(state.float64_descr,
               reinterpret_cast<PyObject *>(PyArray_DescrFromType(NPY_DOUBLE)));
    return state.float64_descr != nullptr ? 0 : FAIL_HERE();
}

// Remembers numbers.Real as imported, with its metaclass's instance check.
int remember_real(PyObject *module)
{
    PyObject *real = PyDict_GetItemWithError(PyModule_GetDict(module), state.names.Real);
    if (real == nullptr) {
        return FAIL_HERE();
    }
    Py_XSETREF(state.numbers_real, Py_NewRef(real));
    Py_XSETREF(state.real_instancecheck,
               Py_XNewRef(cpython::type_lookup(Py_TYPE(real), state.names.instancecheck)));
    return 0;
}

int install_methods()
{
    if (!ready_method_function_type()) {
        return FAIL_HERE();
    }
    PyRef module_name = PyRef::steal(PyUnicode_FromString(kModuleName));
    if (!module_name) {
        return FAIL_HERE();
    }
    for (const MethodDescription &method : kMethods) {
        PyRef function = make_method_function(method, module_name.get());
        if (!function ||
            PyDict_SetItemString(EllipsoidType.tp_dict, method.name, function.get()) < 0) {
            return FAIL_HERE();
        }
    }
    PyType_Modified(&EllipsoidType);
    return 0;
}

int init_state(PyObject *module)
{
    Py_XSETREF(state.module_dict, Py_NewRef(PyModule_GetDict(module)));
    PyRef builtins = PyRef::steal(PyImport_ImportModule("builtins"));
    if (!builtins) {
        return FAIL_HERE();
    }
    Py_XSETREF(state.builtins_dict, Py_NewRef(PyModule_GetDict(builtins.get())));
    InternedNames &n = state.names;
    const struct {
        PyObject **slot;
        const char *text;
    } names[] = {
#define QUORVANE_NAME(member, text) {&n.member, text},
        QUORVANE_INTERNED_NAMES(QUORVANE_NAME)
#undef QUORVANE_NAME
    };
    for (const auto &name : names) {
        if (!intern(name.slot, name.text)) {
            return FAIL_HERE();
        }
    }
    const struct {
        PyObject **slot;
        PyObject *value;
    } constants[] = {
        {&state.int_1, PyLong_FromLong(1)},
        {&state.int_2, PyLong_FromLong(2)},
        {&state.int_3, PyLong_FromLong(3)},
        {&state.tuple_1, Py_BuildValue("(i)", 1)},
        {&state.tuple_3, Py_BuildValue("(i)", 3)},
        {&state.kwnames_shape_dtype, Py_BuildValue("(ss)", "shape", "dtype")},
        {&state.kwnames_dtype, Py_BuildValue("(s)", "dtype")},
    };
    // Every constant is stored, made or not, so that none leaks.
    bool made = true;
    for (const auto &constant : constants) {
        Py_XSETREF(*constant.slot, constant.value);
        made = made && constant.value != nullptr;
    }
    if (!made) {
        return FAIL_HERE();
    }
    return 0;
}

int start(PyObject *module)
{
    static const char *const dtype_names[] = {"SurfCoord_dtype", "LLA_dtype", "ENU_dtype",
                                              "AER_dtype"};
    static const char *const real_name[] = {"Real"};
    if (import_numpy_c_api() < 0) {
        return FAIL_HERE();
    }
    // Both read the environment once, here, so that no call pays for it.
    kernels::active_set();
    configure_threads();
    if (init_state(module) < 0 || publish_type(module) < 0 || bind_vector_routines() < 0 ||
        import_numpy(module) < 0 ||
        import_names(module, "quorvane.datamodel", dtype_names, 4) < 0 ||
        import_names(module, "numbers", real_name, 1) < 0 || remember_real(module) < 0 ||
        install_methods() < 0) {
        return -1;
    }
    return 0;
}

// Adds the entry "init quorvane.mathtools.ellipsoid.ellipsoid" to the
// traceback of the pending exception.
void add_start_traceback()
{
    SavedError error;
    PyRef code = PyRef::steal(reinterpret_cast<PyObject *>(
        PyCode_NewEmpty(__FILE__, "init quorvane.mathtools.ellipsoid.ellipsoid", failed_line)));
    PyRef globals = code ? PyRef::steal(PyDict_New()) : PyRef();
    PyRef frame = globals ? PyRef::steal(reinterpret_cast<PyObject *>(PyFrame_New(
                                PyThreadState_Get(), reinterpret_cast<PyCodeObject *>(code.get()),
                                globals.get(), nullptr)))
                          : PyRef();
    // Without a frame the exception still propagates, only without the entry.
    PyErr_Clear();
    error.restore();
    if (frame) {
        PyTraceBack_Here(reinterpret_cast<PyFrameObject *>(frame.get()));
    }
}

PyObject *create_module(PyObject *method, PyModuleDef *)
{
    if (started_module != nullptr) {
        return Py_NewRef(started_module);
    }
    PyRef name = PyRef::steal(PyObject_GetAttrString(method, "name"));
    if (!name) {
        return nullptr;
    }
    return PyModule_NewObject(name.get());
}

int exec_module(PyObject *module)
{
    if (module == started_module) {
        return 0;
    }
    if (start(module) < 0) {
        add_start_traceback();
        return -1;
    }
    started_module = Py_NewRef(module);
    mark_started();
    return 0;
}

PyModuleDef_Slot module_slots[] = {
    {Py_mod_create, reinterpret_cast<void *>(create_module)},
    {Py_mod_exec, reinterpret_cast<void *>(exec_module)},
    {0, nullptr},
};

PyModuleDef module_def = module_definition(
    "ellipsoid",
    "A reference ellipsoid of revolution and the conversions it relates: ECEF positions,\n"
    "geodetic and reduced latitude, surface points, east-north-up frames,\n"
    "azimuth/elevation/range and ray-surface intersections.",
    module_slots);

}  // namespace

}  // namespace quorvane::binding

PyMODINIT_FUNC PyInit_ellipsoid(void) { return PyModuleDef_Init(&quorvane::binding::module_def); }
