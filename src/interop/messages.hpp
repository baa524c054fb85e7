// The texts of the exceptions the module raises itself. They are part of its
// observable interface: callers match on them, and they keep, byte for byte,
// the wording of the compiled module this one replaces, odd spots included:
//   - kTakesPositional feeds "exactly" through "%.8s" and quote characters
//     through "%s" exactly as that module formatted them;
//   - kNoReduce names __cinit__, which this implementation does not have;
//   - precisions such as "%.200s" count bytes of UTF-8, as PyUnicode_FromFormat
//     does for a char *, so names are cut where that module cut them.
// Pinned by tests/test_convention.py (binding, NameError), tests/test_module.py
// (pickling, construction), tests/test_import_failures.py (start-up) and
// tests/test_regressions.py (the remaining binding messages); the buffer-format
// messages live with their check in record_layout.cpp and are pinned by
// tests/test_record_buffers.py.
#pragma once

namespace quorvane::messages {

// Argument binding (TypeError).
inline constexpr char kTakesPositional[] =
    "%.200s() takes %.8s %zd positional argument%.1s (%zd given)";
inline constexpr char kExactly[] = "exactly";
inline constexpr char kKeywordsMustBeStrings[] = "%.200s() keywords must be strings";
inline constexpr char kMultipleValues[] = "%s() got multiple values for keyword argument '%U'";
inline constexpr char kUnexpectedKeyword[] = "%s() got an unexpected keyword argument '%U'";

// Module-level name lookup (NameError).
inline constexpr char kNameNotDefined[] = "name '%U' is not defined";

// The type (TypeError).
inline constexpr char kNoReduce[] = "no default __reduce__ due to non-trivial __cinit__";
inline constexpr char kNotStarted[] =
    "cannot create '%.200s' instances: its module did not finish starting";
inline constexpr char kUnboundNeedsArgument[] = "unbound method %U() needs an argument";
inline constexpr char kDescriptorMismatch[] =
    "descriptor '%s' for '%s' objects doesn't apply to a '%.100s' object";

// Start-up (ImportError, TypeError).
inline constexpr char kNumpyImport[] = "numpy.core.multiarray failed to import";
inline constexpr char kMissingCFunction[] = "%.200s does not export expected C function %.200s";
inline constexpr char kWrongSignature[] =
    "C function %.200s.%.200s has wrong signature (expected %.500s, got %.500s)";
inline constexpr char kCannotImportName[] = "cannot import name %S";

// Memory that a result or an argument no longer holds (ValueError), see held_memory.hpp.
inline constexpr char kMemoryLost[] =
    "the memory of the %s was moved or freed by its owner while the call used it";

}  // namespace quorvane::messages
