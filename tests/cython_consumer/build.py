"""Build the test-only Cython caller against the installed package's .pxd files."""

import importlib.util
import shlex
import shutil
import subprocess
import sys
import sysconfig
import warnings
from pathlib import Path

from quorvane.mathtools.ellipsoid import get_include

SOURCE = Path(__file__).with_name("quorvane_cython_consumer.pyx")
NAME = SOURCE.stem


def _run(cmd, cwd):
    proc = subprocess.run(cmd, cwd=cwd, capture_output=True, text=True)
    if proc.returncode != 0:
        raise RuntimeError(f"{' '.join(cmd)} failed:\n{proc.stdout}{proc.stderr}")
    return proc.stdout + proc.stderr


def build_cython_consumer(tmpdir):
    """Cythonize and compile the consumer in tmpdir, then import it.

    The .pyx is copied out of the source tree first, so that Cython finds the
    declaration files of the installed package (get_include()) and no others.
    The C compiler and the link command are the ones this interpreter was built
    with. The module gets ``build_log``, the tools' diagnostics.
    """
    tmpdir = Path(tmpdir)
    pyx = tmpdir / SOURCE.name
    shutil.copyfile(SOURCE, pyx)
    c_file = pyx.with_suffix(".c")
    obj = pyx.with_suffix(".o")
    target = tmpdir / (NAME + sysconfig.get_config_var("EXT_SUFFIX"))
    log = _run([sys.executable, "-m", "cython", "-3", "-I", get_include(), pyx.name,
                "-o", c_file.name], tmpdir)
    config = sysconfig.get_config_vars()
    log += _run(shlex.split(config["CC"]) + shlex.split(config.get("CCSHARED") or "") + [
        "-O1", "-I" + sysconfig.get_paths()["include"], "-I" + get_include(),
        "-c", c_file.name, "-o", obj.name,
    ], tmpdir)
    log += _run(shlex.split(config["LDSHARED"]) + [obj.name, "-o", target.name], tmpdir)

    module_spec = importlib.util.spec_from_file_location(NAME, target)
    module = importlib.util.module_from_spec(module_spec)
    # Cython warns at import when the type's instance size differs from the
    # record it was declared with: a layout mismatch is an error here.
    with warnings.catch_warnings():
        warnings.simplefilter("error")
        module_spec.loader.exec_module(module)
    module.build_log = log
    return module
