#include "geo/conversion.hpp"

#include <structmember.h>

#define PY_ARRAY_UNIQUE_SYMBOL quorvane_geo_ARRAY_API
#define PY_UFUNC_UNIQUE_SYMBOL quorvane_geo_UFUNC_API
#define NO_IMPORT_ARRAY
#define NO_IMPORT_UFUNC
#include <numpy/arrayobject.h>
#include <numpy/ufuncobject.h>

#include <cmath>
#include <cstddef>

#include "common/callable_type.hpp"

namespace quorvane::geo {

namespace {

constexpr int kMaxUserArgs = 8;
constexpr int kMaxKernelArgs = 16;

// The constants of math.radians and numpy.radians (and of degrees), so that a
// number converted here has the bits the array path gives it.
constexpr double kRadiansPerDegree = M_PI / 180.0;
constexpr double kDegreesPerRadian = 180.0 / M_PI;

// Roles of the arguments and results, one character each in the plan.
constexpr char kLatitude = 'l';  // an angle within [-90, 90] degrees
constexpr char kAngle = 'a';     // any angle
constexpr char kAzimuth = 'z';   // an angle result within [0, 360) degrees
constexpr char kNonNegative = 'n';

struct Conversion {
    PyObject_HEAD
    vectorcallfunc vectorcall;
    PyObject *plan;
    PyObject *fallback;
    PyObject *resolve;
    PyObject *names;
    double default_Re;
    double default_f;
    // The ufunc's float64 loop, or null when the kernel is not a ufunc with
    // one (then every call takes the fallback).
    PyUFuncGenericFunction loop;
    void *loop_data;
    int nargs;
    int kernel_nin;  // point inputs; Re and f follow when with_ellipsoid
    int kernel_nout;
    bool with_ellipsoid;
    int input_arg[kMaxKernelArgs];  // the user argument of each point input, or -1
    double input_constant[kMaxKernelArgs];
    char role[kMaxUserArgs];
    int nreturn;
    int output[kMaxKernelArgs];
    char out_role[kMaxKernelArgs];
};

PyRef repr_of(double value)
{
    char *text = PyOS_double_to_string(value, 'r', 0, Py_DTSF_ADD_DOT_0, nullptr);
    if (text == nullptr) {
        return PyRef();
    }
    PyRef result = PyRef::steal(PyUnicode_FromString(text));
    PyMem_Free(text);
    return result;
}

// The same texts as the array path's (quorvane/geo/_arrays.py).
void raise_out_of_range(const Conversion &c, int arg, double value, bool deg)
{
    PyRef shown = repr_of(value);
    if (!shown) {
        return;
    }
    PyErr_Format(PyExc_ValueError,
                 deg ? "%U = %U is not a latitude in degrees: it must lie within [-90, 90] "
                       "(radians need deg=False)"
                     : "%U = %U is not a latitude in radians: it must lie within [-pi/2, pi/2] "
                       "(degrees need deg=True)",
                 PyTuple_GET_ITEM(c.names, arg), shown.get());
}

void raise_negative(const Conversion &c, int arg, double value)
{
    PyRef shown = repr_of(value);
    if (shown) {
        PyErr_Format(PyExc_ValueError, "%U = %U must not be negative",
                     PyTuple_GET_ITEM(c.names, arg), shown.get());
    }
}

// NaN passes every check, as it does in the array path: it propagates.
bool check(const Conversion &c, const double *values, bool deg)
{
    const double limit = deg ? 90.0 : M_PI / 2;
    for (int k = 0; k < c.nargs; ++k) {
        if (c.role[k] == kLatitude && std::fabs(values[k]) > limit) {
            raise_out_of_range(c, k, values[k], deg);
            return false;
        }
        if (c.role[k] == kNonNegative && values[k] < 0.0) {
            raise_negative(c, k, values[k]);
            return false;
        }
    }
    return true;
}

bool ellipsoid_of(const Conversion &c, PyObject *ell, double *Re, double *f)
{
    if (ell == Py_None) {
        *Re = c.default_Re;
        *f = c.default_f;
        return true;
    }
    PyRef params = PyRef::steal(PyObject_CallOneArg(c.resolve, ell));
    if (!params) {
        return false;
    }
    if (!PyTuple_Check(params.get()) || PyTuple_GET_SIZE(params.get()) != 2) {
        PyErr_SetString(PyExc_TypeError, "the ellipsoid resolver must return (Re, f)");
        return false;
    }
    *Re = PyFloat_AsDouble(PyTuple_GET_ITEM(params.get(), 0));
    *f = PyFloat_AsDouble(PyTuple_GET_ITEM(params.get(), 1));
    return !PyErr_Occurred();
}

// Python numbers only: float (numpy.float64 included) and int (bool included).
// Returns whether every argument is one; an int beyond the doubles is left to
// the array path, which names it in its OverflowError.
bool read_numbers(PyObject *const *args, int n, double *values)
{
    for (int k = 0; k < n; ++k) {
        PyObject *a = args[k];
        if (PyFloat_Check(a)) {
            values[k] = PyFloat_AS_DOUBLE(a);
        } else if (PyLong_Check(a)) {
            values[k] = PyLong_AsDouble(a);
            if (values[k] == -1.0 && PyErr_Occurred()) {
                PyErr_Clear();
                return false;
            }
        } else {
            return false;
        }
    }
    return true;
}

PyObject *call_fallback(const Conversion &c, PyObject *const *args)
{
    PyRef user_args = PyRef::steal(PyTuple_New(c.nargs));
    if (!user_args) {
        return nullptr;
    }
    for (int k = 0; k < c.nargs; ++k) {
        PyTuple_SET_ITEM(user_args.get(), k, Py_NewRef(args[k]));
    }
    PyObject *call_args[] = {c.plan, user_args.get(), args[c.nargs], args[c.nargs + 1]};
    return PyObject_Vectorcall(c.fallback, call_args, 4, nullptr);
}

// The kernel's inputs for one point: the user's values, angles in radians,
// the plan's constants, then Re and f when the kernel takes them. Returns the
// count, or -1 with the ellipsoid's error set.
int kernel_point(const Conversion &c, const double *values, PyObject *ell, bool deg, double *point)
{
    for (int j = 0; j < c.kernel_nin; ++j) {
        const int arg = c.input_arg[j];
        if (arg < 0) {
            point[j] = c.input_constant[j];
        } else {
            const char role = c.role[arg];
            const bool angle = role == kLatitude || role == kAngle;
            point[j] = deg && angle ? values[arg] * kRadiansPerDegree : values[arg];
        }
    }
    if (!c.with_ellipsoid) {
        return c.kernel_nin;
    }
    const int nin = c.kernel_nin;
    return ellipsoid_of(c, ell, &point[nin], &point[nin + 1]) ? nin + 2 : -1;
}

// The ufunc's float64 loop over a single element, every step 0.
void run_loop(const Conversion &c, double *point, int nin, double *results)
{
    char *loop_args[2 * kMaxKernelArgs + 2];
    npy_intp steps[2 * kMaxKernelArgs + 2] = {};
    for (int j = 0; j < nin; ++j) {
        loop_args[j] = reinterpret_cast<char *>(&point[j]);
    }
    for (int k = 0; k < c.kernel_nout; ++k) {
        loop_args[nin + k] = reinterpret_cast<char *>(&results[k]);
    }
    const npy_intp one = 1;
    c.loop(loop_args, &one, steps, c.loop_data);
}

// Result k as the caller sees it: angles in degrees when deg.
double returned_value(const Conversion &c, int k, const double *results, bool deg)
{
    double value = results[c.output[k]];
    if (deg && (c.out_role[k] == kAngle || c.out_role[k] == kAzimuth)) {
        value *= kDegreesPerRadian;
        // An azimuth just below 2 pi can round up to 360 degrees.
        if (c.out_role[k] == kAzimuth && value >= 360.0) {
            value = 0.0;
        }
    }
    return value;
}

// A float for a single result, else a tuple of floats.
PyObject *returned(const Conversion &c, const double *results, bool deg)
{
    PyRef values_out[kMaxKernelArgs];
    for (int k = 0; k < c.nreturn; ++k) {
        values_out[k] = PyRef::steal(PyFloat_FromDouble(returned_value(c, k, results, deg)));
        if (!values_out[k]) {
            return nullptr;
        }
    }
    if (c.nreturn == 1) {
        return values_out[0].release();
    }
    PyObject *result = PyTuple_New(c.nreturn);
    if (result != nullptr) {
        for (int k = 0; k < c.nreturn; ++k) {
            PyTuple_SET_ITEM(result, k, values_out[k].release());
        }
    }
    return result;
}

PyObject *one_point(const Conversion &c, const double *values, PyObject *ell, bool deg)
{
    if (!check(c, values, deg)) {
        return nullptr;
    }
    double point[kMaxKernelArgs + 2];
    const int nin = kernel_point(c, values, ell, deg, point);
    if (nin < 0) {
        return nullptr;
    }
    double results[kMaxKernelArgs];
    run_loop(c, point, nin, results);
    return returned(c, results, deg);
}

PyObject *conversion_vectorcall(PyObject *callable, PyObject *const *args, size_t nargsf,
                                PyObject *kwnames)
{
    const auto &c = *reinterpret_cast<Conversion *>(callable);
    const Py_ssize_t nargs = PyVectorcall_NARGS(nargsf);
    if (kwnames != nullptr || nargs != c.nargs + 2) {
        PyErr_Format(PyExc_TypeError,
                     "a Conversion takes its %d arguments, ell and deg, by position", c.nargs);
        return nullptr;
    }
    if (c.loop == nullptr) {
        return call_fallback(c, args);
    }
    double values[kMaxUserArgs];
    if (!read_numbers(args, c.nargs, values)) {
        return call_fallback(c, args);
    }
    const int deg = PyObject_IsTrue(args[c.nargs + 1]);
    if (deg < 0) {
        return nullptr;
    }
    return one_point(c, values, args[c.nargs], deg != 0);
}

// --- construction from the plan --------------------------------------------

bool read_roles(PyObject *text, char *roles, int count, const char *what)
{
    Py_ssize_t size;
    const char *chars = PyUnicode_Check(text) ? PyUnicode_AsUTF8AndSize(text, &size) : nullptr;
    if (chars == nullptr || size != count) {
        if (!PyErr_Occurred()) {
            PyErr_Format(PyExc_ValueError, "plan.%s must be a str of one role per item", what);
        }
        return false;
    }
    for (int k = 0; k < count; ++k) {
        roles[k] = chars[k];
    }
    return true;
}

// The float64 loop of an elementwise ufunc: all its types NPY_DOUBLE.
void find_loop(Conversion &c, PyObject *kernel)
{
    if (!PyObject_TypeCheck(kernel, &PyUFunc_Type)) {
        return;
    }
    const auto *ufunc = reinterpret_cast<PyUFuncObject *>(kernel);
    const int nargs = ufunc->nin + ufunc->nout;
    if (ufunc->core_enabled || ufunc->nin > kMaxKernelArgs || ufunc->nout > kMaxKernelArgs) {
        return;
    }
    for (int t = 0; t < ufunc->ntypes; ++t) {
        bool all_double = true;
        for (int a = 0; a < nargs; ++a) {
            all_double = all_double && ufunc->types[t * nargs + a] == NPY_DOUBLE;
        }
        if (all_double) {
            c.loop = ufunc->functions[t];
            c.loop_data = ufunc->data[t];
            return;
        }
    }
}

// The plan's attributes that the point path reads.
struct PlanFields {
    PyRef kernel;
    PyRef names;
    PyRef inputs;
    PyRef roles;
    PyRef outputs;
    PyRef out_roles;
    PyRef nout;
};

// A lookup after a failed one would run with its AttributeError pending,
// and a successful one may clear it: the first failure ends the reading.
bool read_fields(PyObject *plan, PlanFields &p)
{
    const struct {
        const char *name;
        PyRef PlanFields::*field;
    } table[] = {
        {"kernel", &PlanFields::kernel},   {"names", &PlanFields::names},
        {"inputs", &PlanFields::inputs},   {"roles", &PlanFields::roles},
        {"outputs", &PlanFields::outputs}, {"out_roles", &PlanFields::out_roles},
        {"nout", &PlanFields::nout},
    };
    for (const auto &entry : table) {
        p.*entry.field = PyRef::steal(PyObject_GetAttrString(plan, entry.name));
        if (!(p.*entry.field)) {
            return false;
        }
    }
    return true;
}

bool counts_fit(Py_ssize_t nargs, Py_ssize_t nin, Py_ssize_t nreturn, long kernel_nout)
{
    return nargs <= kMaxUserArgs && nin <= kMaxKernelArgs && nreturn >= 1 &&
           nreturn <= kMaxKernelArgs && kernel_nout >= 1 && kernel_nout <= kMaxKernelArgs;
}

// The counts of arguments, kernel inputs, kernel results and returned
// results, within the fixed arrays of a Conversion.
bool read_counts(Conversion &c, const PlanFields &p)
{
    if (!PyTuple_Check(p.names.get()) || !PyTuple_Check(p.inputs.get()) ||
        !PyTuple_Check(p.outputs.get())) {
        PyErr_SetString(PyExc_TypeError, "plan.names, plan.inputs and plan.outputs must be tuples");
        return false;
    }
    const Py_ssize_t nargs = PyTuple_GET_SIZE(p.names.get());
    const Py_ssize_t nin = PyTuple_GET_SIZE(p.inputs.get());
    const Py_ssize_t nreturn = PyTuple_GET_SIZE(p.outputs.get());
    const long kernel_nout = PyLong_AsLong(p.nout.get());
    if (kernel_nout == -1 && PyErr_Occurred()) {
        return false;
    }
    if (!counts_fit(nargs, nin, nreturn, kernel_nout)) {
        PyErr_SetString(PyExc_ValueError, "plan has too many or too few arguments or results");
        return false;
    }
    c.nargs = static_cast<int>(nargs);
    c.kernel_nin = static_cast<int>(nin);
    c.kernel_nout = static_cast<int>(kernel_nout);
    c.nreturn = static_cast<int>(nreturn);
    return true;
}

// Each kernel input is the index of a user argument or a constant.
bool read_inputs(Conversion &c, PyObject *inputs)
{
    for (int j = 0; j < c.kernel_nin; ++j) {
        PyObject *item = PyTuple_GET_ITEM(inputs, j);
        if (!PyLong_Check(item)) {
            c.input_arg[j] = -1;
            c.input_constant[j] = PyFloat_AsDouble(item);
            if (PyErr_Occurred()) {
                return false;
            }
            continue;
        }
        const long arg = PyLong_AsLong(item);
        if (arg < 0 || arg >= c.nargs) {
            PyErr_SetString(PyExc_ValueError, "plan.inputs names an argument it does not have");
            return false;
        }
        c.input_arg[j] = static_cast<int>(arg);
    }
    return true;
}

// Each returned result is the index of one of the kernel's results.
bool read_outputs(Conversion &c, PyObject *outputs)
{
    for (int k = 0; k < c.nreturn; ++k) {
        const long index = PyLong_AsLong(PyTuple_GET_ITEM(outputs, k));
        if (index < 0 || index >= c.kernel_nout) {
            if (!PyErr_Occurred()) {
                PyErr_SetString(PyExc_ValueError, "plan.outputs names a result the kernel lacks");
            }
            return false;
        }
        c.output[k] = static_cast<int>(index);
    }
    return true;
}

// The float64 loop, when the kernel has one, and whether it takes Re and f
// after the point inputs.
bool bind_loop(Conversion &c, PyObject *kernel)
{
    find_loop(c, kernel);
    if (c.loop == nullptr) {
        return true;
    }
    const auto *ufunc = reinterpret_cast<PyUFuncObject *>(kernel);
    c.with_ellipsoid = ufunc->nin == c.kernel_nin + 2;
    if ((!c.with_ellipsoid && ufunc->nin != c.kernel_nin) || ufunc->nout != c.kernel_nout) {
        PyErr_SetString(PyExc_ValueError, "plan does not match its ufunc's inputs and outputs");
        return false;
    }
    return true;
}

int fill_from_plan(Conversion &c, PyObject *plan)
{
    PlanFields p;
    if (!read_fields(plan, p) || !read_counts(c, p) ||
        !read_roles(p.roles.get(), c.role, c.nargs, "roles") ||
        !read_roles(p.out_roles.get(), c.out_role, c.nreturn, "out_roles") ||
        !read_inputs(c, p.inputs.get()) || !read_outputs(c, p.outputs.get()) ||
        !bind_loop(c, p.kernel.get())) {
        return -1;
    }
    c.names = p.names.release();
    return 0;
}

PyObject *conversion_new(PyTypeObject *type, PyObject *args, PyObject *kwargs)
{
    static const char *keywords[] = {"plan", "fallback", "resolve", "Re", "f", nullptr};
    PyObject *plan;
    PyObject *fallback;
    PyObject *resolve;
    double Re;
    double f;
    if (!PyArg_ParseTupleAndKeywords(args, kwargs, "OOOdd:Conversion",
                                     const_cast<char **>(keywords), &plan, &fallback, &resolve, &Re,
                                     &f)) {
        return nullptr;
    }
    PyRef self = PyRef::steal(type->tp_alloc(type, 0));
    if (!self) {
        return nullptr;
    }
    auto &c = *reinterpret_cast<Conversion *>(self.get());
    c.vectorcall = conversion_vectorcall;
    c.plan = Py_NewRef(plan);
    c.fallback = Py_NewRef(fallback);
    c.resolve = Py_NewRef(resolve);
    c.default_Re = Re;
    c.default_f = f;
    if (fill_from_plan(c, plan) < 0) {
        return nullptr;
    }
    return self.release();
}

// The references a Conversion owns.
PyObject *Conversion::*const kOwned[] = {&Conversion::plan, &Conversion::fallback,
                                         &Conversion::resolve, &Conversion::names};

int conversion_traverse(PyObject *self, visitproc visit, void *arg)
{
    auto &c = *reinterpret_cast<Conversion *>(self);
    for (PyObject *Conversion::*owned : kOwned) {
        Py_VISIT(c.*owned);
    }
    return 0;
}

int conversion_clear(PyObject *self)
{
    auto &c = *reinterpret_cast<Conversion *>(self);
    for (PyObject *Conversion::*owned : kOwned) {
        Py_CLEAR(c.*owned);
    }
    return 0;
}

void conversion_dealloc(PyObject *self)
{
    PyObject_GC_UnTrack(self);
    conversion_clear(self);
    Py_TYPE(self)->tp_free(self);
}

PyObject *conversion_has_point_path(PyObject *self, void *)
{
    return PyBool_FromLong(reinterpret_cast<Conversion *>(self)->loop != nullptr);
}

PyMemberDef conversion_members[] = {
    {"plan", T_OBJECT, offsetof(Conversion, plan), READONLY, "The plan it was made from."},
    {nullptr, 0, 0, 0, nullptr},
};

PyGetSetDef conversion_getset[] = {
    {"has_point_path", conversion_has_point_path, nullptr,
     "Whether Python numbers run through the ufunc's float64 loop here.", nullptr},
    {nullptr, nullptr, nullptr, nullptr, nullptr},
};

PyTypeObject ConversionType{};

}  // namespace

bool ready_conversion_type()
{
    const CallableTypeSlots slots = {
        "quorvane.geo._point.Conversion",
        sizeof(Conversion),
        conversion_dealloc,
        offsetof(Conversion, vectorcall),
        Py_TPFLAGS_HAVE_GC,
        "Conversion(plan, fallback, resolve, Re, f)\n\n"
        "Called as conversion(*args, ell, deg). When every argument is a Python\n"
        "number and plan.kernel is a ufunc with a float64 loop, computes the point\n"
        "there (degrees converted, latitudes and non-negative arguments checked,\n"
        "ell None meaning (Re, f), any other ell read as resolve(ell) -> (Re, f)),\n"
        "else returns fallback(plan, args, ell, deg).",
    };
    return ready_callable_type(ConversionType, slots, [](PyTypeObject &type) {
        type.tp_traverse = conversion_traverse;
        type.tp_clear = conversion_clear;
        type.tp_members = conversion_members;
        type.tp_getset = conversion_getset;
        type.tp_new = conversion_new;
    });
}

PyTypeObject *conversion_type() { return &ConversionType; }

}  // namespace quorvane::geo
