// The loops behind every ufunc: one strided loop over the batch kernels, and its
// float32 form.
#pragma once

#include <numpy/npy_common.h>

namespace quorvane::ufuncs {

// NumPy's inner-loop signature; data is the ufunc's UfuncDescription. The
// loop runs no Python code, so NumPy calls it with the interpreter lock released.
void strided_loop(char **args, const npy_intp *dimensions, const npy_intp *steps, void *data);

// The same for float32 points (Re and f stay float64): each block of points is
// widened to float64, converted by strided_loop, and its results rounded back
// to float32, as NumPy's float32 loops of float64 functions do.
void float32_loop(char **args, const npy_intp *dimensions, const npy_intp *steps, void *data);

}  // namespace quorvane::ufuncs
