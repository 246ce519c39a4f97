#!/bin/bash
# invctl expiring on a demo database: the same lots as a query on the stored dates, the
# window's last day included, one location, CSV quoting, and the command line's mistakes.
source "$(dirname "$0")/../tools/invctl_lib.sh" "$@"
init_demo

# The day N days from today, as the database stores dates.
day() { date -d "+$1 days" +%F; }
# Lot ids of the last output (column InvItem), sorted.
listed() { tail -n +2 "$work/out" | cut -f8 | sort -n; }
hand() {
    sqlite3 "$db" "SELECT InvItem FROM INVITEM WHERE Balance > 0 AND ExpiryDate IS NOT NULL \
        AND ExpiryDate <= '$(day "$1")' ${2:+AND InvLoc = '$2'} ORDER BY InvItem"
}
lot="$(sqlite3 "$db" "SELECT MIN(InvItem) FROM INVITEM WHERE Balance > 0 AND InvLoc = 'STORE'")"

case "$case_name" in
window)
    for n in 0 30 90; do
        run expiring --days "$n"
        expect_status 0
        [ "$(listed)" = "$(hand "$n")" ] || fail "--days $n lists other lots than the query"
    done
    [ -n "$(hand 90)" ] || fail "the demo has no lots within 90 days"
    ;;
limit)
    sqlite3 "$db" "UPDATE INVITEM SET ExpiryDate = '$(day 30)' WHERE InvItem = $lot"
    run expiring --days 30
    listed | grep -qx "$lot" || fail "a lot expiring on the window's last day is missing"
    sqlite3 "$db" "UPDATE INVITEM SET ExpiryDate = '$(day 31)' WHERE InvItem = $lot"
    run expiring --days 30
    listed | grep -qx "$lot" && fail "a lot expiring the day after the window is listed"
    run expiring --days 31
    listed | grep -qx "$lot" || fail "--days 31 misses the lot on its last day"
    ;;
location)
    run expiring --days 90 --location STORE
    expect_status 0
    [ "$(listed)" = "$(hand 90 STORE)" ] || fail "--location STORE lists other lots"
    tail -n +2 "$work/out" | cut -f4 | grep -vqx STORE && fail "a lot of another location"
    refused 1 "no location NOWHERE" expiring --days 30 --location NOWHERE
    ;;
csv)
    # A description with the separator and quotes comes back quoted, quotes doubled.
    sqlite3 "$db" "UPDATE INVITEM SET ExpiryDate = '$(day 1)' WHERE InvItem = $lot; \
        UPDATE PRODUCT SET Description = 'Gauze 4\" x 4\", sterile' WHERE Product = \
        (SELECT Product FROM INVITEM WHERE InvItem = $lot)"
    run expiring --days 1 --location STORE --format csv
    expect_status 0
    head -n 1 "$work/out" | grep -q $'^ExpiryDate,DaysLeft,Urgency,InvLoc,Location,ProductCode,Description,InvItem,Balance,Unit,CostPerUnit,Value\r$' \
        || fail "header row: $(head -n 1 "$work/out")"
    grep -qF "$(day 1),1,30,STORE,Central store room," "$work/out" || fail "row of the lot: $out"
    grep -qF ',"Gauze 4"" x 4"", sterile",'"$lot," "$work/out" || fail "quoted field: $out"
    ;;
usage)
    for bad in "--days" "--days -1" "--days x" "--days 3661" "--days 5 --format xml" "--days 5 extra"; do
        # shellcheck disable=SC2086
        run expiring $bad
        expect_status 64
    done
    run expiring --location STORE
    expect_status 64
    expect_err "--days is required"
    run expiring --days 3660
    expect_status 0
    ;;
*) fail "unknown case" ;;
esac
exit 0
