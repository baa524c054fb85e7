"""The Ellipsoid routines as a compiled caller uses them: through the C-level
method table (tests/support/consumer.cpp), with the GIL released, from several
threads and through derived tables; the vector routines and the record layouts."""

import ctypes
import math

import mpmath
import numpy as np
import pytest
from pytest import param

import quorvane.datamodel as dm
import quorvane.mathtools.vectools.vectools as vectools
from quorvane.mathtools.ellipsoid.ellipsoid import Ellipsoid
from support.consumer import SLOTS
from support.reference import geodetic_lat, prime_vertical_pos, reduced_lat

PI, HP, NAN = math.pi, math.pi / 2, math.nan
E = Ellipsoid(2.0, 0.5)  # polar radius 1, e2 = 0.75
W = Ellipsoid(6378137.0, 1 / 298.257223563)  # WGS84
SPHERE = Ellipsoid(2.0, 0.0)

capi = ctypes.pythonapi
capi.PyCapsule_GetName.restype = ctypes.c_char_p
capi.PyCapsule_GetName.argtypes = [ctypes.py_object]
capi.PyCapsule_GetPointer.restype = ctypes.c_void_p
capi.PyCapsule_GetPointer.argtypes = [ctypes.py_object, ctypes.c_char_p]


def near(got, want, tol=1e-14):
    np.testing.assert_allclose(np.asarray(got, float), np.asarray(want, float), rtol=tol, atol=tol, equal_nan=True)


def surface_point(e, lat, lon):
    return prime_vertical_pos(lat, lon, 0.0, e.Re, e.f)


def case(name, slot, x, want, tol=1e-15):
    return param(slot, x, want, tol, id=name)


