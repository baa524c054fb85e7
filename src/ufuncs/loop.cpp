// The arguments arrive as NumPy strided columns: the point inputs, Re, f, then
// the outputs. The loop cuts the n elements into runs of one ellipsoid, all of
// n at once when Re and f are broadcast scalars (stride 0), and hands each
// run of a valid ellipsoid to the ufunc's kernel in one call.
#include "ufuncs/loop.hpp"

#include <cfenv>
#include <cstdint>
#include <cstring>
#include <limits>
#include <memory>
#include <new>

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

// The columns of one call, cut into runs of one ellipsoid; `run` converts a
// run of a valid ellipsoid and the results of an invalid one are NaN. Returns
// whether an ellipsoid was invalid.
template <class Cell, class Run>
bool for_each_run(const UfuncDescription &ufunc, char **args, std::ptrdiff_t n,
                  const npy_intp *steps, Run run)
{
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
            run(Re, f, end - start, run_in, run_out);
        } else {
            const Cell nan = std::numeric_limits<Cell>::quiet_NaN();
            for (int k = 0; k < out_columns; ++k) {
                for (std::ptrdiff_t i = 0; i < end - start; ++i) {
                    std::memcpy(run_out[k].data + i * run_out[k].stride, &nan, sizeof nan);
                }
            }
            invalid_ellipsoid = true;
        }
        start = end;
    }
    return invalid_ellipsoid;
}

// The kernels' own IEEE flags stay inside the loops: a position without a
// solution is a documented NaN result, as from the methods, and lanes that a
// branch does not use may raise flags for valid points. Only an invalid
// ellipsoid is reported, as NumPy reports sqrt(-1).
void raise_invalid_ellipsoid(bool invalid_ellipsoid)
{
    if (invalid_ellipsoid) {
        // The 'invalid' flag NumPy turns into its warning or FloatingPointError.
        std::feraiseexcept(FE_INVALID);
    }
}

}  // namespace

void strided_loop(char **args, const npy_intp *dimensions, const npy_intp *steps, void *data)
{
    const auto &ufunc = *static_cast<const UfuncDescription *>(data);
    const kernels::Kernel kernel = kernels::kernel(ufunc.id);
    std::fenv_t outside;
    std::feholdexcept(&outside);
    const bool invalid = for_each_run<double>(ufunc, args, dimensions[0], steps, kernel);
    std::fesetenv(&outside);
    raise_invalid_ellipsoid(invalid);
}

