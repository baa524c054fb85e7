"""The array path of quorvane.geo: NumPy arrays, lists and NumPy scalars, and the
containers people keep coordinates in (pandas Series, xarray DataArrays, dask
arrays), for the calls that are not all Python numbers.

The kind of call is decided once, from the arguments' types; pandas, xarray and
dask are imported only when an argument's type comes from them.
"""

import functools
import math

import numpy as np

from quorvane.geo._models import WGS84, params_of
from quorvane.geo._plans import PLANS

_HALF_PI = math.pi / 2
_DEGREES_PER_RADIAN = 180.0 / math.pi


def _out_of_range(name, value, deg):
    # The same texts as the one-point path's (src/geo/conversion.cpp).
    if deg:
        return ValueError(f"{name} = {value!r} is not a latitude in degrees: it must lie within "
                          "[-90, 90] (radians need deg=False)")
    return ValueError(f"{name} = {value!r} is not a latitude in radians: it must lie within "
                      "[-pi/2, pi/2] (degrees need deg=True)")


def _real_array(name, value):
    array = np.asarray(value)
    if array.dtype.kind not in "fiub":
        raise TypeError(f"{name} must be real numbers, got an array of {array.dtype}")
    return array


def _check_latitude(name, lat, deg):
    limit = 90.0 if deg else _HALF_PI
    # Two reductions without temporaries; only a NaN (which passes, as it
    # propagates) or a bad value sends the call to the elementwise search.
    if lat.size == 0 or (lat.min() >= -limit and lat.max() <= limit):
        return
    bad = np.abs(lat) > limit
    if bad.any():
        raise _out_of_range(name, float(lat[bad].flat[0]), deg)


def _check_non_negative(name, value):
    if value.size and not value.min() >= 0:
        negative = value < 0
        if negative.any():
            raise ValueError(f"{name} = {float(value[negative].flat[0])!r} must not be negative")


def _number(name, role, value, deg):
    try:
        value = float(value)
    except OverflowError:
        raise OverflowError(f"{name} = {value} is too large for a float") from None
    if role == "l" and abs(value) > (90.0 if deg else _HALF_PI):
        raise _out_of_range(name, value, deg)
    if role == "n" and value < 0.0:
        raise ValueError(f"{name} = {value!r} must not be negative")
    # math.radians multiplies by the constant numpy.radians does.
    return math.radians(value) if deg and (role == "l" or role == "a") else value


def compute(plan, Re, f, deg, args):
    """The plan's conversion of NumPy array-likes, with the ellipsoid as (Re, f)."""
    values = []
    shapes = set()
    blocks = False
    for name, role, value in zip(plan.names, plan.roles, args):
        if type(value) is float or type(value) is int:
            # Python numbers stay Python numbers, so that NumPy treats them as
            # weak scalars: float32 arrays with a number give float32.
            values.append(_number(name, role, value, deg))
            continue
        if type(value) is not np.ndarray or value.dtype.kind not in "fiub":
            value = _real_array(name, value)
        values.append(value)
        shapes.add(value.shape if value.dtype == np.float64 and value.flags.c_contiguous else None)
        blocks = blocks or role != "-"
    shape = shapes.pop() if len(shapes) == 1 else None
    if shape is not None and math.prod(shape) > _BLOCK and (
            blocks or (deg and plan.out_roles.strip("-"))):
        return _in_blocks(plan, Re, f, deg, values, shape)
    return _whole(plan, Re, f, deg, values)


# Points per block of the blocked path: its columns stay in the L2 cache.
_BLOCK = 16384
_RADIANS_PER_DEGREE = math.pi / 180.0


def _check(name, role, value, deg):
    if role == "l":
        _check_latitude(name, value, deg)
    elif role == "n":
        _check_non_negative(name, value)


def _kernel_inputs(plan, values):
    # An input of the plan is the index of an argument or a constant.
    return [values[j] if type(j) is int else j for j in plan.inputs]


def _returned(results):
    return results[0] if len(results) == 1 else tuple(results)


def _in_blocks(plan, Re, f, deg, values, shape):
    # Float64 arrays of one shape, converted, checked and computed block by
    # block: the degree conversions and checks then read and write the cache,
    # not fresh whole-array temporaries, with the bits of the whole-array path.
    n = math.prod(shape)
    flat = [value.reshape(-1) if type(value) is np.ndarray else value for value in values]
    scratch = [np.empty(_BLOCK) if type(value) is np.ndarray and deg and role in "la" else None
               for value, role in zip(values, plan.roles)]
    results = [np.empty(n) for _ in range(plan.nout)]
    ellipsoid = (Re, f) if plan.with_ellipsoid else ()
    for start in range(0, n, _BLOCK):
        stop = min(start + _BLOCK, n)
        block = _block_of(plan, deg, flat, scratch, start, stop)
        out = tuple(r[start:stop] for r in results)
        plan.kernel(*_kernel_inputs(plan, block), *ellipsoid, out=out)
        if deg:
            _block_to_degrees(plan, out)
    return _returned([results[k].reshape(shape) for k in plan.outputs])


