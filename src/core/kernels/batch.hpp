// Batch kernels of the numeric core: each routine of the Ellipsoid method table
// applied to n points at once, on strided columns of doubles.
//
// A kernel reads its inputs and writes its outputs as separate columns: element
// i of a column is the double at data + i * stride (bytes). Columns need no
// alignment and no contiguity, so an (n, 3) array, a column of a record array
// (stride 24 for LLA) or a NumPy ufunc loop argument are passed as they are; a
// stride of 0 repeats one value for every point. Each point is converted
// independently of the others, so n = 1 gives the same bits as the same point
// anywhere in a larger batch; the table's one-point routines are exactly that.
//
// Each kernel's columns, inputs then outputs, with their names and units, are
// in its registry entry (src/registry). Angles are radians, lengths metres,
// positions ECEF.
// Outputs may overlap inputs element by element (in-place calls): every input
// of a point is read before any output of it is written. A NaN result is
// always the default quiet NaN (sign and payload 0), whatever NaN went in.
//
// aer_coords forms the observer-to-target difference, the three dot products
// and the norm with the arithmetic of quorvane.mathtools.vectools, so it equals
// the table routine only while the bound vector routines are vectools' own.
//
// Kernels never allocate, never throw and need no interpreter lock; they may run
// on any number of threads at once. No Python header is involved.
#pragma once

#include <cstddef>

#include "quorvane/mathtools/ellipsoid/batch.h"

namespace quorvane::kernels {

// The public column records (batch.h), so that the kernels themselves are
// what compiled callers receive.
using In = QV_In;
using Out = QV_Out;

// Re: equatorial radius (metres), f: flattening; in and out hold the columns above.
using Kernel = void (*)(double Re, double f, std::ptrdiff_t n, const In *in, const Out *out);

}  // namespace quorvane::kernels
