// The loops behind every ufunc: one strided loop over the batch kernels, and its
// float32 form.
#pragma once

#include <numpy/npy_common.h>

namespace quorvane::ufuncs {

// NumPy's inner-loop signature; data is the ufunc's UfuncDescription. The
// loop runs no Python code, so NumPy calls it with the interpreter lock released.
void strided_loop(char **args, const npy_intp *dimensions, const npy_intp *steps, void *data);

// The same for float32 points (Re and f stay float64), whose results are the
// float64 results rounded to float32, as NumPy's float32 loops of float64
// functions give: a kernel reads and writes the float32 columns in place where
// its set has a float32 form, else each block of points is widened into
// float64 buffers, converted by strided_loop, and its results rounded back.
void float32_loop(char **args, const npy_intp *dimensions, const npy_intp *steps, void *data);

}  // namespace quorvane::ufuncs
