// A whole-array call of a batch kernel: the seam where a closed loop (see
// loop_plan.hpp) whose inputs are all float64 hands its points to the numeric
// core at once instead of calling the table routine point by point. The
// kernels give each point the bits of the table's own routine, so the two
// ways are indistinguishable; only the time differs.
#pragma once

#include "core/kernels/kernel_set.hpp"
#include "quorvane/mathtools/ellipsoid/ellipsoid.h"
#include "interop/result.hpp"
#include "binding/interop.hpp"

namespace quorvane::binding {

class BatchCall {
public:
    // The most columns any kernel reads or writes: enu's nine outputs, the
    // three fixed and three per-point inputs of the ray and aer kernels.
    static constexpr int kMaxColumns = 9;

    BatchCall() = default;

    // `kernel` over the points of a call on `self`; `fixed` values are
    // inputs shared by every point, read before (`fixed_first`) or after the
    // per-point columns.
    BatchCall(kernels::Kernel kernel, const Ellipsoid *self, const double *fixed = nullptr,
              int nfixed = 0, bool fixed_first = false)
        : kernel_(kernel), Re_(self->Re), f_(self->f), nfixed_(nfixed), fixed_first_(fixed_first)
    {
        for (int k = 0; k < nfixed; ++k) {
            fixed_[k] = fixed[k];
        }
    }

    // The same, writing `count` output columns of `sink` (a ResultView or
    // CellStores).
    template <class Sink>
    BatchCall(kernels::Kernel kernel, const Ellipsoid *self, const Sink &sink, int count)
        : BatchCall(kernel, self)
    {
        write_to(sink, count);
    }

    // Where the outputs go: `count` columns of the result.
    template <class Sink>
    void write_to(const Sink &sink, int count)
    {
        StridedColumn columns[kMaxColumns];
        nout_ = count <= kMaxColumns && sink.out_columns(columns, count) ? count : 0;
        for (int j = 0; j < nout_; ++j) {
            out_[j] = {columns[j].data, columns[j].stride};
        }
    }

    bool ready() const { return kernel_ != nullptr && nout_ > 0; }

    // Runs the kernel over points [0, n) of the per-point input columns,
    // split across threads as configured.
    void run(const kernels::In *points, int npoints, std::ptrdiff_t n) const;

private:
    kernels::Kernel kernel_ = nullptr;
    double Re_ = 0.0;
    double f_ = 0.0;
    double fixed_[3] = {};  // a ray origin or an observer's latitude, longitude, altitude
    int nfixed_ = 0;
    bool fixed_first_ = false;
    kernels::Out out_[kMaxColumns] = {};
    int nout_ = 0;
};

}  // namespace quorvane::binding
