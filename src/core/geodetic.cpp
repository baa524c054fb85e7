// Geodetic conversion between ECEF positions and latitude, longitude, altitude.
//
// In the meridian plane of r = (x, y, z), p = sqrt(x^2 + y^2) is the distance
// from the axis. The foot of the surface normal through r is the meridian point
// of reduced latitude beta, (Re cos(beta), Rp sin(beta)) with Rp = (1 - f) Re,
// where beta solves
//
//     g(beta) = sin(beta) cos(beta) - A sin(beta) + B cos(beta) = 0,
//     A = p / (Re e2),  B = (1 - f) z / (Re e2),  e2 = f (2 - f):
//
// r lies on the normal (Rp cos(beta), Re sin(beta)) of that point, i.e.
// (p - Re cos(beta)) Re sin(beta) = (z - Rp sin(beta)) Rp cos(beta), divided
// by -(Re^2 - Rp^2) = -Re^2 e2.
#include <cmath>
#include <limits>

#include "geometry.hpp"
#include "pending_error.hpp"

namespace quorvane::geometry {

namespace {

constexpr double kNewtonTolerance = 1.567e-5;  // radians of reduced latitude
constexpr double kAxisDistance = 1e-5;          // metres: below, altitude along the axis
constexpr double kHalfPi = 1.57079632679489661923;

// Newton settles in two or three steps from the geocentric start for every
// point outside the evolute of the meridian ellipse. Deep inside it, near the
// centre, the iteration can cycle for ever (period 3 has been seen), so it is
// cut off; no settling run comes anywhere near this many steps.
constexpr int kMaxNewtonSteps = 100;

inline double g_of(double beta, double A, double B)
{
    const double s = std::sin(beta);
    const double c = std::cos(beta);
    return s * c - A * s + B * c;
}

// A root of g in the quadrant of r, by bisection, for the positions where
// Newton does not settle. g(0) = B has the sign of z and g(+-pi/2) = -+A, so
// for p > 0 the closed quadrant [0, pi/2] (z > 0) or [-pi/2, 0] (z < 0)
// brackets a root; that is the foot point on r's side of both axes.
double bracketed_root(double A, double B, double z)
{
    double lo = z > 0.0 ? 0.0 : -kHalfPi;
    double hi = z > 0.0 ? kHalfPi : 0.0;
    double g_lo = g_of(lo, A, B);
    const double g_hi = g_of(hi, A, B);
    if (g_lo == 0.0) {
        return lo;
    }
    if (g_hi == 0.0) {
        return hi;
    }
    if (!((g_lo < 0.0) != (g_hi < 0.0))) {
        return std::numeric_limits<double>::quiet_NaN();
    }
    for (;;) {
        const double mid = 0.5 * (lo + hi);
        if (mid <= lo || mid >= hi) {
            return mid;  // the bracket is down to adjacent doubles
        }
        const double g_mid = g_of(mid, A, B);
        if (g_mid == 0.0) {
            return mid;
        }
        if ((g_mid < 0.0) == (g_lo < 0.0)) {
            lo = mid;
            g_lo = g_mid;
        } else {
            hi = mid;
        }
    }
}

}  // namespace

double c_solve_reduced_lat_equation(Ellipsoid *self, const double *r)
{
    const double Re = self->Re;
    const double f = self->f;
    const double z = r[2];
    const double aux1 = r[0] * r[0] + r[1] * r[1];
    const double aux2 = std::sqrt(aux1);      // p
    const double aux3 = Re * f * (2.0 - f);  // Re * e2

    if (aux3 == 0.0) {
        // A sphere: A and B would be infinite. Its reduced, geodetic and
        // geocentric latitudes coincide; atan2 keeps full precision near the
        // poles, where asin(z / |r|) loses half the digits. The centre has no
        // latitude, as on an ellipsoid.
        if (aux2 == 0.0 && z == 0.0) {
            return std::numeric_limits<double>::quiet_NaN();
        }
        return std::atan2(z, aux2);
    }

    const double A = aux2 / aux3;
    const double B = (1.0 - f) * z / aux3;

    // Start from the geocentric latitude; at the origin this is asin(0/0) = NaN,
    // and the NaN step below ends the loop with a NaN result.
    double beta = std::asin(z / std::sqrt(aux1 + z * z));
    double inc = 1.0;  // forces at least one step
    int steps = 0;
    // A NaN step compares false and ends the loop with a NaN result.
    while (std::fabs(inc) > kNewtonTolerance) {
        if (steps == kMaxNewtonSteps) {
            return bracketed_root(A, B, z);
        }
        ++steps;
        const double sin_beta = std::sin(beta);
        const double cos_beta = std::cos(beta);
        // g / g'; on the equatorial plane at p = Re e2 (A = 1) this is 0/0.
        inc = (sin_beta * cos_beta - A * sin_beta + B * cos_beta) /
              (cos_beta * cos_beta - sin_beta * sin_beta - A * cos_beta - B * sin_beta);
        beta = beta - inc;
    }
    return beta;
}

void c_lla_from_pos(Ellipsoid *self, const double *r, LLA *lla)
{
    const PendingError pending;
    const double Re = self->Re;
    const double f = self->f;
    const double x = r[0];
    const double y = r[1];
    const double z = r[2];

    // atan2 of two zeros would depend on their signs; on the axis, 0.
    lla->lon = (x == 0.0 && y == 0.0) ? 0.0 : std::atan2(y, x);

    const double beta = self->vtab->c_solve_reduced_lat_equation(self, r);
    if (pending.occurred()) {
        return;
    }
    const double r_equatorial_projection = std::sqrt(x * x + y * y);
    lla->lat = c_geodetic_lat_from_reduced_lat(self, beta);

    if (r_equatorial_projection < kAxisDistance) {
        // On or next to the axis: the normal is the axis itself.
        lla->alt = std::fabs(z) - (1.0 - f) * Re;
        return;
    }
    // The altitude is the projection of r minus its foot point onto the unit
    // normal (cos(phi), sin(phi)) = ((1 - f) cos(beta), sin(beta)) / d,
    // d = sqrt(1 - e2 cos(beta)^2). Unlike p / cos(beta), which blows up near
    // the axis, this is well conditioned everywhere; the differences
    // p - Re cos(beta) and z - Rp sin(beta) cancel only down to the altitude
    // itself, and an error in beta moves the foot point along the surface,
    // which changes the altitude only to second order.
    const double sin_beta = std::sin(beta);
    const double cos_beta = std::cos(beta);
    const double d = std::sqrt(1.0 - f * (2.0 - f) * cos_beta * cos_beta);
    const double dp = r_equatorial_projection - Re * cos_beta;
    const double dz = z - (1.0 - f) * Re * sin_beta;
    lla->alt = (dp * (1.0 - f) * cos_beta + dz * sin_beta) / d;
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
    for (int i = 0; i < 3; ++i) {
        r[i] = lla.alt * u_normal[i] + r_surf[i];
    }
}

}  // namespace quorvane::geometry
