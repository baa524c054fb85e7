// Choice of the kernel set, made once per process.
#include <cstdlib>
#include <cstring>

#include "core/kernels/kernel_set.hpp"

namespace quorvane::kernels {

namespace {

const KernelSet &choose()
{
    const char *forced = std::getenv("QUORVANE_KERNELS");
    if (forced != nullptr && std::strcmp(forced, "plain") == 0) {
        return plain_set();
    }
    // Checked here, in code built for the baseline instruction set: avx2.cpp
    // may use AVX2 instructions anywhere, its look-up included.
    if (__builtin_cpu_supports("avx2") && __builtin_cpu_supports("fma")) {
        if (const KernelSet *set = avx2_set()) {
            return *set;
        }
    }
    return plain_set();
}

}  // namespace

const KernelSet &active_set()
{
    // Initialised once, thread-safely, on the first call.
    static const KernelSet &set = choose();
    return set;
}

}  // namespace quorvane::kernels
