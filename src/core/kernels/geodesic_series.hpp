// The series of the geodesic kernels, on the auxiliary sphere of Bessel and
// Helmert, to sixth order in eps (Karney, "Algorithms for geodesics",
// J. Geodesy 87, 2013, eqs. 15-25 and 40-42; the coefficients derived again by
// scripts/geodesic_series.py).
//
// A geodesic of equatorial azimuth alpha0 has k^2 = e'^2 cos^2(alpha0) and
// eps = k^2 / (2 (1 + sqrt(1 + k^2)) + k^2), the same as
// (sqrt(1 + k^2) - 1) / (sqrt(1 + k^2) + 1) without its cancellation. At arc
// length sigma from the equator crossing,
//   distance s / b       = A1 (sigma + B1(sigma)),
//   I2                   = A2 (sigma + B2(sigma))  (reduced length, with I1),
//   longitude lambda     = omega - f sin(alpha0) A3 (sigma + B3(sigma)),
// with B(sigma) = sum C[l] sin(2 l sigma), and sigma = tau + B1p(tau) inverts
// tau = sigma + B1(sigma). The C1, C1p, C2 coefficients are polynomials in eps
// alone; A3 and C3 also depend on the third flattening n = f / (2 - f) and are
// set up once per ellipsoid. Truncated there, the series leave errors of
// about eps^7 and f n^6, round-off for |f| up to about 0.01.
#pragma once

#include <cmath>

#include "core/kernels/lanes.hpp"

