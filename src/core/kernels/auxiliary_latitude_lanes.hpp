// The conformal, isometric, authalic and rectifying latitudes of a geodetic
// latitude, and the inverse maps. Geodetic latitudes are taken in
// [-pi/2, pi/2].
//
// Conformal and isometric: closed forms through the tangents, after Karney
// (2011), tan(chi) = tau sqrt(1 + sigma^2) - sigma sqrt(1 + tau^2) with
// tau = tan(phi), sigma = sinh(e atanh(e sin(phi))), and psi = asinh(tan(chi));
// unlike log(tan(pi/4 + phi/2)) they keep full relative precision at the
// equator and the poles. Inverse: Newton's method on tau.
//
// Authalic: xi = atan2(q, sqrt(qp^2 - q^2)) with Snyder's
// q(phi) = (1 - e2) (sin(phi) / (1 - e2 sin(phi)^2) + atanh(e sin(phi)) / e)
// and qp = q(pi/2); qp - q is formed without cancellation near the pole
// (below), where asin(q / qp) would lose half the digits. Inverse: Newton's
// method on tan(phi).
//
// Rectifying: mu = beta + sum_k C_k sin(2 k beta) in the reduced latitude
// beta. The meridian arc is proportional to the integral of
// |1 - n exp(2 i beta)|, n the third flattening, and the binomial series of the
// two square-root factors give its Fourier coefficients exactly as sums in n
// (Karney 2023, "On auxiliary latitudes", expresses the same series as
// polynomials truncated at order n^6); they are summed here to double precision
// once per call. Inverse: Newton's method on beta.
#pragma once

#include <cmath>
#include <cstddef>
#include <limits>

#include "core/kernels/ellipsoid_params.hpp"
#include "core/kernels/lanes.hpp"
#include "core/kernels/surface_lanes.hpp"

namespace quorvane::kernels {
namespace {

// atanh(e x) / e, and its limit x on a sphere.
template <class P, int K>
QV_INLINE V<K> atanh_e(double e, V<K> x)
{
    return e == 0.0 ? x : atanh<P>(e * x) / e;
}

// Newton's steps on a tangent stop once a step is below this relative to
// max(1, |tau|); the next error is of the order of its square. The cut-off
// only bounds the work for non-finite input.
constexpr double kTangentTolerance = 1.5e-9;
constexpr int kMaxTangentSteps = 20;

template <int K>
QV_INLINE M<K> step_is_large(V<K> inc, V<K> tau)
{
    const V<K> scale = select(abs(tau) > 1.0, abs(tau), splat<K>(1.0));
    return abs(inc) > kTangentTolerance * scale;
}

// ------------------------------------------------------------ conformal ---

struct Conformal {
    EllipsoidParams E;
    double e;
    double e2m;         // 1 - e2 = (1 - f)^2
    double pole_ratio;  // tan(phi) / tan(chi) at the poles: exp(e atanh(e))

