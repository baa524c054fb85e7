// The ten ufuncs: name, arity, layout of the outputs and the kernel of each.
#pragma once

#include "columns.hpp"

namespace quorvane::ufuncs {

struct UfuncDescription {
    const char *name;
    const char *doc;
    int nin;           // point inputs; Re and f follow them
    int nout;
    int out_width;     // columns per output: 1, or 3 for a core dimension (3)
    const char *signature;  // generalized ufuncs only, else nullptr
    // The batch kernel, in whichever kernel set the core chose at start-up.
    kernels::Kernel kernels::BatchKernels::*kernel;

    int nargs() const { return nin + 2 + nout; }
    int out_columns() const { return nout * out_width; }
};

inline constexpr int kMaxIn = 6;
inline constexpr int kMaxOutColumns = 9;

extern const UfuncDescription kUfuncs[10];

}  // namespace quorvane::ufuncs
