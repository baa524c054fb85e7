"""The installed stubs: `mypy --strict` on sample user code, and `mypy.stubtest`
against the compiled modules."""

import re
import shutil
import subprocess
import sys
from pathlib import Path

import pytest

pytestmark = pytest.mark.tooling

SAMPLES = Path(__file__).with_name("typing_samples")
USER_SCRIPT = "user_script.py"
GEO_SCRIPT = "geo_script.py"
UFUNC_SCRIPT = "ufunc_script.py"
SCRIPTS = [USER_SCRIPT, GEO_SCRIPT, UFUNC_SCRIPT]
WRONG_CALLS = "wrong_calls.py"
STUBTEST_MODULES = [
    "quorvane.mathtools.ellipsoid.ellipsoid",
    "quorvane.mathtools.vectools.vectools",
    "quorvane.datamodel",
    "quorvane.mathtools.ellipsoid.ufuncs",
    "quorvane.geo",
]

REJECTED = re.compile(r"# rejected: ([a-z-]+) \((.+)\)$")
ERROR = re.compile(r"^(?P<file>[^:]+):(?P<line>\d+): error: .*\[(?P<code>[a-z-]+)\]$")


def _wrong_call_cases():
    lines = (SAMPLES / WRONG_CALLS).read_text().splitlines()
    return [
        pytest.param(number, match.group(1), id=match.group(2))
        for number, line in enumerate(lines, start=1)
        if (match := REJECTED.search(line))
    ]


def _start(args, cwd):
    # From a directory outside the source tree, so that the installed package
    # (with its stubs and py.typed) is what gets imported and checked.
    return subprocess.Popen([sys.executable, *args], cwd=cwd, stdout=subprocess.PIPE,
                            stderr=subprocess.PIPE, text=True)


def _finish(proc):
    stdout, stderr = proc.communicate()
    return proc.returncode, stdout, stderr


@pytest.fixture(scope="module")
def workdir(tmp_path_factory):
    workdir = tmp_path_factory.mktemp("typing")
    for name in (*SCRIPTS, WRONG_CALLS):
        shutil.copyfile(SAMPLES / name, workdir / name)
    # An empty configuration, so that no mypy settings of the surroundings apply.
    (workdir / "mypy.ini").write_text("[mypy]\n")
    return workdir


@pytest.fixture(scope="module")
def checks(workdir):
    """(mypy's errors on the samples, stubtest's (returncode, stdout, stderr)).

    The two runs are independent and each loads NumPy's stubs, so they run
    side by side.
    """
    # stubtest writes mypy's default cache folder, .mypy_cache, as it goes; a
    # folder of its own keeps this run from reading stubtest's half-written files.
    mypy = _start(
        ["-m", "mypy", "--strict", "--config-file", "mypy.ini", "--cache-dir", ".mypy_cache_samples",
         "--no-error-summary", "--hide-error-context", "--show-error-codes",
         *SCRIPTS, WRONG_CALLS],
        workdir,
    )
    stubtest = _start(["-m", "mypy.stubtest", "--mypy-config-file", "mypy.ini",
                       *STUBTEST_MODULES], workdir)
    returncode, stdout, stderr = _finish(mypy)
    # mypy exits with 1 for type errors; anything else is a crash or bad usage.
    assert returncode in (0, 1), stdout + stderr
    errors = [m.groupdict() for m in map(ERROR.match, stdout.splitlines()) if m]
    return errors, _finish(stubtest)


@pytest.fixture(scope="module")
def mypy_errors(checks):
    return checks[0]


@pytest.mark.parametrize("script", SCRIPTS)
def test_user_script_passes_strict(mypy_errors, script):
    assert [e for e in mypy_errors if e["file"] == script] == []


@pytest.mark.parametrize("script", SCRIPTS)
def test_user_script_runs(workdir, script):
    returncode, _, stderr = _finish(_start([script], workdir))
    assert returncode == 0, stderr


@pytest.mark.parametrize("line, code", _wrong_call_cases())
def test_wrong_call_rejected(mypy_errors, line, code):
    assert {"file": WRONG_CALLS, "line": str(line), "code": code} in mypy_errors


def test_only_marked_lines_rejected(mypy_errors):
    marked = {str(param.values[0]) for param in _wrong_call_cases()}
    assert {e["line"] for e in mypy_errors if e["file"] == WRONG_CALLS} == marked


def test_stubtest_against_compiled_modules(checks):
    returncode, stdout, stderr = checks[1]
    assert returncode == 0, stdout + stderr
