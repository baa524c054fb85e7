"""The two figures of docs/index.md, from fresh measurements.

    python docs/figures.py [--bench-json FILE] [--quick] [--points N] [--only accuracy|benchmark]

accuracy.png: errors of Ellipsoid.lla_from_pos on WGS84 against the 200-bit
mpmath reference of benchmarks/accuracy_report.py, against height and
latitude, with the points next to the polar axis in insets.

benchmark.png: time per point of each method and of the peer libraries on the
same conversion, read from the JSON of benchmarks/run.py. Without
--bench-json the benchmark is run here (full sizes, a few minutes; --quick for
a check in seconds) and its JSON is kept as docs/img/benchmark.json.

Both print the numbers quoted in docs/index.md (a Markdown table for the speed).
Needs the docs extra: pip install ".[docs,test,bench]".
"""

import argparse
import importlib.util
import json
import sys
from pathlib import Path

import numpy as np

ROOT = Path(__file__).resolve().parents[1]
IMG = ROOT / "docs" / "img"


def benchmark_module(name):
    """benchmarks/<name>.py as the module `name`, the name the benchmarks import
    each other by, without putting their folder on sys.path."""
    if name not in sys.modules:
        location = importlib.util.spec_from_file_location(name, ROOT / "benchmarks" / f"{name}.py")
        module = importlib.util.module_from_spec(location)
        sys.modules[name] = module
        location.loader.exec_module(module)
    return sys.modules[name]


benchmark_module("shared")
accuracy_report = benchmark_module("accuracy_report")

ALT_BOUND_NM = 10.0
LAT_BOUND_RAD = 1e-13
DOMAIN_M = 5e6
DPI = 110
COLOURS = {"quorvane": "#1f4e79", "pymap3d": "#e08a1e", "pyproj": "#4a9d5b", "pyerfa": "#b0413e"}


def save_png(fig, path):
    """Write the figure as a palette PNG: a third of the size of full colour,
    with no visible difference for flat colours and translucent dots."""
    import io

    import matplotlib.pyplot as plt
    from PIL import Image

    buf = io.BytesIO()
    fig.savefig(buf, dpi=DPI, format="png")
    plt.close(fig)
    Image.open(buf).convert("RGB").quantize(colors=128).save(path, optimize=True)


def accuracy_data(n=4000, seed=3):
    """Errors of lla_from_pos at n random points within DOMAIN_M of the surface
    and at the points next to the polar axis of the accuracy report.

    Latitudes are uniform in angle (not area) so that the poles are sampled as
    densely as the equator, 40 of them within 1e-6..1e-15 rad of a pole; a
    tenth of the heights is uniform within 1 km of the surface, the rest
    log-uniform in magnitude from 1 km to DOMAIN_M, above or below.
    """
    rng = np.random.default_rng(seed)
    lat = rng.uniform(-np.pi / 2, np.pi / 2, n)
    k = min(n, 40)
    lat[:k] = np.sign(rng.uniform(-1, 1, k)) * (np.pi / 2 - 10.0 ** -rng.uniform(6, 15, k))
    lon = rng.uniform(-np.pi, np.pi, n)
    alt = np.where(rng.uniform(size=n) < 0.5, -1.0, 1.0) * 10 ** rng.uniform(3, np.log10(DOMAIN_M), n)
    near = rng.uniform(size=n) < 0.1
    alt[near] = rng.uniform(-1e3, 1e3, near.sum())
    r, ref, _ = accuracy_report.rounded_positions(lat, lon, alt)
    dlat, dalt = accuracy_report.lla_errors(r, ref)

    r_axis, ref_axis, where = accuracy_report.axis_band(rng)
    dlat_axis, dalt_axis = accuracy_report.lla_errors(r_axis, ref_axis)
    return {"lat": lat, "alt": alt, "dlat": dlat, "dalt": dalt,
            "axis_dist": np.array([w[0] for w in where]), "axis_dlat": dlat_axis, "axis_dalt": dalt_axis}


def accuracy_summary(d, out=sys.stdout):
    """Worst errors by height band, and how many points exceed the bounds."""
    bands = [("-5000 .. -4000 km", -5e6, -4e6), ("-4000 .. -100 km", -4e6, -1e5),
             ("-100 .. 5000 km", -1e5, DOMAIN_M + 1)]
    print(f"{len(d['alt'])} points within {DOMAIN_M / 1e3:.0f} km of the surface, "
          f"{len(d['axis_dist'])} next to the polar axis", file=out)
    for name, lo, hi in bands:
        m = (d["alt"] >= lo) & (d["alt"] < hi)
        print(f"  {name:18s} {m.sum():5d} points: worst |alt error| {np.abs(d['dalt'][m]).max() * 1e9:6.3f} nm,"
              f" worst |lat error| {np.abs(d['dlat'][m]).max():.2e} rad", file=out)
    print(f"  near the axis      {len(d['axis_dist']):5d} points: worst |alt error| "
          f"{np.abs(d['axis_dalt']).max() * 1e9:6.3f} nm, worst |lat error| {np.abs(d['axis_dlat']).max():.2e} rad",
          file=out)
    over_alt = np.abs(np.concatenate([d["dalt"], d["axis_dalt"]])) * 1e9 > ALT_BOUND_NM
    over_lat = np.abs(d["dlat"]) > LAT_BOUND_RAD
    heights = ", ".join(f"{a / 1e3:.0f}" for a in np.sort(d["alt"][over_lat]))
    print(f"  above the bounds: {over_alt.sum()} altitudes; {over_lat.sum()} latitudes"
          + (f", at heights (km) {heights}" if heights else ""), file=out)


