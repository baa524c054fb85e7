// The columns string of a registry entry, read at compile time.
//
// Grammar: space-separated tokens `name:unit`, then ` -> `, then the outputs.
// Units: rad, m, 1 (dimensionless) or any (a vector component in the caller's
// unit). `Re:m f:1` are the last two inputs exactly when the conversion
// depends on the ellipsoid. An output `name[3]:unit` is a core dimension of
// three columns (a generalized ufunc).
#pragma once

namespace quorvane::registry {

struct ColumnCounts {
    int point_inputs = 0;    // inputs other than Re and f
    int ellipsoid = 0;       // 2 when Re and f are inputs, else 0
    int outputs = 0;         // output arguments
    int output_columns = 0;  // kernel output columns: a core dimension counts 3
    int output_width = 1;    // 3 when the outputs have a core dimension
};

namespace detail {

constexpr bool token_is(const char *begin, const char *end, const char *name)
{
    for (; begin != end && *begin != ':'; ++begin, ++name) {
        if (*name == '\0' || *begin != *name) {
            return false;
        }
    }
    return *name == '\0';
}

constexpr bool has_core_dimension(const char *begin, const char *end)
{
    for (; begin != end; ++begin) {
        if (*begin == '[') {
            return true;
        }
    }
    return false;
}

}  // namespace detail

constexpr ColumnCounts count_columns(const char *columns)
{
    ColumnCounts counts;
    bool outputs = false;
    const char *p = columns;
    while (*p != '\0') {
        while (*p == ' ') {
            ++p;
        }
        const char *begin = p;
        while (*p != '\0' && *p != ' ') {
            ++p;
        }
        if (begin == p) {
            break;
        }
        if (p - begin == 2 && begin[0] == '-' && begin[1] == '>') {
            outputs = true;
        } else if (!outputs) {
            const bool parameter =
                detail::token_is(begin, p, "Re") || detail::token_is(begin, p, "f");
            (parameter ? counts.ellipsoid : counts.point_inputs) += 1;
        } else {
            const int width = detail::has_core_dimension(begin, p) ? 3 : 1;
            counts.outputs += 1;
            counts.output_columns += width;
            counts.output_width = width;
        }
    }
    return counts;
}

}  // namespace quorvane::registry
