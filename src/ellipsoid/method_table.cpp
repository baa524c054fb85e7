#include "geometry.hpp"
#include "src/core/kernels/batch.hpp"
#include "vector_routines.hpp"

namespace quorvane::geometry {

Ellipsoid_MethodTable method_table;
VectorRoutines vector_routines;

void fill_method_table()
{
    method_table.c_reduced_lat_from_geodetic_lat = c_reduced_lat_from_geodetic_lat;
    method_table.c_geodetic_lat_from_reduced_lat = c_geodetic_lat_from_reduced_lat;
    method_table.surf_normal_vector = surf_normal_vector;
    method_table.surf_tangent_vector = surf_tangent_vector;
    method_table.c_enu = c_enu;
    method_table.c_surf_pos_from_surf_coord = c_surf_pos_from_surf_coord;
    method_table.c_surf_coord_from_surf_pos = c_surf_coord_from_surf_pos;
    method_table.c_solve_reduced_lat_equation = c_solve_reduced_lat_equation;
    method_table.c_lla_from_pos = c_lla_from_pos;
    method_table.c_pos_from_lla = c_pos_from_lla;
    method_table.c_surf_pos_of_ray_first_intersection = c_surf_pos_of_ray_first_intersection;
    method_table.c_aer_coords = c_aer_coords;
    // Chooses the kernel set now, at import, rather than in the first call of
    // a routine, which may run on any thread without the interpreter lock.
    kernels::kernels();
}

}  // namespace quorvane::geometry
