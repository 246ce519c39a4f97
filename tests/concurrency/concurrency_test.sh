#!/usr/bin/env bash
# Several workstations on one database at once: 4 on PostgreSQL (when TAVEL_PG_CONNINFO
# names a server), 2 on one SQLite file. Each receives, transfers, uses and counts the
# same products; afterwards the change of the products' total stock must equal the sum
# of what the workstations report as committed, a count taking the location's balance
# from what it held to what was counted (no lost update), every refusal must be
# RecordInUse or a business rule, and `invctl check` must pass.
#
#   concurrency_test.sh WORKSTATION INVCTL
set -euo pipefail
ws="$1"
invctl="$2"
products=(1 2 3)
ops="${TAVEL_CONCURRENCY_OPS:-40}"
work="$(mktemp -d)"
export TAVEL_DATA_DIR="$work"
status=0

run() { # engine-args... ; name, workstations
    local name="$1" n="$2"
    shift 2
    local where=("$@")
    "$invctl" "${where[@]}" init --demo >/dev/null
    local before after
    before="$("$ws" "${where[@]}" --total "${products[@]}")"
    local start=$(date +%s%N)
    local pids=()
    for i in $(seq 1 "$n"); do
        "$ws" "${where[@]}" --seed "$i" --ops "$ops" STORE TRT1 "${products[@]}" \
            >"$work/$name.$i.out" 2>"$work/$name.$i.err" &
        pids+=($!)
    done
    local failed=0
    for p in "${pids[@]}"; do
        wait "$p" || failed=1
    done
    local elapsed=$((($(date +%s%N) - start) / 1000000))
    after="$("$ws" "${where[@]}" --total "${products[@]}")"
    local committed=0 done=0 inuse=0 rule=0 other=0 counts=0
    for i in $(seq 1 "$n"); do
        read -r _ c _ _ _ d _ u _ r _ o _ k _ _ <"$work/$name.$i.out"
        committed="$(awk -v a="$committed" -v b="$c" 'BEGIN { printf "%.2f", a + b }')"
        counts=$((counts + k))
        done=$((done + d))
        inuse=$((inuse + u))
        rule=$((rule + r))
        other=$((other + o))
    done
    echo "$name: $n workstations x $ops operations: $done committed ($counts counts), refused" \
        "$inuse RecordInUse, $rule business rule, $other other; ${elapsed} ms"
    echo "$name: total stock $before -> $after, committed change $committed"
    if [ "$failed" -ne 0 ] || [ "$other" -ne 0 ]; then
        echo "$name: a refusal was neither RecordInUse nor a business rule" >&2
        cat "$work/$name".*.err >&2
        status=1
    fi
    if ! awk -v b="$before" -v a="$after" -v c="$committed" \
        'BEGIN { d = a - b - c; exit (d < 0 ? -d : d) > 0.001 }'; then
        echo "$name: lost update: the stock changed by $(awk -v b="$before" -v a="$after" \
            'BEGIN { print a - b }'), the workstations committed $committed" >&2
        status=1
    fi
    if ! "$invctl" "${where[@]}" check >"$work/$name.check" 2>&1; then
        echo "$name: invctl check failed" >&2
        cat "$work/$name.check" >&2
        status=1
    fi
}

run sqlite 2 --db "$work/shared.db"
if [ -n "${TAVEL_PG_CONNINFO:-}" ]; then
    db="tvl_conc_$$"
    psql "$TAVEL_PG_CONNINFO" -qc "DROP DATABASE IF EXISTS $db" -c "CREATE DATABASE $db" >/dev/null
    run postgresql 4 --pg "$TAVEL_PG_CONNINFO dbname=$db"
    psql "$TAVEL_PG_CONNINFO" -qc "DROP DATABASE IF EXISTS $db" >/dev/null || true
else
    echo "postgresql: skipped (no server configured)"
fi
rm -rf "$work"
exit "$status"
