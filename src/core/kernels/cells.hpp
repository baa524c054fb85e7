// How a driver reads its input columns and writes its output columns: cells
// of doubles as they are, or cells of float32 widened on the way in and
// rounded on the way out. Widening is exact, so a float32 column gives the
// kernel the doubles the ufunc loop's block-wise conversion gave it, and each
// result is the float64 result rounded once: the same bits either way.
#pragma once

#include <cstddef>
#include <cstring>
#include <limits>
#include <type_traits>

#if QUORVANE_KERNEL_LANES == 4
#include <immintrin.h>
#endif

#include "core/kernels/kernel_set.hpp"
#include "core/kernels/lanes.hpp"

namespace quorvane::kernels {
namespace {

using fv = float __attribute__((vector_size(4 * kLanes)));

// Widening (fv to dv) and rounding (dv to fv), one instruction each on AVX2;
// GCC's generic conversion of four lanes took two halves and a shuffle.
template <class To, class From>
QV_INLINE To convert(From x)
{
#if QUORVANE_KERNEL_LANES == 4
    if constexpr (std::is_same_v<To, dv>) {
        return reinterpret_cast<dv>(_mm256_cvtps_pd(reinterpret_cast<__m128>(x)));
    } else {
        return reinterpret_cast<fv>(_mm256_cvtpd_ps(reinterpret_cast<__m256d>(x)));
    }
#else
    return __builtin_convertvector(x, To);
#endif
}

QV_INLINE double load_float(const In &c, std::ptrdiff_t i)
{
    float x;
    std::memcpy(&x, c.data + i * c.stride, sizeof x);
    return x;
}

// What rounding a call's results to float32 met, as two doubles whose own
// rounding raises the flags that all of them raise (Rounding in kernel_set.hpp).
// Overflow grows with the magnitude, so the largest finite one overflows if
// any does. Underflow takes a result that is tiny and inexact; the smallest
// inexact magnitude is tiny if any inexact one is, under either of IEEE's
// rules for tininess (before rounding or after), so it underflows if any does.
struct RoundingLanes {
    dv largest{};
    dv smallest_inexact = std::numeric_limits<double>::infinity() - dv{};

    QV_INLINE void note(dv x, fv rounded)
    {
        const dv infinity = std::numeric_limits<double>::infinity() - dv{};
        const dv magnitude = reinterpret_cast<dv>(reinterpret_cast<mv>(x) & ~kSignBit);
        // Ordered comparisons, false for NaN, whose rounding raises nothing;
        // infinity rounds exactly and raises nothing either.
        const mv finite = magnitude < infinity;
        const dv back = convert<dv>(rounded);
        const mv inexact = (back < x) | (back > x);
        const dv candidate_large = reinterpret_cast<dv>(finite & reinterpret_cast<mv>(magnitude));
        const dv candidate_small = inexact ? magnitude : infinity;
        largest = largest < candidate_large ? candidate_large : largest;
        smallest_inexact = candidate_small < smallest_inexact ? candidate_small : smallest_inexact;
    }

    Rounding reduce() const
    {
        Rounding r;
        for (int j = 0; j < kLanes; ++j) {
            r.merge({largest[j], smallest_inexact[j]});
        }
        return r;
    }
};

// The number of leading columns, of `count`, that move as whole records:
// three when they are records of three doubles (lanes.hpp), else none.
template <class Cell, class Column>
QV_INLINE int record_columns(const Column *c, int count)
{
    if constexpr (std::is_same_v<Cell, double>) {
        return count >= 3 && records_of_three(c) ? 3 : 0;
    } else {
        return 0;
    }
}

// Columns of InCell in, OutCell out (double or float).
template <class InType, class OutType>
struct Cells {
    using InCell = InType;
    using OutCell = OutType;
    static_assert(std::is_same_v<InCell, double> || std::is_same_v<InCell, float>);
    static_assert(std::is_same_v<OutCell, double> || std::is_same_v<OutCell, float>);

    // Only rounded results have anything to note.
    struct Unrounded {};
    std::conditional_t<std::is_same_v<OutCell, float>, RoundingLanes, Unrounded> rounding;

    // Points first to first + valid - 1; lanes beyond valid repeat the last.
    QV_INLINE dv gather(const In &c, std::ptrdiff_t first, std::ptrdiff_t valid) const
    {
        if constexpr (std::is_same_v<InCell, double>) {
            return kernels::gather(c, first, valid);
        } else {
            if (c.stride == 0) {
                // A repeated input, an observer: one conversion for every lane.
                return load_float(c, first) - dv{};
            }
            if (valid == kLanes && c.stride == sizeof(float)) {
                fv v;
                std::memcpy(&v, c.data + first * c.stride, sizeof v);
                return convert<dv>(v);
            }
            dv v{};
            for (int j = 0; j < kLanes; ++j) {
                v[j] = load_float(c, first + (j < valid ? j : valid - 1));
            }
            return v;
        }
    }

    // Points first to first + kLanes - 1 of a column.
    QV_INLINE void store_all(const Out &c, std::ptrdiff_t first, dv x)
    {
        if constexpr (std::is_same_v<OutCell, double>) {
            kernels::store_all(c, first, x);
        } else {
            store_rounded(c, first, kLanes, x);
        }
    }

    // Points first to first + valid - 1.
    QV_INLINE void store_first(const Out &c, std::ptrdiff_t first, std::ptrdiff_t valid, dv x)
    {
        if constexpr (std::is_same_v<OutCell, double>) {
            for (int j = 0; j < valid; ++j) {
                kernels::store(c, first + j, x[j]);
            }
        } else {
            store_rounded(c, first, valid, x);
        }
    }

private:
    // A vector's lanes beyond valid repeat the last point, so noting all of
    // them notes nothing a valid lane does not.
    QV_INLINE void store_rounded(const Out &c, std::ptrdiff_t first, std::ptrdiff_t valid, dv x)
    {
        const fv rounded = convert<fv>(x);
        rounding.note(x, rounded);
        if (valid == kLanes && c.stride == sizeof(float)) {
            std::memcpy(c.data + first * c.stride, &rounded, sizeof rounded);
            return;
        }
        for (int j = 0; j < valid; ++j) {
            std::memcpy(c.data + (first + j) * c.stride, &rounded[j], sizeof(float));
        }
    }
};

using DoubleCells = Cells<double, double>;
using Float32Cells = Cells<float, float>;

}  // namespace
}  // namespace quorvane::kernels
