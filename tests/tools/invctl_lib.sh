# Shared set-up of the invctl scenario scripts. Source it first thing:
#   source "$(dirname "$0")/../tools/invctl_lib.sh" "$@"
# Arguments of the script: INVCTL CASE. Gives a throw-away data folder and database path,
# and the helpers below; each failure exits non-zero naming the case and the expectation.
set -uo pipefail
invctl="$1"
case_name="${2:-}"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
export TAVEL_DATA_DIR="$work"
db="$work/inventory.db"

fail() { echo "FAIL ($case_name): $*" >&2; exit 1; }

# run_raw ARGS...: runs invctl as given, keeping stdout, stderr and the exit code.
run_raw() {
    "$invctl" "$@" >"$work/out" 2>"$work/err"
    status=$?
    out="$(cat "$work/out")"
    err="$(cat "$work/err")"
}
# run ARGS...: the same on the scenario's database.
run() { run_raw --db "$db" "$@"; }

expect_status() { [ "$status" -eq "$1" ] || fail "exit $status, expected $1; stderr: $err"; }
expect_out() { grep -qF -- "$1" "$work/out" || fail "stdout lacks '$1': $out"; }
expect_err() { grep -qF -- "$1" "$work/err" || fail "stderr lacks '$1': $err"; }
# value SQL: the single value a query returns.
value() { "$invctl" --db "$db" sql "$1" | tail -n 1; }
# balance LOC CODE: the balance of a product (by code) at a location.
balance() { value "SELECT PL.\"Balance\" FROM PRDLOC PL, PRODUCT P WHERE PL.\"Product\" = P.\"Product\" AND P.\"ProductCode\" = '$2' AND PL.\"InvLoc\" = '$1'"; }

# Every row the commands write, to show that a refused command changed nothing. One
# sqlite3 run reads them all: the demo is large enough for a run per table to add up.
dump() {
    local t sql=""
    for t in PRODUCT PRDLOC INVORDER INVORDIT INVREC INVITEM INVITDET AUDITHIS; do
        sql="$sql SELECT '$t'; SELECT * FROM $t ORDER BY 1, 2;"
    done
    sqlite3 "$db" "$sql" || fail "cannot read the database"
}
# refused STATUS TEXT ARGS...: the command fails with STATUS, says TEXT, changes nothing.
refused() {
    local want="$1" text="$2"
    shift 2
    dump >"$work/before"
    run "$@"
    expect_status "$want"
    expect_err "$text"
    dump >"$work/after"
    cmp -s "$work/before" "$work/after" || fail "refused '$*' changed the database"
}
# The stock invariant and the detail rows, as invctl check verifies them.
expect_consistent() {
    "$invctl" --db "$db" check >"$work/check" 2>&1 || fail "check${1:+ after $1}: $(cat "$work/check")"
}
# A fresh demo database for the scenario.
init_demo() { "$invctl" --db "$db" init --demo >/dev/null || fail "init --demo"; }
# carry LOCATION PRODUCT: set the product up at the location with no stock, as the
# product-location screen would, so that stock may be moved there.
carry() {
    run sql "INSERT INTO PRDLOC (\"Product\", \"InvLoc\", \"Stocked\", \"TrackUsage\", \"CanOrderFrom\", \"Balance\", \"LastCount\", \"MinCount\", \"ReorderCount\", \"MaxCount\", \"MinToOrder\", \"StdToOrder\", \"Inactive\") SELECT \"Product\", '$1', 1, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0 FROM PRODUCT WHERE \"ProductCode\" = '$2'"
    [ "$status" -eq 0 ] && [ "$(tail -n 1 "$work/out")" = "1" ] || fail "cannot set up $2 at $1: $err"
}
