// reduced_lat_from_geodetic_lat and geodetic_lat_from_reduced_lat: one number
// gives a float; anything else gives an array made by numpy.zeros_like from
// the argument, which must view as a one-dimensional buffer of doubles.
#include "convention.hpp"
#include "methods.hpp"

namespace quorvane::binding {

namespace {

template <double (*routine)(Ellipsoid *, double), registry::Id conversion>
PyObject *latitude_method(Ellipsoid *self, PyObject *const *args)
{
    PyObject *const x = args[0];
    const int scalar = is_scalar(x);
    if (scalar < 0) {
        return nullptr;
    }
    if (scalar == 1) {
        double value;
        if (!to_double(x, &value)) {
            return nullptr;
        }
        return PyFloat_FromDouble(routine(self, value));
    }
    // zeros_like copies the argument's dtype and dimensions, so anything but a
    // one-dimensional float64 argument fails the buffer check: nothing is converted.
    PyRef result = allocate_zeros_like(x);
    ResultView out;
    if (!result || !out.acquire(result.get(), kDoubleLayout, 1)) {
        return nullptr;
    }
    Py_ssize_t n;
    if (!leading_extent(x, &n)) {
        return nullptr;
    }
    Source source(x);
    Source *const sources[] = {&source};
    // The statically bound routine runs no Python code.
    const LoopPlan plan(true, out, sources, 1);
    const bool ok = for_each_element(plan, sources, bounded(n, out.length()),
                                     BatchCall(kernels::kernel(conversion), self, out, 1),
                                     [&](Py_ssize_t i, const double *value) {
                                         out.store<double>(i, [&](double *beta) {
                                             *beta = routine(self, value[0]);
                                         });
                                     });
    if (!ok) {
        return nullptr;
    }
    return return_array(result.get(), nullptr).release();
}

}  // namespace

PyObject *reduced_lat_from_geodetic_lat(Ellipsoid *self, PyObject *const *args)
{
    return latitude_method<geometry::c_reduced_lat_from_geodetic_lat,
                           registry::Id::reduced_lat_from_geodetic_lat>(self, args);
}

PyObject *geodetic_lat_from_reduced_lat(Ellipsoid *self, PyObject *const *args)
{
    return latitude_method<geometry::c_geodetic_lat_from_reduced_lat,
                           registry::Id::geodetic_lat_from_reduced_lat>(self, args);
}

}  // namespace quorvane::binding
