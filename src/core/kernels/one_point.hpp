// Columns of one element for the table's one-point routines: a kernel called
// with n = 1 fills every lane with the point and keeps lane 0, so a one-point
// result is the batch result of the same point, bit for bit.
#pragma once

#include "batch.hpp"
#include "kernel_set.hpp"

namespace quorvane::kernels {

inline In in_of(const double *x) { return {reinterpret_cast<const char *>(x), 0}; }

inline Out out_of(double *x) { return {reinterpret_cast<char *>(x), 0}; }

}  // namespace quorvane::kernels
