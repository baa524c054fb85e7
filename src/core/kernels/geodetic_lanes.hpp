// Geodetic conversion as lane formulas: the reduced latitude of the foot point
// (slot 8) and what slot 9 adds to it.
//
// In the meridian plane of r = (x, y, z), p = sqrt(x^2 + y^2) is the distance
// from the axis. The foot of the surface normal through r is the meridian point
// of reduced latitude beta, (Re cos(beta), Rp sin(beta)), where beta solves
//
//     g(beta) = sin(beta) cos(beta) - A sin(beta) + B cos(beta) = 0,
//     A = p / (Re e2),  B = (1 - f) z / (Re e2),  e2 = f (2 - f):
//
// r lies on the normal (Rp cos(beta), Re sin(beta)) of that point, i.e.
// (p - Re cos(beta)) Re sin(beta) = (z - Rp sin(beta)) Rp cos(beta), divided
// by -(Re^2 - Rp^2) = -Re^2 e2. The squared distance D from r to the meridian
// point has D' = -2 Re^2 e2 g, so the roots of g are the feet of all normals
// through r: two outside the evolute of the meridian ellipse, the astroid
// |A|^(2/3) + |B|^(2/3) = 1, and four inside it.
#pragma once

#include <cmath>
#include <limits>

#include "core/kernels/lanes.hpp"
#include "core/kernels/surface_lanes.hpp"

