// The definition of each extension module: a name and a docstring, and for a
// module built by multi-phase initialisation its slots. No module has methods
// of its own in the table (the ufuncs, types and capsules are added as objects)
// nor per-module memory.
#pragma once

#define PY_SSIZE_T_CLEAN
#include <Python.h>

namespace quorvane {

// Without slots the module is created once by PyModule_Create and keeps what
// it needs in globals, so it cannot be re-initialised (m_size -1); with slots,
// PyModuleDef_Init builds it and it may be built again (m_size 0).
inline PyModuleDef module_definition(const char *name, const char *doc,
                                     PyModuleDef_Slot *slots = nullptr)
{
    return {PyModuleDef_HEAD_INIT,
            name,
            doc,
            slots ? 0 : -1,
            nullptr,
            slots,
            nullptr,
            nullptr,
            nullptr};
}

}  // namespace quorvane
