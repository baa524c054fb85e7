// enu, surf_pos_from_surf_coord and surf_coord_from_surf_pos.
#include "convention.hpp"
#include "methods.hpp"
#include "numpy_api.hpp"

namespace quorvane::binding {

namespace {

// The scalar test of (lat, lon) and the conversion of a scalar pair.
int scalar_pair(PyObject *const *args, SurfCoord *point)
{
    const int scalar = all_scalars(args, 2);
    if (scalar == 1 && !(to_double(args[0], &point->lat) && to_double(args[1], &point->lon))) {
        return -1;
    }
    return scalar;
}

}  // namespace

PyObject *surf_pos_from_surf_coord(Ellipsoid *self, PyObject *const *args)
{
    PyObject *const lat = args[0];
    SurfCoord point;
    const int scalar = scalar_pair(args, &point);
    if (scalar < 0) {
        return nullptr;
    }
    if (scalar == 1) {
        double r_surf[3];
        self->vtab->c_surf_pos_from_surf_coord(self, point, r_surf);
        if (PyErr_Occurred()) {
            return nullptr;
        }
        return return_vector(r_surf).release();
    }
    if (assertions_enabled() && !assert_parallel_shapes(args, 2)) {
        return nullptr;
    }
    PyRef result = allocate_zeros([lat] { return leading_extent_by_3(lat); }, numpy_double);
    Py_ssize_t n;
    if (!result || !leading_extent(lat, &n)) {
        return nullptr;
    }
    const CellStores cells(result.get());
    Source lat_source(lat);
    Source lon_source(args[1]);
    Source *const sources[] = {&lat_source, &lon_source};
    const LoopPlan plan(native_table(self), cells, sources, 2);
    // Item assignment raises for keys outside the result, so the loop runs to
    // n; a failed store leaves its exception pending and stops the loop.
    const BatchCall batch(kernels::kernel(registry::Id::surf_pos_from_surf_coord), self, cells, 3);
    const bool ok = for_each_element(
        plan, sources, n, batch,
        [&](Py_ssize_t i, const double *coord) {
            double r_surf[3];
            self->vtab->c_surf_pos_from_surf_coord(self, SurfCoord{coord[0], coord[1]}, r_surf);
            if (PyErr_Occurred()) {
                return;
            }
            for (Py_ssize_t k = 0; k < 3; ++k) {
                if (!cells.assign(i, k, r_surf[k])) {
                    return;
                }
            }
        });
    if (!ok) {
        return nullptr;
    }
    // Filled by item assignment, not viewed as doubles: returned as allocated.
    return return_array(result.get(), nullptr, false).release();
}

PyObject *enu(Ellipsoid *self, PyObject *const *args)
{
    PyObject *const lat = args[0];
    PyObject *const dtype_name = state.names.ENU_dtype;
    auto dtype = [dtype_name] { return module_global(dtype_name); };
    SurfCoord point;
    const int scalar = scalar_pair(args, &point);
    if (scalar < 0) {
        return nullptr;
    }
    PyRef result;
    ResultView out;
    if (scalar == 1) {
        result = allocate_zeros([] { return PyRef::new_ref(state.tuple_1); }, dtype);
        if (!result || !out.acquire(result.get(), kENULayout, 1)) {
            return nullptr;
        }
        out.store<ENU_Frame>(0, [&](ENU_Frame *frame) { self->vtab->c_enu(self, point, frame); });
        if (PyErr_Occurred()) {
            return nullptr;
        }
    } else {
        if (assertions_enabled() && !assert_parallel_shapes(args, 2)) {
            return nullptr;
        }
        // The whole shape of lat, not its first item: two-dimensional arguments
        // that slip past disabled assertions fail the one-dimensional view.
        result = allocate_zeros([lat] { return get_attr(lat, state.names.shape); }, dtype);
        Py_ssize_t n;
        if (!result || !out.acquire(result.get(), kENULayout, 1) || !leading_extent(lat, &n)) {
            return nullptr;
        }
        Source lat_source(lat);
        Source lon_source(args[1]);
        Source *const sources[] = {&lat_source, &lon_source};
        const LoopPlan plan(native_table(self), out, sources, 2);
        const bool ok = for_each_element(plan, sources, bounded(n, out.length()),
                                         BatchCall(kernels::kernel(registry::Id::enu), self, out, 9),
                                         [&](Py_ssize_t i, const double *coord) {
                                             out.store<ENU_Frame>(i, [&](ENU_Frame *frame) {
                                                 self->vtab->c_enu(
                                                     self, SurfCoord{coord[0], coord[1]}, frame);
                                             });
                                         });
        if (!ok) {
            return nullptr;
        }
    }
    return return_array(result.get(), dtype_name).release();
}

PyObject *surf_coord_from_surf_pos(Ellipsoid *self, PyObject *const *args)
{
    PyObject *const r_surf = args[0];
    // No scalar test: the number of dimensions tells one point from many.
    const int one_point = is_one_point(r_surf);
    if (one_point < 0) {
        return nullptr;
    }
    return record_per_point<SurfCoord>(self, r_surf, {one_point, true, state.tuple_1},
                                       state.names.SurfCoord_dtype, kSurfCoordLayout,
                                       BatchCall(kernels::kernel(registry::Id::surf_coord_from_surf_pos), self),
                                       [self](const double *position, SurfCoord *point) {
                                           self->vtab->c_surf_coord_from_surf_pos(self, position,
                                                                                  point);
                                       });
}

}  // namespace quorvane::binding
