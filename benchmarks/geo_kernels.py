"""Time per point of the local-frame, latitude and radius ufuncs, against pymap3d's
vectorised functions (and pyproj's transformers where PROJ has the same conversion),
in one run on one machine.

Usage: python benchmarks/geo_kernels.py [--n N] [--repeat R] [--quick]

For N points (default 10^6) of WGS84 coordinates within 5000 km of the surface it
times each ufunc on float64 and float32 arrays with one observer for all points (a
scalar, the usual call) and, for the conversions with an observer, with an observer
per point; then pymap3d (deg=False) and pyproj on float64 with the one observer. Each
figure is the best of R calls (default 5), in ns per point; the ratios are
peer / ufunc on float64. The existing aer_coords, lla_from_pos and pos_from_lla ufuncs
are timed alongside for scale.
"""
import argparse
import platform

import numpy as np

from quorvane.mathtools.ellipsoid import ufuncs as U
from shared import best_seconds, lscpu

WGS84 = U.WGS84
OBSERVER = (np.radians(51.4769), np.radians(-0.0005), 45.0)


def cpu_name():
    fields = lscpu()
    if not fields:
        return platform.processor() or "unknown CPU"
    return f"{fields.get('Model name', '?')}, {fields.get('CPU(s)', '?')} CPUs"


def inputs(n, rng):
    lat = np.arcsin(rng.uniform(-1, 1, n))
    lon = rng.uniform(-np.pi, np.pi, n)
    alt = rng.uniform(-1e4, 5e6, n)
    x, y, z = U.pos_from_lla(lat, lon, alt, *WGS84)
    enu = U.enu_from_pos(x, y, z, *OBSERVER, *WGS84)
    aer = U.aer_from_enu(*enu)
    ned = (enu[1], enu[0], -enu[2])
    tilt = rng.uniform(0, 1, n) * np.arcsin(6356752.0 / (WGS84[0] + 45.0))
    vec = rng.uniform(-8000, 8000, (3, n))
    geocentric = U.spherical_from_lla(lat, lon, alt, *WGS84)
    observers = (np.arcsin(rng.uniform(-1, 1, n)), rng.uniform(-np.pi, np.pi, n), rng.uniform(-1e4, 5e6, n))
    return dict(lla=(lat, lon, alt), pos=(x, y, z), enu=enu, ned=ned, aer=aer, tilt=tilt, vec=vec,
                sph=geocentric, observers=observers)


def cases(d):
    """name -> (point arguments, takes an observer, takes the ellipsoid)."""
    lat = d["lla"][0]
    lookat = (d["aer"][0], d["tilt"])
    c = {
        "enu_from_pos": (d["pos"], True), "pos_from_enu": (d["enu"], True),
        "ned_from_pos": (d["pos"], True), "pos_from_ned": (d["ned"], True),
        "enu_from_lla": (d["lla"], True), "lla_from_enu": (d["enu"], True),
        "ned_from_lla": (d["lla"], True), "lla_from_ned": (d["ned"], True),
        "aer_from_lla": (d["lla"], True), "lla_from_aer": (d["aer"], True),
        "pos_from_aer": (d["aer"], True), "aer_from_pos": (d["pos"], True),
        "aer_from_enu": (d["enu"], None), "enu_from_aer": (d["aer"], None),
        "aer_from_ned": (d["ned"], None), "ned_from_aer": (d["aer"], None),
        "enu_from_ecef_vector": ((*d["vec"],), "rotation"), "ecef_vector_from_enu": ((*d["vec"],), "rotation"),
        "ned_from_ecef_vector": ((*d["vec"],), "rotation"), "ecef_vector_from_ned": ((*d["vec"],), "rotation"),
        "look_at_spheroid": (lookat, "look"),
        "geocentric_lat_from_geodetic_lat": ((lat, d["lla"][2]), False),
        "geodetic_lat_from_geocentric_lat": ((d["sph"][0], d["lla"][2]), False),
        "spherical_from_lla": (d["lla"], False), "lla_from_spherical": (d["sph"], False),
    }
    for kind in ("isometric", "rectifying", "authalic", "conformal"):
        c[f"{kind}_lat_from_geodetic_lat"] = ((lat,), False)
        c[f"geodetic_lat_from_{kind}_lat"] = ((getattr(U, f"{kind}_lat_from_geodetic_lat")(lat, *WGS84),), False)
    for kind in ("meridian", "transverse", "parallel", "geocentric"):
        c[f"{kind}_radius"] = ((lat,), False)
    c["aer_coords (existing)"] = (d["pos"], True)
    c["lla_from_pos (existing)"] = (d["pos"], False)
    c["pos_from_lla (existing)"] = (d["lla"], False)
    return c