# Slot names, in the header's table order.
REDUCED, GEODETIC, NORMAL, TANGENTS, ENU, SURF_POS, SURF_COORD, SOLVE, LLA, POS, RAY, AER = SLOTS
# On Re 2, Rp 1 the point (2 cos B4, sin B4) has the normal (cos B4 / 2, sin B4), at 45 degrees
# exactly when tan B4 = 1/2: geodetic latitude pi/4 is reduced latitude atan(1/2).
B4, C4, S4 = math.atan(0.5), math.cos(math.atan(0.5)), math.sin(math.atan(0.5))
CASES = [  # ellipsoid Re 2, f 0.5: slot, inputs, expected outputs, tolerance (0: exact)
    case("reduced-lat-zero", REDUCED, (0,), (0,), 0), case("geodetic-lat-zero", GEODETIC, (0,), (0,), 0),
    case("reduced-lat-pi/4", REDUCED, (PI / 4,), (B4,), 2e-16),
    case("geodetic-lat-pi/4", GEODETIC, (B4,), (PI / 4,), 2e-16),
    # 3 pi / 4 counts as -pi / 4, its value modulo pi in range; the normal (cos b / 2, sin b) at b = -pi / 4
    # is at -atan 2.
    case("reduced-lat-modulo-pi", REDUCED, (3 * PI / 4,), (-B4,), 2e-16),
    case("geodetic-lat-modulo-pi", GEODETIC, (3 * PI / 4,), (-math.atan(2.0),), 2e-16),
    # libmvec's atan of the huge tangent at the pole may land one unit in the last place short of pi/2
    *[case(f"{s}-pole{p:+.2f}", s, (p,), (p,), 4.5e-16) for s in (REDUCED, GEODETIC) for p in (HP, -HP)],
    case("normal-equator", NORMAL, (0, 0), (1, 0, 0), 0), case("surf-pos-equator", SURF_POS, (0, 0), (2, 0, 0)),
    case("tangents-equator", TANGENTS, (0, 0), (0, 1, 0, 0, 0, 1)),
    *[one for lon in (0.0, 1.0, -2.5) for c, s in [(math.cos(lon), math.sin(lon))] for one in (
        case(f"normal-pole-lon{lon}", NORMAL, (HP, lon), (math.cos(HP) * c, math.cos(HP) * s, 1), 1e-30),
        case(f"tangents-pole-lon{lon}", TANGENTS, (HP, lon), (-s, c, 0, -c, -s, 0)),
        case(f"surf-pos-pole-lon{lon}", SURF_POS, (HP, lon), (0, 0, 1)))],
    case("surf-pos-pi/4", SURF_POS, (PI / 4, 0), (2 * C4, 0, S4)),
    case("surf-coord-pi/4", SURF_COORD, (2 * C4, 0, S4), (PI / 4, 0)),
    case("surf-coord-pole", SURF_COORD, (0, 0, 1), (HP, 0)),
    case("surf-coord-above-pole", SURF_COORD, (0, 0, 3), (NAN, 0), 0),
    case("surf-coord-lon-pi", SURF_COORD, (-2, 0, 0), (0, PI), 0),
    case("surf-coord-lon-neg-pi", SURF_COORD, (-2, -0.0, 0), (0, -PI), 0),
    case("solve-equatorial-plane", SOLVE, (3, 0, 0), (0,), 0), case("solve-axis", SOLVE, (0, 0, 3), (HP,), 1e-16),
    case("lla-equator", LLA, (3, 0, 0), (0, 0, 1)), case("lla-lon-pi", LLA, (-3, 0, 0), (0, PI, 1)),
    case("lla-north-axis", LLA, (0, 0, 3), (HP, 0, 2)), case("lla-south-axis", LLA, (0, 0, -3), (-HP, 0, 2)),
    case("lla-next-to-axis", LLA, (1e-6, 0, 3), (HP - 1e-6 / 6, 0, 2)),  # polar radius of curvature 4
    case("lla-centre", LLA, (0, 0, 0), (NAN, 0, -1), 0), case("lla-A-is-1", LLA, (1.5, 0, 0), (NAN, 0, NAN), 0),
    case("pos-equator", POS, (0, 0, 1), (3, 0, 0)),
    # Re cos(beta) + alt cos(phi): zero up to the rounding of pi/2 and of beta within 1 ulp of it
    case("pos-pole", POS, (HP, 0, 2), (4 * math.cos(HP), 0, 3), 1e-15),
    case("ray-entering", RAY, (4, 0, 0, -1, 0, 0), (2, 0, 0)), case("ray-long-u", RAY, (4, 0, 0, -2, 0, 0), (2, 0, 0)),
    case("ray-behind", RAY, (4, 0, 0, 1, 0, 0), (2, 0, 0)), case("ray-tie-l2", RAY, (0, 0, 0, 1, 0, 0), (-2, 0, 0)),
    case("ray-tangent", RAY, (2, 0, 5, 0, 0, -1), (2, 0, 0)), case("ray-pole", RAY, (0, 0, 3, 0, 0, -1), (0, 0, 1)),
    case("ray-miss", RAY, (4, 0, 0, 0, 1, 0), (NAN,) * 3, 0),
    case("ray-zero-u", RAY, (4, 0, 0, 0, 0, 0), (NAN,) * 3, 0),
    case("aer-zenith", AER, (3, 0, 0, 0, 0, 0), (0, HP, 1)), case("aer-east", AER, (2, 1, 0, 0, 0, 0), (HP, 0, 1)),
    case("aer-west", AER, (2, -1, 0, 0, 0, 0), (-HP, 0, 1)), case("aer-north", AER, (2, 0, 1, 0, 0, 0), (0, 0, 1)),
    case("aer-at-observer", AER, (2, 0, 0, 0, 0, 0), (0, NAN, 0), 0),
    case("aer-observer-altitude", AER, (4, 0, 0, 0, 0, 1), (0, HP, 1)),
]


@pytest.mark.parametrize("slot, x, want, tol", CASES)
def test_routine_through_table(consumer, slot, x, want, tol):
    near(consumer.call(E, slot, x), want, tol)


@pytest.mark.parametrize("e", [E, W], ids=["Re2-f0.5", "WGS84"])
def test_latitude_conversions_match_mpmath_and_invert(consumer, e):
    phi = np.linspace(-1.5707, 1.5707, 41)
    beta = consumer.bare_reduced_lat_from_geodetic_lat(e, phi)
    near(beta, reduced_lat(phi, e.Re, e.f), 4e-16)
    near(consumer.bare_geodetic_lat_from_reduced_lat(e, beta), phi, 1e-12)
    assert np.array_equal(np.sign(beta), np.sign(phi))
    near(consumer.bare_reduced_lat_from_geodetic_lat(SPHERE, phi), phi, 4e-16)


