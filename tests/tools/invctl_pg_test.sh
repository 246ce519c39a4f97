#!/usr/bin/env bash
# invctl sql against a PostgreSQL server, in a schema of its own, next to the same demo on
# SQLite: invctl_pg_test.sh INVCTL. Exits 77 (skipped) when TAVEL_PG_CONNINFO names no
# server.
[ -n "${TAVEL_PG_CONNINFO:-}" ] || { echo "no server configured (TAVEL_PG_CONNINFO)"; exit 77; }
source "$(dirname "$0")/invctl_lib.sh" "$1" pg_sql

schema="tvl_invctl_$$"
admin() { psql "$TAVEL_PG_CONNINFO" -qX -v ON_ERROR_STOP=1 -c "SET client_min_messages = warning" "$@"; }
admin -c "DROP SCHEMA IF EXISTS $schema CASCADE" -c "CREATE SCHEMA $schema" >/dev/null ||
    fail "cannot create schema $schema"
trap 'admin -c "DROP SCHEMA IF EXISTS $schema CASCADE" >/dev/null; rm -rf "$work"' EXIT
pg="$TAVEL_PG_CONNINFO options='-c search_path=$schema'"
# count SQL: a number the server itself gives, without invctl.
count() { psql "$pg" -qXtA -c "$1"; }

"$invctl" --pg "$pg" init --demo >/dev/null || fail "init --demo on the server"
init_demo

# The same statements give the same text on both engines: codes unpadded, amounts as
# reals, NULL as an empty cell, unquoted names in upper case.
for statement in \
    'SELECT "InvLoc", "Name", "Type" FROM INVLOC ORDER BY "InvLoc"' \
    'SELECT * FROM PRDLOC ORDER BY 1, 2' \
    'SELECT P.ProductCode, SUM(PL.Balance) AS "Total", AVG(PL.Balance) AS average FROM PRDLOC PL, PRODUCT P WHERE PL.Product = P.Product GROUP BY P.ProductCode ORDER BY 1' \
    'SELECT * FROM INVORDER_VIEW ORDER BY INVORDER, INVORDIT'; do
    run_raw --pg "$pg" sql "$statement"
    expect_status 0
    cp "$work/out" "$work/server"
    run sql "$statement"
    expect_status 0
    [ "$(wc -l <"$work/out")" -gt 1 ] || fail "no rows on SQLite: $statement"
    cmp -s "$work/out" "$work/server" ||
        fail "the engines differ on $statement: $(diff "$work/out" "$work/server" | head -5)"
done
# A header and a row per location, as the server counts them.
run_raw --pg "$pg" sql 'SELECT "InvLoc" FROM INVLOC'
[ "$(wc -l <"$work/out")" -eq $((1 + $(count 'SELECT COUNT(*) FROM invloc'))) ] ||
    fail "expected a header and a row per location: $out"

# A write prints the rows it changed, and they stay changed.
rooms="$(count 'SELECT COUNT(*) FROM invloc WHERE "Type" = 1')"
[ "$rooms" -ge 2 ] || fail "the demo has $rooms supply rooms"
run_raw --pg "$pg" sql 'UPDATE INVLOC SET "Inactive" = 1 WHERE "Type" = 1'
expect_status 0
[ "$out" = "$rooms" ] || fail "changed rows: $out"
[ "$(count 'SELECT COUNT(*) FROM invloc WHERE "Inactive" = 1')" = "$rooms" ] ||
    fail "update not stored"

# Refusals: one line on stderr that names the cause.
run_raw --pg "$pg" sql 'SELECT "InvLoc" FROM NOSUCHTABLE'
expect_status 1
grep -qi "nosuchtable" "$work/err" || fail "stderr does not name the table: $err"
[ "$(wc -l <"$work/err")" -eq 1 ] || fail "stderr is not one line: $err"
run_raw --pg "$pg" sql 'INSERT INTO INVLOC ("Name") VALUES ('"'no code'"')'
expect_status 1
expect_err "the statement failed"
[ "$(wc -l <"$work/err")" -eq 1 ] || fail "stderr is not one line: $err"

# --translate shows the server's text and connects to nothing.
run_raw --pg "host=/nonexistent" sql --translate 'SELECT L.Name FROM INVLOC L'
expect_status 0
expect_out '."Name" FROM invloc'
run_raw sql --translate 'SELECT L.Name FROM INVLOC L'
expect_status 0
grep -qF '"Name"' "$work/out" && fail "the SQLite text quotes the name: $out"
exit 0
