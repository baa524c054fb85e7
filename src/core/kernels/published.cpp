// The published table is generated from the registry's X lists: a conversion
// added there appears here with its name, columns and counts. The pieces that
// only the table's composite routines run (slot 0) stay private.
#include "core/kernels/published.hpp"

#include <array>
#include <cstring>
#include <limits>

#include "core/kernels/ellipsoid_params.hpp"
#include "core/kernels/kernel_set.hpp"
#include "registry/conversions.hpp"

namespace quorvane::kernels {

namespace {

// The kernel of `id`, giving NaN for an invalid ellipsoid as the ufuncs do:
// the kernels themselves assume a valid one.
template <registry::Id id>
void checked(double Re, double f, std::ptrdiff_t n, const In *in, const Out *out)
{
    constexpr registry::ColumnCounts counts = registry::counts_of(id);
    if (counts.ellipsoid == 0 || valid_ellipsoid(Re, f)) {
        kernel(id)(Re, f, n, in, out);
        return;
    }
    const double nan = std::numeric_limits<double>::quiet_NaN();
    for (int k = 0; k < counts.output_columns; ++k) {
        for (std::ptrdiff_t i = 0; i < n; ++i) {
            std::memcpy(out[k].data + i * out[k].stride, &nan, sizeof nan);
        }
    }
}

struct Candidate {
    QV_Kernel kernel;
    bool published;
};

#define QUORVANE_CANDIDATE(name, columns, published)                                  \
    {{#name, columns, registry::count_columns(columns).point_inputs,                  \
      registry::count_columns(columns).output_columns, &checked<registry::Id::name>}, \
     published},
#define QUORVANE_CONVERSION(name, slot, columns, ...) QUORVANE_CANDIDATE(name, columns, true)
#define QUORVANE_PIECE(name, slot, columns, ...) QUORVANE_CANDIDATE(name, columns, (slot) > 0)
constexpr Candidate kCandidates[] = {QUORVANE_CONVERSIONS(QUORVANE_CONVERSION)
                                         QUORVANE_INTERNAL_KERNELS(QUORVANE_PIECE)};
#undef QUORVANE_PIECE
#undef QUORVANE_CONVERSION
#undef QUORVANE_CANDIDATE

constexpr int kPublishedCount = [] {
    int count = 0;
    for (const Candidate &c : kCandidates) {
        count += c.published ? 1 : 0;
    }
    return count;
}();

constexpr std::array<QV_Kernel, kPublishedCount> kPublished = [] {
    std::array<QV_Kernel, kPublishedCount> published{};
    int k = 0;
    for (const Candidate &c : kCandidates) {
        if (c.published) {
            published[k++] = c.kernel;
        }
    }
    return published;
}();

}  // namespace

const QV_BatchAPI &batch_api()
{
    static const QV_BatchAPI api = {QV_BATCH_API_VERSION, sizeof(QV_BatchAPI), kPublishedCount,
                                    kPublished.data(), active_set().name};
    return api;
}

}  // namespace quorvane::kernels
