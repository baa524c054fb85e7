// The ten methods as data for the one driver: each one's conversion, argument
// roles and result, and the table routine it calls for one point (through
// the object's table, so that a replaced slot is what runs; slots 1 and 2 are
// bound statically, as every caller binds them).
#include "method_spec.hpp"
#include "methods.hpp"
#include "table/routines.hpp"

namespace quorvane::binding {

namespace {

using registry::Id;

void reduced_lat(Ellipsoid *self, const double *point, const double *, void *out)
{
    *static_cast<double *>(out) = table::c_reduced_lat_from_geodetic_lat(self, point[0]);
}

void geodetic_lat(Ellipsoid *self, const double *point, const double *, void *out)
{
    *static_cast<double *>(out) = table::c_geodetic_lat_from_reduced_lat(self, point[0]);
}

void enu_frame(Ellipsoid *self, const double *point, const double *, void *out)
{
    self->vtab->c_enu(self, SurfCoord{point[0], point[1]}, static_cast<ENU_Frame *>(out));
}

void surface_position(Ellipsoid *self, const double *point, const double *, void *out)
{
    self->vtab->c_surf_pos_from_surf_coord(self, SurfCoord{point[0], point[1]},
                                           static_cast<double *>(out));
}

void surface_coordinates(Ellipsoid *self, const double *point, const double *, void *out)
{
    self->vtab->c_surf_coord_from_surf_pos(self, point, static_cast<SurfCoord *>(out));
}

void foot_reduced_lat(Ellipsoid *self, const double *point, const double *, void *out)
{
    *static_cast<double *>(out) = self->vtab->c_solve_reduced_lat_equation(self, point);
}

void geodetic_of(Ellipsoid *self, const double *point, const double *, void *out)
{
    self->vtab->c_lla_from_pos(self, point, static_cast<LLA *>(out));
}

void position_of(Ellipsoid *self, const double *point, const double *, void *out)
{
    self->vtab->c_pos_from_lla(self, LLA{point[0], point[1], point[2]},
                               static_cast<double *>(out));
}

void ray_hit(Ellipsoid *self, const double *direction, const double *origin, void *out)
{
    self->vtab->c_surf_pos_of_ray_first_intersection(self, origin, direction,
                                                     static_cast<double *>(out));
}

void look_angles(Ellipsoid *self, const double *target, const double *observer, void *out)
{
    self->vtab->c_aer_coords(self, target, LLA{observer[0], observer[1], observer[2]},
                             static_cast<AER *>(out));
}

// A float or float64 array result: no record dtype.
constexpr PyObject *InternedNames::*kNoDtype = nullptr;
constexpr PyObject *ModuleState::*kNoShape = nullptr;

// One number gives a float; anything else an array made by numpy.zeros_like
// from the argument, which must view as a one-dimensional buffer of doubles.
constexpr MethodSpec latitude(Id id, PointRoutine routine)
{
    return {id,      routine, Fixed::kNone, OnePointTest::kAllScalars, Points::kElements, 1,
            Element::kFloat, kNoDtype, nullptr, kNoShape, false, false};
}

constexpr MethodSpec kReducedLat = latitude(Id::reduced_lat_from_geodetic_lat, reduced_lat);
constexpr MethodSpec kGeodeticLat = latitude(Id::geodetic_lat_from_reduced_lat, geodetic_lat);

constexpr MethodSpec kEnu = {Id::enu, enu_frame, Fixed::kNone, OnePointTest::kAllScalars,
                             Points::kElements, 2, Element::kENU, &InternedNames::ENU_dtype,
                             &kENULayout, &ModuleState::tuple_1, false, false};

constexpr MethodSpec kSurfPos = {Id::surf_pos_from_surf_coord, surface_position, Fixed::kNone,
                                 OnePointTest::kAllScalars, Points::kElements, 2,
                                 Element::kVector, kNoDtype, nullptr, kNoShape, false, true};

// No scalar test: the number of dimensions tells one point from many.
constexpr MethodSpec kSurfCoord = {
    Id::surf_coord_from_surf_pos, surface_coordinates, Fixed::kNone, OnePointTest::kOneDimension,
    Points::kRows, 1, Element::kSurfCoord, &InternedNames::SurfCoord_dtype, &kSurfCoordLayout,
    &ModuleState::tuple_1, true, false};

constexpr MethodSpec kSolve = {Id::solve_reduced_lat_equation, foot_reduced_lat, Fixed::kNone,
                               OnePointTest::kVectorShape, Points::kRows, 1, Element::kFloat,
                               kNoDtype, nullptr, kNoShape, false, false};

constexpr MethodSpec kLla = {Id::lla_from_pos, geodetic_of, Fixed::kNone,
                             OnePointTest::kVectorShape, Points::kRows, 1, Element::kLLA,
                             &InternedNames::LLA_dtype, &kLLALayout, &ModuleState::int_1,
                             false, false};

constexpr MethodSpec kPos = {Id::pos_from_lla, position_of, Fixed::kNone,
                             OnePointTest::kAllScalars, Points::kElements, 3, Element::kVector,
                             kNoDtype, nullptr, kNoShape, false, false};

constexpr MethodSpec kRay = {Id::surf_pos_of_ray_first_intersection, ray_hit, Fixed::kOrigin,
                             OnePointTest::kOneDimension, Points::kRows, 1, Element::kVector,
                             kNoDtype, nullptr, kNoShape, true, false};

// The observer is converted before the target is looked at.
constexpr MethodSpec kAer = {Id::aer_coords, look_angles, Fixed::kObserver,
                             OnePointTest::kOneDimension, Points::kRows, 1, Element::kAER,
                             &InternedNames::AER_dtype, &kAERLayout, &ModuleState::int_1,
                             true, false};

}  // namespace

#define QUORVANE_DEFINE_METHOD(name, spec)                         \
    PyObject *name(Ellipsoid *self, PyObject *const *args)        \
    {                                                             \
        return run_method(spec, self, args);                      \
    }

QUORVANE_DEFINE_METHOD(reduced_lat_from_geodetic_lat, kReducedLat)
QUORVANE_DEFINE_METHOD(geodetic_lat_from_reduced_lat, kGeodeticLat)
QUORVANE_DEFINE_METHOD(enu, kEnu)
QUORVANE_DEFINE_METHOD(surf_pos_from_surf_coord, kSurfPos)
QUORVANE_DEFINE_METHOD(surf_coord_from_surf_pos, kSurfCoord)
QUORVANE_DEFINE_METHOD(solve_reduced_lat_equation, kSolve)
QUORVANE_DEFINE_METHOD(lla_from_pos, kLla)
QUORVANE_DEFINE_METHOD(pos_from_lla, kPos)
QUORVANE_DEFINE_METHOD(surf_pos_of_ray_first_intersection, kRay)
QUORVANE_DEFINE_METHOD(aer_coords, kAer)
#undef QUORVANE_DEFINE_METHOD

}  // namespace quorvane::binding
