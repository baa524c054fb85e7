"""The build's stub renderers (src/registry/*_stub.py), loaded from their files:
they run at build time and are no part of the installed package."""

import importlib.util
from pathlib import Path

REGISTRY = Path(__file__).resolve().parents[2] / "src/registry"


def renderer(name):
    spec = importlib.util.spec_from_file_location(name, REGISTRY / f"{name}.py")
    module = importlib.util.module_from_spec(spec)
    spec.loader.exec_module(module)
    return module
