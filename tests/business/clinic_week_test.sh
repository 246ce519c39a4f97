#!/usr/bin/env bash
# A clinic's week through invctl on a fresh demo database: treatment room 1 requests
# supplies from the store room, the request is reviewed, ordered, picked and filled, and
# the room uses some of it; the store room buys from a vendor, the delivery comes short,
# the rest is back-ordered and arrives later. The stock stays consistent throughout.
# clinic_week_test.sh INVCTL
source "$(dirname "$0")/../tools/invctl_lib.sh" "$1" "clinic week"

ok() { run "$@"; [ "$status" -eq 0 ] || fail "'$*' exit $status: $err"; }
# Filled quantity and status of an order line.
line() { value "SELECT \"QtyFilled\" || '/' || \"Status\" FROM INVORDIT WHERE \"InvOrdIt\" = $1"; }
# The order line id of item ITEM in the output of an order command.
line_id() { awk -F'\t' -v item="$1" 'seen && $1 == item { print $2 } $1 == "Item" { seen = 1 }' "$work/out"; }
# A sum of balances, written as the database writes them.
sum() { awk "BEGIN { printf \"%.1f\", $1 }"; }

init_demo
store_syringes="$(balance STORE SYR3ML)"
room_syringes="$(balance TRT1 SYR3ML)"
store_gauze="$(balance STORE GAUZE4)"

# Monday: treatment room 1, which has not carried large gloves so far, is set up for them
# and asks the store room for syringes and large gloves.
carry TRT1 GLVNTL
ok order new TRT1 --from STORE SYR3ML=3 GLVNTL=2
request="$(sed -n 2p "$work/out" | cut -f1)"
syringes="$(line_id 1)"
gloves="$(line_id 2)"
[ -n "$request" ] && [ -n "$syringes" ] && [ -n "$gloves" ] || fail "request not shown: $out"
[ "$(line "$syringes")" = "0/9" ] || fail "a new request is not requested: $(line "$syringes")"

# Tuesday: the request is reviewed and ordered, then picked at the store room.
for item in 1 2; do
    ok order status "$request" "$item" inreview
    ok order status "$request" "$item" ordered
done
[ "$(line "$gloves")" = "0/0" ] || fail "reviewed line not ordered: $(line "$gloves")"
ok picklist new STORE TRT1 "$syringes" "$gloves"
pick="$(tail -n 1 "$work/out" | cut -f1)"
ok picklist list
grep -q "^$pick	Treatment room 1	TRT1	" "$work/out" || fail "pick list $pick not open: $out"
[ "$(line "$syringes")" = "0/2" ] || fail "picked line not on the list: $(line "$syringes")"

# Wednesday: the pick list is filled in one go; filling it again is refused and changes nothing.
ok fill STORE TRT1 "$pick"
[ "$(line "$syringes")" = "3/7" ] && [ "$(line "$gloves")" = "2/7" ] ||
    fail "lines not filled: $(line "$syringes") $(line "$gloves")"
[ "$(balance STORE SYR3ML)" = "$(sum "$store_syringes - 3")" ] ||
    fail "store syringes $(balance STORE SYR3ML)"
[ "$(balance TRT1 GLVNTL)" = "2.0" ] || fail "room gloves $(balance TRT1 GLVNTL)"
run fill STORE TRT1 "$pick" "$syringes=1"
[ "$status" -eq 2 ] || fail "second fill of a filled line: exit $status"
[ "$(line "$syringes")" = "3/7" ] || fail "refused fill changed the line"
expect_consistent "the fill"

# Thursday: the room uses two syringes.
ok use TRT1 SYR3ML 2
[ "$(balance TRT1 SYR3ML)" = "$(sum "$room_syringes + 3 - 2")" ] ||
    fail "room syringes $(balance TRT1 SYR3ML)"

# The store room buys gauze and alcohol swabs; only 6 of 10 gauze packs arrive.
ok order new STORE --vendor 1 --po CW-1001 GAUZE4=10 ALCPRP=4
po="$(sed -n 2p "$work/out" | cut -f1)"
gauze="$(line_id 1)"
swabs="$(line_id 2)"
ok order purchase "$po"
[ "$(line "$gauze")" = "0/1" ] || fail "line not purchased: $(line "$gauze")"
ok receive STORE GAUZE4,6,2027-06-30 ALCPRP,4 --po CW-1001
[ "$(line "$gauze")" = "6/3" ] && [ "$(line "$swabs")" = "4/7" ] ||
    fail "short receipt: $(line "$gauze") $(line "$swabs")"
ok backorder CW-1001
[ "$(line "$gauze")" = "6/5" ] || fail "short line not back-ordered: $(line "$gauze")"
expect_consistent "the short receipt"

# Friday: the back-ordered packs arrive.
ok receive STORE GAUZE4,4,2027-06-30 --po CW-1001
[ "$(line "$gauze")" = "10/7" ] || fail "back order not filled: $(line "$gauze")"
[ "$(value "SELECT \"WasBackOrdered\" FROM INVORDIT WHERE \"InvOrdIt\" = $gauze")" = "1" ] ||
    fail "line forgot it was back-ordered"
[ "$(balance STORE GAUZE4)" = "$(sum "$store_gauze + 10")" ] ||
    fail "store gauze $(balance STORE GAUZE4)"

# End of the week: nothing to report.
"$invctl" --db "$db" check >"$work/check" 2>&1 || fail "check: $(cat "$work/check")"
[ "$(cat "$work/check")" = "stock consistent" ] || fail "check reported: $(cat "$work/check")"
exit 0
