"""Reference ellipsoid geometry.

The extension module is ``quorvane.mathtools.ellipsoid.ellipsoid``; its type
``Ellipsoid`` does the conversions. ``quorvane.mathtools.ellipsoid.ufuncs`` has
the same conversions as NumPy ufuncs, with the ellipsoid as two trailing
inputs ``Re, f`` (``WGS84`` and ``GRS80`` give them). Compiled callers include
``<quorvane/mathtools/ellipsoid/ellipsoid.h>`` with :func:`get_include` on
their include path.
"""

import os


def get_include() -> str:
    """The directory to put on a compiler's include path for this package's C headers.

    Headers are then included as ``<quorvane/mathtools/ellipsoid/ellipsoid.h>``,
    ``<quorvane/mathtools/vectools/vectools.h>`` and
    ``<quorvane/datamodel/structured.h>``.
    """
    return os.path.dirname(os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__)))))