def _block_of(plan, deg, flat, scratch, start, stop):
    # The arguments' points [start, stop), checked, angles in radians in
    # their scratch buffers; numbers as they are.
    block = []
    for name, role, value, buffer in zip(plan.names, plan.roles, flat, scratch):
        if type(value) is np.ndarray:
            value = value[start:stop]
            _check(name, role, value, deg)
            if buffer is not None:
                value = np.multiply(value, _RADIANS_PER_DEGREE, out=buffer[:stop - start])
        block.append(value)
    return block


def _block_to_degrees(plan, out):
    for k, role in zip(plan.outputs, plan.out_roles):
        if role != "-":
            _to_degrees(out[k], role == "z")


def _whole(plan, Re, f, deg, values):
    for k, (name, role, value) in enumerate(zip(plan.names, plan.roles, values)):
        if type(value) is np.ndarray:
            _check(name, role, value, deg)
            if deg and role in ("l", "a"):
                values[k] = np.radians(value)
    inputs = _kernel_inputs(plan, values)
    if plan.with_ellipsoid:
        inputs += (Re, f)
    results = plan.kernel(*inputs)
    if plan.nout == 1:
        results = (results,)
    return _returned([_as_returned(results[k], role, deg)
                      for k, role in zip(plan.outputs, plan.out_roles)])


def _as_returned(result, role, deg):
    return _to_degrees(result, role == "z") if deg and role != "-" else result


def _to_degrees(result, azimuth):
    # numpy.degrees multiplies by the same constant; in place, the fresh
    # result of the ufunc is the only copy.
    if type(result) is np.ndarray and result.ndim:
        np.multiply(result, _DEGREES_PER_RADIAN, out=result)
        if azimuth:
            # An azimuth just below 2 pi can round up to 360 degrees.
            np.putmask(result, result >= 360.0, 0.0)
        return result
    result = np.degrees(result)
    return result.dtype.type(0.0) if azimuth and result >= 360.0 else result


def compute_named(name, Re, f, deg, *args):
    """compute() by the plan's name: a picklable task for dask and xarray."""
    return compute(PLANS[name], Re, f, deg, args)


def _kind(args):
    kind = None
    for value in args:
        t = type(value)
        if t is np.ndarray or t is float or t is int or t is list:
            continue
        package = t.__module__.partition(".")[0]
        if package == "xarray":
            return _xarray
        if package == "dask":
            kind = _dask
        elif package == "pandas" and kind is None:
            kind = _pandas
    return kind


def run(plan, args, ell, deg):
    """The fallback of the one-point path: any call that is not all Python numbers."""
    Re, f = WGS84._params if ell is None else params_of(ell)
    container = _kind(args)
    if container is not None:
        return container(plan, Re, f, deg, args)
    return compute(plan, Re, f, deg, args)


def _output_dtype(args):
    dtypes = [value.dtype for value in args if hasattr(value, "dtype")]
    return np.result_type(*dtypes, np.float32)


def _pandas(plan, Re, f, deg, args):
    import pandas as pd  # type: ignore[import-untyped, unused-ignore]

    index = next(value.index for value in args if isinstance(value, pd.Series))
    arrays = [value.to_numpy() if isinstance(value, pd.Series) else value for value in args]
    result = compute(plan, Re, f, deg, arrays)
    if len(plan.outputs) == 1:
        return pd.Series(result, index=index)
    return tuple(pd.Series(value, index=index) for value in result)


def _xarray(plan, Re, f, deg, args):
    import xarray as xr

    n = len(plan.outputs)
    return xr.apply_ufunc(functools.partial(compute_named, plan.name, Re, f, deg), *args,
                          output_core_dims=[[]] * n, dask="parallelized",
                          output_dtypes=[_output_dtype(args)] * n)


def _dask(plan, Re, f, deg, args):
    import dask.array as da

    # apply_gufunc takes loop dimensions chunked alike: broadcast the arrays
    # (NumPy ones too) and give them common chunks; numbers stay numbers.
    shaped = [k for k, value in enumerate(args) if np.ndim(value) > 0]
    arrays = da.broadcast_arrays(*(da.asarray(args[k]) for k in shaped))
    index = "".join(chr(ord("a") + d) for d in range(arrays[0].ndim))
    _, arrays = da.core.unify_chunks(*(item for array in arrays for item in (array, index)))
    args = list(args)
    for k, array in zip(shaped, arrays):
        args[k] = array
    n = len(plan.outputs)
    signature = ",".join(["()"] * len(args)) + "->" + ",".join(["()"] * n)
    dtype = _output_dtype(args)
    return da.apply_gufunc(functools.partial(compute_named, plan.name, Re, f, deg), signature,
                           *args, output_dtypes=dtype if n == 1 else [dtype] * n)
