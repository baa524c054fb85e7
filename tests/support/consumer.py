"""Build the test-only consumer extension (consumer.cpp), a compiled caller of the
Ellipsoid method table, and call its routines by slot name."""

import importlib.util
import os
import re
import shlex
import subprocess
import sysconfig
from pathlib import Path

import numpy

from quorvane.mathtools.ellipsoid import get_include

from .methods import METHODS

SOURCE = Path(__file__).with_name("consumer.cpp")
HEADER = Path(get_include()) / "quorvane" / "mathtools" / "ellipsoid" / "ellipsoid.h"
NAME = "quorvane_consumer"


def table_slots(header=HEADER):
    """The routine names of Ellipsoid_MethodTable, in the header's (the table's) order."""
    text = re.sub(r"/\*.*?\*/", "", header.read_text(), flags=re.S)
    body = re.search(r"typedef struct Ellipsoid_MethodTable\s*\{(.*?)\}\s*Ellipsoid_MethodTable;", text, re.S)
    return tuple(re.findall(r"\(\s*\*\s*(\w+)\s*\)\s*\(", body.group(1)))


SLOTS = table_slots()
# The consumer's C++ side numbers the slots from 1 in table order.
_INDEX = {name: k for k, name in enumerate(SLOTS, 1)}
# The routine behind each vectorised method is the slot named after it.
METHOD_SLOTS = {method: f"c_{method}" for method in METHODS}


def compiler():
    """The C++ compiler to use, as CMake would pick it: $CXX, else the one Python was built with."""
    return shlex.split(os.environ.get("CXX") or sysconfig.get_config_var("CXX") or "c++")


class Consumer:
    """The compiled module's functions, taking slot names instead of slot numbers.

    ``bare_<method>(e, *arrays)`` runs each vectorised method's routine over arrays in
    a GIL-free loop; ``build_log`` holds the compiler's diagnostics.
    """

    def __init__(self, module, build_log):
        self.module, self.build_log, self.SENTINEL = module, build_log, module.SENTINEL
        for method, slot in METHOD_SLOTS.items():
            setattr(self, "bare_" + method, self._bare_alias(slot))

    def call(self, e, slot, inputs, foreign_thread=False):
        return self.module.call(e, _INDEX[slot], inputs, foreign_thread)

    def bare(self, e, slot, nthreads, *arrays):
        return self.module.bare(e, _INDEX[slot], nthreads, *arrays)

    def derived(self, e, slot, replaced, mode, inputs):
        return self.module.derived(e, _INDEX[slot], _INDEX[replaced], mode, inputs)

    def table_info(self, e):
        return self.module.table_info(e)

    def layout(self):
        return self.module.layout()

    def batch_info(self):
        return self.module.batch_info()

    def find_kernel(self, name):
        return self.module.find_kernel(name)

    def batch(self, name, Re, f, inputs, outputs, nthreads=1):
        return self.module.batch(name, Re, f, nthreads, tuple(inputs), tuple(outputs))

    def _bare_alias(self, slot):
        def bare(e, *arrays):
            if slot == "c_surf_pos_of_ray_first_intersection":  # the ray origin (3,) is shared by every direction
                r_source, u_ray = (numpy.asarray(a, dtype=float) for a in arrays)
                arrays = (numpy.broadcast_to(r_source, u_ray.shape), u_ray)
            return self.bare(e, slot, 0, *arrays)

        return bare


def build_extension(tmpdir, source, name):
    """Compile the C++ extension `source` (module `name`) into tmpdir and import it;
    returns the module and the compiler's diagnostics."""
    tmpdir = Path(tmpdir)
    target = tmpdir / (name + sysconfig.get_config_var("EXT_SUFFIX"))
    cmd = [
        *compiler(), "-O2", "-shared", *shlex.split(sysconfig.get_config_var("CCSHARED") or "-fPIC"), "-std=c++17",
        "-Wall", "-Wextra", "-pthread",
        "-I" + sysconfig.get_paths()["include"], "-I" + get_include(), "-I" + numpy.get_include(),
        str(source), "-o", str(target),
    ]
    proc = subprocess.run(cmd, capture_output=True, text=True)
    if proc.returncode != 0:
        raise RuntimeError(f"building {name} failed:\n{' '.join(cmd)}\n{proc.stderr}")
    module_spec = importlib.util.spec_from_file_location(name, target)
    module = importlib.util.module_from_spec(module_spec)
    module_spec.loader.exec_module(module)
    return module, proc.stderr


def build_consumer(tmpdir):
    """Compile consumer.cpp into tmpdir and import it, as a Consumer."""
    missing = [slot for slot in METHOD_SLOTS.values() if slot not in _INDEX]
    if missing:
        raise RuntimeError(f"methods without a table slot of their name: {missing}")
    return Consumer(*build_extension(tmpdir, SOURCE, NAME))


def build_memory_handler(tmpdir):
    """Compile memory_handler.cpp, a counting NumPy memory handler, into tmpdir and import it."""
    module, _ = build_extension(tmpdir, SOURCE.with_name("memory_handler.cpp"), "quorvane_memory_handler")
    return module
