// invctl barcode: shows what the bar-code parser makes of a scanned text and, with a
// database, which product the scan screens would take for it. Support staff try a new
// scanner with it: scan into a quoted argument, "\x1d" standing for the group separator.

#include "invctl.h"
#include "invctl_host.h"

#include "BIInventory.h"
#include "StringTable.h"
#include "WSIBarCodeFuncs.h"
#include "WSIDatabase.h"

#include <cstdio>
#include <memory>
#include <string>

namespace invctl {
namespace {

// A shell cannot pass ASCII 29 comfortably; "\x1d" (either case) stands for it.
std::string WithSeparators(const std::string& text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text.compare(i, 3, "\\x1") == 0 && i + 3 < text.size() &&
            (text[i + 3] == 'd' || text[i + 3] == 'D')) {
            out += '\x1d';
            i += 3;
        } else {
            out += text[i];
        }
    }
    return out;
}

void PrintField(const char* field, const std::string& value) {
    if (!value.empty())
        std::printf("%s\t%s\n", field, value.c_str());
}

void PrintFields(const WSIBarCodeFuncs& scan) {
    const WSIBarCodeFields& f = scan.Fields();
    PrintField("product", scan.GetProduct());
    PrintField("gtin", f.gtin);
    PrintField("lot", f.lot);
    if (f.hasExpiry)
        std::printf("expiry\t%04d-%02d-%02d\n", f.expiryYear, f.expiryMonth, f.expiryDay);
    PrintField("serial", f.serial);
    if (f.hasCount)
        std::printf("count\t%ld\n", f.count);
    // The identifiers without a field of their own, as "ai240", in scan order.
    for (const auto& [ai, value] : f.elements)
        if (ai != "01" && ai != "02" && ai != "10" && ai != "17" && ai != "21" && ai != "30" &&
            ai != "37")
            PrintField(("ai" + ai).c_str(), value);
}

int RunBarCode(const Options& options, const Args& args) {
    if (args.size() != 1)
        return UsageError(kBarCodeCommand, "give exactly one scanned text (quote it)");
    const std::string text = WithSeparators(args.front());
    if (text.empty())
        return UsageError(kBarCodeCommand, "the scanned text is empty");

    WSIBarCodeFuncs scan;
    if (!scan.ScanBarCode(text.c_str(), WSIBarCodeFuncs::kModeGs1 | WSIBarCodeFuncs::kModePlain)) {
        const WSIBarCodeFields& f = scan.Fields();
        std::printf("error\t%s\n",
                    f.error.empty() ? "no product code in the text" : f.error.c_str());
        // What the scan screens show staff for it.
        StringTable texts;
        if (f.errorCode != 0 && texts.LoadDefault())
            PrintField("message", std::string(texts.Get(f.errorCode)));
        // The command line was right; the data is what is refused.
        return kExitRefused;
    }
    PrintFields(scan);
    if (options.db.empty())
        return kExitOk;

    std::string problem;
    std::unique_ptr<WSIDatabase> db = OpenInventory(options.db, problem);
    if (!db)
        return Fail(problem);
    BIInventory inventory(db.get());
    if (inventory.FindProductByBarCode(scan) == 0)
        return Fail(std::string("no product matches ") + scan.GetProduct());
    char code[64] = "", description[256] = "";
    inventory.GetProductCode(code, sizeof code);
    inventory.GetProductDescription(description, sizeof description);
    std::printf("match\t%s\t%s\n", code, description);
    return kExitOk;
}

} // namespace

const Command kBarCodeCommand{
    "barcode", "\"TEXT\"",
    "show what a scanned text holds, one field<TAB>value per line (product, gtin, lot, expiry, "
    "serial, count; \\x1d in TEXT is the group separator); malformed data prints an error line "
    "and exits 2; with a database also the matching product (match<TAB>code<TAB>description), "
    "exit 1 when none",
    RunBarCode};

} // namespace invctl
