#include "table/routines.hpp"

namespace quorvane::table {

Ellipsoid_MethodTable method_table;

void fill_method_table()
{
    // In slot order, as the header declares the table.
    method_table = Ellipsoid_MethodTable{
        c_reduced_lat_from_geodetic_lat,
        c_geodetic_lat_from_reduced_lat,
        surf_normal_vector,
        surf_tangent_vector,
        c_enu,
        c_surf_pos_from_surf_coord,
        c_surf_coord_from_surf_pos,
        c_solve_reduced_lat_equation,
        c_lla_from_pos,
        c_pos_from_lla,
        c_surf_pos_of_ray_first_intersection,
        c_aer_coords,
    };
}

}  // namespace quorvane::table
