// The registry of conversions: one entry per batch kernel,
//
//     X(name, Body, slot, columns)
//
// name: the conversion's name (its ufunc's, and its method's where it has
// one); Body: the kernel body in src/core/kernels; slot: its routine's
// position in the Ellipsoid method table (1-12), or 0; columns: its inputs and
// outputs with names and units (columns.hpp). Exposed conversions also have a
// docstring, registry::docs::<name>.
//
// From this list come each kernel set's table (make_set, which checks every
// entry's columns against its body), the ufuncs (arity, core signature,
// float64 and float32 loops, docstring), the ufunc module's `columns` and
// `table_slots`, and through them the stubs (scripts/render_ufunc_stubs.py).
// A family of conversions is one header: its docstrings and its X list.
#pragma once

#include "registry/columns.hpp"
#include "registry/table_conversions.hpp"

// Every conversion with a ufunc, in the ufunc module's order.
#define QUORVANE_CONVERSIONS(X) QUORVANE_TABLE_CONVERSIONS(X)

// Every kernel of a kernel set.
#define QUORVANE_KERNELS(X) QUORVANE_CONVERSIONS(X) QUORVANE_INTERNAL_KERNELS(X)

namespace quorvane::registry {

enum class Id : int {
#define QUORVANE_ID(name, Body, slot, columns) name,
    QUORVANE_KERNELS(QUORVANE_ID)
#undef QUORVANE_ID
};

#define QUORVANE_ONE(name, Body, slot, columns) +1
inline constexpr int kKernelCount = 0 QUORVANE_KERNELS(QUORVANE_ONE);
inline constexpr int kConversionCount = 0 QUORVANE_CONVERSIONS(QUORVANE_ONE);
#undef QUORVANE_ONE

struct Conversion {
    const char *name;
    const char *columns;
    int slot;
    const char *doc;
    ColumnCounts counts;
};

// The exposed conversions; the Id of kConversions[k] is Id(k).
inline constexpr Conversion kConversions[] = {
#define QUORVANE_ENTRY(name, Body, slot, columns) \
    {#name, columns, slot, docs::name, count_columns(columns)},
    QUORVANE_CONVERSIONS(QUORVANE_ENTRY)
#undef QUORVANE_ENTRY
};

// The most point inputs and output columns of any kernel, which bound every
// fixed-size column array that callers keep.
inline constexpr int kMaxInputs = [] {
    int most = 0;
#define QUORVANE_MAX(name, Body, slot, columns) \
    most = count_columns(columns).point_inputs > most ? count_columns(columns).point_inputs : most;
    QUORVANE_KERNELS(QUORVANE_MAX)
#undef QUORVANE_MAX
    return most;
}();

inline constexpr int kMaxOutputColumns = [] {
    int most = 0;
#define QUORVANE_MAX(name, Body, slot, columns) \
    most = count_columns(columns).output_columns > most ? count_columns(columns).output_columns : most;
    QUORVANE_KERNELS(QUORVANE_MAX)
#undef QUORVANE_MAX
    return most;
}();

// Every kernel's counts, indexed by Id; one table for the program, so that a
// look-up at run time reads it rather than building it.
inline constexpr ColumnCounts kCounts[] = {
#define QUORVANE_COUNTS(name, Body, slot, columns) count_columns(columns),
    QUORVANE_KERNELS(QUORVANE_COUNTS)
#undef QUORVANE_COUNTS
};

constexpr ColumnCounts counts_of(Id id) { return kCounts[static_cast<int>(id)]; }

}  // namespace quorvane::registry
