#include "interop/result.hpp"

#include "common/cpython_private.hpp"
#include "interop/dict_cache.hpp"
#include "interop/fresh_array.hpp"
#include "interop/numpy_api.hpp"

namespace quorvane::interop {

namespace {

// Descriptors whose buffers have passed the layout check. A dtype's layout
// cannot change, so a fresh array of a checked dtype needs no new check.
struct CheckedDescr {
    const RecordLayout *layout;
    PyObject *descr;  // strong reference
};
// One entry per result layout (five) is all that is ever used.
constexpr int kCheckedDescrs = 8;
CheckedDescr checked[kCheckedDescrs];

bool is_checked(const RecordLayout &layout, PyObject *descr)
{
    for (const CheckedDescr &entry : checked) {
        if (entry.layout == &layout && entry.descr == descr) {
            return true;
        }
    }
    return false;
}

void remember_checked(const RecordLayout &layout, PyObject *descr)
{
    // One entry per layout: the newest checked dtype replaces the older one.
    for (CheckedDescr &entry : checked) {
        if (entry.layout == &layout || entry.layout == nullptr) {
            Py_INCREF(descr);
            Py_XSETREF(entry.descr, descr);
            entry.layout = &layout;
            return;
        }
    }
}

// Extents up to 2^40 keep the product of two of them and an item size far
// from overflowing npy_intp; larger ones go to numpy.zeros, which reports
// what it cannot allocate in its own words.
constexpr long long kMaxPlainExtent = 1LL << 40;

// The dtype that each layout describes, built at first use. A dtype that
// numpy finds equivalent to it (the same field names in the same order, the
// same offsets, sub-array shapes, byte order and size) presents exactly the
// layout, so its buffer format needs no parse. Names are compared here though
// the parse ignores them, so a renamed record still goes through the parse.
struct ExpectedDescr {
    const RecordLayout *layout;
    PyArray_Descr *descr;  // strong reference, or null until built
};
ExpectedDescr expected[] = {{&kDoubleLayout, nullptr},
                            {&kSurfCoordLayout, nullptr},
                            {&kLLALayout, nullptr},
                            {&kENULayout, nullptr},
                            {&kAERLayout, nullptr}};
// remember_checked keeps one entry per layout, so a dtype found equivalent
// is only displaced by a newer one of its own layout.
static_assert(sizeof expected / sizeof expected[0] <= sizeof checked / sizeof checked[0],
              "every layout has its own entry among the checked dtypes");

// The fields one after the other: the records are packed doubles. Were they
// not, the descriptor would only miss the equivalence, and the parse decide.
PyArray_Descr *build_descr(const RecordLayout &layout)
{
    if (layout.nfields == 0) {
        return PyArray_DescrFromType(NPY_DOUBLE);
    }
    PyRef fields = PyRef::steal(PyList_New(layout.nfields));
    for (int k = 0; fields && k < layout.nfields; ++k) {
        const char *name = layout.fields[k];
        PyObject *item = layout.extent == 1 ? Py_BuildValue("(ss)", name, "<f8")
                                            : Py_BuildValue("(ss(n))", name, "<f8", layout.extent);
        if (item == nullptr) {
            return nullptr;
        }
        PyList_SET_ITEM(fields.get(), k, item);
    }
    PyArray_Descr *descr = nullptr;
    if (!fields || !PyArray_DescrConverter(fields.get(), &descr)) {
        return nullptr;
    }
    return descr;
}

// False, with no error set, when the descriptor cannot be built: the parse
// then decides.
bool is_equivalent(const RecordLayout &layout, PyArray_Descr *descr)
{
    for (ExpectedDescr &entry : expected) {
        if (entry.layout != &layout) {
            continue;
        }
        if (entry.descr == nullptr && (entry.descr = build_descr(layout)) == nullptr) {
            PyErr_Clear();
            return false;
        }
        return PyArray_EquivTypes(descr, entry.descr) != 0;
    }
    return false;
}

// A dtype checked before, or one equivalent to the layout's own, which is
// then remembered so that the next array of it costs one comparison.
bool is_known_layout(const RecordLayout &layout, PyArray_Descr *descr)
{
    PyObject *obj = reinterpret_cast<PyObject *>(descr);
    if (is_checked(layout, obj)) {
        return true;
    }
    if (!is_equivalent(layout, descr)) {
        return false;
    }
    remember_checked(layout, obj);
    return true;
}

// The dimensions of a shape argument of numpy.zeros when it is a plain
// non-negative int or a tuple of at most two of them.
bool plain_shape(PyObject *shape, npy_intp *dims, int *ndim)
{
    auto extent = [](PyObject *obj, npy_intp *out) {
        if (!PyLong_CheckExact(obj)) {
            return false;
        }
        int overflow = 0;
        const long long value = PyLong_AsLongLongAndOverflow(obj, &overflow);
        if (overflow != 0 || value < 0 || value > kMaxPlainExtent) {
            return false;  // numpy.zeros itself reports sizes it cannot make
        }
        *out = static_cast<npy_intp>(value);
        return true;
    };
    if (PyLong_CheckExact(shape)) {
        *ndim = 1;
        return extent(shape, &dims[0]);
    }
    if (!PyTuple_CheckExact(shape) || PyTuple_GET_SIZE(shape) < 1 || PyTuple_GET_SIZE(shape) > 2) {
        return false;
    }
    *ndim = static_cast<int>(PyTuple_GET_SIZE(shape));
    for (int k = 0; k < *ndim; ++k) {
        if (!extent(PyTuple_GET_ITEM(shape, k), &dims[k])) {
            return false;
        }
    }
    return true;
}

}  // namespace

bool is_private_array(PyObject *obj)
{
    if (!PyArray_CheckExact(obj) || Py_REFCNT(obj) != 1 ||
        !PyArray_CHKFLAGS(reinterpret_cast<PyArrayObject *>(obj), NPY_ARRAY_OWNDATA)) {
        return false;
    }
    return !cpython::has_weak_references(obj);
}

bool ResultView::acquire(PyObject *result, const RecordLayout &layout, int ndim)
{
    layout_ = &layout;
    ndim_ = ndim;
    if (is_private_array(result)) {
        PyArrayObject *array = reinterpret_cast<PyArrayObject *>(result);
        if (PyArray_NDIM(array) == ndim && PyArray_ISWRITEABLE(array) &&
            is_known_layout(layout, PyArray_DESCR(array))) {
            data_ = PyArray_BYTES(array);
            for (int k = 0; k < ndim; ++k) {
                shape_[k] = PyArray_DIM(array, k);
                strides_[k] = PyArray_STRIDE(array, k);
            }
            return true;
        }
    }
    if (!take_buffer(result)) {
        return false;
    }
    if (PyArray_CheckExact(result)) {
        remember_checked(layout, reinterpret_cast<PyObject *>(
                                     PyArray_DESCR(reinterpret_cast<PyArrayObject *>(result))));
    }
    // Neither an ndarray that others can reach (asked with refcheck=False)
    // nor other exporters (ctypes) keep their memory in place while a view of
    // them is held.
    if (!is_private_array(result)) {
        reachable_ = result;
        if (PyArray_Check(result)) {
            live_descr_ = PyArray_DESCR(reinterpret_cast<PyArrayObject *>(result));
        }
    }
    return true;
}

bool ResultView::take_buffer(PyObject *result)
{
    if (!buffer_.acquire(result, PyBUF_RECORDS)) {
        return false;
    }
    const Py_buffer &view = buffer_.view();
    if (!check_buffer_layout(view, *layout_, ndim_)) {
        return false;
    }
    data_ = static_cast<char *>(view.buf);
    // An exporter may leave out the strides of a C-contiguous buffer (ctypes
    // does): its elements then follow each other row by row.
    Py_ssize_t contiguous = view.itemsize;
    for (int k = ndim_ - 1; k >= 0; --k) {
        shape_[k] = view.shape[k];
        strides_[k] = view.strides != nullptr ? view.strides[k] : contiguous;
        contiguous *= view.shape[k];
    }
    return true;
}

bool ResultView::retake()
{
    if (!PyArray_Check(reachable_)) {
        return take_buffer(reachable_);
    }
    PyArrayObject *array = reinterpret_cast<PyArrayObject *>(reachable_);
    if (PyArray_DESCR(array) != live_descr_ || PyArray_NDIM(array) != ndim_ ||
        !PyArray_ISWRITEABLE(array)) {
        // Re-typed, reshaped or made read-only since the last store: the
        // result must pass the whole buffer check again, which raises for
        // anything a result may not be.
        BufferView again;
        if (!again.acquire(reachable_, PyBUF_RECORDS) ||
            !check_buffer_layout(again.view(), *layout_, ndim_)) {
            return false;
        }
        live_descr_ = PyArray_DESCR(array);
    }
    data_ = PyArray_BYTES(array);
    for (int k = 0; k < ndim_; ++k) {
        shape_[k] = PyArray_DIM(array, k);
        strides_[k] = PyArray_STRIDE(array, k);
    }
    return true;
}

bool ResultView::refresh(Py_ssize_t i, Py_ssize_t j)
{
    if (!retake() || i >= shape_[0] || (ndim_ == 2 && j >= shape_[1])) {
        return false;
    }
    const char *element = data_ + i * strides_[0] + (ndim_ == 2 ? j * strides_[1] : 0);
    const Py_ssize_t size = ndim_ == 1 ? layout_->size() : Py_ssize_t{sizeof(double)};
    return held_.vouch(reachable_, element, element + size, "result");
}

void ResultView::close()
{
    if (reachable_ != nullptr) {
        const Py_ssize_t size = ndim_ == 1 ? layout_->size() : Py_ssize_t{sizeof(double)};
        if (!retake() ||
            !held_.vouch_extent(reachable_, data_, ndim_, shape_, strides_, size, "result")) {
            PyErr_Clear();
            return;
        }
    }
    closed_ = true;
}

bool ResultView::out_columns(StridedColumn *columns, int count) const
{
    if (reachable_ != nullptr && !closed_) {
        return false;
    }
    if (ndim_ == 1) {
        if (layout_->size() != count * static_cast<Py_ssize_t>(sizeof(double))) {
            return false;
        }
        for (int j = 0; j < count; ++j) {
            columns[j] = {data_ + j * static_cast<std::ptrdiff_t>(sizeof(double)), strides_[0]};
        }
        return true;
    }
    if (shape_[1] < count) {
        return false;
    }
    for (int j = 0; j < count; ++j) {
        columns[j] = {data_ + j * strides_[1], strides_[0]};
    }
    return true;
}

bool CellStores::out_columns(StridedColumn *columns, int count) const
{
    if (!direct_ || columns_ < count) {
        return false;
    }
    for (int j = 0; j < count; ++j) {
        columns[j] = {data_ + j * column_stride_, row_stride_};
    }
    return true;
}

CellStores::CellStores(PyObject *target) : target_(target)
{
    // Only an array no Python code can reach keeps its layout between stores.
    if (!is_private_array(target)) {
        return;
    }
    PyArrayObject *array = reinterpret_cast<PyArrayObject *>(target);
    direct_ = PyArray_NDIM(array) == 2 && PyArray_TYPE(array) == NPY_DOUBLE &&
              PyArray_ISNOTSWAPPED(array) && PyArray_ISWRITEABLE(array);
    if (direct_) {
        data_ = PyArray_BYTES(array);
        rows_ = PyArray_DIM(array, 0);
        columns_ = PyArray_DIM(array, 1);
        row_stride_ = PyArray_STRIDE(array, 0);
        column_stride_ = PyArray_STRIDE(array, 1);
    }
}

bool CellStores::assign_item(Py_ssize_t i, Py_ssize_t k, double value) const
{
    PyRef key = PyRef::steal(Py_BuildValue("(nn)", i, k));
    PyRef item = PyRef::steal(PyFloat_FromDouble(value));
    if (!key || !item) {
        return false;
    }
    // An exporter's item assignment (an ndarray's, a memoryview's) stores
    // through its own pointer, whether its owner still holds that memory or not.
    if (!held_.vouch_exporter(target_, "result")) {
        return false;
    }
    return PyObject_SetItem(target_, key.get(), item.get()) == 0;
}

PyRef numpy_attr(PyObject *name)
{
    static DictCache numpy_cache;
    PyRef numpy = module_global(state.names.numpy);
    if (!numpy) {
        return numpy;
    }
    // Attribute access on a plain module reads its dict (ModuleType defines
    // none of these names), so the dict's version vouches for the value.
    PyObject *dict = nullptr;
    if (numpy.get() == state.numpy_module && Py_IS_TYPE(numpy.get(), &PyModule_Type)) {
        dict = PyModule_GetDict(numpy.get());
        if (PyObject *known = numpy_cache.find(dict, name)) {
            return PyRef::new_ref(known);
        }
    }
    PyRef value = get_attr(numpy.get(), name);
    if (value && dict != nullptr && PyDict_GetItemWithError(dict, name) == value.get()) {
        numpy_cache.store(dict, name, value.get());
    }
    return value;
}

PyRef call_zeros(PyObject *zeros, PyObject *shape, PyObject *dtype, DeferredZeros *deferred)
{
    npy_intp dims[2];
    int ndim = 0;
    const bool known_dtype =
        PyArray_DescrCheck(dtype) || dtype == reinterpret_cast<PyObject *>(&PyDoubleArrType_Type);
    if (zeros == state.numpy_zeros && known_dtype && plain_shape(shape, dims, &ndim)) {
        // numpy.zeros converts the dtype argument just so: a descriptor is
        // taken as it is, the float64 scalar type gives the float64 descriptor.
        PyArray_Descr *descr = reinterpret_cast<PyArray_Descr *>(
            PyArray_DescrCheck(dtype) ? dtype : state.float64_descr);
        return fresh_zeros(ndim, dims, descr, deferred);
    }
    PyObject *stack[] = {shape, dtype};
    return PyRef::steal(PyObject_Vectorcall(zeros, stack, 0, state.kwnames_shape_dtype));
}

PyRef allocate_zeros_like(PyObject *x, DeferredZeros *deferred)
{
    PyRef zeros_like = numpy_attr(state.names.zeros_like);
    if (!zeros_like) {
        return zeros_like;
    }
    if (zeros_like.get() == state.numpy_zeros_like && PyArray_CheckExact(x)) {
        PyArrayObject *array = reinterpret_cast<PyArrayObject *>(x);
        // zeros_like keeps the prototype's dtype object; only the canonical
        // float64 one makes a result that the latitude methods accept.
        if (PyArray_NDIM(array) == 1 &&
            reinterpret_cast<PyObject *>(PyArray_DESCR(array)) == state.float64_descr) {
            return fresh_zeros(1, PyArray_DIMS(array),
                               reinterpret_cast<PyArray_Descr *>(state.float64_descr), deferred);
        }
    }
    return PyRef::steal(PyObject_CallOneArg(zeros_like.get(), x));
}

PyRef return_array(PyObject *result, PyObject *dtype_name, bool as_doubles)
{
    PyRef asarray = numpy_attr(state.names.asarray);
    if (!asarray) {
        return asarray;
    }
    PyRef dtype;
    if (dtype_name != nullptr) {
        dtype = module_global(dtype_name);
        if (!dtype) {
            return dtype;
        }
    }
    PyRef doubles;
    if (as_doubles && dtype_name == nullptr && PyArray_Check(result) &&
        PyArray_TYPE(reinterpret_cast<PyArrayObject *>(result)) != NPY_DOUBLE) {
        Py_INCREF(state.float64_descr);  // stolen by PyArray_View
        doubles = PyRef::steal(PyArray_View(reinterpret_cast<PyArrayObject *>(result),
                                            reinterpret_cast<PyArray_Descr *>(state.float64_descr),
                                            &PyArray_Type));
        if (!doubles) {
            return doubles;
        }
        result = doubles.get();
    }
    // asarray returns an exact ndarray itself when the dtype asked for is its own.
    if (asarray.get() == state.numpy_asarray && PyArray_CheckExact(result) &&
        (!dtype || dtype.get() == reinterpret_cast<PyObject *>(
                                      PyArray_DESCR(reinterpret_cast<PyArrayObject *>(result))))) {
        return PyRef::new_ref(result);
    }
    if (!dtype) {
        return PyRef::steal(PyObject_CallOneArg(asarray.get(), result));
    }
    PyObject *stack[] = {result, dtype.get()};
    return PyRef::steal(PyObject_Vectorcall(asarray.get(), stack, 1, state.kwnames_dtype));
}

PyRef return_vector(const double *v)
{
    PyRef asarray = numpy_attr(state.names.asarray);
    if (!asarray) {
        return asarray;
    }
    if (asarray.get() == state.numpy_asarray) {
        npy_intp three = 3;
        PyRef array = PyRef::steal(PyArray_SimpleNew(1, &three, NPY_DOUBLE));
        if (array) {
            double *data =
                static_cast<double *>(PyArray_DATA(reinterpret_cast<PyArrayObject *>(array.get())));
            data[0] = v[0];
            data[1] = v[1];
            data[2] = v[2];
        }
        return array;
    }
    PyRef list = PyRef::steal(PyList_New(3));
    if (!list) {
        return list;
    }
    for (int j = 0; j < 3; ++j) {
        PyObject *component = PyFloat_FromDouble(v[j]);
        if (component == nullptr) {
            return PyRef();
        }
        PyList_SET_ITEM(list.get(), j, component);
    }
    return PyRef::steal(PyObject_CallOneArg(asarray.get(), list.get()));
}

}  // namespace quorvane::interop
