"""Running the scripts of support/scripts/ in fresh interpreters."""

import os
import subprocess
import sys
from pathlib import Path

FOLDER = Path(__file__).with_name("scripts")


def run_script(name, *args, cwd, optimise=False, env=None, input=None, timeout=120):
    """Run support/scripts/<name> with `args` and the variables `env` added to the
    environment; its stdout and stderr are captured, as text unless `input`
    (bytes for its standard input) is given.

    -P keeps the script's folder off sys.path and the working directory is the
    caller's (a temporary one), so the script imports the installed package,
    never the source tree.
    """
    cmd = [sys.executable, "-P", *(["-O"] if optimise else []), str(FOLDER / name), *map(str, args)]
    environment = {**os.environ, **(env or {})}
    return subprocess.run(cmd, cwd=cwd, env=environment, input=input, capture_output=True,
                          text=input is None, timeout=timeout)
