#!/usr/bin/env bash
# Builds with AddressSanitizer and UndefinedBehaviorSanitizer (-DTAVEL_SANITIZE=ON) in
# build-asan/ and runs tests under them.
#   bash scripts/sanitize.sh [gtest filter]   # translator, framework, business and
#                                             # storage-fault tests (SQLite); e.g.
#                                             # 'TranslatorBounds*:StorageFaults*'
#   bash scripts/sanitize.sh --all            # every program and every test (ctest), the
#                                             # Qt screens offscreen, PostgreSQL variants
#                                             # on a throw-away cluster when one starts
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
jobs="${JOBS:-$(nproc)}"
all=0
if [ "${1:-}" = "--all" ]; then
    all=1
    shift
fi
programs=(sqldialect_tests framework_tests business_tests storage_fault_tests)
launcher=()
if command -v ccache >/dev/null; then
    launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
# -O1 with line tables only: reports still name file and line, and the whole tree
# compiles in a fraction of an optimised build's time.
cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG="-O1 -g1" \
    -DCMAKE_C_FLAGS_DEBUG="-O1 -g1" -DTAVEL_SANITIZE=ON -DTAVEL_BUILD_TESTS=ON \
    -DTAVEL_FUZZ_LIBFUZZER=OFF "${launcher[@]}" >/dev/null
if [ "$all" = 1 ]; then
    cmake --build build-asan -j"$jobs"
else
    cmake --build build-asan -j"$jobs" --target "${programs[@]}"
fi
# Leaks of the process's own caches at exit are not what this run looks for.
export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=0:abort_on_error=1}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}"
if [ "$all" = 0 ]; then
    for p in "${programs[@]}"; do
        echo "== $p"
        "build-asan/bin/$p" --gtest_brief=1 ${1:+--gtest_filter="$1"}
    done
    exit 0
fi

export QT_QPA_PLATFORM=offscreen QTEST_DISABLE_STACK_DUMP=1
source "$root/scripts/test-env.sh"
cd build-asan
# Sanitized programs run several times slower: a longer limit per test.
ctest --output-on-failure --timeout 1200 -j "$jobs" "${exclude[@]}"
