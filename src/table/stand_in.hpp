// Whether a whole-array call may hand its points to a batch kernel instead of
// calling the object's table routine point by point: the one place that
// decides it. The kernels compute each point with the bits of this module's
// own routines, so they stand in exactly when those are the routines a call
// would reach.
#pragma once

#include "quorvane/mathtools/ellipsoid/ellipsoid.h"
#include "registry/conversions.hpp"
#include "table/routines.hpp"
#include "table/vector_routines.hpp"

namespace quorvane::table {

// Slots 1 and 2 are called directly, never through the table (their methods
// and every composite routine bind them statically).
constexpr bool statically_bound(registry::Id id)
{
    return id == registry::Id::reduced_lat_from_geodetic_lat ||
           id == registry::Id::geodetic_lat_from_reduced_lat;
}

// The routine a call of `id` on `self` reaches runs no Python code: this
// module's own table (a Cython subclass may have replaced slots with Python
// code), or a statically bound slot.
inline bool runs_no_python(const Ellipsoid *self, registry::Id id)
{
    return statically_bound(id) || self->vtab == &method_table;
}

// The batch kernel of `id` gives what the routine would: as above, and for
// aer_coords also the bound vector routines are vectools' own, whose
// arithmetic its kernel does inline.
inline bool kernel_stands_in(const Ellipsoid *self, registry::Id id)
{
    return runs_no_python(self, id) &&
           (id != registry::Id::aer_coords || vector_routines.vectools_own);
}

}  // namespace quorvane::table
