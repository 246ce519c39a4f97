#pragma once

// What goes on a shelf label or a lot label, worked out without Qt: the bin label's
// product code (printed as Code 128), description, bin and unit; the lot label's GS1
// element string (GTIN, expiry, lot) that its DataMatrix carries and that is printed
// below it. The label sheets (3 x 10 on A4 or US Letter) are described here as well,
// so that the PDF renderer only draws what this piece laid out.

#include "Record.h"

#include <string>
#include <vector>

class WSIDatabase;
class WSIProfile;

namespace tavel::labels {

// Refusals staff can meet when printing labels.
inline constexpr unsigned kMsgNoProductCode = 40350;    // bin label for a product without a code
inline constexpr unsigned kMsgNoGtin = 40351;           // lot label for a product without a GTIN
inline constexpr unsigned kMsgLotNotPrintable = 40352;  // lot too long or with other characters
inline constexpr unsigned kMsgNothingToPrint = 40353;   // no row gives a label
inline constexpr unsigned kMsgCannotWrite = 40354;      // the PDF file could not be written
inline constexpr unsigned kMsgExpiryOutOfRange = 40355; // expiry year a GS1 date cannot hold

// A lot (AI 10) holds at most 20 characters.
inline constexpr std::size_t kMaxLot = 20;

struct BinLabel {
    std::string productCode; // the Code 128 data
    std::string description;
    std::string bin;
    std::string unit;
    std::string location;
};

struct LotLabel {
    std::string gtin; // 14 digits
    std::string lot;  // may be empty
    WSIDate expiry{}; // null when the lot has none
    std::string productCode;
    std::string description;
    std::string unit;
    std::string location;
    // The element string in its human-readable form, "(01)...(17)...(10)...": printed
    // under the symbol and handed to the symbology library, which encodes it with FNC1.
    std::string elementString;
};

// The 14-digit GTIN of a catalogue UPC code (GTIN-8, UPC-A, EAN-13 or GTIN-14, padded
// with leading zeros), or "" when the code is no GTIN (letters, another length, a wrong
// check digit).
std::string Gtin14(const std::string& upcCode);

// Each gives 0 and fills out, or the message code of the refusal. Texts are trimmed.
unsigned MakeBinLabel(const std::string& productCode, const std::string& description,
                      const std::string& bin, const std::string& unit, const std::string& location,
                      BinLabel& out);
unsigned MakeLotLabel(const std::string& upcCode, const std::string& lot, const WSIDate& expiry,
                      const std::string& productCode, const std::string& description,
                      const std::string& unit, const std::string& location, LotLabel& out);

// A sheet of equal labels in a grid; millimetres from the page's top left corner.
struct LabelSheet {
    std::string name; // "A4" or "Letter"
    double pageWidth = 0, pageHeight = 0;
    int columns = 0, rows = 0;
    double labelWidth = 0, labelHeight = 0;
    double left = 0, top = 0;      // first label's corner
    double pitchX = 0, pitchY = 0; // from one label's corner to the next
    int PerPage() const { return columns * rows; }
    // Page (0-based) and corner of the n-th label.
    int PageOf(int n) const { return n / PerPage(); }
    double XOf(int n) const { return left + (n % PerPage() % columns) * pitchX; }
    double YOf(int n) const { return top + (n % PerPage() / columns) * pitchY; }
};

LabelSheet A4Sheet();     // 3 x 10 labels of 70 x 29.7 mm
LabelSheet LetterSheet(); // 3 x 10 labels of 2 5/8 x 1 in
// The sheet the workstation's profile names ("Inventory" / "Label Sheet": "A4" or
// "Letter"); Letter when the profile says nothing or something else.
LabelSheet SheetFromProfile(const WSIProfile* profile);

// Reads what labels need beyond the lists' rows.
class BILabels {
public:
    explicit BILabels(WSIDatabase* db) : db_(db) {}
    // The product's UPC code ("" when it has none or is unknown).
    std::string UPCCodeOf(long product);

private:
    WSIDatabase* db_;
};

} // namespace tavel::labels
