// surf_pos_of_ray_first_intersection and aer_coords: one fixed argument (the
// ray origin, the observer) converted once before the loop, and one or many
// points told apart by the number of dimensions.
#include "convention.hpp"
#include "methods.hpp"
#include "vector_routines.hpp"

namespace quorvane::binding {

namespace {

// The aer kernel forms the difference, dot products and norm with vectools'
// own arithmetic: it stands for the bound vector routines only while they are
// vectools' own.
BatchCall aer_batch(const Ellipsoid *self, const LLA &lla_obs)
{
    if (!geometry::vector_routines.vectools_own) {
        return BatchCall();
    }
    const double observer[3] = {lla_obs.lat, lla_obs.lon, lla_obs.alt};
    return BatchCall(kernels::kernel(registry::Id::aer_coords), self, observer, 3);
}

PyObject *one_ray_intersection(Ellipsoid *self, const double *origin, PyObject *u_ray)
{
    if (assertions_enabled() && !assert_vector_shape(u_ray)) {
        return nullptr;
    }
    double direction[3];
    double r_surf[3];
    if (!Source(u_ray).vector(direction)) {
        return nullptr;
    }
    self->vtab->c_surf_pos_of_ray_first_intersection(self, origin, direction, r_surf);
    if (PyErr_Occurred()) {
        return nullptr;
    }
    return return_vector(r_surf).release();
}

}  // namespace

PyObject *surf_pos_of_ray_first_intersection(Ellipsoid *self, PyObject *const *args)
{
    PyObject *const r_source = args[0];
    PyObject *const u_ray = args[1];
    if (assertions_enabled() && !assert_vector_shape(r_source)) {
        return nullptr;
    }
    double origin[3];
    if (!Source(r_source).vector(origin)) {
        return nullptr;
    }
    const int one_ray = is_one_point(u_ray);
    if (one_ray < 0) {
        return nullptr;
    }
    if (one_ray == 1) {
        return one_ray_intersection(self, origin, u_ray);
    }
    if (assertions_enabled() && !assert_rows_shape(u_ray)) {
        return nullptr;
    }
    PyRef result = allocate_zeros([u_ray] { return leading_extent_by_3(u_ray); }, numpy_double);
    ResultView out;
    Py_ssize_t n;
    if (!result || !out.acquire(result.get(), kDoubleLayout, 2) || !leading_extent(u_ray, &n)) {
        return nullptr;
    }
    Source rows(u_ray);
    Source *const sources[] = {&rows};
    const LoopPlan plan(native_table(self), out, sources, 1);
    BatchCall batch(kernels::kernel(registry::Id::surf_pos_of_ray_first_intersection), self, origin, 3, true);
    batch.write_to(out, 3);
    const bool ok = for_each_row(plan, rows, bounded(n, out.length()), batch,
                                 [&](Py_ssize_t i, const double *direction) {
                                     double r_surf[3];
                                     self->vtab->c_surf_pos_of_ray_first_intersection(
                                         self, origin, direction, r_surf);
                                     out.store_row(i, r_surf);
                                 });
    if (!ok) {
        return nullptr;
    }
    return return_array(result.get(), nullptr).release();
}

PyObject *aer_coords(Ellipsoid *self, PyObject *const *args)
{
    PyObject *const r_target = args[0];
    // The observer is converted before the target is looked at.
    LLA lla_obs;
    if (!to_double(args[1], &lla_obs.lat) || !to_double(args[2], &lla_obs.lon) ||
        !to_double(args[3], &lla_obs.alt)) {
        return nullptr;
    }
    const int one_target = is_one_point(r_target);
    if (one_target < 0) {
        return nullptr;
    }
    return record_per_point<AER>(self, r_target, {one_target, true, state.int_1},
                                 state.names.AER_dtype, kAERLayout, aer_batch(self, lla_obs),
                                 [self, &lla_obs](const double *target, AER *aer) {
                                     self->vtab->c_aer_coords(self, target, lla_obs, aer);
                                 });
}

}  // namespace quorvane::binding
