// Slots 1 to 7: latitudes, normals, tangents, east-north-up frames and the map
// between geodetic surface coordinates and surface positions. The formulas are
// the lane formulas of src/core/kernels/surface_lanes.hpp, run on one lane.
#include "geometry.hpp"
#include "pending_error.hpp"
#include "kernels/one_point.hpp"

namespace quorvane::geometry {

using kernels::in_of;
using kernels::out_of;

double c_reduced_lat_from_geodetic_lat(Ellipsoid *self, double geodetic_lat)
{
    double reduced_lat;
    const kernels::In in[] = {in_of(&geodetic_lat)};
    const kernels::Out out[] = {out_of(&reduced_lat)};
    kernels::kernels().reduced_lat_from_geodetic_lat(self->Re, self->f, 1, in, out);
    return reduced_lat;
}

double c_geodetic_lat_from_reduced_lat(Ellipsoid *self, double reduced_lat)
{
    double geodetic_lat;
    const kernels::In in[] = {in_of(&reduced_lat)};
    const kernels::Out out[] = {out_of(&geodetic_lat)};
    kernels::kernels().geodetic_lat_from_reduced_lat(self->Re, self->f, 1, in, out);
    return geodetic_lat;
}

void surf_normal_vector(Ellipsoid *self, SurfCoord point, double *u_normal)
{
    const kernels::In in[] = {in_of(&point.lat), in_of(&point.lon)};
    const kernels::Out out[] = {out_of(u_normal), out_of(u_normal + 1), out_of(u_normal + 2)};
    kernels::kernels().surf_normal_vector(self->Re, self->f, 1, in, out);
}

void surf_tangent_vector(Ellipsoid *self, SurfCoord point, double *u_east, double *u_north)
{
    const kernels::In in[] = {in_of(&point.lat), in_of(&point.lon)};
    const kernels::Out out[] = {out_of(u_east),  out_of(u_east + 1),  out_of(u_east + 2),
                                out_of(u_north), out_of(u_north + 1), out_of(u_north + 2)};
    kernels::kernels().surf_tangent_vector(self->Re, self->f, 1, in, out);
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
    const kernels::In in[] = {in_of(&point.lat), in_of(&point.lon)};
    const kernels::Out out[] = {out_of(r_surf), out_of(r_surf + 1), out_of(r_surf + 2)};
    kernels::kernels().surf_pos_from_surf_coord(self->Re, self->f, 1, in, out);
}

void c_surf_coord_from_surf_pos(Ellipsoid *self, const double *r_surf, SurfCoord *point)
{
    // The kernel reads all of r_surf before it writes, so point may overlap it.
    const kernels::In in[] = {in_of(r_surf), in_of(r_surf + 1), in_of(r_surf + 2)};
    const kernels::Out out[] = {out_of(&point->lat), out_of(&point->lon)};
    kernels::kernels().surf_coord_from_surf_pos(self->Re, self->f, 1, in, out);
}

}  // namespace quorvane::geometry
