// Strided columns, in the batch kernels' convention: a kernel computes n
// elements of one routine for one ellipsoid, reading its inputs and writing
// its outputs as columns, inputs then outputs, in the routine's argument
// order. A three-vector output is three columns. Re and f are always doubles;
// the points are doubles, or float32 for the float32 loop's in-place kernels.
#pragma once

#include <cstddef>
#include <cstring>

#include "core/kernels/batch.hpp"

namespace quorvane::ufuncs {

using kernels::In;
using kernels::Out;

// memcpy assumes no alignment of the column and compiles to a plain load.
inline double load(const In &column, std::ptrdiff_t i)
{
    double value;
    std::memcpy(&value, column.data + i * column.stride, sizeof value);
    return value;
}

}  // namespace quorvane::ufuncs
