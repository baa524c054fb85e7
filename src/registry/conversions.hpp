// The registry of conversions: one entry per batch kernel,
//
//     X(name, slot, columns, Body)
//
// name: the conversion's name (its ufunc's, and its method's where it has
// one); slot: its routine's position in the Ellipsoid method table (1-12), or
// 0; columns: its inputs and outputs with names and units (columns.hpp);
// Body: the kernel body in src/core/kernels, last so that a template's
// commas may stand in it (the lists' macros take it as `...`). Exposed
// conversions also have a docstring, registry::docs::<name>.
//
// The entries and docstrings are written in src/registry/*.py, one module a
// family; the build renders them as registry/families.hpp (render_registry.py),
// one X list a family.
//
// From this list come each kernel set's table (make_set, which checks every
// entry's columns against its body), the ufuncs (arity, core signature,
// float64 and float32 loops, docstring), the ufunc module's `columns` and
// `table_slots`; the build renders the stubs from the same entries
// (render_stubs.py).
#pragma once

#include "registry/columns.hpp"
#include "registry/families.hpp"

// Every conversion with a ufunc, in the ufunc module's order; one family a
// line (clang-format would pack the names differently on each pass).
// clang-format off
#define QUORVANE_CONVERSIONS(X)         \
    QUORVANE_TABLE_CONVERSIONS(X)       \
    QUORVANE_LOCAL_FRAME_CONVERSIONS(X) \
    QUORVANE_LATITUDE_CONVERSIONS(X)    \
    QUORVANE_GEODESIC_CONVERSIONS(X)
// clang-format on

// Every kernel of a kernel set.
#define QUORVANE_KERNELS(X) QUORVANE_CONVERSIONS(X) QUORVANE_INTERNAL_KERNELS(X)

namespace quorvane::registry {

enum class Id : int {
#define QUORVANE_ID(name, slot, columns, ...) name,
    QUORVANE_KERNELS(QUORVANE_ID)
#undef QUORVANE_ID
};

#define QUORVANE_ONE(name, slot, columns, ...) +1
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
#define QUORVANE_ENTRY(name, slot, columns, ...) \
    {#name, columns, slot, docs::name, count_columns(columns)},
    QUORVANE_CONVERSIONS(QUORVANE_ENTRY)
#undef QUORVANE_ENTRY
};

// The columns of every kernel, in Id order.
inline constexpr ColumnCounts kKernelCounts[] = {
#define QUORVANE_COUNTS(name, slot, columns, ...) count_columns(columns),
    QUORVANE_KERNELS(QUORVANE_COUNTS)
#undef QUORVANE_COUNTS
};

constexpr ColumnCounts counts_of(Id id) { return kKernelCounts[static_cast<int>(id)]; }

constexpr int most(int ColumnCounts::*field)
{
    int most = 0;
    for (const ColumnCounts &counts : kKernelCounts) {
        most = counts.*field > most ? counts.*field : most;
    }
    return most;
}

// The most point inputs and output columns of any kernel, which bound every
// fixed-size column array that callers keep.
inline constexpr int kMaxInputs = most(&ColumnCounts::point_inputs);
inline constexpr int kMaxOutputColumns = most(&ColumnCounts::output_columns);

}  // namespace quorvane::registry
