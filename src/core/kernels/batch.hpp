// Batch kernels of the numeric core: each routine of the Ellipsoid method table
// applied to n points at once, on strided columns of doubles.
//
// A kernel reads its inputs and writes its outputs as separate columns: element
// i of a column is the double at data + i * stride (bytes). Columns need no
// alignment and no contiguity, so an (n, 3) array, a column of a record array
// (stride 24 for LLA) or a NumPy ufunc loop argument are passed as they are; a
// stride of 0 repeats one value for every point. Each point is converted
// independently of the others, so n = 1 gives the same bits as the same point
// anywhere in a larger batch; the table's one-point routines are exactly that.
//
// Columns, inputs then outputs (angles in radians, lengths in metres, ECEF):
//   reduced_lat_from_geodetic_lat       phi -> beta
//   geodetic_lat_from_reduced_lat       beta -> phi
//   surf_normal_vector                  lat, lon -> up x, y, z
//   surf_tangent_vector                 lat, lon -> east x, y, z, north x, y, z
//   enu                                 lat, lon -> east xyz, north xyz, up xyz
//   surf_pos_from_surf_coord            lat, lon -> x, y, z
//   surf_coord_from_surf_pos            x, y, z -> lat, lon
//   solve_reduced_lat_equation          x, y, z -> beta
//   lla_from_pos                        x, y, z -> lat, lon, alt
//   pos_from_lla                        lat, lon, alt -> x, y, z
//   surf_pos_of_ray_first_intersection  origin xyz, direction xyz -> x, y, z
//   aer_coords                          target xyz, obs lat, lon, alt ->
//                                       azimuth, elevation, range
// Outputs may overlap inputs element by element (in-place calls): every input
// of a point is read before any output of it is written. A NaN result is
// always the default quiet NaN (sign and payload 0), whatever NaN went in.
//
// aer_coords forms the observer-to-target difference, the three dot products
// and the norm with the arithmetic of quorvane.mathtools.vectools, so it equals
// the table routine only while the bound vector routines are vectools' own.
//
// Kernels never allocate, never throw and need no interpreter lock; they may run
// on any number of threads at once. No Python header is involved.
#pragma once

#include <cstddef>

namespace quorvane::kernels {

struct In {
    const char *data;
    std::ptrdiff_t stride;
};

struct Out {
    char *data;
    std::ptrdiff_t stride;
};

// Re: equatorial radius (metres), f: flattening; in and out hold the columns above.
using Kernel = void (*)(double Re, double f, std::ptrdiff_t n, const In *in, const Out *out);

struct BatchKernels {
    Kernel reduced_lat_from_geodetic_lat;
    Kernel geodetic_lat_from_reduced_lat;
    Kernel surf_normal_vector;
    Kernel surf_tangent_vector;
    Kernel enu;
    Kernel surf_pos_from_surf_coord;
    Kernel surf_coord_from_surf_pos;
    Kernel solve_reduced_lat_equation;
    Kernel lla_from_pos;
    Kernel pos_from_lla;
    Kernel surf_pos_of_ray_first_intersection;
    Kernel aer_coords;
    const char *name;  // "avx2-libmvec" or "plain"
};

// The set chosen on the first call, for the life of the process: AVX2 with
// glibc's libmvec where the CPU has AVX2 and FMA and libmvec.so.1 provides every
// function, else the plain set (scalar libm per lane). The environment variable
// QUORVANE_KERNELS=plain, read on that first call, forces the plain set. Call
// it once with the interpreter lock held at start-up so that no later caller
// pays for the look-up.
const BatchKernels &kernels();

}  // namespace quorvane::kernels
