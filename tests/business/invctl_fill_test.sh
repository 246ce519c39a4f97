#!/usr/bin/env bash
# Runs one scenario of invctl picklist / fill on a fresh demo database:
# invctl_fill_test.sh INVCTL CASE. Exits non-zero naming the failed expectation.
#
# Demo request 3 of TRT1 on STORE: line 9 (NDL25G, 2 ordered) is on pick list 1, line 8 is
# filled, line 11 (ALCPRP, 2) is in review.
source "$(dirname "$0")/../tools/invctl_lib.sh" "$@"

line() { value "SELECT \"QtyFilled\" || '/' || \"Status\" || '/' || \"PickList\" FROM INVORDIT WHERE \"InvOrdIt\" = $1"; }

# ref ID: the order line as ORDER:LINE.
ref() { value "SELECT \"InvOrder\" || ':' || \"Item\" FROM INVORDIT WHERE \"InvOrdIt\" = $1"; }

init_demo

case "$case_name" in
picklist)
    # Line 11 named by its order and line number.
    run picklist new STORE TRT1 10 "$(ref 11)"
    expect_status 0
    number="$(tail -n 1 "$work/out" | cut -f1)"
    [ "$number" -gt 1 ] || fail "new list number: $out"
    [ "$(line 11)" = "0/2/$number" ] || fail "line 11 not on the list: $(line 11)"
    run picklist list
    expect_status 0
    [ "$(cut -f1,3,4 "$work/out" | tail -n +2)" = "$(printf '1\tTRT1\tAdministrator, System\n%s\tTRT1\tAdministrator, System' "$number")" ] ||
        fail "open lists: $out"
    run picklist clear "$number"
    expect_status 0
    [ "$(line 11)" = "0/2/0" ] || fail "cleared line lost its status: $(line 11)"
    run picklist list
    [ "$(tail -n +2 "$work/out" | cut -f1)" = "1" ] || fail "cleared list still open: $out"
    refused 2 "Someone else is changing this record" picklist new STORE TRT1 999
    ;;
fill_substitute)
    # Another product of the same type fills the line under the ordered product, once the
    # room carries it.
    refused 2 "not set up at this location" fill STORE TRT1 1 9=2:NDL23G
    carry TRT1 NDL23G
    run fill STORE TRT1 1 "$(ref 9)=2:NDL23G"
    expect_status 0
    [ "$(line 9)" = "2/7/1" ] || fail "line 9 not filled: $(line 9)"
    [ "$(balance TRT1 NDL23G)" = "2.0" ] && [ "$(balance STORE NDL23G)" = "3.0" ] ||
        fail "substitute not moved"
    [ "$(cut -f2,4,9 "$work/out" | tail -n 1)" = "$(printf '9\tNDL25G\t2')" ] || fail "fill rows: $out"
    expect_consistent
    ;;
fill_refusals)
    refused 2 "same product type" fill STORE TRT1 1 9=1:VACFLU
    # The first line's fill is undone with the refused second one.
    refused 2 "already filled" fill STORE TRT1 1 9=1 8=1
    refused 2 "not found" fill STORE TRT1 1 999=1
    refused 1 "no line 99 on order" fill STORE TRT1 1 "$(value "SELECT \"InvOrder\" FROM INVORDIT WHERE \"InvOrdIt\" = 9"):99=1"
    # Without lines every short line gets what it lacks.
    run fill STORE TRT1 1
    expect_status 0
    [ "$(line 9)" = "2/7/1" ] || fail "line 9 not filled: $(line 9)"
    [ "$(balance STORE NDL25G)" = "6.0" ] || fail "store balance $(balance STORE NDL25G)"
    run fill STORE TRT1 1 8=1 --allow-filled
    expect_status 0
    [ "$(line 8)" = "5/7/1" ] || fail "allowed fill of a filled line: $(line 8)"
    expect_consistent
    ;;
*)
    fail "unknown case"
    ;;
esac
exit 0
