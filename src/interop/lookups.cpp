#include "interop/lookups.hpp"

#include <utility>

#include "common/cpython_private.hpp"
#include "interop/dict_cache.hpp"
#include "interop/messages.hpp"
#include "interop/numpy_api.hpp"

namespace quorvane::interop {

namespace {

DictCache globals_cache;

}  // namespace

PyRef module_global(PyObject *name)
{
    if (PyObject *known = globals_cache.find(state.module_dict, name)) {
        return PyRef::new_ref(known);
    }
    PyObject *value = PyDict_GetItemWithError(state.module_dict, name);
    if (value != nullptr) {
        globals_cache.store(state.module_dict, name, value);
    } else if (!PyErr_Occurred()) {
        value = PyDict_GetItemWithError(state.builtins_dict, name);
        if (value == nullptr && !PyErr_Occurred()) {
            PyErr_Format(PyExc_NameError, messages::kNameNotDefined, name);
        }
    }
    return PyRef::new_ref(value);
}

PyRef get_item(PyObject *obj, Py_ssize_t i)
{
    PyRef index = PyRef::steal(PyLong_FromSsize_t(i));
    if (!index) {
        return index;
    }
    return PyRef::steal(PyObject_GetItem(obj, index.get()));
}

namespace {

// Whether the metaclass of numbers.Real still has the instance check it had
// at start-up. A type's version tag changes with any change of the type or
// its bases and is never reused, so a tag seen with the right check vouches
// for it until the next change.
bool instance_check_unchanged(PyTypeObject *meta)
{
    static unsigned int vouched_tag = 0;
    if (cpython::type_version(meta) != 0 && cpython::type_version(meta) == vouched_tag) {
        return true;
    }
    if (cpython::type_lookup(meta, state.names.instancecheck) != state.real_instancecheck) {
        return false;
    }
    vouched_tag = cpython::type_version(meta);
    return true;
}

}  // namespace

int is_scalar(PyObject *x, RealLookup &lookup)
{
    PyRef &real = lookup.real;
    if (!real || cpython::dict_version(state.module_dict) != lookup.globals_version) {
        real = module_global(state.names.Real);
        if (!real) {
            return -1;
        }
        lookup.globals_version = cpython::dict_version(state.module_dict);
    }
    // Python's float, int and bool are registered with numbers.Real, and an
    // ABC answers from its positive cache before any hook: while `Real` is
    // still numbers.Real and its metaclass's instance check is unchanged, the
    // answer for them is known without the call.
    if (real.get() == state.numbers_real &&
        (PyFloat_CheckExact(x) || PyLong_CheckExact(x) || PyBool_Check(x)) &&
        instance_check_unchanged(Py_TYPE(real.get()))) {
        return 1;
    }
    // The check may run Python code (an __instancecheck__, an ABC's registry),
    // which may rebind Real: the next object looks it up again.
    const PyRef checked = std::move(real);
    return PyObject_IsInstance(x, checked.get());
}

bool item_double(PyObject *obj, Py_ssize_t i, double *out)
{
    PyRef item = get_item(obj, i);
    return item && to_double(item.get(), out);
}

int equals(PyObject *a, PyObject *b)
{
    PyRef result = PyRef::steal(PyObject_RichCompare(a, b, Py_EQ));
    if (!result) {
        return -1;
    }
    return PyObject_IsTrue(result.get());
}

bool check_assertion(int truth)
{
    if (truth == 0) {
        PyErr_SetNone(PyExc_AssertionError);
    }
    return truth == 1;
}

PyRef shape_item(PyObject *obj, Py_ssize_t i)
{
    // An exact ndarray's shape is a tuple of its dimensions, read without side effects.
    if (PyArray_CheckExact(obj) && i < PyArray_NDIM(reinterpret_cast<PyArrayObject *>(obj))) {
        return PyRef::steal(
            PyLong_FromSsize_t(PyArray_DIM(reinterpret_cast<PyArrayObject *>(obj), i)));
    }
    PyRef shape = get_attr(obj, state.names.shape);
    if (!shape) {
        return shape;
    }
    return get_item(shape.get(), i);
}

bool leading_extent(PyObject *obj, Py_ssize_t *n)
{
    if (PyArray_CheckExact(obj) && PyArray_NDIM(reinterpret_cast<PyArrayObject *>(obj)) > 0) {
        *n = PyArray_DIM(reinterpret_cast<PyArrayObject *>(obj), 0);
        return true;
    }
    PyRef item = shape_item(obj, 0);
    if (!item) {
        return false;
    }
    PyRef index = PyRef::steal(PyNumber_Index(item.get()));
    if (!index) {
        return false;
    }
    const Py_ssize_t value = PyLong_AsSsize_t(index.get());
    if (value == -1 && PyErr_Occurred()) {
        return false;
    }
    *n = value;
    return true;
}

int is_vector_shape(PyObject *obj)
{
    if (PyArray_CheckExact(obj)) {
        PyArrayObject *array = reinterpret_cast<PyArrayObject *>(obj);
        return PyArray_NDIM(array) == 1 && PyArray_DIM(array, 0) == 3;
    }
    PyRef shape = get_attr(obj, state.names.shape);
    return shape ? equals(shape.get(), state.tuple_3) : -1;
}

int ndim_equals(PyObject *obj, int ndim)
{
    if (PyArray_CheckExact(obj)) {
        return PyArray_NDIM(reinterpret_cast<PyArrayObject *>(obj)) == ndim;
    }
    PyRef value = get_attr(obj, state.names.ndim);
    return value ? equals(value.get(), ndim == 1 ? state.int_1 : state.int_2) : -1;
}

int chained_attr_equal(PyObject *attr, PyObject *const *objs, int count, PyObject *final)
{
    PyRef left = get_attr(objs[0], attr);
    if (!left) {
        return -1;
    }
    for (int k = 1; k < count; ++k) {
        PyRef right = get_attr(objs[k], attr);
        if (!right) {
            return -1;
        }
        const int truth = equals(left.get(), right.get());
        if (truth != 1) {
            return truth;
        }
        left = std::move(right);
    }
    return final != nullptr ? equals(left.get(), final) : 1;
}

}  // namespace quorvane::interop
