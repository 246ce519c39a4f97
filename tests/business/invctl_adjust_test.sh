#!/usr/bin/env bash
# Runs one scenario of invctl adjust / use on a fresh demo database:
# invctl_adjust_test.sh INVCTL CASE. Exits non-zero naming the failed expectation.
source "$(dirname "$0")/../tools/invctl_lib.sh" "$@"

item_balance() { value "SELECT \"Balance\" FROM INVITEM WHERE \"InvItem\" = $1"; }

init_demo

case "$case_name" in
adjust_oldest_first)
    # SYR3ML at STORE: lot 1 holds 1 (older), lot 16 holds 10.
    run adjust STORE SYR3ML 3 DAM
    expect_status 0
    [ "$(cut -f2,3,6 "$work/out" | tail -n +2)" = "$(printf '1\t2\t-1\n16\t2\t-2')" ] ||
        fail "details: $out"
    [ "$(item_balance 1)" = "0.0" ] && [ "$(item_balance 16)" = "8.0" ] || fail "lots not taken oldest first"
    [ "$(balance STORE SYR3ML)" = "8.0" ] || fail "location balance $(balance STORE SYR3ML)"
    # By UPC code, an increase back into the partly used lots.
    run adjust STORE "$(value "SELECT \"UPCCode\" FROM PRODUCT WHERE \"ProductCode\" = 'SYR3ML'")" 2 FND
    expect_status 0
    [ "$(balance STORE SYR3ML)" = "10.0" ] || fail "increase by UPC"
    expect_consistent
    ;;
adjust_missing)
    refused 2 "not enough stock" adjust STORE NDL23G 7 DAM
    expect_err "-2 missing"
    # The tool's text names the option that confirms; nothing asks on a command line.
    expect_err "--create-missing"
    run adjust STORE NDL23G 7 DAM --create-missing
    expect_status 0
    [ "$(balance STORE NDL23G)" = "0.0" ] || fail "shortage not created and taken"
    expect_consistent
    ;;
use_usage)
    # VACFLU at TRT1 tracks expiry; the lot expires within the month.
    run use TRT1 VACFLU 2
    expect_status 0
    [ "$(item_balance 23)" = "5.0" ] || fail "usage not taken from lot 23"
    [ "$(cut -f3 "$work/out" | tail -n 1)" = "3" ] || fail "not a usage detail: $out"
    # An expired lot is refused unless allowed.
    "$invctl" --db "$db" sql "UPDATE INVITEM SET \"ExpiryDate\" = '01/01/2020' WHERE \"InvItem\" = 23" >/dev/null
    refused 2 "past its expiry date" use TRT1 VACFLU 1
    expect_err "--allow-expired"
    run use TRT1 VACFLU 1 --allow-expired
    expect_status 0
    [ "$(item_balance 23)" = "4.0" ] || fail "allowed expired usage"
    expect_consistent
    ;;
refusals)
    refused 2 "does not track usage" use CART1 GLVNTM 1
    refused 2 "location" adjust NOLOC SYR3ML 1 DAM
    refused 2 "not a valid quantity" adjust STORE SYR3ML 10000 FND
    refused 2 "adjustment code" adjust STORE SYR3ML 1 NOSUCH
    refused 2 "movement is not allowed" adjust STORE SYR3ML 1 --type 4
    refused 1 "no product" adjust STORE NOSUCH 1 DAM
    refused 64 "quantity" use STORE SYR3ML x
    expect_consistent
    ;;
*)
    fail "unknown case"
    ;;
esac
exit 0
