// Label contents and label sheets: a lot label's GS1 data scans back to its GTIN, lot
// and expiry; sheets hold 30 labels a page on the paper the profile names; products that
// cannot have a label are refused with the reason.

#include "BILabels.h"
#include "LabelPrint.h"
#include "WSIBarCodeFuncs.h"
#include "WSIProfile.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

using namespace tavel::labels;

namespace {

std::string Shell(const std::string& cmd) {
    std::string out;
    if (FILE* p = popen(cmd.c_str(), "r")) {
        char buf[4096];
        std::size_t n;
        while ((n = std::fread(buf, 1, sizeof buf, p)) > 0)
            out.append(buf, n);
        pclose(p);
    }
    return out;
}

int Occurrences(const std::string& text, const std::string& what) {
    int n = 0;
    for (auto at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
        ++n;
    return n;
}

std::string PageText(const std::string& pdf, int page) {
    return Shell("pdftotext -f " + std::to_string(page) + " -l " + std::to_string(page) + " '" +
                 pdf + "' - 2>/dev/null");
}

tavel::report::ReportOutput PdfTo(const std::string& path) {
    tavel::report::ReportOutput out;
    out.kind = tavel::report::ReportOutput::Pdf;
    out.pdfPath = path;
    return out;
}

} // namespace

TEST(LabelGtin, CatalogueCodesBecomeFourteenDigits) {
    const std::pair<const char*, const char*> cases[] = {
        {"4006381333931", "04006381333931"},  // EAN-13
        {"036000291452", "00036000291452"},   // UPC-A
        {"96385074", "00000096385074"},       // GTIN-8
        {"09506000134352", "09506000134352"}, // GTIN-14 as it stands
        {" 4006381333931 ", "04006381333931"},
        {"4006381333932", ""},  // wrong check digit
        {"1234567", ""},        // 7 digits
        {"40063813339310", ""}, // 14 digits, wrong check digit
        {"ABC-4006381", ""},    // a shop's own code
        {"", ""},
    };
    for (const auto& [upc, gtin] : cases)
        EXPECT_EQ(Gtin14(upc), gtin) << upc;
}

// What the symbol carries, handed to the library and read by the receiving screen's
// parser, gives back the same GTIN, lot and expiry; at the lot's longest and without
// lot or expiry.
TEST(LotLabel, SymbolDataScansBackToGtinLotAndExpiry) {
    struct Case {
        const char* upc;
        const char* lot;
        WSIDate expiry;
        const char* elementString;
    };
    const Case cases[] = {
        {"4006381333931", "AB-12", {2027, 12, 31}, "(01)04006381333931(17)271231(10)AB-12"},
        {"036000291452",
         "L0T/20.chars-exactly",
         {2030, 2, 1},
         "(01)00036000291452(17)300201(10)L0T/20.chars-exactly"},
        {"09506000134352", "", {2026, 7, 9}, "(01)09506000134352(17)260709"},
        {"96385074", "7731", {}, "(01)00000096385074(10)7731"},
    };
    for (const Case& c : cases) {
        LotLabel label;
        ASSERT_EQ(MakeLotLabel(c.upc, c.lot, c.expiry, "P1", "Gauze", "BOX", "STORE", label), 0u)
            << c.upc;
        EXPECT_EQ(label.elementString, c.elementString);

        const Symbol symbol = EncodeGs1DataMatrix(label.elementString);
        ASSERT_TRUE(symbol.Ok()) << symbol.error;
        WSIBarCodeFuncs scan;
        scan.SetReferenceYear(2026);
        ASSERT_TRUE(scan.ScanBarCode(symbol.data.c_str(), 3)) << scan.Fields().error;
        const WSIBarCodeFields& f = scan.Fields();
        EXPECT_TRUE(f.isGs1);
        EXPECT_EQ(f.gtin, label.gtin);
        EXPECT_EQ(f.lot, c.lot);
        EXPECT_EQ(f.hasExpiry, !c.expiry.IsNull());
        if (f.hasExpiry) {
            EXPECT_EQ((WSIDate{static_cast<short>(f.expiryYear), static_cast<short>(f.expiryMonth),
                               static_cast<short>(f.expiryDay)}),
                      c.expiry);
        }
        // The GTIN finds the product under the code the catalogue holds.
        const auto candidates = WSIBarCodeFuncs::ProductCodeCandidates(f.gtin);
        EXPECT_NE(std::find(candidates.begin(), candidates.end(), std::string(c.upc)),
                  candidates.end())
            << c.upc;
    }
}

// The library reads the data as GS1: a GTIN with a wrong check digit or an unknown
// identifier is not encoded as if it were plain text.
TEST(LotLabel, SymbologyLibraryChecksTheGs1Data) {
    EXPECT_FALSE(EncodeGs1DataMatrix("(01)04006381333932(17)271231").Ok());
    EXPECT_FALSE(EncodeGs1DataMatrix("(01)04006381333931(17)271332").Ok());
    EXPECT_TRUE(EncodeGs1DataMatrix("(01)04006381333931(17)271231").Ok());
}

TEST(LotLabel, RefusedWithTheReason) {
    struct Case {
        const char* upc;
        const char* lot;
        WSIDate expiry;
        unsigned code;
    };
    const Case cases[] = {
        {"", "A1", {2027, 1, 1}, kMsgNoGtin},
        {"GAUZE-4", "A1", {2027, 1, 1}, kMsgNoGtin},
        {"4006381333932", "A1", {2027, 1, 1}, kMsgNoGtin},
        {"4006381333931", "L0T/21.chars-exactly!", {2027, 1, 1}, kMsgLotNotPrintable},
        {"4006381333931", "LOT (2)", {2027, 1, 1}, kMsgLotNotPrintable},
        {"4006381333931", "LOT 2", {2027, 1, 1}, kMsgLotNotPrintable},
        {"4006381333931", "A1", {2100, 1, 1}, kMsgExpiryOutOfRange},
        {"4006381333931", "A1", {1999, 12, 31}, kMsgExpiryOutOfRange},
        {"4006381333931", "A1", {2099, 12, 31}, 0},
        {"4006381333931", "A1", {2000, 1, 1}, 0},
    };
    for (const Case& c : cases) {
        LotLabel label;
        EXPECT_EQ(MakeLotLabel(c.upc, c.lot, c.expiry, "P1", "Gauze", "BOX", "STORE", label),
                  c.code)
            << c.upc << " / " << c.lot << " / " << c.expiry.year;
    }
}

TEST(BinLabel, ProductWithoutCodeIsRefused) {
    BinLabel label;
    EXPECT_EQ(MakeBinLabel("  ", "Gauze swabs", "A-3", "BOX", "STORE", label), kMsgNoProductCode);
    EXPECT_EQ(label.description, "Gauze swabs");
    ASSERT_EQ(MakeBinLabel("GZ4 ", "Gauze swabs ", "A-3", "BOX", "STORE", label), 0u);
    EXPECT_EQ(label.productCode, "GZ4");
    EXPECT_TRUE(EncodeCode128(label.productCode).Ok());
}

TEST(LabelSheet, ProfileChoosesPaperAndEveryLabelFitsThePage) {
    const std::string dir = std::filesystem::temp_directory_path().string();
    WSIProfile profile(dir + "/labels-profile-" + std::to_string(::getpid()) + ".ini");
    EXPECT_EQ(SheetFromProfile(&profile).name, "Letter");
    profile.WriteString("Inventory", "Label Sheet", "a4");
    EXPECT_EQ(SheetFromProfile(&profile).name, "A4");
    profile.WriteString("Inventory", "Label Sheet", "Letter");
    EXPECT_EQ(SheetFromProfile(&profile).name, "Letter");
    EXPECT_EQ(SheetFromProfile(nullptr).name, "Letter");

    for (const LabelSheet& s : {A4Sheet(), LetterSheet()}) {
        EXPECT_EQ(s.PerPage(), 30) << s.name;
        // The 30th label closes the first page; the 31st opens the second at the top.
        EXPECT_EQ(s.PageOf(29), 0);
        EXPECT_EQ(s.PageOf(30), 1);
        EXPECT_DOUBLE_EQ(s.XOf(30), s.XOf(0));
        EXPECT_DOUBLE_EQ(s.YOf(30), s.YOf(0));
        EXPECT_LE(s.XOf(29) + s.labelWidth, s.pageWidth + 1e-9) << s.name;
        EXPECT_LE(s.YOf(29) + s.labelHeight, s.pageHeight + 1e-9) << s.name;
        EXPECT_GT(s.YOf(29), s.YOf(26)) << s.name; // the last row is below the one before
    }
}

// 31 bin labels: 30 on the first page, one on the second, on paper of the sheet's size.
TEST(LabelPdf, ThirtyLabelsAPage) {
    for (const LabelSheet& sheet : {A4Sheet(), LetterSheet()}) {
        std::vector<BinLabel> labels(31);
        for (int i = 0; i < 31; ++i)
            ASSERT_EQ(MakeBinLabel("PRD" + std::to_string(100 + i), "Item", "B" + std::to_string(i),
                                   "EA", "STORE", labels[i]),
                      0u);
        const std::string pdf = std::filesystem::temp_directory_path().string() + "/bin-labels-" +
                                std::to_string(::getpid()) + ".pdf";
        std::string error;
        ASSERT_TRUE(PrintBinLabels(labels, sheet, PdfTo(pdf), error)) << error;
        const std::string info = Shell("pdfinfo '" + pdf + "' 2>/dev/null");
        EXPECT_NE(info.find("Pages:           2"), std::string::npos) << info;
        const char* size = sheet.name == "A4" ? "595 x 842 pts" : "612 x 792 pts";
        EXPECT_NE(info.find(size), std::string::npos) << sheet.name << "\n" << info;
        EXPECT_EQ(Occurrences(PageText(pdf, 1), "STORE"), 30) << sheet.name;
        const std::string second = PageText(pdf, 2);
        EXPECT_EQ(Occurrences(second, "STORE"), 1) << sheet.name;
        EXPECT_NE(second.find("PRD130"), std::string::npos) << second;
        std::filesystem::remove(pdf);
        // A folder that does not exist: refused, not a silent empty file.
        EXPECT_FALSE(PrintBinLabels(labels, sheet, PdfTo("/nonexistent-dir/x.pdf"), error));
    }
}
