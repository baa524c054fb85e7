// Sine and cosine of one argument together, to within about one ulp: the
// positions and frames of the local-frame conversions scale them by up to
// 10^7 m, where libmvec's sin and cos (up to 3 ulp measured) alone would use up
// half of a 10 nm budget.
//
// Cody-Waite reduction by pi/2 in three parts of 33 bits, so that n times a
// part is exact for |n| < 2^20, then the minimax polynomials of Sun's fdlibm
// (__kernel_sin and __kernel_cos, with the reduction's tail) on [-pi/4, pi/4]
// and the quadrant's signs and swap. Only IEEE arithmetic: the same bits in
// both kernel sets. Arguments beyond 2^19 pi/2 take the policy's sin and cos.
#pragma once

#include <cstdint>

#include "core/kernels/lanes.hpp"

namespace quorvane::kernels {
namespace {

namespace sincos_constants {
constexpr double kTwoOverPi = 6.36619772367581382433e-01;
constexpr double kPio2_1 = 1.57079632673412561417e+00;   // first 33 bits of pi/2
constexpr double kPio2_2 = 6.07710050630396597660e-11;   // next 33 bits
constexpr double kPio2_2t = 2.02226624879595063154e-21;  // pi/2 - kPio2_1 - kPio2_2
constexpr double kRoundShift = 0x1.8p52;                 // adding it rounds to an integer
constexpr double kLimit = 823549.6585;                   // 2^19 pi/2

constexpr double S1 = -1.66666666666666324348e-01;
constexpr double S2 = 8.33333333332248946124e-03;
constexpr double S3 = -1.98412698298579493134e-04;
constexpr double S4 = 2.75573137070700676789e-06;
constexpr double S5 = -2.50507602534068634195e-08;
constexpr double S6 = 1.58969099521155010221e-10;

constexpr double C1 = 4.16666666666666019037e-02;
constexpr double C2 = -1.38888888888741095749e-03;
constexpr double C3 = 2.48015872894767294178e-05;
constexpr double C4 = -2.75573143513906633035e-07;
constexpr double C5 = 2.08757232129817482790e-09;
constexpr double C6 = -1.13596475577881948265e-11;
}  // namespace sincos_constants

template <class P, int K>
QV_INLINE void sincos(V<K> x, V<K> *sine, V<K> *cosine)
{
    using namespace sincos_constants;
    // n = round(x 2 / pi), and n mod 4 from the low bits of the shifted sum.
    const V<K> shifted = x * kTwoOverPi + kRoundShift;
    const V<K> n = shifted - kRoundShift;
    // x - n pi/2 as y + tail, good to about 118 bits before cancellation.
    const V<K> r1 = x - n * kPio2_1;
    const V<K> w1 = n * kPio2_2;
    const V<K> r2 = r1 - w1;
    const V<K> w2 = n * kPio2_2t - ((r1 - r2) - w1);
    const V<K> y = r2 - w2;
    const V<K> tail = (r2 - y) - w2;

    const V<K> z = y * y;
    const V<K> v = z * y;
    const V<K> rs = S2 + z * (S3 + z * (S4 + z * (S5 + z * S6)));
    const V<K> ks = y - ((z * (0.5 * tail - v * rs) - tail) - v * S1);
    const V<K> rc = z * (C1 + z * (C2 + z * (C3 + z * (C4 + z * (C5 + z * C6)))));
    const V<K> hz = 0.5 * z;
    const V<K> w = 1.0 - hz;
    const V<K> kc = w + (((1.0 - w) - hz) + (z * rc - y * tail));

    // Quadrant n mod 4: (sin, cos) = (ks, kc), (kc, -ks), (-ks, -kc), (-kc, ks).
    M<K> swap, sine_negative, cosine_negative;
    for (int k = 0; k < K; ++k) {
        const mv quadrant = reinterpret_cast<mv>(shifted.v[k]) & 3;
        swap.v[k] = (quadrant & 1) != 0;
        sine_negative.v[k] = (quadrant & 2) != 0;
        cosine_negative.v[k] = ((quadrant + 1) & 2) != 0;
    }
    const V<K> s = select(swap, kc, ks);
    const V<K> c = select(swap, ks, kc);
    *sine = select(sine_negative, -s, s);
    *cosine = select(cosine_negative, -c, c);

    const M<K> large = abs(x) > kLimit;
    if (any(large)) {
        *sine = select(large, sin<P>(x), *sine);
        *cosine = select(large, cos<P>(x), *cosine);
    }
}

}  // namespace
}  // namespace quorvane::kernels