namespace {

// The float32 loop's float64 copies of a block of points: one double for each
// input that NumPy repeats (stride 0), converted once, and a column of the
// block's length for each other point input and each output column. A call
// that fits in kStackDoubles is converted on the stack; a longer one in blocks
// of kHeapDoubles (16 KiB, within the first-level cache with the kernel's
// data) from the heap, since each block costs a pass of the float64 loop
// (saving and restoring the floating-point environment takes about 160 ns).
// NumPy runs loops on threads with small stacks (32 KiB, most of which its
// generalized ufuncs take themselves), so the loop keeps to 1 KiB of buffer
// there (benchmarks/stack_use.py); should the heap fail, the stack buffer
// does all the work.
constexpr std::ptrdiff_t kStackDoubles = 128;
constexpr std::ptrdiff_t kHeapDoubles = 2048;

// The conversions are built twice, for AVX2 and for any x86-64, and the
// loader picks one for the CPU (an ifunc); AVX2 converts four values per
// instruction where SSE2 converts two, which decides for the cheaper kernels.
#define QUORVANE_CONVERSION [[gnu::target_clones("avx2", "default")]]

// Exact widening of a float32 column; the contiguous case has a loop of its
// own, with a constant step, that the compiler vectorises.
QUORVANE_CONVERSION void widen(const char *from, npy_intp step, double *to, npy_intp count)
{
    auto at = [from](npy_intp offset) {
        float value;
        std::memcpy(&value, from + offset, sizeof value);
        return static_cast<double>(value);
    };
    if (step == sizeof(float)) {
        for (npy_intp i = 0; i < count; ++i) {
            to[i] = at(i * static_cast<npy_intp>(sizeof(float)));
        }
    } else {
        for (npy_intp i = 0; i < count; ++i) {
            to[i] = at(i * step);
        }
    }
}

// Rounding of an output's `width` columns (element i of column c at
// from[c * block + i]) to float32, with the flags a cast raises (overflow for
// values beyond float32's range), as NumPy's own cast does. Contiguous
// outputs, a column or rows of three (enu's frames), have loops of their own.
QUORVANE_CONVERSION void narrow(const double *from, npy_intp block, int width, char *to,
                                npy_intp step, npy_intp core_step, npy_intp count)
{
    auto put = [to](npy_intp offset, double value) {
        const float rounded = static_cast<float>(value);
        std::memcpy(to + offset, &rounded, sizeof rounded);
    };
    constexpr npy_intp kFloat = sizeof(float);
    if (width == 3 && core_step == kFloat && step == 3 * kFloat) {
        for (npy_intp i = 0; i < count; ++i) {
            for (npy_intp c = 0; c < 3; ++c) {
                put((3 * i + c) * kFloat, from[c * block + i]);
            }
        }
        return;
    }
    for (int c = 0; c < width; ++c) {
        const double *column = from + c * block;
        if (step == kFloat) {
            for (npy_intp i = 0; i < count; ++i) {
                put(c * core_step + i * kFloat, column[i]);
            }
        } else {
            for (npy_intp i = 0; i < count; ++i) {
                put(c * core_step + i * step, column[i]);
            }
        }
    }
}

// Asks for the cache lines of `count` elements of a column, so that they
// arrive while the kernel computes instead of stalling the conversions.
void prefetch(const char *from, npy_intp step, npy_intp count, bool for_writing)
{
    constexpr npy_intp kLine = 64;
    const npy_intp reach = step * (count - 1);
    const char *low = step < 0 ? from + reach : from;
    const npy_intp span = (step < 0 ? -reach : reach) + static_cast<npy_intp>(sizeof(float));
    const npy_intp stride = step >= -kLine && step <= kLine ? kLine : (step < 0 ? -step : step);
    for (npy_intp offset = 0; offset < span; offset += stride) {
        if (for_writing) {
            __builtin_prefetch(low + offset, 1);
        } else {
            __builtin_prefetch(low + offset, 0);
        }
    }
}

// The float32 loop's arguments, as NumPy passes them.
struct Float32Call {
    const UfuncDescription &ufunc;
    char **args;
    const npy_intp *steps;
};

// The float64 loop's arguments for one block: pointers into the buffer, then
// the outer steps, then the outputs' core steps; `size` points per block.
struct Block {
    char *args[kMaxIn + 2 + kMaxOutColumns];
    npy_intp steps[kMaxIn + 2 + 2 * kMaxOutColumns];
    npy_intp size;
};

int repeated_inputs(const npy_intp *steps, int nin)
{
    int repeated = 0;
    for (int k = 0; k < nin; ++k) {
        repeated += steps[k] == 0;
    }
    return repeated;
}

// The buffer from `free_slot` on: the repeated inputs first, each converted
// here once, then a column of block.size for each other input and each
// output column.
void lay_out(const Float32Call &call, double *free_slot, Block &block)
{
    const UfuncDescription &ufunc = call.ufunc;
    const int nin_all = ufunc.ufunc_nin();
    // A repeated input stays repeated (stride 0), so that a kernel still sees
    // one observer for the whole block, as it would in float64.
    for (int k = 0; k < ufunc.nin; ++k) {
        if (call.steps[k] == 0) {
            widen(call.args[k], 0, free_slot, 1);
            block.args[k] = reinterpret_cast<char *>(free_slot++);
            block.steps[k] = 0;
        }
    }
    for (int k = 0; k < ufunc.nin; ++k) {
        if (call.steps[k] != 0) {
            block.args[k] = reinterpret_cast<char *>(free_slot);
            block.steps[k] = sizeof(double);
            free_slot += block.size;
        }
    }
    // Re and f are float64 columns already and go to the kernel as they are.
    for (int k = ufunc.nin; k < nin_all; ++k) {
        block.steps[k] = call.steps[k];
    }
    for (int k = 0; k < ufunc.nout; ++k) {
        // Output k's columns follow each other: element i of column c at
        // block.args[nin_all + k] + (c * block.size + i) doubles.
        block.args[nin_all + k] = reinterpret_cast<char *>(free_slot);
        block.steps[nin_all + k] = sizeof(double);
        block.steps[ufunc.nargs() + k] = block.size * static_cast<npy_intp>(sizeof(double));
        free_slot += ufunc.out_width * block.size;
    }
}

// The block's `count` points from `start`: the point inputs converted into
// the buffer, Re and f pointed at where they are.
void load_block(const Float32Call &call, std::ptrdiff_t start, npy_intp count, Block &block)
{
    const int nin = call.ufunc.nin;
    for (int k = 0; k < nin; ++k) {
        if (call.steps[k] != 0) {
            widen(call.args[k] + start * call.steps[k], call.steps[k],
                  reinterpret_cast<double *>(block.args[k]), count);
        }
    }
    for (int k = nin; k < call.ufunc.ufunc_nin(); ++k) {
        block.args[k] = call.args[k] + start * call.steps[k];
    }
}

void prefetch_inputs(const Float32Call &call, std::ptrdiff_t start, npy_intp count)
{
    for (int k = 0; k < call.ufunc.nin; ++k) {
        if (call.steps[k] != 0) {
            prefetch(call.args[k] + start * call.steps[k], call.steps[k], count, false);
        }
    }
}

void prefetch_outputs(const Float32Call &call, std::ptrdiff_t start, npy_intp count)
{
    const UfuncDescription &ufunc = call.ufunc;
    const int nin_all = ufunc.ufunc_nin();
    for (int k = 0; k < ufunc.nout; ++k) {
        const npy_intp core_step = ufunc.out_width > 1 ? call.steps[ufunc.nargs() + k] : 0;
        for (int c = 0; c < ufunc.out_width; ++c) {
            prefetch(call.args[nin_all + k] + start * call.steps[nin_all + k] + c * core_step,
                     call.steps[nin_all + k], count, true);
        }
    }
}

void store_block(const Float32Call &call, std::ptrdiff_t start, npy_intp count, const Block &block)
{
    const UfuncDescription &ufunc = call.ufunc;
    const int nin_all = ufunc.ufunc_nin();
    for (int k = 0; k < ufunc.nout; ++k) {
        const npy_intp core_step = ufunc.out_width > 1 ? call.steps[ufunc.nargs() + k] : 0;
        narrow(reinterpret_cast<const double *>(block.args[nin_all + k]), block.size,
               ufunc.out_width, call.args[nin_all + k] + start * call.steps[nin_all + k],
               call.steps[nin_all + k], core_step, count);
    }
}

// A kernel that reads and writes the float32 columns themselves: no copies,
// and no pass over memory that computes nothing.
void native_float32_loop(const UfuncDescription &ufunc, kernels::Float32Kernel kernel, char **args,
                         std::ptrdiff_t n, const npy_intp *steps)
{
    kernels::Rounding rounding;
    std::fenv_t outside;
    std::feholdexcept(&outside);
    const bool invalid =
        for_each_run<float>(ufunc, args, n, steps,
                            [&](double Re, double f, std::ptrdiff_t count, const In *in,
                                const Out *out) { rounding.merge(kernel(Re, f, count, in, out)); });
    std::fesetenv(&outside);
    // Rounded again here, where the flags count, the two magnitudes raise
    // the overflow and underflow of NumPy's own cast of the results.
    volatile float rounded = static_cast<float>(rounding.largest);
    rounded = static_cast<float>(rounding.smallest_inexact);
    (void)rounded;
    raise_invalid_ellipsoid(invalid);
}

}  // namespace

