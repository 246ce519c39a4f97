#!/usr/bin/env bash
# The data generator at its tiny size: inventory_gen_test.sh INVENTORY_GEN INVCTL.
# The database it writes must pass invctl's schema and stock checks, hold what the size
# promises, come out the same on every run, and leave the sequences past the numbers used.
set -uo pipefail
gen="$1"
invctl="$2"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
export TAVEL_DATA_DIR="$work"
db="$work/tiny.db"

fail() { echo "FAIL: $*" >&2; exit 1; }
value() { "$invctl" --db "$1" sql "$2" | tail -n 1; }

"$gen" --size tiny --out "$db" >"$work/out" 2>&1 || fail "generator failed: $(cat "$work/out")"
grep -q "^wrote $db in " "$work/out" || fail "no summary: $(cat "$work/out")"
"$invctl" --db "$db" check-schema >/dev/null || fail "schema check failed"
"$invctl" --db "$db" check >"$work/check" 2>&1 || fail "stock check failed: $(head -5 "$work/check")"

# The sizes of the tiny data set, every order-line status present, and products and
# product locations active as rows written through the tables are ("Inactive" = 0, never
# NULL, which would empty every list that selects active rows).
while IFS="|" read -r sql expected; do
    got="$(value "$db" "$sql")"
    [ "$got" = "$expected" ] || fail "$sql gave $got, expected $expected"
done <<'CASES'
SELECT COUNT(1) FROM PRODUCT|30
SELECT COUNT(1) FROM INVLOC|8
SELECT COUNT(DISTINCT "Type") FROM INVLOC|4
SELECT COUNT(1) FROM INVITEM|400
SELECT COUNT(1) FROM INVORDIT|120
SELECT COUNT(DISTINCT "Status") FROM INVORDIT|10
SELECT COUNT(DISTINCT "Type") FROM INVITEM|3
SELECT CASE WHEN COUNT(1) > 0 THEN 1 ELSE 0 END FROM INVITDET WHERE "Type" = 6 AND "InvItem" = 0 AND "BatchId" > 0|1
SELECT COUNT(1) FROM INVORDIT WHERE "QtyFilled" > "Quantity"|0
SELECT COUNT(1) FROM INVORDIT A WHERE EXISTS (SELECT 1 FROM INVORDIT B WHERE B."InvOrder" = A."InvOrder" AND B."Product" = A."Product" AND B."InvOrdIt" <> A."InvOrdIt")|0
SELECT COUNT(1) FROM PRODUCT WHERE "Inactive" = 0|30
SELECT COUNT(1) FROM PRDLOC WHERE "Inactive" IS NULL OR "Inactive" <> 0|0
SELECT CASE WHEN COUNT(1) >= 90 THEN 1 ELSE 0 END FROM PRDLOC WHERE "Inactive" = 0|1
CASES

# Fills agree with the stock items that filled them.
got="$(value "$db" 'SELECT COUNT(1) FROM INVORDIT I WHERE "QtyFilled" <> (SELECT COALESCE(SUM("Quantity"), 0) FROM INVITEM M WHERE M."InvOrdIt" = I."InvOrdIt")')"
[ "$got" = "0" ] || fail "$got order lines whose fill differs from their stock items"

# The next batch and pick-list numbers follow the ones in use.
for pair in 'INVITDET_BatchId_SEQ INVITDET "BatchId"' 'INVORDIT_PickList_SEQ INVORDIT "PickList"'; do
    set -- $pair
    used="$(value "$db" "SELECT MAX($3) FROM $2")"
    next="$(value "$db" "SELECT $1.nextval FROM DUAL")"
    [ "$next" -gt "$used" ] || fail "$1 hands out $next, $used is in use"
done

# Same seed, same rows.
"$gen" --size tiny --out "$work/again.db" >/dev/null 2>&1 || fail "second run failed"
for table in INVITEM INVITDET INVORDIT PRDLOC AUDITHIS; do
    "$invctl" --db "$db" sql "SELECT * FROM $table ORDER BY 1" >"$work/a" || fail "cannot read $table"
    "$invctl" --db "$work/again.db" sql "SELECT * FROM $table ORDER BY 1" >"$work/b"
    [ "$(wc -l <"$work/a")" -gt 10 ] || fail "$table has almost no rows"
    cmp -s "$work/a" "$work/b" || fail "$table differs between two runs"
done

# An existing file is never overwritten.
"$gen" --size tiny --out "$db" >/dev/null 2>&1 && fail "an existing file was accepted"
exit 0
