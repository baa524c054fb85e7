"""Runs a ufunc on float64 and on float32 points in a thread of 32 KiB of stack.

    python small_thread_stack.py NAME

Prints "<dtype> ok" for each type whose call returned, on a thread started after
threading.stack_size(32768); a loop that needs more stack ends the process with SIGSEGV.
One point and 5000 points (the float32 loop converts these in blocks off the stack)."""

import sys
import threading

import numpy as np

import quorvane.mathtools.ellipsoid.ufuncs as U

ufunc = getattr(U, sys.argv[1])
threading.stack_size(32768)
for dtype in (np.float64, np.float32):
    done = []

    def run():
        for n in (1, 5000):
            points = [np.ones(n, dtype) for _ in range(ufunc.nin - 2)]
            done.append(ufunc(*points, *U.WGS84))

    thread = threading.Thread(target=run)
    thread.start()
    thread.join()
    print(np.dtype(dtype).name, "ok" if len(done) == 2 else "failed", flush=True)
