// The Conversion type of quorvane.geo._point: one degrees-first function of
// quorvane.geo bound to the ufunc that computes it. Called with Python numbers
// it converts, checks and computes the point itself, through the ufunc's own
// float64 inner loop on one element (no arrays, no type resolution), so the
// point gives the same bits as in an array; any other argument goes to the
// Python fallback that handles arrays and containers.
#pragma once

#include "common/pyref.hpp"

namespace quorvane::geo {

bool ready_conversion_type();
PyTypeObject *conversion_type();

}  // namespace quorvane::geo
