// What each of the ten methods is called, takes and documents, in the order
// of the type's members, as generated from the method list.
#pragma once

#include "binding/methods.hpp"
#include "common/pyref.hpp"
#include "binding/interop.hpp"

namespace quorvane::binding {

// The most parameters a method has: argument binding fills a fixed array of
// this many slots.
constexpr int kMaxParams = 4;

struct Param {
    const char *name;
    const char *annotation;
};

struct MethodDescription {
    const char *name;
    Param params[kMaxParams];  // after self; unused slots are null
    int nparams;
    const char *returns;   // the return annotation
    const char *doc_body;  // the docstring after its signature line
    MethodImpl impl;
};

constexpr int kMethodCount = 10;
extern const MethodDescription kMethods[kMethodCount];

// "Ellipsoid.<name>(self, <param>: <annotation>, ...) -> <returns>", a newline
// and the docstring's text; made once, valid for the life of the process.
// Null with an exception set when it cannot be made.
const char *method_doc(const MethodDescription &method);

// "($self, <param>, ...)".
PyRef method_text_signature(const MethodDescription &method);

// Calls method.impl after binding the arguments that follow self.
PyObject *call_method(const MethodDescription &method, PyObject *self, PyObject *const *args,
                      Py_ssize_t nargs, PyObject *kwnames);

}  // namespace quorvane::binding
