// The binding is written in the vocabulary of the interop layer (module-level
// lookups, sources, results, the module state), which it uses unqualified.
#pragma once

namespace quorvane::interop {
}

namespace quorvane::binding {
using namespace quorvane::interop;
}
