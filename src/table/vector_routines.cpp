#include "table/vector_routines.hpp"

#include <limits>

namespace quorvane::table {

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

void unbound_binary(double *, double *, double *out) { out[0] = out[1] = out[2] = kNaN; }

double unbound_dot(double *, double *) { return kNaN; }

double unbound_norm(double *) { return kNaN; }

}  // namespace

const VectorRoutines unbound_vector_routines = {unbound_binary, unbound_dot, unbound_norm, false};

VectorRoutines vector_routines = unbound_vector_routines;

}  // namespace quorvane::table
