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

// The sines and cosines of a surface point's geodetic latitude phi, its
// longitude lambda and its reduced latitude beta: everything slots 3, 4 and 6
// take from the elementary functions after beta.
template <int K>
struct SurfaceTrig {
    V<K> sin_phi, cos_phi, sin_lambda, cos_lambda, sin_beta, cos_beta;
};

template <class P, int K>
QV_INLINE SurfaceTrig<K> surface_trig(const EllipsoidParams &E, V<K> phi, V<K> lambda)
{
    const V<K> beta = reduced_lat<P>(E, phi);
    return {sin<P>(phi), cos<P>(phi), sin<P>(lambda), cos<P>(lambda), sin<P>(beta), cos<P>(beta)};
}

// Slot 3. By the definition of geodetic latitude the normal depends on
// neither Re nor f.
template <int K>
QV_INLINE void normal_of(const SurfaceTrig<K> &t, V<K> *up)
{
    up[0] = t.cos_phi * t.cos_lambda;
    up[1] = t.cos_phi * t.sin_lambda;
    up[2] = t.sin_phi;
}

template <class P, int K>
QV_INLINE void normal(V<K> phi, V<K> lambda, V<K> *up)
{
    SurfaceTrig<K> t;
    t.cos_phi = cos<P>(phi);
    t.sin_phi = sin<P>(phi);
    t.cos_lambda = cos<P>(lambda);
    t.sin_lambda = sin<P>(lambda);
    normal_of(t, up);
}

// Slot 4.
template <class P, int K>
QV_INLINE void tangents_of(const EllipsoidParams &E, const SurfaceTrig<K> &t, V<K> *east,
                           V<K> *north)
{
    // d/dbeta of the meridian point is proportional to (-sin(beta), (1 - f)
    // cos(beta)); its length is d, so dividing by d gives a unit vector.
    const V<K> d = sqrt<P>(1.0 - E.e2 * t.cos_beta * t.cos_beta);
    // East follows the given longitude even at the poles; its z is exactly 0.
    east[0] = -t.sin_lambda;
    east[1] = t.cos_lambda;
    east[2] = splat<K>(0.0);
    north[0] = -t.sin_beta * t.cos_lambda / d;
    north[1] = -t.sin_beta * t.sin_lambda / d;
    north[2] = E.one_minus_f * t.cos_beta / d;
}

template <class P, int K>
QV_INLINE void tangents(const EllipsoidParams &E, V<K> phi, V<K> lambda, V<K> *east, V<K> *north)
{
    tangents_of<P>(E, surface_trig<P>(E, phi, lambda), east, north);
}

// Slot 6: the reduced-latitude form of the prime-vertical point
// (N cos(phi) cos(lambda), N cos(phi) sin(lambda), N (1 - e2) sin(phi)).
template <int K>
QV_INLINE void surface_position_of(const EllipsoidParams &E, const SurfaceTrig<K> &t, V<K> *r)
{
    r[0] = E.Re * t.cos_beta * t.cos_lambda;
    r[1] = E.Re * t.cos_beta * t.sin_lambda;
    r[2] = E.Rp * t.sin_beta;
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
