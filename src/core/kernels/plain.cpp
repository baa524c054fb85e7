// The plain kernel set: libm per lane, for any x86-64 CPU and any C library.
// Always built; the fallback where AVX2, FMA or libmvec is missing.
#include <cmath>

#include "src/core/kernels/kernel_bodies.hpp"

namespace quorvane::kernels {

namespace {

#define QV_PER_LANE(name)                                                    \
    QV_INLINE static d4 name(d4 a)                                           \
    {                                                                        \
        d4 r;                                                                \
        for (int j = 0; j < kLanes; ++j) {                                   \
            r[j] = std::name(a[j]);                                          \
        }                                                                    \
        return r;                                                            \
    }

struct Plain {
    QV_PER_LANE(sqrt)
    QV_PER_LANE(sin)
    QV_PER_LANE(cos)
    QV_PER_LANE(tan)
    QV_PER_LANE(atan)
    QV_PER_LANE(asin)

    QV_INLINE static d4 atan2(d4 y, d4 x)
    {
        d4 r;
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
