// The opt-in split of one large call across worker threads.
//
// The calling thread keeps the interpreter lock for the whole call, as every
// method does; the workers run only GIL-free batch routines on disjoint
// ranges of points, and the call returns once all of them have finished. The
// batch routines give every point the same bits whatever range it falls in,
// so the result does not depend on the number of threads.
//
// QUORVANE_NUM_THREADS (read once, at start-up) sets the number of threads a
// call may use, the calling thread included; unset, empty, not a number or
// below 2 means one thread and nothing changes.
#pragma once

#include <cstddef>
#include <thread>
#include "binding/interop.hpp"

namespace quorvane::binding {

// Starting a thread costs tens of microseconds; below this many points per
// thread the split would cost more than it saves.
constexpr std::ptrdiff_t kMinPointsPerThread = 1 << 16;

// More threads than this are never started, whatever the variable says.
constexpr int kMaxThreads = 64;

// Reads QUORVANE_NUM_THREADS.
void configure_threads();

// The number of threads a call may use.
int configured_threads();

// Runs work(begin, end) over [0, n) in contiguous ranges, on up to
// configured_threads() threads when n is large enough to repay starting
// them, otherwise on the calling thread alone. `work` must not touch the
// interpreter.
template <class Work>
void split_across_threads(std::ptrdiff_t n, Work work)
{
    std::ptrdiff_t threads = configured_threads();
    if (threads > n / kMinPointsPerThread) {
        threads = n / kMinPointsPerThread;
    }
    if (threads < 2) {
        work(0, n);
        return;
    }
    std::thread workers[kMaxThreads];
    const std::ptrdiff_t chunk = (n + threads - 1) / threads;
    std::ptrdiff_t begin = chunk;  // the calling thread takes [0, chunk)
    for (std::ptrdiff_t t = 1; t < threads && begin < n; ++t, begin += chunk) {
        const std::ptrdiff_t end = begin + chunk < n ? begin + chunk : n;
        try {
            workers[t] = std::thread(work, begin, end);
        } catch (...) {
            // No thread to be had: this range runs here instead.
            work(begin, end);
        }
    }
    work(0, chunk);
    for (std::thread &worker : workers) {
        if (worker.joinable()) {
            worker.join();
        }
    }
}

}  // namespace quorvane::binding
