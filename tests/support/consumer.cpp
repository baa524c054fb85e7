// Test-only extension module: a compiled caller of the Ellipsoid method table,
// built against the public headers only. Inputs and outputs are flat doubles
// per slot (records and frames in field order). Outputs are prefilled with
// SENTINEL, so what a routine that returns early did not write stays visible.
#define PY_SSIZE_T_CLEAN
#include <Python.h>
#define NPY_NO_DEPRECATED_API NPY_1_7_API_VERSION
#include <numpy/arrayobject.h>

#include <quorvane/datamodel/structured.h>
#include <quorvane/mathtools/ellipsoid/ellipsoid.h>
#include <quorvane/mathtools/vectools/vectools.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstring>
#include <future>
#include <thread>
#include <utility>
#include <vector>

#include "module_def.hpp"

namespace {

constexpr double SENTINEL = -7777.0;
PyTypeObject *g_type = nullptr;
Ellipsoid_MethodTable *g_table = nullptr;

constexpr int NIN[13] = {0, 1, 1, 2, 2, 2, 2, 3, 3, 3, 3, 6, 6};
constexpr int NOUT[13] = {0, 1, 1, 3, 6, 9, 3, 2, 1, 3, 3, 3, 3};

// One call of table slot `slot` (1..12, in the header's order; support/consumer.py
// maps the slot names to these numbers) through the table of e; no Python API.
inline void run(Ellipsoid *e, int slot, const double *in, double *out)
{
    Ellipsoid_MethodTable *t = e->vtab;
    const SurfCoord sc = {in[0], in[1]};
    switch (slot) {
    case 1:
        out[0] = t->c_reduced_lat_from_geodetic_lat(e, in[0]);
        break;
    case 2:
        out[0] = t->c_geodetic_lat_from_reduced_lat(e, in[0]);
        break;
    case 3:
        t->surf_normal_vector(e, sc, out);
        break;
    case 4:
        t->surf_tangent_vector(e, sc, out, out + 3);
        break;
    case 5:
        t->c_enu(e, sc, reinterpret_cast<ENU_Frame *>(out));
        break;
    case 6:
        t->c_surf_pos_from_surf_coord(e, sc, out);
        break;
    case 7:
        t->c_surf_coord_from_surf_pos(e, in, reinterpret_cast<SurfCoord *>(out));
        break;
    case 8:
        out[0] = t->c_solve_reduced_lat_equation(e, in);
        break;
    case 9:
        t->c_lla_from_pos(e, in, reinterpret_cast<LLA *>(out));
        break;
    case 10:
        t->c_pos_from_lla(e, LLA{in[0], in[1], in[2]}, out);
        break;
    case 11:
        t->c_surf_pos_of_ray_first_intersection(e, in, in + 3, out);
        break;
    case 12:
        t->c_aer_coords(e, in, LLA{in[3], in[4], in[5]}, reinterpret_cast<AER *>(out));
        break;
    }
}

bool bad_slot(int slot)
{
    if (slot < 1 || slot > 12)
        PyErr_SetString(PyExc_ValueError, "slot must be 1..12");
    return slot < 1 || slot > 12;
}

// A sequence of NIN[slot] numbers to doubles; prefills the outputs.
bool flat_in(PyObject *seq, int slot, double *in, double *out)
{
    std::fill(out, out + 9, SENTINEL);
    PyObject *fast = bad_slot(slot) ? nullptr : PySequence_Fast(seq, "inputs must be a sequence");
    if (!fast)
        return false;
    bool ok = PySequence_Fast_GET_SIZE(fast) == NIN[slot];
    if (!ok)
        PyErr_Format(PyExc_ValueError, "slot %d takes %d doubles", slot, NIN[slot]);
    for (int i = 0; ok && i < NIN[slot]; ++i) {
        in[i] = PyFloat_AsDouble(PySequence_Fast_GET_ITEM(fast, i));
        ok = !(in[i] == -1.0 && PyErr_Occurred());
    }
    Py_DECREF(fast);
    return ok;
}

PyObject *flat_out(int slot, const double *out)
{
    PyObject *t = PyTuple_New(NOUT[slot]);
    for (int i = 0; t && i < NOUT[slot]; ++i)
        PyTuple_SET_ITEM(t, i, PyFloat_FromDouble(out[i]));
    return t;
}

// call(e, slot, inputs) -> outputs: one call with the GIL released.
// call(e, slot, inputs, True) -> (outputs, finished): the call runs on a new
// std::thread that never held the GIL, while this thread keeps the GIL with a
// Python exception of its own pending. A routine that took that exception for
// its own would stop early; one that waited for the GIL would not finish
// within the grace period (the GIL is then released to let it end).
PyObject *call(PyObject *, PyObject *args)
{
    PyObject *obj, *seq;
    int slot, foreign = 0;
    double in[6], out[9];
    if (!PyArg_ParseTuple(args, "O!iO|p", g_type, &obj, &slot, &seq, &foreign) ||
        !flat_in(seq, slot, in, out))
        return nullptr;
    Ellipsoid *e = reinterpret_cast<Ellipsoid *>(obj);
    if (!foreign) {
        PyThreadState *released = PyEval_SaveThread();
        run(e, slot, in, out);
        return PyEval_RestoreThread(released), flat_out(slot, out);
    }
    PyErr_SetString(PyExc_RuntimeError, "pending in the calling thread");
    std::packaged_task<void()> task([&] { run(e, slot, in, out); });
    std::future<void> done = task.get_future();
    std::thread worker(std::move(task));
    const bool finished = done.wait_for(std::chrono::seconds(20)) == std::future_status::ready;
    Py_BEGIN_ALLOW_THREADS worker.join();
    Py_END_ALLOW_THREADS PyErr_Clear();
    return Py_BuildValue("NO", flat_out(slot, out), finished ? Py_True : Py_False);
}

// Columns gathered from float64 arrays: 0-d (broadcast), (N,) or (N, k), any strides.
struct Columns {
    std::vector<PyArrayObject *> arrays;
    npy_intp n = -1;
    ~Columns()
    {
        for (auto *a : arrays)
            Py_DECREF(a);
    }
    bool load(PyObject *objs, int slot)
    {
        int cols = 0;
        for (Py_ssize_t k = 0; k < PyTuple_GET_SIZE(objs); ++k) {
            auto *a = reinterpret_cast<PyArrayObject *>(
                PyArray_FROM_OTF(PyTuple_GET_ITEM(objs, k), NPY_DOUBLE, NPY_ARRAY_ALIGNED));
            if (!a)
                return false;
            arrays.push_back(a);
            const int nd = PyArray_NDIM(a);
            if (nd > 2 || (nd >= 1 && n >= 0 && PyArray_DIM(a, 0) != n))
                break;
            if (nd >= 1)
                n = PyArray_DIM(a, 0);
            cols += nd == 2 ? int(PyArray_DIM(a, 1)) : 1;
        }
        if (cols == NIN[slot] && n >= 0)
            return true;
        PyErr_Format(PyExc_ValueError, "slot %d takes %d columns of one length", slot, NIN[slot]);
        return false;
    }
    // Every input column as a base pointer and a row stride (0 when broadcast).
    int flatten(const char **base, npy_intp *stride) const
    {
        int k = 0;
        for (auto *a : arrays) {
            const int nd = PyArray_NDIM(a);
            for (npy_intp j = 0; j < (nd == 2 ? PyArray_DIM(a, 1) : 1); ++j, ++k) {
                base[k] = PyArray_BYTES(a) + (nd == 2 ? j * PyArray_STRIDE(a, 1) : 0);
                stride[k] = nd ? PyArray_STRIDE(a, 0) : 0;
            }
        }
        return k;
    }
};

// The bare loop: one routine call per row into a contiguous result, with the
// slot fixed at compile time so that nothing but reading the row and calling
// the routine is left per point.
template <int SLOT>
void loop_slot(Ellipsoid *e, const Columns &c, double *res)
{
    const char *base[6];
    npy_intp stride[6];
    c.flatten(base, stride);
    double in[6];
    for (npy_intp i = 0; i < c.n; ++i) {
        for (int k = 0; k < NIN[SLOT]; ++k)
            in[k] = *reinterpret_cast<const double *>(base[k] + i * stride[k]);
        run(e, SLOT, in, res + i * NOUT[SLOT]);
    }
}

template <int... S>
void loop_dispatch(Ellipsoid *e, int slot, const Columns &c, double *res,
                   std::integer_sequence<int, S...>)
{
    ((slot == S + 1 ? loop_slot<S + 1>(e, c, res) : void()), ...);
}

void loop(Ellipsoid *e, int slot, const Columns &c, double *res)
{
    loop_dispatch(e, slot, c, res, std::make_integer_sequence<int, 12>());
}

// bare(e, slot, nthreads, *arrays): with nthreads 0 the bare loop in this
// thread, giving an (N, nout) float64 array ((N,) for one output); otherwise a
// list of nthreads such arrays, each from the whole loop run by its own
// std::thread, all at once. The GIL is released around the loops.
// nthreads arrays (one for nthreads 0) of shape (N, nout), or (N,) for one
// output, in a new list; their data pointers in `data`.
PyObject *result_arrays(long nthreads, npy_intp n, int slot, std::vector<double *> &data)
{
    PyObject *list = PyList_New(std::max(nthreads, 1L));
    npy_intp dims[2] = {n, NOUT[slot]};
    for (Py_ssize_t k = 0; list && k < PyList_GET_SIZE(list); ++k) {
        PyObject *r = PyArray_SimpleNew(NOUT[slot] == 1 ? 1 : 2, dims, NPY_DOUBLE);
        if (r)
            data.push_back(
                static_cast<double *>(PyArray_DATA(reinterpret_cast<PyArrayObject *>(r))));
        if (r)
            PyList_SET_ITEM(list, k, r);
        else
            Py_CLEAR(list);
    }
    return list;
}

PyObject *bare(PyObject *, PyObject *args)
{
    PyObject *obj, *head = PyTuple_GetSlice(args, 0, 3),
                   *rest = PyTuple_GetSlice(args, 3, PY_SSIZE_T_MAX);
    int slot;
    long nthreads = -1;
    Columns c;
    const bool ok = head && rest &&
                    PyArg_ParseTuple(head, "O!il", g_type, &obj, &slot, &nthreads) &&
                    !bad_slot(slot) && c.load(rest, slot);
    Py_XDECREF(head), Py_XDECREF(rest);
    if (!ok || nthreads < 0)
        return ok ? PyErr_Format(PyExc_ValueError, "nthreads >= 0") : nullptr;
    std::vector<double *> data;
    PyObject *list = result_arrays(nthreads, c.n, slot, data);
    if (!list)
        return nullptr;
    Ellipsoid *e = reinterpret_cast<Ellipsoid *>(obj);
    Py_BEGIN_ALLOW_THREADS std::vector<std::thread> pool;
    for (double *d : data) {
        if (nthreads == 0)
            loop(e, slot, c, d);
        else
            pool.emplace_back(loop, e, slot, std::cref(c), d);
    }
    for (auto &t : pool)
        t.join();
    Py_END_ALLOW_THREADS PyObject *res =
        nthreads > 0 ? Py_NewRef(list) : Py_NewRef(PyList_GET_ITEM(list, 0));
    Py_DECREF(list);
    return res;
}

// The batch kernels (batch.h), as imported at start-up.
const QV_BatchAPI *g_batch = nullptr;

// batch_info() -> (version, size, kernel_set, ((name, columns, point_inputs, output_columns), ...))
PyObject *batch_info(PyObject *, PyObject *)
{
    PyObject *kernels = PyTuple_New(g_batch->count);
    for (int k = 0; kernels && k < g_batch->count; ++k) {
        const QV_Kernel &q = g_batch->kernels[k];
        PyObject *entry =
            Py_BuildValue("ssii", q.name, q.columns, q.point_inputs, q.output_columns);
        if (!entry)
            Py_CLEAR(kernels);
        else
            PyTuple_SET_ITEM(kernels, k, entry);
    }
    return kernels ? Py_BuildValue("IIsN", g_batch->version, g_batch->size, g_batch->kernel_set,
                                   kernels)
                   : nullptr;
}

// find_kernel(name) -> its index in the table, or None.
PyObject *find_kernel(PyObject *, PyObject *args)
{
    const char *name;
    if (!PyArg_ParseTuple(args, "s", &name))
        return nullptr;
    const QV_Kernel *q = QV_FindKernel(g_batch, name);
    if (!q)
        Py_RETURN_NONE;
    return PyLong_FromLong(static_cast<long>(q - g_batch->kernels));
}

// batch()'s inputs, 0-d (stride 0) or one-dimensional; n becomes the length
// of the last one-dimensional one.
bool batch_inputs(PyObject *ins, Columns &held, std::vector<QV_In> &in, npy_intp &n)
{
    for (Py_ssize_t k = 0; k < PyTuple_GET_SIZE(ins); ++k) {
        auto *a = reinterpret_cast<PyArrayObject *>(
            PyArray_FROM_OTF(PyTuple_GET_ITEM(ins, k), NPY_DOUBLE, NPY_ARRAY_ALIGNED));
        if (!a)
            return false;
        held.arrays.push_back(a);
        if (PyArray_NDIM(a) > 1) {
            PyErr_SetString(PyExc_ValueError, "inputs are 0-d or 1-d");
            return false;
        }
        if (PyArray_NDIM(a) == 1)
            n = PyArray_DIM(a, 0);
        in.push_back({PyArray_BYTES(a), PyArray_NDIM(a) ? PyArray_STRIDE(a, 0) : 0});
    }
    return true;
}

// batch()'s outputs, writable one-dimensional float64 arrays of one length,
// the inputs' n when they have one.
bool batch_outputs(PyObject *outs, std::vector<QV_Out> &out, npy_intp &n)
{
    for (Py_ssize_t k = 0; k < PyTuple_GET_SIZE(outs); ++k) {
        PyObject *o = PyTuple_GET_ITEM(outs, k);
        auto *a = reinterpret_cast<PyArrayObject *>(o);
        if (!PyArray_Check(o) || PyArray_TYPE(a) != NPY_DOUBLE || PyArray_NDIM(a) != 1 ||
            !PyArray_ISWRITEABLE(a) || (n >= 0 && PyArray_DIM(a, 0) != n)) {
            PyErr_SetString(PyExc_ValueError,
                            "outputs are writable float64 arrays of the inputs' length");
            return false;
        }
        n = PyArray_DIM(a, 0);
        out.push_back({PyArray_BYTES(a), PyArray_STRIDE(a, 0)});
    }
    return true;
}

// The n points in nthreads contiguous ranges (one when nthreads <= 1), each
// run by its own std::thread at once, the GIL released.
void run_in_ranges(const QV_Kernel *q, double Re, double f, npy_intp n, int nthreads,
                   const std::vector<QV_In> &in, const std::vector<QV_Out> &out)
{
    const ptrdiff_t chunk = nthreads > 1 ? (n + nthreads - 1) / nthreads : n;
    auto range = [&](ptrdiff_t begin, ptrdiff_t end) {
        std::vector<QV_In> range_in(in);
        std::vector<QV_Out> range_out(out);
        for (auto &c : range_in)
            c.data += begin * c.stride;
        for (auto &c : range_out)
            c.data += begin * c.stride;
        q->run(Re, f, end - begin, range_in.data(), range_out.data());
    };
    Py_BEGIN_ALLOW_THREADS std::vector<std::thread> pool;
    for (ptrdiff_t begin = 0; begin < n; begin += chunk)
        pool.emplace_back(range, begin, std::min<ptrdiff_t>(begin + chunk, n));
    for (auto &t : pool)
        t.join();
    Py_END_ALLOW_THREADS
}

// batch(name, Re, f, nthreads, inputs, outputs): the kernel of `name` over
// float64 columns, the GIL released: inputs are 0-d (stride 0) or of length
// n, outputs writable one-dimensional float64 arrays of length n, any stride.
// With nthreads > 1 the points are split into that many contiguous ranges,
// each run by its own std::thread at once.
PyObject *batch(PyObject *, PyObject *args)
{
    const char *name;
    double Re, f;
    int nthreads;
    PyObject *ins, *outs;
    if (!PyArg_ParseTuple(args, "sddiO!O!", &name, &Re, &f, &nthreads, &PyTuple_Type, &ins,
                          &PyTuple_Type, &outs))
        return nullptr;
    const QV_Kernel *q = QV_FindKernel(g_batch, name);
    if (!q)
        return PyErr_Format(PyExc_KeyError, "no batch kernel %s", name);
    if (PyTuple_GET_SIZE(ins) != q->point_inputs || PyTuple_GET_SIZE(outs) != q->output_columns)
        return PyErr_Format(PyExc_ValueError, "%s takes %d inputs and %d outputs", name,
                            q->point_inputs, q->output_columns);
    Columns held;
    std::vector<QV_In> in;
    std::vector<QV_Out> out;
    npy_intp n = -1;
    if (!batch_inputs(ins, held, in, n) || !batch_outputs(outs, out, n))
        return nullptr;
    run_in_ranges(q, Re, f, n, nthreads, in, out);
    Py_RETURN_NONE;
}

// Replacement slots for derived tables. Each counts its calls and, by mode,
// delegates to the original routine (0), delegates and perturbs the result
// (1: vectors doubled, latitudes + 0.125) or sets RuntimeError and writes nothing (2).
const Ellipsoid_MethodTable *g_orig = nullptr;
int g_mode = 0;
std::atomic<int> g_calls{0};

bool hook()
{
    ++g_calls;
    if (g_mode == 2)
        PyErr_SetString(PyExc_RuntimeError, "raised by a replaced slot");
    return g_mode == 2;
}
double lat(double v) { return g_mode == 1 ? v + 0.125 : v; }
void dbl(double *v, int n)
{
    for (int i = 0; g_mode == 1 && i < n; ++i)
        v[i] *= 2.0;
}

double r1(Ellipsoid *e, double x)
{
    return hook() ? 0.0 : lat(g_orig->c_reduced_lat_from_geodetic_lat(e, x));
}
double r2(Ellipsoid *e, double x)
{
    return hook() ? 0.0 : lat(g_orig->c_geodetic_lat_from_reduced_lat(e, x));
}
void r3(Ellipsoid *e, SurfCoord p, double *u)
{
    if (!hook())
        g_orig->surf_normal_vector(e, p, u), dbl(u, 3);
}
void r4(Ellipsoid *e, SurfCoord p, double *u, double *v)
{
    if (!hook())
        g_orig->surf_tangent_vector(e, p, u, v), dbl(u, 3), dbl(v, 3);
}
void r5(Ellipsoid *e, SurfCoord p, ENU_Frame *f)
{
    if (!hook())
        g_orig->c_enu(e, p, f), dbl(&f->u_east[0], 9);
}
void r6(Ellipsoid *e, SurfCoord p, double *r)
{
    if (!hook())
        g_orig->c_surf_pos_from_surf_coord(e, p, r), dbl(r, 3);
}
double r8(Ellipsoid *e, const double *r)
{
    return hook() ? 0.0 : lat(g_orig->c_solve_reduced_lat_equation(e, r));
}
void r10(Ellipsoid *e, LLA l, double *r)
{
    if (!hook())
        g_orig->c_pos_from_lla(e, l, r), dbl(r, 3);
}

// derived(e, slot, replaced, mode, inputs) -> (outputs, calls, exception or None):
// calls `slot` on e with its table pointer swapped, for this call only, to a
// copy of the table whose slot `replaced` is a replacement above. The GIL is
// released around the call except in mode 2, where the replacement raises.
PyObject *derived(PyObject *, PyObject *args)
{
    PyObject *obj, *seq;
    int slot, replaced, mode;
    double in[6], out[9];
    if (!PyArg_ParseTuple(args, "O!iiiO", g_type, &obj, &slot, &replaced, &mode, &seq) ||
        !flat_in(seq, slot, in, out))
        return nullptr;
    // Other modules index the table by position: slot k is pointer k - 1.
    using Slot = void (*)();
    static_assert(sizeof(Ellipsoid_MethodTable) == 12 * sizeof(Slot), "twelve slots");
    const Slot repl[13] = {nullptr, Slot(r1), Slot(r2), Slot(r3),  Slot(r4), Slot(r5), Slot(r6),
                           nullptr, Slot(r8), nullptr,  Slot(r10), nullptr,  nullptr};
    if (replaced < 1 || replaced > 12 || !repl[replaced])
        return PyErr_Format(PyExc_ValueError, "slot %d cannot be replaced", replaced);
    Ellipsoid *e = reinterpret_cast<Ellipsoid *>(obj);
    Ellipsoid_MethodTable copy = *e->vtab, *saved = e->vtab;
    std::memcpy(reinterpret_cast<char *>(&copy) + (replaced - 1) * sizeof(Slot), &repl[replaced],
                sizeof(Slot));
    g_orig = saved, g_mode = mode, g_calls = 0, e->vtab = &copy;
    PyThreadState *released = mode == 2 ? nullptr : PyEval_SaveThread();
    run(e, slot, in, out);
    if (released)
        PyEval_RestoreThread(released);
    e->vtab = saved;
    PyObject *type = nullptr, *exc = nullptr, *tb = nullptr;
    PyErr_Fetch(&type, &exc, &tb);
    if (type)
        PyErr_NormalizeException(&type, &exc, &tb);
    Py_XDECREF(type), Py_XDECREF(tb);
    return Py_BuildValue("NiN", flat_out(slot, out), g_calls.load(),
                         exc ? exc : Py_NewRef(Py_None));
}

// table_info(e) -> (type, table, vtab of e): the type and the table's address
// as Ellipsoid_ImportType gave them at import, and e's own table pointer.
PyObject *table_info(PyObject *, PyObject *o)
{
    if (!PyObject_TypeCheck(o, g_type))
        return PyErr_Format(PyExc_TypeError, "expected an Ellipsoid");
    return Py_BuildValue("ONN", g_type, PyLong_FromVoidPtr(g_table),
                         PyLong_FromVoidPtr(reinterpret_cast<Ellipsoid *>(o)->vtab));
}

// layout() -> ({record: (sizeof, ((field, offsetof, doubles), ...))}, {routine: signature})
#define FIELD(T, f) #f, (Py_ssize_t)offsetof(T, f), (Py_ssize_t)(sizeof(T::f) / sizeof(double))
#define F2 "(n,((s,n,n),(s,n,n)))"
#define F3 "(n,((s,n,n),(s,n,n),(s,n,n)))"
PyObject *layout(PyObject *, PyObject *)
{
    return Py_BuildValue(
        "{s:" F2 ",s:" F3 ",s:" F3 ",s:" F3 "}{s:y,s:y,s:y,s:y,s:y}", "SurfCoord",
        (Py_ssize_t)sizeof(SurfCoord), FIELD(SurfCoord, lat), FIELD(SurfCoord, lon), "LLA",
        (Py_ssize_t)sizeof(LLA), FIELD(LLA, lat), FIELD(LLA, lon), FIELD(LLA, alt), "ENU_Frame",
        (Py_ssize_t)sizeof(ENU_Frame), FIELD(ENU_Frame, u_east), FIELD(ENU_Frame, u_north),
        FIELD(ENU_Frame, u_up), "AER", (Py_ssize_t)sizeof(AER), FIELD(AER, azimuth),
        FIELD(AER, elevation), FIELD(AER, range), "scale", VECTOOLS_SCALE_SIGNATURE, "add",
        VECTOOLS_ADD_SIGNATURE, "sub", VECTOOLS_SUB_SIGNATURE, "dot", VECTOOLS_DOT_SIGNATURE,
        "norm", VECTOOLS_NORM_SIGNATURE);
}

PyMethodDef methods[] = {
    {"call", call, METH_VARARGS, "call(e, slot, inputs, foreign_thread=False)"},
    {"bare", bare, METH_VARARGS, "bare(e, slot, nthreads, *arrays)"},
    {"derived", derived, METH_VARARGS, "derived(e, slot, replaced, mode, inputs)"},
    {"table_info", table_info, METH_O, "table_info(e) -> (type, table, vtab of e)"},
    {"layout", layout, METH_NOARGS, "layout() -> (records, vector routine signatures)"},
    {"batch_info", batch_info, METH_NOARGS, "batch_info() -> the batch kernel table"},
    {"find_kernel", find_kernel, METH_VARARGS, "find_kernel(name) -> index or None"},
    {"batch", batch, METH_VARARGS, "batch(name, Re, f, nthreads, inputs, outputs)"},
    {nullptr, nullptr, 0, nullptr}};

}  // namespace

PyMODINIT_FUNC PyInit_quorvane_consumer(void)
{
    g_type = Ellipsoid_ImportType(&g_table);
    if (!g_type)
        return nullptr;
    g_batch = Ellipsoid_ImportBatchAPI();
    if (!g_batch)
        return nullptr;
    static PyModuleDef def = test_module_def("quorvane_consumer", methods);
    return create_test_module(def, [](PyObject *m) {
        return PyModule_AddObject(m, "SENTINEL", PyFloat_FromDouble(SENTINEL));
    });
}
