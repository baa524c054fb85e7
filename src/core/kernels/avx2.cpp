// The AVX2 kernel set: glibc's libmvec 4-lane functions (_ZGVdN4v_*), looked up
// at run time. libmvec cannot be linked into the extension statically (its
// archive is not position independent), and a run-time look-up leaves the
// plain set to systems without it. Built with -mavx2 -mfma; select.cpp calls in
// here only once the CPU is known to have both.
//
// sin and cos are taken separately, never libmvec's sincos: its 4-lane sincos
// differs from its own 4-lane sin on about 7 % of arguments, and every caller
// of a sine must see the same one. glibc documents each of these functions to
// within 4 ulp; the accuracy bounds of the conversions hold with them.
#include <dlfcn.h>
#include <immintrin.h>

#define QUORVANE_KERNEL_LANES 4

#include "core/kernels/kernel_bodies.hpp"

namespace quorvane::kernels {

namespace {

using Unary = dv (*)(dv);
using Binary = dv (*)(dv, dv);

// Written once by avx2_set() before the set is published, read-only after.
struct Libmvec {
    Unary sin, cos, tan, atan, asin, sinh, asinh, atanh;
    Binary atan2;
};

Libmvec libmvec;

// The libmvec functions as the compiler may treat them: each result depends
// on the arguments alone (libmvec is written before any kernel runs and never
// after), so a body that takes the sine of one vector twice, as pos_from_lla's
// surface point and normal do with the longitude, makes one call. Out of line,
// as a tail call through the pointer: inlined, the attribute would be lost
// with the call it describes.
#define QV_LIBMVEC [[gnu::const, gnu::noinline]] static

struct Avx2 {
    QV_INLINE static dv sqrt(dv a) { return _mm256_sqrt_pd(a); }
    QV_LIBMVEC dv sin(dv a) { return libmvec.sin(a); }
    QV_LIBMVEC dv cos(dv a) { return libmvec.cos(a); }
    QV_LIBMVEC dv tan(dv a) { return libmvec.tan(a); }
    QV_LIBMVEC dv atan(dv a) { return libmvec.atan(a); }
    QV_LIBMVEC dv asin(dv a) { return libmvec.asin(a); }
    QV_LIBMVEC dv sinh(dv a) { return libmvec.sinh(a); }
    QV_LIBMVEC dv asinh(dv a) { return libmvec.asinh(a); }
    QV_LIBMVEC dv atanh(dv a) { return libmvec.atanh(a); }
    QV_LIBMVEC dv atan2(dv y, dv x) { return libmvec.atan2(y, x); }
};

#undef QV_LIBMVEC

constexpr KernelSet kAvx2 = make_set<Avx2>("avx2-libmvec");

template <class F>
bool look_up(void *library, const char *symbol, F *function)
{
    void *address = dlsym(library, symbol);
    *function = reinterpret_cast<F>(address);
    return address != nullptr;
}

bool load_libmvec()
{
    // Never closed: the functions stay in use for the life of the process.
    void *library = dlopen("libmvec.so.1", RTLD_NOW | RTLD_LOCAL);
    if (library == nullptr) {
        return false;
    }
    Libmvec found;
    const bool complete = look_up(library, "_ZGVdN4v_sin", &found.sin) &&
                          look_up(library, "_ZGVdN4v_cos", &found.cos) &&
                          look_up(library, "_ZGVdN4v_tan", &found.tan) &&
                          look_up(library, "_ZGVdN4v_atan", &found.atan) &&
                          look_up(library, "_ZGVdN4v_asin", &found.asin) &&
                          look_up(library, "_ZGVdN4v_sinh", &found.sinh) &&
                          look_up(library, "_ZGVdN4v_asinh", &found.asinh) &&
                          look_up(library, "_ZGVdN4v_atanh", &found.atanh) &&
                          look_up(library, "_ZGVdN4vv_atan2", &found.atan2);
    if (complete) {
        libmvec = found;
    }
    return complete;
}

}  // namespace

const KernelSet *avx2_set()
{
    // Runs once, under the guard of active_set()'s static initialisation.
    return load_libmvec() ? &kAvx2 : nullptr;
}

}  // namespace quorvane::kernels
