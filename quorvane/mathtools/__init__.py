from quorvane.mathtools import _compiled

_compiled.install()
