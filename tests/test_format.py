"""Every C and C++ source of the tree is laid out as .clang-format says, by the
clang-format release the test extra pins (layouts differ between releases)."""

import shutil
import subprocess
from pathlib import Path

import pytest

pytestmark = pytest.mark.tooling

ROOT = Path(__file__).resolve().parents[1]
SOURCES = sorted(p for pattern in ("*.c", "*.h", "*.cpp", "*.hpp")
                 for p in ROOT.glob(f"**/{pattern}")
                 if not any(part.startswith(".") or part == "build" for part in p.relative_to(ROOT).parts))


def test_sources_are_found():
    names = {p.name for p in SOURCES}
    assert {"ellipsoid.h", "batch.h", "avx2.cpp", "loop.cpp", "consumer.cpp"} <= names


@pytest.mark.skipif(shutil.which("clang-format") is None, reason="clang-format is in the test extra")
def test_clang_format_leaves_every_source_unchanged():
    proc = subprocess.run(["clang-format", "--dry-run", "-Werror", *map(str, SOURCES)], cwd=ROOT,
                          capture_output=True, text=True)
    assert proc.returncode == 0, proc.stderr[-3000:]
