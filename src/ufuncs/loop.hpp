// The one strided loop behind all ten ufuncs.
#pragma once

#include <numpy/npy_common.h>

namespace quorvane::ufuncs {

// NumPy's inner-loop signature; data is the ufunc's UfuncDescription. The
// loop runs no Python code, so NumPy calls it with the interpreter lock released.
void strided_loop(char **args, const npy_intp *dimensions, const npy_intp *steps, void *data);

}  // namespace quorvane::ufuncs
