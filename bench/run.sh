#!/usr/bin/env bash
# Builds the benchmarks in their own build folder, generates the group-size data once into a
# cache folder, runs every benchmark on it and writes the pair table.
#
#   bash bench/run.sh [extra Google Benchmark options]
#   bash bench/run.sh --pg [extra Google Benchmark options]
#
# With --pg the data (clinic unless TAVEL_BENCH_SIZE says group) is copied into a
# throw-away PostgreSQL cluster (scripts/pg-cluster.sh), or into a new database of the
# server TAVEL_PG_CONNINFO names, and the PostgreSQL programs run there instead: the
# scan-sized operations and list views against libpq twins, then workstations at once
# (TAVEL_BENCH_STATIONS, default 1,4,8,16 processes, TAVEL_BENCH_SECONDS each, default 10).
#
# TAVEL_BENCH_BUILD  build folder        (default: build-bench in the clone)
# TAVEL_BENCH_CACHE  data cache folder   (default: ~/.cache/tavel-bench)
# TAVEL_BENCH_SIZE   clinic or group     (default: group)
# TAVEL_BENCH_PROGRAMS  which of receive stock list to run (default: all three)
# TAVEL_BENCH_SUMMARY   where the pair table goes (default: bench-summary.md in the build folder)
set -euo pipefail

pg=0
if [[ "${1:-}" == "--pg" ]]; then
    pg=1
    shift
fi
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${TAVEL_BENCH_BUILD:-$root/build-bench}"
cache="${TAVEL_BENCH_CACHE:-$HOME/.cache/tavel-bench}"
size="${TAVEL_BENCH_SIZE:-$([[ $pg == 1 ]] && echo clinic || echo group)}"
data="$cache/$size.db"
targets=(inventory_gen invctl db_bench receive_bench stock_bench list_bench view_bench order_bench
         scan_bench product_search_bench count_bench transfer_scan_bench)

if [[ $pg == 1 ]]; then
    targets=(inventory_gen invctl pg_load pg_bench pg_workstations)
fi
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

if [[ $pg == 1 ]]; then
    # The server: the one named, else a throw-away cluster stopped again at the end.
    cluster=""
    if [[ -z "${TAVEL_PG_CONNINFO:-}" ]]; then
        cluster="$(mktemp -d /tmp/tavel-pg.XXXXXX)"
        trap 'bash "$root/scripts/pg-cluster.sh" stop "$cluster"' EXIT
        server="$(bash "$root/scripts/pg-cluster.sh" start "$cluster")"
    else
        server="$TAVEL_PG_CONNINFO"
    fi
    dbname="tavel_bench_$size"
    psql "$server" -qc "DROP DATABASE IF EXISTS $dbname" -c "CREATE DATABASE $dbname" >/dev/null
    export TAVEL_PG_CONNINFO="$server dbname=$dbname"
    echo "copying the $size data into $TAVEL_PG_CONNINFO"
    "$build/bin/pg_load" --from "$data" --pg "$TAVEL_PG_CONNINFO" | tail -1
    summary="${TAVEL_BENCH_SUMMARY:-$build/bench-pg-summary.md}"
    {
        echo "Machine: $(nproc) cores, $(free -g | awk '/^Mem:/ {print $2}') GiB, load $(cut -d' ' -f1-3 /proc/loadavg), $(date -u '+%Y-%m-%d %H:%M UTC'), PostgreSQL $(psql "$TAVEL_PG_CONNINFO" -Atc 'SHOW server_version'), $size data"
        echo
        echo "| Pair | Engine CPU ms | Native CPU ms | Engine wall ms | Native wall ms | Ratio (wall) | Goal |"
        echo "|---|---|---|---|---|---|---|"
    } >"$summary"
    TAVEL_BENCH_SUMMARY="$summary" "$build/bin/pg_bench" --benchmark_repetitions=3 \
        --benchmark_report_aggregates_only=true "$@"
    echo
    cat "$summary"
    echo | tee -a "$summary"
    "$build/bin/pg_workstations" --seconds "${TAVEL_BENCH_SECONDS:-10}" \
        --procs "${TAVEL_BENCH_STATIONS:-1,4,8,16}" | tee -a "$summary"
    exit 0
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