void float32_loop(char **args, const npy_intp *dimensions, const npy_intp *steps, void *data)
{
    const auto &ufunc = *static_cast<const UfuncDescription *>(data);
    if (const kernels::Float32Kernel kernel = kernels::float32_kernel(ufunc.id)) {
        native_float32_loop(ufunc, kernel, args, dimensions[0], steps);
        return;
    }
    const Float32Call call{ufunc, args, steps};
    const std::ptrdiff_t n = dimensions[0];
    const int repeated = repeated_inputs(steps, call.ufunc.nin);
    const int columns = call.ufunc.nin - repeated + call.ufunc.out_columns();
    double stack_buffer[kStackDoubles];
    std::unique_ptr<double[]> heap_buffer;
    double *buffer = stack_buffer;
    std::ptrdiff_t capacity = kStackDoubles;
    if (n > (kStackDoubles - repeated) / columns) {
        heap_buffer.reset(new (std::nothrow) double[kHeapDoubles]);
        if (heap_buffer) {
            buffer = heap_buffer.get();
            capacity = kHeapDoubles;
        }
    }
    Block block;
    block.size = (capacity - repeated) / columns;
    lay_out(call, buffer, block);
    for (std::ptrdiff_t start = 0; start < n; start += block.size) {
        const npy_intp count = n - start < block.size ? n - start : block.size;
        load_block(call, start, count, block);
        const npy_intp next = n - start - count < block.size ? n - start - count : block.size;
        if (next > 0) {
            prefetch_inputs(call, start + count, next);
        }
        prefetch_outputs(call, start, count);
        strided_loop(block.args, &count, block.steps, data);
        store_block(call, start, count, block);
    }
}

}  // namespace quorvane::ufuncs
