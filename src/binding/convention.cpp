#include "binding/convention.hpp"
#include "binding/interop.hpp"

namespace quorvane::binding {

bool assert_vector_shape(PyObject *obj) { return check_assertion(is_vector_shape(obj)); }

bool assert_rows_shape(PyObject *obj)
{
    if (!check_assertion(ndim_equals(obj, 2))) {
        return false;
    }
    PyRef columns = shape_item(obj, 1);
    return columns && check_assertion(equals(columns.get(), state.int_3));
}

bool assert_parallel_shapes(PyObject *const *objs, int count)
{
    return check_assertion(chained_attr_equal(state.names.ndim, objs, count, state.int_1)) &&
           check_assertion(chained_attr_equal(state.names.shape, objs, count, nullptr));
}

int all_scalars(PyObject *const *objs, int count)
{
    RealLookup real;
    for (int k = 0; k < count; ++k) {
        const int scalar = is_scalar(objs[k], real);
        if (scalar != 1) {
            return scalar;
        }
    }
    return 1;
}

PyRef leading_extent_by_3(PyObject *obj)
{
    PyRef extent = shape_item(obj, 0);
    if (!extent) {
        return extent;
    }
    return PyRef::steal(PyTuple_Pack(2, extent.get(), state.int_3));
}

}  // namespace quorvane::binding
