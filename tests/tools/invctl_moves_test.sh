#!/usr/bin/env bash
# Runs the stock movement commands of invctl on a fresh demo database, then `invctl check`:
# invctl_moves_test.sh INVCTL CASE. Exits non-zero with a message naming the failed
# expectation.
source "$(dirname "$0")/invctl_lib.sh" "$@"

# The value of one column (by header name) in the output row whose first field is $1.
field() {
    awk -F'\t' -v key="$1" -v col="$2" 'NR == 1 { for (i = 1; i <= NF; i++) if ($i == col) c = i }
        NR > 1 && $1 == key { print $c }' "$work/out"
}
# One scalar from SQL (the last line of invctl sql).
scalar() {
    "$invctl" --db "$db" sql "$1" | tail -n 1
}
stock_at() {
    scalar "SELECT COALESCE(SUM(I.\"Balance\"), 0) FROM INVITEM I, PRODUCT P WHERE I.\"Product\" = P.\"Product\" AND P.\"ProductCode\" = '$1' AND I.\"InvLoc\" = '$2'"
}

init_demo

case "$case_name" in
transfer)
    # Syringes at the store: a lot of 4 with 1 left (17.90), then one of 10 (18.50).
    run transfer STORE TRT2 SYR3ML 6
    expect_status 0
    [ "$(wc -l <"$work/out")" -eq 3 ] || fail "expected two lots to arrive: $out"
    [ "$(awk -F'\t' 'NR > 1 { print $5 "@" $7 "<" $9 }' "$work/out" | sort | tr '\n' ' ')" = \
        "1@17.90<STORE 5@18.50<STORE " ] || fail "lots not moved with cost and origin: $out"
    [ "$(stock_at SYR3ML TRT2)" = "6.0" ] || fail "TRT2 does not hold 6"
    # Expiry dates travel with the lots.
    run transfer STORE TRT2 VACFLU 12
    expect_status 0
    [ "$(field "$(awk -F'\t' 'NR == 2 { print $1 }' "$work/out")" ExpiryDate)" != "" ] ||
        fail "vaccine lot arrived without its expiry date: $out"
    expect_consistent
    ;;
transfer_all)
    before="$(stock_at GLVNTM TRT1)"
    run transfer-all TRT1 TRT2
    expect_status 0
    [ "$(scalar 'SELECT SUM("Balance") FROM INVITEM WHERE "InvLoc" = '"'TRT1'")" = "0.0" ] ||
        fail "stock left at TRT1"
    [ "$(stock_at GLVNTM TRT2)" = "$before" ] || fail "gloves did not all arrive: $out"
    expect_consistent
    ;;
count)
    run count STORE NDL23G 3
    expect_status 0
    [ "$(field STORE LastCount)" = "3" ] && [ "$(field STORE Balance)" = "3" ] ||
        fail "count not recorded: $out"
    run count STORE NDL23G 9 CNT
    expect_status 0
    [ "$(stock_at NDL23G STORE)" = "9.0" ] || fail "count above the stock not reached"
    expect_consistent
    ;;
split)
    item="$(scalar 'SELECT MIN("InvItem") FROM INVITEM WHERE "Quantity" > 5 AND "Balance" >= 3')"
    run split "$item" 3 1.25 2030-01-31
    expect_status 0
    new="$(awk -F'\t' 'NR == 2 { print $1 }' "$work/out")"
    [ "$(field "$new" Quantity)" = "3" ] && [ "$(field "$new" CostPerUnit)" = "1.25" ] &&
        [ "$(field "$new" ExpiryDate)" = "2030-01-31" ] || fail "split item: $out"
    [ "$(scalar "SELECT COUNT(1) FROM AUDITHIS A, AUDITHIS B, INVITEM I, INVITEM J WHERE I.\"InvItem\" = $item AND J.\"InvItem\" = $new AND A.\"Audit\" = I.\"Audit\" AND B.\"Audit\" = J.\"Audit\" AND A.\"Date\" = B.\"Date\"")" = "1" ] ||
        fail "the split item does not keep the audit date"
    expect_consistent
    ;;
repackage)
    item="$(scalar 'SELECT MIN(I."InvItem") FROM INVITEM I, PRODUCT P WHERE I."Product" = P."Product" AND P."ProductCode" = '"'GLVNTL'"' AND I."InvLoc" = '"'STORE'"' AND I."Balance" > 0')"
    before="$(stock_at GLVNTL STORE)"
    run repackage "$item" 1 GLVNTM 100 0.11
    expect_status 0
    [ "$(awk -F'\t' 'NR > 1 { print $2, $5, $7 }' "$work/out")" = "STORE 100 0.11" ] ||
        fail "repackaged stock: $out"
    [ "$(stock_at GLVNTL STORE)" = "$(awk -v b="$before" 'BEGIN { printf "%.1f", b - 1 }')" ] ||
        fail "the source lot did not give 1"
    expect_consistent
    ;;
refusals)
    # Each refused command prints the refusal, exits 2 and writes nothing.
    before="$(dump)"
    for cmd in "transfer STORE STORE SYR3ML 1" "transfer STORE TRT2 SYR3ML 500" \
        "transfer NOWHR TRT2 SYR3ML 1" "transfer-all STORE STORE" "count NOWHR SYR3ML 1" \
        "split 1 0 1.00" "split 1 4 1.00" "split 99999 1 1.00" "repackage 1 99 GLVNTM 5 0.10"; do
        run $cmd
        expect_status 2
        [ -n "$err" ] || fail "no message for: $cmd"
        [ "$(dump)" = "$before" ] || fail "refused '$cmd' changed the database"
    done
    run transfer STORE TRT2 NOSUCHCODE 1
    [ "$status" -ne 0 ] || fail "an unknown product was accepted"
    expect_consistent
    ;;
*)
    fail "unknown case"
    ;;
esac
exit 0
