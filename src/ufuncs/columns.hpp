// Strided columns of doubles, in the batch kernels' convention: a kernel
// computes n elements of one routine for one ellipsoid, reading its inputs and
// writing its outputs as columns, inputs then outputs, in the routine's
// argument order. A three-vector output is three columns.
#pragma once

#include <cstddef>
#include <cstring>

#include "core/kernels/batch.hpp"

namespace quorvane::ufuncs {

using kernels::In;
using kernels::Out;

// memcpy assumes no alignment of the column and compiles to a plain load or store.
inline double load(const In &column, std::ptrdiff_t i)
{
    double value;
    std::memcpy(&value, column.data + i * column.stride, sizeof value);
    return value;
}

inline void store(const Out &column, std::ptrdiff_t i, double value)
{
    std::memcpy(column.data + i * column.stride, &value, sizeof value);
}

}  // namespace quorvane::ufuncs
