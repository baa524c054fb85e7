"""Running the scripts of support/scripts/ in fresh interpreters."""

import subprocess
import sys
from pathlib import Path

FOLDER = Path(__file__).with_name("scripts")


def run_script(name, *args, cwd, optimise=False, timeout=120):
    """Run support/scripts/<name> with `args`; its stdout and stderr are captured as text.

    -P keeps the script's folder off sys.path and the working directory is the
    caller's (a temporary one), so the script imports the installed package,
    never the source tree.
    """
    cmd = [sys.executable, "-P", *(["-O"] if optimise else []), str(FOLDER / name), *map(str, args)]
    return subprocess.run(cmd, cwd=cwd, capture_output=True, text=True, timeout=timeout)
