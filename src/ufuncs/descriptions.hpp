// The ufuncs: one per exposed conversion of the registry, with its arity and
// output layout read from the registry's columns.
#pragma once

#include "registry/conversions.hpp"
#include "ufuncs/columns.hpp"

namespace quorvane::ufuncs {

struct UfuncDescription {
    registry::Id id;
    const char *name;
    const char *doc;
    int nin;        // point inputs
    int ellipsoid;  // 2 when Re and f follow the point inputs, else 0
    int nout;
    int out_width;  // columns per output: 1, or 3 for a core dimension (3)

    int ufunc_nin() const { return nin + ellipsoid; }
    int nargs() const { return nin + ellipsoid + nout; }
    int out_columns() const { return nout * out_width; }
};

inline constexpr int kMaxIn = registry::kMaxInputs;
inline constexpr int kMaxOutColumns = registry::kMaxOutputColumns;
inline constexpr int kUfuncCount = registry::kConversionCount;

inline constexpr UfuncDescription describe(int k)
{
    const registry::Conversion &c = registry::kConversions[k];
    return UfuncDescription{registry::Id(k),
                            c.name,
                            c.doc,
                            c.counts.point_inputs,
                            c.counts.ellipsoid,
                            c.counts.outputs,
                            c.counts.output_width};
}

// In the registry's order, which is the module's.
inline constexpr UfuncDescription kUfuncs[] = {
#define QUORVANE_UFUNC(name, slot, columns, ...) describe(static_cast<int>(registry::Id::name)),
    QUORVANE_CONVERSIONS(QUORVANE_UFUNC)
#undef QUORVANE_UFUNC
};

}  // namespace quorvane::ufuncs
