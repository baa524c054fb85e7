"""How far the two kernel sets (AVX2 with libmvec, and plain libm) differ, by domain.

    python benchmarks/kernel_sets.py [--n N] [--markdown]

The same N random points per domain are converted in two fresh interpreters, one
with the kernel set chosen for this CPU and one with QUORVANE_KERNELS=plain, and the
results compared: the largest difference of each method's angles (radians) and of its
lengths relative to the distance from the centre. The elementary functions of the two
sets differ by a few units in the last place; where the Newton iteration of the
geodetic conversion then takes another number of steps, or an arcsine is taken close
to 1 (the elevation of a target nearly straight above or below), the differences grow
far beyond that. Needs a CPU with AVX2 and FMA for the sets to differ.
"""

import argparse
import os
import subprocess
import sys
import tempfile

import numpy as np

from quorvane.mathtools.ellipsoid.ellipsoid import Ellipsoid

WGS84 = (6378137.0, 1 / 298.257223563)


def domains(n, seed=5):
    """name -> (Re, f, lat, lon, alt) of n random geodetic points."""
    rng = np.random.default_rng(seed)

    def points(Re, f, alt_lo, alt_hi):
        return (Re, f, np.arcsin(rng.uniform(-1, 1, n)), rng.uniform(-np.pi, np.pi, n),
                rng.uniform(alt_lo, alt_hi, n))

    Re, f = WGS84
    return {
        "WGS84, within 100 km of the surface": points(Re, f, -1e5, 1e5),
        "WGS84, 100 km .. geostationary": points(Re, f, 1e5, 35786e3),
        "WGS84, -5000 km .. -100 km": points(Re, f, -5e6, -1e5),
        "WGS84, within 1000 km of the centre": points(Re, f, -6.36e6, -5.36e6),
        "WGS84, within 30 km of the centre": points(Re, f, -6.37e6, -6.34e6),
        **{f"f = {g}, near the surface": points(Re, g, -0.01 * (1 - g) * Re, 0.01 * Re)
           for g in (0.1, 0.3, 0.6, 0.9, 0.99)},
    }


def outputs(Re, f, lat, lon, alt):
    """Every method on the points: name -> (angles, lengths) arrays."""
    e = Ellipsoid(Re, f)
    r = e.pos_from_lla(lat, lon, alt)
    surface = e.surf_pos_from_surf_coord(lat, lon)
    lla = e.lla_from_pos(r)
    # targets 1 m to 100 km from an observer on the surface, in every direction,
    # straight up and down among them
    observer = (lat[0], lon[0], 0.0)
    origin = e.pos_from_lla(*observer)
    offsets = np.random.default_rng(6).normal(size=r.shape)
    offsets[:20] = e.enu(lat[0], lon[0])["u_up"][0] * np.where(np.arange(20) % 2, 1.0, -1.0)[:, None]
    offsets *= (10 ** np.random.default_rng(7).uniform(0, 5, len(r)) / np.linalg.norm(offsets, axis=1))[:, None]
    aer = e.aer_coords(origin + offsets, *observer)
    frames = e.enu(lat, lon)
    return {
        "lla_from_pos": (np.stack([lla["lat"], lla["lon"]]), lla["alt"]),
        "pos_from_lla": (None, r),
        "solve_reduced_lat_equation": (e.solve_reduced_lat_equation(r), None),
        "surf_coord_from_surf_pos": (e.surf_coord_from_surf_pos(surface).view(np.float64), None),
        "surf_pos_from_surf_coord": (None, surface),
        "reduced_lat_from_geodetic_lat": (e.reduced_lat_from_geodetic_lat(lat), None),
        "geodetic_lat_from_reduced_lat": (e.geodetic_lat_from_reduced_lat(lat), None),
        "enu": (np.stack([frames[k] for k in ("u_east", "u_north", "u_up")]), None),
        "surf_pos_of_ray_first_intersection": (None, e.surf_pos_of_ray_first_intersection(
            np.array([4.2e7, 0.0, 0.0]), surface - np.array([4.2e7, 0.0, 0.0]))),
        # the azimuth of a target straight above or below is any angle
        "aer_coords azimuth": (aer["azimuth"][20:], None),
        "aer_coords elevation": (aer["elevation"], None),
        "aer_coords elevation within 80 degrees": (np.where(np.abs(aer["elevation"]) < np.radians(80),
                                                            aer["elevation"], np.nan), None),
        "aer_coords range": (None, aer["range"]),
    }


