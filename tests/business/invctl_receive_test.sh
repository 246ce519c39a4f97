#!/usr/bin/env bash
# Runs one scenario of invctl receive / receipt / backorder on a fresh demo database:
# invctl_receive_test.sh INVCTL CASE. Exits non-zero naming the failed expectation.
source "$(dirname "$0")/../tools/invctl_lib.sh" "$@"

# line PO PRODUCT: "QtyFilled Status" of the order line.
line() { "$invctl" --db "$db" sql "SELECT I.\"QtyFilled\", I.\"Status\" FROM INVORDIT I, INVORDER O, PRODUCT P WHERE I.\"InvOrder\" = O.\"InvOrder\" AND O.\"PONumber\" = '$1' AND I.\"Product\" = P.\"Product\" AND P.\"ProductCode\" = '$2'" | tail -n 1 | tr '\t' ' '; }
receipts() { value "SELECT COUNT(1) FROM INVREC"; }
# Receipt rows of the last command: "Product Quantity CostPerUnit ExpiryDate RefNo" each.
receipt_rows() { awk -F'\t' '$1 ~ /^[0-9]+$/ && NF == 9 { print $3, $4, $6, $7, $9 }' "$work/out"; }

init_demo

case "$case_name" in
receive_po)
    # MPD-1203: VACFLU 30 and VACHEPB 10 ordered; 10 flu vaccines arrive, all hepatitis B.
    before="$(balance STORE VACFLU)"
    run receive STORE --po MPD-1203 VACFLU,10,2027-01-31,L1 VACHEPB,10,2027-03-31 --backorder
    expect_status 0
    [ "$(receipt_rows | head -n 1)" = "VACFLU 10 14.25 2027-01-31 L1" ] || fail "receipt: $out"
    [ "$(line MPD-1203 VACFLU)" = "10 5" ] || fail "flu line not back-ordered: $(line MPD-1203 VACFLU)"
    [ "$(line MPD-1203 VACHEPB)" = "10 7" ] || fail "hepatitis B line not filled"
    # Vendor and PO date not given: the receipt takes the order's.
    invrec="$(awk -F'\t' 'NR == 2 { print $1 }' "$work/out")"
    [ "$(value "SELECT \"Vendor\" || ' ' || \"PODate\" FROM INVREC WHERE \"InvRec\" = $invrec")" = \
      "$(value "SELECT \"Vendor\" || ' ' || \"Date\" FROM INVORDER WHERE \"PONumber\" = 'MPD-1203'")" ] ||
        fail "receipt vendor and PO date: $(value "SELECT \"Vendor\" || ' ' || \"PODate\" FROM INVREC WHERE \"InvRec\" = $invrec")"
    [ "$(balance STORE VACFLU)" = "$(awk -v b="$before" 'BEGIN { printf "%.1f", b + 10 }')" ] || fail "balance $(balance STORE VACFLU)"
    expect_consistent
    ;;
receive_no_po)
    # Without an order the product's cost is taken; the same reference tops the line up.
    run receive STORE BANDAG,2,-,DN-1 BANDAG,3,-,DN-1 BANDAG,1,-,DN-2
    expect_status 0
    [ "$(receipt_rows | cut -d' ' -f1,2,5 | tr '\n' '|')" = "BANDAG 5 DN-1|BANDAG 1 DN-2|" ] ||
        fail "lines: $out"
    expect_consistent
    ;;
receipt_modify_delete)
    run receive STORE --po MPD-1203 VACFLU,10,2027-01-31 VACHEPB,4,2027-03-31
    expect_status 0
    invrec="$(awk -F'\t' 'NR == 2 { print $1 }' "$work/out")"
    run receipt modify "$invrec" VACFLU 12
    expect_status 0
    [ "$(line MPD-1203 VACFLU)" = "12 3" ] || fail "modify: $(line MPD-1203 VACFLU)"
    refused 2 "nothing to change" receipt modify "$invrec" VACFLU 5 --expiry 2030-01-01
    run receipt delete "$invrec" VACHEPB --status 0
    expect_status 0
    [ "$(line MPD-1203 VACHEPB)" = "0 0" ] || fail "delete: $(line MPD-1203 VACHEPB)"
    run receipt delete "$invrec" VACFLU
    expect_status 0
    # The receipt went with its last line.
    [ "$(value "SELECT COUNT(1) FROM INVREC WHERE \"InvRec\" = $invrec")" = "0" ] || fail "empty receipt kept"
    expect_consistent
    ;;
unordered)
    refused 2 "not on the purchase order" receive STORE --po NMS-24017 GLVNTL,3
    run receive STORE --po NMS-24017 GLVNTL,3 --add-unordered
    expect_status 0
    [ "$(line NMS-24017 GLVNTL)" = "3 7" ] || fail "unordered line: $(line NMS-24017 GLVNTL)"
    run backorder NMS-24017 ALCPRP
    expect_status 0
    [ "$(line NMS-24017 ALCPRP)" = "0 5" ] || fail "backorder: $(line NMS-24017 ALCPRP)"
    expect_consistent
    ;;
refusals)
    n="$(receipts)"
    refused 2 "not a valid quantity" receive STORE BANDAG,0
    refused 2 "expiry" receive STORE VACFLU,1
    refused 2 "No open order" receive STORE --po NOSUCH BANDAG,1
    refused 2 "No open order" backorder NOSUCH
    refused 2 "not on the purchase order" backorder MPD-1203 BANDAG
    refused 1 "no product" receive STORE NOSUCH,1
    refused 64 "not a receipt line" receive STORE BANDAG
    [ "$(receipts)" = "$n" ] || fail "a refused receipt was kept"
    expect_consistent
    ;;
*)
    fail "unknown case"
    ;;
esac
exit 0
