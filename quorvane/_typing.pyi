# The types that the package's stubs share; a stub of its own, with no module
# behind it.
from typing import Any, TypeAlias

import numpy as np
from numpy.typing import NDArray

# A real number: the compiled code takes numbers.Real, which NumPy's integer
# and floating scalars are registered as.
_Real: TypeAlias = float | np.floating[Any] | np.integer[Any]
_F32: TypeAlias = NDArray[np.float32]
_F64: TypeAlias = NDArray[np.float64]
