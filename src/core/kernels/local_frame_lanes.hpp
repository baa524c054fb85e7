// East-north-up, north-east-down and azimuth-elevation-range coordinates of
// targets relative to a geodetic observer, in both directions, and the
// rotations of vectors between ECEF and a local frame.
//
// Targets seen from an observer are bodies for Observed (observer_lanes.hpp):
// ECEF differences to the observer's position, dotted with its frame. The
// inverse conversions add the frame-weighted components to that position and,
// for geodetic results, take the geodetic conversion of lla_from_pos.
//
// Azimuths are clockwise from north in [0, 2 pi); elevations come from atan2 of
// the vertical and horizontal components, which keeps full precision at the
// zenith, where the arcsine of up / range (aer_coords) loses half the digits.
#pragma once

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

template <int K>
QV_INLINE void local_of(const V<K> *r, const V<K> *observer, V<K> *enu)
{
    V<K> d[3];
    local_of(r, observer, d, enu);
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
QV_INLINE void aer_of(V<K> e, V<K> n, V<K> u, V<K> *aer)
{
    direction_of<P>(e, n, u, aer, aer + 1);
    aer[2] = sqrt<P>(e * e + n * n + u * u);
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

// The local frames, as their components of ENU ones and back: ENU itself,
// and NED (north, east, down), whose swap and negation are exact.
struct EnuFrame {
    template <int K>
    QV_INLINE static void of_enu(const V<K> *enu, V<K> *y)
    {
        y[0] = enu[0];
        y[1] = enu[1];
        y[2] = enu[2];
    }
    template <int K>
    QV_INLINE static void to_enu(const V<K> *x, V<K> *enu)
    {
        of_enu(x, enu);
    }
};

struct NedFrame {
    template <int K>
    QV_INLINE static void of_enu(const V<K> *enu, V<K> *ned)
    {
        ned[0] = enu[1];
        ned[1] = enu[0];
        ned[2] = -enu[2];
    }
    template <int K>
    QV_INLINE static void to_enu(const V<K> *ned, V<K> *enu)
    {
        of_enu(ned, enu);
    }
};

// Targets from positions, geodetic coordinates and local coordinates. Each
// takes (E, x, observer, y); x holds the target columns first.

template <class Frame>
struct LocalOfPos {
    static constexpr int inputs = 6, outputs = 3;
    template <class P, int K>
    QV_INLINE static void lanes(const EllipsoidParams &, const V<K> *x, const V<K> *observer,
                                V<K> *y)
    {
        V<K> enu[3];
        local_of(x, observer, enu);
        Frame::of_enu(enu, y);
    }
};

// The range is the norm of the ECEF difference, not of its rotation.
struct AerOfPos {
    static constexpr int inputs = 6, outputs = 3;
    template <class P, int K>
    QV_INLINE static void lanes(const EllipsoidParams &, const V<K> *x, const V<K> *observer,
                                V<K> *y)
    {
        V<K> d[3];
        V<K> enu[3];
        local_of(x, observer, d, enu);
        y[2] = sqrt<P>(dot3(d, d));
        direction_of<P>(enu[0], enu[1], enu[2], y, y + 1);
    }
};

template <class OfPos>
struct OfLla {
    static constexpr int inputs = 6, outputs = 3;
    template <class P, int K>
    QV_INLINE static void lanes(const EllipsoidParams &E, const V<K> *x, const V<K> *observer,
                                V<K> *y)
    {
        V<K> r[3];
        geodetic_position<P>(E, x[0], x[1], x[2], r);
        OfPos::template lanes<P, K>(E, r, observer, y);
    }
};

template <class Frame>
struct PosOfLocal {
    static constexpr int inputs = 6, outputs = 3;
    template <class P, int K>
    QV_INLINE static void lanes(const EllipsoidParams &, const V<K> *x, const V<K> *observer,
                                V<K> *y)
    {
        V<K> enu[3];
        Frame::to_enu(x, enu);
        position_of_local(enu[0], enu[1], enu[2], observer, y);
    }
};

struct PosOfAer {
    static constexpr int inputs = 6, outputs = 3;
    template <class P, int K>
    QV_INLINE static void lanes(const EllipsoidParams &, const V<K> *x, const V<K> *observer,
                                V<K> *y)
    {
        V<K> enu[3];
        enu_of<P>(x[0], x[1], x[2], enu);
        position_of_local(enu[0], enu[1], enu[2], observer, y);
    }
};

template <class PosOf>
struct LlaOf {
    static constexpr int inputs = 6, outputs = 3;
    template <class P, int K>
    QV_INLINE static void lanes(const EllipsoidParams &E, const V<K> *x, const V<K> *observer,
                                V<K> *y)
    {
        V<K> r[3];
        PosOf::template lanes<P, K>(E, x, observer, r);
        geodetic_of<P>(E, r, y);
    }
};

using EnuFromPos = Observed<LocalOfPos<EnuFrame>, 3>;
using NedFromPos = Observed<LocalOfPos<NedFrame>, 3>;
using AerFromPos = Observed<AerOfPos, 3>;
using EnuFromLla = Observed<OfLla<LocalOfPos<EnuFrame>>, 3>;
using NedFromLla = Observed<OfLla<LocalOfPos<NedFrame>>, 3>;
using AerFromLla = Observed<OfLla<AerOfPos>, 3>;
using PosFromEnu = Observed<PosOfLocal<EnuFrame>, 3>;
using PosFromNed = Observed<PosOfLocal<NedFrame>, 3>;
using PosFromAer = Observed<PosOfAer, 3>;
using LlaFromEnu = Observed<LlaOf<PosOfLocal<EnuFrame>>, 3>;
using LlaFromNed = Observed<LlaOf<PosOfLocal<NedFrame>>, 3>;
using LlaFromAer = Observed<LlaOf<PosOfAer>, 3>;

// Between local coordinates; no ellipsoid.

template <class Frame>
struct AerOfLocal {
    static constexpr int inputs = 3, outputs = 3;
    template <class P, int K>
    QV_INLINE static void lanes(const EllipsoidParams &, const V<K> *x, V<K> *y)
    {
        V<K> enu[3];
        Frame::to_enu(x, enu);
        aer_of<P>(enu[0], enu[1], enu[2], y);
    }
};

template <class Frame>
struct LocalOfAer {
    static constexpr int inputs = 3, outputs = 3;
    template <class P, int K>
    QV_INLINE static void lanes(const EllipsoidParams &, const V<K> *x, V<K> *y)
    {
        V<K> enu[3];
        enu_of<P>(x[0], x[1], x[2], enu);
        Frame::of_enu(enu, y);
    }
};

using AerFromEnu = AerOfLocal<EnuFrame>;
using AerFromNed = AerOfLocal<NedFrame>;
using EnuFromAer = LocalOfAer<EnuFrame>;
using NedFromAer = LocalOfAer<NedFrame>;

// Rotations of vectors (velocities, differences): targets of the axes at the
// geodetic latitude and longitude in x[3], x[4], observer[0..8].
template <int K>
QV_INLINE void rotate_to_local(const V<K> *x, const V<K> *axes, V<K> *enu)
{
    enu[0] = dot3(x, axes);
    enu[1] = dot3(x, axes + 3);
    enu[2] = dot3(x, axes + 6);
}

template <class Frame>
struct LocalOfEcefVector {
    static constexpr int inputs = 5, outputs = 3;
    template <class P, int K>
    QV_INLINE static void lanes(const EllipsoidParams &, const V<K> *x, const V<K> *axes, V<K> *y)
    {
        V<K> enu[3];
        rotate_to_local(x, axes, enu);
        Frame::of_enu(enu, y);
    }
};

template <class Frame>
struct EcefVectorOfLocal {
    static constexpr int inputs = 5, outputs = 3;
    template <class P, int K>
    QV_INLINE static void lanes(const EllipsoidParams &, const V<K> *x, const V<K> *axes, V<K> *y)
    {
        V<K> enu[3];
        Frame::to_enu(x, enu);
        vector_of(enu[0], enu[1], enu[2], axes, axes + 3, axes + 6, y);
    }
};

using EnuFromEcefVector = Observed<LocalOfEcefVector<EnuFrame>, 3, GeodeticAxes>;
using NedFromEcefVector = Observed<LocalOfEcefVector<NedFrame>, 3, GeodeticAxes>;
using EcefVectorFromEnu = Observed<EcefVectorOfLocal<EnuFrame>, 3, GeodeticAxes>;
using EcefVectorFromNed = Observed<EcefVectorOfLocal<NedFrame>, 3, GeodeticAxes>;

}  // namespace
}  // namespace quorvane::kernels