def ufunc_call(name, points, observer, observers, dtype):
    ufunc = getattr(U, name.split(" ")[0])
    pts = tuple(np.asarray(p, dtype) for p in points)
    if observer is None:
        return lambda: ufunc(*pts)
    if observer == "rotation":
        obs = tuple(np.asarray(o, dtype) for o in observers[:2])
        return lambda: ufunc(*pts, *obs)
    if observer == "look":
        obs = tuple(np.asarray(o, dtype) for o in observers)
        return lambda: ufunc(*obs, *pts, *WGS84)
    if observer:
        obs = tuple(np.asarray(o, dtype) for o in observers)
        return lambda: ufunc(*pts, *obs, *WGS84)
    return lambda: ufunc(*pts, *WGS84)


def pymap3d_calls(d):
    import pymap3d as pm
    from pymap3d import latitude as pl
    from pymap3d import rcurve
    from pymap3d.los import lookAtSpheroid

    ell = pm.Ellipsoid.from_name("wgs84")
    o = OBSERVER
    lat = d["lla"][0]
    sph = d["sph"]
    kw = dict(ell=ell, deg=False)
    calls = {
        "enu_from_pos": lambda: pm.ecef2enu(*d["pos"], *o, **kw), "pos_from_enu": lambda: pm.enu2ecef(*d["enu"], *o, **kw),
        "ned_from_pos": lambda: pm.ecef2ned(*d["pos"], *o, **kw), "pos_from_ned": lambda: pm.ned2ecef(*d["ned"], *o, **kw),
        "enu_from_lla": lambda: pm.geodetic2enu(*d["lla"], *o, **kw),
        "lla_from_enu": lambda: pm.enu2geodetic(*d["enu"], *o, **kw),
        "ned_from_lla": lambda: pm.geodetic2ned(*d["lla"], *o, **kw),
        "lla_from_ned": lambda: pm.ned2geodetic(*d["ned"], *o, **kw),
        "aer_from_lla": lambda: pm.geodetic2aer(*d["lla"], *o, **kw),
        "lla_from_aer": lambda: pm.aer2geodetic(*d["aer"], *o, **kw),
        "pos_from_aer": lambda: pm.aer2ecef(*d["aer"], *o, **kw), "aer_from_pos": lambda: pm.ecef2aer(*d["pos"], *o, **kw),
        "aer_from_enu": lambda: pm.enu2aer(*d["enu"], deg=False), "enu_from_aer": lambda: pm.aer2enu(*d["aer"], deg=False),
        "aer_from_ned": lambda: pm.ned2aer(*d["ned"], deg=False), "ned_from_aer": lambda: pm.aer2ned(*d["aer"], deg=False),
        "enu_from_ecef_vector": lambda: pm.ecef2enuv(*d["vec"], o[0], o[1], deg=False),
        "ecef_vector_from_enu": lambda: pm.enu2ecefv(*d["vec"], o[0], o[1], deg=False),
        "ned_from_ecef_vector": lambda: pm.ecef2nedv(*d["vec"], o[0], o[1], deg=False),
        "look_at_spheroid": lambda: lookAtSpheroid(*o, d["aer"][0], d["tilt"], **kw),
        "geocentric_lat_from_geodetic_lat": lambda: pl.geodetic2geocentric(lat, d["lla"][2], **kw),
        "geodetic_lat_from_geocentric_lat": lambda: pl.geocentric2geodetic(sph[0], d["lla"][2], **kw),
        "spherical_from_lla": lambda: pm.geodetic2spherical(*d["lla"], **kw),
        "lla_from_spherical": lambda: pm.spherical2geodetic(*sph, **kw),
        "meridian_radius": lambda: rcurve.meridian(lat, **kw), "transverse_radius": lambda: rcurve.transverse(lat, **kw),
        "parallel_radius": lambda: rcurve.parallel(lat, **kw),
        "geocentric_radius": lambda: rcurve.geocentric_radius(lat, **kw),
        "aer_coords (existing)": lambda: pm.ecef2aer(*d["pos"], *o, **kw),
        "lla_from_pos (existing)": lambda: pm.ecef2geodetic(*d["pos"], **kw),
        "pos_from_lla (existing)": lambda: pm.geodetic2ecef(*d["lla"], **kw),
    }
    for kind in ("isometric", "rectifying", "authalic", "conformal"):
        forward = getattr(U, f"{kind}_lat_from_geodetic_lat")(lat, *WGS84)
        calls[f"{kind}_lat_from_geodetic_lat"] = (lambda k=kind: getattr(pl, f"geodetic2{k}")(lat, **kw))
        calls[f"geodetic_lat_from_{kind}_lat"] = (lambda k=kind, v=forward: getattr(pl, f"{k}2geodetic")(v, **kw))
    return calls


