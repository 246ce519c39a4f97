#!/usr/bin/env bash
# Builds with AddressSanitizer and UndefinedBehaviorSanitizer (-DTAVEL_SANITIZE=ON) in
# build-asan/ and runs the translator, framework and business tests under them (SQLite).
#   bash scripts/sanitize.sh [gtest filter]   # e.g. 'TranslatorBounds*:StorageFaults*'
set -euo pipefail
cd "$(dirname "$0")/.."
jobs="${JOBS:-$(nproc)}"
programs=(sqldialect_tests framework_tests business_tests storage_fault_tests)
launcher=()
if command -v ccache >/dev/null; then
    launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTAVEL_SANITIZE=ON \
    -DTAVEL_BUILD_TESTS=ON -DTAVEL_FUZZ_LIBFUZZER=OFF "${launcher[@]}" >/dev/null
cmake --build build-asan -j"$jobs" --target "${programs[@]}"
# Leaks of the process's own caches at exit are not what this run looks for.
export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=0:abort_on_error=1}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}"
# The sanitizers' stack frames are several times larger than a plain build's: the
# translator's test of a 10,000-term expression needs more than the default 8 MB.
ulimit -s 65536 2>/dev/null || ulimit -s unlimited 2>/dev/null || true
for p in "${programs[@]}"; do
    echo "== $p"
    "build-asan/bin/$p" --gtest_brief=1 ${1:+--gtest_filter="$1"}
done
