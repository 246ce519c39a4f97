// Importing catalogue lists on each engine: ids given in the file and the id counter,
// and a row the database itself refuses while the others are kept.

#include "StockFixture.h"

#include "BICsvImport.h"
#include "BoundedFormat.h"
#include "DBVendor.h"

#include <sstream>

namespace {

using tavel::csv::ImportOptions;
using tavel::csv::ImportReport;
using tavel::csv::ListKind;

constexpr unsigned kMsgNotWrittenSkipped = 40404;
constexpr unsigned kMsgNotWritten = 40315;

class CsvImportTest : public StockTest {
protected:
    ImportReport Import(ListKind kind, const std::string& text, ImportOptions options = {}) {
        std::istringstream in(text);
        return tavel::csv::ImportList(*db, kind, in, options);
    }

    static std::string VendorFile(const std::vector<std::pair<std::string, std::string>>& rows) {
        std::string text =
            "Vendor,Name,Address1,Address2,City,Province,PostalCode,Area,Phone,Fax,Notes,"
            "Inactive\n";
        for (const auto& [id, name] : rows)
            text += id + "," + name + ",,,,,,,,,,0\n";
        return text;
    }

    // A vendor stored the way the vendor screen stores one: its id from the counter.
    long NewVendor(const char* name) {
        DBVendor table(db.get());
        table.InitRecord();
        Put(table.data.Name, name);
        EXPECT_TRUE(table.InsertDB(__FILE__, __LINE__, dbiNOLOCK, true)) << db->LastError();
        return table.data.Vendor;
    }

    // Makes the database refuse every vendor of one name, as a server refuses a row its
    // own constraints or triggers do not accept.
    void RefuseVendorsNamed(const char* name) {
        char sql[1024];
        if (db->IsServer())
            TVL_FORMAT(sql,
                       "CREATE FUNCTION refuse_vendor() RETURNS trigger AS $$ BEGIN IF "
                       "NEW.\"Name\" = '%s' THEN RAISE EXCEPTION 'refused'; END IF; RETURN NEW; "
                       "END $$ LANGUAGE plpgsql; CREATE TRIGGER refuse_vendor BEFORE INSERT ON "
                       "VENDOR FOR EACH ROW EXECUTE FUNCTION refuse_vendor()",
                       name);
        else
            TVL_FORMAT(sql,
                       "CREATE TRIGGER refuse_vendor BEFORE INSERT ON VENDOR WHEN NEW.\"Name\" = "
                       "'%s' BEGIN SELECT RAISE(ABORT, 'refused'); END",
                       name);
        ASSERT_TRUE(Exec(sql));
    }

    std::vector<std::string> VendorNames() {
        std::vector<std::string> names;
        for (const auto& row : Rows(R"(SELECT "Name" FROM VENDOR ORDER BY "Vendor")"))
            names.push_back(row[0]);
        return names;
    }
};

TEST_F(CsvImportTest, IdsGivenInTheFileMoveTheIdCounterPastThem) {
    // The fixture's vendor took the counter's first id; the file takes the next ones.
    const ImportReport report = Import(
        ListKind::Vendors, VendorFile({{Id(vendor + 1), "North"}, {Id(vendor + 2), "South"}}));
    ASSERT_TRUE(report.written);
    ASSERT_EQ(report.imported, 2);
    const long added = NewVendor("East");
    EXPECT_GT(added, vendor + 2);
    EXPECT_EQ(VendorNames(), (std::vector<std::string>{"Acme Medical", "North", "South", "East"}));

    // A dry run with a higher id moves nothing that a later insert could collide with.
    const ImportReport dry = Import(ListKind::Vendors, VendorFile({{Id(added + 5), "West"}}),
                                    ImportOptions{true, false});
    EXPECT_FALSE(dry.written);
    EXPECT_TRUE(dry.writable);
    EXPECT_GT(NewVendor("Centre"), added);
    EXPECT_EQ(VendorNames().size(), 5u);
}

TEST_F(CsvImportTest, ARowTheDatabaseRefusesIsReportedAndTheOthersKeptOnlyWhenSkipping) {
    RefuseVendorsNamed("Refused");
    const std::string file = VendorFile({{"", "First"}, {"", "Refused"}, {"", "Last"}});

    const ImportReport whole = Import(ListKind::Vendors, file);
    EXPECT_FALSE(whole.written);
    EXPECT_FALSE(whole.writable);
    ASSERT_EQ(whole.problems.size(), 1u);
    EXPECT_EQ(whole.problems[0].line, 3);
    EXPECT_EQ(whole.problems[0].code, kMsgNotWritten);
    EXPECT_EQ(VendorNames(), std::vector<std::string>{"Acme Medical"});
    EXPECT_EQ(db->TransactionLevel(), 0);

    host.texts[40401] = "%ld of %ld, skipping";
    const ImportReport skipping = Import(ListKind::Vendors, file, ImportOptions{false, true});
    EXPECT_TRUE(skipping.written);
    EXPECT_EQ(skipping.rows, 3);
    EXPECT_EQ(skipping.imported, 2);
    ASSERT_EQ(skipping.problems.size(), 1u);
    EXPECT_EQ(skipping.problems[0].line, 3);
    EXPECT_EQ(skipping.problems[0].code, kMsgNotWrittenSkipped);
    EXPECT_EQ(tavel::csv::ReportSummary(skipping, ImportOptions{false, true}),
              "2 of 3, skipping");
    EXPECT_EQ(db->TransactionLevel(), 0);
    // The rows after the refused one were written in the same, still usable, unit of work.
    EXPECT_EQ(VendorNames(), (std::vector<std::string>{"Acme Medical", "First", "Last"}));
    NewVendor("Afterwards");
    EXPECT_EQ(VendorNames().size(), 4u);
}

} // namespace
