"""Build the test-only consumer extension, a compiled caller of the Ellipsoid method table."""

import importlib.util
import subprocess
import sys
import sysconfig
from pathlib import Path

import numpy

from quorvane.mathtools.ellipsoid import get_include

SOURCE = Path(__file__).with_name("consumer.cpp")
NAME = "quorvane_consumer"

# Table slot of the routine behind each vectorised method.
SLOTS = {
    "reduced_lat_from_geodetic_lat": 1,
    "geodetic_lat_from_reduced_lat": 2,
    "enu": 5,
    "surf_pos_from_surf_coord": 6,
    "surf_coord_from_surf_pos": 7,
    "solve_reduced_lat_equation": 8,
    "lla_from_pos": 9,
    "pos_from_lla": 10,
    "surf_pos_of_ray_first_intersection": 11,
    "aer_coords": 12,
}


def _bare_alias(module, slot):
    def bare(e, *arrays):
        if slot == 11:  # the ray origin (3,) is shared by every direction
            r_source, u_ray = (numpy.asarray(a, dtype=float) for a in arrays)
            arrays = (numpy.broadcast_to(r_source, u_ray.shape), u_ray)
        return module.bare(e, slot, 0, *arrays)

    return bare


def build_consumer(tmpdir):
    """Compile consumer.cpp into tmpdir with the system C++ compiler and import it.

    Besides the compiled functions, the module gets ``bare_<method>(e, *arrays)``
    for each vectorised method (its routine over arrays in a GIL-free loop),
    ``SLOTS`` and ``build_log`` (the compiler's diagnostics).
    """
    tmpdir = Path(tmpdir)
    target = tmpdir / (NAME + sysconfig.get_config_var("EXT_SUFFIX"))
    cmd = [
        "g++", "-O2", "-shared", "-fPIC", "-std=c++17", "-Wall", "-Wextra", "-pthread",
        "-I" + sysconfig.get_paths()["include"], "-I" + get_include(), "-I" + numpy.get_include(),
        str(SOURCE), "-o", str(target),
    ]
    proc = subprocess.run(cmd, capture_output=True, text=True)
    if proc.returncode != 0:
        raise RuntimeError(f"building the consumer failed:\n{' '.join(cmd)}\n{proc.stderr}")
    module_spec = importlib.util.spec_from_file_location(NAME, target)
    module = importlib.util.module_from_spec(module_spec)
    module_spec.loader.exec_module(module)
    sys.modules.setdefault(NAME, module)
    module.build_log = proc.stderr
    module.SLOTS = dict(SLOTS)
    for name, slot in SLOTS.items():
        setattr(module, "bare_" + name, _bare_alias(module, slot))
    return module
