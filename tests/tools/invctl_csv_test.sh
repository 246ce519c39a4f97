#!/usr/bin/env bash
# invctl import and export on a demo database: invctl_csv_test.sh INVCTL CASE. Exits
# non-zero with a message naming the failed expectation.
source "$(dirname "$0")/invctl_lib.sh" "$@"

header='InvLoc,ProductCode,Count'
# import_file KIND NAME CONTENT [OPTIONS]: writes the file and imports it.
import_file() {
    local kind="$1" name="$2" content="$3"
    shift 3
    printf '%b' "$content" >"$work/$name"
    run import "$kind" "$work/$name" "$@"
}
# A file refused whole: exit 2, the report lines given, the database unchanged.
expect_nothing_imported() {
    expect_status 2
    expect_out "nothing imported"
    dump >"$work/after"
    cmp -s "$work/before" "$work/after" || fail "a refused import changed the database"
}

init_demo

case "$case_name" in
roundtrip)
    # The demo catalogue into a fresh schema holding only the code tables.
    lists="vendors locations products product-locations"
    for k in $lists; do
        run export "$k" --output "$work/$k.csv"
        expect_status 0
    done
    [ "$(wc -l <"$work/products.csv")" -eq "$(($(value 'SELECT COUNT(1) FROM PRODUCT') + 1))" ] ||
        fail "not every product exported"
    grep -q $'\r$' "$work/products.csv" || fail "rows do not end in CR LF"
    fresh="$work/fresh.db"
    "$invctl" --db "$fresh" init >/dev/null || fail "init of the fresh schema"
    for t in PRDTYPE PRDCAT PRDUNIT INVOTYPE INVADJ CITY PROVINCE USERS TAVELOPT; do
        sqlite3 "$fresh" "ATTACH '$db' AS demo; INSERT INTO $t SELECT * FROM demo.$t" ||
            fail "cannot copy $t"
    done
    for k in $lists; do
        run_raw --db "$fresh" import "$k" "$work/$k.csv"
        expect_status 0
        expect_out "rows imported"
    done
    for k in $lists; do
        run_raw --db "$fresh" export "$k"
        cmp -s "$work/out" "$work/$k.csv" || fail "$k differ after the round trip"
    done
    ;;
refusals)
    dump >"$work/before"
    import_file counts semi.csv 'InvLoc;ProductCode;Count\nSTORE;SYR1TB;7\n'
    expect_nothing_imported
    expect_out "semi.csv:1: The fields in this file are separated by semicolons"
    import_file counts header.csv 'Location,ProductCode,Count\nSTORE,SYR1TB,7\n'
    expect_nothing_imported
    expect_out "header.csv:1: The first line of the file does not name the columns this list needs. Make the first line exactly: $header"
    # Text saved in another encoding (Latin-1 here).
    import_file locations latin1.csv 'InvLoc,Name,Type,BarCode,Inactive\nNEW1,Salle d\xe9p\xf4t,1,,0\n'
    expect_nothing_imported
    expect_out "latin1.csv:2:Name: This text is not in UTF-8"
    # A stray quote: the line where the file stops being CSV.
    import_file counts quote.csv "$header\nSTORE,SYR1TB,7\nSTORE,SYR\"3ML,2\n"
    expect_nothing_imported
    expect_out "quote.csv:3: The file cannot be read"
    # Every bad row with its line and column, the good ones not kept either.
    import_file counts rows.csv "$header\nSTORE,SYR1TB,7\n\nSTORE,NOPE,3\nSTORE,SYR1TB,4\nSTORE,SYR3ML,10000\nSTORE,SYR3ML,9999,1\nNOWHERE,SYR3ML,1\n"
    expect_nothing_imported
    for line in "rows.csv:3: This line is empty" \
        "rows.csv:4:ProductCode: No product has this product code" \
        "rows.csv:5:ProductCode: This is in the list already (STORE SYR1TB)" \
        "rows.csv:6:Count: This must be a whole number from 0 to 9999." \
        "rows.csv:7: This line has 4 fields where the first line names 3" \
        "rows.csv:8:InvLoc: No location has this code" \
        "7 rows read, 6 bad: nothing imported"; do
        expect_out "$line"
    done
    # A row that breaks a table rule: the rule's own message, under its column.
    run export locations
    import_file locations rule.csv 'InvLoc,Name,Type,BarCode,Inactive\nNEW1,New room,1,LOC-CART1,0\nSTORE,Again,0,,0\n'
    expect_nothing_imported
    expect_out "rule.csv:2:BarCode:"
    expect_out "rule.csv:3:InvLoc: This is in the list already (STORE)"
    # A dry run of a good file writes nothing either.
    import_file counts good.csv "$header\nSTORE,SYR1TB,9999\n" --dry-run
    expect_status 0
    expect_out "1 rows checked, nothing written (dry run)"
    dump >"$work/after"
    cmp -s "$work/before" "$work/after" || fail "a dry run changed the database"
    ;;
