#!/usr/bin/env bash
# Kills invctl with SIGKILL at seeded random moments of a count, a receipt of several
# lines and a transfer of a whole location, over and over on the demo data. After every
# kill the database must open and pass the schema check (what tavel and invctl run when
# they open it), the stock must be consistent (invctl check), each unit of work must be
# whole or absent, and no sequence number may be handed out twice.
#   crash_test.sh INVCTL [SECONDS] [SEED]
# Runs for about SECONDS (default 45); a longer run by hand finds rarer moments.
source "$(dirname "$0")/invctl_lib.sh" "$1" crash
seconds="${2:-45}"
RANDOM="${3:-2517}"

init_demo
sql() { sqlite3 "$db" "$1" || fail "cannot read the database"; }

# Stock of every product over all locations: a transfer moves it, never makes or loses it.
totals() { sql 'SELECT "Product", SUM("Balance") FROM INVITEM GROUP BY "Product" ORDER BY 1'; }
# Units received against lines minus what the lines say they got: receipt lines are one
# unit each with the fill of their order line.
received_gap() {
    sql 'SELECT (SELECT COALESCE(SUM("QtyFilled"), 0) FROM INVORDIT) - (SELECT COALESCE(SUM("Quantity"), 0) FROM INVITEM WHERE "InvOrdIt" <> 0)'
}
counter() { sqlite3 "$db.sequences" "SELECT value FROM TVL_SEQUENCES WHERE name = 'INVITDET_BATCHID_SEQ'"; }
last_batch() { sql 'SELECT COALESCE(MAX("BatchId"), 0) FROM INVITDET'; }

end=$((SECONDS + seconds))
runs=0 kills=0
from=NORTH to=EAST
while [ "$SECONDS" -lt "$end" ]; do
    kind=$((RANDOM % 3))
    before_totals="$(totals)"
    before_gap="$(received_gap)"
    counted=$((RANDOM % 20))
    case "$kind" in
    0) cmd=(count STORE SYR3ML "$counted") ;;
    1) cmd=(receive STORE BANDAG,2,-,CR-$runs GLVNTM,3,-,CR-$runs SYR3ML,4,-,CR-$runs) ;;
    2) cmd=(transfer-all "$from" "$to") ;;
    esac
    balance_before="$(balance STORE SYR3ML)"
    "$invctl" --db "$db" "${cmd[@]}" >/dev/null 2>&1 &
    pid=$!
    # Anywhere from start-up to the end of the command (a few hundred milliseconds).
    sleep "0.$(printf '%03d' $((RANDOM % 400)))"
    kill -KILL "$pid" 2>/dev/null && kills=$((kills + 1))
    wait "$pid" 2>/dev/null
    runs=$((runs + 1))
    what="run $runs (${cmd[*]})"

    "$invctl" --db "$db" check-schema >"$work/schema" 2>&1 || fail "$what: $(cat "$work/schema")"
    expect_consistent "$what"
    [ -z "$(sql "SELECT 1 FROM INVITDET D WHERE NOT EXISTS (SELECT 1 FROM AUDITHIS A WHERE A.\"Audit\" = D.\"Audit\") LIMIT 1")" ] ||
        fail "$what: a movement detail without its audit entry"
    case "$kind" in
    0)
        after="$(balance STORE SYR3ML)"
        [ "$after" = "$balance_before" ] || [ "$after" = "$counted.0" ] ||
            fail "$what: balance $after is neither $balance_before nor $counted"
        ;;
    1) [ "$(received_gap)" = "$before_gap" ] || fail "$what: order lines and receipts disagree" ;;
    2)
        [ "$(totals)" = "$before_totals" ] || fail "$what: stock was made or lost in transit"
        [ "$(sql "SELECT COUNT(1) FROM INVITEM WHERE \"InvLoc\" = '$from' AND \"Balance\" > 0")" = 0 ] &&
            { t="$from"; from="$to"; to="$t"; }
        ;;
    esac
    # The counter is ahead of every batch that was stored: no number comes twice.
    [ "$(counter)" -ge "$(last_batch)" ] || fail "$what: batch number $(last_batch) is past the counter $(counter)"
done
[ "$kills" -gt 0 ] || fail "no command was killed in $runs runs"
echo "$runs runs, $kills killed"
exit 0
