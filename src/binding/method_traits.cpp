// The ten methods as data for the one driver: each one's conversion, argument
// roles and result, and the table routine it calls for one point (through
// the object's table, so that a replaced slot is what runs; slots 1 and 2 are
// bound statically, as every caller binds them).
#include "binding/method_traits.hpp"
#include "binding/methods.hpp"
#include "table/routines.hpp"
#include "binding/interop.hpp"

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
    self->vtab->c_pos_from_lla(self, LLA{point[0], point[1], point[2]}, static_cast<double *>(out));
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

// A method whose points arrive as `point_args` parallel one-dimensional
// arguments (or one (n, 3) argument, `rows`) and give one `element` each; a
// float or float64 array result until with_record says otherwise.
constexpr MethodTraits points_of(Id id, PointRoutine routine, OnePointTest test, Points points,
                                 int point_args, Element element)
{
    return MethodTraits{id,      routine, Fixed::kNone, test,    points, point_args,
                        element, nullptr, nullptr,      nullptr, false,  false};
}

// Results of the module-level record dtype `dtype_name`, one-point shape `shape`.
constexpr MethodTraits with_record(MethodTraits m, PyObject *InternedNames::*dtype_name,
                                   const RecordLayout *layout, PyObject *ModuleState::*shape)
{
    m.dtype_name = dtype_name;
    m.layout = layout;
    m.one_point_shape = shape;
    return m;
}

constexpr MethodTraits with_fixed(MethodTraits m, Fixed fixed)
{
    m.fixed = fixed;
    return m;
}

// The one-point form asserts arg.shape == (3,) before reading it.
constexpr MethodTraits asserting_one_vector(MethodTraits m)
{
    m.assert_one_point_vector = true;
    return m;
}

// One number gives a float; anything else an array made by numpy.zeros_like
// from the argument, which must view as a one-dimensional buffer of doubles.
constexpr MethodTraits kReducedLat =
    points_of(Id::reduced_lat_from_geodetic_lat, reduced_lat, OnePointTest::kAllScalars,
              Points::kElements, 1, Element::kFloat);
constexpr MethodTraits kGeodeticLat =
    points_of(Id::geodetic_lat_from_reduced_lat, geodetic_lat, OnePointTest::kAllScalars,
              Points::kElements, 1, Element::kFloat);

constexpr MethodTraits kEnu = with_record(
    points_of(Id::enu, enu_frame, OnePointTest::kAllScalars, Points::kElements, 2, Element::kENU),
    &InternedNames::ENU_dtype, &kENULayout, &ModuleState::tuple_1);

// Stores by item assignment, result[i, k] = value, and returns the result as
// allocated.
constexpr MethodTraits kSurfPos = [] {
    MethodTraits m = points_of(Id::surf_pos_from_surf_coord, surface_position,
                               OnePointTest::kAllScalars, Points::kElements, 2, Element::kVector);
    m.store_by_item = true;
    return m;
}();

// No scalar test: the number of dimensions tells one point from many.
constexpr MethodTraits kSurfCoord = asserting_one_vector(
    with_record(points_of(Id::surf_coord_from_surf_pos, surface_coordinates,
                          OnePointTest::kOneDimension, Points::kRows, 1, Element::kSurfCoord),
                &InternedNames::SurfCoord_dtype, &kSurfCoordLayout, &ModuleState::tuple_1));

constexpr MethodTraits kSolve =
    points_of(Id::solve_reduced_lat_equation, foot_reduced_lat, OnePointTest::kVectorShape,
              Points::kRows, 1, Element::kFloat);

constexpr MethodTraits kLla =
    with_record(points_of(Id::lla_from_pos, geodetic_of, OnePointTest::kVectorShape, Points::kRows,
                          1, Element::kLLA),
                &InternedNames::LLA_dtype, &kLLALayout, &ModuleState::int_1);

constexpr MethodTraits kPos = points_of(Id::pos_from_lla, position_of, OnePointTest::kAllScalars,
                                        Points::kElements, 3, Element::kVector);

constexpr MethodTraits kRay = asserting_one_vector(
    with_fixed(points_of(Id::surf_pos_of_ray_first_intersection, ray_hit,
                         OnePointTest::kOneDimension, Points::kRows, 1, Element::kVector),
               Fixed::kOrigin));

// The observer is converted before the target is looked at.
constexpr MethodTraits kAer = asserting_one_vector(
    with_fixed(with_record(points_of(Id::aer_coords, look_angles, OnePointTest::kOneDimension,
                                     Points::kRows, 1, Element::kAER),
                           &InternedNames::AER_dtype, &kAERLayout, &ModuleState::int_1),
               Fixed::kObserver));

}  // namespace

#define QUORVANE_DEFINE_METHOD(name, traits)               \
    PyObject *name(Ellipsoid *self, PyObject *const *args) \
    {                                                      \
        return run_method(traits, self, args);             \
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
