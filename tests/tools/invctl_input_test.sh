#!/usr/bin/env bash
# Hostile or mistyped arguments, as a new user types them: each is refused as a usage
# error naming the argument, and nothing is written. invctl_input_test.sh INVCTL CASE.
source "$(dirname "$0")/invctl_lib.sh" "$@"

usage=64
init_demo
item="$(value 'SELECT MIN("InvItem") FROM INVITEM WHERE "Quantity" > 5 AND "Balance" >= 3')"

case "$case_name" in
dates)
    # Days that do not exist, and years outside 1900..2199, whichever argument carries them.
    refused $usage "--date" receive STORE BANDAG,2 --date 2027-02-30
    refused $usage "--po-date" receive STORE --po MPD-1203 VACFLU,1 --po-date 2027-04-31
    refused $usage "EXPIRY" receive STORE BANDAG,2,0000-01-01
    refused $usage "EXPIRY" receive STORE BANDAG,2,2200-01-01
    refused $usage "EXPIRY" split "$item" 1 1.00 2027-04-31
    refused $usage "EXPIRY" split "$item" 1 1.00 2100-02-29
    # The limits themselves are dates, and so is a leap day.
    run split "$item" 1 1.00 2199-12-31
    expect_status 0
    run split "$item" 1 1.00 2028-02-29
    expect_status 0
    expect_out "2028-02-29"
    run receive STORE BANDAG,1,1900-01-01
    expect_status 0
    expect_consistent
    ;;
costs)
    for cost in nan inf -inf 1e309 -0.01 1e10 1.5x ""; do
        refused $usage "COST" split "$item" 1 "$cost"
        refused $usage "COST" repackage "$item" 1 GLVNTM 5 "$cost"
    done
    run split "$item" 1 1000000000
    expect_status 0
    expect_consistent
    ;;
widths)
    # A location code of 6 characters at most: the seventh is never cut off.
    refused $usage "FROM" transfer-all 'CART1 extra' TRT2
    refused $usage "TO" transfer STORE 'TRT2XXX' SYR3ML 1
    refused $usage "LOCATION" count 'STORE1X' SYR3ML 1
    refused $usage "LOCATION" adjust 'STORE1X' SYR3ML 1
    po28="MPD-1203-XXXXXXXXXXXXXXXXXXX"
    refused $usage "--po" receive STORE --po "$po28" VACFLU,1
    refused $usage "PONUMBER" backorder "$po28"
    refused $usage "--po" order new STORE --vendor 1 --po "$po28" BANDAG=1
    refused $usage "REFERENCE" receive STORE "BANDAG,1,-,$(printf 'R%.0s' {1..51})"
    # Exactly the width is taken whole.
    run receive STORE "BANDAG,1,-,$(printf 'R%.0s' {1..50})"
    expect_status 0
    [ "$(value 'SELECT MAX(LENGTH("RefNo")) FROM INVITEM')" = "50" ] || fail "reference cut"
    expect_consistent
    ;;
users)
    # A login that does not exist is refused before anything is written; the default
    # sign-in stays as it was.
    refused 1 "no user with login nosuch" count STORE SYR3ML 1 --user nosuch
    run count STORE SYR3ML 1 --user admin
    expect_status 0
    # Not found is 1, a refusal 2, a wrong command line 64.
    refused 1 "no product" count STORE NOSUCHCODE 1
    refused 2 "" transfer STORE STORE SYR3ML 1
    refused 64 "not a quantity" count STORE SYR3ML many
    expect_consistent
    ;;
rerun)
    # Run again after a crash, the same delivery note on the same order receives nothing.
    run receive STORE --po MPD-1203 VACFLU,4,2027-01-31,DN-7
    expect_status 0
    refused 2 "reference DN-7 already received 4 on receipt" \
        receive STORE --po MPD-1203 VACHEPB,2,2027-03-31,DN-7 VACFLU,4,2027-01-31,DN-7
    expect_err "line 2 (VACFLU)"
    received="SELECT SUM(\"Quantity\") FROM INVITEM WHERE \"RefNo\" = 'DN-7'"
    # Another note, or the same one given --again, is received.
    run receive STORE --po MPD-1203 VACFLU,1,2027-01-31,DN-8
    expect_status 0
    run receive STORE --po MPD-1203 VACFLU,4,2027-01-31,DN-7 --again
    expect_status 0
    [ "$(value "$received")" = 8 ] || fail "--again did not receive: $(value "$received")"
    expect_consistent
    ;;
*)
    fail "unknown case"
    ;;
esac
exit 0