def plot_accuracy(d, path):
    import matplotlib.pyplot as plt

    floor = {"alt": 1e-6, "lat": 1e-20}
    rows = [("alt", d["dalt"] * 1e9, d["axis_dalt"] * 1e9, ALT_BOUND_NM, "|altitude error| [nm]",
             f"{ALT_BOUND_NM:g} nm", (1e-4, 1e3)),
            ("lat", d["dlat"], d["axis_dlat"], LAT_BOUND_RAD, "|latitude error| [rad]", "1e-13 rad",
             (1e-19, 1e-11))]
    fig, axes = plt.subplots(2, 2, figsize=(11, 7.4), sharey="row")
    dot = dict(s=4, alpha=0.45, color=COLOURS["quorvane"], linewidths=0)
    for (key, err, err_axis, bound, ylabel, bound_label, inset_range), (ax_h, ax_lat) in zip(rows, axes):
        err = np.maximum(np.abs(err), floor[key])
        ax_h.scatter(d["alt"] / 1e3, err, **dot)
        ax_lat.scatter(np.degrees(d["lat"]), err, **dot)
        for ax in (ax_h, ax_lat):
            ax.set_yscale("log")
            ax.axhline(bound, color="#c0392b", lw=1.2, ls="--")
            ax.grid(True, which="major", lw=0.4, alpha=0.5)
        ax_h.text(-4.8e3, bound * 1.6, f"bound {bound_label}", color="#c0392b", fontsize=9)
        ax_h.set_ylabel(ylabel)
        ax_h.set_xscale("symlog", linthresh=1.0, linscale=0.6)
        ax_h.set_xlim(-DOMAIN_M / 1e3 * 1.15, DOMAIN_M / 1e3 * 1.15)
        ax_h.set_xticks([-5000, -1000, -100, -10, -1, 0, 1, 10, 100, 1000, 5000])
        ax_h.set_xticklabels(["-5000", "-1000", "-100", "-10", "-1", "0", "1", "10", "100", "1000", "5000"],
                             fontsize=8)
        ax_lat.set_xlim(-92, 92)
        ax_lat.set_xticks(np.arange(-90, 91, 30))
        # The upper part of each panel is left free for the inset, above every point.
        ax_h.set_ylim(floor[key] / 3, bound * 1e7)

        inset = ax_lat.inset_axes([0.22, 0.68, 0.56, 0.26])
        inset.scatter(d["axis_dist"], np.maximum(np.abs(err_axis), floor[key]), s=6, alpha=0.7,
                      color="#7d3c98", linewidths=0)
        inset.axhline(bound, color="#c0392b", lw=1.0, ls="--")
        inset.set_xscale("log")
        inset.set_yscale("log")
        inset.set_ylim(*inset_range)
        inset.set_xticks([1e-7, 1e-5, 1e-3, 1e-1, 1e1, 1e3])
        inset.tick_params(labelsize=7)
        inset.set_title("within 1 km of the polar axis", fontsize=8, pad=2)
        inset.set_xlabel("distance from the axis [m]", fontsize=7, labelpad=1)
        inset.set_facecolor("#fbfbfb")
    axes[0, 0].set_title("against height above the ellipsoid")
    axes[0, 1].set_title("against geodetic latitude (inset: next to the axis)")
    axes[1, 0].set_xlabel("height [km] (symmetric log scale, linear within 1 km)")
    axes[1, 1].set_xlabel("geodetic latitude [deg]")
    fig.suptitle(f"Ellipsoid.lla_from_pos on WGS84 against a 200-bit mpmath reference "
                 f"({len(d['alt'])} random points, {len(d['axis_dist'])} near the axis)", fontsize=11)
    fig.text(0.5, 0.005, f"errors below {floor['alt']:g} nm / {floor['lat']:g} rad are drawn at those values",
             ha="center", fontsize=8, color="#555555")
    fig.tight_layout(rect=(0, 0.015, 1, 1))
    save_png(fig, path)


def ns(t):
    """Nanoseconds to two or three significant digits."""
    return f"{t:.0f}" if t >= 10 else f"{t:.1f}"