def child(n, path):
    arrays = {}
    for name, points in domains(n).items():
        for method, (angles, lengths) in outputs(*points).items():
            if angles is not None:
                arrays[f"{name}|{method}|angles"] = angles
            if lengths is not None:
                arrays[f"{name}|{method}|lengths"] = lengths
    np.savez(path, **arrays)


def difference(a, b, kind, scale):
    """The largest difference, NaN where both are NaN counting as equal; lengths
    relative to `scale`."""
    both_nan = np.isnan(a) & np.isnan(b)
    d = np.where(both_nan, 0.0, np.abs(a - b))
    if kind == "lengths":
        d = d / np.broadcast_to(scale, d.shape)
    return float(np.nanmax(d)) if d.size else 0.0


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--n", type=int, default=20000)
    parser.add_argument("--markdown", action="store_true")
    parser.add_argument("--child", help=argparse.SUPPRESS)
    options = parser.parse_args()
    if options.child:
        child(options.n, options.child)
        return
    with tempfile.TemporaryDirectory() as folder:
        results = {}
        for label, kernels in (("default", None), ("plain", "plain")):
            env = {k: v for k, v in os.environ.items() if k != "QUORVANE_KERNELS"}
            if kernels:
                env["QUORVANE_KERNELS"] = kernels
            path = os.path.join(folder, f"{label}.npz")
            subprocess.run([sys.executable, __file__, "--n", str(options.n), "--child", path], env=env, check=True)
            results[label] = np.load(path)
        import quorvane.mathtools.ellipsoid.ufuncs as U
        print(f"{options.n} points per domain; kernel set here: {U.kernel_set} against plain")
        rows = {}
        for key in results["default"].files:
            name, method, kind = key.split("|")
            Re, f, lat, lon, alt = domains(options.n)[name]
            scale = np.linalg.norm(Ellipsoid(Re, f).pos_from_lla(lat, lon, alt), axis=1)
            if method == "aer_coords range":
                scale = results["default"][key]
            a, b = results["default"][key], results["plain"][key]
            if kind == "lengths" and a.ndim == 2 and method != "aer_coords range":
                scale = scale[:, None]
            rows.setdefault(name, {})[f"{method} ({'rad' if kind == 'angles' else 'relative'})"] = \
                difference(a, b, kind, scale)
        for name, row in rows.items():
            print(name)
            for what, d in row.items():
                print(f"  {what:52s} {d:.2g}")
        if options.markdown:
            print("\n| domain | latitude (lla_from_pos) | altitude, relative | elevation (aer_coords) "
                  "| elevation below 80 degrees | largest other angle | largest other length, relative |")
            print("|---|---:|---:|---:|---:|---:|---:|")
            for name, row in rows.items():
                shown = ("lla_from_pos", "aer_coords elevation")
                others = [d for w, d in row.items() if w.endswith("(rad)") and not w.startswith(shown)]
                lengths = [d for w, d in row.items() if w.endswith("(relative)") and not w.startswith(shown)]
                print(f"| {name} | {row['lla_from_pos (rad)']:.2g} rad | {row['lla_from_pos (relative)']:.2g} | "
                      f"{row['aer_coords elevation (rad)']:.2g} rad | "
                      f"{row['aer_coords elevation within 80 degrees (rad)']:.2g} rad | "
                      f"{max(others):.2g} rad | {max(lengths):.2g} |")


if __name__ == "__main__":
    main()
