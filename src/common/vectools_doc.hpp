// The docstring of quorvane.mathtools.vectools.vectools. The ellipsoid module
// compares the module it binds its vector routines from against it, to tell
// the package's own vectools from a stand-in.
#pragma once

inline constexpr char kVectoolsDoc[] =
    "Three-vector routines for compiled callers, exported through __pyx_capi__.";
