// Results in the forms that work alike on both engines: the bytes of a blob column and a
// statement's whole result as text.

#include "DatabaseFixture.h"

namespace {

// A blob beside a code key, in each engine's own type.
void CreateBlobTable(WSIDatabase& db, bool server) {
    ASSERT_TRUE(db.ExecNative(__FILE__, __LINE__,
                              server ? "CREATE TABLE TSTBLOB (\"Code\" char(6) PRIMARY KEY, "
                                       "\"Layout\" bytea)"
                                     : "CREATE TABLE TSTBLOB (\"Code\" TEXT PRIMARY KEY, "
                                       "\"Layout\" BLOB)"));
}

bool PutBlob(WSIDatabase& db, const char* code, const std::string& bytes) {
    WSIBVParametersInfo bv;
    bv.AddParameter(code);
    bv.AddBytes(bytes);
    return WSITable::QExecBVDirect(__FILE__, __LINE__, bv.Count(), bv, &db,
                                   "INSERT INTO TSTBLOB (\"Code\", \"Layout\") VALUES (:1, :2)") ==
           0;
}

// Starts out holding something, so that a look-up that finds nothing must clear it.
bool GetBlob(WSIDatabase& db, const char* code, std::string& bytes) {
    bytes = "stale";
    WSIBVParametersInfo bv;
    bv.AddParameter(code);
    return db.QueryBytes(__FILE__, __LINE__, "SELECT \"Layout\" FROM TSTBLOB WHERE \"Code\" = :1",
                         bv, bytes);
}

std::string EveryByte() {
    std::string all;
    for (int b = 255; b >= 0; --b)
        all.push_back(static_cast<char>(b));
    return all;
}

TEST_F(DatabaseTest, BlobBytesComeBackAsWritten) {
    CreateBlobTable(*db_, schema_ != nullptr);
    const struct {
        const char* code;
        std::string bytes;
    } cases[] = {
        {"ZERO", std::string("LAYOUT\0A\xff\x80", 10)},
        {"ALL", EveryByte()},
        // Looks like bytea's own escaped forms: must not be decoded a second time.
        {"HEX", "\\x4142"},
        {"OCT", "\\101\\\\"},
    };
    for (const auto& c : cases)
        ASSERT_TRUE(PutBlob(*db_, c.code, c.bytes)) << c.code;
    for (const auto& c : cases) {
        std::string got;
        EXPECT_TRUE(GetBlob(*db_, c.code, got)) << c.code;
        EXPECT_EQ(got, c.bytes) << c.code;
    }

    // Replaced in place through an update with the bytes as a bind variable.
    WSIBVParametersInfo bv;
    bv.AddBytes(std::string("\0\x01", 2));
    bv.AddParameter("ZERO");
    ASSERT_EQ(WSITable::QExecBVDirect(__FILE__, __LINE__, bv.Count(), bv, db_.get(),
                                      "UPDATE TSTBLOB SET \"Layout\" = :1 WHERE \"Code\" = :2"),
              0);
    std::string got;
    EXPECT_TRUE(GetBlob(*db_, "ZERO", got));
    EXPECT_EQ(got, std::string("\0\x01", 2));
}

TEST_F(DatabaseTest, MissingRowNullAndFailureGiveNoBytes) {
    CreateBlobTable(*db_, schema_ != nullptr);
    ASSERT_TRUE(PutBlob(*db_, "EMPTY", "")); // no bytes store NULL
    ASSERT_EQ(WSITable::QExecDirect(__FILE__, __LINE__, db_.get(),
                                    "INSERT INTO TSTBLOB (\"Code\") VALUES ('NULL')"),
              0);
    std::string got;
    for (const char* code : {"EMPTY", "NULL", "NONE"}) {
        EXPECT_FALSE(GetBlob(*db_, code, got)) << code;
        EXPECT_EQ(got, "") << code;
    }
    got = "stale";
    EXPECT_FALSE(db_->QueryBytes(__FILE__, __LINE__, "SELECT \"Layout\" FROM NOSUCHBLOB", {}, got));
    EXPECT_EQ(got, "");
    EXPECT_NE(ErrorLog().find("NOSUCHBLOB"), std::string::npos);
}

TEST_F(DatabaseTest, TextResultReadsAlikeOnBothEngines) {
    TstLoc a = PutLoc(2, "MAIN", 4);
    a.data.LastCountDate = WSIDate{2026, 3, 5};
    std::snprintf(a.data.Bin, sizeof a.data.Bin, "A\tB");
    ASSERT_TRUE(a.UpdateDB(__FILE__, __LINE__));
    PutLoc(3, "EAST", 7.25);

    WSIDatabase::TextResult r;
    std::string error;
    ASSERT_TRUE(db_->QueryText(__FILE__, __LINE__,
                               "SELECT \"Product\", \"InvLoc\" AS \"Where\", \"Bin\", \"Balance\", "
                               "\"LastCountDate\" FROM TSTLOC ORDER BY \"Product\"",
                               {}, r, &error))
        << error;
    EXPECT_EQ(r.columns,
              (std::vector<std::string>{"Product", "Where", "Bin", "Balance", "LastCountDate"}));
    // Codes unpadded, whole amounts with their decimal point, NULL as "".
    EXPECT_EQ(r.rows, (std::vector<std::vector<std::string>>{
                          {"2", "MAIN", "A\tB", "4.0", "2026-03-05"},
                          {"3", "EAST", "", "7.25", ""},
                      }));
    EXPECT_EQ(r.changed, 0);

    // An average and a quotient are reals on both engines; an unquoted name is upper case.
    WSIBVParametersInfo bv;
    bv.AddParameter(1L);
    ASSERT_TRUE(db_->QueryText(__FILE__, __LINE__,
                               "SELECT AVG(\"Product\") AS \"A\", COUNT(1) AS n, "
                               "SUM(\"Balance\") / 3 AS \"Third\" FROM TSTLOC "
                               "WHERE \"Product\" > :1",
                               bv, r, &error))
        << error;
    EXPECT_EQ(r.columns, (std::vector<std::string>{"A", "N", "Third"}));
    EXPECT_EQ(r.rows, (std::vector<std::vector<std::string>>{{"2.5", "2", "3.75"}}));
    // 15 significant digits, as SQLite writes a real.
    ASSERT_TRUE(db_->QueryText(__FILE__, __LINE__,
                               "SELECT SUM(\"Balance\") / 7 AS \"Seventh\" FROM TSTLOC", {}, r,
                               &error))
        << error;
    EXPECT_EQ(r.rows, (std::vector<std::vector<std::string>>{{"1.60714285714286"}}));

    ASSERT_TRUE(db_->QueryText(__FILE__, __LINE__, "SELECT \"Product\" FROM TSTLOC WHERE 1 = 0", {},
                               r, &error));
    EXPECT_EQ(r.columns, std::vector<std::string>{"Product"});
    EXPECT_TRUE(r.rows.empty());
}

TEST_F(DatabaseTest, TextResultOfAWriteCountsItsRowsAndFailuresSayWhere) {
    PutLoc(2, "MAIN", 4);
    PutLoc(2, "EAST", 4);
    PutLoc(3, "EAST", 4);
    WSIDatabase::TextResult r;
    std::string error;
    ASSERT_TRUE(db_->QueryText(__FILE__, __LINE__,
                               "UPDATE TSTLOC SET \"Stocked\" = 1 WHERE \"Product\" = 2", {}, r,
                               &error))
        << error;
    EXPECT_TRUE(r.columns.empty());
    EXPECT_TRUE(r.rows.empty());
    EXPECT_EQ(r.changed, 2);
    EXPECT_EQ(Count("\"Stocked\" = 1"), 2);

    // Refused before it runs: the message names what is unknown.
    EXPECT_FALSE(
        db_->QueryText(__FILE__, __LINE__, "SELECT \"A\" FROM NOSUCHTABLE", {}, r, &error));
    EXPECT_FALSE(r.ran);
    EXPECT_NE(error.find(schema_ ? "nosuchtable" : "NOSUCHTABLE"), std::string::npos) << error;

    // Refused while it runs: a duplicate key; nothing is written.
    error.clear();
    EXPECT_FALSE(db_->QueryText(__FILE__, __LINE__,
                                "INSERT INTO TSTLOC (\"Product\", \"InvLoc\") VALUES (3, 'EAST')",
                                {}, r, &error));
    EXPECT_TRUE(r.ran);
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(Count("\"Product\" = 3"), 1);
}

} // namespace
