#include "descriptions.hpp"

#include "docstrings.hpp"
#include "element_kernels.hpp"

namespace quorvane::ufuncs {

const UfuncDescription kUfuncs[10] = {
    {"lla_from_pos", docs::kLlaFromPos, 3, 3, 1, nullptr, element::lla_from_pos},
    {"pos_from_lla", docs::kPosFromLla, 3, 3, 1, nullptr, element::pos_from_lla},
    {"reduced_lat_from_geodetic_lat", docs::kReducedLatFromGeodeticLat, 1, 1, 1, nullptr,
     element::reduced_lat_from_geodetic_lat},
    {"geodetic_lat_from_reduced_lat", docs::kGeodeticLatFromReducedLat, 1, 1, 1, nullptr,
     element::geodetic_lat_from_reduced_lat},
    {"solve_reduced_lat_equation", docs::kSolveReducedLatEquation, 3, 1, 1, nullptr,
     element::solve_reduced_lat_equation},
    {"surf_pos_from_surf_coord", docs::kSurfPosFromSurfCoord, 2, 3, 1, nullptr,
     element::surf_pos_from_surf_coord},
    {"surf_coord_from_surf_pos", docs::kSurfCoordFromSurfPos, 3, 2, 1, nullptr,
     element::surf_coord_from_surf_pos},
    {"enu", docs::kEnu, 2, 3, 3, "(),(),(),()->(3),(3),(3)", element::enu},
    {"surf_pos_of_ray_first_intersection", docs::kSurfPosOfRayFirstIntersection, 6, 3, 1, nullptr,
     element::surf_pos_of_ray_first_intersection},
    {"aer_coords", docs::kAerCoords, 6, 3, 1, nullptr, element::aer_coords},
};

}  // namespace quorvane::ufuncs
