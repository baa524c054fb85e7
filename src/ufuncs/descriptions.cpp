#include "descriptions.hpp"

#include "docstrings.hpp"

namespace quorvane::ufuncs {

const UfuncDescription kUfuncs[10] = {
    {"lla_from_pos", docs::kLlaFromPos, 3, 3, 1, nullptr, &kernels::BatchKernels::lla_from_pos},
    {"pos_from_lla", docs::kPosFromLla, 3, 3, 1, nullptr, &kernels::BatchKernels::pos_from_lla},
    {"reduced_lat_from_geodetic_lat", docs::kReducedLatFromGeodeticLat, 1, 1, 1, nullptr,
     &kernels::BatchKernels::reduced_lat_from_geodetic_lat},
    {"geodetic_lat_from_reduced_lat", docs::kGeodeticLatFromReducedLat, 1, 1, 1, nullptr,
     &kernels::BatchKernels::geodetic_lat_from_reduced_lat},
    {"solve_reduced_lat_equation", docs::kSolveReducedLatEquation, 3, 1, 1, nullptr,
     &kernels::BatchKernels::solve_reduced_lat_equation},
    {"surf_pos_from_surf_coord", docs::kSurfPosFromSurfCoord, 2, 3, 1, nullptr,
     &kernels::BatchKernels::surf_pos_from_surf_coord},
    {"surf_coord_from_surf_pos", docs::kSurfCoordFromSurfPos, 3, 2, 1, nullptr,
     &kernels::BatchKernels::surf_coord_from_surf_pos},
    {"enu", docs::kEnu, 2, 3, 3, "(),(),(),()->(3),(3),(3)", &kernels::BatchKernels::enu},
    {"surf_pos_of_ray_first_intersection", docs::kSurfPosOfRayFirstIntersection, 6, 3, 1, nullptr,
     &kernels::BatchKernels::surf_pos_of_ray_first_intersection},
    {"aer_coords", docs::kAerCoords, 6, 3, 1, nullptr, &kernels::BatchKernels::aer_coords},
};

}  // namespace quorvane::ufuncs
