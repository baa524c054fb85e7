// The arguments arrive as NumPy strided columns: the point inputs, Re, f, then
// the outputs. The loop cuts the n elements into runs of one ellipsoid, all of
// n at once when Re and f are broadcast scalars (stride 0), and hands each
// run of a valid ellipsoid to the ufunc's kernel in one call.
#include "ufuncs/loop.hpp"

#include <cfenv>
#include <cstdint>
#include <cstring>
#include <limits>

#include "core/kernels/ellipsoid_params.hpp"
#include "core/kernels/kernel_set.hpp"
#include "ufuncs/descriptions.hpp"

namespace quorvane::ufuncs {

namespace {

// Bit patterns, so that a run of NaN parameters stays one run and no
// comparison touches the floating-point flags.
std::uint64_t bits_at(const In &column, std::ptrdiff_t i)
{
    std::uint64_t bits;
    std::memcpy(&bits, column.data + i * column.stride, sizeof bits);
    return bits;
}

// The end of the run of elements from `start` with the same Re and f.
std::ptrdiff_t run_end(const In &Re, const In &f, std::ptrdiff_t start, std::ptrdiff_t n)
{
    if (Re.stride == 0 && f.stride == 0) {
        return n;
    }
    const std::uint64_t Re_bits = bits_at(Re, start);
    const std::uint64_t f_bits = bits_at(f, start);
    std::ptrdiff_t end = start + 1;
    while (end < n && bits_at(Re, end) == Re_bits && bits_at(f, end) == f_bits) {
        ++end;
    }
    return end;
}

}  // namespace

void strided_loop(char **args, const npy_intp *dimensions, const npy_intp *steps, void *data)
{
    const auto &ufunc = *static_cast<const UfuncDescription *>(data);
    const std::ptrdiff_t n = dimensions[0];
    In in[kMaxIn];
    for (int k = 0; k < ufunc.nin; ++k) {
        in[k] = In{args[k], steps[k]};
    }
    // An ellipsoid-free conversion reads no Re and f: one run of a stand-in
    // sphere that its kernel ignores.
    const double unit_sphere[2] = {1.0, 0.0};
    const In Re_column = ufunc.ellipsoid ? In{args[ufunc.nin], steps[ufunc.nin]}
                                         : In{reinterpret_cast<const char *>(&unit_sphere[0]), 0};
    const In f_column = ufunc.ellipsoid ? In{args[ufunc.nin + 1], steps[ufunc.nin + 1]}
                                        : In{reinterpret_cast<const char *>(&unit_sphere[1]), 0};
    // A core dimension (3) is three columns; its step follows the outer
    // steps of all arguments, the inputs having no core dimension.
    Out out[kMaxOutColumns];
    for (int k = 0; k < ufunc.nout; ++k) {
        const int arg = ufunc.ufunc_nin() + k;
        const npy_intp core_step = ufunc.out_width > 1 ? steps[ufunc.nargs() + k] : 0;
        for (int c = 0; c < ufunc.out_width; ++c) {
            out[k * ufunc.out_width + c] = Out{args[arg] + c * core_step, steps[arg]};
        }
    }

    const int out_columns = ufunc.out_columns();
    // The kernels' own IEEE flags stay inside the loop: a position without a
    // solution is a documented NaN result, as from the methods, and lanes that
    // a branch does not use may raise flags for valid points. Only an invalid
    // ellipsoid is reported, as NumPy reports sqrt(-1).
    std::fenv_t outside;
    std::feholdexcept(&outside);
    bool invalid_ellipsoid = false;
    std::ptrdiff_t start = 0;
    while (start < n) {
        const std::ptrdiff_t end = run_end(Re_column, f_column, start, n);
        In run_in[kMaxIn];
        Out run_out[kMaxOutColumns];
        for (int k = 0; k < ufunc.nin; ++k) {
            run_in[k] = In{in[k].data + start * in[k].stride, in[k].stride};
        }
        for (int k = 0; k < out_columns; ++k) {
            run_out[k] = Out{out[k].data + start * out[k].stride, out[k].stride};
        }
        const double Re = load(Re_column, start);
        const double f = load(f_column, start);
        if (kernels::valid_ellipsoid(Re, f)) {
            kernels::kernel(ufunc.id)(Re, f, end - start, run_in, run_out);
        } else {
            const double nan = std::numeric_limits<double>::quiet_NaN();
            for (int k = 0; k < out_columns; ++k) {
                for (std::ptrdiff_t i = 0; i < end - start; ++i) {
                    store(run_out[k], i, nan);
                }
            }
            invalid_ellipsoid = true;
        }
        start = end;
    }
    std::fesetenv(&outside);
    if (invalid_ellipsoid) {
        // The 'invalid' flag NumPy turns into its warning or FloatingPointError.
        std::feraiseexcept(FE_INVALID);
    }
}

namespace {

// Points per block of the float32 loop: its float64 copies stay on the stack
// (at most 9 output and 8 input columns of 256 doubles, 34 KiB).
constexpr std::ptrdiff_t kBlock = 256;

}  // namespace

void float32_loop(char **args, const npy_intp *dimensions, const npy_intp *steps, void *data)
{
    const auto &ufunc = *static_cast<const UfuncDescription *>(data);
    const std::ptrdiff_t n = dimensions[0];
    const int nin = ufunc.nin;
    const int nin_all = ufunc.ufunc_nin();
    const int width = ufunc.out_width;
    double in[kMaxIn + 2][kBlock];
    double out[kMaxOutColumns][kBlock];
    char *block_args[kMaxIn + 2 + 3];
    npy_intp block_steps[kMaxIn + 2 + 3 + 3];
    for (int k = 0; k < nin_all; ++k) {
        block_args[k] = reinterpret_cast<char *>(in[k]);
        block_steps[k] = sizeof(double);
    }
    for (int k = 0; k < ufunc.nout; ++k) {
        // Output k's columns are consecutive rows of `out`: element i of
        // column c at out[k * width + c][i].
        block_args[nin_all + k] = reinterpret_cast<char *>(out[k * width]);
        block_steps[nin_all + k] = sizeof(double);
        block_steps[ufunc.nargs() + k] = kBlock * sizeof(double);
    }
    for (std::ptrdiff_t start = 0; start < n; start += kBlock) {
        const npy_intp count = n - start < kBlock ? n - start : kBlock;
        for (int k = 0; k < nin; ++k) {
            for (npy_intp i = 0; i < count; ++i) {
                float value;
                std::memcpy(&value, args[k] + (start + i) * steps[k], sizeof value);
                in[k][i] = value;
            }
        }
        for (int k = nin; k < nin_all; ++k) {
            for (npy_intp i = 0; i < count; ++i) {
                in[k][i] = load(In{args[k], steps[k]}, start + i);
            }
        }
        strided_loop(block_args, &count, block_steps, data);
        for (int k = 0; k < ufunc.nout; ++k) {
            const npy_intp core_step = width > 1 ? steps[ufunc.nargs() + k] : 0;
            char *base = args[nin_all + k] + start * steps[nin_all + k];
            for (int c = 0; c < width; ++c) {
                for (npy_intp i = 0; i < count; ++i) {
                    const float value = static_cast<float>(out[k * width + c][i]);
                    std::memcpy(base + i * steps[nin_all + k] + c * core_step, &value, sizeof value);
                }
            }
        }
    }
}

}  // namespace quorvane::ufuncs
