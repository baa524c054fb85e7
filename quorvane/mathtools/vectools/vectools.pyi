from typing_extensions import CapsuleType

# Routine name to capsule; each capsule's name is the routine's C signature
# (vectools.h, vectools.pxd). Nothing here is callable from Python.
__pyx_capi__: dict[str, CapsuleType]
