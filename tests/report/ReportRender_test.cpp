// Every report definition rendered to PDF on the demo database: the PDF's text holds
// the values passed as formulas and the rows the report is about.

#include "QtReportEngine.h"
#include "ReportRender.h"

#include "BIInvExpiry.h"
#include "CCrystalReportObj.h"
#include "DemoData.h"
#include "Paths.h"
#include "Schema.h"
#include "SchemaTestSupport.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

using namespace tavel::report;

namespace {

// Text of a PDF as pdftotext reads it, with ligatures spelled out and every run of
// white space made one blank, so that wrapped cells still match.
std::string PdfText(const std::string& path) {
    const std::string cmd = "pdftotext -enc UTF-8 '" + path + "' - 2>/dev/null";
    std::string raw;
    if (FILE* p = popen(cmd.c_str(), "r")) {
        char buf[4096];
        std::size_t n;
        while ((n = std::fread(buf, 1, sizeof buf, p)) > 0)
            raw.append(buf, n);
        pclose(p);
    }
    // clang-format off
    const std::pair<const char*, const char*> ligatures[] = {{"\xEF\xAC\x80", "ff"},
        {"\xEF\xAC\x81", "fi"}, {"\xEF\xAC\x82", "fl"}, {"\xEF\xAC\x83", "ffi"},
        {"\xEF\xAC\x84", "ffl"}};
    // clang-format on
    for (const auto& [from, to] : ligatures)
        for (std::size_t at; (at = raw.find(from)) != std::string::npos;)
            raw.replace(at, std::string(from).size(), to);
    std::string text;
    for (char c : raw) {
        const bool space = c == ' ' || c == '\n' || c == '\t' || c == '\f' || c == '\r';
        if (space) {
            if (!text.empty() && text.back() != ' ')
                text += ' ';
        } else {
            text += c;
        }
    }
    return text;
}

struct Formula {
    std::string name;
    std::string value;
};

class ReportRenderTest : public ::testing::Test {
protected:
    void SetUp() override {
        dataDir_ = schematest::NewDataDir("tavel-report-");
        std::string problem;
        ASSERT_TRUE(tavel::CreateSchema(tdb_.db, &problem)) << problem;
        ASSERT_TRUE(tavel::LoadDemoData(tdb_.db, &problem)) << problem;
        engine_ = std::make_unique<QtReportEngine>(&tdb_.db);
        engine_->SetReportFolder(
            (std::filesystem::path(tavel::ResourceDir()) / "reports").string());
    }
    void TearDown() override {
        std::error_code ec;
        std::filesystem::remove_all(dataDir_, ec);
    }

    std::string Out(const std::string& name) { return (dataDir_ / name).string(); }

    // Renders through the job the way every caller drives it; the PDF's text, or "" with
    // a failure recorded.
    std::string Render(const std::string& file, const std::vector<Formula>& formulas,
                       const std::vector<CRPEValueInfo>& params = {}, bool formulaErrors = true) {
        QtReportJob job(*engine_, file, "", false, nullptr);
        std::vector<ST_FORMULAS> entries(formulas.size());
        for (std::size_t i = 0; i < formulas.size(); ++i)
            SetStringFormula(entries[i], formulas[i].name.c_str(), formulas[i].value.c_str());
        job.SetFormulas(entries.data(), static_cast<int>(entries.size()));
        job.SetFormulaError(formulaErrors);
        job.SetParameter(params.data(), static_cast<int>(params.size()));
        const std::string out = Out(file + ".pdf");
        std::filesystem::remove(out);
        lastError_.clear();
        if (!job.RenderPdf(out)) {
            lastError_ = job.Error();
            return {};
        }
        return PdfText(out);
    }

    static CRPEValueInfo Number(long v) {
        CRPEValueInfo p;
        p.kind = CRPEValueInfo::Number;
        p.number = static_cast<double>(v);
        return p;
    }

    std::string V(const std::string& sql) {
        const std::string v = tdb_.Value(sql);
        EXPECT_FALSE(v.empty()) << "the demo has no row for: " << sql;
        return v;
    }

