// Where a line of sight from a geodetic observer first meets the ellipsoid,
// given its azimuth (clockwise from north) and its tilt from the nadir.
#pragma once

#include <limits>

#include "core/kernels/ellipsoid_params.hpp"
#include "core/kernels/lanes.hpp"
#include "core/kernels/local_frame_lanes.hpp"
#include "core/kernels/observer_lanes.hpp"
#include "core/kernels/radii_lanes.hpp"
#include "core/kernels/sincos_lanes.hpp"

namespace quorvane::kernels {
namespace {

// Inputs lat0, lon0, alt0, az, tilt; outputs the geodetic latitude and
// longitude of the point and its distance from the observer.
struct LookAtTarget {
    static constexpr int inputs = 5, outputs = 3;
    template <class P, int K>
    QV_INLINE static void lanes(const EllipsoidParams &E, const V<K> *x, const V<K> *observer,
                                V<K> *y)
    {
        const V<K> alt = x[2];
        V<K> sin_az, cos_az, sin_tilt, cos_tilt;
        sincos<P>(x[3], &sin_az, &cos_az);
        sincos<P>(x[4], &sin_tilt, &cos_tilt);
        V<K> u[3];
        vector_of(sin_tilt * sin_az, sin_tilt * cos_az, -cos_tilt, observer + 3, observer + 6,
                  observer + 9, u);
        const V<K> *r = observer;
        const V<K> *up = observer + 9;

        // Stretched along the axis by k = Re / Rp the surface is the sphere of
        // radius Re, and r + l u is on it where a l^2 + 2 h l + c = 0 with
        // a = |u'|^2, h = u' . r', c = |r'|^2 - Re^2 (primes: stretched).
        const double k = 1.0 / E.one_minus_f;
        const V<K> us[3] = {u[0], u[1], k * u[2]};
        const V<K> rs[3] = {r[0], r[1], k * r[2]};
        const V<K> a = dot3(us, us);
        const V<K> h = dot3(us, rs);
        // c formed from r would cancel to the altitude's size and lose metres
        // squared. With r = s + alt up, s the foot point, |s'|^2 = Re^2 and
        // s' . up' = N (the prime-vertical radius): c = alt (2 N + alt |up'|^2).
        const double g = E.axis_ratio_inverse_squared;
        const V<K> cos_lat_squared = up[0] * up[0] + up[1] * up[1];
        const V<K> N = E.Re / sqrt<P>(w_squared(E, up[2] * up[2], cos_lat_squared));
        const V<K> c = alt * (2.0 * N + alt * (cos_lat_squared + g * up[2] * up[2]));
        // The discriminant h^2 - a c as a Re^2 - |u' x r'|^2 (Lagrange's
        // identity): h^2 and a c nearly cancel for a distant observer looking
        // down, the cross product is small there and carries no cancellation.
        const V<K> cross[3] = {us[1] * rs[2] - us[2] * rs[1], us[2] * rs[0] - us[0] * rs[2],
                               us[0] * rs[1] - us[1] * rs[0]};
        const V<K> delta = a * (E.Re * E.Re) - dot3(cross, cross);

        // The two roots as q / a and c / q without cancellation; the nearer
        // one that is not behind the observer.
        const V<K> sqrt_delta = sqrt<P>(delta);
        const V<K> q = select(h < 0.0, sqrt_delta - h, -h - sqrt_delta);
        const V<K> l1 = q / a;
        const V<K> l2 = c / q;
        const V<K> lo = select(l1 < l2, l1, l2);
        const V<K> hi = select(l1 < l2, l2, l1);
        const V<K> nan = splat<K>(std::numeric_limits<double>::quiet_NaN());
        // An observer on the surface (c = 0) is its own first point, at range
        // +0 whichever way it looks (c / q would give -0 looking up).
        const V<K> ahead = select(lo >= 0.0, lo, select(hi >= 0.0, hi, nan)) + 0.0;
        const V<K> l = select(delta < 0.0, nan, ahead);

        V<K> hit[3];
        for (int i = 0; i < 3; ++i) {
            hit[i] = r[i] + l * u[i];
        }
        // On the surface the normal is the gradient (x, y, g z): the latitude
        // needs no iteration and stays accurate at the poles, where the
        // arcsine of z / Rp would not.
        const V<K> p = sqrt<P>(hit[0] * hit[0] + hit[1] * hit[1]);
        y[0] = atan2<P>(g * hit[2], p);
        y[1] = longitude<P>(hit[0], hit[1]);
        y[2] = l;
    }
};

using LookAtSpheroid = Observed<LookAtTarget, 0>;

}  // namespace
}  // namespace quorvane::kernels
