// Geodesics on the ellipsoid as lane formulas: what the direct and inverse
// problems share, and the direct problem.
//
// A geodesic is mapped to a great circle on the auxiliary sphere (Bessel,
// Helmert; Karney, "Algorithms for geodesics", J. Geodesy 87, 2013): the
// reduced latitude beta, tan(beta) = (1 - f) tan(phi), is kept, the azimuth
// alpha is kept, and the longitude omega and the arc length sigma on the
// sphere map to the ellipsoid's longitude lambda and distance s through the
// series of geodesic_series.hpp. Every angle is carried as its sine and cosine
// (a unit vector) and turned into radians by atan2 only at the end, which
// keeps full precision near 0, pi/2 and pi without branches.
#pragma once

#include <cstddef>
#include <limits>

#include "core/kernels/geodesic_series.hpp"
#include "core/kernels/lanes.hpp"
#include "core/kernels/surface_lanes.hpp"

namespace quorvane::kernels {
namespace {

// The driver of kernel_bodies.hpp, which includes the geodesic headers before
// defining it. The geodesic kernels run it with their ellipsoid's series
// coefficients as the context, set up once per call.
template <class P, class Body, class Context>
void run_with(const Context &context, std::ptrdiff_t n, const In *in, const Out *out);

// (s, c) scaled to a unit vector (one division: they are the costly
// instructions of the geodesic kernels).
template <class P, int K>
QV_INLINE void normalize(V<K> &s, V<K> &c)
{
    const V<K> inverse = 1.0 / sqrt<P>(s * s + c * c);
    s = s * inverse;
    c = c * inverse;
}

// The integer nearest x, ties to even, by IEEE addition alone: adding and
// subtracting 2^52 rounds a smaller magnitude to an integer, and from 2^52 on
// every double is one. NaN and infinities pass through.
template <int K>
QV_INLINE V<K> nearest_integer(V<K> x)
{
    constexpr double kTwo52 = 4503599627370496.0;
    const V<K> shift = unit_with_sign_of(x) * kTwo52;
    return select(abs(x) < kTwo52, (x + shift) - shift, x);
}

// 2 pi in two parts (Cody and Waite): the first has 33 significant bits, so
// that its products with turn counts below 2^20 are exact.
constexpr double kTwoPiHigh = 6.2831853069365025;
constexpr double kTwoPiLow = 2.430840202602477e-10;

// a + b as an angle in (-pi, pi]: the rounding error of the sum (Knuth's
// two-sum) is added back after the whole turns are taken off, which keeps
// the result within round-off of pi for |a + b| below 2^20 turns. A sum
// already in [-pi, pi] without rounding error is returned to the bit.
template <int K>
QV_INLINE V<K> wrapped_sum(V<K> a, V<K> b)
{
    const V<K> sum = a + b;
    const V<K> b_part = sum - a;
    const V<K> error = (a - (sum - b_part)) + (b - b_part);
    const V<K> turns = nearest_integer(sum / kTwoPi);
    V<K> r = ((sum - turns * kTwoPiHigh) - turns * kTwoPiLow) + error;
    r = select(r <= -kPi, r + kTwoPi, r);
    return select(r > kPi, r - kTwoPi, r);
}

// What the geodesic kernels share: four inputs, three outputs or with kLengths
// five, and the kernel, which runs Body::run on the ellipsoid's series set up
// once per call, or for an ellipsoid too flat for the series makes every
// output NaN.
template <class Body, bool kLengths>
struct GeodesicKernel {
    static constexpr int inputs = 4, outputs = kLengths ? 5 : 3;

