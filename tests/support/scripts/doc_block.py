"""Runs a Python code block of the documentation as a script, recording what each
line prints.

    python doc_block.py BLOCK_FILE

Executes the file as __main__; each print() is also recorded under the line of the
block that called it, and the last line of stdout is the JSON object
{line: [printed text, ...]}."""

import builtins
import io
import json
import sys

printed = {}
real_print = builtins.print


def recording_print(*args, **kwargs):
    text = io.StringIO()
    real_print(*args, **{**kwargs, "file": text})
    frame = sys._getframe(1)
    if frame.f_code.co_filename == path:
        printed.setdefault(frame.f_lineno, []).append(text.getvalue())
    real_print(*args, **kwargs)


# Worker processes that multiprocessing spawns (dask.distributed's) import this
# script as __mp_main__: they must not run the block again.
if __name__ == "__main__":
    path = sys.argv[1]
    builtins.print = recording_print
    with open(path) as f:
        code = compile(f.read(), path, "exec")
    exec(code, {"__name__": "__main__", "__file__": path})
    builtins.print = real_print
    print(json.dumps(printed))
