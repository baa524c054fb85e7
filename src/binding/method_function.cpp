#include "binding/method_function.hpp"

#include <structmember.h>

#include <cstddef>

#include "binding/ellipsoid_type.hpp"
#include "common/callable_type.hpp"
#include "interop/messages.hpp"
#include "binding/interop.hpp"

namespace quorvane::binding {

namespace {

struct MethodFunction {
    PyObject_HEAD
    vectorcallfunc vectorcall;
    const MethodDescription *method;
    PyObject *name;
    PyObject *qualname;
    PyObject *module;
    PyObject *doc;
    PyObject *annotations;
    PyObject *text_signature;
};

PyObject *method_function_vectorcall(PyObject *callable, PyObject *const *args, size_t nargsf,
                                     PyObject *kwnames)
{
    const auto *fn = reinterpret_cast<MethodFunction *>(callable);
    const Py_ssize_t nargs = PyVectorcall_NARGS(nargsf);
    if (nargs < 1) {
        PyErr_Format(PyExc_TypeError, messages::kUnboundNeedsArgument, fn->qualname);
        return nullptr;
    }
    // The routines are reached through the object's method table: refuse
    // anything that has none before a routine can be called.
    if (!PyObject_TypeCheck(args[0], &EllipsoidType)) {
        PyErr_Format(PyExc_TypeError, messages::kDescriptorMismatch, fn->method->name,
                     EllipsoidType.tp_name, Py_TYPE(args[0])->tp_name);
        return nullptr;
    }
    return call_method(*fn->method, args[0], args + 1, nargs - 1, kwnames);
}

PyObject *method_function_get(PyObject *self, PyObject *obj, PyObject *)
{
    if (obj == nullptr || obj == Py_None) {
        return Py_NewRef(self);
    }
    return PyMethod_New(self, obj);
}

void method_function_dealloc(PyObject *self)
{
    auto *fn = reinterpret_cast<MethodFunction *>(self);
    Py_XDECREF(fn->name);
    Py_XDECREF(fn->qualname);
    Py_XDECREF(fn->module);
    Py_XDECREF(fn->doc);
    Py_XDECREF(fn->annotations);
    Py_XDECREF(fn->text_signature);
    Py_TYPE(self)->tp_free(self);
}

PyObject *method_function_repr(PyObject *self)
{
    return PyUnicode_FromFormat("<function %U at %p>",
                                reinterpret_cast<MethodFunction *>(self)->qualname, self);
}

PyMemberDef method_function_members[] = {
    {"__name__", T_OBJECT, offsetof(MethodFunction, name), READONLY, nullptr},
    {"__qualname__", T_OBJECT, offsetof(MethodFunction, qualname), READONLY, nullptr},
    {"__module__", T_OBJECT, offsetof(MethodFunction, module), READONLY, nullptr},
    {"__doc__", T_OBJECT, offsetof(MethodFunction, doc), READONLY, nullptr},
    {"__annotations__", T_OBJECT, offsetof(MethodFunction, annotations), READONLY, nullptr},
    {"__text_signature__", T_OBJECT, offsetof(MethodFunction, text_signature), READONLY, nullptr},
    {nullptr, 0, 0, 0, nullptr},
};

PyTypeObject MethodFunctionType{};

PyRef annotations_of(const MethodDescription &method)
{
    PyRef annotations = PyRef::steal(PyDict_New());
    if (!annotations) {
        return annotations;
    }
    for (int k = 0; k <= method.nparams; ++k) {
        const char *key = k < method.nparams ? method.params[k].name : "return";
        PyRef value = PyRef::steal(PyUnicode_FromString(
            k < method.nparams ? method.params[k].annotation : method.returns));
        if (!value || PyDict_SetItemString(annotations.get(), key, value.get()) < 0) {
            return PyRef();
        }
    }
    return annotations;
}

}  // namespace

bool ready_method_function_type()
{
    const CallableTypeSlots slots = {
        "quorvane.mathtools.ellipsoid.ellipsoid.vectorised_method",
        sizeof(MethodFunction),
        method_function_dealloc,
        offsetof(MethodFunction, vectorcall),
        Py_TPFLAGS_METHOD_DESCRIPTOR,
        "A method of Ellipsoid, bound to instances like a Python function.",
    };
    return ready_callable_type(MethodFunctionType, slots, [](PyTypeObject &type) {
        type.tp_repr = method_function_repr;
        type.tp_members = method_function_members;
        type.tp_descr_get = method_function_get;
    });
}

PyRef make_method_function(const MethodDescription &method, PyObject *module_name)
{
    PyRef annotations = annotations_of(method);
    if (!annotations) {
        return annotations;
    }
    PyRef text_signature = method_text_signature(method);
    const char *doc = method_doc(method);
    if (!text_signature || doc == nullptr) {
        return PyRef();
    }
    PyRef self = PyRef::steal(PyType_GenericAlloc(&MethodFunctionType, 0));
    if (!self) {
        return self;
    }
    auto *fn = reinterpret_cast<MethodFunction *>(self.get());
    fn->vectorcall = method_function_vectorcall;
    fn->method = &method;
    fn->name = PyUnicode_FromString(method.name);
    fn->qualname = PyUnicode_FromFormat("Ellipsoid.%s", method.name);
    fn->module = Py_NewRef(module_name);
    fn->doc = PyUnicode_FromString(doc);
    fn->annotations = annotations.release();
    fn->text_signature = text_signature.release();
    if (!fn->name || !fn->qualname || !fn->doc) {
        return PyRef();
    }
    return self;
}

}  // namespace quorvane::binding
