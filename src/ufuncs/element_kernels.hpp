// Kernels, in the batch-kernel convention of columns.hpp, that call the
// Ellipsoid method table's routine once per element: the methods of the
// Ellipsoid type call the same routines, so both give the same bits.
#pragma once

#include "columns.hpp"
#include "quorvane/mathtools/ellipsoid/ellipsoid.h"

namespace quorvane::ufuncs {

// The table the kernels call; set once at module start-up, before any ufunc exists.
void use_method_table(const Ellipsoid_MethodTable *table);

namespace element {

void reduced_lat_from_geodetic_lat(double Re, double f, std::ptrdiff_t n, const In *in, const Out *out);
void geodetic_lat_from_reduced_lat(double Re, double f, std::ptrdiff_t n, const In *in, const Out *out);
void enu(double Re, double f, std::ptrdiff_t n, const In *in, const Out *out);
void surf_pos_from_surf_coord(double Re, double f, std::ptrdiff_t n, const In *in, const Out *out);
void surf_coord_from_surf_pos(double Re, double f, std::ptrdiff_t n, const In *in, const Out *out);
void solve_reduced_lat_equation(double Re, double f, std::ptrdiff_t n, const In *in, const Out *out);
void lla_from_pos(double Re, double f, std::ptrdiff_t n, const In *in, const Out *out);
void pos_from_lla(double Re, double f, std::ptrdiff_t n, const In *in, const Out *out);
void surf_pos_of_ray_first_intersection(double Re, double f, std::ptrdiff_t n, const In *in,
                                        const Out *out);
void aer_coords(double Re, double f, std::ptrdiff_t n, const In *in, const Out *out);

}  // namespace element

}  // namespace quorvane::ufuncs
