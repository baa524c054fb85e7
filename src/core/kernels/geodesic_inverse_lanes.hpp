// The inverse geodesic problem as lane formulas: the shortest geodesic between
// two points, its length and its azimuths at both ends.
//
// The problem is first put in a canonical form by the ellipsoid's symmetries:
// longitude difference lambda12 in [0, pi], point 1 the one farther from the
// equator, in the southern hemisphere (beta1 <= 0, |beta2| <= -beta1). There
// the longitude reached on the geodesic from point 1 with azimuth alpha1 to
// the latitude of point 2, lambda(alpha1), increases with alpha1 over
// [0, pi], its derivative being m12 / (a cos(alpha2) cos(beta2)) with m12 the
// reduced length (Karney 2013), and alpha1 solves lambda(alpha1) =
// lambda12. Newton's method finds it from a great-circle start on the
// auxiliary sphere, or, for nearly antipodal points, from the first-order
// solution of the astroid (Karney 2013); a bracket of alpha1 that
// every evaluation narrows catches the steps that would leave it, which then
// bisect. Meridians (lambda12 = 0 or pi, or point 1 at a pole) and the
// equator up to its conjugate point are the geodesic at the start, and settle
// after one evaluation.
//
// The kernel runs in three phases (geodesic_inverse_driver.hpp): the
// canonical form and start of every geodesic, the search, and the results.
// Every formula here works lane by lane, so a lane's steps and results depend
// on its own geodesic alone, whichever lane it runs in and whatever runs
// beside it.
#pragma once

#include <cmath>
#include <limits>

#include "core/kernels/geodesic_lanes.hpp"
#include "core/kernels/geodesic_series.hpp"
#include "core/kernels/lanes.hpp"