skip_bad)
    # Quotes inside quoted fields are text; the bad row is skipped, the rest kept.
    import_file locations loc.csv 'InvLoc,Name,Type,BarCode,Inactive\nNEW1,"Room ""B"", east",1,,0\nNEW2,Room C,7x,,0\nNEW3,Room D,1,,0\nROOM66,Room E,1,,0\nROOM777,Room F,1,,0\n' --skip-bad
    expect_status 0
    expect_out "loc.csv:3:Type: This must be a whole number from 0 to 32767."
    expect_out "loc.csv:6:InvLoc: This text is longer than the 6 characters"
    expect_out "3 of 5 rows imported, the bad rows skipped"
    [ "$(value "SELECT \"Name\" FROM INVLOC WHERE \"InvLoc\" = 'NEW1'")" = 'Room "B", east' ] ||
        fail "quoted name not stored as written"
    [ "$(value "SELECT COUNT(1) FROM INVLOC WHERE \"InvLoc\" IN ('NEW2', 'NEW3', 'ROOM66')")" = 2 ] ||
        fail "the skipped row was stored, or the good one not"
    run export locations
    expect_out '"Room ""B"", east"'
    ;;
big)
    # 100,000 new products, one breaking a rule on the last line: nothing is kept.
    awk 'BEGIN {
        print "Product,ProductCode,UPCCode,Description,PrdType,PrdCat,Unit,WeightUnit,Vendor,Manufacturer,InvOType,CostPerUnit,CanOrder,IsDividable,TrackExpiryDate,Inactive,ItemsPerUnit,ItemUnit,CostingMethod,LeadTime,LeadTimeUnit"
        for (i = 0; i < 99999; i++)
            printf ",G%06d,,\"Generated, item %d\",1,SYR,Box,,1,Medline,PO,1.25,1,1,0,0,10,Each,0,5,0\n", i, i
        print ",G000001,,Repeated code,1,SYR,Box,,1,Medline,PO,1.25,1,1,0,0,10,Each,0,5,0"
    }' >"$work/big.csv"
    before="$(value 'SELECT COUNT(1) FROM PRODUCT')"
    run import products "$work/big.csv"
    expect_status 2
    expect_out "big.csv:100001:ProductCode: Another product already uses this code"
    expect_out "100000 rows read, 1 bad: nothing imported"
    [ "$(value 'SELECT COUNT(1) FROM PRODUCT')" = "$before" ] || fail "products half imported"
    ;;
counts)
    # The same counts imported into the demo and counted one by one into a copy of it.
    copy="$work/copy.db"
    cp "$db" "$copy" && cp "$db.sequences" "$copy.sequences" || fail "cannot copy the demo"
    last="$(value 'SELECT MAX("InvItDet") FROM INVITDET')"
    import_file counts counts.csv "$header\nSTORE,SYR1TB,9\nSTORE,SYR3ML,4\nSTORE,SYR5ML,0\nCART1,GLVNTM,5\n"
    expect_status 0
    expect_out "4 of 4 rows imported"
    for row in "STORE SYR1TB 9" "STORE SYR3ML 4" "STORE SYR5ML 0" "CART1 GLVNTM 5"; do
        "$invctl" --db "$copy" count $row >/dev/null || fail "count $row"
    done
    [ "$(balance STORE SYR1TB)" = "9.0" ] && [ "$(balance STORE SYR5ML)" = "0.0" ] ||
        fail "the counts did not bring the stock to what was counted"
    expect_consistent "the count import"
    # The import is one count batch.
    [ "$(value "SELECT COUNT(DISTINCT \"BatchId\") || '/' || COUNT(1) FROM INVITDET WHERE \"InvItDet\" > $last")" = 1/10 ] ||
        fail "the imported counts are not one batch"
    rows() {
        sqlite3 "$1" 'SELECT * FROM PRDLOC ORDER BY 1, 2; SELECT * FROM INVITEM ORDER BY 1;
            SELECT "InvItDet", "InvItem", "Type", "InvLoc", "Product", "InvAdj", "Quantity",
                   "Unit", "ItemsPerUnit", "CostPerUnit", "CountValue", "OtherLoc", "Audit"
            FROM INVITDET ORDER BY 1'
    }
    cmp -s <(rows "$db") <(rows "$copy") || fail "imported counts differ from counts made one by one"
    ;;
*)
    fail "unknown case"
    ;;
esac
