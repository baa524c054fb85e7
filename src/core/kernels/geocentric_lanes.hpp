// Geocentric latitude of points above the ellipsoid, and geocentric-spherical
// coordinates (geocentric latitude, longitude, distance from the centre), both
// ways.
//
// In the meridian plane the point at geodetic latitude phi and height h is
// (p, z) = (Re cos(beta) + h cos(phi), Rp sin(beta) + h sin(phi)), beta the
// reduced latitude: the operations of pos_from_lla, so z has its bits.
#pragma once

#include "core/kernels/ellipsoid_params.hpp"
#include "core/kernels/geodetic_lanes.hpp"
#include "core/kernels/lanes.hpp"
#include "core/kernels/radii_lanes.hpp"
#include "core/kernels/surface_lanes.hpp"

namespace quorvane::kernels {
namespace {

template <class P, int K>
QV_INLINE void meridian_point(const EllipsoidParams &E, V<K> lat, V<K> alt, V<K> *p, V<K> *z)
{
    const V<K> beta = reduced_lat<P>(E, lat);
    *p = alt * cos<P>(lat) + E.Re * cos<P>(beta);
    *z = alt * sin<P>(lat) + E.Rp * sin<P>(beta);
}

// The direction of the meridian-plane point from the centre.
template <class P, int K>
QV_INLINE V<K> geocentric_lat(const EllipsoidParams &E, V<K> lat, V<K> alt)
{
    V<K> p, z;
    meridian_point<P>(E, lat, alt, &p, &z);
    return atan2<P>(z, p);
}

struct GeocentricLatFromGeodeticLat {
    static constexpr int inputs = 2, outputs = 1;
    template <class P, int K>
    QV_INLINE static void lanes(const EllipsoidParams &E, const V<K> *x, V<K> *y)
    {
        y[0] = geocentric_lat<P>(E, x[0], x[1]);
    }
};

struct SphericalFromLla {
    static constexpr int inputs = 3, outputs = 3;
    template <class P, int K>
    QV_INLINE static void lanes(const EllipsoidParams &E, const V<K> *x, V<K> *y)
    {
        V<K> p, z;
        meridian_point<P>(E, x[0], x[2], &p, &z);
        y[0] = atan2<P>(z, p);
        y[1] = x[1];
        y[2] = sqrt<P>(p * p + z * z);
    }
};

// The geodetic latitude and altitude of the meridian-plane point at distance
// radius and geocentric latitude psi, by lla_from_pos's steps; the longitude
// passes through untouched.
struct LlaFromSpherical {
    static constexpr int inputs = 3, outputs = 3;
    template <class P, int K>
    QV_INLINE static void lanes(const EllipsoidParams &E, const V<K> *x, V<K> *y)
    {
        const V<K> radius = x[2];
        const V<K> r[3] = {radius * cos<P>(x[0]), splat<K>(0.0), radius * sin<P>(x[0])};
        const V<K> beta = solve_reduced_lat<P>(E, r);
        const V<K> lon = x[1];
        y[0] = geodetic_lat<P>(E, beta);
        y[1] = lon;
        y[2] = altitude<P>(E, r, beta);
    }
};

// Newton's steps stop once a step is below this (radians): the next error is
// of the order of its square. Well beyond any count seen, the cut-off only
// bounds the work for points where the latitude is not unique (below the
// centres of curvature).
constexpr double kGeocentricTolerance = 1e-8;
constexpr int kMaxGeocentricSteps = 30;

// The geodetic latitude phi of the point at height h whose geocentric latitude
// is psi, by Newton's method on the angle from (cos(psi), sin(psi)) to
// (p(phi), z(phi)). Its derivative in phi is (M + h)(p cos(phi) + z sin(phi)) /
// (p^2 + z^2), the point moving north at the rate M + h (M the meridian
// radius). The start takes the prime-vertical radius at psi for the one at
// phi; at h = 0 it is exact, tan(phi) = tan(psi) / (1 - e2).
template <class P, int K>
QV_INLINE V<K> geodetic_lat_of_geocentric(const EllipsoidParams &E, V<K> psi, V<K> h)
{
    const double e2m = E.one_minus_f * E.one_minus_f;
    const V<K> sin_psi = sin<P>(psi);
    const V<K> cos_psi = cos<P>(psi);
    const V<K> N0 = E.Re / sqrt<P>(w_squared(E, sin_psi * sin_psi, cos_psi * cos_psi));
    V<K> phi = atan2<P>(sin_psi * (N0 + h), cos_psi * (N0 * e2m + h));
    M<K> active = splat<K>(0.0) == 0.0;
    for (int steps = 0; any(active) && steps < kMaxGeocentricSteps; ++steps) {
        const V<K> s = sin<P>(phi);
        const V<K> c = cos<P>(phi);
        const V<K> w2 = w_squared(E, s * s, c * c);
        const V<K> N = E.Re / sqrt<P>(w2);
        const V<K> Mh = N * e2m / w2 + h;
        const V<K> p = (N + h) * c;
        const V<K> z = (N * e2m + h) * s;
        const V<K> miss = atan2<P>(z * cos_psi - p * sin_psi, p * cos_psi + z * sin_psi);
        const V<K> inc = miss * (p * p + z * z) / (Mh * (p * c + z * s));
        phi = select(active, phi - inc, phi);
        // A NaN step compares false and ends the lane.
        active = active & (abs(inc) > kGeocentricTolerance);
    }
    return phi;
}

struct GeodeticLatFromGeocentricLat {
    static constexpr int inputs = 2, outputs = 1;
    template <class P, int K>
    QV_INLINE static void lanes(const EllipsoidParams &E, const V<K> *x, V<K> *y)
    {
        y[0] = geodetic_lat_of_geocentric<P>(E, x[0], x[1]);
    }
};

}  // namespace
}  // namespace quorvane::kernels
