// pos_from_lla, lla_from_pos and solve_reduced_lat_equation.
#include "convention.hpp"
#include "methods.hpp"

namespace quorvane::binding {

PyObject *pos_from_lla(Ellipsoid *self, PyObject *const *args)
{
    PyObject *const lat = args[0];
    PyObject *const lon = args[1];
    PyObject *const alt = args[2];
    const int scalar = all_scalars(args, 3);
    if (scalar < 0) {
        return nullptr;
    }
    if (scalar == 1) {
        LLA lla;
        if (!to_double(lat, &lla.lat) || !to_double(lon, &lla.lon) || !to_double(alt, &lla.alt)) {
            return nullptr;
        }
        double r[3];
        self->vtab->c_pos_from_lla(self, lla, r);
        if (PyErr_Occurred()) {
            return nullptr;
        }
        return return_vector(r).release();
    }
    if (assertions_enabled() && !assert_parallel_shapes(args, 3)) {
        return nullptr;
    }
    PyRef result = allocate_zeros([lat] { return leading_extent_by_3(lat); }, numpy_double);
    ResultView out;
    Py_ssize_t n;
    if (!result || !out.acquire(result.get(), kDoubleLayout, 2) || !leading_extent(lat, &n)) {
        return nullptr;
    }
    Source lat_source(lat);
    Source lon_source(lon);
    Source alt_source(alt);
    Source *const sources[] = {&lat_source, &lon_source, &alt_source};
    const LoopPlan plan(native_table(self), out, sources, 3);
    const bool ok = for_each_element(plan, sources, bounded(n, out.length()),
                                     BatchCall(kernels::kernel(registry::Id::pos_from_lla), self, out, 3),
                                     [&](Py_ssize_t i, const double *lla) {
                                         double r[3];
                                         self->vtab->c_pos_from_lla(
                                             self, LLA{lla[0], lla[1], lla[2]}, r);
                                         out.store_row(i, r);
                                     });
    if (!ok) {
        return nullptr;
    }
    return return_array(result.get(), nullptr).release();
}

PyObject *lla_from_pos(Ellipsoid *self, PyObject *const *args)
{
    PyObject *const r = args[0];
    const int one_point = is_vector_shape(r);
    if (one_point < 0) {
        return nullptr;
    }
    return record_per_point<LLA>(self, r, {one_point, false, state.int_1}, state.names.LLA_dtype,
                                 kLLALayout, BatchCall(kernels::kernel(registry::Id::lla_from_pos), self),
                                 [self](const double *position, LLA *lla) {
                                     self->vtab->c_lla_from_pos(self, position, lla);
                                 });
}

PyObject *solve_reduced_lat_equation(Ellipsoid *self, PyObject *const *args)
{
    PyObject *const r = args[0];
    const int one_point = is_vector_shape(r);
    if (one_point < 0) {
        return nullptr;
    }
    if (one_point == 1) {
        double position[3];
        if (!Source(r).vector(position)) {
            return nullptr;
        }
        const double beta = self->vtab->c_solve_reduced_lat_equation(self, position);
        if (PyErr_Occurred()) {
            return nullptr;
        }
        return PyFloat_FromDouble(beta);
    }
    PyRef result = per_row<double>(self, r, numpy_double, kDoubleLayout,
                                   BatchCall(kernels::kernel(registry::Id::solve_reduced_lat_equation), self),
                                   [self](const double *position, double *beta) {
                                       *beta = self->vtab->c_solve_reduced_lat_equation(
                                           self, position);
                                   });
    if (!result) {
        return nullptr;
    }
    return return_array(result.get(), nullptr).release();
}

}  // namespace quorvane::binding
