#!/usr/bin/env bash
# Runs one invctl scenario against a throw-away database: invctl_test.sh INVCTL CASE.
# Exits non-zero with a message naming the failed expectation.
source "$(dirname "$0")/invctl_lib.sh" "$@"

one_line_err() { [ "$(wc -l <"$work/err")" -eq 1 ] || fail "stderr is not one line: $err"; }

case "$case_name" in
init_fresh)
    run_raw --db "$db" init
    expect_status 0
    run_raw --db "$db" check-schema
    expect_status 0
    expect_out "schema ok, version"
    run_raw --db "$db" sql 'SELECT COUNT(1) AS "N" FROM PRODUCT'
    expect_status 0
    [ "$out" = "$(printf 'N\n0')" ] || fail "a fresh schema holds products: $out"
    ;;
init_demo)
    run_raw --db "$db" init --demo
    expect_status 0
    run_raw --db "$db" check-schema
    expect_status 0
    expect_out "schema ok, version"
    run_raw --db "$db" sql 'SELECT COUNT(1) FROM USERS WHERE "Login" = '"'admin'"
    expect_status 0
    [ "$(tail -n 1 "$work/out")" = "1" ] || fail "no admin user: $out"
    ;;
sql_rows)
    run_raw --db "$db" init --demo
    run_raw --db "$db" sql 'SELECT "InvLoc", "Name", "Type" FROM INVLOC ORDER BY "InvLoc"'
    expect_status 0
    [ "$(head -n 1 "$work/out")" = "$(printf 'InvLoc\tName\tType')" ] || fail "header: $out"
    expect_out "$(printf 'STORE\tCentral store room\t0')"
    # One row per location, as sqlite3 itself counts them.
    [ "$(wc -l <"$work/out")" -eq $((1 + $(sqlite3 "$db" 'SELECT COUNT(*) FROM INVLOC'))) ] ||
        fail "expected a header and a row per location: $out"
    ;;
sql_changes)
    run_raw --db "$db" init --demo
    rooms="$(sqlite3 "$db" 'SELECT COUNT(*) FROM INVLOC WHERE "Type" = 1')"
    [ "$rooms" -ge 2 ] || fail "the demo has $rooms supply rooms"
    run_raw --db "$db" sql 'UPDATE INVLOC SET "Inactive" = 1 WHERE "Type" = 1'
    expect_status 0
    [ "$out" = "$rooms" ] || fail "changed rows: $out"
    run_raw --db "$db" sql 'SELECT COUNT(1) FROM INVLOC WHERE "Inactive" = 1'
    [ "$(tail -n 1 "$work/out")" = "$rooms" ] || fail "update not stored: $out"
    ;;
translate)
    # No database is needed, and none is created.
    run_raw sql --translate 'SELECT "InvLoc" FROM INVLOC WHERE "Name" = '"'Store'"
    expect_status 0
    expect_out 'FROM INVLOC'
    [ -e "$db" ] && fail "a database was created"
    run_raw sql --translate 'SELECT 1 FROM DUAL; DROP TABLE INVLOC'
    [ "$status" -ne 0 ] || fail "two statements were translated: $out"
    expect_err "invctl:"
    one_line_err
    ;;
bad_statement)
    run_raw --db "$db" init
    run_raw --db "$db" sql 'SELECT "InvLoc" FROM NOSUCHTABLE'
    expect_status 1
    expect_err "invctl:"
    expect_err "NOSUCHTABLE"
    one_line_err
    run_raw --db "$db" sql 'INSERT INTO INVLOC ("Name") VALUES ('"'no code'"')'
    expect_status 1
    expect_err "invctl:"
    one_line_err
    ;;
existing_refused)
    run_raw --db "$db" init --demo
    run_raw --db "$db" init
    expect_status 1
    expect_err "--force"
    one_line_err
    run_raw --db "$db" sql 'SELECT COUNT(1) FROM PRODUCT'
    [ "$(tail -n 1 "$work/out")" != "0" ] || fail "the refused init removed data"
    run_raw --db "$db" init --force
    expect_status 0
    run_raw --db "$db" sql 'SELECT COUNT(1) FROM PRODUCT'
    [ "$(tail -n 1 "$work/out")" = "0" ] || fail "--force kept the old data: $out"
    ;;
check_schema_problem)
    run_raw --db "$db" init
    # The module's dialect has no DROP, so the damage is done behind invctl's back.
    sqlite3 "$db" 'DROP VIEW INVFILL_VIEW' || fail "cannot drop the view"
    run_raw --db "$db" check-schema
    expect_status 1
    expect_err "view INVFILL_VIEW is missing"
    one_line_err
    run_raw --db "$work/none.db" check-schema
    expect_status 1
    expect_err "no database file"
    [ -e "$work/none.db" ] && fail "check-schema created a file"
    # Stock commands refuse such a database instead of half working on it.
    run_raw --db "$db" stock STORE SYR3ML
    expect_status 1
    expect_err "is not an inventory database of this version"
    ;;
upgrade)
    run_raw --db "$db" init --demo
    # A file of schema version 1: before the order lists' date index.
    sqlite3 "$db" 'DROP INDEX IX_INVORDER_DATE; UPDATE TVL_SCHEMA SET "Version" = 1' ||
        fail "cannot make a version 1 file"
    run_raw --db "$db" check-schema
    expect_status 1
    expect_err "schema version 1"
    run_raw --db "$db" upgrade
    expect_status 0
    expect_out "upgraded from version 1"
    run_raw --db "$db" check-schema
    expect_status 0
    [ "$(sqlite3 "$db" "SELECT COUNT(1) FROM sqlite_schema WHERE name = 'IX_INVORDER_DATE'")" = 1 ] ||
        fail "the upgrade did not create the index"
    run_raw --db "$db" upgrade
    expect_status 0
    expect_out "already at version"
    # A version this program does not know is refused, not touched.
    sqlite3 "$db" 'UPDATE TVL_SCHEMA SET "Version" = 99'
    run_raw --db "$db" upgrade
    expect_status 1
    expect_err "cannot be upgraded"
    [ "$(sqlite3 "$db" 'SELECT "Version" FROM TVL_SCHEMA')" = 99 ] || fail "version changed"
    ;;
usage)
    # A wrong command line exits 64 (EX_USAGE), apart from the 2 of a refusal.
    run
    expect_status 64
    expect_err "usage:"
    run_raw --db "$db" frobnicate
    expect_status 64
    expect_err "unknown command frobnicate"
    run_raw --db "$db" init --bogus
    expect_status 64
    expect_err "usage:"
    run_raw sql 'SELECT 1 FROM DUAL'
    expect_status 64
    expect_err "--db"
    run_raw --help
    expect_status 0
    expect_out "64  the command line is wrong"
    ;;
*)
    fail "unknown case"
    ;;
esac
exit 0
