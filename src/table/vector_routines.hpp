// The three-vector routines of quorvane.mathtools.vectools.vectools that the
// table's routines call, bound once at module start-up to plain function pointers and read-only
// afterwards, so GIL-free routines call them directly from any thread.
#pragma once

#include "quorvane/mathtools/vectools/vectools.h"

namespace quorvane::table {

struct VectorRoutines {
    vectools_sub_t sub;
    vectools_dot_t dot;
    vectools_norm_t norm;
    // True when they are quorvane.mathtools.vectools.vectools' own, so
    // that a batch kernel may do their arithmetic inline instead.
    bool vectools_own;
};

// Until start-up has bound them, stand-ins that give NaN results: no
// routine can reach a pointer that was never bound, even when start-up failed
// half-way and a caller still holds the method table.
extern VectorRoutines vector_routines;

// The stand-ins themselves, to restore or compare with.
extern const VectorRoutines unbound_vector_routines;

}  // namespace quorvane::table
