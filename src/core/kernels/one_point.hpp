// Columns of one element for the table's one-point routines: a kernel called
// with n = 1 fills every lane with the point and keeps lane 0, so a one-point
// result is the batch result of the same point, bit for bit.
#pragma once

#include <initializer_list>

#include "batch.hpp"
#include "kernel_set.hpp"

namespace quorvane::kernels {

inline In in_of(const double *x) { return {reinterpret_cast<const char *>(x), 0}; }

inline Out out_of(double *x) { return {reinterpret_cast<char *>(x), 0}; }

// The most columns a kernel reads or writes (aer's and the ray's six inputs,
// enu's nine outputs; pos_from_lla's piece reads seven).
constexpr int kMaxColumns = 9;

// Runs `kernel` on the one point whose inputs and outputs are the doubles at
// the given addresses, in the kernel's column order.
inline void run_one(Kernel kernel, double Re, double f, std::initializer_list<const double *> inputs,
                    std::initializer_list<double *> outputs)
{
    In in[kMaxColumns];
    Out out[kMaxColumns];
    int k = 0;
    for (const double *x : inputs) {
        in[k++] = in_of(x);
    }
    k = 0;
    for (double *x : outputs) {
        out[k++] = out_of(x);
    }
    kernel(Re, f, 1, in, out);
}

}  // namespace quorvane::kernels
