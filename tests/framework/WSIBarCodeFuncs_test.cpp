#include "WSIBarCodeFuncs.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <ostream>
#include <random>
#include <string>
#include <vector>

namespace {

const std::string GS = "\x1d";
constexpr int kBoth = WSIBarCodeFuncs::kModeGs1 | WSIBarCodeFuncs::kModePlain;

std::string Expiry(const WSIBarCodeFields& f) {
    if (!f.hasExpiry)
        return "";
    char text[16];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d", f.expiryYear, f.expiryMonth, f.expiryDay);
    return text;
}

// Table cases are shown and named by their name.
template <class Case> std::string CaseName(const ::testing::TestParamInfo<Case>& info) {
    return info.param.name;
}

struct Accepted {
    const char* name;
    std::string text;
    bool gs1;
    const char* product;
    const char* lot;
    const char* serial;
    const char* expiry; // YYYY-MM-DD or ""
    long count;         // -1: none
};

struct Refused {
    const char* name;
    std::string text;
    unsigned code;
};

void PrintTo(const Accepted& c, std::ostream* os) {
    *os << c.name;
}
void PrintTo(const Refused& c, std::ostream* os) {
    *os << c.name;
}

class BarCodeAccepted : public ::testing::TestWithParam<Accepted> {};

TEST_P(BarCodeAccepted, GivesProductAndData) {
    const Accepted& c = GetParam();
    WSIBarCodeFuncs parser;
    parser.SetReferenceYear(2026);
    ASSERT_TRUE(parser.ScanBarCode(c.text.c_str(), kBoth)) << parser.Fields().error;
    const WSIBarCodeFields& f = parser.Fields();
    EXPECT_STREQ(parser.GetProduct(), c.product);
    EXPECT_EQ(f.isGs1, c.gs1);
    EXPECT_EQ(f.gtin, c.gs1 ? c.product : "");
    EXPECT_EQ(f.lot, c.lot);
    EXPECT_EQ(f.serial, c.serial);
    EXPECT_EQ(Expiry(f), c.expiry);
    EXPECT_EQ(f.hasCount, c.count >= 0);
    EXPECT_EQ(f.count, c.count >= 0 ? c.count : 0);
    EXPECT_EQ(f.errorCode, 0u);
    EXPECT_EQ(f.error, "");
    EXPECT_EQ(parser.Raw(), c.text);
}

INSTANTIATE_TEST_SUITE_P(
    Forms, BarCodeAccepted,
    ::testing::Values(
        // Variable-length lot ended by the separator, then the expiry date.
        Accepted{"DataMatrixLotThenExpiry",
                 "]d20109506000134352"
                 "10ABC123" +
                     GS + "17271231",
                 true, "09506000134352", "ABC123", "", "2027-12-31", -1},
        // Fixed-length expiry needs no separator before the lot; day 00 is the month's end.
        Accepted{"Code128ExpiryThenLot",
                 "]C10109506000134352"
                 "17270600"
                 "10LOT-7",
                 true, "09506000134352", "LOT-7", "", "2027-06-30", -1},
        Accepted{"Bracketed", "(01)09506000134352 (17)280229 (10)A1B2 (21)SN0042", true,
                 "09506000134352", "A1B2", "SN0042", "2028-02-29", -1},
        // A bracket in a lot that opens no identifier stays in the lot.
        Accepted{"BracketedLotWithBracket", "(01)00036000291452(10)X(1)2", true, "00036000291452",
                 "X(1)2", "", "", -1},
        Accepted{"LeadingSeparatorNoAim", GS + "0109506000134352" + GS + "21SER1" + GS + "10L1",
                 true, "09506000134352", "L1", "SER1", "", -1},
        Accepted{"DataBarWithCount",
                 "]e00109506000134352"
                 "3012",
                 true, "09506000134352", "", "", "", 12},
        Accepted{"QrContentGtinAndCount", "]Q302095060001343523748" + GS + "10LOT9", true,
                 "09506000134352", "LOT9", "", "", 48},
        Accepted{"NoAimNoSeparator", "010950600013435217261130", true, "09506000134352", "", "",
                 "2026-11-30", -1},
        Accepted{"EndsWithLineBreak",
                 "]C10109506000134352"
                 "10L5\r\n",
                 true, "09506000134352", "L5", "", "", -1},
        Accepted{"PlainCode", "SYR1TB", false, "SYR1TB", "", "", "", -1},
        Accepted{"PlainEan13", "4006381333931", false, "4006381333931", "", "", "", -1},
        Accepted{"PlainUpcA", "036000291452", false, "036000291452", "", "", "", -1},
        // A 16-digit code after 01 whose check digit fails is not taken for GS1 data.
        Accepted{"DigitsThatAreNoGtin", "0109506000134353", false, "0109506000134353", "", "", "",
                 -1},
        Accepted{"Ean13WithAimId", "]E04006381333931", false, "4006381333931", "", "", "", -1}),
    CaseName<Accepted>);

class BarCodeRefused : public ::testing::TestWithParam<Refused> {};

TEST_P(BarCodeRefused, NamesTheFaultAndGivesNoProduct) {
    const Refused& c = GetParam();
    WSIBarCodeFuncs parser;
    parser.SetReferenceYear(2026);
    EXPECT_FALSE(parser.ScanBarCode(c.text.c_str(), kBoth));
    EXPECT_EQ(parser.Fields().errorCode, c.code);
    EXPECT_NE(parser.Fields().error, "");
    EXPECT_STREQ(parser.GetProduct(), "");
    EXPECT_EQ(parser.Raw(), c.text);
}

constexpr unsigned kMalformed = WSIBarCodeFuncs::kMsgMalformed;
constexpr unsigned kNotADate = WSIBarCodeFuncs::kMsgNotADate;

INSTANTIATE_TEST_SUITE_P(
    Faults, BarCodeRefused,
    ::testing::Values(Refused{"GtinCheckDigit",
                              "]C10109506000134353"
                              "10A",
                              WSIBarCodeFuncs::kMsgGtinCheckDigit},
                      Refused{"ContentGtinCheckDigit", "(02)09506000134353(37)5",
                              WSIBarCodeFuncs::kMsgGtinCheckDigit},
                      Refused{"ExpiryMonth13",
                              "]d20109506000134352"
                              "171300"
                              "10A",
                              kNotADate},
                      Refused{"ExpiryMonth00",
                              "]d20109506000134352"
                              "17130010",
                              kNotADate},
                      Refused{"ExpiryApril31", "(01)09506000134352(17)270431", kNotADate},
                      Refused{"ExpiryFeb29NoLeapYear", "(01)09506000134352(17)270229", kNotADate},
                      Refused{"ProductionDateNotADate", "(01)09506000134352(11)271232", kNotADate},
                      Refused{"GtinCutShort", "]C101095060001343", kMalformed},
                      Refused{"LotOver20",
                              "]C10109506000134352"
                              "10" +
                                  std::string(21, 'A'),
                              kMalformed},
                      Refused{"CountOver8Digits", "(01)09506000134352(30)123456789", kMalformed},
                      Refused{"LetterInCount", "(01)09506000134352(30)12A", kMalformed},
                      Refused{"SpaceInLot",
                              "]C10109506000134352"
                              "10AB CD",
                              kMalformed},
                      Refused{"UnknownIdentifier",
                              "]C10109506000134352"
                              "05123",
                              kMalformed},
                      Refused{"EmptyValue", "(01)09506000134352(10)", kMalformed},
                      Refused{"TextAfterGtin", "(01)09506000134352x(10)A", kMalformed},
                      Refused{"ContradictingLots", "(01)09506000134352(10)A(10)B", kMalformed},
                      Refused{"SsccOnly",
                              "]C1"
                              "00009506000000000019",
                              WSIBarCodeFuncs::kMsgNoProduct},
                      Refused{"ControlCharacterInPlainCode",
                              "AB\x01"
                              "CD",
                              WSIBarCodeFuncs::kMsgUnreadable}),
    CaseName<Refused>);

TEST(BarCodeDates, TwoDigitYearsFollowTheSlidingWindowAtItsEdges) {
    struct Case {
        int reference;
        const char* yymmdd;
        int year;
    } cases[] = {
        {2026, "760101", 2076}, // 50 ahead: still this century
        {2026, "770101", 1977}, // 51 ahead: the last one
        {2076, "270101", 2027}, // 49 back: this century
        {2076, "260101", 2126}, // 50 back: the next one
    };
    for (const Case& c : cases) {
        WSIBarCodeFuncs parser;
        parser.SetReferenceYear(c.reference);
        const std::string text = std::string("(01)09506000134352(17)") + c.yymmdd;
        ASSERT_TRUE(parser.ScanBarCode(text.c_str(), kBoth)) << text;
        EXPECT_EQ(parser.Fields().expiryYear, c.year) << c.reference << " " << c.yymmdd;
    }
}

TEST(BarCodeCandidates, DropLeadingZerosOneFormAtATime) {
    using V = std::vector<std::string>;
    EXPECT_EQ(WSIBarCodeFuncs::ProductCodeCandidates("00036000291452"),
              (V{"00036000291452", "0036000291452", "036000291452"}));
    EXPECT_EQ(WSIBarCodeFuncs::ProductCodeCandidates("00000096385074"),
              (V{"00000096385074", "0000096385074", "000096385074", "96385074"}));
    EXPECT_EQ(WSIBarCodeFuncs::ProductCodeCandidates("09506000134352"),
              (V{"09506000134352", "9506000134352"}));
    // A case (indicator digit 1) is not the unit inside it.
    EXPECT_EQ(WSIBarCodeFuncs::ProductCodeCandidates("10036000291459"), V{"10036000291459"});
    EXPECT_EQ(WSIBarCodeFuncs::ProductCodeCandidates("0036000291452"), V{});
    EXPECT_EQ(WSIBarCodeFuncs::ProductCodeCandidates("0003600029145A"), V{});
}

TEST(BarCodeScan, ModeLimitsWhatIsTakenAndNothingCarriesOver) {
    WSIBarCodeFuncs parser;
    const std::string gs1 = "]d20109506000134352"
                            "10LOT" +
                            GS + "17271231";
    EXPECT_FALSE(parser.ScanBarCode(gs1.c_str(), WSIBarCodeFuncs::kModePlain));
    EXPECT_EQ(parser.Fields().errorCode, 0u);
    EXPECT_FALSE(parser.ScanBarCode("SYR1TB", WSIBarCodeFuncs::kModeGs1));
    EXPECT_STREQ(parser.GetProduct(), "");

    ASSERT_TRUE(parser.ScanBarCode(gs1.c_str(), kBoth));
    EXPECT_EQ(parser.Fields().elements,
              (std::vector<std::pair<std::string, std::string>>{
                  {"01", "09506000134352"}, {"10", "LOT"}, {"17", "271231"}}));
    ASSERT_TRUE(parser.ScanBarCode("SYR1TB", kBoth));
    EXPECT_FALSE(parser.Fields().isGs1);
    EXPECT_EQ(parser.Fields().lot, "");
    EXPECT_FALSE(parser.Fields().hasExpiry);
    EXPECT_TRUE(parser.Fields().elements.empty());
    EXPECT_FALSE(parser.ScanBarCode("", kBoth));
    EXPECT_FALSE(parser.ScanBarCode(nullptr, kBoth));
    EXPECT_EQ(parser.Raw(), "");
}

TEST(BarCodeScan, OtherIdentifiersAreKeptInScanOrder) {
    WSIBarCodeFuncs parser;
    const std::string text = "]C10109506000134352"
                             "240REF-88" +
                             GS + "710123456" + GS + "3012";
    ASSERT_TRUE(parser.ScanBarCode(text.c_str(), kBoth)) << parser.Fields().error;
    EXPECT_EQ(parser.Fields().elements,
              (std::vector<std::pair<std::string, std::string>>{
                  {"01", "09506000134352"}, {"240", "REF-88"}, {"710", "123456"}, {"30", "12"}}));
}

TEST(BarCodeScan, NoiseKeepsFourThousandCharactersAndEndsWithAnAnswer) {
    std::mt19937 random(15);
    const std::string prefixes[] = {"", "]d2", "]C101095060001343521", "(", GS};
    for (int round = 0; round < 200; ++round) {
        std::string text = prefixes[round % 5];
        const bool digitsOnly = round % 2 == 0; // digits walk deeper into the element parser
        while (text.size() < 4500) {
            const char c = digitsOnly ? static_cast<char>('0' + random() % 10)
                                      : static_cast<char>(1 + random() % 255);
            text += c;
        }
        WSIBarCodeFuncs parser;
        const bool ok = parser.ScanBarCode(text.c_str(), kBoth);
        ASSERT_EQ(parser.Raw(), text.substr(0, WSIBarCodeFuncs::kMaxRaw)) << round;
        // Either a product, or a refusal with its message: never neither, never both.
        EXPECT_EQ(ok, parser.Fields().errorCode == 0) << round;
        EXPECT_EQ(ok, parser.GetProduct()[0] != '\0') << round;
    }
}

TEST(BarCodeCheckDigit, Gs1ModTen) {
    EXPECT_TRUE(WSIBarCodeFuncs::HasValidCheckDigit("09506000134352"));
    EXPECT_TRUE(WSIBarCodeFuncs::HasValidCheckDigit("4006381333931"));
    EXPECT_TRUE(WSIBarCodeFuncs::HasValidCheckDigit("96385074"));
    EXPECT_FALSE(WSIBarCodeFuncs::HasValidCheckDigit("09506000134353"));
    EXPECT_FALSE(WSIBarCodeFuncs::HasValidCheckDigit("4006381333913")); // two digits swapped
    EXPECT_FALSE(WSIBarCodeFuncs::HasValidCheckDigit("7"));
    EXPECT_FALSE(WSIBarCodeFuncs::HasValidCheckDigit("0950600013435X"));
}

} // namespace
