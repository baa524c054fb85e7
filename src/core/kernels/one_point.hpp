// Columns of one element for the table's one-point routines: a kernel called
// with n = 1 fills every lane with the point and keeps lane 0, so a one-point
// result is the batch result of the same point, bit for bit.
#pragma once

#include <cstddef>

#include "core/kernels/batch.hpp"
#include "core/kernels/kernel_set.hpp"
#include "registry/conversions.hpp"

namespace quorvane::kernels {

// Runs the kernel of `id` on the one point whose inputs and outputs are the
// doubles at the given addresses, in the registry's column order; the number
// of each is checked against the registry when the caller is compiled.
template <registry::Id id, std::size_t NI, std::size_t NO>
void run_one(double Re, double f, const double *const (&inputs)[NI], double *const (&outputs)[NO])
{
    static_assert(NI == std::size_t(registry::counts_of(id).point_inputs),
                  "one-point call with other inputs than the registry's");
    static_assert(NO == std::size_t(registry::counts_of(id).output_columns),
                  "one-point call with other outputs than the registry's");
    In in[NI];
    Out out[NO];
    for (std::size_t k = 0; k < NI; ++k) {
        in[k] = In{reinterpret_cast<const char *>(inputs[k]), 0};
    }
    for (std::size_t k = 0; k < NO; ++k) {
        out[k] = Out{reinterpret_cast<char *>(outputs[k]), 0};
    }
    kernel(id)(Re, f, 1, in, out);
}

}  // namespace quorvane::kernels