@pytest.mark.parametrize("e", [E, W, SPHERE], ids=["Re2-f0.5", "WGS84", "sphere"])
def test_surface_frames_and_positions(consumer, e):
    rng = np.random.default_rng(7)
    lat, lon = rng.uniform(-1.56, 1.56, 200), rng.uniform(-PI, PI, 200)
    enu = consumer.bare_enu(e, lat, lon).reshape(-1, 3, 3)
    east, north, up = enu[:, 0], enu[:, 1], enu[:, 2]
    # orthonormal up to the few ulp of the vectorised sin and cos
    near(np.einsum("nij,nkj->nik", enu, enu), np.broadcast_to(np.eye(3), enu.shape), 4e-15)
    near(np.cross(east, north), up, 1e-15)
    near(north, np.stack([-np.sin(lat) * np.cos(lon), -np.sin(lat) * np.sin(lon), np.cos(lat)], -1), 1e-15)
    r = consumer.bare_surf_pos_from_surf_coord(e, lat, lon)
    near(r / e.Re, surface_point(e, lat, lon) / e.Re, 1e-15)
    gradient = r * [1, 1, 1 / (1 - e.f) ** 2]
    near(up, gradient / np.linalg.norm(gradient, axis=1, keepdims=True), 1e-15)
    near(consumer.bare_surf_coord_from_surf_pos(e, r), np.stack([lat, lon], -1), 1e-12)
    # the frame is exactly what the normal and tangent slots give
    frame = np.hstack([consumer.bare(e, TANGENTS, 0, lat, lon), consumer.bare(e, NORMAL, 0, lat, lon)])
    assert enu.tobytes() == frame.tobytes()
    if e is SPHERE:
        near(r, e.Re * up, 1e-15)


def test_round_trip_wgs84(consumer):
    rng = np.random.default_rng(3)
    lat, lon = rng.uniform(-1.57, 1.57, 400), rng.uniform(-PI, PI, 400)
    alt = rng.choice([-1e5, -10.0, 0.0, 1e3, 4e7], 400)
    r = consumer.bare_pos_from_lla(W, lat, lon, alt)
    normal = np.stack([np.cos(lat) * np.cos(lon), np.cos(lat) * np.sin(lon), np.sin(lat)], -1)
    near(r / W.Re, (surface_point(W, lat, lon) + alt[:, None] * normal) / W.Re, 1e-15)
    lla = consumer.bare_lla_from_pos(W, r)
    near(lla[:, 0], lat, 1e-12)
    near(lla[:, 1], lon, 1e-15)
    np.testing.assert_allclose(lla[:, 2], alt, rtol=1e-14, atol=1e-6)


def test_newton_cycle_deep_inside_ends_at_a_root_in_the_quadrant(consumer):
    r = (40798.83958831092, 9341.932787049693, 256.4438281130133)
    (beta,) = consumer.call(W, SOLVE, r)
    assert 0.0 <= beta <= HP
    e2 = W.f * (2 - W.f)
    a, b = math.hypot(r[0], r[1]) / (W.Re * e2), (1 - W.f) * r[2] / (W.Re * e2)
    with mpmath.workdps(30):  # g(beta) = sin b cos b - A sin b + B cos b
        assert abs(mpmath.sin(beta) * mpmath.cos(beta) - a * mpmath.sin(beta) + b * mpmath.cos(beta)) < 1e-12
    lla = consumer.call(W, LLA, r)
    np.testing.assert_allclose(consumer.call(W, POS, lla), r, rtol=0, atol=1e-6)  # r is on the foot point's normal


@pytest.mark.parametrize("r", [(3, 0, 0), (1, 1, 1), (0.3, -0.2, 5), (1e-3, 0, -7), (-4, 1e-9, 2), (0, 0, -1e-3)])
def test_sphere_gives_geocentric_coordinates(consumer, r):
    lat, norm = math.atan2(r[2], math.hypot(r[0], r[1])), math.sqrt(sum(c * c for c in r))
    near(consumer.call(SPHERE, SOLVE, r), (lat,), 1e-15)
    near(consumer.call(SPHERE, LLA, r), (lat, math.atan2(r[1], r[0]), norm - 2.0), 1e-15)


P, L, H = 0.6, -1.1, 1234.5  # a WGS84 point of reference
SAMPLE = {REDUCED: (P,), GEODETIC: (P,), NORMAL: (P, L), TANGENTS: (P, L), ENU: (P, L), SURF_POS: (P, L),
          SURF_COORD: tuple(surface_point(W, P, L)), SOLVE: (3e6, -4e6, 3.9e6), LLA: (3e6, -4e6, 3.9e6),
          POS: (P, L, H), RAY: (2e7, 1e6, -1e6, -1.0, -0.05, 0.05), AER: (3e6, -4e6, 3.9e6, P, L, H)}


def aer(d, enu):
    east, north, up = (np.dot(d, v) for v in np.reshape(enu, (3, 3)))
    rng = np.linalg.norm(d)
    return math.atan2(east, north), math.asin(up / rng), rng


