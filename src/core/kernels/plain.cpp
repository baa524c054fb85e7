// The plain kernel set: libm per lane, for any x86-64 CPU and any C library.
// Always built; the fallback where AVX2, FMA or libmvec is missing.
#include <cmath>

#define QUORVANE_KERNEL_LANES 1

#include "core/kernels/kernel_bodies.hpp"

namespace quorvane::kernels {

namespace {

#define QV_PER_LANE(name)                  \
    QV_INLINE static dv name(dv a)         \
    {                                      \
        dv r;                              \
        for (int j = 0; j < kLanes; ++j) { \
            r[j] = std::name(a[j]);        \
        }                                  \
        return r;                          \
    }

struct Plain {
    QV_PER_LANE(sqrt)
    QV_PER_LANE(sin)
    QV_PER_LANE(cos)
    QV_PER_LANE(tan)
    QV_PER_LANE(atan)
    QV_PER_LANE(asin)
    QV_PER_LANE(sinh)
    QV_PER_LANE(asinh)
    QV_PER_LANE(atanh)

    QV_INLINE static dv atan2(dv y, dv x)
    {
        dv r;
        for (int j = 0; j < kLanes; ++j) {
            r[j] = std::atan2(y[j], x[j]);
        }
        return r;
    }
};

#undef QV_PER_LANE

constexpr KernelSet kPlain = make_set<Plain>("plain");

}  // namespace

const KernelSet &plain_set() { return kPlain; }

}  // namespace quorvane::kernels
