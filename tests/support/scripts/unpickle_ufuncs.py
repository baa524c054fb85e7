"""Unpickles ufuncs from standard input in a fresh interpreter.

    python unpickle_ufuncs.py < pickled-list

Prints each ufunc's module and name, then lla_from_pos of a point on the
WGS84 equator, so that the loaded ufunc is seen to compute."""

import pickle
import sys

ufuncs = pickle.loads(sys.stdin.buffer.read())
print(*[f"{f.__module__}.{f.__name__}" for f in ufuncs])
print(*(float(v) for v in ufuncs[0](6378137.0, 0.0, 0.0, 6378137.0, 0.0)))
