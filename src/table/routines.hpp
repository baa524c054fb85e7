// The twelve GIL-free routines of the Ellipsoid method table.
//
// Plain C++ on doubles and records: no allocation, no exceptions, no
// interpreter calls beyond the pending-exception check that composite routines
// make after each call of another routine, and only where the calling thread
// already holds the interpreter lock (pending_error.hpp).
//
// Units: radians and metres; positions and directions in the ECEF frame.
#pragma once

#include "quorvane/mathtools/ellipsoid/ellipsoid.h"

namespace quorvane::table {

// Every routine runs one lane of the active batch kernels (src/core/kernels),
// so a point gives the same bits here as in any array call.

// Slots 1 and 2 (surface.cpp): the principal value in [-pi/2, pi/2], the input
// being taken modulo pi.
double c_reduced_lat_from_geodetic_lat(Ellipsoid *self, double geodetic_lat);
double c_geodetic_lat_from_reduced_lat(Ellipsoid *self, double reduced_lat);

// Slots 3 to 7 (surface.cpp).
void surf_normal_vector(Ellipsoid *self, SurfCoord point, double *u_normal);
void surf_tangent_vector(Ellipsoid *self, SurfCoord point, double *u_east, double *u_north);
void c_enu(Ellipsoid *self, SurfCoord point, ENU_Frame *enu);
void c_surf_pos_from_surf_coord(Ellipsoid *self, SurfCoord point, double *r_surf);
void c_surf_coord_from_surf_pos(Ellipsoid *self, const double *r_surf, SurfCoord *point);

// Slots 8 to 10 (geodetic.cpp).
double c_solve_reduced_lat_equation(Ellipsoid *self, const double *r);
void c_lla_from_pos(Ellipsoid *self, const double *r, LLA *lla);
void c_pos_from_lla(Ellipsoid *self, LLA lla, double *r);

// Slots 11 and 12 (ray_aer.cpp).
void c_surf_pos_of_ray_first_intersection(Ellipsoid *self, const double *r_ray, const double *u_ray,
                                          double *r_surf);
void c_aer_coords(Ellipsoid *self, const double *r_target, LLA lla_obs, AER *aer);

// The type's single method table, shared by every instance.
extern Ellipsoid_MethodTable method_table;

// Fills method_table in slot order.
void fill_method_table();

}  // namespace quorvane::table
