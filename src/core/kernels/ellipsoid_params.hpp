// The ellipsoid as the kernels see it: the two defining parameters and the
// derived constants the lane formulas share, computed once per kernel call.
//
// Each derived constant is computed with exactly the operations (and operand
// order) that the formulas used inline before, so a formula that reads it gives
// the same bits as one that recomputes it.
#pragma once

#include <cmath>

namespace quorvane::kernels {

struct EllipsoidParams {
    double Re;           // equatorial radius a, metres
    double f;            // flattening (a - b) / a
    double one_minus_f;  // b / a
    double e2;           // first eccentricity squared, f (2 - f)
    double Rp;           // polar radius b = Re (1 - f)
    // Re e2 as (Re f)(2 - f): the scale of the foot-point equation, rounded as
    // that solver has always rounded it (not Re times the rounded e2).
    double Re_e2;
    // (a / b)^2 as 1 / (1 - f) / (1 - f): the z weight of the metric in which
    // the surface is the sphere of radius Re.
    double axis_ratio_inverse_squared;
};

inline EllipsoidParams make_params(double Re, double f)
{
    return EllipsoidParams{
        Re,
        f,
        1.0 - f,
        f * (2.0 - f),
        Re * (1.0 - f),
        Re * f * (2.0 - f),
        1.0 / (1.0 - f) / (1.0 - f),
    };
}

// The parameters the conversions are defined for: what the Ellipsoid
// constructor asserts, with infinities excluded as well (an infinite radius has
// no finite surface point). Entry points that take raw parameters (the ufuncs)
// give NaN results outside it.
inline bool valid_ellipsoid(double Re, double f)
{
    return std::isfinite(Re) && Re > 0.0 && std::isfinite(f) && f >= 0.0 && f < 1.0;
}

}  // namespace quorvane::kernels
