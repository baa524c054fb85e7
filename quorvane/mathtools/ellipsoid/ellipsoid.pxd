# Cython declaration of quorvane.mathtools.ellipsoid.ellipsoid.Ellipsoid, the
# object record and method table of ellipsoid.h.
#
# The type is implemented in C++, yet it is declared here as an ordinary
# `cdef class` rather than an extern `ctypedef class`: Cython rejects C methods
# on extern classes, and only a `cdef class` gets a method table that a
# cimporting module reads from the type's `__pyx_vtable__` capsule and that a
# Cython subclass copies and overrides. Cython lays the instance out as
# PyObject_HEAD, the table pointer, then the fields in declaration order, which
# is the C record `Ellipsoid` (its `vtab` is Cython's implicit table pointer, so
# it is not declared again; `readonly` because the object is immutable). The
# table's entries follow the `cdef` methods in declaration order, which is the
# slot order of `Ellipsoid_MethodTable`; keep both in step with the header.
#
# Every routine reads only Re and f and its arguments and raises nothing, so
# all are `noexcept nogil`. Angles are radians, lengths metres; a three-vector
# is the address of three consecutive doubles (x, y, z).
#
# A subclass may replace any routine. The composite routines reach the slots
# they build on (noted at each) through the table, so they take up a
# replacement; the latitude conversions of slots 1 and 2 are called directly
# inside the other routines, so replacing those changes only calls made
# through the table. The inherited constructor takes exactly (Re, f).

from quorvane.datamodel.structured cimport AER, ENU_Frame, LLA, SurfCoord


cdef class Ellipsoid:
    cdef readonly double Re  # equatorial radius, metres
    cdef readonly double f   # flattening
    cdef readonly double Rp  # polar radius, metres: (1 - f) * Re

    # 1: beta = atan((1 - f) * tan(geodetic_lat)), in [-pi/2, pi/2]
    cdef double c_reduced_lat_from_geodetic_lat(self, double geodetic_lat) noexcept nogil
    # 2: phi = atan(tan(reduced_lat) / (1 - f)), in [-pi/2, pi/2]
    cdef double c_geodetic_lat_from_reduced_lat(self, double reduced_lat) noexcept nogil
    # 3: outward unit normal at the surface point
    cdef void surf_normal_vector(self, SurfCoord point, double *u_normal) noexcept nogil
    # 4: unit tangents towards east and north at the surface point
    cdef void surf_tangent_vector(self, SurfCoord point, double *u_east,
                                  double *u_north) noexcept nogil
    # 5: the east-north-up frame at the surface point; uses slots 3 and 4
    cdef void c_enu(self, SurfCoord point, ENU_Frame *enu) noexcept nogil
    # 6: ECEF position of the surface point
    cdef void c_surf_pos_from_surf_coord(self, SurfCoord point, double *r_surf) noexcept nogil
    # 7: latitude and longitude of a point assumed to lie on the surface
    cdef void c_surf_coord_from_surf_pos(self, const double *r_surf,
                                         SurfCoord *point) noexcept nogil
    # 8: reduced latitude of the foot of the surface normal through r
    cdef double c_solve_reduced_lat_equation(self, const double *r) noexcept nogil
    # 9: ECEF position to geodetic latitude, longitude and altitude; uses slot 8
    cdef void c_lla_from_pos(self, const double *r, LLA *lla) noexcept nogil
    # 10: geodetic latitude, longitude and altitude to ECEF position; uses
    #     slots 6 and 3
    cdef void c_pos_from_lla(self, LLA lla, double *r) noexcept nogil
    # 11: intersection of the line r_ray + l * u_ray with the surface nearest to
    #     r_ray (smallest |l|); NaN components when the line misses
    cdef void c_surf_pos_of_ray_first_intersection(self, const double *r_ray,
                                                   const double *u_ray,
                                                   double *r_surf) noexcept nogil
    # 12: azimuth, elevation and range of r_target seen from lla_obs; uses
    #     slots 10 and 5
    cdef void c_aer_coords(self, const double *r_target, LLA lla_obs, AER *aer) noexcept nogil


# The batch kernels of every conversion over n points on strided columns of
# doubles (batch.h): the functions the methods and the ufuncs run, with the same
# bits, callable without the GIL from any number of threads. Import the table
# once, with the GIL, by Ellipsoid_ImportBatchAPI(); find a kernel by name with
# QV_FindKernel (NULL when there is none) and call kernel.run(Re, f, n, in, out).
# A column is a data pointer and a stride in bytes (0 repeats one value); the
# inputs are the columns before the arrow of kernel.columns, Re and f excepted,
# the outputs those after it, three for an output name[3]. An invalid ellipsoid
# gives NaN in every output.
cdef extern from "quorvane/mathtools/ellipsoid/ellipsoid.h" nogil:
    ctypedef struct QV_In:
        const char *data
        Py_ssize_t stride

    ctypedef struct QV_Out:
        char *data
        Py_ssize_t stride

    ctypedef void (*QV_KernelFunction)(double Re, double f, Py_ssize_t n, const QV_In *inputs,
                                       const QV_Out *outputs) noexcept nogil

    ctypedef struct QV_Kernel:
        const char *name
        const char *columns
        int point_inputs
        int output_columns
        QV_KernelFunction run

    ctypedef struct QV_BatchAPI:
        unsigned int version
        unsigned int size
        int count
        const QV_Kernel *kernels
        const char *kernel_set

    const QV_Kernel *QV_FindKernel(const QV_BatchAPI *api, const char *name)

    # Needs the GIL: imports the module.
    const QV_BatchAPI *Ellipsoid_ImportBatchAPI() except NULL with gil
