// The format check reads the struct-module syntax that buffer exporters use
// ("d", "<d", "T{d:lat:d:lon:d:alt:}", "T{(3)d:u_east:...}", padding "x"),
// flattens nested structs into leaf elements with their byte offsets, and
// compares the leaves with the layout's fields in order.
#include "record_layout.hpp"

#include <cstddef>
#include <cstring>

#include "quorvane/datamodel/structured.h"

namespace quorvane::binding {

namespace {

const FieldLayout kSurfCoordFields[] = {
    {"lat", offsetof(SurfCoord, lat), 1},
    {"lon", offsetof(SurfCoord, lon), 1},
};
const FieldLayout kLLAFields[] = {
    {"lat", offsetof(LLA, lat), 1},
    {"lon", offsetof(LLA, lon), 1},
    {"alt", offsetof(LLA, alt), 1},
};
const FieldLayout kENUFields[] = {
    {"u_east", offsetof(ENU_Frame, u_east), 3},
    {"u_north", offsetof(ENU_Frame, u_north), 3},
    {"u_up", offsetof(ENU_Frame, u_up), 3},
};
const FieldLayout kAERFields[] = {
    {"azimuth", offsetof(AER, azimuth), 1},
    {"elevation", offsetof(AER, elevation), 1},
    {"range", offsetof(AER, range), 1},
};

// One element of a parsed format, with structs flattened.
struct Leaf {
    char code;        // struct-module type code; 'Z' codes keep the base in `complex_of`
    char complex_of;  // base code of a complex type, or 0
    Py_ssize_t offset;
    Py_ssize_t size;
    Py_ssize_t extent;  // product of the sub-array shape, 1 without one
    int sub_ndim;       // number of sub-array dimensions
};

constexpr int kMaxLeaves = 16;  // the records have at most three fields

class FormatParser {
public:
    explicit FormatParser(const char *format) : start_(format), p_(format) {}

    // Parses the whole format; false with ValueError set on an error.
    bool parse()
    {
        Py_ssize_t size = 0;
        return parse_sequence(0, false, &size);
    }

    int count() const { return count_; }
    const Leaf &leaf(int i) const { return leaves_[i]; }
    bool overflowed() const { return overflowed_; }

private:
    static Py_ssize_t size_of(char code, bool standard)
    {
        switch (code) {
        case 'x': case 'c': case 'b': case 'B': case '?': case 's': case 'p':
            return 1;
        case 'h': case 'H': case 'e':
            return 2;
        case 'i': case 'I': case 'f': case 'w':
            return 4;
        case 'l': case 'L':
            return standard ? 4 : static_cast<Py_ssize_t>(sizeof(long));
        case 'q': case 'Q': case 'n': case 'N': case 'd': case 'O': case 'P':
            return 8;
        case 'g':
            return standard ? 8 : static_cast<Py_ssize_t>(sizeof(long double));
        default:
            return -1;
        }
    }

    static bool is_byte_order(char c)
    {
        return c == '@' || c == '^' || c == '=' || c == '<' || c == '>' || c == '!';
    }

    // Consumes one byte-order mark. The records are little-endian doubles; a
    // big-endian mark ends the check on this (little-endian) machine.
    bool byte_order()
    {
        const char c = *p_++;
        if (c == '>' || c == '!') {
            PyErr_SetString(PyExc_ValueError,
                            "Big-endian buffer not supported on little-endian compiler");
            return false;
        }
        standard_ = (c == '=' || c == '<');
        return true;
    }

    bool unparseable()
    {
        PyErr_Format(PyExc_ValueError, "Buffer dtype mismatch, unparseable format string '%s'",
                     start_);
        return false;
    }

    bool number(Py_ssize_t *value)
    {
        if (*p_ < '0' || *p_ > '9') {
            return false;
        }
        Py_ssize_t v = 0;
        while (*p_ >= '0' && *p_ <= '9') {
            v = v * 10 + (*p_ - '0');
            if (v > (1 << 24)) {
                return false;
            }
            ++p_;
        }
        *value = v;
        return true;
    }

    void add_leaf(const Leaf &leaf)
    {
        if (count_ < kMaxLeaves) {
            leaves_[count_++] = leaf;
        } else {
            overflowed_ = true;
        }
    }