    schematest::TempDatabase tdb_;
    std::filesystem::path dataDir_;
    std::unique_ptr<QtReportEngine> engine_;
    std::string lastError_;
};

#define EXPECT_HOLDS(text, value)                                                                  \
    EXPECT_NE((text).find(value), std::string::npos) << "missing [" << (value) << "]"

TEST_F(ReportRenderTest, OrderShowsVendorOrSupplierLinesAndTotal) {
    const std::string order = V("SELECT MIN(\"InvOrder\") FROM INVORDER WHERE \"IsExternal\" = 1 "
                                "AND \"InvOrder\" IN (SELECT \"InvOrder\" FROM INVORDIT WHERE "
                                "\"Status\" != 4 AND \"Product\" > 0)");
    const std::string text = Render("InvOrder.rpt", {{"InvOrder", order}});
    ASSERT_FALSE(text.empty()) << lastError_;
    // A purchase order goes to a vendor: it carries the practice's letterhead.
    const std::string practice = V("SELECT \"PracticeName\" FROM TAVELOPT");
    ASSERT_FALSE(practice.empty()) << "the demo practice has a name";
    EXPECT_HOLDS(text, practice);
    EXPECT_HOLDS(text, V("SELECT \"Phone\" FROM TAVELOPT"));
    EXPECT_HOLDS(text, "Order number " + order);
    EXPECT_HOLDS(text, V("SELECT V.\"Name\" FROM INVORDER O JOIN VENDOR V ON V.\"Vendor\" = "
                         "O.\"Vendor\" WHERE O.\"InvOrder\" = " +
                         order));
    for (const auto& row : tdb_.Rows("SELECT P.\"ProductCode\" FROM INVORDIT I JOIN PRODUCT P ON "
                                     "P.\"Product\" = I.\"Product\" WHERE I.\"Status\" != 4 AND "
                                     "I.\"InvOrder\" = " +
                                     order))
        EXPECT_HOLDS(text, row[0]);
    // The order total, as the lines add up in the database.
    const std::string total =
        V("SELECT printf('%.2f', SUM(ROUND(\"Quantity\" * \"CostPerUnit\", 2))) FROM INVORDIT "
          "WHERE \"Status\" != 4 AND \"InvOrder\" = " +
          order);
    std::string shown = total;
    if (shown.size() > 6)
        shown.insert(shown.size() - 6, ",");
    EXPECT_HOLDS(text, "Order total");
    EXPECT_HOLDS(text, " " + shown + " ");

    // An internal order names the location that supplies it.
    const std::string internal =
        V("SELECT MIN(\"InvOrder\") FROM INVORDER WHERE \"IsExternal\" = 0 "
          "AND \"InvLocFrom\" IS NOT NULL AND \"InvLocFrom\" != ''");
    const std::string fromStore = Render("InvOrder.rpt", {{"InvOrder", internal}});
    ASSERT_FALSE(fromStore.empty()) << lastError_;
    EXPECT_HOLDS(fromStore, "Supplied by");
    EXPECT_HOLDS(fromStore, V("SELECT L.\"Name\" FROM INVORDER O JOIN INVLOC L ON L.\"InvLoc\" = "
                              "O.\"InvLocFrom\" WHERE O.\"InvOrder\" = " +
                              internal));
}

TEST_F(ReportRenderTest, PickListByBinWithItsTitle) {
    const std::string pick = V("SELECT MIN(\"PickList\") FROM INVORDIT WHERE \"PickList\" > 0 "
                               "AND \"QtyFilled\" < \"Quantity\" AND \"Status\" != 4");
    // The title comes from the caller, quotes and markup included.
    const std::string title = "Pick list " + pick + " for <O'Hara & Sons>";
    const std::string text =
        Render("InvPickList.rpt", {{"PickListNum", pick}, {"Title", title}}, {});
    ASSERT_FALSE(text.empty()) << lastError_;
    EXPECT_HOLDS(text, title);
    EXPECT_HOLDS(text, V("SELECT \"PracticeName\" FROM TAVELOPT"));
    for (const auto& row :
         tdb_.Rows("SELECT P.\"ProductCode\", IFNULL(PL.\"Bin\", '(no bin)') FROM INVORDIT I "
                   "JOIN INVORDER O ON O.\"InvOrder\" = I.\"InvOrder\" JOIN PRODUCT P ON "
                   "P.\"Product\" = I.\"Product\" LEFT JOIN PRDLOC PL ON PL.\"Product\" = "
                   "I.\"Product\" AND PL.\"InvLoc\" = O.\"InvLocFrom\" WHERE I.\"QtyFilled\" < "
                   "I.\"Quantity\" AND I.\"Status\" != 4 AND I.\"PickList\" = " +
                   pick)) {
        EXPECT_HOLDS(text, row[0]);
        EXPECT_HOLDS(text, "Bin " + row[1]);
    }
    EXPECT_HOLDS(text, "\xE2\x98\x90"); // the check box
}

TEST_F(ReportRenderTest, ReceiptWithoutOrder) {
    const std::string rec = V("SELECT MIN(\"InvRec\") FROM INVITEM WHERE \"Type\" = 0 AND "
                              "\"InvOrdIt\" = 0");
    // clang-format off
    const std::string text = Render("InvRec.rpt", {{"InvRec", rec}, {"InvRecDate", "02/28/2026"},
        {"InvRecLoc", "Store 'B' & annex"}, {"VendorName", "Acme \"Medical\""}});
    // clang-format on
    ASSERT_FALSE(text.empty()) << lastError_;
    for (const char* shown : {"02/28/2026", "Store 'B' & annex", "Acme \"Medical\""})
        EXPECT_HOLDS(text, std::string(shown));
    EXPECT_HOLDS(text, "Receipt " + rec);
    for (const auto& row :
         tdb_.Rows("SELECT DISTINCT P.\"ProductCode\" FROM INVITEM M JOIN PRODUCT "
                   "P ON P.\"Product\" = M.\"Product\" WHERE M.\"Type\" = 0 AND "
                   "M.\"InvRec\" = " +
                   rec))
        EXPECT_HOLDS(text, row[0]);
}

TEST_F(ReportRenderTest, ReceiptAgainstOrderShowsWhatIsStillToCome) {
    const auto pair = tdb_.Rows("SELECT I.\"InvOrder\", M.\"InvRec\" FROM INVITEM M JOIN INVORDIT "
                                "I ON I.\"InvOrdIt\" = M.\"InvOrdIt\" WHERE M.\"Type\" = 0 ORDER "
                                "BY M.\"InvRec\" LIMIT 1");
    ASSERT_EQ(pair.size(), 1u) << "the demo has no receipt against an order";
    const std::string order = pair[0][0], rec = pair[0][1];
    const std::string text =
        Render("InvOrdRec.rpt",
               {{"InvRecDate", "03/01/2026"}, {"InvRecLoc", "Central"}, {"VendorName", "Vend"}},
               {Number(std::stol(order)), Number(std::stol(rec))});
    ASSERT_FALSE(text.empty()) << lastError_;
    EXPECT_HOLDS(text, "Receipt " + rec + " for order " + order);
    EXPECT_HOLDS(text, "03/01/2026");
    for (const auto& row : tdb_.Rows("SELECT P.\"ProductCode\" FROM INVITEM M JOIN PRODUCT P ON "
                                     "P.\"Product\" = M.\"Product\" WHERE M.\"Type\" = 0 AND "
                                     "M.\"InvRec\" = " +
                                     rec))
        EXPECT_HOLDS(text, row[0]);
    const auto open = tdb_.Rows("SELECT COUNT(1) FROM INVORDIT WHERE \"QtyFilled\" < \"Quantity\" "
                                "AND \"Status\" NOT IN (4, 6) AND \"InvOrder\" = " +
                                order);
    if (open[0][0] == "0")
        EXPECT_HOLDS(text, "Everything ordered has been received.");
    else
        EXPECT_EQ(text.find("Everything ordered has been received."), std::string::npos);
}

TEST_F(ReportRenderTest, ProductOverviewSinceStartDate) {
    const auto rows = tdb_.Rows("SELECT PL.\"Product\", PL.\"InvLoc\", P.\"ProductCode\", "
                                "L.\"Name\" FROM PRDLOC PL JOIN PRODUCT P ON P.\"Product\" = "
                                "PL.\"Product\" JOIN INVLOC L ON L.\"InvLoc\" = PL.\"InvLoc\" "
                                "WHERE PL.\"Balance\" > 0 ORDER BY PL.\"Product\" LIMIT 1");
    ASSERT_EQ(rows.size(), 1u);
    const std::vector<Formula> base = {{"Product", rows[0][0]}, {"InvLoc", rows[0][1]}};
    // A start date: year, month and day, with or without every count.
    auto from = [&](const char* year, const char* month, const char* day, const char* counts) {
        std::vector<Formula> f = base;
        // clang-format off
        f.insert(f.end(), {{"UseStartDate", "1"}, {"StartYear", year}, {"StartMonth", month},
                           {"StartDay", day}, {"ShowAllInvCnt", counts}});
        // clang-format on
        return f;
    };
    const std::string text = Render("PrdOverview.rpt", from("2025", "7", "4", "1"));
    ASSERT_FALSE(text.empty()) << lastError_;
    EXPECT_HOLDS(text, "Product overview: " + rows[0][2]);
    EXPECT_HOLDS(text, "At " + rows[0][3] + " (" + rows[0][1] + ")");
    EXPECT_HOLDS(text, "Movements since 7/4/2025");

    // Without a start date: five formulas, every movement.
    std::vector<Formula> all = base;
    all.insert(all.end(), {{"UseStartDate", "0"}, {"ShowAllInvCnt", "0"}});
    const std::string allText = Render("PrdOverview.rpt", all);
    ASSERT_FALSE(allText.empty()) << lastError_;
    EXPECT_HOLDS(allText, "All movements");
    EXPECT_EQ(allText.find("Movements since"), std::string::npos);

    // A start date after every movement leaves the period empty.
    EXPECT_HOLDS(Render("PrdOverview.rpt", from("2099", "1", "1", "0")),
                 "Nothing moved in this period.");
}

// The expiry report lists what the expiry watch lists: its total is the lots' value, at
// one location or at all of them.
TEST_F(ReportRenderTest, ExpiryReportTotalsTheWatchedLots) {
    const WSIDate until{2026, 4, 14};
    const auto money = [](double v) {
        char digits[32];
        std::snprintf(digits, sizeof digits, "%.2f", v);
        std::string s = digits;
        for (int at = static_cast<int>(s.find('.')) - 3; at > 0; at -= 3)
            s.insert(static_cast<std::size_t>(at), ",");
        return s;
    };
    for (const std::string loc : {"STORE", ""}) {
        const auto lots = tavel::BIInvExpiry(&tdb_.db).Lots(until, loc);
        ASSERT_FALSE(lots.empty()) << loc;
        double total = 0;
        for (const auto& lot : lots)
            total += lot.value;
        const std::string text =
            Render("ExpiryWatch.rpt", {{"UntilYear", "2026"},
                                       {"UntilMonth", "4"},
                                       {"UntilDay", "14"},
                                       {"AllLocations", loc.empty() ? "1" : "0"},
                                       {"InvLoc", loc}});
        ASSERT_FALSE(text.empty()) << lastError_;
        EXPECT_HOLDS(text, "Total value");
        EXPECT_HOLDS(text, money(total));
        for (const auto& lot : lots)
            EXPECT_HOLDS(text, lot.productCode);
    }
}

TEST_F(ReportRenderTest, ProductReportByTypeAndByLocation) {
    const auto types = tdb_.Rows("SELECT DISTINCT \"PrdType\" FROM PRODUCT ORDER BY 1");
    ASSERT_GE(types.size(), 2u);
    const std::string type = types[0][0];
    auto product = [&](const char* reportType, const std::string& prdType, const std::string& loc,
                       const char* orderBy) {
        // clang-format off
        return Render("Product.rpt", {{"ReportType", reportType}, {"PrdType", prdType},
                                      {"InvLoc", loc}, {"OrderBy", orderBy}, {"ReportStyle", "0"}});
        // clang-format on
    };
    const std::string text = product("0", type, "", "0");
    ASSERT_FALSE(text.empty()) << lastError_;
    EXPECT_HOLDS(text, "Product catalogue");
    EXPECT_HOLDS(text, V("SELECT MIN(\"ProductCode\") FROM PRODUCT WHERE \"PrdType\" = " + type));
    // Products of another type are left out.
    EXPECT_EQ(
        text.find(V("SELECT MIN(\"ProductCode\") FROM PRODUCT WHERE \"PrdType\" = " + types[1][0]) +
                  " "),
        std::string::npos);

    const std::string loc =
        V("SELECT PL.\"InvLoc\" FROM PRDLOC PL JOIN INVLOC L ON L.\"InvLoc\" = PL.\"InvLoc\" "
          "GROUP BY PL.\"InvLoc\" ORDER BY COUNT(1) DESC LIMIT 1");
    const std::string atLoc = product("1", "-1", loc, "2");
    ASSERT_FALSE(atLoc.empty()) << lastError_;
    EXPECT_HOLDS(atLoc, "Products at " +
                            V("SELECT \"Name\" FROM INVLOC WHERE \"InvLoc\" = '" + loc + "'"));
    EXPECT_EQ(atLoc.find("Product catalogue"), std::string::npos);
    for (const auto& row : tdb_.Rows("SELECT P.\"ProductCode\" FROM PRDLOC PL JOIN PRODUCT P ON "
                                     "P.\"Product\" = PL.\"Product\" WHERE PL.\"InvLoc\" = '" +
                                     loc + "'"))
        EXPECT_HOLDS(atLoc, row[0]);
}

// The code lists hold every row; a product's locations list every location it has.
TEST_F(ReportRenderTest, ListsHoldEveryRow) {
    const std::string product = V("SELECT \"Product\" FROM PRDLOC GROUP BY \"Product\" ORDER BY "
                                  "COUNT(1) DESC, 1 LIMIT 1");
    const std::string prdLoc =
        "SELECT L.\"Name\" FROM PRDLOC PL JOIN INVLOC L ON L.\"InvLoc\" = "
        "PL.\"InvLoc\" WHERE PL.\"Product\" = " +
        product + " UNION SELECT \"ProductCode\" FROM PRODUCT WHERE \"Product\" = " + product;
    const std::tuple<const char*, std::vector<Formula>, std::string> lists[] = {
        {"PrdLoc.rpt", {{"Product", product}}, prdLoc},
        {"InvAdj.rpt", {}, "SELECT \"Description\" FROM INVADJ"},
        {"InvLoc.rpt", {}, "SELECT \"Name\" FROM INVLOC"},
        {"InvOType.rpt", {}, "SELECT \"Description\" FROM INVOTYPE"},
        {"PrdType.rpt", {}, "SELECT \"Description\" FROM PRDTYPE"},
        {"PrdUnit.rpt", {}, "SELECT \"Description\" FROM PRDUNIT"},
        {"Vendor.rpt", {}, "SELECT \"Name\" FROM VENDOR"},
    };
    for (const auto& [file, formulas, sql] : lists) {
        const std::string text = Render(file, formulas);
        ASSERT_FALSE(text.empty()) << file << ": " << lastError_;
        const auto rows = tdb_.Rows(sql);
        EXPECT_FALSE(rows.empty()) << file;
        for (const auto& row : rows)
            EXPECT_HOLDS(text, row[0]) << " in " << file;
    }
}

TEST_F(ReportRenderTest, RefusalsNameTheirCause) {
    // A value that is not a number where the query wants one never reaches the database.
    EXPECT_TRUE(Render("InvOrder.rpt", {{"InvOrder", "1 OR 1=1"}}).empty());
    EXPECT_NE(lastError_.find("1 OR 1=1"), std::string::npos) << lastError_;
    // An unknown formula fails only with formula errors on.
    EXPECT_TRUE(Render("PrdLoc.rpt", {{"Product", "1"}, {"Colour", "red"}}).empty());
    EXPECT_NE(lastError_.find("Colour"), std::string::npos) << lastError_;
    EXPECT_FALSE(Render("PrdLoc.rpt", {{"Product", "1"}, {"Colour", "red"}}, {}, false).empty())
        << lastError_;
    // A missing parameter.
    EXPECT_TRUE(Render("InvOrdRec.rpt", {}, {Number(1)}).empty());
    EXPECT_NE(lastError_.find('2'), std::string::npos) << lastError_;
    // A missing file names its path.
    EXPECT_TRUE(Render("NoSuch.rpt", {}).empty());
    EXPECT_NE(lastError_.find("NoSuch.rpt"), std::string::npos) << lastError_;
}

TEST_F(ReportRenderTest, FullPathAndEngineOutput) {
    // A definition outside the report folder (an order type's own layout) by its full path.
    const std::string path = Out("Own.rpt");
    {
        FILE* f = std::fopen(path.c_str(), "w");
        ASSERT_NE(f, nullptr);
        std::fputs("tavel-report 1\nformula InvOrder\nquery o\n  fields PO\n"
                   "  SELECT \"PONumber\" FROM INVORDER WHERE \"InvOrder\" = {InvOrder}\nend\n"
                   "text title \"Own layout {o.PO}\"\n",
                   f);
        std::fclose(f);
    }
    const std::string order = V("SELECT MIN(\"InvOrder\") FROM INVORDER WHERE \"PONumber\" != ''");
    engine_->SetPdfOutput(Out("engine.pdf"));
    std::string reported;
    engine_->SetErrorHandler([&](const std::string&, const std::string& t) { reported = t; });
    CCrystalReportObj report(engine_.get(), path.c_str(), "Own", 1, nullptr);
    ST_FORMULAS f;
    SetStringFormula(f, "InvOrder", order.c_str());
    report.SetFormulas(&f, 1);
    report.SetFormulaError(true);
    report.SetFullPath(true);
    ASSERT_TRUE(report.Print(false, true)) << reported;
    EXPECT_HOLDS(PdfText(Out("engine.pdf")),
                 "Own layout " +
                     V("SELECT \"PONumber\" FROM INVORDER WHERE \"InvOrder\" = " + order));

    // Without the full path the name is looked up in the report folder, where it is not.
    CCrystalReportObj missing(engine_.get(), path.c_str(), "Own", 1, nullptr);
    missing.SetFormulas(&f, 1);
    EXPECT_FALSE(missing.Print(false, true));
    EXPECT_FALSE(reported.empty());
}

TEST_F(ReportRenderTest, HostListToPdf) {
    ReportOutput out;
    out.pdfPath = Out("list.pdf");
    std::string error;
    ASSERT_TRUE(RenderList("Stock levels <today>", {"Code", "Name", "On hand"},
                           {{"GLV-01", "Gloves & masks", "12"}, {"SYR-03", "Syringes", "4"}}, out,
                           error))
        << error;
    const std::string text = PdfText(out.pdfPath);
    for (const char* v : {"Stock levels <today>", "On hand", "Gloves & masks", "SYR-03"})
        EXPECT_HOLDS(text, std::string(v));
    out.pdfPath = (dataDir_ / "no-such-folder" / "x.pdf").string();
    EXPECT_FALSE(RenderList("t", {"a"}, {}, out, error));
    EXPECT_NE(error.find("no-such-folder"), std::string::npos) << error;
}

TEST(ReportDefinitions, EveryShippedDefinitionParses) {
    // Each layout with the formulas its caller passes, by name: it must know every one.
    const std::pair<const char*, std::vector<const char*>> layouts[] = {
        {"InvOrder.rpt", {"InvOrder"}},
        {"InvPickList.rpt", {"PickListNum", "Title"}},
        {"InvRec.rpt", {"InvRec", "InvRecDate", "InvRecLoc", "VendorName"}},
        {"InvOrdRec.rpt", {"InvRecDate", "InvRecLoc", "VendorName"}},
        {"PrdOverview.rpt",
         {"Product", "InvLoc", "UseStartDate", "StartYear", "StartMonth", "StartDay",
          "ShowAllInvCnt"}},
        {"Product.rpt", {"ReportType", "PrdType", "InvLoc", "OrderBy", "ReportStyle"}},
        {"PrdLoc.rpt", {"Product"}},
        {"ExpiryWatch.rpt", {"UntilYear", "UntilMonth", "UntilDay", "AllLocations", "InvLoc"}},
        // clang-format off
        {"InvAdj.rpt", {}}, {"InvLoc.rpt", {}}, {"InvOType.rpt", {}}, {"PrdType.rpt", {}},
        {"PrdUnit.rpt", {}}, {"Vendor.rpt", {}}};
    // clang-format on
    const auto folder = std::filesystem::path(tavel::ResourceDir()) / "reports";
    for (const auto& [file, formulas] : layouts) {
        std::ifstream in(folder / file, std::ios::binary);
        ASSERT_TRUE(in) << file;
        const std::string text((std::istreambuf_iterator<char>(in)), {});
        const ParseResult r = ParseReportDefinition(text);
        ASSERT_TRUE(r.ok()) << FormatParseError(file, r.errors.front());
        EXPECT_EQ(r.definition.formulas.size(), formulas.size()) << file;
        for (const char* name : formulas)
            EXPECT_NE(r.definition.FindFormula(name), nullptr) << file << " " << name;
    }
}

} // namespace
