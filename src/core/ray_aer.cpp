// Ray-surface intersection and azimuth, elevation, range from an observer.
#include <cmath>
#include <limits>

#include "geometry.hpp"
#include "pending_error.hpp"
#include "vector_routines.hpp"

namespace quorvane::geometry {

void c_surf_pos_of_ray_first_intersection(Ellipsoid *self, const double *r_ray,
                                          const double *u_ray, double *r_surf)
{
    const double f = self->f;
    const double Re = self->Re;
    const double *r = r_ray;
    const double *u = u_ray;
    // In the metric diag(1, 1, diagGz) the surface is the sphere of radius Re:
    // x^2 + y^2 + diagGz z^2 = Re^2, diagGz = (Re / Rp)^2. Substituting
    // r + l u gives a l^2 + b l + c = 0.
    const double diagGz = 1.0 / (1.0 - f) / (1.0 - f);
    const double a = u[0] * u[0] + u[1] * u[1] + diagGz * u[2] * u[2];
    const double b = 2.0 * (u[0] * r[0] + u[1] * r[1] + diagGz * u[2] * r[2]);
    const double c = r[0] * r[0] + r[1] * r[1] + diagGz * r[2] * r[2] - Re * Re;
    const double delta = b * b - 4.0 * a * c;

    if (delta < 0.0) {
        const double nan = std::numeric_limits<double>::quiet_NaN();
        r_surf[0] = nan;
        r_surf[1] = nan;
        r_surf[2] = nan;
        return;
    }
    double l;
    if (delta == 0.0) {
        // Tangent line; a zero direction lands here too and gives 0/0 = NaN.
        l = 0.5 * (-b) / a;
    } else {
        // The root of smaller magnitude, whatever its sign: the intersection
        // nearest the origin along the whole line. Ties and NaN take l2.
        const double sqrt_delta = std::sqrt(delta);
        const double l1 = 0.5 * (sqrt_delta - b) / a;
        const double l2 = 0.5 * (-b - sqrt_delta) / a;
        l = std::fabs(l1) < std::fabs(l2) ? l1 : l2;
    }
    // Component i reads only component i of r and u, so r_surf may alias them.
    for (int i = 0; i < 3; ++i) {
        r_surf[i] = r[i] + l * u[i];
    }
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
    aer->range = v.norm(r_target_obs);
    if (pending.occurred()) {
        return;
    }
    // Principal value in [-pi, pi], clockwise from north seen from above; no
    // wrap to [0, 2 pi). A target at the observer gives atan2(0, 0) = 0 and
    // asin(0 / 0) = NaN.
    aer->azimuth = std::atan2(east, north);
    aer->elevation = std::asin(up / aer->range);
}

}  // namespace quorvane::geometry
