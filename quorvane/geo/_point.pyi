from typing import Any, Callable, final

@final
class Conversion:
    plan: Any
    has_point_path: bool
    def __new__(cls, plan: Any, fallback: Callable[..., Any],
                resolve: Callable[[Any], tuple[float, float]], Re: float, f: float) -> Conversion: ...
    def __call__(self, *args: Any) -> Any: ...
