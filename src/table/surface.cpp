// Slots 1 to 7: latitudes, normals, tangents, east-north-up frames and the map
// between geodetic surface coordinates and surface positions. The formulas are
// the lane formulas of core/kernels/surface_lanes.hpp, run on one lane.
#include "table/routines.hpp"
#include "table/pending_error.hpp"
#include "core/kernels/one_point.hpp"

namespace quorvane::table {

using kernels::run_one;
using registry::Id;

double c_reduced_lat_from_geodetic_lat(Ellipsoid *self, double geodetic_lat)
{
    double reduced_lat;
    run_one<Id::reduced_lat_from_geodetic_lat>(self->Re, self->f, {&geodetic_lat}, {&reduced_lat});
    return reduced_lat;
}

double c_geodetic_lat_from_reduced_lat(Ellipsoid *self, double reduced_lat)
{
    double geodetic_lat;
    run_one<Id::geodetic_lat_from_reduced_lat>(self->Re, self->f, {&reduced_lat}, {&geodetic_lat});
    return geodetic_lat;
}

void surf_normal_vector(Ellipsoid *self, SurfCoord point, double *u_normal)
{
    run_one<Id::surf_normal_vector>(self->Re, self->f, {&point.lat, &point.lon},
                                    {u_normal, u_normal + 1, u_normal + 2});
}

void surf_tangent_vector(Ellipsoid *self, SurfCoord point, double *u_east, double *u_north)
{
    run_one<Id::surf_tangent_vector>(
        self->Re, self->f, {&point.lat, &point.lon},
        {u_east, u_east + 1, u_east + 2, u_north, u_north + 1, u_north + 2});
}

void c_enu(Ellipsoid *self, SurfCoord point, ENU_Frame *enu)
{
    const PendingError pending;
    self->vtab->surf_normal_vector(self, point, enu->u_up);
    if (pending.occurred()) {
        return;
    }
    self->vtab->surf_tangent_vector(self, point, enu->u_east, enu->u_north);
}

void c_surf_pos_from_surf_coord(Ellipsoid *self, SurfCoord point, double *r_surf)
{
    run_one<Id::surf_pos_from_surf_coord>(self->Re, self->f, {&point.lat, &point.lon},
                                          {r_surf, r_surf + 1, r_surf + 2});
}

void c_surf_coord_from_surf_pos(Ellipsoid *self, const double *r_surf, SurfCoord *point)
{
    // The kernel reads all of r_surf before it writes, so point may overlap it.
    run_one<Id::surf_coord_from_surf_pos>(self->Re, self->f, {r_surf, r_surf + 1, r_surf + 2},
                                          {&point->lat, &point->lon});
}

}  // namespace quorvane::table
