"""Fuzzing the arguments of the ten vectorised methods of Ellipsoid: a call returns a float or a plain
ndarray of the method's dtype, shaped after the arguments, or raises an argument error; a SystemError,
a crash or a leaked argument reference fails. QUORVANE_FUZZ_EXAMPLES sets the examples per method."""

import numbers
import os
import subprocess
import sys
import warnings
from pathlib import Path

import numpy as np
import pytest
from hypothesis import HealthCheck, given, settings
from hypothesis import strategies as st
from hypothesis.extra import numpy as hnp

import quorvane.mathtools.ellipsoid.ellipsoid as M
from support.methods import METHODS

E = M.Ellipsoid(6378137.0, 1 / 298.257223563)
F8 = np.dtype(np.float64)
pytestmark = pytest.mark.filterwarnings("ignore::PendingDeprecationWarning")  # numpy.matrix


class Boom(Exception):
    """Raised by the hooks of the hostile objects below."""


# Warning: numpy's conversion warnings (ComplexWarning, overflow) are errors during a call.
ALLOWED = (TypeError, ValueError, AttributeError, AssertionError, OverflowError, IndexError, NameError, Boom, Warning)


class Scripted:
    """Answers each use of a hook with the next entry of its script (the last
    one repeats); an exception class as entry is raised; no script, no hook."""

    def __init__(self, **script):
        self._script = {k: list(v) for k, v in script.items()}

    def _next(self, key):
        entries = self._script[key] if key in self._script else [AttributeError]
        value = entries.pop(0) if len(entries) > 1 else entries[0]
        if isinstance(value, type) and issubclass(value, BaseException):
            raise value(key)
        return value

    def __repr__(self):
        return f"{type(self).__name__}(**{self._script!r})"


class HostileArray(Scripted):
    shape = property(lambda self: self._next("shape"))
    ndim = property(lambda self: self._next("ndim"))
    __getitem__ = lambda self, i: self._next("item")  # noqa: E731


class HostileFloat(Scripted):
    __float__ = lambda self: self._next("float")  # noqa: E731


class HostileIndex(Scripted):  # no __float__: the float protocol falls back on __index__
    __index__ = lambda self: self._next("index")  # noqa: E731


numbers.Real.register(HostileFloat)
numbers.Real.register(HostileIndex)
HOSTILE = (HostileArray, HostileFloat, HostileIndex)


class Sub(np.ndarray):
    """A trivial subclass."""


def script(entries, max_size=3):
    return st.lists(st.sampled_from(entries), min_size=1, max_size=max_size)


edge_floats = st.sampled_from([np.nan, np.inf, -np.inf, -0.0, 1e308, -1e308, 5e-324, 2.2e-308])
py_numbers = st.one_of(st.floats(), edge_floats, st.integers(), st.sampled_from([10**400, -(10**400), 2**64]), st.booleans())
hostile_numbers = st.one_of(st.builds(HostileFloat, float=script([0.5, np.nan, 3, "x", None, 10**400, Boom])),
                            st.builds(HostileIndex, index=script([7, -(2**70), 10**400, 2.5, "7", Boom])))
SCALAR_DTYPES = ["b1", "i1", "u1", "i2", "u2", "i4", "u4", "i8", "u8", "f2", "f4", "f8", "g", "c8", "c16", "M8[s]", "m8[s]", "U3"]
np_scalars = st.sampled_from(SCALAR_DTYPES).flatmap(lambda dt: hnp.from_dtype(np.dtype(dt)).map(lambda v: np.array(v, dt)[()]))
scalars = st.one_of(py_numbers, np_scalars, hostile_numbers)
ARRAY_DTYPES = SCALAR_DTYPES + ["f8", "=f8", ">f8", ">i4", "S2", "O", "O", [("a", "f8")], M.LLA_dtype]
NUMERIC = ["f8", "f8", "f4", "i8", "u1", "b1", "g", "f2", ">f8"]
object_elements = st.one_of(st.none(), st.text(max_size=2), py_numbers, hostile_numbers)


