// Conversions relative to a geodetic observer: the observer's position and
// frame, and the driver that gives a target body its observer, computed per
// point or, when every point has the same observer, once per call.
//
// Position and frame come from the sines and cosines of the latitude and
// longitude alone (sincos_lanes.hpp, within about one ulp), through the
// prime-vertical radius N: two sine-cosine pairs where pos_from_lla's
// reduced-latitude form and the tangents of slot 4 take twenty elementary
// functions, and with them ENU coordinates 10 000 km away stay within a few
// nanometres of exact (pos_from_lla and tangents on libmvec: 9 nm).
#pragma once

#include <cstddef>

#include "core/kernels/ellipsoid_params.hpp"
#include "core/kernels/lanes.hpp"
#include "core/kernels/radii_lanes.hpp"
#include "core/kernels/sincos_lanes.hpp"

namespace quorvane::kernels {
namespace {

// The position of geodetic coordinates from their sines and cosines:
// ((N + h) cos(lat) cos(lon), (N + h) cos(lat) sin(lon), (N (1 - e2) + h) sin(lat))
// with N the prime-vertical radius (radii_lanes.hpp).
template <class P, int K>
QV_INLINE void geodetic_point(const EllipsoidParams &E, V<K> sin_lat, V<K> cos_lat, V<K> sin_lon,
                              V<K> cos_lon, V<K> alt, V<K> *r)
{
    const double e2m = E.one_minus_f * E.one_minus_f;
    const V<K> N = E.Re / sqrt<P>(w_squared(E, sin_lat * sin_lat, cos_lat * cos_lat));
    const V<K> p = (N + alt) * cos_lat;
    r[0] = p * cos_lon;
    r[1] = p * sin_lon;
    r[2] = (N * e2m + alt) * sin_lat;
}

template <class P, int K>
QV_INLINE void geodetic_position(const EllipsoidParams &E, V<K> lat, V<K> lon, V<K> alt, V<K> *r)
{
    V<K> sin_lat, cos_lat, sin_lon, cos_lon;
    sincos<P>(lat, &sin_lat, &cos_lat);
    sincos<P>(lon, &sin_lon, &cos_lon);
    geodetic_point<P>(E, sin_lat, cos_lat, sin_lon, cos_lon, alt, r);
}

// East, north and up unit vectors at a geodetic latitude and longitude, from
// their sines and cosines: north is up's derivative in latitude, east its
// derivative in longitude over cos(lat) (at the poles, the direction of
// increasing longitude). They involve no ellipsoid.
template <int K>
QV_INLINE void geodetic_axes(V<K> sin_lat, V<K> cos_lat, V<K> sin_lon, V<K> cos_lon, V<K> *axes)
{
    axes[0] = -sin_lon;
    axes[1] = cos_lon;
    axes[2] = splat<K>(0.0);
    axes[3] = -sin_lat * cos_lon;
    axes[4] = -sin_lat * sin_lon;
    axes[5] = cos_lat;
    axes[6] = cos_lat * cos_lon;
    axes[7] = cos_lat * sin_lon;
    axes[8] = sin_lat;
}

template <class P, int K>
QV_INLINE void geodetic_axes(V<K> lat, V<K> lon, V<K> *axes)
{
    V<K> sin_lat, cos_lat, sin_lon, cos_lon;
    sincos<P>(lat, &sin_lat, &cos_lat);
    sincos<P>(lon, &sin_lon, &cos_lon);
    geodetic_axes(sin_lat, cos_lat, sin_lon, cos_lon, axes);
}

// The observer: position xyz, then its east, north and up axes, from its
// latitude, longitude and altitude.
struct GeodeticObserver {
    static constexpr int inputs = 3, outputs = 12;
    template <class P, int K>
    QV_INLINE static void lanes(const EllipsoidParams &E, const V<K> *x, V<K> *y)
    {
        V<K> sin_lat, cos_lat, sin_lon, cos_lon;
        sincos<P>(x[0], &sin_lat, &cos_lat);
        sincos<P>(x[1], &sin_lon, &cos_lon);
        geodetic_point<P>(E, sin_lat, cos_lat, sin_lon, cos_lon, x[2], y);
        geodetic_axes(sin_lat, cos_lat, sin_lon, cos_lon, y + 3);
    }
};

// The axes alone, from a latitude and longitude: the observer of rotations.
struct GeodeticAxes {
    static constexpr int inputs = 2, outputs = 9;
    template <class P, int K>
    QV_INLINE static void lanes(const EllipsoidParams &, const V<K> *x, V<K> *y)
    {
        geodetic_axes<P>(x[0], x[1], y);
    }
};

// A body of targets (inputs and outputs of the conversion, lanes taking the
// observer's values as a further argument) whose observer's columns (lat0,
// lon0 and, for GeodeticObserver, alt0) start at input column `first`.
template <class Target, int first, class Observer = GeodeticObserver>
struct Observed {
    static constexpr int inputs = Target::inputs, outputs = Target::outputs;

    template <class P, int K>
    QV_INLINE static void lanes(const EllipsoidParams &E, const V<K> *x, V<K> *y)
    {
        V<K> observer[Observer::outputs];
        Observer::template lanes<P, K>(E, x + first, observer);
        Target::template lanes<P, K>(E, x, observer, y);
    }

    // A broadcast observer (stride-0 columns) is converted once, on one point;
    // each lane then gets the bits it would have computed itself.
    template <class P, class Columns>
    static void cells_kernel(double Re, double f, std::ptrdiff_t n, const In *in, const Out *out,
                             Columns &cells)
    {
        const In *obs = in + first;
        bool broadcast = n >= 2;
        for (int c = 0; c < Observer::inputs; ++c) {
            broadcast = broadcast && obs[c].stride == 0;
        }
        if (!broadcast) {
            run_cells<P, Observed>(make_params(Re, f), n, in, out, cells);
            return;
        }
        const auto context = one_observer<P, Observer, typename Columns::InCell>(Re, f, obs);
        // A target's columns before its observer's are all that it reads.
        constexpr int columns = first > 0 ? first : Target::inputs;
        run_cells<P, TargetsOfOneObserver<Target, Observer, columns>>(context, n, in, out, cells);
    }
};

}  // namespace
}  // namespace quorvane::kernels
