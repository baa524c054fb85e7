"""The tests' support package (tests/support), which the benchmarks share: the
method list taken from the built module, the compiled consumer that gives the
bare loops, and the mpmath references.

It is loaded from its folder under the name ``support``, the name the tests
import it by, without putting tests/ on sys.path, so no test module becomes
importable from here.
"""

import argparse
import importlib.util
import subprocess
import sys
import time
from pathlib import Path

FOLDER = Path(__file__).resolve().parents[1] / "tests" / "support"


def tests_support():
    """The package ``support``; its modules are then imported as ``support.<name>``."""
    if "support" not in sys.modules:
        location = importlib.util.spec_from_file_location("support", FOLDER / "__init__.py",
                                                      submodule_search_locations=[str(FOLDER)])
        package = importlib.util.module_from_spec(location)
        sys.modules["support"] = package
        location.loader.exec_module(package)
    return sys.modules["support"]


def whole_number_options(doc, **defaults):
    """The parsed command line of a benchmark whose options are whole numbers: one
    --name-with-dashes per keyword, with its default; the description is the first
    line of the script's docstring."""
    parser = argparse.ArgumentParser(description=doc.splitlines()[0])
    for name, default in defaults.items():
        parser.add_argument("--" + name.replace("_", "-"), type=int, default=default)
    return parser.parse_args()


def best_seconds(call, repeat, clock=time.perf_counter):
    """The shortest of `repeat` runs of call(), on `clock`."""
    best = float("inf")
    for _ in range(repeat):
        start = clock()
        call()
        best = min(best, clock() - start)
    return best


def lscpu():
    """lscpu's fields by name, or {} where it does not run."""
    try:
        out = subprocess.run(["lscpu"], capture_output=True, text=True, check=True).stdout
    except (OSError, subprocess.CalledProcessError):
        return {}
    return dict((key, value.strip()) for key, value in (line.split(":", 1) for line in out.splitlines() if ":" in line))


def cython_consumer_builder():
    """build_cython_consumer of tests/cython_consumer/build.py, loaded from its file."""
    path = FOLDER.parent / "cython_consumer" / "build.py"
    location = importlib.util.spec_from_file_location("cython_consumer_build", path)
    module = importlib.util.module_from_spec(location)
    location.loader.exec_module(module)
    return module.build_cython_consumer
