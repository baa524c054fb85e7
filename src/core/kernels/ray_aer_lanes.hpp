// Ray-surface intersection (slot 11) and the look angles that end aer_coords
// (slot 12), as lane formulas.
#pragma once

#include <limits>

#include "core/kernels/ellipsoid_params.hpp"
#include "core/kernels/lanes.hpp"

namespace quorvane::kernels {
namespace {

// Slot 11: the point of the line r + l u on the surface with the smallest |l|.
template <class P, int K>
QV_INLINE void ray_hit(const EllipsoidParams &E, const V<K> *r, const V<K> *u, V<K> *r_surf)
{
    // In the metric diag(1, 1, diagGz) the surface is the sphere of radius Re:
    // x^2 + y^2 + diagGz z^2 = Re^2, diagGz = (Re / Rp)^2. Substituting
    // r + l u gives a l^2 + b l + c = 0.
    const double diagGz = E.axis_ratio_inverse_squared;
    const V<K> a = u[0] * u[0] + u[1] * u[1] + diagGz * u[2] * u[2];
    const V<K> b = 2.0 * (u[0] * r[0] + u[1] * r[1] + diagGz * u[2] * r[2]);
    const V<K> c = r[0] * r[0] + r[1] * r[1] + diagGz * r[2] * r[2] - E.Re * E.Re;
    const V<K> delta = b * b - 4.0 * a * c;

    // Tangent line; a zero direction lands here too and gives 0/0 = NaN.
    const V<K> l_tangent = 0.5 * (-b) / a;
    // The root of smaller magnitude, whatever its sign: the intersection nearest
    // the origin along the whole line. Ties and NaN take l2.
    const V<K> sqrt_delta = sqrt<P>(delta);
    const V<K> l1 = 0.5 * (sqrt_delta - b) / a;
    const V<K> l2 = 0.5 * (-b - sqrt_delta) / a;
    const V<K> l = select(delta == 0.0, l_tangent, select(abs(l1) < abs(l2), l1, l2));
    // A missed surface gives the default NaN itself, not one propagated from
    // the square root of the negative discriminant.
    const M<K> missed = delta < 0.0;
    const V<K> nan = splat<K>(std::numeric_limits<double>::quiet_NaN());
    for (int i = 0; i < 3; ++i) {
        r_surf[i] = select(missed, nan, r[i] + l * u[i]);
    }
}

// The end of slot 12: azimuth, the principal value in [-pi, pi] clockwise from
// north seen from above (no wrap to [0, 2 pi)), and elevation from the ENU
// components and the range of the target.
template <class P, int K>
QV_INLINE void look_angles(const V<K> &east, const V<K> &north, const V<K> &up, const V<K> &range,
                           V<K> *azimuth, V<K> *elevation)
{
    *azimuth = atan2<P>(east, north);
    // |up| <= range holds exactly, but up and range are rounded separately and a
    // target straight above can give up / range = 1 + 2^-52, whose asin is NaN.
    // A target at the observer gives 0 / 0 = NaN, which the comparisons leave
    // alone, and atan2(0, 0) = 0 for the azimuth.
    V<K> sine = up / range;
    sine = select(sine > 1.0, splat<K>(1.0), select(sine < -1.0, splat<K>(-1.0), sine));
    *elevation = asin<P>(sine);
}

// vectools' dot and norm: (a0 b0 + a1 b1) + a2 b2, and the square root of it.
template <int K>
QV_INLINE V<K> dot3(const V<K> *a, const V<K> *b)
{
    return a[0] * b[0] + a[1] * b[1] + a[2] * b[2];
}

}  // namespace
}  // namespace quorvane::kernels
