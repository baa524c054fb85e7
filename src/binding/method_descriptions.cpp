#include "method_descriptions.hpp"

#include "args.hpp"
#include "docstrings.hpp"

namespace quorvane::binding {

namespace {

constexpr const char kDoubleOrArray[] = "double | ndarray[double]";
constexpr const char kArray[] = "ndarray[double]";
constexpr const char kDouble[] = "double";

const char *const kGeodeticLat[] = {"geodetic_lat"};
const char *const kReducedLat[] = {"reduced_lat"};
const char *const kLatLon[] = {"lat", "lon"};
const char *const kRSurf[] = {"r_surf"};
const char *const kR[] = {"r"};
const char *const kLatLonAlt[] = {"lat", "lon", "alt"};
const char *const kRayArgs[] = {"r_source", "u_ray"};
const char *const kAerArgs[] = {"r_target", "lat_obs", "lon_obs", "alt_obs"};

const char *const kLatitudeAnnotations[] = {kDoubleOrArray, kDoubleOrArray};
const char *const kEnuAnnotations[] = {kDoubleOrArray, kDoubleOrArray, "ndarray[ENU_dtype]"};
const char *const kSurfPosAnnotations[] = {kDoubleOrArray, kDoubleOrArray, kArray};
const char *const kSurfCoordAnnotations[] = {kArray, "ndarray[SurfCoord_dtype]"};
const char *const kSolveAnnotations[] = {kArray, kDoubleOrArray};
const char *const kLlaAnnotations[] = {kArray, "ndarray[LLA_dtype]"};
const char *const kPosAnnotations[] = {kDoubleOrArray, kDoubleOrArray, kDoubleOrArray, kArray};
const char *const kRayAnnotations[] = {kArray, kArray, kArray};
const char *const kAerAnnotations[] = {kArray, kDouble, kDouble, kDouble, "ndarray[AER_dtype]"};

}  // namespace

const MethodDescription kMethods[kMethodCount] = {
    {"reduced_lat_from_geodetic_lat", kGeodeticLat, 1, kLatitudeAnnotations,
     docs::kReducedLatFromGeodeticLat, "($self, geodetic_lat)", reduced_lat_from_geodetic_lat},
    {"geodetic_lat_from_reduced_lat", kReducedLat, 1, kLatitudeAnnotations,
     docs::kGeodeticLatFromReducedLat, "($self, reduced_lat)", geodetic_lat_from_reduced_lat},
    {"enu", kLatLon, 2, kEnuAnnotations, docs::kEnu, "($self, lat, lon)", enu},
    {"surf_pos_from_surf_coord", kLatLon, 2, kSurfPosAnnotations, docs::kSurfPosFromSurfCoord,
     "($self, lat, lon)", surf_pos_from_surf_coord},
    {"surf_coord_from_surf_pos", kRSurf, 1, kSurfCoordAnnotations, docs::kSurfCoordFromSurfPos,
     "($self, r_surf)", surf_coord_from_surf_pos},
    {"solve_reduced_lat_equation", kR, 1, kSolveAnnotations, docs::kSolveReducedLatEquation,
     "($self, r)", solve_reduced_lat_equation},
    {"lla_from_pos", kR, 1, kLlaAnnotations, docs::kLlaFromPos, "($self, r)", lla_from_pos},
    {"pos_from_lla", kLatLonAlt, 3, kPosAnnotations, docs::kPosFromLla, "($self, lat, lon, alt)",
     pos_from_lla},
    {"surf_pos_of_ray_first_intersection", kRayArgs, 2, kRayAnnotations,
     docs::kSurfPosOfRayFirstIntersection, "($self, r_source, u_ray)",
     surf_pos_of_ray_first_intersection},
    {"aer_coords", kAerArgs, 4, kAerAnnotations, docs::kAerCoords,
     "($self, r_target, lat_obs, lon_obs, alt_obs)", aer_coords},
};

PyObject *call_method(const MethodDescription &method, PyObject *self, PyObject *const *args,
                      Py_ssize_t nargs, PyObject *kwnames)
{
    // All arguments by position, one each: nothing to bind.
    if (kwnames == nullptr && nargs == method.nparams) {
        return method.impl(reinterpret_cast<Ellipsoid *>(self), args);
    }
    PyObject *bound[4];
    if (!bind_arguments(method.name, method.params, method.nparams, args, nargs, kwnames, bound)) {
        return nullptr;
    }
    return method.impl(reinterpret_cast<Ellipsoid *>(self), bound);
}

}  // namespace quorvane::binding
