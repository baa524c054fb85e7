"""The tests' support package (tests/support), which the benchmarks share: the
method list taken from the built module, the compiled consumer that gives the
bare loops, and the mpmath references.

It is loaded from its folder under the name ``support``, the name the tests
import it by, without putting tests/ on sys.path, so no test module becomes
importable from here.
"""

import importlib.util
import sys
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


def cython_consumer_builder():
    """build_cython_consumer of tests/cython_consumer/build.py, loaded from its file."""
    path = FOLDER.parent / "cython_consumer" / "build.py"
    location = importlib.util.spec_from_file_location("cython_consumer_build", path)
    module = importlib.util.module_from_spec(location)
    location.loader.exec_module(module)
    return module.build_cython_consumer
