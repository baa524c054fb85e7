from quorvane.datamodel.structured cimport AER, ENU_Frame, LLA, SurfCoord


cdef class Ellipsoid:
    cdef readonly double Re
    cdef readonly double f
    cdef readonly double Rp

    cdef double c_reduced_lat_from_geodetic_lat(self, double geodetic_lat) noexcept nogil
    cdef double c_geodetic_lat_from_reduced_lat(self, double reduced_lat) noexcept nogil
    cdef void surf_normal_vector(self, SurfCoord point, double *u_normal) noexcept nogil
    cdef void surf_tangent_vector(self, SurfCoord point, double *u_east, double *u_north) noexcept nogil
    cdef void c_enu(self, SurfCoord point, ENU_Frame *enu) noexcept nogil
    cdef void c_surf_pos_from_surf_coord(self, SurfCoord point, double *r_surf) noexcept nogil
    cdef void c_surf_coord_from_surf_pos(self, const double *r_surf, SurfCoord *point) noexcept nogil
    cdef double c_solve_reduced_lat_equation(self, const double *r) noexcept nogil
    cdef void c_lla_from_pos(self, const double *r, LLA *lla) noexcept nogil
    cdef void c_pos_from_lla(self, LLA lla, double *r) noexcept nogil
    cdef void c_surf_pos_of_ray_first_intersection(self, const double *r_ray, const double *u_ray, double *r_surf) noexcept nogil
    cdef void c_aer_coords(self, const double *r_target, LLA lla_obs, AER *aer) noexcept nogil
