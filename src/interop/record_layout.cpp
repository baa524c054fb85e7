// The format check reads the struct-module syntax that buffer exporters use
// ("d", "<d", "T{d:lat:d:lon:d:alt:}", "T{(3)d:u_east:...}", padding "x"),
// flattens nested structs into leaf elements with their byte offsets, and
// compares the leaves with the layout's fields in order.
//
// Grammar read here (one parser function per production):
//   sequence  := { space | byte-order | name | item }        up to '}' or the end
//   item      := [count] ['(' shape ')'] {byte-order} (struct | type)
//   shape     := count { ',' {' '} count }
//   struct    := 'T{' sequence '}'
//   name      := ':' any characters ':'
//   type      := code | 'Z' code
#include "interop/record_layout.hpp"

#include <cstddef>
#include <cstring>

#include "quorvane/datamodel/structured.h"

namespace quorvane::interop {

namespace {

static_assert(kSurfCoordLayout.size() == sizeof(SurfCoord) && kLLALayout.size() == sizeof(LLA) &&
                  kENULayout.size() == sizeof(ENU_Frame) && kAERLayout.size() == sizeof(AER),
              "each layout describes its record");

// Every field is a double or a one-dimensional array of them; a double field
// also takes a sub-array of shape (1,).
constexpr int kFieldDims = 1;

// The largest record has three fields, so a format that can match has at most
// three leaves; the rest of the room only has to hold the first extra leaf,
// which the mismatch message names.
constexpr int kMaxLeaves = 16;

// A count or sub-array extent above 2**24 elements cannot belong to a record
// of at most nine doubles; stopping the digits there keeps the value far from
// overflowing, and such a format is reported as unparseable.
constexpr Py_ssize_t kMaxCount = Py_ssize_t{1} << 24;

// Extents multiply over any number of dimensions and offsets add them up, so
// they can pass the range of Py_ssize_t; they wrap instead of overflowing.
Py_ssize_t wrap_mul(Py_ssize_t a, Py_ssize_t b)
{
    return static_cast<Py_ssize_t>(static_cast<size_t>(a) * static_cast<size_t>(b));
}

Py_ssize_t wrap_add(Py_ssize_t a, Py_ssize_t b)
{
    return static_cast<Py_ssize_t>(static_cast<size_t>(a) + static_cast<size_t>(b));
}

// A type code with its size under native ('@', '^', no mark) and standard
// ('=', '<') byte order, and how mismatch messages name it, alone and as the
// base of a 'Z' complex code (nullptr: the generic wording).
struct TypeCode {
    char code;
    Py_ssize_t native;
    Py_ssize_t standard;
    const char *text;
    const char *complex_text;
};

constexpr Py_ssize_t kLong = sizeof(long);
constexpr Py_ssize_t kLongDouble = sizeof(long double);

constexpr TypeCode kTypeCodes[] = {
    {'x', 1, 1, nullptr, nullptr},  // padding, never a leaf
    {'c', 1, 1, "'char'", nullptr},
    {'b', 1, 1, "'signed char'", nullptr},
    {'B', 1, 1, "'unsigned char'", nullptr},
    {'?', 1, 1, "'bool'", nullptr},
    {'s', 1, 1, "a string", nullptr},
    {'p', 1, 1, "a string", nullptr},
    {'h', 2, 2, "'short'", nullptr},
    {'H', 2, 2, "'unsigned short'", nullptr},
    {'e', 2, 2, "'half'", nullptr},
    {'i', 4, 4, "'int'", nullptr},
    {'I', 4, 4, "'unsigned int'", nullptr},
    {'f', 4, 4, "'float'", "'complex float'"},
    {'w', 4, 4, "a unicode string", nullptr},
    {'l', kLong, 4, "'long'", nullptr},
    {'L', kLong, 4, "'unsigned long'", nullptr},
    {'q', 8, 8, "'long long'", nullptr},
    {'Q', 8, 8, "'unsigned long long'", nullptr},
    {'n', 8, 8, "'ssize_t'", nullptr},
    {'N', 8, 8, "'size_t'", nullptr},
    {'d', 8, 8, "'double'", "'complex double'"},
    {'O', 8, 8, "Python object", nullptr},
    {'P', 8, 8, "a pointer", nullptr},
    {'g', kLongDouble, 8, "'long double'", "'complex long double'"},
};

const TypeCode *find_type(char code)
{
    for (const TypeCode &type : kTypeCodes) {
        if (type.code == code) {
            return &type;
        }
    }
    return nullptr;
}

// One element of a parsed format, with structs flattened.
struct Leaf {
    char code;        // struct-module type code; 'Z' codes keep the base in `complex_of`
    char complex_of;  // base code of a complex type, or 0
    Py_ssize_t offset;
    Py_ssize_t size;
    Py_ssize_t extent;  // product of the sub-array shape, 1 without one
    int sub_ndim;       // number of sub-array dimensions
};

// What precedes a struct or a type code in an item.
struct ItemShape {
    Py_ssize_t repeat = 1;
    Py_ssize_t extent = 1;
    int sub_ndim = 0;
};

// Messages below are part of the module's observable interface, byte for
// byte: tests/test_record_buffers.py and tests/test_convention.py pin them.
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
    static bool is_byte_order(char c)
    {
        return c == '@' || c == '^' || c == '=' || c == '<' || c == '>' || c == '!';
    }

