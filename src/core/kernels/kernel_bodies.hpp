// The batch kernels of one instruction set: a driver that walks strided columns
// in passes of two vectors, and one body per kernel built from the lane
// formulas. Included by plain.cpp and avx2.cpp, each with its own policy P.
#pragma once

#include <cstddef>
#include <type_traits>

#include "core/kernels/cells.hpp"
#include "core/kernels/ellipsoid_params.hpp"
#include "core/kernels/geodesic_inverse_driver.hpp"
#include "core/kernels/geodetic_lanes.hpp"
#include "core/kernels/kernel_set.hpp"
#include "core/kernels/lanes.hpp"
#include "core/kernels/ray_aer_lanes.hpp"
#include "core/kernels/surface_lanes.hpp"

namespace quorvane::kernels {
namespace {

// Measured at 10^6 WGS84 points, AVX2, ns per point for lla_from_pos / aer:
// one vector 25.4 / 30.6, two 20.0 / 25.2, three 27.4 / 33.9, four 23.6 / 31.4.
// Beyond two, the live values of the longer kernels no longer fit the sixteen
// vector registers and spill.
constexpr int kVectorsPerPass = 2;

// A body may take more: the geodetic solver's chain of sine, cosine and divide
// per Newton step leaves the divider and the elementary functions idle
// between dependent steps, and four independent vectors fill them (lla_from_pos
// 7 to 9 % faster measured in CPU time at 2 * 10^5 points; the frame kernels
// slower). A lane's result is the same in a pass of any width.
template <class Body, class = void>
struct PassVectors {
    static constexpr int value = kVectorsPerPass;
};

template <class Body>
struct PassVectors<Body, std::void_t<decltype(Body::vectors_per_pass)>> {
    static constexpr int value = Body::vectors_per_pass;
};

// The points from i on, fewer than a pass, one vector at a time. Only this
// cold part has a function of its own: the pass loop stays whole in run_cells,
// since its gathers and stores moved into functions of their own, although
// inlined, came out of GCC with other registers and spills in the kernels.
template <class P, class Body, class Context, class Cells>
QV_INLINE void run_tail(const Context &context, std::ptrdiff_t i, std::ptrdiff_t n, const In *in,
                        const Out *out, Cells &cells)
{
    for (; i < n; i += kLanes) {
        const std::ptrdiff_t valid = n - i < kLanes ? n - i : kLanes;
        V<1> x[Body::inputs];
        V<1> y[Body::outputs];
        for (int c = 0; c < Body::inputs; ++c) {
            x[c].v[0] = cells.gather(in[c], i, valid);
        }
        Body::template lanes<P, 1>(context, x, y);
        for (int c = 0; c < Body::outputs; ++c) {
            cells.store_first(out[c], i, valid, canonical_nan(y[c]).v[0]);
        }
    }
}

// Full passes of the body's vectors per pass, then the remaining points one vector
// at a time (run_tail), its unused lanes filled with the last point so that they
// run the same steps as a real one; only valid lanes are stored. A lane's result
// depends on that lane's inputs alone, so a point gives the same bits in a full
// pass, in a tail and alone (n = 1, the one-point routines), from columns of
// doubles or of float32.
template <class P, class Body, class Context, class Cells>
void run_cells(const Context &context, std::ptrdiff_t n, const In *in, const Out *out,
               Cells &caller_cells)
{
    // A copy whose address never escapes: the stores into the columns could
    // alias the caller's, and its rounding would go through memory each time.
    Cells cells = caller_cells;
    constexpr int ni = Body::inputs;
    constexpr int no = Body::outputs;
    constexpr int K = PassVectors<Body>::value;
    constexpr std::ptrdiff_t pass = K * kLanes;
    // Three leading columns that are records of three move as whole records.
    const int first_in = record_columns<typename Cells::InCell>(in, ni);
    const int first_out = record_columns<typename Cells::OutCell>(out, no);
    std::ptrdiff_t i = 0;
    for (; n - i >= pass; i += pass) {
        V<K> x[ni];
        V<K> y[no];
        for (int k = 0; first_in != 0 && k < K; ++k) {
            gather_records(in, i + k * kLanes, &x[0].v[k], &x[1].v[k], &x[2].v[k]);
        }
        for (int c = first_in; c < ni; ++c) {
            for (int k = 0; k < K; ++k) {
                x[c].v[k] = cells.gather(in[c], i + k * kLanes, kLanes);
            }
        }
        Body::template lanes<P, K>(context, x, y);
        for (int c = 0; c < no; ++c) {
            y[c] = canonical_nan(y[c]);
        }
        for (int k = 0; first_out != 0 && k < K; ++k) {
            store_records(out, i + k * kLanes, y[0].v[k], y[1].v[k], y[2].v[k]);
        }
        for (int c = first_out; c < no; ++c) {
            for (int k = 0; k < K; ++k) {
                cells.store_all(out[c], i + k * kLanes, y[c].v[k]);
            }
        }
    }
    run_tail<P, Body>(context, i, n, in, out, cells);
    caller_cells = cells;
}

template <class P, class Body, class Context>
void run_with(const Context &context, std::ptrdiff_t n, const In *in, const Out *out)
{
    DoubleCells cells;
    run_cells<P, Body>(context, n, in, out, cells);
}

// The usual entry: a body whose lanes need the ellipsoid and nothing else
// computed per call.
template <class P, class Body>
void run(double Re, double f, std::ptrdiff_t n, const In *in, const Out *out)
{
    run_with<P, Body>(make_params(Re, f), n, in, out);
}

// Lane i of v in every lane.
QV_INLINE V<1> lane(dv v, int i)
{
    V<1> r;
    for (int j = 0; j < kLanes; ++j) {
        r.v[0][j] = v[i % kLanes];
    }
    return r;
}

// A body built on one surface point (inputs `latitude` and `latitude + 1`)
// and the six sines and cosines of surface_trig, on one point alone, as the
// methods' one-point calls run it. Its lanes would all hold the same point, so
// the three arguments go side by side into the lanes of one sine and one
// cosine call instead of three of each: every lane's result depends on that
// lane's argument alone, so the bits are those of the body's own lanes.
template <class P, class Body, class Cells>
void run_surface_point(double Re, double f, std::ptrdiff_t n, const In *in, const Out *out,
                       Cells &cells)
{
    if (n != 1 || kLanes < 3) {
        run_cells<P, Body>(make_params(Re, f), n, in, out, cells);
        return;
    }
    const EllipsoidParams E = make_params(Re, f);
    V<1> x[Body::inputs];
    V<1> y[Body::outputs];
    for (int c = 0; c < Body::inputs; ++c) {
        x[c].v[0] = cells.gather(in[c], 0, 1);
    }
    const V<1> phi = x[Body::latitude];
    const V<1> lambda = x[Body::latitude + 1];
    const V<1> beta = reduced_lat<P>(E, phi);
    dv packed = phi.v[0];  // beta, lambda, phi, phi
    packed[0] = beta.v[0][0];
    packed[1 % kLanes] = lambda.v[0][0];
    const dv s = P::sin(packed);
    const dv c = P::cos(packed);
    const SurfaceTrig<1> t = {lane(s, 2), lane(c, 2), lane(s, 1),
                              lane(c, 1), lane(s, 0), lane(c, 0)};
    Body::template from_trig<P, 1>(E, x, t, y);
    for (int k = 0; k < Body::outputs; ++k) {
        cells.store_first(out[k], 0, 1, canonical_nan(y[k]).v[0]);
    }
}

// The base of such a body, Self, whose from_trig() takes the trig of its
// latitude and longitude (inputs 0 and 1): lanes() for the other drivers, and
// its own driver.
template <class Self, int kInputs, int kOutputs>
struct SurfacePointBody {
    static constexpr int inputs = kInputs, outputs = kOutputs;
    static constexpr int latitude = 0;
    template <class P, int K>
    QV_INLINE static void lanes(const EllipsoidParams &E, const V<K> *x, V<K> *y)
    {
        Self::template from_trig<P>(E, x, surface_trig<P>(E, x[latitude], x[latitude + 1]), y);
    }
    template <class P, class Cells>
    static void cells_kernel(double Re, double f, std::ptrdiff_t n, const In *in, const Out *out,
                             Cells &cells)
    {
        run_surface_point<P, Self>(Re, f, n, in, out, cells);
    }
};

// A body with a driver of its own for any cells.
template <class P, class Body, class Cells, class = void>
constexpr bool kHasCellsKernel = false;

template <class P, class Body, class Cells>
constexpr bool
    kHasCellsKernel<P, Body, Cells, std::void_t<decltype(&Body::template cells_kernel<P, Cells>)>> =
        true;

// The values of a call's one observer, whose columns (from obs on) repeat one
// point: computed once, on that point, by the observer's own driver where it
// has one, and splatted into every lane of the targets (TargetsOfOneObserver).
template <class Observer>
struct OneObserver {
    EllipsoidParams E;
    double observer[Observer::outputs];
};

template <class P, class Observer, class InCell>
OneObserver<Observer> one_observer(double Re, double f, const In *obs)
{
    OneObserver<Observer> context{make_params(Re, f), {}};
    Out out[Observer::outputs];
    for (int c = 0; c < Observer::outputs; ++c) {
        out[c] = {reinterpret_cast<char *>(&context.observer[c]), 0};
    }
    // The observer's values stay doubles, whatever the columns hold.
    Cells<InCell, double> cells;
    if constexpr (kHasCellsKernel<P, Observer, decltype(cells)>) {
        Observer::template cells_kernel<P>(Re, f, 1, obs, out, cells);
    } else {
        run_cells<P, Observer>(context.E, 1, obs, out, cells);
    }
    return context;
}

// The targets of one observer: Target's lanes, which take the observer's
// values as a further argument, on the first `columns` input columns; where
// the observer's repeated columns follow the target's, only the target's are
// gathered for every point.
template <class Target, class Observer, int columns = Target::inputs>
struct TargetsOfOneObserver {
    static constexpr int inputs = columns, outputs = Target::outputs;
    template <class P, int K>
    QV_INLINE static void lanes(const OneObserver<Observer> &c, const V<K> *x, V<K> *y)
    {
        V<K> observer[Observer::outputs];
        for (int i = 0; i < Observer::outputs; ++i) {
            observer[i] = splat<K>(c.observer[i]);
        }
        Target::template lanes<P, K>(c.E, x, observer, y);
    }
};

struct ReducedLat {
    static constexpr int inputs = 1, outputs = 1;
    template <class P, int K>
    QV_INLINE static void lanes(const EllipsoidParams &E, const V<K> *x, V<K> *y)
    {
        y[0] = reduced_lat<P>(E, x[0]);
    }
};

struct GeodeticLat {
    static constexpr int inputs = 1, outputs = 1;
    template <class P, int K>
    QV_INLINE static void lanes(const EllipsoidParams &E, const V<K> *x, V<K> *y)
    {
        y[0] = geodetic_lat<P>(E, x[0]);
    }
};

struct Normal {
    static constexpr int inputs = 2, outputs = 3;
    template <class P, int K>
    QV_INLINE static void lanes(const EllipsoidParams &, const V<K> *x, V<K> *y)
    {
        normal<P>(x[0], x[1], y);
    }
};

struct Tangents {
    static constexpr int inputs = 2, outputs = 6;
    template <class P, int K>
    QV_INLINE static void lanes(const EllipsoidParams &E, const V<K> *x, V<K> *y)
    {
        tangents<P>(E, x[0], x[1], y, y + 3);
    }
};

struct Enu : SurfacePointBody<Enu, 2, 9> {
    template <class P, int K>
    QV_INLINE static void from_trig(const EllipsoidParams &E, const V<K> *, const SurfaceTrig<K> &t,
                                    V<K> *y)
    {
        normal_of(t, y + 6);
        tangents_of<P>(E, t, y, y + 3);
    }
};

struct SurfPos : SurfacePointBody<SurfPos, 2, 3> {
    template <class P, int K>
    QV_INLINE static void from_trig(const EllipsoidParams &E, const V<K> *, const SurfaceTrig<K> &t,
                                    V<K> *y)
    {
        surface_position_of(E, t, y);
    }
};

struct SurfCoordOf {
    static constexpr int inputs = 3, outputs = 2;
    template <class P, int K>
    QV_INLINE static void lanes(const EllipsoidParams &E, const V<K> *x, V<K> *y)
    {
        surface_coordinates<P>(E, x, y, y + 1);
    }
};

struct Solve {
    static constexpr int inputs = 3, outputs = 1, vectors_per_pass = 4;
    template <class P, int K>
    QV_INLINE static void lanes(const EllipsoidParams &E, const V<K> *x, V<K> *y)
    {
        y[0] = solve_reduced_lat<P>(E, x);
    }
};

struct LlaFromPos {
    static constexpr int inputs = 3, outputs = 3, vectors_per_pass = 4;
    template <class P, int K>
    QV_INLINE static void lanes(const EllipsoidParams &E, const V<K> *x, V<K> *y)
    {
        geodetic_of<P>(E, x, y);
    }
};

struct Longitude {
    static constexpr int inputs = 2, outputs = 1;
    template <class P, int K>
    QV_INLINE static void lanes(const EllipsoidParams &, const V<K> *x, V<K> *y)
    {
        y[0] = longitude<P>(x[0], x[1]);
    }
};

struct Altitude {
    static constexpr int inputs = 4, outputs = 1;
    template <class P, int K>
    QV_INLINE static void lanes(const EllipsoidParams &E, const V<K> *x, V<K> *y)
    {
        y[0] = altitude<P>(E, x, x[3]);
    }
};

template <int K>
QV_INLINE void position_of(const EllipsoidParams &E, const SurfaceTrig<K> &t, V<K> alt, V<K> *r)
{
    V<K> r_surf[3];
    V<K> up[3];
    surface_position_of(E, t, r_surf);
    normal_of(t, up);
    offset_along_normal(alt, up, r_surf, r);
}

struct PosFromLla : SurfacePointBody<PosFromLla, 3, 3> {
    template <class P, int K>
    QV_INLINE static void from_trig(const EllipsoidParams &E, const V<K> *x,
                                    const SurfaceTrig<K> &t, V<K> *y)
    {
        position_of(E, t, x[2], y);
    }
};

struct RayHit {
    static constexpr int inputs = 6, outputs = 3;
    template <class P, int K>
    QV_INLINE static void lanes(const EllipsoidParams &E, const V<K> *x, V<K> *y)
    {
        ray_hit<P>(E, x, x + 3, y);
    }
};

// The target steps of slot 12, from the observer's position and its east,
// north and up vectors (frame[0..2], [3..5], [6..8]): vectools' sub, the
// three dot products and the norm, then the look angles.
template <class P, int K>
QV_INLINE void aer_in_frame(const V<K> *target, const V<K> *r_obs, const V<K> *frame, V<K> *y)
{
    V<K> d[3];
    for (int i = 0; i < 3; ++i) {
        d[i] = target[i] - r_obs[i];
    }
    const V<K> east = dot3(d, frame);
    const V<K> north = dot3(d, frame + 3);
    const V<K> up = dot3(d, frame + 6);
    y[2] = sqrt<P>(dot3(d, d));
    look_angles<P>(east, north, up, y[2], y, y + 1);
}

// The observer's position and frame, the steps of Aer that depend on it alone:
// pos_from_lla's outputs, then enu's east, north and up vectors.
struct ObserverFrame
    : SurfacePointBody<ObserverFrame, PosFromLla::inputs, PosFromLla::outputs + Enu::outputs> {
    template <class P, int K>
    QV_INLINE static void from_trig(const EllipsoidParams &E, const V<K> *x,
                                    const SurfaceTrig<K> &t, V<K> *y)
    {
        PosFromLla::from_trig<P>(E, x, t, y);
        Enu::from_trig<P>(E, x, t, y + PosFromLla::outputs);
    }
};

// aer_coords' steps for a target (inputs xyz, then the observer's columns,
// unread), given the observer's position and frame, ObserverFrame's outputs.
struct AerOfTarget {
    static constexpr int inputs = 6, outputs = 3;
    template <class P, int K>
    QV_INLINE static void lanes(const EllipsoidParams &, const V<K> *x, const V<K> *observer,
                                V<K> *y)
    {
        aer_in_frame<P>(x, observer, observer + 3, y);
    }
};

struct Aer {
    static constexpr int inputs = 6, outputs = 3;
    static constexpr int latitude = 3;
    template <class P, int K>
    QV_INLINE static void from_trig(const EllipsoidParams &E, const V<K> *x,
                                    const SurfaceTrig<K> &t, V<K> *y)
    {
        V<K> observer[ObserverFrame::outputs];
        ObserverFrame::from_trig<P>(E, x + 3, t, observer);
        AerOfTarget::lanes<P>(E, x, observer, y);
    }
    template <class P, int K>
    QV_INLINE static void lanes(const EllipsoidParams &E, const V<K> *x, V<K> *y)
    {
        from_trig<P>(E, x, surface_trig<P>(E, x[3], x[4]), y);
    }

