#!/usr/bin/env bash
# Builds the extensions with AddressSanitizer and UndefinedBehaviorSanitizer in
# a fresh virtual environment and runs the whole test suite against them, with
# more fuzzing examples than the normal run. The interpreter is not
# instrumented: the sanitizer runtimes are preloaded.
#
#   scripts/sanitize.sh [pytest arguments...]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

python3 -m venv "$work/venv"
# shellcheck disable=SC1091
source "$work/venv/bin/activate"
python -m pip install --quiet --upgrade pip
python -m pip install --quiet "numpy>=2.0" "scikit-build-core>=0.10" pytest hypothesis mpmath

flags="-fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer -g"
python -m pip install --quiet --no-build-isolation "$root[test]" \
    -Ccmake.build-type=RelWithDebInfo \
    -Ccmake.define.QUORVANE_EXTRA_FLAGS="$flags" \
    -Cbuild-dir="$work/build"

for so in "$work"/venv/lib/python3*/site-packages/quorvane/mathtools/*/*.so; do
    # grep -c reads all of nm's output: with pipefail, grep -q could fail the
    # pipeline by closing it early.
    [ "$(nm -D "$so" | grep -c __asan_report)" -gt 0 ] || { echo "not instrumented: $so" >&2; exit 1; }
done

runtime="$(g++ -print-file-name=libasan.so) $(g++ -print-file-name=libubsan.so)"
cd "$work"
# Python's own allocations are not freed at exit; leaks are checked by the
# test suite's leak loops instead.
LD_PRELOAD="$runtime" \
ASAN_OPTIONS="detect_leaks=0:abort_on_error=1:halt_on_error=1" \
UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1" \
QUORVANE_FUZZ_EXAMPLES="${QUORVANE_FUZZ_EXAMPLES:-600}" \
    pytest -q -p no:cacheprovider --rootdir "$root" "$root/tests" "$@"
