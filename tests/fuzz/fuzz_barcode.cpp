// Fuzz target: the bar-code parser takes any scanned text without crashing, and always
// answers one way: a product and no error, or no product and (for data it read) a reason.

#include "WSIBarCodeFuncs.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0)
        return 0;
    // The first byte picks the mode, the rest is the scanned text.
    const int mode = data[0] % 4;
    const std::string text(reinterpret_cast<const char*>(data + 1), size - 1);
    WSIBarCodeFuncs parser;
    const bool ok = parser.ScanBarCode(text.c_str(), mode);
    const WSIBarCodeFields& f = parser.Fields();
    const bool hasProduct = parser.GetProduct()[0] != '\0';
    if (ok != hasProduct || (ok && (f.errorCode != 0 || !f.error.empty())) ||
        (f.errorCode != 0) != !f.error.empty() || parser.Raw().size() > WSIBarCodeFuncs::kMaxRaw)
        std::abort();
    if (ok && f.isGs1) {
        // A GTIN handed on is 14 digits with its check digit, and its own first form.
        const auto forms = WSIBarCodeFuncs::ProductCodeCandidates(f.gtin);
        if (forms.empty() || forms.front() != f.gtin ||
            !WSIBarCodeFuncs::HasValidCheckDigit(f.gtin))
            std::abort();
        if (f.hasExpiry &&
            (f.expiryMonth < 1 || f.expiryMonth > 12 || f.expiryDay < 1 || f.expiryDay > 31))
            std::abort();
    }
    return 0;
}