    bool unparseable()
    {
        PyErr_Format(PyExc_ValueError, "Buffer dtype mismatch, unparseable format string '%s'",
                     start_);
        return false;
    }

    void add_leaf(const Leaf &leaf)
    {
        if (count_ < kMaxLeaves) {
            leaves_[count_++] = leaf;
        } else {
            overflowed_ = true;
        }
    }

    // Up to the closing brace (inside a struct) or the end; *size gets the
    // number of bytes covered, starting at `base`.
    bool parse_sequence(Py_ssize_t base, bool in_struct, Py_ssize_t *size)
    {
        Py_ssize_t offset = base;
        while (*p_ != '\0' && *p_ != '}') {
            if (!parse_element(&offset)) {
                return false;
            }
        }
        if ((*p_ == '}') != in_struct) {
            return unparseable();
        }
        p_ += in_struct ? 1 : 0;
        *size = offset - base;
        return true;
    }

    bool parse_element(Py_ssize_t *offset)
    {
        const char c = *p_;
        if (c == ' ' || c == '\t' || c == '\n') {
            ++p_;
            return true;
        }
        if (is_byte_order(c)) {
            return parse_byte_order();
        }
        if (c == ':') {
            return parse_name();
        }
        return parse_item(offset);
    }

    // The records are little-endian doubles; a big-endian mark ends the check
    // on this (little-endian) machine.
    bool parse_byte_order()
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

    // A field name, which is not compared.
    bool parse_name()
    {
        const char *close = std::strchr(p_ + 1, ':');
        if (close == nullptr) {
            return unparseable();
        }
        p_ = close + 1;
        return true;
    }

    bool parse_item(Py_ssize_t *offset)
    {
        ItemShape shape;
        // Without a count the item is there once; digits past kMaxCount stay
        // unread and then fail as a type code.
        parse_count(&shape.repeat);
        if (*p_ == '(' && !parse_shape(&shape)) {
            return false;
        }
        // NumPy puts a byte-order mark between a sub-array shape and its type.
        while (is_byte_order(*p_)) {
            if (!parse_byte_order()) {
                return false;
            }
        }
        if (*p_ == 'T') {
            return parse_struct(wrap_mul(shape.repeat, shape.extent), offset);
        }
        return parse_type(shape, offset);
    }