namespace quorvane::kernels {
namespace {

constexpr double kEpsilon = std::numeric_limits<double>::epsilon();
// A sine standing in for 0 where a direction must be kept (the bracket's
// ends, a start due east on the equator).
constexpr double kTiny = 1.4916681462400413e-154;  // sqrt of the smallest normal

// Newton stops once |v| = |lambda(alpha1) - lambda12| < kEpsilon, or below 2
// kEpsilon after a step taken from below 4 kEpsilon: v has a round-off of
// about kEpsilon (it is computed as a small angle, eta below), so the first
// test alone could wait for ever. A residual v moves the end by up to
// a |v|, 1.4 nm per kEpsilon on Earth.
constexpr double kSettled = kEpsilon;
constexpr double kPolish = 4.0 * kEpsilon;
constexpr double kPolished = 2.0 * kEpsilon;
// Newton steps before the search only bisects: next to a conjugate point
// (nearly antipodal points near vertices) lambda' tends to 0 and Newton
// converges linearly, or, misled by round-off in lambda', not at all; 16 is
// more than any other search takes. Then a guard that bisection alone never
// reaches.
constexpr int kNewtonSteps = 16;
constexpr int kMaxSteps = 100;

// The values of a geodesic that pass from one phase of the kernel to the
// next, one column each.
enum InverseField : int {
    // The canonical problem.
    kSbet1,
    kCbet1,
    kSbet2,
    kCbet2,
    kLam12,
    kSlam12,
    kClam12,
    // alpha1: the start, then the solution.
    kSalp1,
    kCalp1,
    // 1 where the start is the geodesic (meridian, equator), else 0; a
    // meridian that is no shortest path is 0 in the solution.
    kSettleFirst,
    kMeridian,
    // The way back from the canonical form, and the lanes without a geodesic.
    kEquator,
    kSwap,
    kSinSign,
    kCosSign,
    kBad,
    // The arc on the auxiliary sphere at the solution.
    kSsig1,
    kCsig1,
    kSsig2,
    kCsig2,
    kSig12,
    kK2,
    kInverseFields
};

// The canonical problem of each lane.
template <int K>
struct Canonical {
    V<K> sbet1, cbet1, sbet2, cbet2;  // reduced latitudes, beta1 <= -|beta2|
    V<K> lam12;                       // longitude difference in [0, pi]
    V<K> slam12, clam12;              // its sine and cosine
};

// The geodesic from point 1 with azimuth alpha1 up to the latitude of point 2,
// on the auxiliary sphere.
template <int K>
struct Arc {
    V<K> ssig1, csig1, ssig2, csig2, sig12;
    V<K> k2;
};

// The search for alpha1 of each lane, and the arc at which it settled.
template <int K>
struct Search {
    V<K> salp1, calp1;  // the current alpha1
    V<K> sa, ca;        // alpha1 is above the bracket end a ...
    V<K> sb, cb;        // ... and below end b
    V<K> steps;
    M<K> polished;  // a Newton step was taken from |v| <= kPolish
    M<K> active;
    M<K> settle_first;
    M<K> meridian;  // a meridian start, until it proves no shortest path
    Arc<K> arc;
};

// cos(alpha2) cos(beta2) >= 0 in the canonical form, from cos^2(alpha2)
// cos^2(beta2) = cos^2(alpha1) cos^2(beta1) + cos^2(beta2) - cos^2(beta1)
// (Clairaut), its last two terms written as a product of whichever of the
// cosines or sines is smaller; |beta2| = |beta1| makes them exactly 0.
template <class P, int K>
QV_INLINE V<K> arrival_cos(const Canonical<K> &q, V<K> calp1)
{
    const V<K> c1c = calp1 * q.cbet1;
    const V<K> gap = select(q.cbet1 < -q.sbet1, (q.cbet2 - q.cbet1) * (q.cbet1 + q.cbet2),
                            (q.sbet1 - q.sbet2) * (q.sbet1 + q.sbet2));
    // Rounding can leave |beta2| an ulp above |beta1| and the sum an ulp below
    // 0, where the arrival is at the vertex.
    const V<K> square = c1c * c1c + gap;
    return select((q.cbet2 == q.cbet1) & (abs(q.sbet2) == -q.sbet1), abs(c1c),
                  sqrt<P>(select(square > 0.0, square, splat<K>(0.0))));
}

// Due east or west on the equator, sigma1 would be atan2(0, 0); a tiny
// southward component picks the side the geodesic leaves towards.
template <int K>
QV_INLINE V<K> leaving_cos(const Canonical<K> &q, V<K> calp1)
{
    return select((q.sbet1 == 0.0) & (calp1 == 0.0), splat<K>(-kTiny), calp1);
}

// lambda(alpha1) - lambda12 (v) and its derivative in alpha1 (dlam), from
// point 1 with azimuth (salp1, calp1) to the latitude of point 2; m12b is the
// reduced length / b the derivative comes from.
template <class P, int K>
QV_INLINE void evaluate(const GeodesicEllipsoid &g, const Canonical<K> &q, V<K> salp1, V<K> calp1,
                        Arc<K> &arc, V<K> &v, V<K> &dlam, V<K> &m12b)
{
    calp1 = leaving_cos(q, calp1);
    const V<K> salp0 = salp1 * q.cbet1;
    const V<K> sb1 = salp1 * q.sbet1;
    const V<K> k2 = g.ep2 * (calp1 * calp1 + sb1 * sb1);  // e'^2 cos^2(alpha0)
    V<K> ssig1 = q.sbet1;
    V<K> csig1 = calp1 * q.cbet1;
    normalize<P>(ssig1, csig1);
    const V<K> calp2_cbet2 = arrival_cos<P>(q, calp1);
    V<K> ssig2 = q.sbet2;
    V<K> csig2 = calp2_cbet2;
    normalize<P>(ssig2, csig2);
    // sigma12 and omega12 in [0, pi]: alpha1 in [0, pi] moves eastwards.
    const V<K> zero = splat<K>(0.0);
    const V<K> cross_sig = csig1 * ssig2 - ssig1 * csig2;
    const V<K> sig12 =
        atan2<P>(select(cross_sig > 0.0, cross_sig, zero), csig1 * csig2 + ssig1 * ssig2);
    // omega12 - lambda12 from the direction of omega12 turned back by
    // lambda12: a small angle near the solution, which atan2 gives to its own
    // precision rather than to an ulp of pi.
    const V<K> somg1 = salp0 * ssig1;
    const V<K> somg2 = salp0 * ssig2;
    const V<K> cross_omg = csig1 * somg2 - somg1 * csig2;
    const V<K> somg12 = select(cross_omg > 0.0, cross_omg, zero);
    const V<K> comg12 = csig1 * csig2 + somg1 * somg2;
    const V<K> eta =
        atan2<P>(somg12 * q.clam12 - comg12 * q.slam12, comg12 * q.clam12 + somg12 * q.slam12);

    const V<K> eps = eps_of<P>(k2);
    V<K> c3[kOrder - 1];
    c3_coefficients(g, eps, c3);
    const V<K> b312 =
        sine_series<kOrder - 1>(c3, ssig2, csig2) - sine_series<kOrder - 1>(c3, ssig1, csig1);
    v = eta - g.f * salp0 * a3_of(g, eps) * (sig12 + b312);

    // The reduced length (Karney 2013),
    //   m12 / b = dn2 cos(sig1) sin(sig2) - dn1 sin(sig1) cos(sig2) - cos(sig1) cos(sig2) J12,
    // dn = sqrt(1 + k^2 sin^2(sig)), with J12 = I1 - I2 over the arc to second
    // order in eps: the derivative it gives is then within eps^3 (5e-9 on
    // WGS84) of the exact one, which keeps Newton's convergence, and costs a
    // fraction of the sixth-order series. The results take none of it.
    const V<K> s2sig1 = 2.0 * ssig1 * csig1;
    const V<K> s2sig2 = 2.0 * ssig2 * csig2;
    const V<K> c2sig1 = (csig1 - ssig1) * (csig1 + ssig1);
    const V<K> c2sig2 = (csig2 - ssig2) * (csig2 + ssig2);
    const V<K> j12 = eps * ((2.0 + eps) * sig12 - (s2sig2 - s2sig1)) -
                     (eps * eps) * 0.5 * (s2sig2 * c2sig2 - s2sig1 * c2sig1);
    const V<K> dn1 = sqrt<P>(1.0 + k2 * (ssig1 * ssig1));
    const V<K> dn2 = sqrt<P>(1.0 + k2 * (ssig2 * ssig2));
    m12b = (dn2 * (csig1 * ssig2) - dn1 * (ssig1 * csig2)) - csig1 * csig2 * j12;
    // lambda' = (1 - f) m12 / (b cos(alpha2) cos(beta2)). At a vertex
    // (cos(alpha2) = 0, which the canonical form allows only for beta2 =
    // -beta1) that is 0/0, with the limit -2 (1 - f) dn1 / sin(beta1).
    const M<K> at_vertex = calp2_cbet2 == 0.0;
    dlam = select(at_vertex, -2.0 * dn1, m12b) / select(at_vertex, q.sbet1, calp2_cbet2) * g.f1;
    arc.ssig1 = ssig1;
    arc.csig1 = csig1;
    arc.ssig2 = ssig2;
    arc.csig2 = csig2;
    arc.sig12 = sig12;
    arc.k2 = k2;
}

// One evaluation of every lane and, for those still searching, the next alpha1.
template <class P, int K>
QV_INLINE void search_step(const GeodesicEllipsoid &g, const Canonical<K> &q, Search<K> &s)
{
    Arc<K> arc;
    V<K> v;
    V<K> dlam;
    V<K> m12b;
    evaluate<P>(g, q, s.salp1, s.calp1, arc, v, dlam, m12b);
    const M<K> now = s.active;
    // A meridian that passes a conjugate point (m12 < 0) is no shortest path;
    // it then searches like any other lane.
    const M<K> start_holds = s.settle_first & (~s.meridian | (m12b >= 0.0));
    s.meridian = s.meridian & (start_holds | ~now);
    s.arc.ssig1 = select(now, arc.ssig1, s.arc.ssig1);
    s.arc.csig1 = select(now, arc.csig1, s.arc.csig1);
    s.arc.ssig2 = select(now, arc.ssig2, s.arc.ssig2);
    s.arc.csig2 = select(now, arc.csig2, s.arc.csig2);
    s.arc.sig12 = select(now, arc.sig12, s.arc.sig12);
    s.arc.k2 = select(now, arc.k2, s.arc.k2);
    s.steps = s.steps + select(now, splat<K>(1.0), splat<K>(0.0));

    // NaN settles at once.
    const V<K> abs_v = abs(v);
    const M<K> settled = ~(abs_v >= kSettled) | (s.polished & ~(abs_v >= kPolished)) | start_holds |
                         ~(s.steps < kMaxSteps);
    M<K> go = now & ~settled;
    s.settle_first = s.settle_first & ~now;

    // lambda increases with alpha1: v > 0 puts alpha1 above the root.
    const M<K> above = go & (v > 0.0);
    const M<K> below = go & (v < 0.0);
    s.sb = select(above, s.salp1, s.sb);
    s.cb = select(above, s.calp1, s.cb);
    s.sa = select(below, s.salp1, s.sa);
    s.ca = select(below, s.calp1, s.ca);

    // Newton's step d = -v / lambda', applied as a rotation by atan(d), which
    // agrees with d to third order and never turns alpha1 by pi/2 or more.
    const V<K> d = -v / dlam;
    V<K> ns = s.salp1 + s.calp1 * d;
    V<K> nc = s.calp1 - s.salp1 * d;
    normalize<P>(ns, nc);
    const M<K> newton = s.steps < kNewtonSteps;
    const M<K> inside =
        (dlam > 0.0) & (ns > 0.0) & (nc * s.sa <= s.ca * ns) & (nc * s.sb >= s.cb * ns) & newton;
    // A Newton step that would leave the bracket bisects it instead, unless v
    // is already at its round-off: the bracket's far end may then be
    // anywhere, and its midpoint no better than alpha1. After kNewtonSteps
    // every step bisects. The midpoint is only computed when some lane needs
    // it, which changes no lane's value.
    const M<K> at_round_off = abs_v <= kPolish;
    go = go & (inside | ~at_round_off | ~newton);
    const M<K> bisect = go & ~inside;
    if (any(bisect)) {
        V<K> ms = s.sa + s.sb;
        V<K> mc = s.ca + s.cb;
        normalize<P>(ms, mc);
        ns = select(bisect, ms, ns);
        nc = select(bisect, mc, nc);
    }
    // Once neither a step nor the bracket's midpoint moves alpha1 (a bracket
    // of adjacent doubles), the current evaluation is the last.
    go = go & ~((ns == s.salp1) & (nc == s.calp1));
    s.polished = s.polished | (go & at_round_off);
    s.salp1 = select(go, ns, s.salp1);
    s.calp1 = select(go, nc, s.calp1);
    s.active = go;
}

// The positive root of k^4 + 2 k^3 + (1 - x^2 - y^2) k^2 - 2 y^2 k - y^2 = 0,
// in closed form (Karney 2013, and "Geodesics on an ellipsoid of revolution",
// arXiv:1102.1215, 2011), 0 on the segment y = 0, |x| <= 1. Scalar:
// only nearly antipodal lanes need it, and cbrt is in no vector policy.
inline double astroid_root(double x, double y)
{
    const double p = x * x;
    const double q = y * y;
    const double r = (p + q - 1.0) / 6.0;
    if (q == 0.0 && r <= 0.0) {
        return 0.0;
    }
    const double S = p * q / 4.0;
    const double r2 = r * r;
    const double r3 = r * r2;
    // The discriminant of the cubic in u that the quartic reduces to.
    const double disc = S * (S + 2.0 * r3);
    double u = r;
    if (disc >= 0.0) {
        // One real root; the sign of the square root avoids cancellation.
        double t3 = S + r3;
        t3 += t3 < 0.0 ? -std::sqrt(disc) : std::sqrt(disc);
        const double t = std::cbrt(t3);
        u += t + (t != 0.0 ? r2 / t : 0.0);
    } else {
        // Three real roots; the largest.
        const double angle = std::atan2(std::sqrt(-disc), -(S + r3));
        u += 2.0 * r * std::cos(angle / 3.0);
    }
    const double v = std::sqrt(u * u + q);
    // u + v without cancellation when u < 0.
    const double uv = u < 0.0 ? q / (v - u) : u + v;
    const double w = (uv - q) / (2.0 * v);
    return uv / (std::sqrt(uv + w * w) + w);
}

// The start for a nearly antipodal lane (scalar, see astroid_root). In units
// of the longitude deficit of half a circuit, f pi A3 cos(beta1) (x, from the
// antipodal meridian) and that times cos(beta1) (y, from the antipodal
// parallel), the geodesics from point 1 with azimuth alpha1 end, to first
// order in f, near (x, y) = (-(1 + k) sin(alpha1), k cos(alpha1)); the
// envelope of these lines is the astroid x^(2/3) + y^(2/3) = 1.
inline void antipodal_start(const GeodesicEllipsoid &g, double sbet1, double cbet1, double cbet2,
                            double sbet12a, double lam12, double *salp1, double *calp1)
{
    // alpha0 of the geodesic through point 1 due east: sin(alpha0) = cos(beta1).
    const double k2 = g.ep2 * sbet1 * sbet1;
    const double eps = k2 / (2.0 * (1.0 + std::sqrt(1.0 + k2)) + k2);
    double a3 = g.a3[kOrder - 2];
    for (int j = kOrder - 3; j >= 0; --j) {
        a3 = a3 * eps + g.a3[j];
    }
    a3 = 1.0 + a3 * eps;
    const double lam_scale = g.f * cbet1 * a3 * kPi;
    const double x = (lam12 - kPi) / lam_scale;
    const double y = sbet12a / (lam_scale * cbet1);
    // On the cut segment y = 0, |x| <= 1, the root k = 0 leaves cos(alpha1) =
    // y / k undetermined, and the azimuth follows from x alone: the geodesics
    // through the antipodal parallel cross it with sin(alpha1) = -x. Beyond the
    // cusp (x < -1) the root stays away from 0, and its azimuth puts Newton on
    // the far side of the root from the vertex geodesic (alpha1 = pi/2), where
    // lambda' vanishes.
    constexpr double kNearSegmentY = 200.0 * kEpsilon;
    if (y > -kNearSegmentY && x >= -1.0) {
        *salp1 = std::fmin(1.0, -x);
        *calp1 = -std::sqrt(1.0 - *salp1 * *salp1);
        return;
    }
    const double k = astroid_root(x, y);
    // The longitude on the auxiliary sphere this puts point 2 at, and the
    // great-circle azimuth to it there, which is better conditioned than
    // (-x / (1 + k), y / k) itself.
    const double omg12a = lam_scale * (-x * k / (1.0 + k));
    const double somg12 = std::sin(omg12a);
    const double comg12 = -std::cos(omg12a);
    *salp1 = cbet2 * somg12;
    *calp1 = sbet12a - cbet2 * sbet1 * somg12 * somg12 / (1.0 - comg12);
}

template <int K>
QV_INLINE V<K> flushed(V<K> phi)
{
    return select(abs(phi) < 1e-100, splat<K>(0.0), phi);
}

template <int K>
QV_INLINE V<K> max_abs(V<K> a, V<K> b)
{
    return select(abs(a) > abs(b), abs(a), abs(b));
}

// The azimuth at point 1 of the great circle to point 2 on the auxiliary
// sphere, unnormalised: cos(beta2) sin(omega12) and cos(beta1) sin(beta2) -
// sin(beta1) cos(beta2) cos(omega12), the latter written without its
// cancellation near omega12 = 0 and near pi.
template <int K>
QV_INLINE void great_circle(const Canonical<K> &q, V<K> sbet12, V<K> sbet12a, V<K> somg12,
                            V<K> comg12, V<K> &salp1, V<K> &calp1)
{
    const V<K> t = q.cbet2 * q.sbet1 * (somg12 * somg12);
    salp1 = q.cbet2 * somg12;
    calp1 = select(comg12 >= 0.0, sbet12 + t / (1.0 + comg12), sbet12a - t / (1.0 - comg12));
}

// The same azimuth as a unit vector, and the length of the unnormalised one,
// sin(sigma12). Scaled first: for a lambda12 of 1e-300 both components are tiny.
template <class P, int K>
QV_INLINE V<K> great_circle_unit(const Canonical<K> &q, V<K> sbet12, V<K> sbet12a, V<K> somg12,
                                 V<K> comg12, V<K> &salp1, V<K> &calp1)
{
    great_circle(q, sbet12, sbet12a, somg12, comg12, salp1, calp1);
    const V<K> scale = max_abs(salp1, calp1);
    salp1 = salp1 / scale;
    calp1 = calp1 / scale;
    const V<K> length = sqrt<P>(salp1 * salp1 + calp1 * calp1) * scale;
    normalize<P>(salp1, calp1);
    return length;
}

// The canonical form and start of each lane: r[kSbet1] .. r[kBad] from
// x = lat1, lon1, lat2, lon2.
template <class P, int K>
QV_INLINE void inverse_start(const GeodesicEllipsoid &g, const V<K> *x, V<K> *r)
{
    const V<K> one = splat<K>(1.0);
    const V<K> zero = splat<K>(0.0);
    // Swap the points if point 2 is farther from the equator (reversing the
    // longitude difference), then reflect in the prime meridian and in the
    // equator as needed.
    // Latitudes below 1e-100 (6e-94 m from the equator) are the equator, and
    // such longitude differences 0: squares and products of their sines
    // would underflow in the formulas below.
    const V<K> lam_given = flushed(wrapped_sum(x[3], -x[1]));
    const M<K> swap = abs(x[0]) < abs(x[2]);
    const V<K> phi1 = flushed(select(swap, x[2], x[0]));
    const V<K> phi2 = flushed(select(swap, x[0], x[2]));
    const V<K> lam_swapped = select(swap, -lam_given, lam_given);
    const V<K> lon_sign = unit_with_sign_of(lam_swapped);
    // On the equator (phi1 = 0) too, so that of the two shortest paths
    // between antipodal points there the one over the north pole is taken.
    const V<K> lat_sign = select(phi1 < 0.0, one, -one);
    Canonical<K> q;
    q.lam12 = abs(lam_swapped);
    // From |phi| with the sign applied after, so that equal |phi| give
    // reduced latitudes of exactly equal magnitude.
    const V<K> abs_phi1 = abs(phi1);
    reduced_latitude<P>(g, abs_phi1, q.sbet1, q.cbet1);
    reduced_latitude<P>(g, abs(phi2), q.sbet2, q.cbet2);
    // Rounding of sin and cos can put beta2 an ulp farther from the equator
    // than beta1 when the latitudes differ by an ulp or two; then the
    // geodesic from point 1 would just miss point 2's parallel. Such a point
    // is taken on point 1's parallel. Compared by the sines or the cosines,
    // whichever is smaller and so resolves the latitude, as arrival_cos uses
    // them.
    const M<K> near_pole = q.cbet1 < q.sbet1;
    const M<K> farther = (near_pole & (q.cbet2 < q.cbet1)) | (~near_pole & (q.sbet2 > q.sbet1));
    q.sbet2 = select(farther, q.sbet1, q.sbet2);
    q.cbet2 = select(farther, q.cbet1, q.cbet2);
    q.sbet1 = -q.sbet1;
    q.sbet2 = q.sbet2 * (lat_sign * unit_with_sign_of(phi2));

    const M<K> at_pole = abs_phi1 == kHalfPi;
    const M<K> meridian = (q.lam12 == 0.0) | (q.lam12 == kPi) | at_pole;
    const M<K> equator = ~meridian & (abs_phi1 == 0.0) & (q.lam12 <= g.f1 * kPi);

    // The great circle on the auxiliary sphere with omega12 = lambda12, or for
    // short lines the local scale of longitude at the mean latitude,
    // d lambda / d omega = (1 - f) sqrt(1 + e'^2 sin^2(beta)).
    const V<K> sbet12 = q.sbet2 * q.cbet1 - q.cbet2 * q.sbet1;  // sin(beta2 - beta1) >= 0
    const V<K> cbet12 = q.cbet2 * q.cbet1 + q.sbet2 * q.sbet1;
    const V<K> sbet12a = q.sbet2 * q.cbet1 + q.cbet2 * q.sbet1;  // sin(beta2 + beta1) <= 0
    const V<K> sbet_sum = q.sbet1 + q.sbet2;
    const V<K> cbet_sum = q.cbet1 + q.cbet2;
    const V<K> sbetm2 = sbet_sum * sbet_sum / (sbet_sum * sbet_sum + cbet_sum * cbet_sum);
    const V<K> omg12_short = q.lam12 / (g.f1 * sqrt<P>(1.0 + g.ep2 * sbetm2));
    // Near a pole, points on opposite meridians are close too, but the scale
    // would take omega12 beyond pi.
    const M<K> short_line =
        (cbet12 >= 0.0) & (sbet12 < 0.5) & (q.cbet2 * q.lam12 < 0.5) & (omg12_short <= kPi);
    // sin and cos of lambda12, exact at 0 and pi.
    const M<K> lam_end = (q.lam12 == 0.0) | (q.lam12 == kPi);
    q.slam12 = select(lam_end, zero, sin<P>(q.lam12));
    q.clam12 = select(lam_end, select(q.lam12 == 0.0, one, -one), cos<P>(q.lam12));
    V<K> somg12 = q.slam12;
    V<K> comg12 = q.clam12;
    if (any(short_line)) {
        somg12 = select(short_line, sin<P>(omg12_short), somg12);
        comg12 = select(short_line, cos<P>(omg12_short), comg12);
    }
    V<K> salp1;
    V<K> calp1;
    const V<K> ssig12 = great_circle_unit<P>(q, sbet12, sbet12a, somg12, comg12, salp1, calp1);
    const V<K> csig12 = q.sbet1 * q.sbet2 + q.cbet1 * q.cbet2 * comg12;
    // Beyond short lines, omega12 exceeds lambda12 by f sin(alpha0) sigma12 to
    // first order in f; a second great circle with omega12 moved by that saves
    // about one Newton step. The rotation by at most f pi uses the sine and
    // cosine series to third and second order, as good as a first-order start.
    const V<K> domg = g.f * (salp1 * q.cbet1) * atan2<P>(ssig12, csig12);
    const V<K> domg2 = domg * domg;
    const V<K> sd = domg * (1.0 - domg2 * (1.0 / 6.0));
    const V<K> cd = 1.0 - 0.5 * domg2;
    const V<K> somg12x = somg12 * cd + comg12 * sd;
    const V<K> comg12x = comg12 * cd - somg12 * sd;
    const M<K> refine = ~short_line & (somg12x > 0.0);
    somg12 = select(refine, somg12x, somg12);
    comg12 = select(refine, comg12x, comg12);
    V<K> salp1x;
    V<K> calp1x;
    great_circle_unit<P>(q, sbet12, sbet12a, somg12, comg12, salp1x, calp1x);
    salp1 = select(refine, salp1x, salp1);
    calp1 = select(refine, calp1x, calp1);
    // Within about 3 f pi cos^2(beta1) of the antipode the great circle is
    // no guide; the astroid is, while f is small enough for first order.
    const M<K> antipodal = ~meridian & ~equator & (csig12 < 0.0) &
                           (ssig12 < 6.0 * g.n * kPi * (q.cbet1 * q.cbet1)) &
                           (splat<K>(g.n) <= 0.1);
    if (any(antipodal)) {
        for (int k = 0; k < K; ++k) {
            for (int j = 0; j < kLanes; ++j) {
                if (antipodal.v[k][j] != 0) {
                    double s = 0.0;
                    double c = 0.0;
                    antipodal_start(g, q.sbet1.v[k][j], q.cbet1.v[k][j], q.cbet2.v[k][j],
                                    sbet12a.v[k][j], q.lam12.v[k][j], &s, &c);
                    const double norm = std::sqrt(s * s + c * c);
                    salp1.v[k][j] = s / norm;
                    calp1.v[k][j] = c / norm;
                }
            }
        }
    }
    // On a meridian alpha1 = lambda12; from a pole, any azimuth leaves
    // along the meridian it names.
    r[kSalp1] = select(meridian, q.slam12, select(equator, one, salp1));
    r[kCalp1] = select(meridian, q.clam12, select(equator, zero, calp1));
    r[kSbet1] = q.sbet1;
    r[kCbet1] = q.cbet1;
    r[kSbet2] = q.sbet2;
    r[kCbet2] = q.cbet2;
    r[kLam12] = q.lam12;
    r[kSlam12] = q.slam12;
    r[kClam12] = q.clam12;
    r[kSettleFirst] = select(meridian | equator, one, zero);
    r[kMeridian] = select(meridian, one, zero);
    r[kEquator] = select(equator, one, zero);
    // The reflections change the signs of sin(alpha) and cos(alpha); the swap
    // exchanges the ends and reverses the direction of travel.
    const V<K> swap_sign = select(swap, -one, one);
    r[kSwap] = select(swap, one, zero);
    r[kSinSign] = swap_sign * lon_sign;
    r[kCosSign] = swap_sign * lat_sign;
    r[kBad] = select(beyond_pole(x[0]) | beyond_pole(x[2]), one, zero);
}

// The results of each lane from its solution: s12, azi1, azi2, and with
// kLengths a12 and m12.
template <class P, bool kLengths, int K>
QV_INLINE void inverse_results(const GeodesicEllipsoid &g, const V<K> *r, V<K> *y)
{
    const V<K> one = splat<K>(1.0);
    const V<K> zero = splat<K>(0.0);
    const V<K> eps = eps_of<P>(r[kK2]);
    V<K> c1[kOrder];
    c1_coefficients(eps, c1);
    const V<K> b112 = sine_series<kOrder>(c1, r[kSsig2], r[kCsig2]) -
                      sine_series<kOrder>(c1, r[kSsig1], r[kCsig1]);
    const V<K> s12b = (1.0 + a1_minus_1(eps)) * (r[kSig12] + b112);
    // The azimuth at point 2 (Clairaut: sin(alpha2) cos(beta2) = sin(alpha1)
    // cos(beta1)). A meridian arrives heading north (in the canonical form),
    // also at a pole, where Clairaut's relation leaves it undetermined.
    const Canonical<K> q{r[kSbet1], r[kCbet1],  r[kSbet2], r[kCbet2],
                         r[kLam12], r[kSlam12], r[kClam12]};
    const M<K> same_parallel = q.cbet2 == q.cbet1;
    const V<K> salp2 = select(same_parallel, r[kSalp1], r[kSalp1] * q.cbet1 / q.cbet2);
    const V<K> calp2 = arrival_cos<P>(q, leaving_cos(q, r[kCalp1])) / q.cbet2;
    const M<K> meridian = r[kMeridian] != 0.0;
    // Along the equator: s12 = a lambda12, due east at both ends.
    const M<K> equator = r[kEquator] != 0.0;
    const V<K> s12 = select(equator, g.a * r[kLam12], g.b * s12b);
    const V<K> sa1 = select(equator, one, r[kSalp1]);
    const V<K> ca1 = select(equator, zero, r[kCalp1]);
    const V<K> sa2 = select(equator, one, select(meridian, zero, salp2));
    const V<K> ca2 = select(equator, zero, select(meridian, one, calp2));
    const M<K> swap = r[kSwap] != 0.0;
    const M<K> bad = r[kBad] != 0.0;
    const V<K> nan = splat<K>(std::numeric_limits<double>::quiet_NaN());
    y[0] = select(bad, nan, s12);
    y[1] = select(
        bad, nan,
        azimuth_of<P>(r[kSinSign] * select(swap, sa2, sa1), r[kCosSign] * select(swap, ca2, ca1)));
    y[2] = select(
        bad, nan,
        azimuth_of<P>(r[kSinSign] * select(swap, sa1, sa2), r[kCosSign] * select(swap, ca1, ca2)));
    if constexpr (kLengths) {
        // Along the equator sigma12 = lambda12 / (1 - f) and m12 = b sin(sigma12).
        const V<K> sig12 = select(equator, r[kLam12] / g.f1, r[kSig12]);
        const V<K> m12b =
            reduced_length<P>(r[kK2], eps, r[kSsig1], r[kCsig1], r[kSsig2], r[kCsig2], r[kSig12]);
        y[3] = select(bad, nan, sig12);
        y[4] = select(bad, nan, g.b * select(equator, sin<P>(sig12), m12b));
    }
}

}  // namespace
}  // namespace quorvane::kernels
