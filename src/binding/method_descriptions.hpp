// What each of the ten methods is called, takes and documents, in the order
// of the type's members.
#pragma once

#include "methods.hpp"

namespace quorvane::binding {

struct MethodDescription {
    const char *name;
    const char *const *params;       // after self
    int nparams;
    const char *const *annotations;  // one per parameter, then the return
    const char *doc;
    const char *text_signature;
    MethodImpl impl;
};

constexpr int kMethodCount = 10;
extern const MethodDescription kMethods[kMethodCount];

// Calls method.impl after binding the arguments that follow self.
PyObject *call_method(const MethodDescription &method, PyObject *self, PyObject *const *args,
                      Py_ssize_t nargs, PyObject *kwnames);

}  // namespace quorvane::binding