def pyproj_calls(d):
    from pyproj import Transformer

    lat0, lon0, h0 = np.degrees(OBSERVER[0]), np.degrees(OBSERVER[1]), OBSERVER[2]
    topo = f"+proj=topocentric +ellps=WGS84 +lat_0={lat0!r} +lon_0={lon0!r} +h_0={h0!r}"
    ecef_topo = Transformer.from_pipeline(topo)
    geod_topo = Transformer.from_pipeline(f"+proj=pipeline +step +proj=cart +ellps=WGS84 +step {topo}")
    cart = Transformer.from_pipeline("+proj=cart +ellps=WGS84")
    lat, lon, alt = d["lla"]
    return {
        "enu_from_pos": lambda: ecef_topo.transform(*d["pos"]),
        "pos_from_enu": lambda: ecef_topo.transform(*d["enu"], direction="INVERSE"),
        "enu_from_lla": lambda: geod_topo.transform(lon, lat, alt, radians=True),
        "lla_from_enu": lambda: geod_topo.transform(*d["enu"], radians=True, direction="INVERSE"),
        "lla_from_pos (existing)": lambda: cart.transform(*d["pos"], radians=True, direction="INVERSE"),
        "pos_from_lla (existing)": lambda: cart.transform(lon, lat, alt, radians=True),
    }


def main():
    ap = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    ap.add_argument("--n", type=int, default=1_000_000)
    ap.add_argument("--repeat", type=int, default=5)
    ap.add_argument("--quick", action="store_true", help="10 000 points, one call each")
    args = ap.parse_args()
    n, repeat = (10_000, 1) if args.quick else (args.n, args.repeat)
    d = inputs(n, np.random.default_rng(1))
    one = tuple(np.float64(v) for v in OBSERVER)
    try:
        peers = {"pymap3d": pymap3d_calls(d)}
    except ImportError:
        peers = {}
    try:
        peers["pyproj"] = pyproj_calls(d)
    except ImportError:
        pass
    print(f"{cpu_name()}; kernel set {U.kernel_set}; {n} points, best of {repeat}; ns per point")
    head = f"{'ufunc':34s} {'f64':>7s} {'f32':>7s} {'f64 obs/pt':>10s}"
    for peer in peers:
        head += f" {peer:>9s} {'ratio':>6s}"
    print(head)
    for name, (points, observer) in cases(d).items():
        per_point = lambda seconds: seconds / n * 1e9  # noqa: E731
        f64 = per_point(best_seconds(ufunc_call(name, points, observer, one, np.float64), repeat))
        f32 = per_point(best_seconds(ufunc_call(name, points, observer, one, np.float32), repeat))
        line = f"{name:34s} {f64:7.1f} {f32:7.1f}"
        if observer in (True, "rotation", "look"):
            line += f" {per_point(best_seconds(ufunc_call(name, points, observer, d['observers'], np.float64), repeat)):10.1f}"
        else:
            line += f" {'':>10s}"
        for calls in peers.values():
            if name in calls:
                peer = per_point(best_seconds(calls[name], repeat))
                line += f" {peer:9.1f} {peer / f64:6.1f}"
            else:
                line += f" {'':>9s} {'':>6s}"
        print(line, flush=True)


if __name__ == "__main__":
    main()