def benchmark_rows(results):
    """The rows of run.py's JSON for one point and for the largest size, by method."""
    rows = results["rows"]
    sizes = sorted({r["n"] for r in rows})
    by = {n: {r["method"]: r for r in rows if r["n"] == n} for n in (sizes[0], sizes[-1])}
    return sizes[0], sizes[-1], by


def benchmark_table(results, out=sys.stdout):
    """Markdown table: our time per call on one point and per point on many,
    and each peer's per point on many with its ratio to ours."""
    one, many, by = benchmark_rows(results)
    print(f"| method | {one} point: ns/call | {many:,} points: ns/point | peers, {many:,} points: ns/point (peer/ours) |",
          file=out)
    print("|---|---:|---:|---|", file=out)
    for method, row in by[many].items():
        peers = ", ".join(f"{p} {ns(v['ns_per_point'])} ({v['peer_over_method']:.2g}x)"
                          for p, v in row["peers"].items())
        print(f"| `{method}` | {ns(by[one][method]['ns_per_point'])} | {ns(row['ns_per_point'])} | {peers or '-'} |",
              file=out)
    mem = results["memory"]
    print(f"\nlla_from_pos on {mem['points']:,} points: peak traced memory {mem['peak_over_result']:.3f} x the result "
          f"({mem['result_bytes'] / 2**20:.0f} MiB)", file=out)


def plot_benchmark(results, path):
    import matplotlib.pyplot as plt
    from matplotlib.patches import Patch

    one, many, by = benchmark_rows(results)
    methods = list(by[many])[::-1]
    fig, axes = plt.subplots(1, 2, figsize=(12, 6.6), sharey=True)
    for ax, n, unit in ((axes[0], one, "ns per call"), (axes[1], many, "ns per point")):
        for i, method in enumerate(methods):
            row = by[n][method]
            bars = [("quorvane", "", row["ns_per_point"])]
            bars += [(p.split()[0], " ".join(p.split()[1:]), v["ns_per_point"]) for p, v in row["peers"].items()]
            height = 0.8 / len(bars)
            for j, (lib, note, t) in enumerate(bars):
                y = i + 0.4 - height * (j + 0.5)
                ax.barh(y, t, height=height * 0.92, color=COLOURS[lib])
                ax.text(t * 1.08, y, f"{ns(t)} {note}".strip(), va="center", fontsize=7)
        ax.set_xscale("log")
        ax.set_xlim(1, None)
        ax.set_xlim(right=ax.get_xlim()[1] * 12)
        ax.set_xlabel(unit + " (log scale)")
        ax.set_title(f"N = {n:,} point{'s' if n > 1 else ''}")
        ax.grid(True, axis="x", which="major", lw=0.4, alpha=0.5)
        for k in range(1, len(methods)):
            ax.axhline(k - 0.5, color="#dddddd", lw=0.6)
    axes[0].set_yticks(range(len(methods)))
    axes[0].set_yticklabels(methods, fontsize=9)
    axes[0].set_ylim(-0.5, len(methods) - 0.5)
    present = {"quorvane"} | {p.split()[0] for r in by[many].values() for p in r["peers"]}
    order = [lib for lib in COLOURS if lib in present]
    fig.legend([Patch(color=COLOURS[lib]) for lib in order],
               ["quorvane (Ellipsoid method)" if lib == "quorvane" else lib for lib in order],
               loc="lower center", ncol=len(order), fontsize=9, frameon=False)
    fig.suptitle("Time of each Ellipsoid method on float64 input, and of the peers on the same conversion "
                 "(lower is better)", fontsize=11)
    fig.tight_layout(rect=(0, 0.05, 1, 1))
    save_png(fig, path)


def main(argv=None):
    ap = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    ap.add_argument("--bench-json", help="results of benchmarks/run.py --json; run it when not given")
    ap.add_argument("--quick", action="store_true", help="run the benchmark with its quick sizes")
    ap.add_argument("--points", type=int, default=4000, help="random points of the accuracy figure")
    ap.add_argument("--only", choices=("accuracy", "benchmark"))
    args = ap.parse_args(argv)
    import matplotlib

    matplotlib.use("Agg")
    IMG.mkdir(parents=True, exist_ok=True)
    if args.only != "benchmark":
        d = accuracy_data(args.points)
        accuracy_summary(d)
        plot_accuracy(d, IMG / "accuracy.png")
    if args.only != "accuracy":
        if args.bench_json:
            results = json.loads(Path(args.bench_json).read_text())
        else:
            import run as benchmark

            target = IMG / "benchmark.json"
            benchmark.run(quick=args.quick, json_path=target)
            results = json.loads(target.read_text())
        print()
        benchmark_table(results)
        plot_benchmark(results, IMG / "benchmark.png")
    return 0


if __name__ == "__main__":
    sys.exit(main())
