#!/usr/bin/env bash
# Builds the extensions with AddressSanitizer and UndefinedBehaviorSanitizer in
# a fresh virtual environment (or the one QUORVANE_SANITIZE_VENV names) and
# runs the whole test suite against them, with more fuzzing examples than the
# normal run, then scripts/fuzz_hostile.py
# (QUORVANE_FUZZ_CALLS calls, default 20 000; further arguments of it in
# QUORVANE_FUZZ_ARGS, e.g. "--threads 2"). The interpreter is not
# instrumented: the sanitizer runtimes are preloaded.
#
#   scripts/sanitize.sh [pytest arguments...]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

# A virtual environment of the reference interpreter to install into may be
# given (CI passes the one its normal suite ran in, with the test extra
# installed); the instrumented build then replaces the package there.
venv="${QUORVANE_SANITIZE_VENV:-$work/venv}"
if [ ! -x "$venv/bin/python" ]; then
    python3 -m venv "$venv"
    "$venv/bin/python" -m pip install --quiet --upgrade pip
fi
# shellcheck disable=SC1091
source "$venv/bin/activate"
# The build requirements (the instrumented build runs without isolation) and
# the test extra, as pyproject.toml declares them.
python - "$root/pyproject.toml" > "$work/requirements.txt" <<'PY'
import sys, tomllib
with open(sys.argv[1], "rb") as f:
    project = tomllib.load(f)
print("\n".join(project["build-system"]["requires"] + project["project"]["optional-dependencies"]["test"]))
PY
python -m pip install --quiet -r "$work/requirements.txt"

# Checks as calls rather than inline code: the same checks, built in a fraction
# of the time. The batch kernels get address checks alone (what a wrong column
# or count would do to them); the sanitizers' full set takes their templates
# a quarter of an hour to compile.
common="-fno-omit-frame-pointer -g1 --param asan-instrumentation-with-call-threshold=0"
flags="-fsanitize=address,undefined -fno-sanitize-recover=undefined $common"
kernel_flags="-fsanitize=address -fno-sanitize-address-use-after-scope $common"
python -m pip install --quiet --no-build-isolation "$root" \
    -Ccmake.build-type=RelWithDebInfo \
    -Ccmake.define.QUORVANE_EXTRA_FLAGS="$flags" \
    -Ccmake.define.QUORVANE_KERNEL_FLAGS="$kernel_flags" \
    -Cbuild-dir="$work/build"

for so in "$venv"/lib/python3*/site-packages/quorvane/{mathtools/*,geo}/*.so; do
    # grep -c reads all of nm's output: with pipefail, grep -q could fail the
    # pipeline by closing it early.
    [ "$(nm -D "$so" | grep -c __asan_load)" -gt 0 ] || { echo "not instrumented: $so" >&2; exit 1; }
done

# The compiler that built the extensions (CMake takes $CXX first) knows its runtimes.
cxx="${CXX:-$(python -c 'import sysconfig; print(sysconfig.get_config_var("CXX") or "c++")')}"
runtime="$($cxx -print-file-name=libasan.so) $($cxx -print-file-name=libubsan.so)"
cd "$work"
# Python's own allocations are not freed at exit; leaks are checked by the
# test suite's leak loops instead.
export LD_PRELOAD="$runtime"
export ASAN_OPTIONS="detect_leaks=0:abort_on_error=1:halt_on_error=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
QUORVANE_FUZZ_EXAMPLES="${QUORVANE_FUZZ_EXAMPLES:-600}" \
    pytest -q -p no:cacheprovider --rootdir "$root" "$root/tests" "$@"
# shellcheck disable=SC2086
python -P "$root/scripts/fuzz_hostile.py" --calls "${QUORVANE_FUZZ_CALLS:-20000}" ${QUORVANE_FUZZ_ARGS:-}
