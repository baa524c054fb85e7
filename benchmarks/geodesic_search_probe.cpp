// The inverse geodesic kernel's phases, timed, and its search, counted: built
// and loaded by benchmarks/geodesics.py. It runs the kernel's own chunk loop
// (inverse_chunks, src/core/kernels/geodesic_inverse_driver.hpp) with an
// observer that counts the search's vector steps, the lanes busy in each, and
// every geodesic's evaluations, and the CPU time of each phase.
//
// QUORVANE_KERNEL_LANES selects the instruction set as in the kernels: 4 with
// glibc's libmvec (link with -lmvec, build with -mavx2 -mfma), 1 with libm.
#include <time.h>

#include <cmath>

#include "core/kernels/geodesic_inverse_driver.hpp"

#if QUORVANE_KERNEL_LANES == 4
#include <immintrin.h>

extern "C" {
quorvane::kernels::dv _ZGVdN4v_sin(quorvane::kernels::dv);
quorvane::kernels::dv _ZGVdN4v_cos(quorvane::kernels::dv);
quorvane::kernels::dv _ZGVdN4vv_atan2(quorvane::kernels::dv, quorvane::kernels::dv);
}
#endif

namespace quorvane::kernels {
namespace {

#if QUORVANE_KERNEL_LANES == 4
struct Policy {
    static dv sqrt(dv a) { return _mm256_sqrt_pd(a); }
    static dv sin(dv a) { return _ZGVdN4v_sin(a); }
    static dv cos(dv a) { return _ZGVdN4v_cos(a); }
    static dv atan2(dv y, dv x) { return _ZGVdN4vv_atan2(y, x); }
};
#else
struct Policy {
    static dv sqrt(dv a) { return dv{std::sqrt(a[0])}; }
    static dv sin(dv a) { return dv{std::sin(a[0])}; }
    static dv cos(dv a) { return dv{std::cos(a[0])}; }
    static dv atan2(dv y, dv x) { return dv{std::atan2(y[0], x[0])}; }
};
#endif

double cpu_seconds()
{
    timespec t;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + 1e-9 * static_cast<double>(t.tv_nsec);
}

struct Counter {
    double *evaluations;  // of the chunk's rows
    long *vector_steps;
    long *busy_lanes;
    void step(int busy) const
    {
        ++*vector_steps;
        *busy_lanes += busy;
    }
    void settled(int row, double count) const { evaluations[row] = count; }
};

}  // namespace
}  // namespace quorvane::kernels

using namespace quorvane::kernels;

// n geodesics of in[0..3] = lat1, lon1, lat2, lon2 (contiguous); out[0..2]
// receive s12, azi1, azi2 and evaluations[i] the evaluations of geodesic i.
// seconds: start, search, results; counts: vector steps, busy lane steps,
// lanes per vector step.
extern "C" void probe(double Re, double f, long n, const double *const *in, double *const *out,
                      double *evaluations, double *seconds, long *counts)
{
    In columns_in[4];
    Out columns_out[3];
    for (int c = 0; c < 4; ++c) {
        columns_in[c] = In{reinterpret_cast<const char *>(in[c]), sizeof(double)};
    }
    for (int c = 0; c < 3; ++c) {
        columns_out[c] = Out{reinterpret_cast<char *>(out[c]), sizeof(double)};
    }
    seconds[0] = seconds[1] = seconds[2] = 0.0;
    counts[0] = counts[1] = 0;
    counts[2] = kSearchVectors * kLanes;
    double last = 0.0;
    inverse_chunks<Policy, false>(
        make_geodesic_ellipsoid(Re, f), n, columns_in, columns_out,
        [&](std::ptrdiff_t base) { return Counter{evaluations + base, &counts[0], &counts[1]}; },
        [&](int phase) {
            const double now = cpu_seconds();
            if (phase > 0) {
                seconds[phase - 1] += now - last;
            }
            last = now;
        });
}
