"""A clear error for a compiled module that the imported package does not hold.

Python run from the repository's root (or with it on sys.path) imports the package
from the source folder ``quorvane/``, which has the Python files and headers but none
of the compiled modules the build makes. The import system's own error names only the
missing module; this finder, last on ``sys.meta_path`` and so asked only after every
other finder came back empty, says why and what to do.
"""

from __future__ import annotations

import importlib.abc
import os
import sys
from collections.abc import Sequence
from importlib.machinery import ModuleSpec
from types import ModuleType

COMPILED = (
    "quorvane.mathtools.ellipsoid.ellipsoid",
    "quorvane.mathtools.ellipsoid.ufuncs",
    "quorvane.mathtools.vectools.vectools",
)

EDITABLE = "pip install --no-build-isolation -Ceditable.rebuild=true -Cbuild-dir=build/editable -e ."


class MissingCompiledModule(importlib.abc.MetaPathFinder):
    def find_spec(
        self, fullname: str, path: Sequence[str] | None, target: ModuleType | None = None
    ) -> ModuleSpec | None:
        if fullname not in COMPILED:
            return None
        package = sys.modules.get(fullname.rpartition(".")[0])
        folder = os.path.dirname(os.path.abspath(getattr(package, "__file__", None) or "."))
        # the folder that holds quorvane/, three levels above the module's package
        root = os.path.dirname(os.path.dirname(os.path.dirname(folder)))
        if os.path.isfile(os.path.join(root, "pyproject.toml")):
            reason = (
                f"Python imported the package from its source tree {root} (through the "
                "current directory or sys.path) instead of the installed package, and the "
                "source tree holds no compiled modules. Run Python from another directory "
                f"(or with -P), or install the source tree in editable mode: {EDITABLE}"
            )
        else:
            reason = f"the package in {folder} was installed without its compiled modules; reinstall it"
        # ImportError, not ModuleNotFoundError: "from package import module" passes over
        # the latter when it names the module, and reports "cannot import name" instead.
        raise ImportError(f"No module named {fullname!r}: {reason}", name=fullname)


def install() -> None:
    """Puts the finder last on sys.meta_path, once."""
    if not any(isinstance(finder, MissingCompiledModule) for finder in sys.meta_path):
        sys.meta_path.append(MissingCompiledModule())
