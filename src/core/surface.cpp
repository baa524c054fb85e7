// Surface geometry: normals, tangents, east-north-up frames and the map
// between geodetic surface coordinates and surface positions.
//
// Below, phi is the geodetic latitude, lambda the longitude and beta the
// reduced latitude, tan(beta) = (1 - f) * tan(phi). The meridian point of
// reduced latitude beta is (Re * cos(beta), (1 - f) * Re * sin(beta)).
#include <cmath>

#include "geometry.hpp"
#include "pending_error.hpp"

namespace quorvane::geometry {

void surf_normal_vector(Ellipsoid *, SurfCoord point, double *u_normal)
{
    // By the definition of geodetic latitude the normal depends on neither Re nor f.
    const double cos_phi = std::cos(point.lat);
    u_normal[0] = cos_phi * std::cos(point.lon);
    u_normal[1] = cos_phi * std::sin(point.lon);
    u_normal[2] = std::sin(point.lat);
}

void surf_tangent_vector(Ellipsoid *self, SurfCoord point, double *u_east, double *u_north)
{
    const double f = self->f;
    const double beta = c_reduced_lat_from_geodetic_lat(self, point.lat);
    const double sin_beta = std::sin(beta);
    const double cos_beta = std::cos(beta);
    const double sin_lambda = std::sin(point.lon);
    const double cos_lambda = std::cos(point.lon);
    // d/dbeta of the meridian point is proportional to (-sin(beta), (1 - f) cos(beta));
    // aux is its length, so dividing by it gives a unit vector.
    const double aux = std::sqrt(1.0 - f * (2.0 - f) * cos_beta * cos_beta);

    // East follows the given longitude even at the poles; its z is exactly 0.
    u_east[0] = -sin_lambda;
    u_east[1] = cos_lambda;
    u_east[2] = 0.0;

    u_north[0] = -sin_beta * cos_lambda / aux;
    u_north[1] = -sin_beta * sin_lambda / aux;
    u_north[2] = (1.0 - f) * cos_beta / aux;
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
    // The reduced-latitude form of the prime-vertical point
    // (N cos(phi) cos(lambda), N cos(phi) sin(lambda), N (1 - e2) sin(phi)).
    const double Re = self->Re;
    const double beta = c_reduced_lat_from_geodetic_lat(self, point.lat);
    const double cos_beta = std::cos(beta);
    r_surf[0] = Re * cos_beta * std::cos(point.lon);
    r_surf[1] = Re * cos_beta * std::sin(point.lon);
    r_surf[2] = Re * (1.0 - self->f) * std::sin(beta);
}

void c_surf_coord_from_surf_pos(Ellipsoid *self, const double *r_surf, SurfCoord *point)
{
    // Only z fixes the latitude and only x, y the longitude: the point is taken
    // to lie on the surface, not projected onto it. Above the polar radius the
    // asin argument exceeds 1 and the latitude is NaN.
    const double beta = std::asin(r_surf[2] / self->Re / (1.0 - self->f));
    point->lon = std::atan2(r_surf[1], r_surf[0]);
    point->lat = c_geodetic_lat_from_reduced_lat(self, beta);
}

}  // namespace quorvane::geometry
