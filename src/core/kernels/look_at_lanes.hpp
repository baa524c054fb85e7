// Where a line of sight from a geodetic observer first meets the ellipsoid,
// given its azimuth (clockwise from north) and its tilt from the nadir.
#pragma once

#include <limits>

#include "core/kernels/ellipsoid_params.hpp"
#include "core/kernels/lanes.hpp"
#include "core/kernels/local_frame_lanes.hpp"
#include "core/kernels/observer_lanes.hpp"

namespace quorvane::kernels {
namespace {

// Inputs lat0, lon0, alt0, az, tilt; outputs the geodetic latitude and
// longitude of the point and its distance from the observer.
struct LookAtTarget {
    static constexpr int inputs = 5, outputs = 3;
    template <class P, int K>
    QV_INLINE static void lanes(const EllipsoidParams &E, const V<K> *x, const V<K> *observer, V<K> *y)
    {
        const V<K> alt = x[2];
        const V<K> sin_tilt = sin<P>(x[4]);
        V<K> u[3];
        vector_of(sin_tilt * sin<P>(x[3]), sin_tilt * cos<P>(x[3]), -cos<P>(x[4]), observer + 3,
                  observer + 6, observer + 9, u);
        const V<K> *r = observer;
        const V<K> *up = observer + 9;

        // In the metric diag(1, 1, g), g = (Re / Rp)^2, the surface is the
        // sphere of radius Re, and r + l u is on it where a l^2 + b l + c = 0.
        const double g = E.axis_ratio_inverse_squared;
        const V<K> a = u[0] * u[0] + u[1] * u[1] + g * u[2] * u[2];
        const V<K> b = 2.0 * (u[0] * r[0] + u[1] * r[1] + g * u[2] * r[2]);
        // c = |r|^2 - Re^2 in that metric. Formed from r it would cancel to the
        // altitude's size and lose metres squared. With r = s + alt up, s the
        // foot point, |s|^2 = Re^2 and s . up = N (the prime-vertical radius),
        // so c = alt (2 N + alt |up|^2), all of it well conditioned.
        const V<K> cos_lat_squared = up[0] * up[0] + up[1] * up[1];
        const V<K> N = E.Re / sqrt<P>(1.0 - E.e2 * up[2] * up[2]);
        const V<K> c = alt * (2.0 * N + alt * (cos_lat_squared + g * up[2] * up[2]));
        const V<K> delta = b * b - 4.0 * a * c;

        // The two roots as q / a and c / q without cancellation; the nearer
        // one that is not behind the observer.
        const V<K> sqrt_delta = sqrt<P>(delta);
        const V<K> q = -0.5 * select(b < 0.0, b - sqrt_delta, b + sqrt_delta);
        const V<K> l1 = q / a;
        const V<K> l2 = c / q;
        const V<K> lo = select(l1 < l2, l1, l2);
        const V<K> hi = select(l1 < l2, l2, l1);
        const V<K> nan = splat<K>(std::numeric_limits<double>::quiet_NaN());
        const V<K> l = select(delta < 0.0, nan, select(lo >= 0.0, lo, select(hi >= 0.0, hi, nan)));

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