LAYOUTS = [  # each keeps shape and values, changing the strides, byte order, alignment, flags or type
    lambda a: a,
    lambda a: np.repeat(a, 2, axis=0)[::2] if a.ndim else a,
    lambda a: np.flip(np.flip(a, 0).copy(), 0) if a.ndim else a,
    lambda a: np.ascontiguousarray(a.T).T,
    lambda a: a.byteswap().view(a.dtype.newbyteorder()),
    lambda a: np.frombuffer(b"\0" + a.tobytes(), a.dtype, offset=1).reshape(a.shape),  # unaligned, read-only
    lambda a: a.view(Sub),
    lambda a: np.asmatrix(a) if a.ndim <= 2 and a.dtype.fields is None else a,  # rows are matrices too
]


@st.composite
def arrays(draw, shape, dtypes=ARRAY_DTYPES):
    dt = np.dtype(draw(st.sampled_from(dtypes)))
    a = draw(hnp.arrays(dt, shape, elements=object_elements if dt.hasobject else None))
    return draw(st.sampled_from(LAYOUTS[:4] + LAYOUTS[6:] if dt.hasobject else LAYOUTS))(a)  # no bytes of objects


def hostile_arrays(n, shape=None):
    """Duck arrays; given `shape`, they answer like an honest array of it for a while."""
    shapes = [(3,), (n,), (n, 3), (n + 3, 3), (2, 3), [3], (3.0,), (10**400, 3), (-1, 3), ("x",), None, Boom]
    ndims = [1, 2, 0, np.int64(2), 1.0, "1", np.array([1, 1]), Boom]
    items = [0.5, 7, None, "x", (1.0, 2.0, 3.0), (1.0,), np.zeros(3), HostileFloat(float=[Boom]), Boom]
    honest = {} if shape is None else {"shape": [shape], "ndim": [len(shape)],
                                       "item": [0.5 if len(shape) == 1 else (0.5, 1.0, 2.0)]}
    hooks = {k: st.tuples(st.integers(0, 8), script(v, 2)).map(lambda t, k=k: honest.get(k, []) * t[0] + t[1])
             for k, v in (("shape", shapes), ("ndim", ndims), ("item", items))}
    return st.fixed_dictionaries(hooks if shape else {}, optional={} if shape else hooks).map(lambda kw: HostileArray(**kw))


def anything(n):
    shapes = st.sampled_from([(), (0,), (3,), (n,), (n, 3), (0, 3), (n, 4), (3, 1), (2, 3, 3)])
    sequences = st.lists(st.one_of(py_numbers, st.none(), st.lists(st.floats(), min_size=3, max_size=3)), max_size=4)
    return st.one_of(scalars, shapes.flatmap(arrays), sequences, sequences.map(tuple), hostile_arrays(n), hostile_arrays(n),
                     st.none(), st.text(max_size=2))


# Roles: "x" a number or n numbers, "p" a position (3,) or n positions (n, 3), "v" a three-vector, "s" a number.
ROLES = {"reduced_lat_from_geodetic_lat": "x", "geodetic_lat_from_reduced_lat": "x", "pos_from_lla": "xxx",
           "lla_from_pos": "p", "solve_reduced_lat_equation": "p", "surf_pos_from_surf_coord": "xx",
           "surf_coord_from_surf_pos": "p", "enu": "xx", "surf_pos_of_ray_first_intersection": "vp", "aer_coords": "psss"}
RECORDS = {"lla_from_pos": M.LLA_dtype, "surf_coord_from_surf_pos": M.SurfCoord_dtype, "enu": M.ENU_dtype,
           "aer_coords": M.AER_dtype}


@st.composite
def arguments(draw, roles):
    """Mostly well-shaped arguments of any dtype and layout, each at times replaced by anything."""
    n, many = draw(st.integers(0, 4)), draw(st.booleans())

    def points(shape):
        return st.one_of(arrays(shape), arrays(shape, NUMERIC), hostile_arrays(n, shape))

    well_shaped = {"x": st.one_of(points((n,)), arrays((n,), ["f8"])) if many else scalars,
                   "p": points((n, 3) if many else (3,)), "v": points((3,)), "s": scalars}
    return tuple(draw(anything(n) if draw(st.integers(0, 3)) == 0 else well_shaped[r]) for r in roles)


