// Lane arithmetic for the batch kernels: K vectors of kLanes doubles processed
// side by side (four lanes for AVX2; one for the plain set, whose libm works a
// lane at a time anyway, so that a one-point call computes one point, not
// four). Interleaving independent vectors hides the latency of the dependent
// chains (sin/cos, divide, sin/cos) of one vector; kernel_bodies.hpp sets how
// many.
//
// The elementary functions come from a policy P (plain: libm per lane; AVX2:
// libmvec per vector). Everything else is IEEE addition, multiplication,
// division and square root, correctly rounded whatever the instruction set,
// so the two sets differ only where their sin, cos, tan, atan, atan2, asin,
// sinh, asinh and atanh do. Built with -ffp-contract=off: a fused multiply-add would round once
// where the one-point path and the other set round twice.
//
// This header is included by one source file per instruction set; the unnamed
// namespace gives each its own copy, so the linker never substitutes code of one
// instruction set for the other.
#pragma once

#include <cstdint>
#include <cstring>

#include "core/kernels/batch.hpp"

namespace quorvane::kernels {
namespace {

// The including source file sets the lane count.
constexpr int kLanes = QUORVANE_KERNEL_LANES;
static_assert(kLanes == 1 || kLanes == 4, "lanes: 1 (plain) or 4 (AVX2)");

using dv = double __attribute__((vector_size(8 * kLanes)));
using mv = std::int64_t __attribute__((vector_size(8 * kLanes)));

#define QV_INLINE [[gnu::always_inline]] inline

template <int K>
struct V {
    dv v[K];
};

// A lane is all ones where a comparison holds, all zeros elsewhere.
template <int K>
struct M {
    mv v[K];
};

template <int K>
QV_INLINE V<K> splat(double x)
{
    V<K> r;
    // x - (+0) is x for every x; x + (+0) would turn -0 into +0.
    for (int k = 0; k < K; ++k) {
        r.v[k] = x - dv{};
    }
    return r;
}

// r.v[k] = op(a.v[k], b.v[k]) for each vector k.
template <class R, class A, class B, class Op>
QV_INLINE R lanewise(const A &a, const B &b, Op op)
{
    R r;
    for (int k = 0; k < int(sizeof r.v / sizeof r.v[0]); ++k) {
        r.v[k] = op(a.v[k], b.v[k]);
    }
    return r;
}

// a op b on vectors of lanes, or on a vector and a number in either order;
// arithmetic gives lanes of doubles, comparisons lanes of masks. Ordered
// comparisons are false wherever a NaN takes part, as in scalar code.
#define QV_BINARY(op, R)                                                                       \
    template <int K>                                                                           \
    QV_INLINE R<K> operator op(V<K> a, V<K> b)                                                 \
    {                                                                                          \
        return lanewise<R<K>>(a, b, [](dv x, dv y) [[gnu::always_inline]] { return x op y; }); \
    }                                                                                          \
    template <int K>                                                                           \
    QV_INLINE R<K> operator op(V<K> a, double b)                                               \
    {                                                                                          \
        return a op splat<K>(b);                                                               \
    }                                                                                          \
    template <int K>                                                                           \
    QV_INLINE R<K> operator op(double a, V<K> b)                                               \
    {                                                                                          \
        return splat<K>(a) op b;                                                               \
    }

QV_BINARY(+, V)
QV_BINARY(-, V)
QV_BINARY(*, V)
QV_BINARY(/, V)
QV_BINARY(<, M)
QV_BINARY(<=, M)
QV_BINARY(>, M)
QV_BINARY(>=, M)
QV_BINARY(==, M)
QV_BINARY(!=, M)
#undef QV_BINARY

template <int K>
QV_INLINE V<K> operator-(V<K> a)
{
    V<K> r;
    for (int k = 0; k < K; ++k) {
        r.v[k] = -a.v[k];
    }
    return r;
}

// Masks combine lane by lane.
template <int K>
QV_INLINE M<K> operator&(M<K> a, M<K> b)
{
    return lanewise<M<K>>(a, b, [](mv x, mv y) [[gnu::always_inline]] { return x & y; });
}

template <int K>
QV_INLINE M<K> operator|(M<K> a, M<K> b)
{
    return lanewise<M<K>>(a, b, [](mv x, mv y) [[gnu::always_inline]] { return x | y; });
}

template <int K>
QV_INLINE M<K> operator~(M<K> a)
{
    M<K> r;
    for (int k = 0; k < K; ++k) {
        r.v[k] = ~a.v[k];
    }
    return r;
}

template <int K>
QV_INLINE bool any(M<K> m)
{
    mv acc = m.v[0];
    for (int k = 1; k < K; ++k) {
        acc |= m.v[k];
    }
    std::int64_t lanes = 0;
    for (int j = 0; j < kLanes; ++j) {
        lanes |= acc[j];
    }
    return lanes != 0;
}

// Lane-wise m ? a : b.
template <int K>
QV_INLINE V<K> select(M<K> m, V<K> a, V<K> b)
{
    V<K> r;
    for (int k = 0; k < K; ++k) {
        r.v[k] = m.v[k] ? a.v[k] : b.v[k];
    }
    return r;
}

constexpr std::int64_t kSignBit = INT64_MIN;

// By the bits, as std::fabs: |-0| = +0 and NaN stays NaN.
template <int K>
QV_INLINE V<K> abs(V<K> a)
{
    V<K> r;
    for (int k = 0; k < K; ++k) {
        r.v[k] = reinterpret_cast<dv>(reinterpret_cast<mv>(a.v[k]) & ~kSignBit);
    }
    return r;
}

// std::copysign(1.0, a) per lane.
template <int K>
QV_INLINE V<K> unit_with_sign_of(V<K> a)
{
    V<K> r;
    const mv one = reinterpret_cast<mv>(1.0 - dv{});
    for (int k = 0; k < K; ++k) {
        r.v[k] = reinterpret_cast<dv>((reinterpret_cast<mv>(a.v[k]) & kSignBit) | one);
    }
    return r;
}

#define QV_UNARY(name)                \
    template <class P, int K>         \
    QV_INLINE V<K> name(V<K> a)       \
    {                                 \
        V<K> r;                       \
        for (int k = 0; k < K; ++k) { \
            r.v[k] = P::name(a.v[k]); \
        }                             \
        return r;                     \
    }

QV_UNARY(sqrt)
QV_UNARY(sin)
QV_UNARY(cos)
QV_UNARY(tan)
QV_UNARY(atan)
QV_UNARY(asin)
QV_UNARY(sinh)
QV_UNARY(asinh)
QV_UNARY(atanh)
#undef QV_UNARY

template <class P, int K>
QV_INLINE V<K> atan2(V<K> y, V<K> x)
{
    V<K> r;
    for (int k = 0; k < K; ++k) {
        r.v[k] = P::atan2(y.v[k], x.v[k]);
    }
    return r;
}

// Every NaN result leaves a kernel as the default quiet NaN. Which of two NaN
// operands an instruction passes on, and with which sign, follows the operand
// order the compiler happened to choose, and libmvec's special-input paths
// differ from its main ones; neither is the same for a full pass, a tail and a
// scalar expression.
template <int K>
QV_INLINE V<K> canonical_nan(V<K> a)
{
    return select(a != a, splat<K>(__builtin_nan("")), a);
}

// Strided column access; memcpy because columns need not be aligned.
QV_INLINE double load(const In &c, std::ptrdiff_t i)
{
    double x;
    std::memcpy(&x, c.data + i * c.stride, sizeof x);
    return x;
}

// Points first to first + valid - 1 of a column; lanes beyond valid repeat
// the last point. Built from registers: four 8-byte stores read back as one
// 32-byte load would stall on store forwarding, which costs a one-point call
// more than its arithmetic.
QV_INLINE dv gather(const In &c, std::ptrdiff_t first, std::ptrdiff_t valid)
{
    dv v{};
    if (valid == kLanes && c.stride == sizeof(double)) {
        // A contiguous column, as ufunc loops pass them: one load.
        std::memcpy(&v, c.data + first * c.stride, sizeof v);
        return v;
    }
    for (int j = 0; j < kLanes; ++j) {
        v[j] = load(c, first + (j < valid ? j : valid - 1));
    }
    return v;
}

QV_INLINE void store(const Out &c, std::ptrdiff_t i, double x)
{
    std::memcpy(c.data + i * c.stride, &x, sizeof x);
}

// Points first to first + kLanes - 1 of a column.
QV_INLINE void store_all(const Out &c, std::ptrdiff_t first, dv x)
{
    if (c.stride == sizeof(double)) {
        std::memcpy(c.data + first * c.stride, &x, sizeof x);
        return;
    }
    for (int j = 0; j < kLanes; ++j) {
        store(c, first + j, x[j]);
    }
}

// Whether columns 0, 1 and 2 are the three doubles of consecutive records of
// three (the rows of an (n, 3) array, LLA or AER records): then the points of a
// vector are three 32-byte loads or stores of the records, transposed.
template <class Column>
QV_INLINE bool records_of_three(const Column *c)
{
    constexpr std::ptrdiff_t record = 3 * sizeof(double);
    return c[0].stride == record && c[1].stride == record && c[2].stride == record &&
           c[1].data == c[0].data + sizeof(double) && c[2].data == c[0].data + 2 * sizeof(double);
}

#if QUORVANE_KERNEL_LANES == 4
// Points first to first + 3 of three record columns: the records come in as
// a = x0 y0 z0 x1, b = y1 z1 x2 y2, d = z2 x3 y3 z3.
QV_INLINE void gather_records(const In *c, std::ptrdiff_t first, dv *x, dv *y, dv *z)
{
    dv a, b, d;
    const char *p = c[0].data + first * c[0].stride;
    std::memcpy(&a, p, sizeof a);
    std::memcpy(&b, p + sizeof a, sizeof b);
    std::memcpy(&d, p + 2 * sizeof a, sizeof d);
    *x = __builtin_shuffle(__builtin_shuffle(a, b, mv{0, 3, 6, 0}), d, mv{0, 1, 2, 5});
    *y = __builtin_shuffle(__builtin_shuffle(a, b, mv{1, 4, 7, 0}), d, mv{0, 1, 2, 6});
    *z = __builtin_shuffle(__builtin_shuffle(a, b, mv{2, 5, 0, 0}), d, mv{0, 1, 4, 7});
}

// The inverse: three vectors into four records of three.
QV_INLINE void store_records(const Out *c, std::ptrdiff_t first, dv x, dv y, dv z)
{
    const dv a = __builtin_shuffle(__builtin_shuffle(x, y, mv{0, 4, 0, 1}), z, mv{0, 1, 4, 3});
    const dv b = __builtin_shuffle(__builtin_shuffle(y, z, mv{1, 5, 2, 0}), x, mv{0, 1, 6, 2});
    const dv d = __builtin_shuffle(__builtin_shuffle(z, x, mv{2, 7, 3, 0}), y, mv{0, 1, 7, 2});
    char *p = c[0].data + first * c[0].stride;
    std::memcpy(p, &a, sizeof a);
    std::memcpy(p + sizeof a, &b, sizeof b);
    std::memcpy(p + 2 * sizeof a, &d, sizeof d);
}
#else
// One lane: a point is its three doubles already.
QV_INLINE void gather_records(const In *c, std::ptrdiff_t first, dv *x, dv *y, dv *z)
{
    *x = gather(c[0], first, 1);
    *y = gather(c[1], first, 1);
    *z = gather(c[2], first, 1);
}

QV_INLINE void store_records(const Out *c, std::ptrdiff_t first, dv x, dv y, dv z)
{
    store(c[0], first, x[0]);
    store(c[1], first, y[0]);
    store(c[2], first, z[0]);
}
#endif

}  // namespace
}  // namespace quorvane::kernels
