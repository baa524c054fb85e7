// The inverse geodesic kernel: the lane formulas of geodesic_inverse_lanes.hpp
// in three phases over chunks of geodesics.
//
// The search needs from one evaluation (meridians, the equator) to a dozen and
// more (nearly antipodal points near vertices; 3.0 on average for random
// points on WGS84), and lanes that iterate together wait for the slowest. So
// the search keeps its vector lanes busy:
// a lane whose geodesic settles hands its arc to the chunk's columns and takes
// the next unsolved geodesic at once, until the chunk runs out; only then do
// lanes idle, while the last geodesics of the chunk finish. The canonical form
// and start before, and the results after, run over the chunk as plain passes.
//
// A lane's steps depend on its own geodesic alone (geodesic_inverse_lanes.hpp),
// so a geodesic gives the same bits in whichever lane, step and chunk it is
// searched: alone, in any batch, split across threads.
#pragma once

#include <cstddef>
#include <cstring>
#include <utility>

#include "core/kernels/geodesic_inverse_lanes.hpp"
#include "core/kernels/geodesic_series.hpp"
#include "core/kernels/lanes.hpp"

namespace quorvane::kernels {
namespace {

// Geodesics per chunk: the columns take 22 kB of stack, and the lanes idle
// only over the last few of each chunk (2.6 % of the search's lane steps on
// random pairs, 7 % on a mix of hard cases; 256 would halve that for twice
// the stack).
constexpr int kChunk = 128;
// Vectors searched side by side: independent chains hide each other's latency.
constexpr int kSearchVectors = 2;

struct InverseColumns {
    double at[kInverseFields][kChunk];
};

// Lanes of rows first .. first + valid - 1 of a column; lanes beyond valid
// repeat the last row, so that they run the same steps as a real one. A full
// vector is one load, which the compiler only sees when valid is known.
template <int K, bool kFull>
QV_INLINE V<K> get_rows(const double *column, int first, int valid)
{
    V<K> x;
    for (int k = 0; k < K; ++k) {
        if (kFull) {
            std::memcpy(&x.v[k], column + first + k * kLanes, sizeof x.v[k]);
            continue;
        }
        for (int j = 0; j < kLanes; ++j) {
            const int row = k * kLanes + j;
            x.v[k][j] = column[first + (row < valid ? row : valid - 1)];
        }
    }
    return x;
}

template <int K, bool kFull>
QV_INLINE void put_rows(double *column, int first, int valid, const V<K> &x)
{
    for (int k = 0; k < K; ++k) {
        if (kFull) {
            std::memcpy(column + first + k * kLanes, &x.v[k], sizeof x.v[k]);
            continue;
        }
        for (int j = 0; j < kLanes; ++j) {
            const int row = k * kLanes + j;
            if (row < valid) {
                column[first + row] = x.v[k][j];
            }
        }
    }
}

// kLanes points of a column from point `first`, in one load where the column
// is contiguous, else from registers (lanes.hpp's gather with a count known
// here only at run time goes through memory and stalls on store forwarding).
template <std::size_t... J>
QV_INLINE dv gather_lanes(const In &c, std::ptrdiff_t first, std::index_sequence<J...>)
{
    return dv{load(c, first + static_cast<std::ptrdiff_t>(J))...};
}

QV_INLINE dv gather_all(const In &c, std::ptrdiff_t first)
{
    if (c.stride == static_cast<std::ptrdiff_t>(sizeof(double))) {
        dv v;
        std::memcpy(&v, c.data + first * c.stride, sizeof v);
        return v;
    }
    return gather_lanes(c, first, std::make_index_sequence<kLanes>{});
}

// Rows first .. first + valid - 1 of the chunk starting at point `base`:
// all K vectors (kFull) or fewer rows than one vector.
template <class P, int K, bool kFull>
QV_INLINE void start_rows(const GeodesicEllipsoid &g, const In *in, std::ptrdiff_t base, int first,
                          int valid, InverseColumns &c)
{
    V<K> x[4];
    for (int col = 0; col < 4; ++col) {
        for (int k = 0; k < K; ++k) {
            const std::ptrdiff_t at = base + first + k * kLanes;
            x[col].v[k] = kFull ? gather_all(in[col], at) : gather(in[col], at, valid);
        }
    }
    V<K> r[kInverseFields];
    inverse_start<P>(g, x, r);
    for (int field = 0; field <= kBad; ++field) {
        put_rows<K, kFull>(c.at[field], first, valid, r[field]);
    }
}

template <class P, bool kLengths, int K, bool kFull>
QV_INLINE void result_rows(const GeodesicEllipsoid &g, const InverseColumns &c, std::ptrdiff_t base,
                           int first, int valid, const Out *out)
{
    V<K> r[kInverseFields];
    for (int field = 0; field < kInverseFields; ++field) {
        r[field] = get_rows<K, kFull>(c.at[field], first, valid);
    }
    constexpr int outputs = kLengths ? 5 : 3;
    V<K> y[outputs];
    inverse_results<P, kLengths>(g, r, y);
    for (int col = 0; col < outputs; ++col) {
        y[col] = canonical_nan(y[col]);
        for (int k = 0; k < K; ++k) {
            for (int j = 0; j < kLanes; ++j) {
                const int row = k * kLanes + j;
                if (kFull || row < valid) {
                    store(out[col], base + first + row, y[col].v[k][j]);
                }
            }
        }
    }
}

// Lane (k, j) takes up the search of row `row`.
template <int K>
QV_INLINE void take_row(const InverseColumns &c, int row, int k, int j, Canonical<K> &q,
                        Search<K> &s)
{
    q.sbet1.v[k][j] = c.at[kSbet1][row];
    q.cbet1.v[k][j] = c.at[kCbet1][row];
    q.sbet2.v[k][j] = c.at[kSbet2][row];
    q.cbet2.v[k][j] = c.at[kCbet2][row];
    q.lam12.v[k][j] = c.at[kLam12][row];
    q.slam12.v[k][j] = c.at[kSlam12][row];
    q.clam12.v[k][j] = c.at[kClam12][row];
    s.salp1.v[k][j] = c.at[kSalp1][row];
    s.calp1.v[k][j] = c.at[kCalp1][row];
    // The bracket is all of [0, pi], its ends kept off the axis so that they
    // keep their direction.
    s.sa.v[k][j] = kTiny;
    s.ca.v[k][j] = 1.0;
    s.sb.v[k][j] = kTiny;
    s.cb.v[k][j] = -1.0;
    s.steps.v[k][j] = 0.0;
    s.polished.v[k][j] = 0;
    s.active.v[k][j] = -1;
    s.settle_first.v[k][j] = c.at[kSettleFirst][row] != 0.0 ? -1 : 0;
    s.meridian.v[k][j] = c.at[kMeridian][row] != 0.0 ? -1 : 0;
}

// Lane (k, j) has settled row `row`: its solution goes to the columns.
template <int K>
QV_INLINE void give_row(const Search<K> &s, int k, int j, int row, InverseColumns &c)
{
    c.at[kSalp1][row] = s.salp1.v[k][j];
    c.at[kCalp1][row] = s.calp1.v[k][j];
    c.at[kSsig1][row] = s.arc.ssig1.v[k][j];
    c.at[kCsig1][row] = s.arc.csig1.v[k][j];
    c.at[kSsig2][row] = s.arc.ssig2.v[k][j];
    c.at[kCsig2][row] = s.arc.csig2.v[k][j];
    c.at[kSig12][row] = s.arc.sig12.v[k][j];
    c.at[kK2][row] = s.arc.k2.v[k][j];
    c.at[kMeridian][row] = s.meridian.v[k][j] != 0 ? 1.0 : 0.0;
}

// What the search can report as it goes: the kernel passes this, which
// reports nowhere; the benchmark's probe (benchmarks/geodesic_search_probe.cpp)
// passes one that counts.
struct Unobserved {
    void step(int) const {}
    void settled(int, double) const {}
};

// The search of rows 0 .. rows - 1, every lane busy while unsolved rows remain.
// observer.step(busy lanes) follows every vector step, observer.settled(row,
// evaluations) every settled row.
template <class P, class Observer = Unobserved>
void search_rows(const GeodesicEllipsoid &g, int rows, InverseColumns &c,
                 const Observer &observer = {})
{
    constexpr int K = kSearchVectors;
    Canonical<K> q;
    Search<K> s;
    int row_of[K][kLanes];
    int next = 0;
    for (int k = 0; k < K; ++k) {
        for (int j = 0; j < kLanes; ++j) {
            // A lane without a row of its own runs a copy of row 0, inactive.
            take_row(c, next < rows ? next : 0, k, j, q, s);
            if (next < rows) {
                row_of[k][j] = next++;
            } else {
                row_of[k][j] = -1;
                s.active.v[k][j] = 0;
            }
        }
    }
    int busy = rows < K * kLanes ? rows : K * kLanes;
    while (any(s.active)) {
        search_step<P>(g, q, s);
        observer.step(busy);
        for (int k = 0; k < K; ++k) {
            for (int j = 0; j < kLanes; ++j) {
                if (row_of[k][j] < 0 || s.active.v[k][j] != 0) {
                    continue;
                }
                give_row(s, k, j, row_of[k][j], c);
                observer.settled(row_of[k][j], s.steps.v[k][j]);
                if (next < rows) {
                    take_row(c, next, k, j, q, s);
                    row_of[k][j] = next++;
                } else {
                    row_of[k][j] = -1;
                    --busy;
                }
            }
        }
    }
}

// The three phases over chunks of kChunk geodesics. observer_of(base) is the
// observer of the search of the chunk from row base, and mark(phase) runs
// before the start (0), the search (1) and the results (2) of each chunk and
// after them (3): the kernel's do nothing, the probe's
// (benchmarks/geodesic_search_probe.cpp) count and time.
template <class P, bool kLengths, class ObserverOf, class Mark>
QV_INLINE void inverse_chunks(const GeodesicEllipsoid &g, std::ptrdiff_t n, const In *in,
                              const Out *out, ObserverOf observer_of, Mark mark)
{
    constexpr int pass = kSearchVectors * kLanes;
    InverseColumns c;
    for (std::ptrdiff_t base = 0; base < n; base += kChunk) {
        const int rows = n - base < kChunk ? static_cast<int>(n - base) : kChunk;
        mark(0);
        // Every input of the chunk is read before any output is written.
        int first = 0;
        for (; rows - first >= pass; first += pass) {
            start_rows<P, kSearchVectors, true>(g, in, base, first, pass, c);
        }
        for (; first < rows; first += kLanes) {
            start_rows<P, 1, false>(g, in, base, first,
                                    rows - first < kLanes ? rows - first : kLanes, c);
        }
        mark(1);
        search_rows<P>(g, rows, c, observer_of(base));
        mark(2);
        first = 0;
        for (; rows - first >= pass; first += pass) {
            result_rows<P, kLengths, kSearchVectors, true>(g, c, base, first, pass, out);
        }
        for (; first < rows; first += kLanes) {
            result_rows<P, kLengths, 1, false>(g, c, base, first,
                                               rows - first < kLanes ? rows - first : kLanes, out);
        }
        mark(3);
    }
}

// s12, azi1, azi2; with kLengths also a12 and m12, which the three-output
// kernel never computes.
template <bool kLengths>
struct GeodesicInverseBody : GeodesicKernel<GeodesicInverseBody<kLengths>, kLengths> {
    template <class P>
    static void run(const GeodesicEllipsoid &g, std::ptrdiff_t n, const In *in, const Out *out)
    {
        inverse_chunks<P, kLengths>(
            g, n, in, out, [](std::ptrdiff_t) { return Unobserved{}; }, [](int) {});
    }
};

using GeodesicInverse = GeodesicInverseBody<false>;
using GeodesicInverseLengths = GeodesicInverseBody<true>;

}  // namespace
}  // namespace quorvane::kernels