    // aer_coords. A method call has one observer for all its targets (stride-0
    // observer columns): its position and frame are computed once, on one point,
    // and every target then takes only the steps that involve it. A lane's result
    // depends on that lane's inputs alone, so the bits are those of Aer.
    template <class P, class Cells>
    static void cells_kernel(double Re, double f, std::ptrdiff_t n, const In *in, const Out *out,
                             Cells &cells)
    {
        if (n < 2 || in[3].stride != 0 || in[4].stride != 0 || in[5].stride != 0) {
            run_surface_point<P, Aer>(Re, f, n, in, out, cells);
            return;
        }
        const auto observer = one_observer<P, ObserverFrame, typename Cells::InCell>(Re, f, in + 3);
        run_cells<P, TargetsOfOneObserver<AerOfTarget, ObserverFrame, 3>>(observer, n, in, out,
                                                                          cells);
    }
};

struct LookAngles {
    static constexpr int inputs = 4, outputs = 3;
    template <class P, int K>
    QV_INLINE static void lanes(const EllipsoidParams &, const V<K> *x, V<K> *y)
    {
        look_angles<P>(x[0], x[1], x[2], x[3], y, y + 1);
        y[2] = x[3];
    }
};

struct AlongNormal {
    static constexpr int inputs = 7, outputs = 3;
    template <class P, int K>
    QV_INLINE static void lanes(const EllipsoidParams &, const V<K> *x, V<K> *y)
    {
        offset_along_normal(x[0], x + 1, x + 4, y);
    }
};

}  // namespace
}  // namespace quorvane::kernels

