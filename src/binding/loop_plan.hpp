// How the loop of one call runs over its points, decided once per call.
//
// Three facts decide it: whether the routine called per point is this
// module's own (it runs no Python code), whether the stores into the result
// run no Python code (a typed view always; item assignment only into a
// private plain float64 array), and whether every input can be read from
// memory (an exact ndarray of a real dtype in native byte order). When all
// three hold, no Python code can run while the loop does: the plan freezes
// the inputs' layouts for the loop's duration and lets the result be written
// straight through, without re-reading anything. Otherwise every read goes
// through the input's current layout or the item protocol, and a result that
// Python code can still reach is re-read before each store.
//
// A closed plan whose inputs are all float64 is where whole arrays may go to
// a batch routine.
#pragma once

#include "interop/result.hpp"
#include "interop/source.hpp"
#include "binding/interop.hpp"

namespace quorvane::binding {

class LoopPlan {
public:
    LoopPlan(bool native_routine, ResultView &out, Source *const *sources, int count)
        : LoopPlan(native_routine, sources, count)
    {
        if (closed_) {
            out.close();
        }
    }

    LoopPlan(bool native_routine, const CellStores &cells, Source *const *sources, int count)
        : LoopPlan(native_routine && cells.direct(), sources, count)
    {
    }

    ~LoopPlan()
    {
        for (int k = 0; closed_ && k < count_; ++k) {
            sources_[k]->thaw();
        }
    }

    LoopPlan(const LoopPlan &) = delete;
    LoopPlan &operator=(const LoopPlan &) = delete;

    bool closed() const { return closed_; }

private:
    LoopPlan(bool python_free_calls, Source *const *sources, int count)
        : sources_(sources), count_(count)
    {
        if (!python_free_calls) {
            return;
        }
        for (int k = 0; k < count; ++k) {
            if (!sources[k]->freeze()) {
                // A source read through Python code may change the others.
                for (int j = 0; j < k; ++j) {
                    sources[j]->thaw();
                }
                return;
            }
        }
        closed_ = true;
    }

    Source *const *sources_;
    int count_;
    bool closed_ = false;
};

}  // namespace quorvane::binding
