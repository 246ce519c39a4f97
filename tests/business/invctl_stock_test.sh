#!/usr/bin/env bash
# Runs one scenario of invctl stock / check on a fresh demo database:
# invctl_stock_test.sh INVCTL CASE. Exits non-zero naming the failed expectation.
source "$(dirname "$0")/../tools/invctl_lib.sh" "$@"

product_id() { value "SELECT \"Product\" FROM PRODUCT WHERE \"ProductCode\" = '$1'"; }
# Breaks the database behind invctl's back, as a faulty program or a hand edit would.
damage() { sqlite3 "$db" "$1" || fail "cannot run $1"; }

"$invctl" --db "$db" init --demo >/dev/null || fail "no demo database"

case "$case_name" in
check_demo)
    run check
    expect_status 0
    expect_out "stock consistent"
    # A real movement keeps the stock consistent.
    run use STORE GAUZE4 2
    expect_status 0
    run check
    expect_status 0
    ;;
check_broken)
    syr="$(product_id SYR3ML)"
    gauze="$(product_id GAUZE4)"
    first="$(value "SELECT MIN(\"InvItem\") FROM INVITEM WHERE \"Product\" = $gauze AND \"InvLoc\" = 'STORE'")"
    damage "UPDATE PRDLOC SET \"Balance\" = \"Balance\" + 1 WHERE \"Product\" = $syr AND \"InvLoc\" = 'STORE'"
    damage "UPDATE INVITEM SET \"Balance\" = \"Quantity\" + 1 WHERE \"InvItem\" = $first"
    damage "INSERT INTO INVITDET (\"InvItem\", \"Type\", \"InvLoc\", \"Product\", \"Quantity\") VALUES (99999, 3, 'STORE', $syr, -1)"
    run check
    expect_status 1
    expect_out "$(printf 'location-balance\tSYR3ML\tSTORE\t\tproduct location balance')"
    # The lot above its quantity breaks its own rule, its details and its location's sum.
    expect_out "$(printf 'item-balance\tGAUZE4\tSTORE\t%s\t' "$first")"
    expect_out "$(printf 'item-details\tGAUZE4\tSTORE\t%s\t' "$first")"
    expect_out "$(printf 'location-balance\tGAUZE4\tSTORE')"
    expect_out "$(printf 'orphan-detail\t\t\t99999')"
    [ "$(wc -l <"$work/out")" -eq 5 ] || fail "expected 5 violations: $out"
    expect_err "5 stock violations"
    ;;
stock_items)
    # Two lots of the flu vaccine at the store: the older one first, with its receipt.
    run stock STORE VACFLU
    expect_status 0
    [ "$(head -n 1 "$work/out")" = "$(printf 'InvItem\tDate\tQuantity\tBalance\tCostPerUnit\tExpiryDate\tOrigin')" ] ||
        fail "header: $out"
    [ "$(wc -l <"$work/out")" -eq 3 ] || fail "expected two lots: $out"
    audits="$(tail -n +2 "$work/out" | cut -f1 | while read -r i; do value "SELECT \"Audit\" FROM INVITEM WHERE \"InvItem\" = $i"; done)"
    [ "$audits" = "$(echo "$audits" | sort -n)" ] || fail "not oldest first: $out"
    tail -n +2 "$work/out" | cut -f7 | grep -qx "receipt [0-9]*" || fail "origin: $out"
    # Moved stock names where it came from; the UPC code names the product too.
    run stock CART1 "$(value "SELECT \"UPCCode\" FROM PRODUCT WHERE \"ProductCode\" = 'EPI1MG'")"
    expect_status 0
    expect_out "from STORE"
    # Used-up lots are left out on request.
    run use STORE SYR3ML 1
    expect_status 0
    run stock STORE SYR3ML
    used="$(awk -F'\t' 'NR > 1 && $4 == 0' "$work/out" | wc -l)"
    [ "$used" -ge 1 ] || fail "no used-up lot to hide: $out"
    run stock STORE SYR3ML --in-stock
    awk -F'\t' 'NR > 1 && $4 == 0 { exit 1 }' "$work/out" || fail "--in-stock shows empty lots: $out"
    ;;
stock_errors)
    run stock STORE NOSUCH
    expect_status 1
    expect_err "no product"
    run stock NOWHERE SYR3ML
    expect_status 1
    expect_err "no location NOWHERE"
    run stock STORE
    expect_status 64
    expect_err "usage:"
    ;;
*)
    fail "unknown case"
    ;;
esac
exit 0