def result_forms(name, args):
    """The results the arguments allow: float, or (dtype, exact shape or number of dimensions)."""
    many = RECORDS.get(name, F8)
    trailing = (3,) if name in ("pos_from_lla", "surf_pos_from_surf_coord", "surf_pos_of_ray_first_intersection") else ()
    one = float if name.endswith("_lat") or name == "solve_reduced_lat_equation" else (many, (1,) if name in RECORDS else (3,))
    if any(isinstance(a, HOSTILE) for a in args):  # their attributes may answer differently by now
        return [one, (many, 1 + len(trailing))]
    points = args[name == "surf_pos_of_ray_first_intersection"]
    if ROLES[name][0] == "x":
        is_one = all(isinstance(a, numbers.Real) for a in args)
    elif name in ("lla_from_pos", "solve_reduced_lat_equation"):
        is_one = points.shape == (3,)
    else:
        is_one = points.ndim == 1
    return [one if is_one else (many, (points.shape[0], *trailing))]


def check_call(name, args):
    counted = [a for a in args if isinstance(a, (np.ndarray, *HOSTILE))]
    before = [sys.getrefcount(a) for a in counted]
    result, error = None, None
    with warnings.catch_warnings():
        warnings.simplefilter("error")
        try:
            result = getattr(E, name)(*args)
        except ALLOWED as exc:
            error = type(exc).__name__
    if [sys.getrefcount(a) for a in counted] != before:
        pytest.fail(f"{name}{args!r} leaked a reference to an argument ({error or 'returned'})")
    if error is not None:
        return
    forms = result_forms(name, args)
    if not any(type(result) is float if form is float else type(result) is np.ndarray and result.dtype == form[0] and
               (result.shape == form[1] if isinstance(form[1], tuple) else result.ndim == form[1]) for form in forms):
        pytest.fail(f"{name}{args!r} returned {type(result).__name__} {getattr(result, 'dtype', '')} "
                    f"{getattr(result, 'shape', '')}, not one of {forms}")


@pytest.mark.parametrize("name", METHODS)
@settings(max_examples=int(os.environ.get("QUORVANE_FUZZ_EXAMPLES", "60")), deadline=None, derandomize=True, database=None,
          suppress_health_check=[HealthCheck.too_slow, HealthCheck.data_too_large, HealthCheck.large_base_example,
                                 HealthCheck.filter_too_much])
@given(data=st.data())
def test_any_argument_gives_a_result_of_the_method_kind_or_an_argument_error(name, data):
    check_call(name, data.draw(arguments(ROLES[name]), label="args"))


class ItemsAreFloats(np.ndarray):
    __getitem__ = lambda self, i: 0.5 if isinstance(i, int) else np.ndarray.__getitem__(self, i)  # noqa: E731


@pytest.mark.parametrize("name", ["reduced_lat_from_geodetic_lat", "geodetic_lat_from_reduced_lat"])
@pytest.mark.parametrize("x", [pytest.param(np.zeros(0, [("a", "f8")]), id="empty"),
                               pytest.param(np.zeros(2, [("a", "f8")]).view(ItemsAreFloats), id="items-are-floats")])
def test_latitude_result_of_a_one_double_record_argument_is_float64(name, x):
    # zeros_like keeps the record dtype, whose layout is that of a double: the
    # result must be the float64 view of the filled buffer, not the record array.
    check_call(name, (x,))


def test_result_resized_by_an_argument_hook_is_not_written_after_free(script):
    # The stores go to the result's current memory (or the call fails), never to
    # the memory it had before a hook of the argument resized it.
    done = script("resize_result_during_reads.py")
    assert (done.returncode, done.stdout.strip()) == (0, "ok"), done.stderr[-2000:]


def test_hostile_calls_sample_finds_nothing():
    """A sample of scripts/fuzz_hostile.py (scripts/sanitize.sh runs more under
    AddressSanitizer): hooks that move, free or re-type memory in the middle of calls,
    and replaced allocators, give no SystemError and no store into freed memory."""
    fuzz = Path(__file__).resolve().parents[1] / "scripts" / "fuzz_hostile.py"
    done = subprocess.run([sys.executable, "-P", str(fuzz), "--calls", "3000", "--seed", "11"],
                          capture_output=True, text=True, timeout=600)
    assert done.returncode == 0, done.stdout[-3000:] + done.stderr[-3000:]
    assert "findings: 0" in done.stdout
