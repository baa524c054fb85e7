// The static types whose objects are called through vectorcall: the bound
// methods of Ellipsoid and quorvane.geo's Conversion. Each is set up in
// place, once, by the module that defines it.
#pragma once

#define PY_SSIZE_T_CLEAN
#include <Python.h>

namespace quorvane {

// What every such type sets: its name, its size and deallocator, where its
// objects keep their vectorcall function (tp_call goes through it), the flags
// beyond vectorcall's, and its docstring.
struct CallableTypeSlots {
    const char *name;
    Py_ssize_t basicsize;
    destructor dealloc;
    Py_ssize_t vectorcall_offset;
    unsigned long flags;
    const char *doc;
};

// Readies `type` with those slots and the ones set_own_slots(type) sets. A
// type that an earlier, failed start-up of its module readied stays as it is.
template <class SetOwnSlots>
bool ready_callable_type(PyTypeObject &type, const CallableTypeSlots &slots,
                         SetOwnSlots set_own_slots)
{
    if (PyType_HasFeature(&type, Py_TPFLAGS_READY)) {
        return true;
    }
    // A static type object: one reference held by the process for ever.
    Py_SET_REFCNT(&type, 1);
    type.tp_name = slots.name;
    type.tp_basicsize = slots.basicsize;
    type.tp_dealloc = slots.dealloc;
    type.tp_vectorcall_offset = slots.vectorcall_offset;
    type.tp_call = PyVectorcall_Call;
    type.tp_flags = Py_TPFLAGS_DEFAULT | Py_TPFLAGS_HAVE_VECTORCALL | slots.flags;
    type.tp_doc = slots.doc;
    set_own_slots(type);
    return PyType_Ready(&type) == 0;
}

}  // namespace quorvane
