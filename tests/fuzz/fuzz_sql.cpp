// Fuzz target: the SQL translator takes any text without crashing. A text it cannot
// translate is refused with TranslateError; nothing else may escape.

#include "Dialect.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace {

const sqldialect::SchemaHints& Hints() {
    // Enough of the schema for the date and unquoted-name rewrites to run.
    static const sqldialect::SchemaHints hints = [] {
        sqldialect::SchemaHints h;
        h.dateColumns = {"Date", "ExpiryDate", "PODate", "LastCountDate", "EXPIRYDATE"};
        h.tableColumns["INVITDET"] = {"InvItDet", "InvItem", "Date", "Quantity", "InvLoc"};
        h.tableColumns["PRODUCT"] = {"Product", "ProductCode", "UPCCode", "Description"};
        h.tableColumns["PRDLOC"] = {"Product", "InvLoc", "Balance", "LastCountDate"};
        return h;
    }();
    return hints;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    sqldialect::MdyToIso(text);
    try {
        const sqldialect::Normalized n = sqldialect::Normalize(text);
        sqldialect::Translate(n, sqldialect::Target::SQLite, Hints());
        sqldialect::Translate(n, sqldialect::Target::PostgreSQL, Hints());
        sqldialect::TranslateToText(text, sqldialect::Target::SQLite, Hints());
    } catch (const sqldialect::TranslateError&) {
        // A refusal is an answer.
    }
    return 0;
}
