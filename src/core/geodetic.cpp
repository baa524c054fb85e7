// Slots 8 to 10: geodetic conversion between ECEF positions and latitude,
// longitude, altitude. The formulas and the reasoning behind them are in
// src/core/kernels/geodetic_lanes.hpp; here they run on one lane, and the
// composite routines reach their parts through the object's table.
#include "geometry.hpp"
#include "pending_error.hpp"
#include "kernels/one_point.hpp"

namespace quorvane::geometry {

using kernels::in_of;
using kernels::out_of;

double c_solve_reduced_lat_equation(Ellipsoid *self, const double *r)
{
    double beta;
    const kernels::In in[] = {in_of(r), in_of(r + 1), in_of(r + 2)};
    const kernels::Out out[] = {out_of(&beta)};
    kernels::kernels().solve_reduced_lat_equation(self->Re, self->f, 1, in, out);
    return beta;
}

void c_lla_from_pos(Ellipsoid *self, const double *r, LLA *lla)
{
    const PendingError pending;
    const double Re = self->Re;
    const double f = self->f;
    // A copy, so that lla may overlap r.
    const double position[3] = {r[0], r[1], r[2]};
    const kernels::In xy[] = {in_of(position), in_of(position + 1)};
    const kernels::Out lon[] = {out_of(&lla->lon)};
    kernels::pieces().longitude(Re, f, 1, xy, lon);

    const double beta = self->vtab->c_solve_reduced_lat_equation(self, position);
    if (pending.occurred()) {
        return;
    }
    lla->lat = c_geodetic_lat_from_reduced_lat(self, beta);
    const kernels::In xyz_beta[] = {in_of(position), in_of(position + 1), in_of(position + 2),
                                    in_of(&beta)};
    const kernels::Out alt[] = {out_of(&lla->alt)};
    kernels::pieces().altitude(Re, f, 1, xyz_beta, alt);
}

void c_pos_from_lla(Ellipsoid *self, LLA lla, double *r)
{
    const PendingError pending;
    const SurfCoord coord = {lla.lat, lla.lon};
    double r_surf[3];
    double u_normal[3];
    self->vtab->c_surf_pos_from_surf_coord(self, coord, r_surf);
    if (pending.occurred()) {
        return;
    }
    self->vtab->surf_normal_vector(self, coord, u_normal);
    if (pending.occurred()) {
        return;
    }
    // Both intermediates are locals, so r may alias nothing the caller minds.
    const kernels::In in[] = {in_of(&lla.alt), in_of(u_normal), in_of(u_normal + 1),
                              in_of(u_normal + 2), in_of(r_surf), in_of(r_surf + 1),
                              in_of(r_surf + 2)};
    const kernels::Out out[] = {out_of(r), out_of(r + 1), out_of(r + 2)};
    kernels::pieces().along_normal(self->Re, self->f, 1, in, out);
}

}  // namespace quorvane::geometry
