"""The benchmark's quick mode runs end to end, so that it never rots."""

import io
import json
import sys
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parents[1] / "benchmarks"))
import run as benchmark  # noqa: E402

METHODS = {
    "reduced_lat_from_geodetic_lat", "geodetic_lat_from_reduced_lat", "enu",
    "surf_pos_from_surf_coord", "surf_coord_from_surf_pos", "solve_reduced_lat_equation",
    "lla_from_pos", "pos_from_lla", "surf_pos_of_ray_first_intersection", "aer_coords",
}


def test_quick_benchmark_measures_every_method_and_writes_json(tmp_path):
    out = io.StringIO()
    target = tmp_path / "bench.json"
    rows, memory = benchmark.run(quick=True, json_path=target, out=out)

    assert {(r["method"], r["n"]) for r in rows} == {(m, n) for m in METHODS for n in (1, 100, 10_000)}
    for row in rows:
        assert row["ns_per_point"] > 0 and row["bare_ns_per_point"] > 0
        for peer in row["peers"].values():
            assert peer["ns_per_point"] > 0
    assert memory["peak_bytes"] >= memory["result_bytes"] > 0
    assert json.loads(target.read_text())["rows"] == rows
    assert "lla_from_pos" in out.getvalue()
