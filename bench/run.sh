#!/usr/bin/env bash
# Builds the benchmarks in their own build folder, generates the group-size data once into a
# cache folder, runs every benchmark on it and writes the pair table.
#
#   bash bench/run.sh [extra Google Benchmark options]
#
# TAVEL_BENCH_BUILD  build folder        (default: build-bench in the clone)
# TAVEL_BENCH_CACHE  data cache folder   (default: ~/.cache/tavel-bench)
# TAVEL_BENCH_SIZE   clinic or group     (default: group)
# TAVEL_BENCH_PROGRAMS  which of receive stock list to run (default: all three)
# TAVEL_BENCH_SUMMARY   where the pair table goes (default: bench-summary.md in the build folder)
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${TAVEL_BENCH_BUILD:-$root/build-bench}"
cache="${TAVEL_BENCH_CACHE:-$HOME/.cache/tavel-bench}"
size="${TAVEL_BENCH_SIZE:-group}"
data="$cache/$size.db"
targets=(inventory_gen invctl db_bench receive_bench stock_bench list_bench view_bench order_bench
         scan_bench product_search_bench count_bench transfer_scan_bench)

cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DTAVEL_BUILD_BENCH=ON >/dev/null
cmake --build "$build" --target "${targets[@]}" -j2

mkdir -p "$cache"
# Data from before a schema change would time the old plans: an earlier version that
# only lacks indexes is upgraded in place, anything else is generated again.
if [[ -f "$data" ]]; then
    "$build/bin/invctl" --db "$data" upgrade >/dev/null 2>&1 || true
fi
if [[ -f "$data" ]] && ! "$build/bin/invctl" --db "$data" check-schema >/dev/null 2>&1; then
    echo "the $size data in $data predates the schema: generating it again"
    rm -f "$data" "$data.sequences"
fi
if [[ ! -f "$data" || ! -f "$data.sequences" ]]; then
    echo "generating the $size data into $data (once)"
    rm -f "$data" "$data.sequences"
    "$build/bin/inventory_gen" --size "$size" --out "$data.part"
    mv "$data.part.sequences" "$data.sequences"
    mv "$data.part" "$data"
fi

summary="${TAVEL_BENCH_SUMMARY:-$build/bench-summary.md}"
{
    echo "Machine: $(nproc) cores, $(free -g | awk '/^Mem:/ {print $2}') GiB, load $(cut -d' ' -f1-3 /proc/loadavg), $(date -u '+%Y-%m-%d %H:%M UTC')"
    echo
    echo "| Pair | Engine CPU ms | Native CPU ms | Engine wall ms | Native wall ms | Ratio (CPU) | Goal |"
    echo "|---|---|---|---|---|---|---|"
} >"$summary"
export TAVEL_BENCH_DB="$data" TAVEL_BENCH_SUMMARY="$summary"

# Scan-sized operations repeat; the long runs (whole receipts, counts, transfers of a
# location, list queries) fix their own iteration and repetition counts.
for program in ${TAVEL_BENCH_PROGRAMS:-receive stock list}; do
    "$build/bin/${program}_bench" --benchmark_repetitions=3 \
        --benchmark_report_aggregates_only=true "$@"
done

# The main screen's lists filled through the real views (no native twin: the list
# queries' pairs above are the comparison).
QT_QPA_PLATFORM=offscreen "$build/bin/view_bench"

# The order entry and vendor requests screens, on a copy of the data.
QT_QPA_PLATFORM=offscreen "$build/bin/order_bench"
# The product search, each kind with a three-letter text, and a scanned UPC code.
"$build/bin/product_search_bench"

echo
cat "$summary"

# The receiving screen, one scan after another: Enter to row and feedback.
QT_QPA_PLATFORM=offscreen "$build/bin/scan_bench"
# The count screen on the largest location: its first rows, then one count after another.
QT_QPA_PLATFORM=offscreen "$build/bin/count_bench"
# The transfer screen, one scan after another.
QT_QPA_PLATFORM=offscreen "$build/bin/transfer_scan_bench"
