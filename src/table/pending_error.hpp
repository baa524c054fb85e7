// The pending-exception check that a composite routine makes after each call
// of a table slot or a vector routine: a replaced slot or a stand-in vector
// routine may leave a Python exception set, and the caller then returns at
// once so that the exception propagates.
//
// The routines run with or without the interpreter lock. Reading the error
// indicator needs the lock, and waiting for it would deadlock a caller that
// released it, so the check is made only when this very thread holds the lock.
#pragma once

#include <Python.h>

#include "common/cpython_private.hpp"

namespace quorvane::table {

class PendingError {
public:
    PendingError() : lock_held_(this_thread_holds_gil()) {}

    // True when an exception is pending and this thread may see it.
    bool occurred() const { return lock_held_ && PyErr_Occurred() != nullptr; }

private:
    // PyGILState_Check answers 1 whenever sub-interpreters disabled its
    // bookkeeping; comparing this thread's own state with the running one
    // stays exact and reads no interpreter state that needs the lock.
    static bool this_thread_holds_gil()
    {
        PyThreadState *mine = PyGILState_GetThisThreadState();
        return mine != nullptr && mine == cpython::current_thread_state_unchecked();
    }

    bool lock_held_;
};

}  // namespace quorvane::table
