"""What the tests and the benchmarks share: the list of methods taken from the built
module, closed-form and high-precision references, the compiled consumer of the
method table, and the scripts the subprocess tests run.

The tests import it as ``support`` (pytest puts tests/ first on sys.path); the
benchmarks load it from its folder (benchmarks/shared.py).
"""
