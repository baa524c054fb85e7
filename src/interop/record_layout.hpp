// Layouts of the result elements (a double, or one of the records) and the
// check of a buffer's format against them.
#pragma once

#define PY_SSIZE_T_CLEAN
#include <Python.h>

namespace quorvane::interop {

// A result element: a plain double, or a record whose fields of `extent`
// doubles each follow one another with no padding (structured.h holds each
// record to the size of its doubles, which leaves no room for any).
struct RecordLayout {
    const char *name;
    const char *fields[3];  // none for a plain double
    int nfields;
    Py_ssize_t extent;  // doubles per field: 1, or 3 for the vectors of ENU_Frame

    constexpr Py_ssize_t offset(int k) const { return k * extent * Py_ssize_t{sizeof(double)}; }
    constexpr Py_ssize_t size() const { return offset(nfields > 0 ? nfields : 1); }
};

inline constexpr RecordLayout kDoubleLayout = {"double", {}, 0, 1};
inline constexpr RecordLayout kSurfCoordLayout = {"SurfCoord", {"lat", "lon"}, 2, 1};
inline constexpr RecordLayout kLLALayout = {"LLA", {"lat", "lon", "alt"}, 3, 1};
inline constexpr RecordLayout kENULayout = {"ENU_Frame", {"u_east", "u_north", "u_up"}, 3, 3};
inline constexpr RecordLayout kAERLayout = {"AER", {"azimuth", "elevation", "range"}, 3, 1};

// Checks the number of dimensions, the format and the item size of a buffer
// against `layout`, in this order. Field names are not compared. Returns
// false with ValueError set on the first mismatch; the messages are part of
// the module's observable interface (tests/test_record_buffers.py,
// tests/test_convention.py and tests/test_buffer_formats.py pin them).
bool check_buffer_layout(const Py_buffer &view, const RecordLayout &layout, int ndim);

}  // namespace quorvane::interop