    template <class P>
    static void kernel(double Re, double f, std::ptrdiff_t n, const In *in, const Out *out)
    {
        if (f > kMaxGeodesicFlattening) {
            for (int c = 0; c < outputs; ++c) {
                for (std::ptrdiff_t i = 0; i < n; ++i) {
                    store(out[c], i, std::numeric_limits<double>::quiet_NaN());
                }
            }
            return;
        }
        Body::template run<P>(make_geodesic_ellipsoid(Re, f), n, in, out);
    }
};

// atan2(s, c) in (-pi, pi]: a sine of -0 (from a sign flip of a zero) and a
// result of exactly -pi both become +pi's side.
template <class P, int K>
QV_INLINE V<K> azimuth_of(V<K> s, V<K> c)
{
    const V<K> a = atan2<P>(s + 0.0, c);
    return select(a <= -kPi, splat<K>(kPi), a);
}

// The reduced latitude of a geodetic latitude phi as a unit vector. At the
// poles cos(phi) of the double nearest pi/2 is 6.1e-17, not 0, so the point
// keeps a direction for its azimuths.
template <class P, int K>
QV_INLINE void reduced_latitude(const GeodesicEllipsoid &g, V<K> phi, V<K> &sbet, V<K> &cbet)
{
    sbet = g.f1 * sin<P>(phi);
    cbet = cos<P>(phi);
    normalize<P>(sbet, cbet);
}

// The reduced length m12 / b of the arc sigma1 .. sigma2 (sigma12 the whole
// arc) of a geodesic with parameters k2 and eps (Karney 2013):
//   dn2 cos(sig1) sin(sig2) - dn1 sin(sig1) cos(sig2) - cos(sig1) cos(sig2) J12,
// dn = sqrt(1 + k^2 sin^2(sig)), J12 = I1 - I2 over the arc, to sixth order.
template <class P, int K>
QV_INLINE V<K> reduced_length(V<K> k2, V<K> eps, V<K> ssig1, V<K> csig1, V<K> ssig2, V<K> csig2,
                              V<K> sig12)
{
    V<K> c1[kOrder];
    V<K> c2[kOrder];
    c1_coefficients(eps, c1);
    c2_coefficients(eps, c2);
    const V<K> a1m1 = a1_minus_1(eps);
    const V<K> a2m1 = a2_minus_1(eps);
    const V<K> b112 = sine_series<kOrder>(c1, ssig2, csig2) - sine_series<kOrder>(c1, ssig1, csig1);
    const V<K> b212 = sine_series<kOrder>(c2, ssig2, csig2) - sine_series<kOrder>(c2, ssig1, csig1);
    const V<K> j12 = (a1m1 - a2m1) * sig12 + ((1.0 + a1m1) * b112 - (1.0 + a2m1) * b212);
    const V<K> dn1 = sqrt<P>(1.0 + k2 * (ssig1 * ssig1));
    const V<K> dn2 = sqrt<P>(1.0 + k2 * (ssig2 * ssig2));
    return (dn2 * (csig1 * ssig2) - dn1 * (ssig1 * csig2)) - csig1 * csig2 * j12;
}

// A latitude beyond a pole has no geodesic; such lanes give NaN.
template <int K>
QV_INLINE M<K> beyond_pole(V<K> phi)
{
    return abs(phi) > kHalfPi;
}

// The direct problem: from (lat1, lon1) along azimuth azi1 for a distance s12
// (negative: backwards) to (lat2, lon2), arriving with azimuth azi2; with
// kLengths also the arc length a12 on the auxiliary sphere (radians) and the
// reduced length m12 (metres), which the three-output kernel never computes.
template <bool kLengths>
struct GeodesicDirectBody : GeodesicKernel<GeodesicDirectBody<kLengths>, kLengths> {
    template <class P>
    static void run(const GeodesicEllipsoid &g, std::ptrdiff_t n, const In *in, const Out *out)
    {
        run_with<P, GeodesicDirectBody>(g, n, in, out);
    }

