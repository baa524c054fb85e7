// The ten methods of Ellipsoid, in the order of the type's members: the one
// list that names them, their parameters (after self) and their annotations.
// Declarations, method descriptions, text signatures and the signature lines
// of the docstrings are all generated from it.
//
//   QUORVANE_ELLIPSOID_METHODS(METHOD, PARAM) expands to
//   METHOD(name, return annotation, PARAM(parameter, annotation)...) per method.
#pragma once

#define QUORVANE_DOUBLE_OR_ARRAY "double | ndarray[double]"
#define QUORVANE_ARRAY "ndarray[double]"
#define QUORVANE_DOUBLE "double"

#define QUORVANE_ELLIPSOID_METHODS(METHOD, PARAM)                                               \
    METHOD(reduced_lat_from_geodetic_lat, QUORVANE_DOUBLE_OR_ARRAY,                             \
           PARAM(geodetic_lat, QUORVANE_DOUBLE_OR_ARRAY))                                       \
    METHOD(geodetic_lat_from_reduced_lat, QUORVANE_DOUBLE_OR_ARRAY,                             \
           PARAM(reduced_lat, QUORVANE_DOUBLE_OR_ARRAY))                                        \
    METHOD(enu, "ndarray[ENU_dtype]", PARAM(lat, QUORVANE_DOUBLE_OR_ARRAY),                     \
           PARAM(lon, QUORVANE_DOUBLE_OR_ARRAY))                                                \
    METHOD(surf_pos_from_surf_coord, QUORVANE_ARRAY, PARAM(lat, QUORVANE_DOUBLE_OR_ARRAY),      \
           PARAM(lon, QUORVANE_DOUBLE_OR_ARRAY))                                                \
    METHOD(surf_coord_from_surf_pos, "ndarray[SurfCoord_dtype]", PARAM(r_surf, QUORVANE_ARRAY)) \
    METHOD(solve_reduced_lat_equation, QUORVANE_DOUBLE_OR_ARRAY, PARAM(r, QUORVANE_ARRAY))      \
    METHOD(lla_from_pos, "ndarray[LLA_dtype]", PARAM(r, QUORVANE_ARRAY))                        \
    METHOD(pos_from_lla, QUORVANE_ARRAY, PARAM(lat, QUORVANE_DOUBLE_OR_ARRAY),                  \
           PARAM(lon, QUORVANE_DOUBLE_OR_ARRAY), PARAM(alt, QUORVANE_DOUBLE_OR_ARRAY))          \
    METHOD(surf_pos_of_ray_first_intersection, QUORVANE_ARRAY, PARAM(r_source, QUORVANE_ARRAY), \
           PARAM(u_ray, QUORVANE_ARRAY))                                                        \
    METHOD(aer_coords, "ndarray[AER_dtype]", PARAM(r_target, QUORVANE_ARRAY),                   \
           PARAM(lat_obs, QUORVANE_DOUBLE), PARAM(lon_obs, QUORVANE_DOUBLE),                    \
           PARAM(alt_obs, QUORVANE_DOUBLE))