    // Parses up to the closing brace (inside a struct) or the end; *size gets
    // the number of bytes covered, starting at `base`.
    bool parse_sequence(Py_ssize_t base, bool in_struct, Py_ssize_t *size)
    {
        Py_ssize_t offset = base;
        for (;;) {
            const char c = *p_;
            if (c == '\0') {
                if (in_struct) {
                    return unparseable();
                }
                break;
            }
            if (c == '}') {
                if (!in_struct) {
                    return unparseable();
                }
                ++p_;
                break;
            }
            if (c == ' ' || c == '\t' || c == '\n') {
                ++p_;
                continue;
            }
            if (is_byte_order(c)) {
                if (!byte_order()) {
                    return false;
                }
                continue;
            }
            if (c == ':') {
                // A field name, which is not compared.
                const char *close = std::strchr(p_ + 1, ':');
                if (close == nullptr) {
                    return unparseable();
                }
                p_ = close + 1;
                continue;
            }
            Py_ssize_t repeat = 1;
            number(&repeat);
            Py_ssize_t extent = 1;
            int sub_ndim = 0;
            if (*p_ == '(') {
                ++p_;
                for (;;) {
                    Py_ssize_t dim;
                    if (!number(&dim)) {
                        return unparseable();
                    }
                    extent *= dim;
                    ++sub_ndim;
                    if (*p_ == ',') {
                        ++p_;
                        while (*p_ == ' ') {
                            ++p_;
                        }
                        continue;
                    }
                    if (*p_ != ')') {
                        return unparseable();
                    }
                    ++p_;
                    break;
                }
            }
            // NumPy puts a byte-order mark between a sub-array shape and its type.
            while (is_byte_order(*p_)) {
                if (!byte_order()) {
                    return false;
                }
            }
            if (*p_ == 'T') {
                ++p_;
                if (*p_ != '{') {
                    return unparseable();
                }
                ++p_;
                const int first = count_;
                Py_ssize_t struct_size = 0;
                if (!parse_sequence(0, true, &struct_size)) {
                    return false;
                }
                // Repeat the struct's leaves for every copy beyond the first.
                const int last = count_;
                const Py_ssize_t copies = repeat * extent;
                for (int i = first; i < last; ++i) {
                    leaves_[i].offset += offset;
                }
                for (Py_ssize_t k = 1; k < copies && !overflowed_; ++k) {
                    for (int i = first; i < last; ++i) {
                        Leaf copy = leaves_[i];
                        copy.offset += k * struct_size;
                        add_leaf(copy);
                    }
                }
                offset += copies * struct_size;
                continue;
            }
            char code = *p_;
            char complex_of = 0;
            if (code == '\0') {
                return unparseable();
            }
            ++p_;
            if (code == 'Z') {
                complex_of = *p_;
                if (complex_of == '\0') {
                    return unparseable();
                }
                ++p_;
            }
            const Py_ssize_t unit = size_of(complex_of ? complex_of : code, standard_);
            if (unit < 0) {
                return unparseable();
            }
            const Py_ssize_t item = complex_of ? 2 * unit : unit;
            if (code == 'x') {
                offset += repeat * extent * item;
                continue;
            }
            if (code == 's' || code == 'p') {
                // A count before a string code is its length, not a repeat.
                add_leaf({code, 0, offset, repeat, extent, sub_ndim});
                offset += repeat * extent;
                continue;
            }
            for (Py_ssize_t k = 0; k < repeat; ++k) {
                add_leaf({code, complex_of, offset, item, extent, sub_ndim});
                offset += item * extent;
            }
        }
        *size = offset - base;
        return true;
    }

