// The one driver of the ten methods. Every Python-visible step (lookups,
// assertions, allocation, reads, stores, the return) happens in the order the
// scalar/array convention gives it; MethodTraits says which steps a method has.
#include <type_traits>

#include "binding/convention.hpp"
#include "binding/method_traits.hpp"
#include "binding/point_loop.hpp"
#include "table/stand_in.hpp"
#include "binding/interop.hpp"

namespace quorvane::binding {

namespace {

// Three doubles of a vector result: a row of an (n, 3) float64 array.
struct Vector3 {
    double v[3];
};

bool is_record(Element e) { return e != Element::kFloat && e != Element::kVector; }

// Calls f with a null pointer of the element's C type.
template <class F>
auto with_element_type(Element e, F f)
{
    switch (e) {
    case Element::kFloat:
        return f(static_cast<double *>(nullptr));
    case Element::kVector:
        return f(static_cast<Vector3 *>(nullptr));
    case Element::kSurfCoord:
        return f(static_cast<SurfCoord *>(nullptr));
    case Element::kLLA:
        return f(static_cast<LLA *>(nullptr));
    case Element::kAER:
        return f(static_cast<AER *>(nullptr));
    case Element::kENU:
        break;
    }
    return f(static_cast<ENU_Frame *>(nullptr));
}

bool read_fixed(const MethodTraits &m, PyObject *const *args, double *fixed)
{
    switch (m.fixed) {
    case Fixed::kNone:
        return true;
    case Fixed::kObserver:
        return to_double(args[1], &fixed[0]) && to_double(args[2], &fixed[1]) &&
               to_double(args[3], &fixed[2]);
    case Fixed::kOrigin:
        break;
    }
    if (assertions_enabled() && !assert_vector_shape(args[0])) {
        return false;
    }
    return Source(args[0]).vector(fixed);
}

int one_point_test(const MethodTraits &m, PyObject *const *points)
{
    switch (m.test) {
    case OnePointTest::kAllScalars:
        return all_scalars(points, m.point_args);
    case OnePointTest::kVectorShape:
        return is_vector_shape(points[0]);
    case OnePointTest::kOneDimension:
        break;
    }
    return ndim_equals(points[0], 1);
}

PyRef record_dtype(const MethodTraits &m) { return module_global(state.names.*m.dtype_name); }

// The conversion of one point into `out`, its output columns as consecutive
// doubles (a record's fields, a vector's components). Where the batch kernel
// stands in for the table it runs on one point: the fused kernel gives the
// bits of the composite table routine without its chain of slot calls and
// pending-error checks. Otherwise the table routine, so that a replaced slot
// is what runs.
void convert_point(const MethodTraits &m, Ellipsoid *self, const double *point, const double *fixed,
                   void *out)
{
    if (!table::kernel_stands_in(self, m.id)) {
        m.routine(self, point, fixed, out);
        return;
    }
    const registry::ColumnCounts counts = registry::counts_of(m.id);
    // The kernel's inputs: a ray's origin before its direction, a target
    // before its observer, as in the registry's columns.
    const int nfixed = m.fixed == Fixed::kNone ? 0 : 3;
    const bool fixed_first = m.fixed == Fixed::kOrigin;
    const double *const groups[2] = {fixed_first ? fixed : point, fixed_first ? point : fixed};
    const int widths[2] = {fixed_first ? nfixed : counts.point_inputs - nfixed,
                           fixed_first ? counts.point_inputs - nfixed : nfixed};
    kernels::In in[registry::kMaxInputs];
    int nin = 0;
    for (int g = 0; g < 2; ++g) {
        for (int k = 0; k < widths[g]; ++k) {
            in[nin++] = {reinterpret_cast<const char *>(groups[g] + k), 0};
        }
    }
    kernels::Out columns[registry::kMaxOutputColumns];
    for (int j = 0; j < counts.output_columns; ++j) {
        columns[j] = {static_cast<char *>(out) + j * sizeof(double), 0};
    }
    kernels::kernel(m.id)(self->Re, self->f, 1, in, columns);
}

// A record alone: numpy.zeros(<one-point shape>, <dtype>), filled through
// the record view; the points of a row argument are read after allocation.
PyObject *one_record(const MethodTraits &m, Ellipsoid *self, PyObject *points, double *point,
                     const double *fixed)
{
    PyObject *const shape = state.*m.one_point_shape;
    PyRef result =
        allocate_zeros([shape] { return PyRef::new_ref(shape); }, [&m] { return record_dtype(m); });
    ResultView out;
    if (!result || !out.acquire(result.get(), *m.layout, 1)) {
        return nullptr;
    }
    if (m.points == Points::kRows && !Source(points).vector(point)) {
        return nullptr;
    }
    with_element_type(m.element, [&](auto *type) {
        using T = std::remove_pointer_t<decltype(type)>;
        out.store<T>(0, [&](T *element) { convert_point(m, self, point, fixed, element); });
        return 0;
    });
    if (PyErr_Occurred()) {
        return nullptr;
    }
    return return_array(result.get(), state.names.*m.dtype_name).release();
}

PyObject *one_point(const MethodTraits &m, Ellipsoid *self, PyObject *const *points,
                    const double *fixed)
{
    double point[3];
    if (m.points == Points::kElements) {
        for (int k = 0; k < m.point_args; ++k) {
            if (!to_double(points[k], &point[k])) {
                return nullptr;
            }
        }
    } else if (m.assert_one_point_vector && assertions_enabled() &&
               !assert_vector_shape(points[0])) {
        return nullptr;
    }
    if (is_record(m.element)) {
        return one_record(m, self, points[0], point, fixed);
    }
    if (m.points == Points::kRows && !Source(points[0]).vector(point)) {
        return nullptr;
    }
    double out[3];
    convert_point(m, self, point, fixed, out);
    if (PyErr_Occurred()) {
        return nullptr;
    }
    return m.element == Element::kFloat ? PyFloat_FromDouble(out[0]) : return_vector(out).release();
}

bool assert_many_points(const MethodTraits &m, PyObject *const *points)
{
    if (!assertions_enabled()) {
        return true;
    }
    if (m.points == Points::kRows) {
        return assert_rows_shape(points[0]);
    }
    return m.point_args < 2 || assert_parallel_shapes(points, m.point_args);
}

// The result of the array form, allocated as the convention says; where
// numpy.zeros is done directly, left unzeroed for the batch kernel in `deferred`.
PyRef allocate(const MethodTraits &m, PyObject *first, DeferredZeros *deferred)
{
    if (m.element == Element::kVector) {
        return allocate_zeros([first] { return leading_extent_by_3(first); }, numpy_double,
                              deferred);
    }
    if (m.element == Element::kFloat) {
        if (m.points == Points::kElements) {
            return allocate_zeros_like(first, deferred);
        }
        return allocate_zeros([first] { return shape_item(first, 0); }, numpy_double, deferred);
    }
    // Records: one per row, or the whole shape of a point argument, not its
    // first item, so that two-dimensional arguments that slip past disabled
    // assertions fail the one-dimensional view.
    if (m.points == Points::kRows) {
        return allocate_zeros([first] { return shape_item(first, 0); },
                              [&m] { return record_dtype(m); }, deferred);
    }
    return allocate_zeros([first] { return get_attr(first, state.names.shape); },
                          [&m] { return record_dtype(m); }, deferred);
}

// The bytes of one point's result, all of which its batch kernel writes.
Py_ssize_t row_bytes(const MethodTraits &m)
{
    if (m.element == Element::kVector) {
        return 3 * sizeof(double);
    }
    return m.element == Element::kFloat ? sizeof(double) : m.layout->size();
}

BatchCall batch_for(const MethodTraits &m, Ellipsoid *self, const double *fixed)
{
    if (!table::kernel_stands_in(self, m.id)) {
        return BatchCall();
    }
    const int nfixed = m.fixed == Fixed::kNone ? 0 : 3;
    return BatchCall(kernels::kernel(m.id), self, fixed, nfixed, m.fixed == Fixed::kOrigin);
}

// result[i, k] = value for each point: item assignment raises for keys
// outside the result, so the loop runs to n, and a failed store leaves its
// exception pending and stops the loop.
PyObject *fill_by_item(const MethodTraits &m, Ellipsoid *self, PyObject *result,
                       const PointSources &points, Source *const *sources, Py_ssize_t n,
                       const double *fixed, DeferredZeros &deferred)
{
    const CellStores cells(result);
    const LoopPlan plan(table::runs_no_python(self, m.id), cells, sources, m.point_args);
    BatchCall batch = batch_for(m, self, fixed);
    batch.write_to(cells, 3);
    const bool ok =
        for_each_point(plan, points, n, batch, deferred, [&](Py_ssize_t i, const double *point) {
            double r[3];
            m.routine(self, point, fixed, r);
            for (Py_ssize_t k = 0; k < 3 && !PyErr_Occurred(); ++k) {
                if (!cells.assign(i, k, r[k])) {
                    return;
                }
            }
        });
    // Filled by item assignment, not viewed as doubles: returned as allocated.
    return ok ? return_array(result, nullptr, false).release() : nullptr;
}

PyObject *fill_view(const MethodTraits &m, Ellipsoid *self, PyObject *result,
                    const PointSources &points, Source *const *sources, int nsources,
                    const double *fixed, ResultView &out, Py_ssize_t n, DeferredZeros &deferred)
{
    const LoopPlan plan(table::runs_no_python(self, m.id), out, sources, nsources);
    BatchCall batch = batch_for(m, self, fixed);
    const bool ok = with_element_type(m.element, [&](auto *type) {
        using T = std::remove_pointer_t<decltype(type)>;
        batch.write_to(out, static_cast<int>(sizeof(T) / sizeof(double)));
        return for_each_point(
            plan, points, bounded(n, out.length()), batch, deferred,
            [&](Py_ssize_t i, const double *point) {
                if constexpr (std::is_same_v<T, Vector3>) {
                    Vector3 r;
                    m.routine(self, point, fixed, r.v);
                    out.store_row(i, r.v);
                } else {
                    out.store<T>(i, [&](T *element) { m.routine(self, point, fixed, element); });
                }
            });
    });
    if (!ok) {
        return nullptr;
    }
    PyObject *const dtype_name = is_record(m.element) ? state.names.*m.dtype_name : nullptr;
    return return_array(result, dtype_name).release();
}

PyObject *many_points(const MethodTraits &m, Ellipsoid *self, PyObject *const *points,
                      const double *fixed)
{
    if (!assert_many_points(m, points)) {
        return nullptr;
    }
    DeferredZeros deferred(row_bytes(m));
    PyRef result = allocate(m, points[0], &deferred);
    if (!result) {
        return nullptr;
    }
    Source source[3] = {Source(points[0]), Source(points[m.point_args > 1 ? 1 : 0]),
                        Source(points[m.point_args > 2 ? 2 : 0])};
    Source *const sources[] = {&source[0], &source[1], &source[2]};
    const int nsources = m.points == Points::kRows ? 1 : m.point_args;
    const PointSources point_sources(sources, nsources, m.points == Points::kRows);
    Py_ssize_t n;
    if (m.store_by_item) {
        if (!leading_extent(points[0], &n)) {
            return nullptr;
        }
        return fill_by_item(m, self, result.get(), point_sources, sources, n, fixed, deferred);
    }
    ResultView out;
    const RecordLayout &layout = is_record(m.element) ? *m.layout : kDoubleLayout;
    const int ndim = m.element == Element::kVector ? 2 : 1;
    if (!out.acquire(result.get(), layout, ndim) || !leading_extent(points[0], &n)) {
        return nullptr;
    }
    return fill_view(m, self, result.get(), point_sources, sources, nsources, fixed, out, n,
                     deferred);
}

}  // namespace

PyObject *run_method(const MethodTraits &m, Ellipsoid *self, PyObject *const *args)
{
    double fixed[3] = {};
    if (!read_fixed(m, args, fixed)) {
        return nullptr;
    }
    PyObject *const *points = m.fixed == Fixed::kOrigin ? args + 1 : args;
    const int one = one_point_test(m, points);
    if (one < 0) {
        return nullptr;
    }
    return one == 1 ? one_point(m, self, points, fixed) : many_points(m, self, points, fixed);
}

}  // namespace quorvane::binding
