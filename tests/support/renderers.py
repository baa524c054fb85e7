"""The registry's folder (src/registry), and the build's stub renderers in it
(*_stub.py), loaded from their files: they run at build time and are not
installed with the package."""

import runpy
from pathlib import Path
from types import SimpleNamespace

REGISTRY = Path(__file__).resolve().parents[2] / "src/registry"


def renderer(name):
    return SimpleNamespace(**runpy.run_path(str(REGISTRY / f"{name}.py")))
