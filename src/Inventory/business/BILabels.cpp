#include "BILabels.h"

#include "BoundedFormat.h"
#include "Records.h"
#include "WSIBarCodeFuncs.h"
#include "WSIDatabase.h"
#include "WSIProfile.h"

#include <cctype>
#include <cstdio>

namespace tavel::labels {

namespace {

std::string Trimmed(const std::string& s) {
    const auto first = s.find_first_not_of(' ');
    if (first == std::string::npos)
        return {};
    return s.substr(first, s.find_last_not_of(' ') - first + 1);
}

bool AllDigits(const std::string& s) {
    for (char c : s)
        if (!std::isdigit(static_cast<unsigned char>(c)))
            return false;
    return !s.empty();
}

// GS1's 82 characters for text elements, less the parentheses, which would end the
// element in the human-readable form the symbol is encoded from.
bool LotCharacterAllowed(char c) {
    if (std::isalnum(static_cast<unsigned char>(c)))
        return true;
    for (char allowed : std::string("!\"%&'*+,-./:;<=>?_"))
        if (c == allowed)
            return true;
    return false;
}

} // namespace

std::string Gtin14(const std::string& upcCode) {
    const std::string code = Trimmed(upcCode);
    const std::size_t n = code.size();
    if (!AllDigits(code) || !(n == 8 || n == 12 || n == 13 || n == 14))
        return {};
    const std::string gtin = std::string(14 - n, '0') + code;
    return WSIBarCodeFuncs::HasValidCheckDigit(gtin) ? gtin : std::string();
}

unsigned MakeBinLabel(const std::string& productCode, const std::string& description,
                      const std::string& bin, const std::string& unit, const std::string& location,
                      BinLabel& out) {
    out = {Trimmed(productCode), Trimmed(description), Trimmed(bin), Trimmed(unit),
           Trimmed(location)};
    return out.productCode.empty() ? kMsgNoProductCode : 0;
}

unsigned MakeLotLabel(const std::string& upcCode, const std::string& lot, const WSIDate& expiry,
                      const std::string& productCode, const std::string& description,
                      const std::string& unit, const std::string& location, LotLabel& out) {
    out = {};
    out.gtin = Gtin14(upcCode);
    if (out.gtin.empty())
        return kMsgNoGtin;
    out.lot = Trimmed(lot);
    if (out.lot.size() > kMaxLot)
        return kMsgLotNotPrintable;
    for (char c : out.lot)
        if (!LotCharacterAllowed(c))
            return kMsgLotNotPrintable;
    out.expiry = expiry;
    out.productCode = Trimmed(productCode);
    out.description = Trimmed(description);
    out.unit = Trimmed(unit);
    out.location = Trimmed(location);

    out.elementString = "(01)" + out.gtin;
    if (!expiry.IsNull()) {
        // Two-digit years: the scanner's side reads them within 50 years of today, which
        // any real expiry date is; a date outside 2000-2099 is a typing slip.
        if (expiry.year < 2000 || expiry.year > 2099 || expiry.month < 1 || expiry.month > 12 ||
            expiry.day < 1 || expiry.day > 31)
            return kMsgExpiryOutOfRange;
        // Checked above to two digits each; unsigned, so that the compiler sees no sign.
        char date[8];
        std::snprintf(date, sizeof date, "%02u%02u%02u", unsigned(expiry.year) % 100,
                      unsigned(expiry.month) % 100, unsigned(expiry.day) % 100);
        out.elementString += "(17)";
        out.elementString += date;
    }
    // The lot goes last: a variable-length element needs no separator at the end.
    if (!out.lot.empty())
        out.elementString += "(10)" + out.lot;
    return 0;
}

LabelSheet A4Sheet() {
    // 3 x 10 labels filling the page edge to edge.
    return {"A4", 210.0, 297.0, 3, 10, 70.0, 29.7, 0.0, 0.0, 70.0, 29.7};
}

LabelSheet LetterSheet() {
    // 2 5/8 x 1 in labels, 1/8 in apart across, half-inch top margin.
    return {"Letter", 215.9, 279.4, 3, 10, 66.675, 25.4, 4.7625, 12.7, 69.85, 25.4};
}

LabelSheet SheetFromProfile(const WSIProfile* profile) {
    const std::string name =
        profile ? Trimmed(profile->GetString("Inventory", "Label Sheet", "Letter")) : "";
    if (name.size() == 2 && std::toupper(static_cast<unsigned char>(name[0])) == 'A' &&
        name[1] == '4')
        return A4Sheet();
    return LetterSheet();
}

std::string BILabels::UPCCodeOf(long product) {
    if (!db_)
        return {};
    WSIProduct::WSIData prd{};
    char sql[512];
    TVL_FORMAT(sql, "SELECT %s FROM PRODUCT WHERE \"Product\" = %ld",
               db_->GetTableColumns(__LINE__, __FILE__, "PRODUCT"), product);
    std::unique_ptr<WSITable> cursor =
        db_->Query(__FILE__, __LINE__, "%s", WSIResult(WSIProduct::Table(), &prd), sql);
    if (!cursor || !cursor->GetFirst())
        return {};
    return Trimmed(prd.UPCCode);
}

} // namespace tavel::labels