namespace quorvane::kernels {
namespace {

constexpr int kOrder = 6;

// The flattening up to which the geodesic kernels give results: the
// truncated series leave errors that grow about as f^7, 8 nm at f = 0.02,
// 7 um at 0.05, 1 mm at 0.1 and 0.2 m at 0.2 on an ellipsoid of Earth's size
// (docs/geodesics.md); beyond, every result is NaN rather than a worse one.
constexpr double kMaxGeodesicFlattening = 0.2;

// The ellipsoid as the geodesic kernels see it, built once per kernel call.
struct GeodesicEllipsoid {
    double a;    // equatorial radius
    double f;    // flattening
    double f1;   // 1 - f
    double b;    // polar radius a (1 - f)
    double ep2;  // second eccentricity squared e'^2 = f (2 - f) / (1 - f)^2
    double n;    // third flattening f / (2 - f)
    // A3 = 1 + sum a3[j - 1] eps^j, j = 1..kOrder - 1.
    double a3[kOrder - 1];
    // C3[l] = eps^l sum c3[l - 1][i] eps^i, l = 1..kOrder - 1, i <= kOrder - 1 - l.
    double c3[kOrder - 1][kOrder - 1];
    // The direct problem (geodesic_lanes.hpp): a Newton step after the
    // reverted series, whose error of about eps^7 in sigma is 0.5 nm at
    // f = 0.01 and 60 nm at f = 0.02 (eps <= f / 2 roughly); and whether the
    // reverted series' term is small enough for its sine and cosine as
    // polynomials.
    bool direct_newton;
    bool small_reversion;
};

// sum c[l - 1] sin(2 l sigma), l = 1..N, from sin and cos of sigma (unit
// vector) by Clenshaw's recurrence on cos(2 sigma).
template <int N, int K>
QV_INLINE V<K> sine_series(const V<K> *c, V<K> s, V<K> cs)
{
    const V<K> x = 2.0 * ((cs - s) * (cs + s));
    V<K> b1 = c[N - 1];
    V<K> b2 = splat<K>(0.0);
    for (int l = N - 2; l >= 0; --l) {
        const V<K> b0 = x * b1 - b2 + c[l];
        b2 = b1;
        b1 = b0;
    }
    return b1 * (2.0 * s * cs);
}

// eps of a geodesic from k^2.
template <class P, int K>
QV_INLINE V<K> eps_of(V<K> k2)
{
    return k2 / (2.0 * (1.0 + sqrt<P>(1.0 + k2)) + k2);
}

// A1 - 1, written so that its small value keeps full relative precision.
template <int K>
QV_INLINE V<K> a1_minus_1(V<K> eps)
{
    const V<K> e2 = eps * eps;
    const V<K> t = e2 * (1.0 / 4.0 + e2 * (1.0 / 64.0 + e2 * (1.0 / 256.0)));
    return (t + eps) / (1.0 - eps);
}

// A2 - 1.
template <int K>
QV_INLINE V<K> a2_minus_1(V<K> eps)
{
    const V<K> e2 = eps * eps;
    const V<K> t = e2 * (1.0 / 4.0 + e2 * (9.0 / 64.0 + e2 * (25.0 / 256.0)));
    return t * (1.0 - eps) - eps;
}

template <int K>
QV_INLINE void c1_coefficients(V<K> eps, V<K> *c)
{
    const V<K> e2 = eps * eps;
    const V<K> e3 = e2 * eps;
    const V<K> e4 = e2 * e2;
    c[0] = eps * (-1.0 / 2.0 + e2 * (3.0 / 16.0 + e2 * (-1.0 / 32.0)));
    c[1] = e2 * (-1.0 / 16.0 + e2 * (1.0 / 32.0 + e2 * (-9.0 / 2048.0)));
    c[2] = e3 * (-1.0 / 48.0 + e2 * (3.0 / 256.0));
    c[3] = e4 * (-5.0 / 512.0 + e2 * (3.0 / 512.0));
    c[4] = e4 * eps * (-7.0 / 1280.0);
    c[5] = e4 * e2 * (-7.0 / 2048.0);
}

template <int K>
QV_INLINE void c1p_coefficients(V<K> eps, V<K> *c)
{
    const V<K> e2 = eps * eps;
    const V<K> e3 = e2 * eps;
    const V<K> e4 = e2 * e2;
    c[0] = eps * (1.0 / 2.0 + e2 * (-9.0 / 32.0 + e2 * (205.0 / 1536.0)));
    c[1] = e2 * (5.0 / 16.0 + e2 * (-37.0 / 96.0 + e2 * (1335.0 / 4096.0)));
    c[2] = e3 * (29.0 / 96.0 + e2 * (-75.0 / 128.0));
    c[3] = e4 * (539.0 / 1536.0 + e2 * (-2391.0 / 2560.0));
    c[4] = e4 * eps * (3467.0 / 7680.0);
    c[5] = e4 * e2 * (38081.0 / 61440.0);
}

template <int K>
QV_INLINE void c2_coefficients(V<K> eps, V<K> *c)
{
    const V<K> e2 = eps * eps;
    const V<K> e3 = e2 * eps;
    const V<K> e4 = e2 * e2;
    c[0] = eps * (1.0 / 2.0 + e2 * (1.0 / 16.0 + e2 * (1.0 / 32.0)));
    c[1] = e2 * (3.0 / 16.0 + e2 * (1.0 / 32.0 + e2 * (35.0 / 2048.0)));
    c[2] = e3 * (5.0 / 48.0 + e2 * (5.0 / 256.0));
    c[3] = e4 * (35.0 / 512.0 + e2 * (7.0 / 512.0));
    c[4] = e4 * eps * (63.0 / 1280.0);
    c[5] = e4 * e2 * (77.0 / 2048.0);
}

template <int K>
QV_INLINE V<K> a3_of(const GeodesicEllipsoid &g, V<K> eps)
{
    V<K> t = splat<K>(g.a3[kOrder - 2]);
    for (int j = kOrder - 3; j >= 0; --j) {
        t = t * eps + g.a3[j];
    }
    return 1.0 + t * eps;
}

template <int K>
QV_INLINE void c3_coefficients(const GeodesicEllipsoid &g, V<K> eps, V<K> *c)
{
    V<K> power = eps;
    for (int l = 1; l < kOrder; ++l) {
        const double *row = g.c3[l - 1];
        V<K> t = splat<K>(row[kOrder - 1 - l]);
        for (int i = kOrder - 2 - l; i >= 0; --i) {
            t = t * eps + row[i];
        }
        c[l - 1] = power * t;
        power = power * eps;
    }
}

inline GeodesicEllipsoid make_geodesic_ellipsoid(double Re, double f)
{
    GeodesicEllipsoid g{};
    g.a = Re;
    g.f = f;
    g.f1 = 1.0 - f;
    g.b = Re * g.f1;
    g.ep2 = f * (2.0 - f) / (g.f1 * g.f1);
    const double n = f / (2.0 - f);
    g.n = n;
    // Coefficients of eps^1..eps^5 as polynomials in n.
    g.a3[0] = (n - 1.0) / 2.0;
    g.a3[1] = ((3.0 * n - 1.0) * n - 2.0) / 8.0;
    g.a3[2] = -((n + 3.0) * n + 1.0) / 16.0;
    g.a3[3] = -(2.0 * n + 3.0) / 64.0;
    g.a3[4] = -3.0 / 128.0;
    g.c3[0][0] = (1.0 - n) / 4.0;
    g.c3[0][1] = (1.0 - n * n) / 8.0;
    g.c3[0][2] = ((3.0 - n) * n + 3.0) / 64.0;
    g.c3[0][3] = (2.0 * n + 5.0) / 128.0;
    g.c3[0][4] = 3.0 / 128.0;
    g.c3[1][0] = ((n - 3.0) * n + 2.0) / 32.0;
    g.c3[1][1] = ((-3.0 * n - 2.0) * n + 3.0) / 64.0;
    g.c3[1][2] = (n + 3.0) / 128.0;
    g.c3[1][3] = 5.0 / 256.0;
    g.c3[2][0] = ((5.0 * n - 9.0) * n + 5.0) / 192.0;
    g.c3[2][1] = (9.0 - 10.0 * n) / 384.0;
    g.c3[2][2] = 7.0 / 512.0;
    g.c3[3][0] = (7.0 - 14.0 * n) / 512.0;
    g.c3[3][1] = 7.0 / 512.0;
    g.c3[4][0] = 21.0 / 2560.0;
    // The largest eps, that of a geodesic through the poles (k^2 = e'^2), and
    // the largest |B1p| it allows, sum |C1p[l]|, nearly eps / 2.
    const double eps_max = g.ep2 / (2.0 * (1.0 + std::sqrt(1.0 + g.ep2)) + g.ep2);
    V<1> c1p[kOrder];
    c1p_coefficients(splat<1>(eps_max), c1p);
    double b1p_max = 0.0;
    for (int l = 0; l < kOrder; ++l) {
        b1p_max += std::fabs(c1p[l].v[0][0]);
    }
    g.direct_newton = f > 0.01;
    g.small_reversion = b1p_max < 0.01;
    return g;
}

}  // namespace
}  // namespace quorvane::kernels
