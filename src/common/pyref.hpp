// Owned references and buffer views as small RAII handles. Raw pointers leave
// these handles only at the C boundary (release()).
#pragma once

#define PY_SSIZE_T_CLEAN
#include <Python.h>

#include <utility>

namespace quorvane {

class PyRef {
public:
    PyRef() = default;
    PyRef(const PyRef &) = delete;
    PyRef &operator=(const PyRef &) = delete;
    PyRef(PyRef &&other) noexcept : p_(std::exchange(other.p_, nullptr)) {}
    PyRef &operator=(PyRef &&other) noexcept
    {
        if (this != &other) {
            Py_XDECREF(p_);
            p_ = std::exchange(other.p_, nullptr);
        }
        return *this;
    }
    ~PyRef() { Py_XDECREF(p_); }

    // Takes over a new reference (which may be NULL after a failed call).
    static PyRef steal(PyObject *p) { return PyRef(p); }
    // A new reference to an object the caller only borrows (null stays null).
    static PyRef new_ref(PyObject *p)
    {
        Py_XINCREF(p);
        return PyRef(p);
    }

    PyObject *get() const { return p_; }
    PyObject *release() { return std::exchange(p_, nullptr); }
    explicit operator bool() const { return p_ != nullptr; }

private:
    explicit PyRef(PyObject *p) : p_(p) {}
    PyObject *p_ = nullptr;
};

// A buffer acquired with PyObject_GetBuffer, released on destruction.
class BufferView {
public:
    BufferView() = default;
    BufferView(const BufferView &) = delete;
    BufferView &operator=(const BufferView &) = delete;
    ~BufferView() { release(); }

    void release()
    {
        if (held_) {
            held_ = false;
            PyBuffer_Release(&view_);
        }
    }

    bool acquire(PyObject *exporter, int flags)
    {
        release();
        held_ = PyObject_GetBuffer(exporter, &view_, flags) == 0;
        return held_;
    }
    const Py_buffer &view() const { return view_; }
    bool held() const { return held_; }

private:
    // Written by acquire() and read only while held_: left unzeroed, since
    // argument readers and results make several of these for every call.
    Py_buffer view_;
    bool held_ = false;
};

// The pending exception, normalised and taken out of the interpreter's error
// indicator; restore() puts it back, and it is dropped if never restored.
class SavedError {
public:
    SavedError()
    {
        PyObject *type;
        PyObject *value;
        PyObject *tb;
        PyErr_Fetch(&type, &value, &tb);
        PyErr_NormalizeException(&type, &value, &tb);
        if (value != nullptr && tb != nullptr) {
            PyException_SetTraceback(value, tb);
        }
        type_ = PyRef::steal(type);
        value_ = PyRef::steal(value);
        tb_ = PyRef::steal(tb);
    }

    PyObject *value() const { return value_.get(); }
    void restore() { PyErr_Restore(type_.release(), value_.release(), tb_.release()); }

private:
    PyRef type_;
    PyRef value_;
    PyRef tb_;
};

}  // namespace quorvane
