"""Every code block of README.md and docs/*.md, as written.

Each Python block runs alone in a fresh interpreter, from an empty directory (so the
installed package is imported), and every `print(...)  # text` line must print the
start of its comment. The C block is compiled, linked and called through ctypes; the
Cython module and its setup.py are built and called. Shell commands must name scripts
that exist, options those scripts take and extras that pyproject.toml declares.
"""

import ctypes
import importlib.util
import json
import os
import re
import shlex
import subprocess
import sys
import sysconfig
import tomllib
from pathlib import Path

import numpy as np
import pytest

from quorvane.mathtools.ellipsoid import get_include
from quorvane.mathtools.ellipsoid.ellipsoid import Ellipsoid

pytestmark = pytest.mark.tooling

ROOT = Path(__file__).resolve().parents[1]
DOCS = [ROOT / "README.md", *sorted((ROOT / "docs").glob("*.md"))]
FENCE = re.compile(r"^```(\w*)\n(.*?)^```", re.M | re.S)
# A block that is a file of a larger example names it on its first line: "# setup.py: ...".
FILE_NAME = re.compile(r"(?:#|/\*)\s*([\w.]+\.(?:py|pyx|c)):")
# A print call with what it prints as a comment, on its line or alone on the next.
PRINT_LINE = re.compile(r"\s*print\(.*\)\s+#\s*(.*)$")
BARE_PRINT = re.compile(r"\s*print\(.*\)\s*$")
NEXT_COMMENT = re.compile(r"\s*#\s*(.*)$")
OPTIONAL = ["distributed", "matplotlib"]
WGS84 = Ellipsoid(6378137.0, 1 / 298.257223563)
POSITION = WGS84.pos_from_lla(0.7, -2.1, 1234.5)


def code_blocks():
    """(document, line, language, text, file name or None) of every fenced block."""
    for doc in DOCS:
        text = doc.read_text()
        for match in FENCE.finditer(text):
            body = match.group(2)
            named = FILE_NAME.match(body)
            yield (doc.relative_to(ROOT).as_posix(), text.count("\n", 0, match.start()) + 1, match.group(1),
                   body, named.group(1) if named else None)


BLOCKS = list(code_blocks())


def blocks(language, named=None):
    return [pytest.param(b, id=f"{b[0]}:{b[1]}") for b in BLOCKS
            if b[2] == language and (named is None or (b[4] is not None) == named)]


def test_every_block_is_checked_by_a_test_here():
    assert {b[2] for b in BLOCKS} <= {"python", "sh", "c", "cython"}
    assert all(b[4] is not None for b in BLOCKS if b[2] in ("c", "cython"))


def run_python_block(script, tmp_path, block, env=None):
    """Runs the block, then checks each commented print line against its comment."""
    doc, line, _, text, _ = block
    for module in OPTIONAL:
        if re.search(rf"^\s*(import|from) {module}\b", text, re.M):
            pytest.importorskip(module)
    path = tmp_path / "block.py"
    path.write_text(text)
    done = script("doc_block.py", path, env=env, timeout=600)
    assert done.returncode == 0, f"{doc}:{line}\n{done.stderr[-3000:]}"
    printed = json.loads(done.stdout.splitlines()[-1])
    for number, expected in commented_prints(text):
        got = "".join(printed.get(str(number), [])).strip()
        assert got and expected.startswith(got), f"{doc}:{line + number} prints {got!r}, not {expected!r}"


def commented_prints(text):
    """(line number, comment) of each print call whose output the block states."""
    lines = text.splitlines() + [""]
    for number, source in enumerate(lines[:-1], 1):
        inline, bare, below = PRINT_LINE.match(source), BARE_PRINT.match(source), NEXT_COMMENT.match(lines[number])
        if inline or (bare and below):
            yield number, (inline or below).group(1)


@pytest.mark.parametrize("block", blocks("python", named=False))
def test_python_block_runs_alone_and_prints_what_it_says(script, tmp_path, block):
    run_python_block(script, tmp_path, block)


# The xarray and dask blocks print dimensions and equalities, whatever the kernels.
@pytest.mark.parametrize("block", [b for b in blocks("python", named=False)
                                   if any(commented_prints(b.values[0][3]))
                                   and not re.search(r"^import (xarray|dask)", b.values[0][3], re.M)])
def test_printed_values_hold_with_the_plain_kernel_set(script, tmp_path, block):
    """What the blocks print does not depend on the kernel set the CPU selects."""
    run_python_block(script, tmp_path, block, env={"QUORVANE_KERNELS": "plain"})


def compile_shared(source, tmp_path):
    """source compiled and linked as a shared object with the interpreter's own tools."""
    config = sysconfig.get_config_vars()
    obj, target = source.with_suffix(".o"), source.with_suffix(".so")
    for cmd in [shlex.split(config["CC"]) + shlex.split(config.get("CCSHARED") or "") +
                ["-Wall", "-Werror", "-I" + sysconfig.get_paths()["include"], "-I" + get_include(),
                 "-c", str(source), "-o", str(obj)],
                shlex.split(config["LDSHARED"]) + [str(obj), "-o", str(target)]]:
        proc = subprocess.run(cmd, cwd=tmp_path, capture_output=True, text=True)
        assert proc.returncode == 0, proc.stdout + proc.stderr
    return target


class LLA(ctypes.Structure):
    _fields_ = [("lat", ctypes.c_double), ("lon", ctypes.c_double), ("alt", ctypes.c_double)]


def c_blocks(name):
    return [pytest.param(b, id=f"{b[0]}:{b[1]}") for b in BLOCKS if b[2] == "c" and b[4] == name]


def test_c_blocks_are_those_the_tests_call():
    assert {b[4] for b in BLOCKS if b[2] == "c"} == {"geodetic.c", "lla_columns.c"}


