"""The benchmark's quick mode runs end to end, as a script, so that it never rots."""

import importlib.util
import json
import subprocess
import sys
from pathlib import Path

import numpy as np
import pytest

import quorvane.mathtools.ellipsoid.ufuncs as U
from support.methods import METHODS
from support.sanitizer import SANITIZED

pytestmark = pytest.mark.tooling

BENCHMARK = Path(__file__).resolve().parents[1] / "benchmarks" / "run.py"


def run_benchmark(name, *args, cwd=None, timeout=300):
    """The lines a script of benchmarks/ prints, once it has exited with success."""
    proc = subprocess.run([sys.executable, str(BENCHMARK.with_name(name)), *args], cwd=cwd, capture_output=True,
                          text=True, timeout=timeout)
    assert proc.returncode == 0, proc.stderr[-2000:]
    return proc.stdout.splitlines()


def run_with_json(tmp_path, name, *args, timeout=300):
    """What a script prints, and the JSON it writes, run in tmp_path with --json."""
    target = tmp_path / "written.json"
    printed = run_benchmark(name, *args, "--json", str(target), cwd=tmp_path, timeout=timeout)
    return printed, json.loads(target.read_text())


def test_quick_benchmark_measures_every_method_and_writes_json(tmp_path):
    printed, written = run_with_json(tmp_path, BENCHMARK.name, "--quick")
    rows, memory = written["rows"], written["memory"]

    assert sorted((r["method"], r["n"]) for r in rows) == sorted((m, n) for m in METHODS for n in (1, 100, 10_000))
    for row in rows:
        assert row["ns_per_point"] > 0 and row["bare_ns_per_point"] > 0
        for peer in row["peers"].values():
            assert peer["ns_per_point"] > 0
    assert memory["peak_bytes"] >= memory["result_bytes"] > 0
    assert sorted(written["threads"]["seconds"]) == ["1", "2"]
    assert all(t > 0 for times in written["threads"]["seconds"].values() for t in times.values())
    for row in rows:
        assert any(line.split()[:2] == [row["method"], str(row["n"])] for line in printed), row["method"]


def test_quick_geodesic_benchmark_times_every_peer_and_counts_the_search(tmp_path):
    printed, written = run_with_json(tmp_path, "geodesics.py", "--quick", timeout=600)
    assert sorted(written["sets"]) == ["mix", "random"]
    with_pyproj = importlib.util.find_spec("pyproj") is not None
    for entry in written["sets"].values():
        assert len(entry["ns"]) == (6 if with_pyproj else 4) and all(t > 0 for t in entry["ns"].values())
        search = entry["search"]
        assert sum(search["evaluations_histogram"].values()) == written["n"]
        assert 1 <= search["evaluations_mean"] <= search["evaluations_max"]
        assert 0 < search["lane_occupancy"] <= 1
    assert any("pyproj Geod.inv" in line for line in printed) and any("lanes busy" in line for line in printed)


def test_geodesic_accuracy_report_covers_every_category(tmp_path):
    _, written = run_with_json(tmp_path, "geodesic_accuracy.py", "--rows", "2", timeout=600)
    (table,) = written["flattening"].values()
    assert len(table) == 9
    assert all(0 <= row[key] < 20e-9 for row in table.values()
               for key in ("direct", "inverse_s12", "inverse_azi1_m12", "inverse_azi2_m12"))


def test_one_point_script_compares_two_interpreters(tmp_path):
    _, written = run_with_json(tmp_path, "one_point.py", "--quick", "--rounds", "1", "--against", sys.executable)
    seconds = written["seconds"]
    assert seconds["this"].keys() == seconds["other"].keys() and set(seconds["this"]) <= set(METHODS)
    assert all(t > 0 for times in seconds.values() for t in times.values())


def test_batch_api_script_times_a_cython_caller(tmp_path):
    printed = run_benchmark("batch_api.py", "--points", "1000", "--repeat", "1", cwd=tmp_path)
    rows = [line.split() for line in printed[1:]]
    assert [row[0] for row in rows] == ["lla_from_pos", "pos_from_lla", "aer_coords", "enu"]
    assert all(float(value) > 0 for row in rows for value in row[1:])


def test_float32_benchmark_times_every_ufunc():
    printed = run_benchmark("float32.py", "--points", "1000", "--repeat", "1")
    names = [name for name, f in vars(U).items() if isinstance(f, np.ufunc)]
    assert sorted(line.split()[0] for line in printed[2:-1]) == sorted(names)


# The script runs threads on stacks it maps itself; the sanitizer does not clear its
# shadow of a stack that was unmapped, so a later thread can start on memory it still
# takes for freed heap, and its redzones would change the depths anyway.
@pytest.mark.skipif(SANITIZED, reason="stack depths are measured without the sanitizer")
def test_float32_loop_adds_at_most_a_few_kib_of_stack():
    """The float32 loop once kept 34 KiB of buffers on the stack (benchmarks/stack_use.py
    measures the depth each ufunc's loops reach on a painted thread stack)."""
    printed = run_benchmark("stack_use.py", "--points", "300")
    added = [int(line.split()[-2]) for line in printed if line.startswith("most the float32 loop")]
    assert len(added) == 1 and added[0] <= 4096, printed


def test_quick_geo_benchmark_times_every_function_against_its_peers(tmp_path):
    import quorvane.geo as geo
    from support.geo_functions import REFERENCES

    _, written = run_with_json(tmp_path, "geo_vs_pymap3d.py", "--quick")
    rows = written["rows"]
    assert sorted(r["name"] for r in rows) == sorted(REFERENCES)
    assert all(hasattr(geo, r["name"]) for r in rows)
    timed = ("ns_per_point", "pymap3d_ns_per_point", "one_point_ns", "pymap3d_one_point_ns")
    assert all(r[key] > 0 for r in rows for key in timed)
    with_pyproj = {"geodetic2ecef", "ecef2geodetic", "ecef2enu", "enu2ecef", "geodetic2enu", "enu2geodetic"}
    try:
        import pyproj  # noqa: F401
    except ImportError:
        with_pyproj = set()
    assert {r["name"] for r in rows if "pyproj_ns_per_point" in r} == with_pyproj