    // Leaves *value alone unless a count of at most kMaxCount is read.
    bool parse_count(Py_ssize_t *value)
    {
        if (*p_ < '0' || *p_ > '9') {
            return false;
        }
        Py_ssize_t v = 0;
        while (*p_ >= '0' && *p_ <= '9') {
            v = v * 10 + (*p_ - '0');
            if (v > kMaxCount) {
                return false;
            }
            ++p_;
        }
        *value = v;
        return true;
    }

    bool parse_shape(ItemShape *shape)
    {
        ++p_;  // '('
        for (;;) {
            Py_ssize_t dim;
            if (!parse_count(&dim)) {
                return unparseable();
            }
            shape->extent = wrap_mul(shape->extent, dim);
            ++shape->sub_ndim;
            if (*p_ == ')') {
                ++p_;
                return true;
            }
            if (*p_ != ',') {
                return unparseable();
            }
            ++p_;
            while (*p_ == ' ') {
                ++p_;
            }
        }
    }

    // A struct repeated `copies` times: its leaves once, then copied for every
    // further copy, each one struct size on.
    bool parse_struct(Py_ssize_t copies, Py_ssize_t *offset)
    {
        ++p_;  // 'T'
        if (*p_ != '{') {
            return unparseable();
        }
        ++p_;
        const int first = count_;
        Py_ssize_t struct_size = 0;
        if (!parse_sequence(0, true, &struct_size)) {
            return false;
        }
        const int last = count_;
        for (int i = first; i < last; ++i) {
            leaves_[i].offset = wrap_add(leaves_[i].offset, *offset);
        }
        for (Py_ssize_t k = 1; first < last && k < copies && !overflowed_; ++k) {
            for (int i = first; i < last; ++i) {
                Leaf copy = leaves_[i];
                copy.offset = wrap_add(copy.offset, wrap_mul(k, struct_size));
                add_leaf(copy);
            }
        }
        *offset = wrap_add(*offset, wrap_mul(copies, struct_size));
        return true;
    }

    bool parse_type(const ItemShape &shape, Py_ssize_t *offset)
    {
        char code = 0;
        char complex_of = 0;
        Py_ssize_t item = 0;
        if (!parse_type_code(&code, &complex_of, &item)) {
            return false;
        }
        if (code == 'x') {
            *offset = wrap_add(*offset, wrap_mul(wrap_mul(shape.repeat, shape.extent), item));
            return true;
        }
        if (code == 's' || code == 'p') {
            // A count before a string code is its length, not a repeat.
            add_leaf({code, 0, *offset, shape.repeat, shape.extent, shape.sub_ndim});
            *offset = wrap_add(*offset, wrap_mul(shape.repeat, shape.extent));
            return true;
        }
        const Py_ssize_t stride = wrap_mul(item, shape.extent);
        // Past kMaxLeaves only the offset moves on, by the copies not added.
        Py_ssize_t k = 0;
        for (; k < shape.repeat && !overflowed_; ++k) {
            add_leaf({code, complex_of, *offset, item, shape.extent, shape.sub_ndim});
            *offset = wrap_add(*offset, stride);
        }
        *offset = wrap_add(*offset, wrap_mul(shape.repeat - k, stride));
        return true;
    }

