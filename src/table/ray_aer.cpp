// Slots 11 and 12: ray-surface intersection and azimuth, elevation, range from
// an observer. The formulas are in core/kernels/ray_aer_lanes.hpp.
#include "table/routines.hpp"
#include "table/pending_error.hpp"
#include "core/kernels/one_point.hpp"
#include "table/vector_routines.hpp"

namespace quorvane::table {

using kernels::run_one;
using registry::Id;

void c_surf_pos_of_ray_first_intersection(Ellipsoid *self, const double *r_ray, const double *u_ray,
                                          double *r_surf)
{
    // The kernel reads both vectors before it writes, so r_surf may alias them.
    run_one<Id::surf_pos_of_ray_first_intersection>(
        self->Re, self->f, {r_ray, r_ray + 1, r_ray + 2, u_ray, u_ray + 1, u_ray + 2},
        {r_surf, r_surf + 1, r_surf + 2});
}

void c_aer_coords(Ellipsoid *self, const double *r_target, LLA lla_obs, AER *aer)
{
    const PendingError pending;
    const VectorRoutines &v = vector_routines;
    double r_obs[3];
    double r_target_obs[3];
    ENU_Frame enu_obs;

    self->vtab->c_pos_from_lla(self, lla_obs, r_obs);
    if (pending.occurred()) {
        return;
    }
    // The vector routines take non-const pointers but only sub writes, and
    // only its third argument.
    v.sub(const_cast<double *>(r_target), r_obs, r_target_obs);
    if (pending.occurred()) {
        return;
    }
    const SurfCoord coord_obs = {lla_obs.lat, lla_obs.lon};
    self->vtab->c_enu(self, coord_obs, &enu_obs);
    if (pending.occurred()) {
        return;
    }
    const double east = v.dot(r_target_obs, enu_obs.u_east);
    if (pending.occurred()) {
        return;
    }
    const double north = v.dot(r_target_obs, enu_obs.u_north);
    if (pending.occurred()) {
        return;
    }
    const double up = v.dot(r_target_obs, enu_obs.u_up);
    if (pending.occurred()) {
        return;
    }
    const double range = v.norm(r_target_obs);
    if (pending.occurred()) {
        return;
    }
    run_one<Id::aer_look_angles>(self->Re, self->f, {&east, &north, &up, &range},
                                 {&aer->azimuth, &aer->elevation, &aer->range});
}

}  // namespace quorvane::table
