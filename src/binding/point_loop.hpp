// The loop over the points of a whole-array call: reads point i of the
// sources (parallel one-dimensional arguments, or the rows of one (n, 3)
// argument), calls body(i, point) and stops at the first failed read or
// pending exception. In a closed loop (loop_plan.hpp) over float64 sources
// the points are read from memory, and a ready batch call converts them all
// at once.
#pragma once

#include <cstring>

#include "binding/batch_call.hpp"
#include "binding/loop_plan.hpp"
#include "interop/source.hpp"
#include "binding/interop.hpp"

namespace quorvane::binding {

class PointSources {
public:
    // `count` one-dimensional sources, or one source of rows (`rows`).
    PointSources(Source *const *sources, int count, bool rows)
        : sources_(sources), count_(count), rows_(rows)
    {
    }

    // The points' columns where every source is frozen as float64; the
    // number of leading points they all hold, up to `stop` (0 otherwise).
    Py_ssize_t frozen_columns(Py_ssize_t stop, kernels::In *columns) const
    {
        StridedDoubles d;
        if (rows_) {
            if (!sources_[0]->frozen_float64(2, &d)) {
                return 0;
            }
            for (int j = 0; j < 3; ++j) {
                columns[j] = {d.data + j * d.s1, d.s0};
            }
            return d.n < stop ? d.n : stop;
        }
        Py_ssize_t end = stop;
        for (int k = 0; k < count_; ++k) {
            if (!sources_[k]->frozen_float64(1, &d)) {
                return 0;
            }
            columns[k] = {d.data, d.s0};
            end = d.n < end ? d.n : end;
        }
        return end;
    }

    int width() const { return rows_ ? 3 : count_; }

    // Point i through each source's current layout or the item protocol.
    bool read(Py_ssize_t i, double *point) const
    {
        if (rows_) {
            return sources_[0]->row(i, point);
        }
        for (int k = 0; k < count_; ++k) {
            if (!sources_[k]->element(i, &point[k])) {
                return false;
            }
        }
        return true;
    }

private:
    Source *const *sources_;
    int count_;
    bool rows_;
};

// The rows of the result that the batch call did not write are zeroed (when
// their zeros were deferred) before any point is converted one by one: a
// table routine need not write every field.
template <class Body>
bool for_each_point(const LoopPlan &plan, const PointSources &points, Py_ssize_t stop,
                    const BatchCall &batch, DeferredZeros &deferred, Body body)
{
    kernels::In columns[3];
    const int width = points.width();
    const Py_ssize_t end = plan.closed() ? points.frozen_columns(stop, columns) : 0;
    Py_ssize_t i = 0;
    if (batch.ready() && end > 0) {
        batch.run(columns, width, end);
        i = end;
    }
    deferred.zero_from(i);
    double point[3];
    for (; i < end; ++i) {
        for (int k = 0; k < width; ++k) {
            std::memcpy(&point[k], columns[k].data + i * columns[k].stride, sizeof(double));
        }
        body(i, point);
        if (PyErr_Occurred()) {
            return false;
        }
    }
    for (; i < stop; ++i) {
        if (!points.read(i, point)) {
            return false;
        }
        body(i, point);
        if (PyErr_Occurred()) {
            return false;
        }
    }
    return true;
}

}  // namespace quorvane::binding
