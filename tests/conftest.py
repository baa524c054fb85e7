import pytest

from support.consumer import build_consumer, build_memory_handler
from support.runner import run_script

try:
    from cython_consumer.build import build_cython_consumer
except ImportError:  # tests/ imported as a package
    from tests.cython_consumer.build import build_cython_consumer


@pytest.fixture(scope="session")
def consumer(tmp_path_factory):
    """The test-only compiled caller of the Ellipsoid method table (support/consumer.cpp)."""
    return build_consumer(tmp_path_factory.mktemp("consumer"))


@pytest.fixture(scope="session")
def script(tmp_path_factory):
    """Runs a script of support/scripts/ in a fresh interpreter, from an empty directory."""
    cwd = tmp_path_factory.mktemp("scripts")
    return lambda name, *args, **kwargs: run_script(name, *args, cwd=cwd, **kwargs)


@pytest.fixture(scope="session")
def cy(tmp_path_factory):
    """The test-only Cython caller of the method table (cython_consumer/)."""
    return build_cython_consumer(tmp_path_factory.mktemp("cython_consumer"))


@pytest.fixture(scope="session")
def memory_handler(tmp_path_factory):
    """A NumPy data memory handler that counts its calls (support/memory_handler.cpp)."""
    return build_memory_handler(tmp_path_factory.mktemp("memory_handler"))