def build_c_block(tmp_path, block):
    source = tmp_path / block[4]
    source.write_text(block[3])
    return ctypes.PyDLL(str(compile_shared(source, tmp_path)))


@pytest.mark.parametrize("block", c_blocks("geodetic.c"))
def test_c_block_of_the_method_table_builds_and_converts(tmp_path, block):
    library = build_c_block(tmp_path, block)
    library.geodetic.argtypes = [ctypes.py_object, ctypes.POINTER(ctypes.c_double), ctypes.POINTER(LLA)]
    lla = LLA()
    assert library.geodetic(WGS84, (ctypes.c_double * 3)(*POSITION), ctypes.byref(lla)) == 0
    assert bytes(lla) == WGS84.lla_from_pos(POSITION).tobytes()
    with pytest.raises(TypeError):
        library.geodetic(object(), (ctypes.c_double * 3)(*POSITION), ctypes.byref(lla))


POSITIONS = WGS84.pos_from_lla(np.linspace(-1.5, 1.5, 37), np.linspace(-3, 3, 37), np.linspace(-1e3, 1e6, 37))


@pytest.mark.parametrize("block", c_blocks("lla_columns.c"))
def test_c_block_of_the_batch_kernels_builds_and_converts(tmp_path, block):
    library = build_c_block(tmp_path, block)
    double_p = ctypes.POINTER(ctypes.c_double)
    library.lla_columns.argtypes = [ctypes.c_double, ctypes.c_double, ctypes.c_ssize_t, double_p, double_p,
                                    double_p, ctypes.POINTER(LLA)]
    columns = [np.ascontiguousarray(POSITIONS[:, k]) for k in range(3)]
    lla = (LLA * len(POSITIONS))()
    assert library.lla_columns(WGS84.Re, WGS84.f, len(POSITIONS),
                               *(c.ctypes.data_as(double_p) for c in columns), lla) == 0
    assert bytes(lla) == WGS84.lla_from_pos(POSITIONS).tobytes()


def build_cython_block(tmp_path, module):
    """The README's setup.py, building module.pyx instead of geodetic.pyx."""
    files = {b[4]: b[3] for b in BLOCKS if b[4] in ("setup.py", f"{module}.pyx")}
    assert sorted(files) == [f"{module}.pyx", "setup.py"]
    files["setup.py"] = files["setup.py"].replace("geodetic", module)
    for name, text in files.items():
        (tmp_path / name).write_text(text)
    proc = subprocess.run([sys.executable, "setup.py", "build_ext", "--inplace"], cwd=tmp_path,
                          capture_output=True, text=True, timeout=600)
    assert proc.returncode == 0, proc.stdout[-3000:] + proc.stderr[-3000:]
    (built,) = tmp_path.glob(module + "*" + sysconfig.get_config_var("EXT_SUFFIX"))
    location = importlib.util.spec_from_file_location(module, built)
    loaded = importlib.util.module_from_spec(location)
    location.loader.exec_module(loaded)
    return loaded


def test_cython_module_builds_with_its_setup_py(tmp_path):
    module = build_cython_block(tmp_path, "geodetic")
    want = WGS84.lla_from_pos(POSITION)[0]
    assert module.geodetic(WGS84, *POSITION) == (want["lat"], want["lon"], want["alt"])


def test_cython_caller_of_the_batch_kernels_builds_and_converts(tmp_path):
    module = build_cython_block(tmp_path, "lla_columns")
    x, y, z = (POSITIONS[:, k] for k in range(3))  # strided columns
    lat, lon, alt = (np.empty(len(POSITIONS)) for _ in range(3))
    module.lla_from_pos(WGS84.Re, WGS84.f, x, y, z, lat, lon, alt)
    want = WGS84.lla_from_pos(POSITIONS)
    assert [c.tobytes() for c in (lat, lon, alt)] == [want[k].tobytes() for k in ("lat", "lon", "alt")]
    with pytest.raises(ValueError, match="one length"):
        module.lla_from_pos(WGS84.Re, WGS84.f, x, y, z, lat[:-1], lon, alt)


def shell_commands():
    for doc, line, language, text, _ in BLOCKS:
        if language == "sh":
            for command in re.split(r"&&|\n", text):
                if command.strip():
                    yield pytest.param(shlex.split(command, comments=True), id=f"{doc}:{line}:{command.strip()[:40]}")


EXTRAS = tomllib.loads((ROOT / "pyproject.toml").read_text())["project"]["optional-dependencies"]


@pytest.mark.parametrize("words", list(shell_commands()))
def test_shell_command_names_what_exists(words):
    program, *args = words
    if program == "pip":
        assert args[0] == "install"
        targets = [a for a in args[1:] if not a.startswith("-")]
        assert targets and all(re.fullmatch(r"\.(\[[\w,]+\])?", t) for t in targets), targets
        for target in targets:
            assert set(re.findall(r"\w+", target)) <= set(EXTRAS), target
    elif program == "pytest":
        assert not args
    elif program == "python":
        script = ROOT / args[0]
        assert script.is_file(), script
        options = [a.strip("[]") for a in args[1:] if a.strip("[]").startswith("-")]
        if not options and script.parent.name == "examples":
            proc = subprocess.run([sys.executable, str(script)], capture_output=True, text=True, timeout=300)
            assert proc.returncode == 0, proc.stderr[-2000:]
            return
        proc = subprocess.run([sys.executable, str(script), "--help"], capture_output=True, text=True, timeout=300)
        assert proc.returncode == 0, proc.stderr[-2000:]
        for option in options:
            assert option in proc.stdout, option
    else:
        assert os.access(ROOT / program, os.X_OK), program
