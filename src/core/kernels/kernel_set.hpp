// The public batch kernels of one instruction set together with the internal
// piece kernels that the table's composite routines run after their calls of
// other slots. A composite routine and its batch kernel compute the same lane
// formulas, so they agree bit for bit.
#pragma once

#include "batch.hpp"

namespace quorvane::kernels {

struct PieceKernels {
    // x, y -> lon, and x, y, z, beta -> alt: what lla_from_pos adds to the
    // reduced latitude of slot 8, before and after calling it.
    Kernel longitude;
    Kernel altitude;
    // alt, up xyz, surface position xyz -> x, y, z: the end of pos_from_lla.
    Kernel along_normal;
    // east, north, up, range -> azimuth, elevation, range: the end of aer_coords
    // (range passes through so that a NaN leaves as every kernel's NaN does).
    Kernel look_angles;
};

struct KernelSet {
    BatchKernels batch;
    PieceKernels pieces;
};

// Always available.
const KernelSet &plain_set();

// Only to be called once the CPU is known to have AVX2 and FMA; null when
// libmvec.so.1 or one of its functions cannot be found.
const KernelSet *avx2_set();

// The chosen set (see kernels()).
const KernelSet &active_set();

inline const PieceKernels &pieces() { return active_set().pieces; }

}  // namespace quorvane::kernels