// The families of conversions built on the bodies above.
#include "core/kernels/auxiliary_latitude_lanes.hpp"
#include "core/kernels/geocentric_lanes.hpp"
#include "core/kernels/local_frame_lanes.hpp"
#include "core/kernels/look_at_lanes.hpp"
#include "core/kernels/radii_lanes.hpp"

namespace quorvane::kernels {
namespace {

// A body's own driver where it has one: kernel<P>, for doubles alone, or
// cells_kernel<P>, for any cells; else run<P, Body>.
template <class P, class Body, class = void>
struct Driver {
    static constexpr Kernel kernel = run<P, Body>;
};

template <class P, class Body>
struct Driver<P, Body, std::void_t<decltype(&Body::template kernel<P>)>> {
    static constexpr Kernel kernel = &Body::template kernel<P>;
};

template <class P, class Body>
struct Driver<P, Body, std::void_t<decltype(&Body::template cells_kernel<P, DoubleCells>)>> {
    static void kernel(double Re, double f, std::ptrdiff_t n, const In *in, const Out *out)
    {
        DoubleCells cells;
        Body::template cells_kernel<P>(Re, f, n, in, out, cells);
    }
};

// Float32 columns read and written in place pay where moving the points
// costs about as much as converting them: a float32 call of a few nanoseconds
// a point spent nearly half its time widening and rounding blocks of copies.
// The conversions below take 20 to 100 ns a point (the geodetic solvers above
// all), so their float32 calls keep the ufunc loop's widened blocks, at most
// about a fifth over their float64 time, and the build keeps one copy of their
// code.
template <class Body, class... Listed>
constexpr bool kComputeBound = (std::is_same_v<Body, Listed> || ...);

template <class Body>
constexpr bool compute_bound()
{
    return kComputeBound<Body, LlaFromPos, Seen<EnuForm, LlaForm>, Seen<NedForm, LlaForm>,
                         Seen<AerForm, LlaForm>, Seen<LlaForm, AerForm>, LlaFromSpherical,
                         GeodeticLatFromGeocentricLat, LookAtSpheroid>;
}

template <class P, class Body, class = void>
struct Float32Driver {
    static Rounding kernel(double Re, double f, std::ptrdiff_t n, const In *in, const Out *out)
    {
        Float32Cells cells;
        run_cells<P, Body>(make_params(Re, f), n, in, out, cells);
        return cells.rounding.reduce();
    }
};

template <class P, class Body>
struct Float32Driver<P, Body, std::void_t<decltype(&Body::template kernel<P>)>> {
    static constexpr Float32Kernel kernel = nullptr;
};

template <class P, class Body>
struct Float32Driver<P, Body,
                     std::void_t<decltype(&Body::template cells_kernel<P, Float32Cells>)>> {
    static Rounding kernel(double Re, double f, std::ptrdiff_t n, const In *in, const Out *out)
    {
        Float32Cells cells;
        Body::template cells_kernel<P>(Re, f, n, in, out, cells);
        return cells.rounding.reduce();
    }
};

// Every registry entry's columns agree with its body.
#define QUORVANE_CHECK_COLUMNS(name, slot, columns, ...)                                   \
    static_assert(registry::count_columns(columns).point_inputs == __VA_ARGS__::inputs,    \
                  #name ": the registry's inputs differ from the kernel body's");          \
    static_assert(registry::count_columns(columns).output_columns == __VA_ARGS__::outputs, \
                  #name ": the registry's output columns differ from the kernel body's");
QUORVANE_KERNELS(QUORVANE_CHECK_COLUMNS)
#undef QUORVANE_CHECK_COLUMNS

// Discarded for a compute-bound body, so that its float32 driver is never built.
template <class P, class Body>
constexpr Float32Kernel in_place_float32()
{
    if constexpr (compute_bound<Body>()) {
        return nullptr;
    } else {
        return Float32Driver<P, Body>::kernel;
    }
}

template <class P>
constexpr KernelSet make_set(const char *name)
{
    return KernelSet{
        {
#define QUORVANE_DRIVER(name, slot, columns, ...) Driver<P, __VA_ARGS__>::kernel,
            QUORVANE_KERNELS(QUORVANE_DRIVER)
#undef QUORVANE_DRIVER
        },
        // No ufunc calls the internal kernels.
        {
#define QUORVANE_FLOAT32_DRIVER(name, slot, columns, ...) in_place_float32<P, __VA_ARGS__>(),
            QUORVANE_CONVERSIONS(QUORVANE_FLOAT32_DRIVER)
#undef QUORVANE_FLOAT32_DRIVER
        },
        name,
    };
}

}  // namespace
}  // namespace quorvane::kernels
