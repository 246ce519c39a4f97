#!/usr/bin/env bash
# Runs one invctl scenario against a throw-away database: invctl_test.sh INVCTL CASE.
# Exits non-zero with a message naming the failed expectation.
set -uo pipefail
invctl="$1"
case_name="$2"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
export TAVEL_DATA_DIR="$work"
db="$work/inventory.db"

fail() { echo "FAIL ($case_name): $*" >&2; exit 1; }

# run ARGS...: runs invctl, keeping stdout, stderr and the exit code.
run() {
    "$invctl" "$@" >"$work/out" 2>"$work/err"
    status=$?
    out="$(cat "$work/out")"
    err="$(cat "$work/err")"
}
expect_status() { [ "$status" -eq "$1" ] || fail "exit $status, expected $1; stderr: $err"; }
expect_out() { grep -qF -- "$1" "$work/out" || fail "stdout lacks '$1': $out"; }
expect_err() { grep -qF -- "$1" "$work/err" || fail "stderr lacks '$1': $err"; }
one_line_err() { [ "$(wc -l <"$work/err")" -eq 1 ] || fail "stderr is not one line: $err"; }

case "$case_name" in
init_fresh)
    run --db "$db" init
    expect_status 0
    run --db "$db" check-schema
    expect_status 0
    expect_out "schema ok, version"
    run --db "$db" sql 'SELECT COUNT(1) AS "N" FROM PRODUCT'
    expect_status 0
    [ "$out" = "$(printf 'N\n0')" ] || fail "a fresh schema holds products: $out"
    ;;
init_demo)
    run --db "$db" init --demo
    expect_status 0
    run --db "$db" check-schema
    expect_status 0
    expect_out "schema ok, version"
    run --db "$db" sql 'SELECT COUNT(1) FROM USERS WHERE "Login" = '"'admin'"
    expect_status 0
    [ "$(tail -n 1 "$work/out")" = "1" ] || fail "no admin user: $out"
    ;;
sql_rows)
    run --db "$db" init --demo
    run --db "$db" sql 'SELECT "InvLoc", "Name", "Type" FROM INVLOC ORDER BY "InvLoc"'
    expect_status 0
    [ "$(head -n 1 "$work/out")" = "$(printf 'InvLoc\tName\tType')" ] || fail "header: $out"
    expect_out "$(printf 'STORE\tCentral store room\t0')"
    [ "$(wc -l <"$work/out")" -eq 5 ] || fail "expected a header and 4 rows: $out"
    ;;
sql_changes)
    run --db "$db" init --demo
    run --db "$db" sql 'UPDATE INVLOC SET "Inactive" = 1 WHERE "Type" = 1'
    expect_status 0
    [ "$out" = "2" ] || fail "changed rows: $out"
    run --db "$db" sql 'SELECT COUNT(1) FROM INVLOC WHERE "Inactive" = 1'
    [ "$(tail -n 1 "$work/out")" = "2" ] || fail "update not stored: $out"
    ;;
translate)
    # No database is needed, and none is created.
    run sql --translate 'SELECT "InvLoc" FROM INVLOC WHERE "Name" = '"'Store'"
    expect_status 0
    expect_out 'FROM INVLOC'
    [ -e "$db" ] && fail "a database was created"
    run sql --translate 'SELECT 1 FROM DUAL; DROP TABLE INVLOC'
    [ "$status" -ne 0 ] || fail "two statements were translated: $out"
    expect_err "invctl:"
    one_line_err
    ;;
bad_statement)
    run --db "$db" init
    run --db "$db" sql 'SELECT "InvLoc" FROM NOSUCHTABLE'
    expect_status 1
    expect_err "invctl:"
    expect_err "NOSUCHTABLE"
    one_line_err
    run --db "$db" sql 'INSERT INTO INVLOC ("Name") VALUES ('"'no code'"')'
    expect_status 1
    expect_err "invctl:"
    one_line_err
    ;;
existing_refused)
    run --db "$db" init --demo
    run --db "$db" init
    expect_status 1
    expect_err "--force"
    one_line_err
    run --db "$db" sql 'SELECT COUNT(1) FROM PRODUCT'
    [ "$(tail -n 1 "$work/out")" != "0" ] || fail "the refused init removed data"
    run --db "$db" init --force
    expect_status 0
    run --db "$db" sql 'SELECT COUNT(1) FROM PRODUCT'
    [ "$(tail -n 1 "$work/out")" = "0" ] || fail "--force kept the old data: $out"
    ;;
check_schema_problem)
    run --db "$db" init
    # The module's dialect has no DROP, so the damage is done behind invctl's back.
    sqlite3 "$db" 'DROP VIEW INVFILL_VIEW' || fail "cannot drop the view"
    run --db "$db" check-schema
    expect_status 1
    expect_err "view INVFILL_VIEW is missing"
    one_line_err
    run --db "$work/none.db" check-schema
    expect_status 1
    expect_err "no database file"
    [ -e "$work/none.db" ] && fail "check-schema created a file"
    ;;
usage)
    run
    expect_status 2
    expect_err "usage:"
    run --db "$db" frobnicate
    expect_status 2
    expect_err "unknown command frobnicate"
    run --db "$db" init --bogus
    expect_status 2
    expect_err "usage:"
    run sql 'SELECT 1 FROM DUAL'
    expect_status 2
    expect_err "--db"
    ;;
*)
    fail "unknown case"
    ;;
esac
exit 0
