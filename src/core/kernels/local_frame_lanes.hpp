// East-north-up, north-east-down and azimuth-elevation-range coordinates of
// targets relative to a geodetic observer, in both directions, and the
// rotations of vectors between ECEF and a local frame.
//
// Each conversion is Between two forms of a target's coordinates, through its
// components in the observer's frame; a body for Observed (observer_lanes.hpp)
// where a form needs the observer. ECEF targets are seen through their ECEF
// difference to the observer's position, dotted with its frame; the way back
// adds the frame-weighted components to that position and, for geodetic
// results, takes the geodetic conversion of lla_from_pos.
//
// Azimuths are clockwise from north in [0, 2 pi); elevations come from atan2 of
// the vertical and horizontal components, which keeps full precision at the
// zenith, where the arcsine of up / range (aer_coords) loses half the digits.
#pragma once

#include <algorithm>

#include "core/kernels/ellipsoid_params.hpp"
#include "core/kernels/geodetic_lanes.hpp"
#include "core/kernels/lanes.hpp"
#include "core/kernels/observer_lanes.hpp"
#include "core/kernels/ray_aer_lanes.hpp"
#include "core/kernels/sincos_lanes.hpp"
#include "core/kernels/surface_lanes.hpp"

namespace quorvane::kernels {
namespace {

// atan2's (-pi, pi] onto [0, 2 pi). A negative azimuth within half an ulp of
// 2 pi below zero would round to 2 pi itself; it is north, 0. Adding +0 turns
// the -0 of a target due north into +0.
template <int K>
QV_INLINE V<K> azimuth_from_north(V<K> atan2_result)
{
    const V<K> turned = atan2_result + kTwoPi;
    return select(atan2_result < 0.0, select(turned < kTwoPi, turned, splat<K>(0.0)),
                  atan2_result + 0.0);
}

// Target position r in the observer's frame.
template <int K>
QV_INLINE void local_of(const V<K> *r, const V<K> *observer, V<K> *d, V<K> *enu)
{
    for (int i = 0; i < 3; ++i) {
        d[i] = r[i] - observer[i];
    }
    enu[0] = dot3(d, observer + 3);
    enu[1] = dot3(d, observer + 6);
    enu[2] = dot3(d, observer + 9);
}

// The vector east e + north n + up u of a frame given as its three axes.
template <int K>
QV_INLINE void vector_of(V<K> e, V<K> n, V<K> u, const V<K> *east, const V<K> *north,
                         const V<K> *up, V<K> *v)
{
    for (int i = 0; i < 3; ++i) {
        v[i] = e * east[i] + n * north[i] + u * up[i];
    }
}

// The ECEF position of local coordinates: the offset first, so that the
// observer's position is added once, rounding once at its magnitude.
template <int K>
QV_INLINE void position_of_local(V<K> e, V<K> n, V<K> u, const V<K> *observer, V<K> *r)
{
    V<K> offset[3];
    vector_of(e, n, u, observer + 3, observer + 6, observer + 9, offset);
    for (int i = 0; i < 3; ++i) {
        r[i] = observer[i] + offset[i];
    }
}

// Azimuth and elevation of local components; the range is the caller's. On
// the vertical atan2 of two zeros would depend on their signs (-0 north gives
// pi); there, as at the origin, the azimuth is 0.
template <class P, int K>
QV_INLINE void direction_of(V<K> e, V<K> n, V<K> u, V<K> *azimuth, V<K> *elevation)
{
    *azimuth = select((e == 0.0) & (n == 0.0), splat<K>(0.0), azimuth_from_north(atan2<P>(e, n)));
    *elevation = atan2<P>(u, sqrt<P>(e * e + n * n));
}

template <class P, int K>
QV_INLINE void enu_of(V<K> azimuth, V<K> elevation, V<K> range, V<K> *enu)
{
    V<K> sin_az, cos_az, sin_el, cos_el;
    sincos<P>(azimuth, &sin_az, &cos_az);
    sincos<P>(elevation, &sin_el, &cos_el);
    const V<K> horizontal = range * cos_el;
    enu[0] = horizontal * sin_az;
    enu[1] = horizontal * cos_az;
    enu[2] = range * sin_el;
}

// Vectors (velocities, differences) in ECEF axes: their components along the
// axes of a geodetic latitude and longitude, given as observer[0..8].
template <int K>
QV_INLINE void rotate_to_local(const V<K> *x, const V<K> *axes, V<K> *enu)
{
    enu[0] = dot3(x, axes);
    enu[1] = dot3(x, axes + 3);
    enu[2] = dot3(x, axes + 6);
}

// The forms of a target's coordinates. to_local() gives the target's east,
// north and up components in the observer's frame, and returns the vector
// whose norm is its range: the ECEF difference to the observer for ECEF and
// geodetic forms, the vector itself for ECEF vectors and local forms.
// of_local() takes both back to the form. observer_inputs counts the
// observer's columns that the form needs: a position, the axes of a rotation,
// or none.

struct PosForm {
    static constexpr int observer_inputs = 3;
    template <class P, int K>
    QV_INLINE static const V<K> *to_local(const EllipsoidParams &, const V<K> *x,
                                          const V<K> *observer, V<K> *d, V<K> *enu)
    {
        local_of(x, observer, d, enu);
        return d;
    }
    template <class P, int K>
    QV_INLINE static void of_local(const EllipsoidParams &, const V<K> *, const V<K> *enu,
                                   const V<K> *observer, V<K> *y)
    {
        position_of_local(enu[0], enu[1], enu[2], observer, y);
    }
};

// Through the ECEF position, with the geodetic conversion of lla_from_pos.
struct LlaForm {
    static constexpr int observer_inputs = 3;
    template <class P, int K>
    QV_INLINE static const V<K> *to_local(const EllipsoidParams &E, const V<K> *x,
                                          const V<K> *observer, V<K> *d, V<K> *enu)
    {
        V<K> r[3];
        geodetic_position<P>(E, x[0], x[1], x[2], r);
        return PosForm::to_local<P>(E, r, observer, d, enu);
    }
    template <class P, int K>
    QV_INLINE static void of_local(const EllipsoidParams &E, const V<K> *d, const V<K> *enu,
                                   const V<K> *observer, V<K> *y)
    {
        V<K> r[3];
        PosForm::of_local<P>(E, d, enu, observer, r);
        geodetic_of<P>(E, r, y);
    }
};

// A vector in ECEF axes, rotated without translation.
struct EcefVectorForm {
    static constexpr int observer_inputs = 2;
    template <class P, int K>
    QV_INLINE static const V<K> *to_local(const EllipsoidParams &, const V<K> *x, const V<K> *axes,
                                          V<K> *, V<K> *enu)
    {
        rotate_to_local(x, axes, enu);
        return x;
    }
    template <class P, int K>
    QV_INLINE static void of_local(const EllipsoidParams &, const V<K> *, const V<K> *enu,
                                   const V<K> *axes, V<K> *y)
    {
        vector_of(enu[0], enu[1], enu[2], axes, axes + 3, axes + 6, y);
    }
};

// East-north-up, or north-east-down: the same axes, swapped and negated, which
// is exact and its own inverse.
template <bool kNorthEastDown>
struct AxesForm {
    static constexpr int observer_inputs = 0;
    template <int K>
    QV_INLINE static void reorder(const V<K> *from, V<K> *to)
    {
        to[0] = from[kNorthEastDown ? 1 : 0];
        to[1] = from[kNorthEastDown ? 0 : 1];
        to[2] = kNorthEastDown ? -from[2] : from[2];
    }
    template <class P, int K>
    QV_INLINE static const V<K> *to_local(const EllipsoidParams &, const V<K> *x, const V<K> *,
                                          V<K> *, V<K> *enu)
    {
        reorder(x, enu);
        return enu;
    }
    template <class P, int K>
    QV_INLINE static void of_local(const EllipsoidParams &, const V<K> *, const V<K> *enu,
                                   const V<K> *, V<K> *y)
    {
        reorder(enu, y);
    }
};

using EnuForm = AxesForm<false>;
using NedForm = AxesForm<true>;

// The range is the norm of the vector to_local() returned: from ECEF targets
// their ECEF difference, not its rotation.
struct AerForm {
    static constexpr int observer_inputs = 0;
    template <class P, int K>
    QV_INLINE static const V<K> *to_local(const EllipsoidParams &, const V<K> *x, const V<K> *,
                                          V<K> *, V<K> *enu)
    {
        enu_of<P>(x[0], x[1], x[2], enu);
        return enu;
    }
    template <class P, int K>
    QV_INLINE static void of_local(const EllipsoidParams &, const V<K> *d, const V<K> *enu,
                                   const V<K> *, V<K> *y)
    {
        y[2] = sqrt<P>(dot3(d, d));
        direction_of<P>(enu[0], enu[1], enu[2], y, y + 1);
    }
};

// A target's coordinates in one form from those in another: the body of
// Observed where a form needs the observer (its columns follow the target's),
// and a body of its own between local forms, which need none.
template <class From, class To>
struct Between {
    static constexpr int inputs = 3 + std::max(From::observer_inputs, To::observer_inputs);
    static constexpr int outputs = 3;
    template <class P, int K>
    QV_INLINE static void lanes(const EllipsoidParams &E, const V<K> *x, const V<K> *observer,
                                V<K> *y)
    {
        V<K> d[3];
        V<K> enu[3];
        const V<K> *range_vector = From::template to_local<P>(E, x, observer, d, enu);
        To::template of_local<P>(E, range_vector, enu, observer, y);
    }
    template <class P, int K>
    QV_INLINE static void lanes(const EllipsoidParams &E, const V<K> *x, V<K> *y)
    {
        static_assert(inputs == 3, "only local forms convert without an observer");
        lanes<P, K>(E, x, nullptr, y);
    }
};

// The bodies of the registry's local-frame conversions, <To>_from_<From>:
// Between itself where neither form needs an observer, else one of these.
// A target relative to a geodetic observer (lat0, lon0, alt0 after its columns).
template <class From, class To>
using Seen = Observed<Between<From, To>, 3>;
// A vector rotated at a geodetic latitude and longitude (lat0, lon0 after it).
template <class From, class To>
using Rotated = Observed<Between<From, To>, 3, GeodeticAxes>;

}  // namespace
}  // namespace quorvane::kernels
