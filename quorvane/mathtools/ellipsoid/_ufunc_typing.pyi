# What the ufunc module's rendered stub builds on: the argument and result types of
# the call forms, and what every ufunc has beyond them.
from typing import Any, Protocol

import numpy as np
from numpy.typing import NDArray

_Scalar = float | np.floating[Any] | np.integer[Any]
_F32 = NDArray[np.float32]
_F64 = NDArray[np.float64]

class _Ufunc(Protocol):
    @property
    def __name__(self) -> str: ...
    @property
    def nin(self) -> int: ...
    @property
    def nout(self) -> int: ...
    @property
    def nargs(self) -> int: ...
    @property
    def signature(self) -> str | None: ...
    @property
    def types(self) -> list[str]: ...
