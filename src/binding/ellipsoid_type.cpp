#include "binding/ellipsoid_type.hpp"

#include <utility>

#include "interop/args.hpp"
#include "binding/docstrings.hpp"
#include "table/routines.hpp"
#include "interop/lookups.hpp"
#include "interop/messages.hpp"
#include "binding/method_descriptions.hpp"
#include "binding/interop.hpp"

namespace quorvane::binding {

PyTypeObject EllipsoidType{};

namespace {

bool started = false;

const char *const kParams[] = {"Re", "f"};

bool convert_arguments(const char *func_name, PyObject *args, PyObject *kwargs, double *Re,
                       double *f)
{
    PyObject *bound[2];
    return bind_arguments(func_name, kParams, 2, args, kwargs, bound) && to_double(bound[0], Re) &&
           to_double(bound[1], f);
}

PyObject *ellipsoid_new(PyTypeObject *type, PyObject *args, PyObject *kwargs)
{
    // Before start-up has completed, the type may be reachable (a failed
    // import leaves it among object's subclasses) but its routines may not
    // all be bound.
    if (!started) {
        PyErr_Format(PyExc_TypeError, messages::kNotStarted, EllipsoidType.tp_name);
        return nullptr;
    }
    PyRef object = PyRef::steal(type->tp_alloc(type, 0));
    if (!object) {
        return nullptr;
    }
    auto *self = reinterpret_cast<Ellipsoid *>(object.get());
    self->vtab = &table::method_table;
    double Re;
    double f;
    if (!convert_arguments("Ellipsoid", args, kwargs, &Re, &f)) {
        return nullptr;
    }
    if (assertions_enabled()) {
        // Written so that NaN fails both tests; +inf passes the first.
        if (!(Re > 0.0) || !(0.0 <= f && f < 1.0)) {
            PyErr_SetNone(PyExc_AssertionError);
            return nullptr;
        }
    }
    self->Re = Re;
    self->f = f;
    self->Rp = (1.0 - f) * Re;
    return object.release();
}

// Binds and converts like construction, and stores nothing: the object is
// immutable after construction.
int ellipsoid_init(PyObject *, PyObject *args, PyObject *kwargs)
{
    double Re;
    double f;
    return convert_arguments("__init__", args, kwargs, &Re, &f) ? 0 : -1;
}

void ellipsoid_dealloc(PyObject *self)
{
    // The finaliser protocol for compiled subtypes that keep this dealloc; a
    // finaliser that resurrects the object keeps it alive.
    if (Py_TYPE(self)->tp_finalize != nullptr && Py_TYPE(self)->tp_dealloc == ellipsoid_dealloc) {
        if (PyObject_CallFinalizerFromDealloc(self) < 0) {
            return;
        }
    }
    Py_TYPE(self)->tp_free(self);
}

PyObject *get_Re(PyObject *self, void *)
{
    return PyFloat_FromDouble(reinterpret_cast<Ellipsoid *>(self)->Re);
}

PyObject *get_f(PyObject *self, void *)
{
    return PyFloat_FromDouble(reinterpret_cast<Ellipsoid *>(self)->f);
}

PyObject *get_Rp(PyObject *self, void *)
{
    return PyFloat_FromDouble(reinterpret_cast<Ellipsoid *>(self)->Rp);
}

PyObject *ellipsoid_reduce(PyObject *, PyObject *)
{
    PyErr_SetString(PyExc_TypeError, messages::kNoReduce);
    return nullptr;
}

PyObject *ellipsoid_setstate(PyObject *, PyObject *const *args, Py_ssize_t nargs, PyObject *kwnames)
{
    static const char *const params[] = {"state"};
    PyObject *state_arg;
    if (bind_arguments("__setstate__", params, 1, args, nargs, kwnames, &state_arg)) {
        PyErr_SetString(PyExc_TypeError, messages::kNoReduce);
    }
    return nullptr;
}

// Until module start-up puts the function objects in their places, the ten
// methods are ordinary method descriptors over the same implementations;
// they also fix the order of the type's members.
template <int K>
PyObject *method_descriptor(PyObject *self, PyObject *const *args, Py_ssize_t nargs,
                            PyObject *kwnames)
{
    return call_method(kMethods[K], self, args, nargs, kwnames);
}

// PyMethodDef stores every calling convention as a PyCFunction; going through
// void(*)() tells the compiler the cast is meant.
template <class F>
PyCFunction as_cfunction(F function)
{
    return reinterpret_cast<PyCFunction>(reinterpret_cast<void (*)()>(function));
}

template <int... K>
struct MethodDefs {
    PyMethodDef defs[sizeof...(K) + 3];
};

template <int... K>
MethodDefs<K...> make_method_defs(std::integer_sequence<int, K...>)
{
    return {{
        {kMethods[K].name, as_cfunction(method_descriptor<K>), METH_FASTCALL | METH_KEYWORDS,
         nullptr}...,
        {"__reduce__", ellipsoid_reduce, METH_NOARGS, nullptr},
        {"__setstate__", as_cfunction(ellipsoid_setstate), METH_FASTCALL | METH_KEYWORDS, nullptr},
        {nullptr, nullptr, 0, nullptr},
    }};
}

auto method_defs = make_method_defs(std::make_integer_sequence<int, kMethodCount>());

PyGetSetDef properties[] = {
    {"Re", get_Re, nullptr, nullptr, nullptr},
    {"f", get_f, nullptr, nullptr, nullptr},
    {"Rp", get_Rp, nullptr, nullptr, nullptr},
    {nullptr, nullptr, nullptr, nullptr, nullptr},
};

}  // namespace

void mark_started() { started = true; }

bool prepare_ellipsoid_type()
{
    for (int k = 0; k < kMethodCount; ++k) {
        method_defs.defs[k].ml_doc = method_doc(kMethods[k]);
        if (method_defs.defs[k].ml_doc == nullptr) {
            return false;
        }
    }
    // A static type object: one reference held by the process for ever.
    Py_SET_REFCNT(&EllipsoidType, 1);
    EllipsoidType.tp_name = "quorvane.mathtools.ellipsoid.ellipsoid.Ellipsoid";
    EllipsoidType.tp_basicsize = sizeof(Ellipsoid);
    EllipsoidType.tp_dealloc = ellipsoid_dealloc;
    EllipsoidType.tp_flags = Py_TPFLAGS_DEFAULT | Py_TPFLAGS_BASETYPE;
    EllipsoidType.tp_doc = docs::kEllipsoid;
    EllipsoidType.tp_methods = method_defs.defs;
    EllipsoidType.tp_getset = properties;
    EllipsoidType.tp_init = ellipsoid_init;
    EllipsoidType.tp_new = ellipsoid_new;
    return true;
}

}  // namespace quorvane::binding