def perturbed(consumer):
    """Composite results, from the plain slots, when one slot's result is perturbed."""
    p = lambda slot, x: np.array(consumer.call(W, slot, x))
    t, obs = np.array(SAMPLE[AER][:3]), (P, L, H)
    return {
        (ENU, NORMAL): np.r_[p(TANGENTS, (P, L)), 2 * p(NORMAL, (P, L))],
        (ENU, TANGENTS): np.r_[2 * p(TANGENTS, (P, L)), p(NORMAL, (P, L))],
        (POS, NORMAL): p(SURF_POS, (P, L)) + 2 * H * p(NORMAL, (P, L)),
        (POS, SURF_POS): 2 * p(SURF_POS, (P, L)) + H * p(NORMAL, (P, L)),
        (LLA, SOLVE): [geodetic_lat(p(SOLVE, SAMPLE[LLA])[0] + 0.125, W.Re, W.f), p(LLA, SAMPLE[LLA])[1]],
        (AER, POS): aer(t - 2 * p(POS, obs), p(ENU, (P, L))),
        (AER, ENU): aer(t - p(POS, obs), 2 * p(ENU, (P, L))),
    }


@pytest.mark.parametrize("slot, replaced", [(ENU, NORMAL), (ENU, TANGENTS), (POS, NORMAL), (POS, SURF_POS),
                                             (LLA, SOLVE), (AER, POS), (AER, ENU)])
def test_composite_routines_dispatch_through_the_table(consumer, slot, replaced):
    out, calls, exc = consumer.derived(W, slot, replaced, 1, SAMPLE[slot])
    want = perturbed(consumer)[slot, replaced]
    assert exc is None and calls >= 1
    near(out[:len(want)], want, 1e-12)


@pytest.mark.parametrize("slot, replaced, mode, calls", [
    *[param(s, r, 1, 0, id=f"{s}-never-calls-{r}") for s in SLOTS[2:] for r in (REDUCED, GEODETIC)],
    *[param(s, r, 0, n, id=f"{s}-calls-{r}-{n}x") for s, r, n in [
        (ENU, NORMAL, 1), (ENU, TANGENTS, 1), (POS, NORMAL, 1), (POS, SURF_POS, 1), (LLA, SOLVE, 1), (LLA, NORMAL, 0),
        (AER, POS, 1), (AER, ENU, 1), (AER, NORMAL, 2), (AER, TANGENTS, 1), (AER, SURF_POS, 1),
        (REDUCED, REDUCED, 1), (GEODETIC, GEODETIC, 1)]],
])
def test_table_use_of_composite_routines(consumer, slot, replaced, mode, calls):
    """Replaced slots are reached through the table as often as the routine needs them;
    the latitude slots never are, even when their replacement would change the result."""
    out, n, exc = consumer.derived(W, slot, replaced, mode, SAMPLE[slot])
    assert (n, exc) == (calls, None)
    assert np.array(out).tobytes() == np.array(consumer.call(W, slot, SAMPLE[slot])).tobytes()


@pytest.mark.parametrize("slot, replaced, written", [
    param(POS, SURF_POS, [0, 0, 0], id="pos-stops-after-surface"),
    param(POS, NORMAL, [0, 0, 0], id="pos-stops-after-normal"),
    param(ENU, TANGENTS, [0] * 6 + [1] * 3, id="enu-keeps-up"), param(LLA, SOLVE, [0, 1, 0], id="lla-keeps-lon"),
    param(AER, POS, [0, 0, 0], id="aer-stops-after-pos"), param(AER, ENU, [0, 0, 0], id="aer-stops-after-enu"),
])
def test_exception_from_replaced_slot_stops_composite(consumer, slot, replaced, written):
    out, calls, exc = consumer.derived(W, slot, replaced, 2, SAMPLE[slot])
    assert isinstance(exc, RuntimeError) and calls == 1
    mask = np.array(written, bool)
    plain = np.array(consumer.call(W, slot, SAMPLE[slot]))
    assert np.array_equal(np.array(out)[mask], plain[mask])
    assert np.all(np.array(out)[~mask] == consumer.SENTINEL)


@pytest.mark.parametrize("slot", [ENU, LLA, POS, AER])
def test_thread_without_gil_ignores_another_threads_pending_exception(consumer, slot):
    out, finished = consumer.call(W, slot, SAMPLE[slot], True)
    assert finished
    assert out == consumer.call(W, slot, SAMPLE[slot])


