#!/usr/bin/env bash
# invctl report on a demo database: renders without a display, refuses bad input with
# the right exit code and a message that names the problem.
set -u
INVCTL=$1
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
export TAVEL_DATA_DIR=$dir
unset DISPLAY WAYLAND_DISPLAY QT_QPA_PLATFORM
db=$dir/demo.db
fail() { echo "FAIL: $*" >&2; exit 1; }

"$INVCTL" --db "$db" init --demo >/dev/null || fail "init --demo"
order=$("$INVCTL" --db "$db" sql 'SELECT MIN("InvOrder") FROM INVORDER WHERE "PONumber" IS NOT NULL' | sed -n 2p)
po=$("$INVCTL" --db "$db" sql "SELECT \"PONumber\" FROM INVORDER WHERE \"InvOrder\" = $order" | sed -n 2p)
[ -n "$order" ] && [ -n "$po" ] || fail "no order with a PO number in the demo"

# --db after the command works as well as before it.
"$INVCTL" report InvOrder.rpt --formula "InvOrder=$order" --out "$dir/o.pdf" --db "$db" >/dev/null 2>"$dir/err" \
    || fail "report InvOrder.rpt: $(cat "$dir/err")"
pdftotext "$dir/o.pdf" - | grep -qF "$po" || fail "the order's PO number $po is not in the PDF"

# Parameters by position.
"$INVCTL" --db "$db" report InvOrdRec.rpt --formula InvRecDate=01/02/2026 --param "$order" --param 0 \
    --out "$dir/r.pdf" >/dev/null 2>"$dir/err" || fail "report InvOrdRec.rpt: $(cat "$dir/err")"
pdftotext "$dir/r.pdf" - | grep -qF "01/02/2026" || fail "the formula value is not in the receipt"

expect() { # expected-exit-code message-fragment args...
    local code=$1 fragment=$2; shift 2
    "$INVCTL" "$@" >/dev/null 2>"$dir/err"
    local rc=$?
    [ "$rc" -eq "$code" ] || fail "$* exited $rc, not $code: $(cat "$dir/err")"
    grep -qF -- "$fragment" "$dir/err" || fail "$*: message lacks [$fragment]: $(cat "$dir/err")"
}
expect 64 "--out" --db "$db" report InvOrder.rpt --formula InvOrder=1
expect 64 "NAME=VALUE" --db "$db" report InvOrder.rpt --formula InvOrder --out "$dir/x.pdf"
expect 1 "1; DROP" --db "$db" report InvOrder.rpt --formula "InvOrder=1; DROP" --out "$dir/x.pdf"
expect 1 "Colour" --db "$db" report PrdLoc.rpt --formula Product=1 --formula Colour=red --out "$dir/x.pdf"
expect 1 "Missing.rpt" --db "$db" report Missing.rpt --out "$dir/x.pdf"
expect 1 "no database" --db "$dir/none.db" report InvLoc.rpt --out "$dir/x.pdf"
[ ! -e "$dir/x.pdf" ] || fail "a refused report left a PDF behind"
echo ok