    static Conformal of(double Re, double f)
    {
        const EllipsoidParams E = make_params(Re, f);
        const double e = std::sqrt(E.e2);
        return Conformal{E, e, E.one_minus_f * E.one_minus_f, std::exp(e * std::atanh(e))};
    }
};

// tan(chi) of tau = tan(phi).
template <class P, int K>
QV_INLINE V<K> conformal_tan(double e, V<K> tau)
{
    const V<K> sec = sqrt<P>(1.0 + tau * tau);
    const V<K> sigma = sinh<P>(e * atanh<P>(e * (tau / sec)));
    return tau * sqrt<P>(1.0 + sigma * sigma) - sigma * sec;
}

// tau = tan(phi) of tau' = tan(chi). Starts from tau' / (1 - e2), the slope
// at the equator, or beyond |tau'| = 70 from the polar asymptote; the
// derivative is d tau' / d tau = (1 - e2) sqrt(1 + tau'^2) sqrt(1 + tau^2) /
// (1 + (1 - e2) tau^2).
template <class P, int K>
QV_INLINE V<K> geodetic_tan_of_conformal_tan(const Conformal &C, V<K> taup)
{
    V<K> tau = select(abs(taup) > 70.0, taup * C.pole_ratio, taup / C.e2m);
    M<K> active = splat<K>(0.0) == 0.0;
    for (int steps = 0; any(active) && steps < kMaxTangentSteps; ++steps) {
        const V<K> sec = sqrt<P>(1.0 + tau * tau);
        const V<K> sigma = sinh<P>(C.e * atanh<P>(C.e * (tau / sec)));
        const V<K> taup_of_tau = tau * sqrt<P>(1.0 + sigma * sigma) - sigma * sec;
        const V<K> inc = (taup - taup_of_tau) * (1.0 + C.e2m * tau * tau) /
                         (C.e2m * sec * sqrt<P>(1.0 + taup_of_tau * taup_of_tau));
        tau = select(active, tau + inc, tau);
        active = active & step_is_large(inc, tau);
    }
    // Beyond 2^60, tau' and tau both have the arctangent pi/2 (and tau^2
    // would overflow on the way for the largest).
    return select(abs(taup) > 0x1p60, taup, tau);
}

template <class Body>
struct WithConformal {
    template <class P>
    static void kernel(double Re, double f, std::ptrdiff_t n, const In *in, const Out *out)
    {
        run_with<P, Body>(Conformal::of(Re, f), n, in, out);
    }
};

struct ConformalLatFromGeodeticLat {
    static constexpr int inputs = 1, outputs = 1;
    template <class P, int K>
    QV_INLINE static void lanes(const EllipsoidParams &E, const V<K> *x, V<K> *y)
    {
        y[0] = atan<P>(conformal_tan<P>(std::sqrt(E.e2), tan<P>(x[0])));
    }
};

struct IsometricLatFromGeodeticLat {
    static constexpr int inputs = 1, outputs = 1;
    template <class P, int K>
    QV_INLINE static void lanes(const EllipsoidParams &E, const V<K> *x, V<K> *y)
    {
        y[0] = asinh<P>(conformal_tan<P>(std::sqrt(E.e2), tan<P>(x[0])));
    }
};

struct GeodeticLatFromConformalLat : WithConformal<GeodeticLatFromConformalLat> {
    static constexpr int inputs = 1, outputs = 1;
    template <class P, int K>
    QV_INLINE static void lanes(const Conformal &C, const V<K> *x, V<K> *y)
    {
        y[0] = atan<P>(geodetic_tan_of_conformal_tan<P>(C, tan<P>(x[0])));
    }
};

struct GeodeticLatFromIsometricLat : WithConformal<GeodeticLatFromIsometricLat> {
    static constexpr int inputs = 1, outputs = 1;
    template <class P, int K>
    QV_INLINE static void lanes(const Conformal &C, const V<K> *x, V<K> *y)
    {
        y[0] = atan<P>(geodetic_tan_of_conformal_tan<P>(C, sinh<P>(x[0])));
    }
};

// ------------------------------------------------------------- authalic ---

struct Authalic {
    EllipsoidParams E;
    double e;
    double e2m;    // 1 - e2 = (1 - f)^2
    double qp;     // q at the pole
    double slope;  // d xi / d phi at the equator, 2 (1 - e2) / qp

