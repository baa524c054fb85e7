// The surface geometry of the method table as lane formulas, shared by the batch
// kernels of both instruction sets and, through one-lane calls, by the table's
// one-point routines.
//
// phi is the geodetic latitude, lambda the longitude, beta the reduced latitude,
// tan(beta) = (1 - f) tan(phi). The meridian point of reduced latitude beta is
// (Re cos(beta), Rp sin(beta)), Rp = (1 - f) Re. Angles in radians, lengths in
// metres, positions and directions in the ECEF frame. Each expression keeps the
// operand order of the scalar formula it replaced, so results only change where
// the elementary functions do.
#pragma once

#include <cfloat>
#include <cmath>
#include <limits>

#include "core/kernels/ellipsoid_params.hpp"
#include "core/kernels/lanes.hpp"

namespace quorvane::kernels {
namespace {

// pi / 2, pi and 2 pi rounded to doubles; each is exactly twice the one before.
constexpr double kHalfPi = 1.57079632679489661923;
constexpr double kPi = 3.14159265358979323846;
constexpr double kTwoPi = 6.28318530717958647693;

// Slot 1. Through the tangent so that the flattening scales tan(phi); the
// result is the principal value in [-pi/2, pi/2], phi being taken modulo pi.
template <class P, int K>
QV_INLINE V<K> reduced_lat(const EllipsoidParams &E, V<K> phi)
{
    return atan<P>(E.one_minus_f * tan<P>(phi));
}

// Slot 2, the inverse map.
template <class P, int K>
QV_INLINE V<K> geodetic_lat(const EllipsoidParams &E, V<K> beta)
{
    return atan<P>(tan<P>(beta) / E.one_minus_f);
}

// Slot 3. By the definition of geodetic latitude the normal depends on
// neither Re nor f.
template <class P, int K>
QV_INLINE void normal(V<K> phi, V<K> lambda, V<K> *up)
{
    const V<K> cos_phi = cos<P>(phi);
    up[0] = cos_phi * cos<P>(lambda);
    up[1] = cos_phi * sin<P>(lambda);
    up[2] = sin<P>(phi);
}

// Slot 4.
template <class P, int K>
QV_INLINE void tangents(const EllipsoidParams &E, V<K> phi, V<K> lambda, V<K> *east, V<K> *north)
{
    const V<K> beta = reduced_lat<P>(E, phi);
    const V<K> sin_beta = sin<P>(beta);
    const V<K> cos_beta = cos<P>(beta);
    const V<K> sin_lambda = sin<P>(lambda);
    const V<K> cos_lambda = cos<P>(lambda);
    // d/dbeta of the meridian point is proportional to (-sin(beta), (1 - f)
    // cos(beta)); its length is d, so dividing by d gives a unit vector.
    const V<K> d = sqrt<P>(1.0 - E.e2 * cos_beta * cos_beta);
    // East follows the given longitude even at the poles; its z is exactly 0.
    east[0] = -sin_lambda;
    east[1] = cos_lambda;
    east[2] = splat<K>(0.0);
    north[0] = -sin_beta * cos_lambda / d;
    north[1] = -sin_beta * sin_lambda / d;
    north[2] = E.one_minus_f * cos_beta / d;
}

// Slot 6: the reduced-latitude form of the prime-vertical point
// (N cos(phi) cos(lambda), N cos(phi) sin(lambda), N (1 - e2) sin(phi)).
template <class P, int K>
QV_INLINE void surface_position(const EllipsoidParams &E, V<K> phi, V<K> lambda, V<K> *r)
{
    const V<K> beta = reduced_lat<P>(E, phi);
    const V<K> cos_beta = cos<P>(beta);
    r[0] = E.Re * cos_beta * cos<P>(lambda);
    r[1] = E.Re * cos_beta * sin<P>(lambda);
    r[2] = E.Rp * sin<P>(beta);
}

// Slot 7. Only z fixes the latitude and only x, y the longitude: the point is
// taken to lie on the surface, not projected onto it.
template <class P, int K>
QV_INLINE void surface_coordinates(const EllipsoidParams &E, const V<K> *r, V<K> *lat, V<K> *lon)
{
    V<K> ratio = r[2] / E.Re / E.one_minus_f;
    // A pole computed by slot 6 can come out a few units in the last place above
    // the polar radius (two divisions and a rounded sin(beta) ~ 1); such a ratio
    // is the pole, not a point off the surface. Further above the polar radius
    // asin gives NaN, which is the documented result for a point off the surface.
    const V<K> magnitude = abs(ratio);
    ratio = select((magnitude > 1.0) & (magnitude <= 1.0 + 8.0 * DBL_EPSILON),
                   unit_with_sign_of(ratio), ratio);
    *lon = atan2<P>(r[1], r[0]);
    *lat = geodetic_lat<P>(E, asin<P>(ratio));
}

// Slot 10 after slots 6 and 3: the position alt metres along the normal.
template <int K>
QV_INLINE void offset_along_normal(V<K> alt, const V<K> *up, const V<K> *r_surf, V<K> *r)
{
    for (int i = 0; i < 3; ++i) {
        r[i] = alt * up[i] + r_surf[i];
    }
}

}  // namespace
}  // namespace quorvane::kernels
