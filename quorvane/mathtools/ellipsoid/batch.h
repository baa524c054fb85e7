/*
 * Batch kernels of quorvane.mathtools.ellipsoid: every conversion over n
 * points at once, on strided columns of doubles. These are the functions the
 * methods and the ufuncs of the package run, so they give the same bits.
 *
 * A column is a base address and a stride in bytes: element i is the double
 * at data + i * stride. Columns need no alignment and no contiguity; a stride
 * of 0 repeats one value for every point (an observer shared by all targets,
 * say). A kernel reads the input columns listed in its `columns` string before
 * the arrow, in that order, Re and f excepted (they are the first two
 * arguments), and writes the output columns after it; an output `name[3]` is
 * three consecutive columns (x, y, z). Angles are radians, lengths metres,
 * positions ECEF. Every input of a point is read before any output of it is
 * written, so outputs may overlap inputs element by element.
 *
 * Kernels need no interpreter lock, allocate nothing, raise nothing and keep
 * no state: call them from any number of threads at once. A position without
 * a solution gives NaN as the methods do; every NaN result is the default
 * quiet NaN. An invalid ellipsoid (Re not finite and > 0, or f not in [0, 1))
 * gives NaN in every output, as the ufuncs do (without their floating-point
 * error); kernels whose columns do not list Re and f ignore both.
 *
 * This header needs no Python headers; ellipsoid.h includes it and finds the
 * table (Ellipsoid_ImportBatchAPI).
 */
#ifndef QUORVANE_MATHTOOLS_ELLIPSOID_BATCH_H
#define QUORVANE_MATHTOOLS_ELLIPSOID_BATCH_H

#include <stddef.h>
#include <string.h>

#ifdef __cplusplus
extern "C" {
#endif

/* An input column and an output column. */
typedef struct QV_In {
    const char *data;
    ptrdiff_t stride; /* bytes */
} QV_In;

typedef struct QV_Out {
    char *data;
    ptrdiff_t stride; /* bytes */
} QV_Out;

/* Converts points 0 .. n-1: in[k] is the k-th input column, out[j] the j-th
 * output column. */
typedef void (*QV_KernelFunction)(double Re, double f, ptrdiff_t n, const QV_In *in,
                                  const QV_Out *out);

typedef struct QV_Kernel {
    const char *name;    /* the conversion: its ufunc's (and method's) name */
    const char *columns; /* e.g. "x:m y:m z:m Re:m f:1 -> lat:rad lon:rad alt:m" */
    int point_inputs;    /* input columns, Re and f not counted */
    int output_columns;  /* output columns, three per name[3] */
    QV_KernelFunction run;
} QV_Kernel;

#define QV_BATCH_API_VERSION 1

typedef struct QV_BatchAPI {
    unsigned int version; /* QV_BATCH_API_VERSION of the build that made it */
    unsigned int size;    /* sizeof(QV_BatchAPI) of that build; later fields only grow it */
    int count;            /* entries of `kernels` */
    const QV_Kernel *kernels;
    const char *kernel_set; /* "avx2-libmvec" or "plain": the functions the kernels use */
} QV_BatchAPI;

/* The kernel of the conversion `name`, or NULL. */
static inline const QV_Kernel *QV_FindKernel(const QV_BatchAPI *api, const char *name)
{
    for (int k = 0; k < api->count; ++k) {
        if (strcmp(api->kernels[k].name, name) == 0) {
            return &api->kernels[k];
        }
    }
    return NULL;
}

#ifdef __cplusplus
}
#endif

#endif /* QUORVANE_MATHTOOLS_ELLIPSOID_BATCH_H */
