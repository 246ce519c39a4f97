#pragma once

// WSIBarCodeFuncs: takes a scanned (or typed) text apart and yields the product code it
// names, keeping the complete data for display. Plain product codes and EAN/UPC codes
// pass through as they are; GS1 element strings (GS1-128, GS1 DataMatrix, DataBar, QR)
// are decoded into their application identifiers, whether the scanner sends an AIM
// symbology identifier or not, with FNC1 as the group separator (ASCII 29) or in the
// human-readable form "(01)09506000134352(17)271231(10)AB-12". No Qt, no database.

#include <string>
#include <utility>
#include <vector>

struct WSIBarCodeFields { // what one scanned text holds
    bool isGs1 = false; // GS1 element string (with/without AIM id, FNC1 as \x1d or "(01)..." form)
    std::string gtin;   // AI 01 (or 02), 14 digits, check digit verified
    std::string lot;    // AI 10
    std::string serial; // AI 21
    int expiryYear = 0, expiryMonth = 0, expiryDay = 0;
    bool hasExpiry = false; // AI 17 (day 00 = last day of month)
    long count = 0;
    bool hasCount = false;                                     // AI 30 or 37
    std::vector<std::pair<std::string, std::string>> elements; // every AI and value in scan order
    // Non-empty when no product code can be taken from the text: the data is malformed
    // (or GS1 data names no product); a short English reason for logs and invctl.
    std::string error;
    unsigned errorCode = 0; // message code that tells staff what is wrong, 0 when fine
};

class WSIBarCodeFuncs {
public:
    // Flags of ScanBarCode's mode; the scan screens pass both (3).
    static constexpr int kModeGs1 = 1;   // decode GS1 element strings
    static constexpr int kModePlain = 2; // accept plain codes and EAN/UPC as they are
    // The complete scanned text kept, as the scan screens' raw bar code holds it.
    static constexpr std::size_t kMaxRaw = 4000;

    // Message codes of the refusals (errorCode).
    static constexpr unsigned kMsgMalformed = 39750;      // GS1 structure broken
    static constexpr unsigned kMsgGtinCheckDigit = 39751; // GTIN check digit wrong
    static constexpr unsigned kMsgNotADate = 39752;       // a date element is no real date
    static constexpr unsigned kMsgNoProduct = 39753;      // GS1 data without GTIN
    static constexpr unsigned kMsgUnreadable = 39754;     // control characters in a plain code

    WSIBarCodeFuncs();

    // true when a product code could be taken from text; otherwise Fields().errorCode
    // says why (0 for an empty text or a mode that does not take this kind of code).
    bool ScanBarCode(const char* text, int mode);
    // product code (plain code, EAN/UPC as scanned, or the GTIN)
    const char* GetProduct() const { return m_product.c_str(); }
    // parsed data of the last ScanBarCode
    const WSIBarCodeFields& Fields() const { return m_fields; }
    // the complete scanned text (at most 4,000 characters kept)
    const std::string& Raw() const { return m_raw; }

    // GTIN-14, GTIN-13, UPC-A (and EAN-8) forms of one GTIN, to match PRODUCT "UPCCode"
    // however the catalogue stored it: the leading zeros of the 14-digit form are dropped
    // one form at a time. A GTIN with an indicator digit other than 0 names a case, not
    // the unit inside it, so it has only its own form. Empty for anything but 14 digits.
    static std::vector<std::string> ProductCodeCandidates(const std::string& gtin14);
    // Whether the last digit of an all-digit text is its GS1 mod-10 check digit.
    static bool HasValidCheckDigit(const std::string& digits);

    // Two-digit years of GS1 dates lie from 49 years back to 50 years ahead of this year
    // (the current year unless set; tests and "as of" runs set it).
    void SetReferenceYear(int year) { m_referenceYear = year; }

private:
    bool Fail(unsigned code, const std::string& reason);
    bool ParseGs1(const std::string& body);
    bool ParseElementString(const std::string& body);
    bool ParseBracketed(const std::string& body);
    bool TakeElement(const std::string& ai, std::string value);

    std::string m_raw;
    std::string m_product;
    WSIBarCodeFields m_fields;
    int m_referenceYear;
};
