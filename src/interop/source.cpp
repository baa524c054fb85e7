#include "interop/source.hpp"

#include <cstring>

#include "interop/lookups.hpp"

namespace quorvane::interop {

namespace {

template <class T>
inline double load_as(const char *p)
{
    // Elements need not be aligned (views into packed records, offset buffers).
    T value;
    std::memcpy(&value, p, sizeof value);
    return static_cast<double>(value);
}

}  // namespace

Source::Access Source::current_layout(Layout *l) const
{
    if (!PyArray_CheckExact(obj_)) {
        return Access::protocol;
    }
    PyArrayObject *array = reinterpret_cast<PyArrayObject *>(obj_);
    const int ndim = PyArray_NDIM(array);
    if (ndim < 1 || ndim > 2 || !PyArray_ISNOTSWAPPED(array)) {
        return Access::protocol;
    }
    const int type = PyArray_TYPE(array);
    // Booleans, integers and the floating types with a C type. float16 (no C
    // type), complex (float() refuses it), objects, strings, dates and records
    // are left to the item protocol.
    if (!(PyTypeNum_ISBOOL(type) || PyTypeNum_ISINTEGER(type) ||
          (PyTypeNum_ISFLOAT(type) && type != NPY_HALF))) {
        return Access::protocol;
    }
    if (!held_.vouch_array(array, "argument")) {
        return Access::lost;
    }
    l->data = PyArray_BYTES(array);
    l->ndim = ndim;
    l->type = PyArray_TYPE(array);
    for (int k = 0; k < ndim; ++k) {
        l->dims[k] = PyArray_DIM(array, k);
        l->strides[k] = PyArray_STRIDE(array, k);
    }
    return Access::memory;
}

double Source::load(const char *p, int type)
{
    // The same values as float() of the scalar obj[i] gives: C conversion to
    // double, rounding to nearest for wide integers and long double.
    switch (type) {
    case NPY_DOUBLE:
        return load_as<npy_double>(p);
    case NPY_FLOAT:
        return load_as<npy_float>(p);
    case NPY_LONGDOUBLE:
        return load_as<npy_longdouble>(p);
    case NPY_BOOL:
        return *p != 0 ? 1.0 : 0.0;
    case NPY_BYTE:
        return load_as<npy_byte>(p);
    case NPY_UBYTE:
        return load_as<npy_ubyte>(p);
    case NPY_SHORT:
        return load_as<npy_short>(p);
    case NPY_USHORT:
        return load_as<npy_ushort>(p);
    case NPY_INT:
        return load_as<npy_int>(p);
    case NPY_UINT:
        return load_as<npy_uint>(p);
    case NPY_LONG:
        return load_as<npy_long>(p);
    case NPY_ULONG:
        return load_as<npy_ulong>(p);
    case NPY_LONGLONG:
        return load_as<npy_longlong>(p);
    default:
        return load_as<npy_ulonglong>(p);
    }
}

bool Source::element_by_protocol(Py_ssize_t i, double *out) const
{
    return item_double(obj_, i, out);
}

bool Source::row_by_protocol(Py_ssize_t i, double *out) const
{
    PyRef row = get_item(obj_, i);
    if (!row) {
        return false;
    }
    for (int j = 0; j < 3; ++j) {
        if (!item_double(row.get(), j, &out[j])) {
            return false;
        }
    }
    return true;
}

bool Source::vector_by_protocol(double *out) const
{
    for (int j = 0; j < 3; ++j) {
        if (!item_double(obj_, j, &out[j])) {
            return false;
        }
    }
    return true;
}

}  // namespace quorvane::interop
