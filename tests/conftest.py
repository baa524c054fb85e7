import os

import pytest

# Interpreters started by the tests must import the installed package, not the
# source tree that `python -c` would put first on sys.path from the working
# directory.
os.environ["PYTHONSAFEPATH"] = "1"

try:
    from consumer.build import build_consumer
except ImportError:  # tests/ imported as a package
    from tests.consumer.build import build_consumer


@pytest.fixture(scope="session")
def consumer(tmp_path_factory):
    """The test-only compiled caller of the Ellipsoid method table (tests/consumer)."""
    return build_consumer(tmp_path_factory.mktemp("consumer"))
