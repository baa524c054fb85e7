# The five three-vector routines of quorvane.mathtools.vectools.vectools.
# `cimport` binds each from the module's __pyx_capi__ by comparing the
# capsule's name with the signature string Cython derives from these
# declarations, so parameter types and const placement follow vectools.h
# exactly. All five are stateless and need no interpreter lock.

cdef void scale(const double s, double *a, double *out) noexcept nogil
cdef void add(double *a, double *b, double *out) noexcept nogil
cdef void sub(double *a, double *b, double *out) noexcept nogil
cdef double dot(double *a, double *b) noexcept nogil
cdef double norm(double *a) noexcept nogil