    static Authalic of(double Re, double f)
    {
        const EllipsoidParams E = make_params(Re, f);
        const double e = std::sqrt(E.e2);
        const double e2m = E.one_minus_f * E.one_minus_f;
        const double qp = 1.0 + e2m * (e == 0.0 ? 1.0 : std::atanh(e) / e);
        return Authalic{E, e, e2m, qp, 2.0 * e2m / qp};
    }
};

// The parts of the authalic latitude at sin(phi) = s, cos(phi) = c >= 0: q
// (odd in s), and sqrt(qp^2 - q^2) as sqrt((qp - q)(qp + q)) with |s|, where
// 1 - e2 s^2 = c^2 + (1 - e2) s^2, 1 - |s| = c^2 / (1 + |s|) and
// atanh(e) - atanh(e |s|) = atanh(e (1 - |s|) / (1 - e2 |s|)) carry no
// cancellation:
//     qp - q = (1 - |s|)(1 + e2 |s|) / (1 - e2 s^2)
//              + (1 - e2) atanh(e (1 - |s|) / (1 - e2 |s|)) / e.
template <class P, int K>
QV_INLINE void authalic_parts(const Authalic &A, V<K> s, V<K> c, V<K> *q, V<K> *w2, V<K> *root)
{
    const V<K> abs_s = abs(s);
    *w2 = c * c + A.e2m * s * s;
    *q = A.e2m * (s / *w2 + atanh_e<P>(A.e, s));
    const V<K> one_minus_s = c * c / (1.0 + abs_s);
    const V<K> below_pole = one_minus_s * (1.0 + A.E.e2 * abs_s) / *w2 +
                            A.e2m * atanh_e<P>(A.e, one_minus_s / (one_minus_s + A.e2m * abs_s));
    *root = sqrt<P>(below_pole * (A.qp + abs(*q)));
}

template <class Body>
struct WithAuthalic {
    template <class P>
    static void kernel(double Re, double f, std::ptrdiff_t n, const In *in, const Out *out)
    {
        run_with<P, Body>(Authalic::of(Re, f), n, in, out);
    }
};

struct AuthalicLatFromGeodeticLat : WithAuthalic<AuthalicLatFromGeodeticLat> {
    static constexpr int inputs = 1, outputs = 1;
    template <class P, int K>
    QV_INLINE static void lanes(const Authalic &A, const V<K> *x, V<K> *y)
    {
        V<K> q, w2, root;
        authalic_parts<P>(A, sin<P>(x[0]), cos<P>(x[0]), &q, &w2, &root);
        y[0] = atan2<P>(q, root);
    }
};

// Newton on tau = tan(phi) for tan(xi) = q / sqrt(qp^2 - q^2): both tangents
// grow alike towards the pole, so the steps stay tame there. With
// d xi / d phi = 2 (1 - e2) c / ((1 - e2 s^2)^2 sqrt(qp^2 - q^2)),
// d tan(xi) / d tau = (1 + tan(xi)^2) c^2 d xi / d phi.
template <class P, int K>
QV_INLINE V<K> geodetic_lat_of_authalic(const Authalic &A, V<K> xi)
{
    const V<K> target = tan<P>(xi);
    V<K> tau = target / A.slope;
    M<K> active = splat<K>(0.0) == 0.0;
    for (int steps = 0; any(active) && steps < kMaxTangentSteps; ++steps) {
        const V<K> c = 1.0 / sqrt<P>(1.0 + tau * tau);
        V<K> q, w2, root;
        authalic_parts<P>(A, tau * c, c, &q, &w2, &root);
        const V<K> t = q / root;
        const V<K> slope = (1.0 + t * t) * (2.0 * A.e2m * c * c * c) / (w2 * w2 * root);
        const V<K> inc = (target - t) / slope;
        tau = select(active, tau + inc, tau);
        active = active & step_is_large(inc, tau);
    }
    return atan<P>(tau);
}

struct GeodeticLatFromAuthalicLat : WithAuthalic<GeodeticLatFromAuthalicLat> {
    static constexpr int inputs = 1, outputs = 1;
    template <class P, int K>
    QV_INLINE static void lanes(const Authalic &A, const V<K> *x, V<K> *y)
    {
        y[0] = geodetic_lat_of_authalic<P>(A, x[0]);
    }
};

// ----------------------------------------------------------- rectifying ---

// Terms of the series: |C_k| falls like n^k k^(-5/2), so 64 terms reach
// double precision up to n ~ 0.5 (f ~ 2/3).
constexpr int kMaxRectifyingTerms = 64;

struct Rectifying {
    EllipsoidParams E;
    double n;
    double a0;  // mean of |1 - n exp(2 i beta)|: d mu / d beta = |...| / a0
    double C[kMaxRectifyingTerms];
    int terms;
    bool converged;  // false: the flattening is beyond the series' reach

