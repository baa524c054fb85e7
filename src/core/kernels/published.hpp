// The batch kernels as compiled callers receive them (batch.h).
#pragma once

#include "quorvane/mathtools/ellipsoid/batch.h"

namespace quorvane::kernels {

// The table of every conversion of the registry and every kernel of a table
// slot, in the registry's order, running the active kernel set; built on the
// first call, read-only after.
const QV_BatchAPI &batch_api();

}  // namespace quorvane::kernels