    const char *start_;
    const char *p_;
    Leaf leaves_[kMaxLeaves];
    int count_ = 0;
    bool overflowed_ = false;
    bool standard_ = false;
};

const char *describe(const Leaf &leaf)
{
    if (leaf.complex_of) {
        switch (leaf.complex_of) {
        case 'f': return "'complex float'";
        case 'd': return "'complex double'";
        case 'g': return "'complex long double'";
        default: return "a complex number";
        }
    }
    switch (leaf.code) {
    case 'c': return "'char'";
    case 'b': return "'signed char'";
    case 'B': return "'unsigned char'";
    case '?': return "'bool'";
    case 'h': return "'short'";
    case 'H': return "'unsigned short'";
    case 'i': return "'int'";
    case 'I': return "'unsigned int'";
    case 'l': return "'long'";
    case 'L': return "'unsigned long'";
    case 'q': return "'long long'";
    case 'Q': return "'unsigned long long'";
    case 'n': return "'ssize_t'";
    case 'N': return "'size_t'";
    case 'e': return "'half'";
    case 'f': return "'float'";
    case 'd': return "'double'";
    case 'g': return "'long double'";
    case 'O': return "Python object";
    case 'P': return "a pointer";
    case 's': case 'p': return "a string";
    case 'w': return "a unicode string";
    default: return "an unknown type";
    }
}

bool is_double(const Leaf &leaf)
{
    return leaf.complex_of == 0 && (leaf.code == 'd' || leaf.code == 'g') && leaf.size == 8;
}

// `field` is null for a plain double, which has no record to name.
bool field_mismatch(const RecordLayout &layout, const FieldLayout *field, const char *got)
{
    if (field == nullptr) {
        PyErr_Format(PyExc_ValueError, "Buffer dtype mismatch, expected %s%s%s but got %s", "'",
                     "double", "'", got);
    } else {
        PyErr_Format(PyExc_ValueError, "Buffer dtype mismatch, expected '%s' but got %s in '%s.%s'",
                     "double", got, layout.name, field->name);
    }
    return false;
}

}  // namespace

const RecordLayout kDoubleLayout = {"double", 8, nullptr, 0};
const RecordLayout kSurfCoordLayout = {"SurfCoord", sizeof(SurfCoord), kSurfCoordFields, 2};
const RecordLayout kLLALayout = {"LLA", sizeof(LLA), kLLAFields, 3};
const RecordLayout kENULayout = {"ENU_Frame", sizeof(ENU_Frame), kENUFields, 3};
const RecordLayout kAERLayout = {"AER", sizeof(AER), kAERFields, 3};

bool check_buffer_layout(const Py_buffer &view, const RecordLayout &layout, int ndim)
{
    if (view.ndim != ndim) {
        PyErr_Format(PyExc_ValueError, "Buffer has wrong number of dimensions (expected %d, got %d)",
                     ndim, view.ndim);
        return false;
    }
    FormatParser parser(view.format != nullptr ? view.format : "B");
    if (!parser.parse()) {
        return false;
    }
    // A plain double is checked as a record of one double field at offset 0.
    static const FieldLayout kPlain = {"", 0, 1};
    const FieldLayout *fields = layout.fields ? layout.fields : &kPlain;
    const int nfields = layout.fields ? layout.nfields : 1;
    int next = 0;
    for (int k = 0; k < nfields; ++k) {
        const FieldLayout &field = fields[k];
        const FieldLayout *named = layout.fields ? &field : nullptr;
        if (next >= parser.count()) {
            return field_mismatch(layout, named, "end");
        }
        const Leaf &leaf = parser.leaf(next++);
        if (!is_double(leaf)) {
            return field_mismatch(layout, named, describe(leaf));
        }
        if (leaf.offset != field.offset) {
            PyErr_Format(PyExc_ValueError,
                         "Buffer dtype mismatch; next field is at offset %zd but %zd expected",
                         leaf.offset, field.offset);
            return false;
        }
        if (field.extent > 1 || leaf.sub_ndim > 0) {
            if (leaf.sub_ndim > 1 || leaf.extent != field.extent) {
                PyErr_Format(PyExc_ValueError, "Expected a dimension of size %zu, got %zu",
                             static_cast<size_t>(field.extent), static_cast<size_t>(leaf.extent));
                return false;
            }
        }
    }
    if (next < parser.count() || parser.overflowed()) {
        const Leaf &extra = parser.leaf(next < parser.count() ? next : parser.count() - 1);
        PyErr_Format(PyExc_ValueError, "Buffer dtype mismatch, expected %s%s%s but got %s", "",
                     "end", "", describe(extra));
        return false;
    }
    if (view.itemsize != layout.size) {
        PyErr_Format(PyExc_ValueError,
                     "Item size of buffer (%zu byte%s) does not match size of '%s' (%zu byte%s)",
                     static_cast<size_t>(view.itemsize), view.itemsize == 1 ? "" : "s",
                     layout.name, static_cast<size_t>(layout.size), layout.size == 1 ? "" : "s");
        return false;
    }
    return true;
}

}  // namespace quorvane::binding
