#include "DatabaseFixture.h"

#include <cstring>
#include <string>
#include <vector>

namespace {

using RecordTest = DatabaseTest;

TEST_F(RecordTest, InsertThenGetEqualReadsEveryColumnBack) {
    TstLoc w(db_.get());
    w.data.Product = 12;
    std::strcpy(w.data.InvLoc, "MAIN");
    std::strcpy(w.data.Bin, "A-1");
    w.data.Stocked = 1;
    w.data.Balance = 3.25;
    w.data.LastCountDate = WSIDate{2026, 12, 31};
    ASSERT_TRUE(w.InsertDB(__FILE__, __LINE__));

    TstLoc r(db_.get());
    r.data.Product = 12;
    std::strcpy(r.data.InvLoc, "MAIN  "); // code keys compare without trailing blanks
    ASSERT_TRUE(r.GetEqual(__FILE__, __LINE__));
    EXPECT_TRUE(r.IsRecord());
    EXPECT_STREQ(r.data.Bin, "A-1");
    EXPECT_EQ(r.data.Stocked, 1);
    EXPECT_EQ(r.data.Balance, 3.25);
    EXPECT_EQ(r.data.LastCountDate, (WSIDate{2026, 12, 31}));
}

TEST_F(RecordTest, MissingRowGivesFalseAndKeepsTheKey) {
    PutLoc(1, "MAIN", 1);
    TstLoc r(db_.get());
    r.data.Product = 1;
    std::strcpy(r.data.InvLoc, "EAST");
    EXPECT_FALSE(r.GetEqual(__FILE__, __LINE__, dbiWRITELOCK));
    EXPECT_FALSE(r.IsRecord());
    EXPECT_STREQ(r.data.InvLoc, "EAST");
    EXPECT_FALSE(db_->HoldsWriteLock()) << "no lock kept for a missing row";
    EXPECT_FALSE(r.UpdateDB(__FILE__, __LINE__));
    EXPECT_FALSE(r.DeleteDB(__FILE__, __LINE__));
}

TEST_F(RecordTest, DuplicateKeyIsRefusedAndOriginalKept) {
    PutLoc(1, "MAIN", 1);
    TstLoc dup(db_.get());
    dup.data.Product = 1;
    std::strcpy(dup.data.InvLoc, "MAIN");
    dup.data.Balance = 99;
    EXPECT_FALSE(dup.InsertDB(__FILE__, __LINE__));
    EXPECT_EQ(Count("\"Balance\" = 1"), 1);
}

TEST_F(RecordTest, EmptyTextAndNullDateAreStoredAsNullAndReadAsEmpty) {
    PutLoc(1, "", 1); // an empty code key stays a value
    EXPECT_EQ(Count("\"Bin\" IS NULL AND \"LastCountDate\" IS NULL"), 1);
    EXPECT_EQ(Count("\"InvLoc\" = ' '"), 1);

    TstLoc r(db_.get());
    r.data.Product = 1;
    std::strcpy(r.data.Bin, "stale");
    r.data.LastCountDate = WSIDate{2020, 1, 1};
    ASSERT_TRUE(r.GetEqual(__FILE__, __LINE__));
    EXPECT_STREQ(r.data.Bin, "");
    EXPECT_TRUE(r.data.LastCountDate.IsNull());

    double sum = -1;
    long count = -1;
    ASSERT_TRUE(db_->Query(__FILE__, __LINE__,
                           "SELECT SUM(\"Balance\") FROM TSTLOC WHERE "
                           "\"Product\" = 99",
                           &sum)
                    ->GetFirst());
    ASSERT_TRUE(db_->Query(__FILE__, __LINE__,
                           "SELECT MAX(\"Stocked\") FROM TSTLOC WHERE "
                           "\"Product\" = 99",
                           &count)
                    ->GetFirst());
    EXPECT_EQ(sum, 0);
    EXPECT_EQ(count, 0);
}

TEST_F(RecordTest, SingleIdKeyIsAssignedByDatabaseUnlessGiven) {
    TstItem a(db_.get()), b(db_.get()), c(db_.get());
    std::strcpy(a.data.Name, "a");
    ASSERT_TRUE(a.InsertDB(__FILE__, __LINE__));
    ASSERT_TRUE(b.InsertDB(__FILE__, __LINE__));
    EXPECT_GT(a.data.Item, 0);
    EXPECT_EQ(b.data.Item, a.data.Item + 1);
    c.data.Item = 500;
    ASSERT_TRUE(c.InsertDB(__FILE__, __LINE__));
    EXPECT_EQ(c.data.Item, 500);

    TstItem r(db_.get());
    r.data.Item = a.data.Item;
    ASSERT_TRUE(r.GetEqual(__FILE__, __LINE__));
    EXPECT_STREQ(r.data.Name, "a");
}

TEST_F(RecordTest, TextLongerThanBufferIsCutToItsWidth) {
    struct Case {
        long id;
        const char* expected;
    };
    // Twenty characters, the last one two bytes: the record's 20-byte field has no room
    // for it. A server's varchar column refuses text longer than its width, so the
    // over-long row is stored on SQLite only.
    std::string rows = "(2, '1234567890123456789\xC3\xA9', 0), (3, 'ab\xC3\xA9', 0)";
    std::vector<Case> cases{{2, "1234567890123456789"}};
    if (!schema_) {
        rows += ", (1, 'abcdefghijklmnopqrstuvwxyz', 0)";
        cases.push_back({1, "abcdefghijklmnopqrst"});
    }
    ASSERT_TRUE(
        db_->ExecNative(__FILE__, __LINE__, ("INSERT INTO TSTITEM VALUES " + rows).c_str()));
    for (const Case& c : cases) {
        TstItem r(db_.get());
        r.data.Item = c.id;
        ASSERT_TRUE(r.GetEqual(__FILE__, __LINE__));
        EXPECT_STREQ(r.data.Name, c.expected) << "a UTF-8 character is never cut in two";
    }
    // A short buffer given to a query: cut to its size, again before a character that
    // does not fit whole.
    const Case shortCases[] = {{2, "123"}, {3, "ab"}};
    for (const Case& c : shortCases) {
        char code[4];
        ASSERT_TRUE(db_->Query(__FILE__, __LINE__,
                               "SELECT \"Name\" FROM TSTITEM WHERE \"Item\" = %ld", code, c.id)
                        ->GetFirst());
        EXPECT_STREQ(code, c.expected);
    }
}

TEST_F(RecordTest, RecordCursorFillsRecordRowByRow) {
    PutLoc(2, "MAIN", 2);
    PutLoc(1, "MAIN", 1);
    PutLoc(3, "EAST", 3);
    TstLoc r(db_.get());
    auto q = db_->Query(__FILE__, __LINE__,
                        "SELECT %s FROM TSTLOC WHERE \"InvLoc\" = '%s' ORDER BY \"Product\"", r,
                        db_->GetTableColumns(__LINE__, __FILE__, "TSTLOC"), "MAIN");
    std::vector<long> seen;
    for (bool ok = q->GetFirst(); ok; ok = q->GetNext())
        seen.push_back(r.data.Product);
    EXPECT_EQ(seen, (std::vector<long>{1, 2}));
    EXPECT_TRUE(r.IsRecord());
    EXPECT_EQ(r.data.Balance, 2);
    EXPECT_FALSE(q->GetNext()) << "an exhausted cursor does not start over";
    ASSERT_TRUE(q->GetFirst());
    EXPECT_EQ(r.data.Product, 1);
}

TEST_F(RecordTest, AQueryThatCannotRunSaysSoUnlikeAnEmptyOne) {
    PutLoc(1, "MAIN", 1);
    long product = 0;
    struct Case {
        const char* sql;
        bool failed;
    };
    for (const Case& c : {Case{"SELECT \"Product\" FROM TSTLOC WHERE \"InvLoc\" = 'EAST'", false},
                          Case{"SELECT \"Product\" FROM NO_SUCH_TABLE", true},
                          Case{"SELECT \"Product\" FROM TSTLOC WHERE", true}}) {
        SCOPED_TRACE(c.sql);
        auto q = db_->Query(__FILE__, __LINE__, "%s", &product, c.sql);
        EXPECT_FALSE(q->GetFirst());
        EXPECT_EQ(q->Failed(), c.failed);
    }
    auto q = db_->Query(__FILE__, __LINE__, "%s", &product, "SELECT \"Product\" FROM TSTLOC");
    EXPECT_TRUE(q->GetFirst());
    EXPECT_FALSE(q->GetNext());
    EXPECT_FALSE(q->Failed()) << "the end of the rows is no failure";
}

TEST_F(RecordTest, RowsLockedAndUpdatedWhileCursorWalksTable) {
    for (long p = 1; p <= 3; ++p)
        PutLoc(p, "MAIN", 1);
    auto other = Connect();
    TstLoc walk(db_.get()), row(db_.get());
    auto q = db_->Query(__FILE__, __LINE__, "SELECT %s FROM TSTLOC ORDER BY \"Product\"", walk,
                        db_->GetTableColumns(__LINE__, __FILE__, "TSTLOC"));
    int updated = 0;
    for (bool ok = q->GetFirst(); ok; ok = q->GetNext()) {
        row = walk;
        ASSERT_TRUE(row.GetEqual(__FILE__, __LINE__, dbiWRITELOCK)) << walk.data.Product;
        row.data.Balance = 10;
        ASSERT_TRUE(row.UpdateDB(__FILE__, __LINE__)) << walk.data.Product;
        ++updated;
    }
    EXPECT_EQ(updated, 3);
    EXPECT_EQ(Count("\"Balance\" = 10", other.get()), 3) << "each update is committed";
}

TEST_F(RecordTest, CopyKeepsItsOwnBufferAndDeleteRemovesRow) {
    TstLoc a = PutLoc(4, "MAIN", 1);
    TstLoc b(a);
    b.data.Balance = 8;
    EXPECT_EQ(a.data.Balance, 1);
    ASSERT_TRUE(b.UpdateDB(__FILE__, __LINE__));
    TstLoc c(db_.get());
    c = b;
    c.data.Balance = 0;
    EXPECT_EQ(b.data.Balance, 8);
    ASSERT_TRUE(a.GetEqual(__FILE__, __LINE__));
    EXPECT_EQ(a.data.Balance, 8);

    auto snapshot = a.GetBackupDataStruct();
    a.InitRecord();
    EXPECT_FALSE(a.IsRecord());
    EXPECT_EQ(a.data.Product, 0);
    a.RestoreDataStruct(snapshot);
    ASSERT_TRUE(a.DeleteDB(__FILE__, __LINE__));
    EXPECT_EQ(Count("1 = 1"), 0);
}

TEST_F(RecordTest, FieldAccessByColumnName) {
    TstLoc r = PutLoc(31, "MAIN", 2.5);
    r.data.LastCountDate = WSIDate{2027, 3, 4};
    char text[16];
    struct Case {
        const char* column;
        const char* text;
        long value;
        int length;
    } cases[] = {{"Product", "31", 31, static_cast<int>(sizeof(long))},
                 {"InvLoc", "MAIN", 0, 6},
                 {"Balance", "2.5", 2, static_cast<int>(sizeof(double))},
                 {"LastCountDate", "03/04/2027", 0, static_cast<int>(sizeof(WSIDate))}};
    for (const Case& c : cases) {
        ASSERT_TRUE(r.GetFieldText(c.column, text, sizeof text)) << c.column;
        EXPECT_STREQ(text, c.text) << c.column;
        EXPECT_EQ(r.GetFieldLong(c.column), c.value) << c.column;
        EXPECT_EQ(r.GetFieldLength(c.column), c.length) << c.column;
    }
    EXPECT_FALSE(r.GetFieldText("Nope", text, sizeof text));
    EXPECT_EQ(r.GetFieldLength("Nope"), 0);
}

} // namespace
