// A kernel set: every kernel of the registry, for one instruction set, in the
// registry's order, so that registry::Id indexes it. The table's composite
// routines and their batch kernels compute the same lane formulas, so they
// agree bit for bit.
#pragma once

#include "core/kernels/batch.hpp"
#include "registry/conversions.hpp"

namespace quorvane::kernels {

// The rounding of a float32 kernel's results, as two magnitudes among them:
// the largest finite one and the smallest inexactly rounded one (0 and
// infinity where there is none). The kernels run with their floating-point
// flags held; rounding these two again where the flags count raises the
// overflow and underflow flags that rounding every result would have.
struct Rounding {
    double largest = 0.0;
    double smallest_inexact = __builtin_inf();

    // The two magnitudes of these results and those of `other` together.
    void merge(const Rounding &other)
    {
        largest = other.largest > largest ? other.largest : largest;
        smallest_inexact =
            other.smallest_inexact < smallest_inexact ? other.smallest_inexact : smallest_inexact;
    }
};

// A kernel on columns of float32 points and results (Re and f stay doubles):
// the float64 kernel's results rounded to float32, bit for bit.
using Float32Kernel = Rounding (*)(double Re, double f, std::ptrdiff_t n, const In *in,
                                   const Out *out);

struct KernelSet {
    Kernel table[registry::kKernelCount];
    // Null for the internal kernels, the compute-bound ones and those whose
    // own driver takes doubles alone; the ufunc loop then widens float32
    // columns into blocks of doubles.
    Float32Kernel float32[registry::kKernelCount];
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

inline Float32Kernel float32_kernel(registry::Id id)
{
    return active_set().float32[static_cast<int>(id)];
}

}  // namespace quorvane::kernels
