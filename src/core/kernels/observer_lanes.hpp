// Conversions relative to a geodetic observer: the driver that gives a target
// body its observer's position and frame, computed per point or, when every
// point has the same observer, once per call.
//
// The observer is the twelve values of ObserverFrame: position xyz, then the
// east, north and up unit vectors (the frame of aer_coords, so that the
// differences, dot products and norms here are its bits).
#pragma once

#include <cstddef>

#include "core/kernels/ellipsoid_params.hpp"
#include "core/kernels/lanes.hpp"

namespace quorvane::kernels {
namespace {

constexpr int kObserverValues = 12;

// The observer's position and frame once per call, splatted into every lane.
struct OneObserver {
    EllipsoidParams E;
    double observer[kObserverValues];
};

template <class Target, int first>
struct TargetsOfOneObserver {
    static constexpr int inputs = Target::inputs, outputs = Target::outputs;
    template <class P, int K>
    QV_INLINE static void lanes(const OneObserver &c, const V<K> *x, V<K> *y)
    {
        V<K> observer[kObserverValues];
        for (int i = 0; i < kObserverValues; ++i) {
            observer[i] = splat<K>(c.observer[i]);
        }
        Target::template lanes<P, K>(c.E, x, observer, y);
    }
};

// A body of targets (inputs and outputs of the conversion, lanes taking the
// observer as a thirteenth argument) whose observer lat0, lon0, alt0 are the
// input columns first, first + 1, first + 2.
template <class Target, int first>
struct Observed {
    static constexpr int inputs = Target::inputs, outputs = Target::outputs;

    template <class P, int K>
    QV_INLINE static void lanes(const EllipsoidParams &E, const V<K> *x, V<K> *y)
    {
        V<K> observer[kObserverValues];
        ObserverFrame::lanes<P, K>(E, x + first, observer);
        Target::template lanes<P, K>(E, x, observer, y);
    }

    // A broadcast observer (stride-0 columns) is converted once, on one point;
    // each lane then gets the bits it would have computed itself.
    template <class P>
    static void kernel(double Re, double f, std::ptrdiff_t n, const In *in, const Out *out)
    {
        const In *obs = in + first;
        if (n < 2 || obs[0].stride != 0 || obs[1].stride != 0 || obs[2].stride != 0) {
            run<P, Observed>(Re, f, n, in, out);
            return;
        }
        OneObserver context{make_params(Re, f), {}};
        Out observer_out[kObserverValues];
        for (int c = 0; c < kObserverValues; ++c) {
            observer_out[c] = {reinterpret_cast<char *>(&context.observer[c]), 0};
        }
        run_with<P, ObserverFrame>(context.E, 1, obs, observer_out);
        run_with<P, TargetsOfOneObserver<Target, first>>(context, n, in, out);
    }
};

}  // namespace
}  // namespace quorvane::kernels
