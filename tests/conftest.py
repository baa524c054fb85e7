import pytest

from support.consumer import build_consumer
from support.runner import run_script


@pytest.fixture(scope="session")
def consumer(tmp_path_factory):
    """The test-only compiled caller of the Ellipsoid method table (support/consumer.cpp)."""
    return build_consumer(tmp_path_factory.mktemp("consumer"))


@pytest.fixture(scope="session")
def script(tmp_path_factory):
    """Runs a script of support/scripts/ in a fresh interpreter, from an empty directory."""
    cwd = tmp_path_factory.mktemp("scripts")
    return lambda name, *args, **kwargs: run_script(name, *args, cwd=cwd, **kwargs)