def columns(slot, n=500):
    rng = np.random.default_rng(SLOTS.index(slot) + 1)  # the seeds of slots numbered from 1
    lat, lon = rng.uniform(-1.56, 1.56, n), rng.uniform(-PI, PI, n)
    r = rng.normal(size=(n, 3)) * rng.uniform(1e3, 4e7, (n, 1))
    return {REDUCED: (lat,), GEODETIC: (lat,), NORMAL: (lat, lon), TANGENTS: (lat, lon), ENU: (lat, lon),
            SURF_POS: (lat, lon), SURF_COORD: (surface_point(W, lat, lon),), SOLVE: (r,), LLA: (r,),
            POS: (lat, lon, rng.uniform(-1e5, 4e7, n)), RAY: (np.broadcast_to([2.5e7, 1e6, -3e6], (n, 3)), -r),
            AER: (r, P, L, H)}[slot]


@pytest.mark.parametrize("slot", SLOTS)
def test_threads_match_single_thread_bitwise(consumer, slot):
    args = columns(slot)
    single = consumer.bare(W, slot, 0, *args)
    assert all(res.tobytes() == single.tobytes() for res in consumer.bare(W, slot, 4, *args))
    for i in (0, 1, 250):  # the bare loop row by row equals single calls
        x = np.concatenate([np.ravel(a if np.ndim(a) == 0 else a[i]) for a in args])
        assert np.atleast_1d(single[i]).tobytes() == np.array(consumer.call(W, slot, tuple(x))).tobytes()


SIGNATURES = {"scale": b"void (double const , double *, double *)", "add": b"void (double *, double *, double *)",
              "sub": b"void (double *, double *, double *)", "dot": b"double (double *, double *)",
              "norm": b"double (double *)"}


def test_vector_capsules_are_named_by_signature(consumer):
    assert set(vectools.__pyx_capi__) == set(SIGNATURES) and consumer.layout()[1] == SIGNATURES
    for name, sig in SIGNATURES.items():
        assert capi.PyCapsule_GetName(vectools.__pyx_capi__[name]) == sig


def test_vector_routines():
    vec, ptr, dbl = lambda *x: (ctypes.c_double * 3)(*x), ctypes.POINTER(ctypes.c_double), ctypes.c_double
    fn = lambda name, *types: ctypes.CFUNCTYPE(*types)(
        capi.PyCapsule_GetPointer(vectools.__pyx_capi__[name], SIGNATURES[name]))
    a, b, out = vec(1.5, -2.0, 7.0), vec(0.25, 4.0, -1.0), vec(9.0, 9.0, 9.0)
    for name, want in [("sub", [1.25, -6.0, 8.0]), ("add", [1.75, 2.0, 6.0])]:
        fn(name, None, ptr, ptr, ptr)(a, b, out)
        assert list(out) == want
    fn("scale", None, dbl, ptr, ptr)(2.5, a, out)
    assert list(out) == [3.75, -5.0, 17.5]
    assert fn("dot", dbl, ptr, ptr)(a, b) == -14.625 and fn("norm", dbl, ptr)(vec(3.0, 4.0, 12.0)) == 13.0
    assert (list(a), list(b)) == ([1.5, -2.0, 7.0], [0.25, 4.0, -1.0])  # inputs are never written


def test_method_table_capsule_is_unnamed_and_shared(consumer):
    capsule = Ellipsoid.__dict__["__pyx_vtable__"]
    assert type(capsule).__name__ == "PyCapsule" and capi.PyCapsule_GetName(capsule) is None
    table = capi.PyCapsule_GetPointer(capsule, None)
    sub = type("Sub", (Ellipsoid,), {})(1.0, 0.1)
    for e in (E, W, sub):
        assert consumer.table_info(e) == (Ellipsoid, table, table)


def test_records_match_dtypes(consumer):
    dtypes = {"SurfCoord": dm.SurfCoord_dtype, "LLA": dm.LLA_dtype, "ENU_Frame": dm.ENU_dtype, "AER": dm.AER_dtype}
    for record, (size, fields) in consumer.layout()[0].items():
        dt = dtypes[record]
        assert dt.itemsize == size
        assert [(dt.fields[n][1], dt.fields[n][0].shape or (1,), dt.fields[n][0].base) for n in dt.names] == [
            (offset, (count,), np.dtype("=f8")) for _, offset, count in fields]


def test_public_headers_compile_without_warnings(consumer):
    assert "warning" not in consumer.build_log
