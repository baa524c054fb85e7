// Remembers what a few names found in one dict, for as long as the dict is
// unchanged. Every change of a dict gives it a new, never reused, version
// tag, so a matching tag proves that the same name finds the same object.
#pragma once

#define PY_SSIZE_T_CLEAN
#include <Python.h>

#include <cstdint>

#include "common/cpython_private.hpp"

namespace quorvane::interop {

class DictCache {
public:
    // The value `name` had in `dict`, or nullptr when not remembered.
    PyObject *find(PyObject *dict, PyObject *name)
    {
        if (!current(dict)) {
            return nullptr;
        }
        for (int k = 0; k < count_; ++k) {
            if (names_[k] == name) {
                return values_[k];
            }
        }
        return nullptr;
    }

    // Remembers a value just read from `dict` itself; borrowed, since the
    // dict keeps it alive while its version stays the same.
    void store(PyObject *dict, PyObject *name, PyObject *value)
    {
        if (!current(dict)) {
            dict_ = dict;
            version_ = tag(dict);
            count_ = 0;
        }
        if (count_ < kCapacity) {
            names_[count_] = name;
            values_[count_] = value;
            ++count_;
        }
    }

private:
    // The most names a call looks up in one dict: numpy, Real and the four
    // record dtypes in the module's globals; zeros, zeros_like, asarray and
    // double in numpy's. Names past it are simply looked up each time.
    static constexpr int kCapacity = 8;

    static uint64_t tag(PyObject *dict) { return cpython::dict_version(dict); }

    bool current(PyObject *dict) const { return dict == dict_ && tag(dict) == version_; }

    PyObject *dict_ = nullptr;
    uint64_t version_ = 0;
    PyObject *names_[kCapacity] = {};
    PyObject *values_[kCapacity] = {};
    int count_ = 0;
};

}  // namespace quorvane::interop
