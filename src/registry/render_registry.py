"""Renders the registry (conversions.py) as the C++ header that
registry/conversions.hpp includes: the docstrings as registry::docs::<name> and
one X-macro list a family. The build runs it into its own folder:

    python -B src/registry/render_registry.py <build>/generated/registry/families.hpp"""

import sys
from pathlib import Path

from conversions import FAMILIES, INTERNAL_KERNELS


def literal(text):
    """A C++ string literal, one source line per line of the text."""
    escaped = text.replace("\\", "\\\\").replace('"', '\\"')
    lines = escaped.split("\n")
    pieces = [f'"{line}\\n"' for line in lines[:-1]] + ([f'"{lines[-1]}"'] if lines[-1] else [])
    return "\n    ".join(pieces)


def x_macro(macro, entries):
    rows = [f'    X({name}, {slot}, "{columns}", {body})' for name, body, slot, columns, *_ in entries]
    return f"#define {macro}(X) \\\n" + " \\\n".join(rows) + "\n"


def render():
    parts = [
        "// Rendered by src/registry/render_registry.py from src/registry/*.py; do not edit.\n",
        "#pragma once\n\nnamespace quorvane::registry::docs {\n\n",
    ]
    for _, entries in FAMILIES:
        parts += [f"inline constexpr char {name}[] =\n    {literal(doc)};\n\n" for name, *_, doc in entries]
    parts.append("}  // namespace quorvane::registry::docs\n\n")
    parts += [x_macro(macro, entries) + "\n" for macro, entries in FAMILIES + [INTERNAL_KERNELS]]
    return "".join(parts)


def write(path, text):
    target = Path(path)
    # Unchanged output keeps its time stamp, so nothing that depends on it is redone.
    if not target.exists() or target.read_text() != text:
        target.parent.mkdir(parents=True, exist_ok=True)
        target.write_text(text)


def main(path):
    write(path, render())


if __name__ == "__main__":
    main(sys.argv[1])
