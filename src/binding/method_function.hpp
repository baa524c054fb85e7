// The function objects that stand for the ten methods in the type's dict.
// They bind to an instance as a function written in Python does: through the
// class the function itself, through an instance a bound method whose
// __func__ is the function. Calls use vectorcall.
#pragma once

#include "binding/method_descriptions.hpp"
#include "common/pyref.hpp"
#include "binding/interop.hpp"

namespace quorvane::binding {

bool ready_method_function_type();

// A new function object for `method`, with __qualname__ "Ellipsoid.<name>".
PyRef make_method_function(const MethodDescription &method, PyObject *module_name);

}  // namespace quorvane::binding