    template <class P, int K>
    QV_INLINE static void lanes(const GeodesicEllipsoid &g, const V<K> *x, V<K> *y)
    {
        V<K> sbet1;
        V<K> cbet1;
        reduced_latitude<P>(g, x[0], sbet1, cbet1);
        const V<K> salp1 = sin<P>(x[2]);
        const V<K> calp1 = cos<P>(x[2]);
        // Equatorial azimuth alpha0 (Clairaut: sin(alpha0) = sin(alpha) cos(beta)).
        const V<K> salp0 = salp1 * cbet1;
        const V<K> calp0 = sqrt<P>(calp1 * calp1 + (salp1 * sbet1) * (salp1 * sbet1));
        // Arc length sigma1 from the northward equator crossing; a start on the
        // equator heading due east or west has sigma1 = 0 by convention, the
        // vector (0, 0) having no direction.
        V<K> ssig1 = sbet1;
        V<K> csig1 = select((sbet1 == 0.0) & (calp1 == 0.0), splat<K>(1.0), cbet1 * calp1);
        normalize<P>(ssig1, csig1);

        const V<K> k2 = g.ep2 * (calp0 * calp0);
        const V<K> eps = eps_of<P>(k2);
        const V<K> a1 = 1.0 + a1_minus_1(eps);
        V<K> c1[kOrder];
        V<K> c1p[kOrder];
        c1_coefficients(eps, c1);
        c1p_coefficients(eps, c1p);
        // tau = sigma + B1(sigma) grows in proportion to distance: tau2 =
        // tau1 + s12 / (b A1), and sigma12 = theta + delta with theta =
        // tau12 + B1(sigma1), delta = B1p(tau2).
        const V<K> theta = x[3] / (g.b * a1) + sine_series<kOrder>(c1, ssig1, csig1);
        const V<K> s_theta = sin<P>(theta);
        const V<K> c_theta = cos<P>(theta);
        const V<K> stau2 = ssig1 * c_theta + csig1 * s_theta;
        const V<K> ctau2 = csig1 * c_theta - ssig1 * s_theta;
        const V<K> delta = sine_series<kOrder>(c1p, stau2, ctau2);
        V<K> s_delta;
        V<K> c_delta;
        if (g.small_reversion) {
            // |delta| < 0.01: the series to delta^5 and delta^6 are exact to
            // round-off (delta^7 / 5040 < 2e-18), and cost less than sin and cos.
            const V<K> d2 = delta * delta;
            s_delta = delta * (1.0 - d2 * (1.0 / 6.0 - d2 * (1.0 / 120.0)));
            c_delta = 1.0 - d2 * (0.5 - d2 * (1.0 / 24.0 - d2 * (1.0 / 720.0)));
        } else {
            s_delta = sin<P>(delta);
            c_delta = cos<P>(delta);
        }
        V<K> sig12 = theta + delta;
        V<K> ssig2 = stau2 * c_delta + ctau2 * s_delta;
        V<K> csig2 = ctau2 * c_delta - stau2 * s_delta;
        if (g.direct_newton) {
            // One Newton step on tau(sigma2) = tau2, d tau / d sigma =
            // dn / A1, dn = sqrt(1 + k^2 sin^2(sigma)); the step is of the
            // order of eps^7, so a first-order rotation applies it.
            const V<K> residual = (sig12 + sine_series<kOrder>(c1, ssig2, csig2)) - theta;
            const V<K> dn2 = sqrt<P>(1.0 + k2 * (ssig2 * ssig2));
            const V<K> step = -residual * a1 / dn2;
            sig12 = sig12 + step;
            const V<K> s2 = ssig2 + csig2 * step;
            csig2 = csig2 - ssig2 * step;
            ssig2 = s2;
        }

        const V<K> sbet2 = calp0 * ssig2;
        const V<K> cbet2 = sqrt<P>(salp0 * salp0 + (calp0 * csig2) * (calp0 * csig2));
        // omega = atan2(sin(alpha0) sin(sigma), cos(sigma)); omega12 modulo
        // 2 pi from the two directions, the longitude terms from the whole
        // sigma12, so that geodesics of many circuits keep their longitude.
        const V<K> somg1 = salp0 * ssig1;
        const V<K> somg2 = salp0 * ssig2;
        const V<K> omg12 = atan2<P>(somg2 * csig1 - csig2 * somg1, csig2 * csig1 + somg2 * somg1);
        V<K> c3[kOrder - 1];
        c3_coefficients(g, eps, c3);
        const V<K> b312 =
            sine_series<kOrder - 1>(c3, ssig2, csig2) - sine_series<kOrder - 1>(c3, ssig1, csig1);
        const V<K> lam12 = omg12 - g.f * salp0 * a3_of(g, eps) * (sig12 + b312);

        const M<K> bad = beyond_pole(x[0]);
        const V<K> nan = splat<K>(std::numeric_limits<double>::quiet_NaN());
        y[0] = select(bad, nan, atan2<P>(sbet2, g.f1 * cbet2));
        y[1] = select(bad, nan, wrapped_sum(x[1], lam12));
        y[2] = select(bad, nan, azimuth_of<P>(salp0, calp0 * csig2));
        if constexpr (kLengths) {
            y[3] = select(bad, nan, sig12);
            y[4] = select(bad, nan,
                          g.b * reduced_length<P>(k2, eps, ssig1, csig1, ssig2, csig2, sig12));
        }
    }
};

using GeodesicDirect = GeodesicDirectBody<false>;
using GeodesicDirectLengths = GeodesicDirectBody<true>;

}  // namespace
}  // namespace quorvane::kernels