    // A code, or 'Z' and the code of the complex number's parts; *item gets
    // the element's size in bytes.
    bool parse_type_code(char *code, char *complex_of, Py_ssize_t *item)
    {
        *code = *p_;
        if (*code == '\0') {
            return unparseable();
        }
        ++p_;
        if (*code == 'Z') {
            *complex_of = *p_;
            if (*complex_of == '\0') {
                return unparseable();
            }
            ++p_;
        }
        const TypeCode *type = find_type(*complex_of ? *complex_of : *code);
        if (type == nullptr) {
            return unparseable();
        }
        const Py_ssize_t unit = standard_ ? type->standard : type->native;
        *item = *complex_of ? 2 * unit : unit;
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
    const TypeCode *type = find_type(leaf.complex_of ? leaf.complex_of : leaf.code);
    if (leaf.complex_of) {
        return type != nullptr && type->complex_text != nullptr ? type->complex_text
                                                                : "a complex number";
    }
    return type != nullptr && type->text != nullptr ? type->text : "an unknown type";
}

bool is_double(const Leaf &leaf)
{
    return leaf.complex_of == 0 && (leaf.code == 'd' || leaf.code == 'g') && leaf.size == 8;
}

// `field` is null for a plain double, which has no record to name. The quotes
// go through %s so that "end" (a missing field) can come without them.
bool field_mismatch(const RecordLayout &layout, const char *field, const char *got)
{
    if (field == nullptr) {
        PyErr_Format(PyExc_ValueError, "Buffer dtype mismatch, expected %s%s%s but got %s", "'",
                     "double", "'", got);
    } else {
        PyErr_Format(PyExc_ValueError, "Buffer dtype mismatch, expected '%s' but got %s in '%s.%s'",
                     "double", got, layout.name, field);
    }
    return false;
}

bool check_sub_array(const Leaf &leaf, Py_ssize_t extent)
{
    if (leaf.sub_ndim > kFieldDims) {
        PyErr_Format(PyExc_ValueError, "Expected %d dimension(s), got %d", kFieldDims,
                     leaf.sub_ndim);
        return false;
    }
    if (leaf.extent != extent) {
        PyErr_Format(PyExc_ValueError, "Expected a dimension of size %zu, got %zu",
                     static_cast<size_t>(extent), static_cast<size_t>(leaf.extent));
        return false;
    }
    return true;
}

bool check_field(const RecordLayout &layout, int k, const char *field, const Leaf &leaf)
{
    if (!is_double(leaf)) {
        return field_mismatch(layout, field, describe(leaf));
    }
    if (leaf.offset != layout.offset(k)) {
        PyErr_Format(PyExc_ValueError,
                     "Buffer dtype mismatch; next field is at offset %zd but %zd expected",
                     leaf.offset, layout.offset(k));
        return false;
    }
    return check_sub_array(leaf, layout.extent);
}

// The leaves in order against the fields, then nothing left over. A plain
// double is checked as one unnamed double field at offset 0.
bool check_leaves(const FormatParser &parser, const RecordLayout &layout)
{
    const int nfields = layout.nfields > 0 ? layout.nfields : 1;
    for (int k = 0; k < nfields; ++k) {
        const char *field = layout.nfields > 0 ? layout.fields[k] : nullptr;
        if (k >= parser.count()) {
            return field_mismatch(layout, field, "end");
        }
        if (!check_field(layout, k, field, parser.leaf(k))) {
            return false;
        }
    }
    if (nfields < parser.count() || parser.overflowed()) {
        const Leaf &extra = parser.leaf(nfields < parser.count() ? nfields : parser.count() - 1);
        PyErr_Format(PyExc_ValueError, "Buffer dtype mismatch, expected %s%s%s but got %s", "",
                     "end", "", describe(extra));
        return false;
    }
    return true;
}

bool check_item_size(const Py_buffer &view, const RecordLayout &layout)
{
    if (view.itemsize != layout.size()) {
        PyErr_Format(PyExc_ValueError,
                     "Item size of buffer (%zu byte%s) does not match size of '%s' (%zu byte%s)",
                     static_cast<size_t>(view.itemsize), view.itemsize == 1 ? "" : "s", layout.name,
                     static_cast<size_t>(layout.size()), layout.size() == 1 ? "" : "s");
        return false;
    }
    return true;
}

}  // namespace

bool check_buffer_layout(const Py_buffer &view, const RecordLayout &layout, int ndim)
{
    if (view.ndim != ndim) {
        PyErr_Format(PyExc_ValueError,
                     "Buffer has wrong number of dimensions (expected %d, got %d)", ndim,
                     view.ndim);
        return false;
    }
    // An exporter that gives no format exports unsigned bytes.
    FormatParser parser(view.format != nullptr ? view.format : "B");
    return parser.parse() && check_leaves(parser, layout) && check_item_size(view, layout);
}

}  // namespace quorvane::interop
