#!/usr/bin/env bash
# The generated data copied to a PostgreSQL server: pg_load_test.sh INVENTORY_GEN PG_LOAD
# INVCTL PG_WORKSTATIONS. The tiny data goes into a schema of its own; every table must hold the same rows
# on the server (counts and sums, dates included), invctl check must pass there, a stock
# movement through the service must be stored (the server's id counters are past the ids
# copied) and the batch counter must continue after the file's. Then two workstations scan
# at once on the copy: every scan stored, none refused, and the stock still consistent. Exits 77 (skipped) when
# TAVEL_PG_CONNINFO names no server.
set -uo pipefail
[ -n "${TAVEL_PG_CONNINFO:-}" ] || { echo "no server configured (TAVEL_PG_CONNINFO)"; exit 77; }
gen="$1"
load="$2"
invctl="$3"
stations="$4"
work="$(mktemp -d)"
export TAVEL_DATA_DIR="$work"
schema="tvl_pgload_$$"
admin() { psql "$TAVEL_PG_CONNINFO" -qX -v ON_ERROR_STOP=1 -c "SET client_min_messages = warning" "$@"; }
trap 'admin -c "DROP SCHEMA IF EXISTS $schema CASCADE" >/dev/null; rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
pg="$TAVEL_PG_CONNINFO options='-c search_path=$schema'"
db="$work/tiny.db"

"$gen" --size tiny --out "$db" >/dev/null 2>&1 || fail "generator failed"
admin -c "CREATE SCHEMA $schema" >/dev/null || fail "cannot create schema $schema"
"$load" --from "$db" --pg "$pg" >"$work/load" 2>&1 || fail "pg_load failed: $(tail -5 "$work/load")"

# Every table of the file: the same number of rows on the server.
tables="$(sqlite3 "$db" "SELECT name FROM sqlite_schema WHERE type = 'table' AND name NOT LIKE 'sqlite%'")"
[ "$(echo "$tables" | wc -l)" -ge 10 ] || fail "too few tables in the file: $tables"
for t in $tables; do
    lite="$(sqlite3 "$db" "SELECT COUNT(*) FROM \"$t\"")"
    server="$(psql "$pg" -qXtA -c "SELECT COUNT(*) FROM $t")" || fail "no table $t on the server"
    [ "$lite" = "$server" ] || fail "$t: $lite rows in the file, $server on the server"
done

# The values, through the same statements on both engines.
for statement in \
    'SELECT SUM("Balance") AS B, SUM("Quantity") AS Q, SUM("CostPerUnit") AS C, MIN("ExpiryDate") AS E1, MAX("ExpiryDate") AS E2 FROM INVITEM' \
    'SELECT COUNT(*) AS N, MIN("Date") AS D1, MAX("Date") AS D2 FROM AUDITHIS' \
    'SELECT "Product", "InvLoc", "Balance", "Bin" FROM PRDLOC ORDER BY 1, 2' \
    'SELECT "InvOrdIt", "Status", "Quantity", "QtyFilled" FROM INVORDIT ORDER BY 1' \
    'SELECT "Product", "ProductCode", "Description", "AverageCost" FROM PRODUCT ORDER BY 1'; do
    "$invctl" --db "$db" sql "$statement" >"$work/lite" 2>&1 || fail "$statement on the file"
    "$invctl" --pg "$pg" sql "$statement" >"$work/server" 2>&1 || fail "$statement on the server"
    cmp -s "$work/lite" "$work/server" ||
        fail "the copy differs: $statement: $(diff "$work/lite" "$work/server" | head -4)"
done

"$invctl" --pg "$pg" check >"$work/check" 2>&1 || fail "invctl check on the server: $(head -5 "$work/check")"

# A movement through the service inserts an audit row and a detail with ids of the
# server's counters.
read -r loc product < <(sqlite3 -separator ' ' "$db" "SELECT PL.\"InvLoc\", P.\"ProductCode\" FROM PRDLOC PL JOIN PRODUCT P ON P.\"Product\" = PL.\"Product\" WHERE PL.\"Balance\" >= 1 AND PL.\"InvLoc\" <> ' ' ORDER BY PL.\"Product\", 1 LIMIT 1")
[ -n "$product" ] || fail "no stock in the tiny data"
before="$(psql "$pg" -qXtA -c "SELECT COUNT(*) FROM invitdet")"
"$invctl" --pg "$pg" use "$loc" "$product" 1 --allow-expired >"$work/use" 2>&1 ||
    fail "a use after the copy was refused: $(cat "$work/use")"
after="$(psql "$pg" -qXtA -c "SELECT COUNT(*) FROM invitdet")"
[ "$after" -gt "$before" ] || fail "the use stored no detail ($before -> $after)"

# The batch counter goes on after the file's.
used="$(sqlite3 "$db.sequences" "SELECT value FROM TVL_SEQUENCES WHERE name = 'INVITDET_BATCHID_SEQ'")"
next="$(psql "$pg" -qXtA -c "SELECT nextval('invitdet_batchid_seq')")"
[ -n "$used" ] && [ "$used" -gt 0 ] || fail "no batch counter in the file"
[ "$next" -eq $((used + 1)) ] || fail "the server's next batch is $next, the file used $used"

"$stations" --pg "$pg" --seconds 1 --procs 2 --products 5 >"$work/stations" 2>&1 ||
    fail "workstations at once failed: $(tail -5 "$work/stations")"
IFS='|' read -r _ procs scans _ _ _ refused _ < <(grep '^| 2 |' "$work/stations")
[ "${scans// /}" -gt 0 ] 2>/dev/null || fail "no scans stored: $(cat "$work/stations")"
[ "${refused// /}" = 0 ] || fail "scans refused: $(cat "$work/stations")"
"$invctl" --pg "$pg" check >"$work/check" 2>&1 ||
    fail "invctl check after the workstations: $(head -5 "$work/check")"
echo "pg_load: $(tail -1 "$work/load"), same rows and values on the server; ${scans// /} scans at once"
