"""The stub of quorvane.geo, quorvane/geo/__init__.pyi: the hand-written template
(geo_stub.pyi.in) with its block of `#@` lines replaced by the degrees-first
functions, three overloads each: Python floats give floats, float64 and integer
arrays and lists give float64 arrays, anything else NumPy reads gives what the
array path returns."""

FORMS = [
    # Python floats are also _Numbers and _Input, whose results differ: mypy
    # takes the first overload that matches, so the overlap is the intent.
    ("float", "float", "  # type: ignore[overload-overlap]"),
    ("_Numbers", "_F64", ""),
    ("_Input", "Any", ""),
]


def function(name, arguments, with_ellipsoid, results):
    """The overloads of one function, and the blank line after them."""
    lines = []
    for argument_type, result_type, remark in FORMS:
        params = [f"{argument}: {argument_type}" for argument in arguments]
        params += ["ell: _Ell = None"] if with_ellipsoid else []
        result = result_type if results == 1 else f"tuple[{', '.join([result_type] * results)}]"
        lines.append(f"@overload\ndef {name}({', '.join(params + ['deg: bool = True'])}) -> {result}: ...{remark}\n")
    return "".join(lines) + "\n"


def render(template, functions):
    """The template with the functions [(name, arguments, with_ellipsoid, results)] in
    place of its one block of `#@` lines."""
    lines = template.splitlines(keepends=True)
    block = [k for k, line in enumerate(lines) if line.startswith("#@")]
    if not block or block != list(range(block[0], block[-1] + 1)):
        raise ValueError("the template needs one block of #@ lines, where the functions go")
    rendered = "".join(function(*row) for row in functions)
    return "".join(lines[:block[0]]) + rendered + "".join(lines[block[-1] + 1:])
