#include "element_kernels.hpp"

namespace quorvane::ufuncs {

namespace {

const Ellipsoid_MethodTable *method_table = nullptr;

// The routines read only vtab, Re and f of the record (and Rp, kept
// consistent); the object header stays zero, as no routine touches it.
Ellipsoid local_record(double Re, double f)
{
    Ellipsoid record{};
    record.vtab = const_cast<Ellipsoid_MethodTable *>(method_table);
    record.Re = Re;
    record.f = f;
    record.Rp = (1.0 - f) * Re;
    return record;
}

// One element: NIn inputs in x, NOut outputs to y.
template <int NIn, int NOut>
using Element = void (*)(Ellipsoid *e, const double *x, double *y);

template <int NIn, int NOut, Element<NIn, NOut> element>
void per_element(double Re, double f, std::ptrdiff_t n, const In *in, const Out *out)
{
    Ellipsoid record = local_record(Re, f);
    for (std::ptrdiff_t i = 0; i < n; ++i) {
        double x[NIn];
        double y[NOut];
        for (int k = 0; k < NIn; ++k) {
            x[k] = load(in[k], i);
        }
        element(&record, x, y);
        for (int k = 0; k < NOut; ++k) {
            store(out[k], i, y[k]);
        }
    }
}

void reduced_lat(Ellipsoid *e, const double *x, double *y)
{
    y[0] = e->vtab->c_reduced_lat_from_geodetic_lat(e, x[0]);
}

void geodetic_lat(Ellipsoid *e, const double *x, double *y)
{
    y[0] = e->vtab->c_geodetic_lat_from_reduced_lat(e, x[0]);
}

void enu_frame(Ellipsoid *e, const double *x, double *y)
{
    ENU_Frame frame;
    e->vtab->c_enu(e, SurfCoord{x[0], x[1]}, &frame);
    for (int i = 0; i < 3; ++i) {
        y[i] = frame.u_east[i];
        y[3 + i] = frame.u_north[i];
        y[6 + i] = frame.u_up[i];
    }
}

void surf_pos(Ellipsoid *e, const double *x, double *y)
{
    e->vtab->c_surf_pos_from_surf_coord(e, SurfCoord{x[0], x[1]}, y);
}

void surf_coord(Ellipsoid *e, const double *x, double *y)
{
    SurfCoord point;
    e->vtab->c_surf_coord_from_surf_pos(e, x, &point);
    y[0] = point.lat;
    y[1] = point.lon;
}

void reduced_lat_of_foot(Ellipsoid *e, const double *x, double *y)
{
    y[0] = e->vtab->c_solve_reduced_lat_equation(e, x);
}

void lla(Ellipsoid *e, const double *x, double *y)
{
    LLA point;
    e->vtab->c_lla_from_pos(e, x, &point);
    y[0] = point.lat;
    y[1] = point.lon;
    y[2] = point.alt;
}

void pos(Ellipsoid *e, const double *x, double *y)
{
    e->vtab->c_pos_from_lla(e, LLA{x[0], x[1], x[2]}, y);
}

void ray_hit(Ellipsoid *e, const double *x, double *y)
{
    e->vtab->c_surf_pos_of_ray_first_intersection(e, x, x + 3, y);
}

void aer(Ellipsoid *e, const double *x, double *y)
{
    AER look;
    e->vtab->c_aer_coords(e, x, LLA{x[3], x[4], x[5]}, &look);
    y[0] = look.azimuth;
    y[1] = look.elevation;
    y[2] = look.range;
}

}  // namespace

void use_method_table(const Ellipsoid_MethodTable *table)
{
    method_table = table;
}

namespace element {

void reduced_lat_from_geodetic_lat(double Re, double f, std::ptrdiff_t n, const In *in, const Out *out)
{
    per_element<1, 1, reduced_lat>(Re, f, n, in, out);
}

void geodetic_lat_from_reduced_lat(double Re, double f, std::ptrdiff_t n, const In *in, const Out *out)
{
    per_element<1, 1, geodetic_lat>(Re, f, n, in, out);
}

void enu(double Re, double f, std::ptrdiff_t n, const In *in, const Out *out)
{
    per_element<2, 9, enu_frame>(Re, f, n, in, out);
}

void surf_pos_from_surf_coord(double Re, double f, std::ptrdiff_t n, const In *in, const Out *out)
{
    per_element<2, 3, surf_pos>(Re, f, n, in, out);
}

void surf_coord_from_surf_pos(double Re, double f, std::ptrdiff_t n, const In *in, const Out *out)
{
    per_element<3, 2, surf_coord>(Re, f, n, in, out);
}

void solve_reduced_lat_equation(double Re, double f, std::ptrdiff_t n, const In *in, const Out *out)
{
    per_element<3, 1, reduced_lat_of_foot>(Re, f, n, in, out);
}

void lla_from_pos(double Re, double f, std::ptrdiff_t n, const In *in, const Out *out)
{
    per_element<3, 3, lla>(Re, f, n, in, out);
}

void pos_from_lla(double Re, double f, std::ptrdiff_t n, const In *in, const Out *out)
{
    per_element<3, 3, pos>(Re, f, n, in, out);
}

void surf_pos_of_ray_first_intersection(double Re, double f, std::ptrdiff_t n, const In *in,
                                        const Out *out)
{
    per_element<6, 3, ray_hit>(Re, f, n, in, out);
}

void aer_coords(double Re, double f, std::ptrdiff_t n, const In *in, const Out *out)
{
    per_element<6, 3, aer>(Re, f, n, in, out);
}

}  // namespace element

}  // namespace quorvane::ufuncs