    static Rectifying of(double Re, double f)
    {
        Rectifying R{make_params(Re, f), f / (2.0 - f), 0.0, {}, 0, false};
        // c[k] = binomial(1/2, k); |1 - n exp(2 i b)| = sum_j,k c[j] c[k]
        // (-n)^(j+k) exp(2 i b (j - k)), whose mean is sum_k c[k]^2 n^(2k)
        // and whose cos(2 d b) coefficient is 2 (-n)^d sum_k c[k] c[k+d] n^(2k).
        constexpr int kBinomials = 2 * kMaxRectifyingTerms + 2;
        double c[kBinomials];
        c[0] = 1.0;
        for (int k = 0; k + 1 < kBinomials; ++k) {
            c[k + 1] = c[k] * (0.5 - k) / (k + 1);
        }
        const double n2 = R.n * R.n;
        // Sums over k until the terms fall below the last bit of the first.
        auto sum = [&](int d) {
            double total = 0.0;
            double power = 1.0;
            for (int k = 0; k + d < kBinomials; ++k, power *= n2) {
                const double term = c[k] * c[k + d] * power;
                total += term;
                if (std::fabs(term) <= 0x1p-60 * std::fabs(total)) {
                    break;
                }
            }
            return total;
        };
        R.a0 = sum(0);
        double minus_n_to_d = 1.0;
        for (int d = 1; d <= kMaxRectifyingTerms; ++d) {
            minus_n_to_d *= -R.n;
            // Integrating cos(2 d b) gives sin(2 d b) / (2 d).
            R.C[d - 1] = minus_n_to_d * sum(d) / (d * R.a0);
            R.terms = d;
            if (std::fabs(R.C[d - 1]) < 0x1p-60) {
                R.converged = true;
                break;
            }
        }
        return R;
    }
};

// sum_k C_k sin(2 k beta) by Clenshaw's recurrence.
template <class P, int K>
QV_INLINE V<K> rectifying_offset(const Rectifying &R, V<K> beta)
{
    const V<K> two_cos = 2.0 * cos<P>(2.0 * beta);
    V<K> b1 = splat<K>(0.0);
    V<K> b2 = splat<K>(0.0);
    for (int k = R.terms - 1; k >= 0; --k) {
        const V<K> b0 = R.C[k] + two_cos * b1 - b2;
        b2 = b1;
        b1 = b0;
    }
    return b1 * sin<P>(2.0 * beta);
}

template <class Body>
struct WithRectifying {
    template <class P>
    static void kernel(double Re, double f, std::ptrdiff_t n, const In *in, const Out *out)
    {
        const Rectifying R = Rectifying::of(Re, f);
        if (!R.converged) {
            for (std::ptrdiff_t i = 0; i < n; ++i) {
                store(out[0], i, std::numeric_limits<double>::quiet_NaN());
            }
            return;
        }
        run_with<P, Body>(R, n, in, out);
    }
};

struct RectifyingLatFromGeodeticLat : WithRectifying<RectifyingLatFromGeodeticLat> {
    static constexpr int inputs = 1, outputs = 1;
    template <class P, int K>
    QV_INLINE static void lanes(const Rectifying &R, const V<K> *x, V<K> *y)
    {
        const V<K> beta = reduced_lat<P>(R.E, x[0]);
        y[0] = beta + rectifying_offset<P>(R, beta);
    }
};

// Newton on beta with d mu / d beta = sqrt((1 - n)^2 + 4 n sin(beta)^2) / a0,
// from mu itself: |mu - beta| < n, and the steps shrink quadratically.
constexpr double kRectifyingTolerance = 1e-9;

template <class P, int K>
QV_INLINE V<K> reduced_lat_of_rectifying(const Rectifying &R, V<K> mu)
{
    const double one_minus_n_squared = (1.0 - R.n) * (1.0 - R.n);
    V<K> beta = mu;
    M<K> active = splat<K>(0.0) == 0.0;
    for (int steps = 0; any(active) && steps < kMaxTangentSteps; ++steps) {
        const V<K> s = sin<P>(beta);
        const V<K> slope = sqrt<P>(one_minus_n_squared + 4.0 * R.n * s * s) / R.a0;
        const V<K> inc = (beta + rectifying_offset<P>(R, beta) - mu) / slope;
        beta = select(active, beta - inc, beta);
        active = active & (abs(inc) > kRectifyingTolerance);
    }
    return beta;
}

struct GeodeticLatFromRectifyingLat : WithRectifying<GeodeticLatFromRectifyingLat> {
    static constexpr int inputs = 1, outputs = 1;
    template <class P, int K>
    QV_INLINE static void lanes(const Rectifying &R, const V<K> *x, V<K> *y)
    {
        y[0] = geodetic_lat<P>(R.E, reduced_lat_of_rectifying<P>(R, x[0]));
    }
};

}  // namespace
}  // namespace quorvane::kernels
