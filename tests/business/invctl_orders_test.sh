#!/usr/bin/env bash
# Runs one scenario of invctl order on a fresh demo database:
# invctl_orders_test.sh INVCTL CASE. Exits non-zero naming the failed expectation.
source "$(dirname "$0")/../tools/invctl_lib.sh" "$@"

orders() { value "SELECT COUNT(1) FROM INVORDER"; }
# line_status ORDER ITEM
line_status() { value "SELECT \"Status\" FROM INVORDIT WHERE \"InvOrder\" = $1 AND \"Item\" = $2"; }
# The order number printed by the last order command.
printed_order() { sed -n 2p "$work/out" | cut -f1; }

init_demo

case "$case_name" in
internal)
    run order new TRT1 --from STORE GAUZE4=5 SYR3ML=2
    expect_status 0
    expect_out "internal	TRT1	STORE"
    ord="$(printed_order)"
    [ "$(sed -n 4,5p "$work/out" | cut -f1,3,4,7)" = "$(printf '1\tGAUZE4\t5\t9\n2\tSYR3ML\t2\t9')" ] ||
        fail "lines: $out"
    run order status "$ord" 1 inreview
    expect_status 0
    run order status "$ord" 1 ordered
    expect_status 0
    [ "$(line_status "$ord" 1)" = "0" ] || fail "line 1 not ordered"
    # A line named as ORDER:LINE or by its id.
    run order status "$ord:2" inreview
    expect_status 0
    [ "$(line_status "$ord" 2)" = "8" ] || fail "line $ord:2 not in review"
    run order status "$(value "SELECT \"InvOrdIt\" FROM INVORDIT WHERE \"InvOrder\" = $ord AND \"Item\" = 2")" ordered
    expect_status 0
    [ "$(line_status "$ord" 2)" = "0" ] || fail "line 2 by id not ordered"
    refused 1 "no order line" order status "$ord:9" ordered
    # Line numbers: a new line after the highest, deleted highest number reused.
    run order line add "$ord" NDL25G 3
    expect_status 0
    run order line delete "$ord" 3
    expect_status 0
    run order line add "$ord" NDL23G 4
    expect_status 0
    expect_out "3	"
    [ "$(value "SELECT \"Product\" FROM INVORDIT WHERE \"InvOrder\" = $ord AND \"Item\" = 3")" != "" ] ||
        fail "no line 3"
    run order line modify "$ord" 3 6
    expect_status 0
    [ "$(value "SELECT \"Quantity\" FROM INVORDIT WHERE \"InvOrder\" = $ord AND \"Item\" = 3")" = "6" ] ||
        fail "quantity not changed"
    run order cancel "$ord"
    expect_status 0
    [ "$(value "SELECT COUNT(1) FROM INVORDIT WHERE \"InvOrder\" = $ord AND \"Status\" <> 4")" = "0" ] ||
        fail "lines left uncancelled"
    run order cancel "$ord" --delete
    expect_status 0
    run order show "$ord"
    expect_status 1
    ;;
external)
    run order new TRT1 --vendor 1 --po X-1 GLVNTM=2 LIDO1P=1
    expect_status 0
    expect_out "external	TRT1		1	X-1	PO"
    ord="$(printed_order)"
    [ "$(line_status "$ord" 2)" = "0" ] || fail "external lines start ordered"
    run order purchase "$ord"
    expect_status 0
    [ "$(line_status "$ord" 1)$(line_status "$ord" 2)" = "11" ] || fail "not purchased"
    run order status "$ord" 2 backordered
    expect_status 0
    [ "$(value "SELECT \"WasBackOrdered\" FROM INVORDIT WHERE \"InvOrder\" = $ord AND \"Item\" = 2")" = "1" ] ||
        fail "back order not remembered"
    run order status "$ord" 1 closed
    expect_status 0
    expect_out "GLVNTM	2	Box	0	6"
    ;;
refusals)
    before="$(orders)"
    # A refused line leaves no order behind.
    refused 2 "valid quantity" order new TRT1 --from STORE GAUZE4=5 SYR3ML=0
    [ "$(orders)" = "$before" ] || fail "refused order left a header"
    run order new TRT1 --from STORE GAUZE4=5
    ord="$(printed_order)"
    run order status "$ord" 1 inreview
    expect_status 0
    refused 2 "taken into review" order status "$ord" 1 inreview
    refused 2 "cannot be marked as purchased" order purchase "$ord"
    run order status "$ord" 1 filled
    expect_status 0
    refused 2 "cannot be cancelled" order status "$ord" 1 cancelled
    refused 2 "Someone else is changing this record" order line delete "$ord" 1
    run order new TRT1 --vendor 1 --po X-2 GLVNTM=2
    expect_status 0
    # The same purchase-order number within a year.
    refused 2 "purchase-order number is already used" order new TRT1 --vendor 1 --po X-2 GLVNTL=2
    ;;
*)
    fail "unknown case"
    ;;
esac
exit 0