namespace quorvane::kernels {
namespace {

// The conversion's stopping threshold, in radians of reduced latitude: the
// iteration stops once a step is no larger. Newton converges quadratically
// outside the evolute, so the step just taken leaves an error of the order of
// its square (a few 1e-10 rad at most, far less in practice: the measured
// errors by domain and flattening are in docs/index.md).
constexpr double kNewtonTolerance = 1.567e-5;

// Metres from the axis below which the altitude is measured along the axis:
// there the normal is the axis to within 1e-5 / Rp rad, and the off-axis form
// would divide two vanishing quantities.
constexpr double kAxisDistance = 1e-5;

// Newton settles in two or three steps from the geocentric start for every
// point outside the evolute. Deep inside it, near the centre, the iteration can
// cycle for ever (period 3 has been seen), so it is cut off; no settling run
// comes anywhere near this many steps.
constexpr int kMaxNewtonSteps = 100;

inline double g_of(double beta, double A, double B)
{
    const double s = std::sin(beta);
    const double c = std::cos(beta);
    return s * c - A * s + B * c;
}

// A root of g in the closed quadrant of r by bisection down to adjacent
// doubles. g(0) = B has the sign of z and g(+-pi/2) = -+A, so for p > 0 the
// quadrant [0, pi/2] (z > 0) or [-pi/2, 0] (z < 0) brackets a root: a foot point
// on r's side of both axes. Scalar libm, lane by lane, in both instruction
// sets: the one-point routine and the batch reach it for the same lanes.
inline double bracketed_root(double A, double B, double z)
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
            return mid;
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

// Slot 8. Lanes iterate together until every lane has settled; a settled lane
// keeps its value, so each lane takes exactly the steps it would take alone.
template <class P, int K>
QV_INLINE V<K> solve_reduced_lat(const EllipsoidParams &E, const V<K> *r)
{
    const V<K> z = r[2];
    const V<K> p2 = r[0] * r[0] + r[1] * r[1];
    const V<K> p = sqrt<P>(p2);

    if (E.Re_e2 == 0.0) {
        // A sphere: A and B would be infinite. Its reduced, geodetic and
        // geocentric latitudes coincide; atan2 keeps full precision near the
        // poles, where asin(z / |r|) loses half the digits. The centre has no
        // latitude, as on an ellipsoid.
        return select((p == 0.0) & (z == 0.0), splat<K>(std::numeric_limits<double>::quiet_NaN()),
                      atan2<P>(z, p));
    }

    const V<K> A = p / E.Re_e2;
    const V<K> B = E.one_minus_f * z / E.Re_e2;

    // Start from the geocentric latitude; at the origin this is asin(0/0) = NaN,
    // and the NaN step ends that lane with a NaN result.
    V<K> beta = asin<P>(z / sqrt<P>(p2 + z * z));
    M<K> active = splat<K>(0.0) == 0.0;  // at least one step
    for (int steps = 0; any(active) && steps < kMaxNewtonSteps; ++steps) {
        const V<K> sin_beta = sin<P>(beta);
        const V<K> cos_beta = cos<P>(beta);
        // g / g'; on the equatorial plane at p = Re e2 (A = 1) this is 0/0.
        const V<K> inc = (sin_beta * cos_beta - A * sin_beta + B * cos_beta) /
                         (cos_beta * cos_beta - sin_beta * sin_beta - A * cos_beta - B * sin_beta);
        beta = select(active, beta - inc, beta);
        // A NaN step compares false and ends the lane.
        active = active & (abs(inc) > kNewtonTolerance);
    }

    // Lanes still active did not settle. Inside the evolute Newton can also
    // settle on the foot point of another quadrant, with the wrong sign of
    // latitude and up to twice the distance, or on a branch of g beyond
    // [-pi/2, pi/2] (tens of thousands of radians have been seen near the
    // centre). Such lanes take the bracketed root, which is the nearest foot
    // point: reflecting a foot point across an axis into r's closed quadrant
    // brings it closer, so the nearest lies in that quadrant, and there the
    // root is unique, since for p > 0 and z != 0 g / (sin(beta) cos(beta)) =
    // 1 - A / cos(beta) + B / sin(beta) is strictly monotonic on the open
    // quadrant. A NaN stays NaN. On an axis (z = 0 or p = 0) the loop's result
    // stays too: inside the evolute the nearest feet there come in mirror
    // pairs or rings, with no single one to prefer.
    const M<K> above = z > 0.0;
    const V<K> lo = select(above, splat<K>(0.0), splat<K>(-kHalfPi));
    const V<K> hi = select(above, splat<K>(kHalfPi), splat<K>(0.0));
    const M<K> off_quadrant = (beta == beta) & (z != 0.0) & (p > 0.0) & ((beta < lo) | (beta > hi));
    const M<K> redo = active | off_quadrant;
    if (any(redo)) {
        for (int k = 0; k < K; ++k) {
            for (int j = 0; j < kLanes; ++j) {
                if (redo.v[k][j] != 0) {
                    beta.v[k][j] = bracketed_root(A.v[k][j], B.v[k][j], z.v[k][j]);
                }
            }
        }
    }
    return beta;
}

// Slot 9 before slot 8: the longitude of r. atan2 of two zeros would depend
// on their signs; on the axis, 0.
template <class P, int K>
QV_INLINE V<K> longitude(V<K> x, V<K> y)
{
    return select((x == 0.0) & (y == 0.0), splat<K>(0.0), atan2<P>(y, x));
}

// Slot 9 after slots 8 and 2: the altitude of r given the reduced latitude
// beta of its foot point.
template <class P, int K>
QV_INLINE V<K> altitude(const EllipsoidParams &E, const V<K> *r, V<K> beta)
{
    const V<K> x = r[0];
    const V<K> y = r[1];
    const V<K> z = r[2];
    const V<K> r_equatorial_projection = sqrt<P>(x * x + y * y);
    // The altitude is the projection of r minus its foot point onto the unit
    // normal (cos(phi), sin(phi)) = ((1 - f) cos(beta), sin(beta)) / d,
    // d = sqrt(1 - e2 cos(beta)^2). Unlike p / cos(beta), which blows up near
    // the axis, this is well conditioned everywhere; the differences
    // p - Re cos(beta) and z - Rp sin(beta) cancel only down to the altitude
    // itself, and an error in beta moves the foot point along the surface,
    // which changes the altitude only to second order.
    const V<K> sin_beta = sin<P>(beta);
    const V<K> cos_beta = cos<P>(beta);
    const V<K> d = sqrt<P>(1.0 - E.e2 * cos_beta * cos_beta);
    const V<K> dp = r_equatorial_projection - E.Re * cos_beta;
    const V<K> dz = z - E.Rp * sin_beta;
    const V<K> off_axis = (dp * E.one_minus_f * cos_beta + dz * sin_beta) / d;
    // On or next to the axis the normal is the axis itself.
    const V<K> on_axis = abs(z) - E.Rp;
    return select(r_equatorial_projection < kAxisDistance, on_axis, off_axis);
}

// Slot 9: the geodetic coordinates of a position (lla_from_pos).
template <class P, int K>
QV_INLINE void geodetic_of(const EllipsoidParams &E, const V<K> *r, V<K> *lla)
{
    const V<K> beta = solve_reduced_lat<P>(E, r);
    lla[0] = geodetic_lat<P>(E, beta);
    lla[1] = longitude<P>(r[0], r[1]);
    lla[2] = altitude<P>(E, r, beta);
}

}  // namespace
}  // namespace quorvane::kernels
