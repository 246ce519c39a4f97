#!/usr/bin/env bash
# invctl barcode: the fields of a scanned text, the refusal of malformed data and the
# product a scan matches. invctl_barcode_test.sh INVCTL CASE.
source "$(dirname "$0")/invctl_lib.sh" "$@"

# expect_lines TEXT: stdout is exactly TEXT (printf escapes allowed).
expect_lines() { [ "$out" = "$(printf "$1")" ] || fail "stdout: $out"; }

case "$case_name" in
fields)
    # A variable-length lot ended by the separator, then the expiry date (day 00: month end).
    run_raw barcode ']d20109506000134352''10ABC-1\x1d''17270200''2105S9'
    expect_status 0
    expect_lines 'product\t09506000134352\ngtin\t09506000134352\nlot\tABC-1\nexpiry\t2027-02-28\nserial\t05S9'
    # The fixed-length expiry first, then the lot; a count; other identifiers by number.
    run_raw barcode '(01)09506000134352(17)281231(10)L7(30)24(240)REF9'
    expect_status 0
    expect_lines 'product\t09506000134352\ngtin\t09506000134352\nlot\tL7\nexpiry\t2028-12-31\ncount\t24\nai240\tREF9'
    # Plain codes come back as they are; no database is needed or made.
    run_raw barcode 'SYR1TB'
    expect_status 0
    expect_lines 'product\tSYR1TB'
    [ -e "$db" ] && fail "a database was created"
    ;;
malformed)
    for text in ']C10109506000134353' '(01)09506000134352(17)271300' ']d20109506000134352''10ABCDEFGHIJKLMNOPQRSTU'; do
        run_raw barcode "$text"
        expect_status 2
        [ "$(head -n 1 "$work/out" | cut -f 1)" = "error" ] || fail "$text: no error line: $out"
        grep -q '^product' "$work/out" && fail "$text: a product was printed: $out"
        expect_out "message	"
    done
    run_raw barcode
    expect_status 64
    expect_err "usage:"
    ;;
match)
    init_demo
    # The demo stores GTIN-14 forms; the scan of one finds its product.
    gtin="$(value 'SELECT "UPCCode" FROM PRODUCT WHERE "ProductCode" = '"'SYR1TB'")"
    [ ${#gtin} -eq 14 ] || fail "the demo's UPC code of SYR1TB is $gtin"
    run barcode "]d201${gtin}10L1\x1d17271231"
    expect_status 0
    expect_out "$(printf 'match\tSYR1TB\t')"
    # A UPC-A stored without leading zeros matches the GTIN-14 form of a scan.
    run sql 'UPDATE PRODUCT SET "UPCCode" = '"'036000291452'"' WHERE "ProductCode" = '"'SYR3ML'"
    run barcode '(01)00036000291452(10)X'
    expect_status 0
    expect_out "$(printf 'match\tSYR3ML\t')"
    run barcode 'SYR3ML'
    expect_out "$(printf 'match\tSYR3ML\t')"
    run barcode '(01)00036000291469'
    expect_status 1
    expect_err "no product matches 00036000291469"
    grep -q '^match' "$work/out" && fail "a product was matched: $out"
    ;;
*)
    fail "unknown case"
    ;;
esac
exit 0
