// Layouts of the result elements (a double, or one of the records) and the
// check of a buffer's format against them.
#pragma once

#define PY_SSIZE_T_CLEAN
#include <Python.h>

namespace quorvane::interop {

struct FieldLayout {
    const char *name;
    Py_ssize_t offset;
    Py_ssize_t extent;  // 1 for a double, 3 for an array of three doubles
};

struct RecordLayout {
    const char *name;
    Py_ssize_t size;
    const FieldLayout *fields;  // nullptr for a plain double
    int nfields;
};

extern const RecordLayout kDoubleLayout;
extern const RecordLayout kSurfCoordLayout;
extern const RecordLayout kLLALayout;
extern const RecordLayout kENULayout;
extern const RecordLayout kAERLayout;

// Checks the number of dimensions, the format and the item size of a buffer
// against `layout`, in this order. Field names are not compared. Returns
// false with ValueError set on the first mismatch; the messages are part of
// the module's observable interface (tests/test_record_buffers.py,
// tests/test_convention.py and tests/test_buffer_formats.py pin them).
bool check_buffer_layout(const Py_buffer &view, const RecordLayout &layout, int ndim);

}  // namespace quorvane::interop
