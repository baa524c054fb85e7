"""One answer per input: whole-array calls (batch kernels), one-point calls and the C
routines of the method table give the same bits for every input, on the kernel set
chosen for this machine and on the plain fallback, on one thread or several."""

import json
import math

import numpy as np
import pytest

from quorvane.mathtools.ellipsoid.ellipsoid import Ellipsoid

from support.methods import METHODS, missing
from support.scripts.kernel_digest import arguments, one_point

ELLIPSOIDS = [
    pytest.param(Ellipsoid(6378137.0, 1 / 298.257223563), id="wgs84"),
    pytest.param(Ellipsoid(2.0, 0.5), id="re2-f0.5"),
    pytest.param(Ellipsoid(1.0, 0.0), id="sphere"),
    pytest.param(Ellipsoid(1.0, 0.99), id="f0.99"),
]
HP = math.pi / 2
# Inputs where formulas switch branches or IEEE arithmetic decides the result.
SPECIAL = np.array([0.0, -0.0, HP, -HP, math.pi, 1e-300, -1e-300, 1e300, np.inf, -np.inf, np.nan])


def points(e, n, seed):
    """n random inputs for each kind of argument, the special values spliced in."""
    rng = np.random.default_rng(seed)
    lat, lon = rng.uniform(-HP, HP, n), rng.uniform(-4, 4, n)
    alt = rng.uniform(-0.5, 2.0, n) * e.Re
    # positions from the centre out to beyond the surface, near the axis and the equator too
    r = rng.normal(size=(n, 3)) * e.Re * rng.uniform(1e-6, 3, (n, 1))
    r[: n // 20, :2] *= 1e-12
    r[n // 20: n // 10, 2] *= 1e-12
    k = len(SPECIAL)
    for column in (lat, lon, alt):
        column[-k:] = rng.permutation(SPECIAL)
    r[-k:] = rng.permutation(np.repeat(SPECIAL, 3)).reshape(k, 3)
    return lat, lon, alt, r


def array_args(method, e, n, seed):
    return arguments(e, *points(e, n, seed))[method]


def bits(result):
    return np.ascontiguousarray(result).view(np.uint8).tobytes()


def test_every_method_has_arguments():
    e = Ellipsoid(1.0, 0.5)
    assert missing({m: array_args(m, e, 40, 0) for m in METHODS}) == []


@pytest.mark.parametrize("e", ELLIPSOIDS)
@pytest.mark.parametrize("method", METHODS)
def test_arrays_match_the_table_routine_bitwise(consumer, e, method):
    """The whole-array call against the table's C routine run point by point (GIL-free,
    in the consumer's bare loop)."""
    args = array_args(method, e, 200_000, METHODS.index(method))
    result = getattr(e, method)(*args)
    bare = getattr(consumer, "bare_" + method)(e, *args)
    assert bits(result) == bits(bare)


@pytest.mark.parametrize("e", ELLIPSOIDS)
@pytest.mark.parametrize("method", METHODS)
def test_one_point_calls_match_arrays_bitwise(e, method):
    args = array_args(method, e, 400, 100 + METHODS.index(method))
    whole = getattr(e, method)(*args)
    for i in range(len(whole)):
        one = getattr(e, method)(*one_point(method, args, i))
        assert bits(one) == bits(whole[i]), (i, one_point(method, args, i))


@pytest.mark.parametrize("method", METHODS)
def test_strided_and_non_float64_inputs_match_contiguous(method):
    """Inputs that the batch path reads in place (strided views) and inputs that it
    cannot (float32, lists of rows) give the bits of a contiguous float64 call."""
    e = Ellipsoid(6378137.0, 1 / 298.257223563)
    args = array_args(method, e, 3001, 7)
    expected = getattr(e, method)(*args)
    strided = tuple(np.repeat(a, 2, axis=0)[::2] if isinstance(a, np.ndarray) and a.ndim else a for a in args)
    assert bits(getattr(e, method)(*strided)) == bits(expected)
    if method not in ("reduced_lat_from_geodetic_lat", "geodetic_lat_from_reduced_lat"):
        as_longdouble = tuple(a.astype(np.longdouble) if isinstance(a, np.ndarray) else a for a in args)
        assert bits(getattr(e, method)(*as_longdouble)) == bits(expected)


@pytest.fixture(scope="module")
def kernel_runs(script):
    """The same digest of every method's results with the kernels this machine chooses,
    with the plain fallback forced, and with two threads."""
    runs = {}
    for name, env in [("chosen", {}), ("plain", {"QUORVANE_KERNELS": "plain"}),
                      ("threads", {"QUORVANE_NUM_THREADS": "2"})]:
        proc = script("kernel_digest.py", env=env)
        assert proc.returncode == 0, proc.stderr
        runs[name] = json.loads(proc.stdout)
    return runs


def test_threads_give_the_bits_of_one_thread(kernel_runs):
    assert kernel_runs["threads"]["digests"] == kernel_runs["chosen"]["digests"]


def test_plain_fallback_is_self_consistent(kernel_runs):
    """Under the forced fallback, arrays and one-point calls still agree bit for bit."""
    assert kernel_runs["plain"]["kernels"] == "plain"
    assert kernel_runs["plain"]["one_point_mismatches"] == {m: 0 for m in METHODS}


def ulps(a, b):
    """Distance in units in the last place, 0 where both are NaN."""
    a, b = (np.array([float.fromhex(x) for x in v]) for v in (a, b))
    both_nan = np.isnan(a) & np.isnan(b)
    ia, ib = (np.where(v < 0, np.int64(-2**63) - v.view(np.int64), v.view(np.int64)) for v in (a, b))
    return np.where(both_nan, 0, np.abs(ia.astype(object) - ib.astype(object)))


@pytest.mark.parametrize("method", METHODS)
def test_plain_fallback_agrees_with_the_chosen_set(kernel_runs, method):
    """The two sets use different elementary functions: a few ulp apart at most, on
    latitudes and angles as on lengths (relative to the largest component)."""
    chosen, plain = kernel_runs["chosen"]["samples"][method], kernel_runs["plain"]["samples"][method]
    a, b = (np.array([float.fromhex(x) for x in v]) for v in (chosen, plain))
    assert np.array_equal(np.isnan(a), np.isnan(b))
    finite = np.isfinite(a)
    np.testing.assert_allclose(b[finite], a[finite], rtol=0, atol=1e-13 * max(1.0, np.abs(a[finite]).max()))
