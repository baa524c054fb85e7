#include "binding/method_descriptions.hpp"

#include <initializer_list>

#include "interop/args.hpp"
#include "binding/docstrings.hpp"
#include "binding/interop.hpp"

namespace quorvane::binding {

namespace {

constexpr int param_count(std::initializer_list<Param> params)
{
    return static_cast<int>(params.size());
}

#define QUORVANE_PARAM(name, annotation) \
    Param { #name, annotation }

#define QUORVANE_CHECK_PARAMS(name, returns, ...)           \
    static_assert(param_count({__VA_ARGS__}) <= kMaxParams, \
                  #name " has more parameters than kMaxParams");
QUORVANE_ELLIPSOID_METHODS(QUORVANE_CHECK_PARAMS, QUORVANE_PARAM)
#undef QUORVANE_CHECK_PARAMS

#define QUORVANE_COUNT_METHOD(...) +1
static_assert(0 QUORVANE_ELLIPSOID_METHODS(QUORVANE_COUNT_METHOD, ) == kMethodCount,
              "kMethodCount is the length of the method list");
#undef QUORVANE_COUNT_METHOD

}  // namespace

#define QUORVANE_DESCRIBE_METHOD(name, returns, ...) \
    {#name, {__VA_ARGS__}, param_count({__VA_ARGS__}), returns, docs::name, name},
const MethodDescription kMethods[kMethodCount] = {
    QUORVANE_ELLIPSOID_METHODS(QUORVANE_DESCRIBE_METHOD, QUORVANE_PARAM)};
#undef QUORVANE_DESCRIBE_METHOD
#undef QUORVANE_PARAM

namespace {

// "<prefix><separator><param>[: <annotation>]..." for the method's parameters.
PyRef with_params(PyRef text, const MethodDescription &method, bool annotated)
{
    for (int k = 0; text && k < method.nparams; ++k) {
        const Param &param = method.params[k];
        text = annotated ? PyRef::steal(PyUnicode_FromFormat("%U, %s: %s", text.get(), param.name,
                                                             param.annotation))
                         : PyRef::steal(PyUnicode_FromFormat("%U, %s", text.get(), param.name));
    }
    return text;
}

}  // namespace

const char *method_doc(const MethodDescription &method)
{
    // Never released: type slots and function objects point into these
    // strings for as long as the process runs.
    static PyObject *docs[kMethodCount];
    PyObject *&doc = docs[&method - kMethods];
    if (doc == nullptr) {
        PyRef text = with_params(
            PyRef::steal(PyUnicode_FromFormat("Ellipsoid.%s(self", method.name)), method, true);
        if (!text) {
            return nullptr;
        }
        doc = PyUnicode_FromFormat("%U) -> %s\n%s", text.get(), method.returns, method.doc_body);
        if (doc == nullptr) {
            return nullptr;
        }
    }
    return PyUnicode_AsUTF8(doc);
}

PyRef method_text_signature(const MethodDescription &method)
{
    PyRef text = with_params(PyRef::steal(PyUnicode_FromString("($self")), method, false);
    return text ? PyRef::steal(PyUnicode_FromFormat("%U)", text.get())) : PyRef();
}

PyObject *call_method(const MethodDescription &method, PyObject *self, PyObject *const *args,
                      Py_ssize_t nargs, PyObject *kwnames)
{
    // All arguments by position, one each: nothing to bind.
    if (kwnames == nullptr && nargs == method.nparams) {
        return method.impl(reinterpret_cast<Ellipsoid *>(self), args);
    }
    const char *names[kMaxParams];
    for (int k = 0; k < method.nparams; ++k) {
        names[k] = method.params[k].name;
    }
    PyObject *bound[kMaxParams];
    if (!bind_arguments(method.name, names, method.nparams, args, nargs, kwnames, bound)) {
        return nullptr;
    }
    return method.impl(reinterpret_cast<Ellipsoid *>(self), bound);
}

}  // namespace quorvane::binding
