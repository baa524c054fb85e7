// A kernel set: every kernel of the registry, for one instruction set, in the
// registry's order, so that registry::Id indexes it. The table's composite
// routines and their batch kernels compute the same lane formulas, so they
// agree bit for bit.
#pragma once

#include "core/kernels/batch.hpp"
#include "registry/conversions.hpp"

namespace quorvane::kernels {

struct KernelSet {
    Kernel table[registry::kKernelCount];
    const char *name;  // "avx2-libmvec" or "plain"
};

// Always available.
const KernelSet &plain_set();

// Only to be called once the CPU is known to have AVX2 and FMA; null when
// libmvec.so.1 or one of its functions cannot be found.
const KernelSet *avx2_set();

// The set chosen on the first call, for the life of the process: AVX2 with
// glibc's libmvec where the CPU has AVX2 and FMA and libmvec.so.1 provides every
// function, else the plain set (scalar libm per lane). The environment variable
// QUORVANE_KERNELS=plain, read on that first call, forces the plain set. Call
// it once with the interpreter lock held at start-up so that no later caller
// pays for the look-up.
const KernelSet &active_set();

inline Kernel kernel(registry::Id id) { return active_set().table[static_cast<int>(id)]; }

}  // namespace quorvane::kernels
