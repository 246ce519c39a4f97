#!/usr/bin/env bash
# Runs one fuzz target on its seeds for a bounded time:
#   run_fuzz.sh ENGINE BINARY SECONDS KIND
# ENGINE is libfuzzer or driver (the seeded mutation driver), KIND is sql or barcode.
# The inputs the run finds are thrown away unless FUZZ_CORPUS names a folder to keep them
# in (a longer run by hand builds on it). A crash leaves its input in the current folder
# (crash-...), replayed with: BINARY crash-FILE.
set -euo pipefail
engine="$1" bin="$2" seconds="$3" kind="$4"
here="$(cd "$(dirname "$0")" && pwd)"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/seeds"
corpus="${FUZZ_CORPUS:-$work/new}"
mkdir -p "$corpus"

i=0
case "$kind" in
sql)
    # The statements the module writes, their placeholders filled with plain values.
    while IFS= read -r line; do
        [ -n "$line" ] || continue
        printf '%s' "$line" | sed -e "s/%ld/42/g; s/%d/1/g; s/SELECT %s/SELECT */g; s/%\.\*s/MAIN/g; s/%%s//g; s/%s/MAIN/g" >"$work/seeds/$i"
        i=$((i + 1))
    done <"$here/../data/oracle-sql-corpus.txt"
    dict="$here/seeds/sql.dict"
    # Nesting is refused past its limit and long chains translate in loops, so inputs
    # long enough for both are fair game.
    max_len="${FUZZ_MAX_LEN:-8192}"
    ;;
barcode)
    while IFS= read -r line; do
        case "$line" in '' | '#'*) continue ;; esac
        printf '%b' "$line" >"$work/seeds/$i"
        i=$((i + 1))
    done <"$here/seeds/barcode.txt"
    dict=""
    max_len="${FUZZ_MAX_LEN:-4096}"
    ;;
*)
    echo "run_fuzz.sh: unknown kind $kind" >&2
    exit 2
    ;;
esac
[ "$i" -gt 0 ] || { echo "run_fuzz.sh: no seeds for $kind" >&2; exit 1; }

status=0
if [ "$engine" = libfuzzer ]; then
    "$bin" -seed=1 -max_total_time="$seconds" -max_len="$max_len" -timeout=30 -rss_limit_mb=2048 \
        -print_final_stats=1 ${dict:+-dict="$dict"} -artifact_prefix="$PWD/$kind-" \
        "$corpus" "$work/seeds" || status=$?
else
    "$bin" --seed 1 --seconds "$seconds" --max-len "$max_len" --artifact-prefix "$PWD/$kind-" \
        "$work/seeds" || status=$?
fi
exit "$status"
