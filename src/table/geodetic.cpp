// Slots 8 to 10: geodetic conversion between ECEF positions and latitude,
// longitude, altitude. The formulas and the reasoning behind them are in
// core/kernels/geodetic_lanes.hpp; here they run on one lane. The composite
// routines reach slots 3 to 12 through the object's table and call slot 2
// directly, as every caller of the two latitude conversions does.
#include "table/routines.hpp"
#include "table/pending_error.hpp"
#include "core/kernels/one_point.hpp"

namespace quorvane::table {

using kernels::run_one;
using registry::Id;

double c_solve_reduced_lat_equation(Ellipsoid *self, const double *r)
{
    double beta;
    run_one<Id::solve_reduced_lat_equation>(self->Re, self->f, {r, r + 1, r + 2}, {&beta});
    return beta;
}

void c_lla_from_pos(Ellipsoid *self, const double *r, LLA *lla)
{
    const PendingError pending;
    const double Re = self->Re;
    const double f = self->f;
    // A copy, so that lla may overlap r.
    const double position[3] = {r[0], r[1], r[2]};
    run_one<Id::lla_longitude>(Re, f, {position, position + 1}, {&lla->lon});

    const double beta = self->vtab->c_solve_reduced_lat_equation(self, position);
    if (pending.occurred()) {
        return;
    }
    lla->lat = c_geodetic_lat_from_reduced_lat(self, beta);
    run_one<Id::lla_altitude>(Re, f, {position, position + 1, position + 2, &beta}, {&lla->alt});
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
    run_one<Id::pos_along_normal>(
        self->Re, self->f,
        {&lla.alt, u_normal, u_normal + 1, u_normal + 2, r_surf, r_surf + 1, r_surf + 2},
        {r, r + 1, r + 2});
}

}  // namespace quorvane::table
