/*
 * C-level three-vector routines exported by quorvane.mathtools.vectools.vectools.
 *
 * The module publishes each routine as a capsule in its dict __pyx_capi__,
 * keyed by the routine's name; the capsule's name is the signature string
 * below, byte for byte, and its pointer is the routine's address. A consumer
 * binds a routine by checking the capsule name against the string it expects.
 *
 * All five are stateless and need no interpreter lock. A three-vector is the
 * address of three consecutive doubles (x, y, z).
 */
#ifndef QUORVANE_MATHTOOLS_VECTOOLS_H
#define QUORVANE_MATHTOOLS_VECTOOLS_H

#ifdef __cplusplus
extern "C" {
#endif

/* out = s * a */
typedef void (*vectools_scale_t)(double const, double *, double *);
/* out = a + b */
typedef void (*vectools_add_t)(double *, double *, double *);
/* out = a - b; only out is written */
typedef void (*vectools_sub_t)(double *, double *, double *);
/* a . b; neither argument is written */
typedef double (*vectools_dot_t)(double *, double *);
/* sqrt(a . a); the argument is not written */
typedef double (*vectools_norm_t)(double *);

#define VECTOOLS_SCALE_SIGNATURE "void (double const , double *, double *)"
#define VECTOOLS_ADD_SIGNATURE "void (double *, double *, double *)"
#define VECTOOLS_SUB_SIGNATURE "void (double *, double *, double *)"
#define VECTOOLS_DOT_SIGNATURE "double (double *, double *)"
#define VECTOOLS_NORM_SIGNATURE "double (double *)"

#ifdef __cplusplus
}
#endif

#endif /* QUORVANE_MATHTOOLS_VECTOOLS_H */
