#include "binding/batch_call.hpp"

#include "binding/thread_split.hpp"
#include "binding/interop.hpp"

namespace quorvane::binding {

void BatchCall::run(const kernels::In *points, int npoints, std::ptrdiff_t n) const
{
    kernels::In in[2 * kMaxColumns];
    int nin = 0;
    auto add_fixed = [&] {
        for (int k = 0; k < nfixed_; ++k) {
            in[nin++] = {reinterpret_cast<const char *>(&fixed_[k]), 0};
        }
    };
    if (fixed_first_) {
        add_fixed();
    }
    for (int k = 0; k < npoints; ++k) {
        in[nin++] = points[k];
    }
    if (!fixed_first_) {
        add_fixed();
    }
    split_across_threads(n, [&](std::ptrdiff_t begin, std::ptrdiff_t end) {
        kernels::In part_in[2 * kMaxColumns];
        kernels::Out part_out[kMaxColumns];
        for (int k = 0; k < nin; ++k) {
            part_in[k] = {in[k].data + begin * in[k].stride, in[k].stride};
        }
        for (int k = 0; k < nout_; ++k) {
            part_out[k] = {out_[k].data + begin * out_[k].stride, out_[k].stride};
        }
        kernel_(Re_, f_, end - begin, part_in, part_out);
    });
}

}  // namespace quorvane::binding
