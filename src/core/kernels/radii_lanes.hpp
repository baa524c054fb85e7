// Radii of curvature of the ellipsoid at a geodetic latitude, and the distance
// from the centre to the surface point there: the prime vertical (transverse)
// radius N = Re / w, w^2 = 1 - e2 sin(lat)^2, the meridian radius
// M = Re (1 - e2) / w^3, the radius of the parallel N cos(lat), and the surface
// point (N cos(lat), N (1 - e2) sin(lat)) in the meridian plane.
#pragma once

#include "core/kernels/ellipsoid_params.hpp"
#include "core/kernels/lanes.hpp"

namespace quorvane::kernels {
namespace {

template <int K>
QV_INLINE V<K> square(V<K> a)
{
    return a * a;
}

// w^2 = 1 - e2 sin(lat)^2. For e2 <= 1/2 as written: the rounding of sin^2
// then enters scaled by e2, and a sphere gets exactly 1. Flatter ellipsoids
// take cos(lat)^2 + (1 - e2) sin(lat)^2, which does not cancel near the poles.
template <int K>
QV_INLINE V<K> w_squared(const EllipsoidParams &E, V<K> sin_lat_squared, V<K> cos_lat_squared)
{
    if (E.e2 <= 0.5) {
        return 1.0 - E.e2 * sin_lat_squared;
    }
    return cos_lat_squared + E.one_minus_f * E.one_minus_f * sin_lat_squared;
}

struct MeridianRadius {
    static constexpr int inputs = 1, outputs = 1;
    template <class P, int K>
    QV_INLINE static void lanes(const EllipsoidParams &E, const V<K> *x, V<K> *y)
    {
        const V<K> w2 = w_squared(E, square(sin<P>(x[0])), square(cos<P>(x[0])));
        y[0] = E.Re * (E.one_minus_f * E.one_minus_f) / (w2 * sqrt<P>(w2));
    }
};

struct TransverseRadius {
    static constexpr int inputs = 1, outputs = 1;
    template <class P, int K>
    QV_INLINE static void lanes(const EllipsoidParams &E, const V<K> *x, V<K> *y)
    {
        y[0] = E.Re / sqrt<P>(w_squared(E, square(sin<P>(x[0])), square(cos<P>(x[0]))));
    }
};

struct ParallelRadius {
    static constexpr int inputs = 1, outputs = 1;
    template <class P, int K>
    QV_INLINE static void lanes(const EllipsoidParams &E, const V<K> *x, V<K> *y)
    {
        const V<K> cos_lat = cos<P>(x[0]);
        y[0] = E.Re / sqrt<P>(w_squared(E, square(sin<P>(x[0])), cos_lat * cos_lat)) * cos_lat;
    }
};

struct GeocentricRadius {
    static constexpr int inputs = 1, outputs = 1;
    template <class P, int K>
    QV_INLINE static void lanes(const EllipsoidParams &E, const V<K> *x, V<K> *y)
    {
        const V<K> sin_lat = sin<P>(x[0]);
        const V<K> cos_lat = cos<P>(x[0]);
        const V<K> z_ratio = E.one_minus_f * E.one_minus_f * sin_lat;
        const V<K> N = E.Re / sqrt<P>(w_squared(E, sin_lat * sin_lat, cos_lat * cos_lat));
        y[0] = N * sqrt<P>(cos_lat * cos_lat + z_ratio * z_ratio);
    }
};

}  // namespace
}  // namespace quorvane::kernels
