"""The benchmark's quick mode runs end to end, as a script, so that it never rots."""

import importlib.util
import json
import subprocess
import sys
from pathlib import Path

from support.methods import METHODS

BENCHMARK = Path(__file__).resolve().parents[1] / "benchmarks" / "run.py"


def test_quick_benchmark_measures_every_method_and_writes_json(tmp_path):
    target = tmp_path / "bench.json"
    proc = subprocess.run([sys.executable, str(BENCHMARK), "--quick", "--json", str(target)],
                          cwd=tmp_path, capture_output=True, text=True, timeout=300)
    assert proc.returncode == 0, proc.stderr[-2000:]
    written = json.loads(target.read_text())
    rows, memory = written["rows"], written["memory"]

    assert sorted((r["method"], r["n"]) for r in rows) == sorted((m, n) for m in METHODS for n in (1, 100, 10_000))
    for row in rows:
        assert row["ns_per_point"] > 0 and row["bare_ns_per_point"] > 0
        for peer in row["peers"].values():
            assert peer["ns_per_point"] > 0
    assert memory["peak_bytes"] >= memory["result_bytes"] > 0
    assert sorted(written["threads"]["seconds"]) == ["1", "2"]
    assert all(t > 0 for times in written["threads"]["seconds"].values() for t in times.values())
    printed = proc.stdout.splitlines()
    for row in rows:
        assert any(line.split()[:2] == [row["method"], str(row["n"])] for line in printed), row["method"]


GEODESICS = BENCHMARK.with_name("geodesics.py")
GEODESIC_ACCURACY = BENCHMARK.with_name("geodesic_accuracy.py")


def test_quick_geodesic_benchmark_times_every_peer_and_counts_the_search(tmp_path):
    target = tmp_path / "geodesics.json"
    proc = subprocess.run([sys.executable, str(GEODESICS), "--quick", "--json", str(target)],
                          cwd=tmp_path, capture_output=True, text=True, timeout=600)
    assert proc.returncode == 0, proc.stderr[-2000:]
    written = json.loads(target.read_text())
    assert sorted(written["sets"]) == ["mix", "random"]
    with_pyproj = importlib.util.find_spec("pyproj") is not None
    for entry in written["sets"].values():
        assert len(entry["ns"]) == (6 if with_pyproj else 4) and all(t > 0 for t in entry["ns"].values())
        search = entry["search"]
        assert sum(search["evaluations_histogram"].values()) == written["n"]
        assert 1 <= search["evaluations_mean"] <= search["evaluations_max"]
        assert 0 < search["lane_occupancy"] <= 1
    assert "pyproj Geod.inv" in proc.stdout and "lanes busy" in proc.stdout


def test_geodesic_accuracy_report_covers_every_category(tmp_path):
    target = tmp_path / "accuracy.json"
    proc = subprocess.run([sys.executable, str(GEODESIC_ACCURACY), "--rows", "2", "--json", str(target)],
                          cwd=tmp_path, capture_output=True, text=True, timeout=600)
    assert proc.returncode == 0, proc.stderr[-2000:]
    (table,) = json.loads(target.read_text())["flattening"].values()
    assert len(table) == 9
    assert all(0 <= row[key] < 20e-9 for row in table.values()
               for key in ("direct", "inverse_s12", "inverse_azi1_m12", "inverse_azi2_m12"))
