# cython: language_level=3
"""Test-only Cython caller of the Ellipsoid method table and the vector routines.

Built against the installed package's declaration files only. Each function
makes one call of one routine with the GIL released; three-vectors come in and
go out as tuples, records as tuples in field order.
"""

from quorvane.datamodel.structured cimport AER, ENU_Frame, LLA, SurfCoord
from quorvane.mathtools.ellipsoid.ellipsoid cimport Ellipsoid
from quorvane.mathtools.vectools cimport vectools


cdef int to_c3(object v, double *out) except -1:
    out[0], out[1], out[2] = v
    return 0


cdef tuple py3(const double *v):
    return (v[0], v[1], v[2])


cdef SurfCoord surf_coord(double lat, double lon) noexcept nogil:
    cdef SurfCoord point
    point.lat = lat
    point.lon = lon
    return point


cdef LLA lla_record(double lat, double lon, double alt) noexcept nogil:
    cdef LLA lla
    lla.lat = lat
    lla.lon = lon
    lla.alt = alt
    return lla


cdef class RadialNormal(Ellipsoid):
    """An Ellipsoid whose surface normal is the radial direction of the surface point.

    Only slot 3 is replaced; the routines built on it (c_enu, c_pos_from_lla
    and through them c_aer_coords) should take it up through the table.
    """

    cdef void surf_normal_vector(self, SurfCoord point, double *u_normal) noexcept nogil:
        cdef double r_surf[3]
        self.c_surf_pos_from_surf_coord(point, r_surf)
        vectools.scale(1.0 / vectools.norm(r_surf), r_surf, u_normal)


def reduced_lat_from_geodetic_lat(Ellipsoid e, double geodetic_lat):
    cdef double beta
    with nogil:
        beta = e.c_reduced_lat_from_geodetic_lat(geodetic_lat)
    return beta


def geodetic_lat_from_reduced_lat(Ellipsoid e, double reduced_lat):
    cdef double phi
    with nogil:
        phi = e.c_geodetic_lat_from_reduced_lat(reduced_lat)
    return phi


def surf_normal_vector(Ellipsoid e, double lat, double lon):
    cdef double u_normal[3]
    with nogil:
        e.surf_normal_vector(surf_coord(lat, lon), u_normal)
    return py3(u_normal)


def surf_tangent_vector(Ellipsoid e, double lat, double lon):
    cdef double u_east[3]
    cdef double u_north[3]
    with nogil:
        e.surf_tangent_vector(surf_coord(lat, lon), u_east, u_north)
    return py3(u_east), py3(u_north)


def enu(Ellipsoid e, double lat, double lon):
    cdef ENU_Frame frame
    with nogil:
        e.c_enu(surf_coord(lat, lon), &frame)
    return py3(frame.u_east), py3(frame.u_north), py3(frame.u_up)


def surf_pos_from_surf_coord(Ellipsoid e, double lat, double lon):
    cdef double r_surf[3]
    with nogil:
        e.c_surf_pos_from_surf_coord(surf_coord(lat, lon), r_surf)
    return py3(r_surf)


def surf_coord_from_surf_pos(Ellipsoid e, r_surf):
    cdef double r[3]
    cdef SurfCoord point
    to_c3(r_surf, r)
    with nogil:
        e.c_surf_coord_from_surf_pos(r, &point)
    return point.lat, point.lon


def solve_reduced_lat_equation(Ellipsoid e, r):
    cdef double position[3]
    cdef double beta
    to_c3(r, position)
    with nogil:
        beta = e.c_solve_reduced_lat_equation(position)
    return beta


def lla_from_pos(Ellipsoid e, r):
    cdef double position[3]
    cdef LLA lla
    to_c3(r, position)
    with nogil:
        e.c_lla_from_pos(position, &lla)
    return lla.lat, lla.lon, lla.alt


def pos_from_lla(Ellipsoid e, double lat, double lon, double alt):
    cdef double r[3]
    with nogil:
        e.c_pos_from_lla(lla_record(lat, lon, alt), r)
    return py3(r)


def surf_pos_of_ray_first_intersection(Ellipsoid e, r_ray, u_ray):
    cdef double origin[3]
    cdef double direction[3]
    cdef double r_surf[3]
    to_c3(r_ray, origin)
    to_c3(u_ray, direction)
    with nogil:
        e.c_surf_pos_of_ray_first_intersection(origin, direction, r_surf)
    return py3(r_surf)


def aer_coords(Ellipsoid e, r_target, double lat_obs, double lon_obs, double alt_obs):
    cdef double target[3]
    cdef AER aer
    to_c3(r_target, target)
    with nogil:
        e.c_aer_coords(target, lla_record(lat_obs, lon_obs, alt_obs), &aer)
    return aer.azimuth, aer.elevation, aer.range


def fields(Ellipsoid e):
    """Re, f and Rp read from the object record."""
    return e.Re, e.f, e.Rp


def vector_scale(double s, a):
    cdef double ca[3]
    cdef double out[3]
    to_c3(a, ca)
    with nogil:
        vectools.scale(s, ca, out)
    return py3(out)


ctypedef void (*binary_routine)(double *, double *, double *) noexcept nogil


cdef binary(binary_routine routine, a, b):
    cdef double ca[3]
    cdef double cb[3]
    cdef double out[3]
    to_c3(a, ca)
    to_c3(b, cb)
    with nogil:
        routine(ca, cb, out)
    return py3(out)


def vector_add(a, b):
    return binary(vectools.add, a, b)


def vector_sub(a, b):
    return binary(vectools.sub, a, b)


def vector_dot(a, b):
    cdef double ca[3]
    cdef double cb[3]
    cdef double result
    to_c3(a, ca)
    to_c3(b, cb)
    with nogil:
        result = vectools.dot(ca, cb)
    return result


def vector_norm(a):
    cdef double ca[3]
    cdef double result
    to_c3(a, ca)
    with nogil:
        result = vectools.norm(ca)
    return result


cdef class LatitudeOnly(Ellipsoid):
    """An Ellipsoid whose slot 9 writes the latitude alone, 1.0: the longitude and
    altitude of its records keep whatever the result held before the routine ran."""

    cdef void c_lla_from_pos(self, const double *r, LLA *lla) noexcept nogil:
        lla.lat = 1.0


from quorvane.mathtools.ellipsoid.ellipsoid cimport (
    Ellipsoid_ImportBatchAPI, QV_BatchAPI, QV_FindKernel, QV_In, QV_Kernel, QV_Out)

cdef const QV_BatchAPI *batch_api = Ellipsoid_ImportBatchAPI()


def batch_table():
    """(kernel set, ((name, columns, point inputs, output columns), ...)) as read here."""
    cdef int k
    kernels = tuple((batch_api.kernels[k].name.decode(), batch_api.kernels[k].columns.decode(),
                     batch_api.kernels[k].point_inputs, batch_api.kernels[k].output_columns)
                    for k in range(batch_api.count))
    return batch_api.kernel_set.decode(), kernels


def run_batch(str name, double Re, double f, tuple inputs, tuple outputs, Py_ssize_t block=0):
    """The batch kernel `name` over float64 arrays (inputs may be read-only, e.g. stride-0
    broadcasts; outputs one-dimensional and writable), with the GIL released. With
    block > 0 a nogil loop converts the points that many at a time."""
    encoded = name.encode()
    cdef const QV_Kernel *kernel = QV_FindKernel(batch_api, encoded)
    if kernel == NULL:
        raise KeyError(name)
    if kernel.point_inputs > 16 or kernel.output_columns > 16:
        raise ValueError(f"{name}: more columns than this caller keeps")
    if len(inputs) != kernel.point_inputs or len(outputs) != kernel.output_columns:
        raise ValueError(f"{name} takes {kernel.point_inputs} inputs, {kernel.output_columns} outputs")
    cdef QV_In columns_in[16]
    cdef QV_Out columns_out[16]
    cdef QV_In block_in[16]
    cdef QV_Out block_out[16]
    cdef const double[:] column
    cdef double[:] target
    cdef Py_ssize_t n = len(outputs[0]), start, count
    cdef int c
    for c, array in enumerate(inputs):
        column = array
        columns_in[c].data = <const char *>&column[0]
        columns_in[c].stride = column.strides[0]
    for c, array in enumerate(outputs):
        target = array
        if target.shape[0] != n:
            raise ValueError("outputs of one length")
        columns_out[c].data = <char *>&target[0]
        columns_out[c].stride = target.strides[0]
    with nogil:
        if block <= 0:
            kernel.run(Re, f, n, columns_in, columns_out)
        else:
            start = 0
            while start < n:
                count = min(block, n - start)
                for c in range(kernel.point_inputs):
                    block_in[c].data = columns_in[c].data + start * columns_in[c].stride
                    block_in[c].stride = columns_in[c].stride
                for c in range(kernel.output_columns):
                    block_out[c].data = columns_out[c].data + start * columns_out[c].stride
                    block_out[c].stride = columns_out[c].stride
                kernel.run(Re, f, count, block_in, block_out)
                start += count
