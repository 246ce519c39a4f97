#include "DatabaseFixture.h"
#include "Emit.h"

#include <stdexcept>

namespace {

TEST_F(DatabaseTest, InnerEndLeavesOuterTransactionOpen) {
    auto other = Connect();
    ASSERT_TRUE(db_->TransactionBegin());
    ASSERT_TRUE(db_->TransactionBegin());
    PutLoc(1, "MAIN", 5);
    ASSERT_TRUE(db_->TransactionEnd());
    EXPECT_EQ(db_->TransactionLevel(), 1);
    EXPECT_EQ(Count("1 = 1", other.get()), 0) << "inner end must not commit";
    ASSERT_TRUE(db_->TransactionEnd());
    EXPECT_EQ(Count("1 = 1", other.get()), 1);
    EXPECT_FALSE(db_->HoldsWriteLock());
}

TEST_F(DatabaseTest, AbortUndoesEverythingSinceOutermostBegin) {
    ASSERT_TRUE(db_->TransactionBegin());
    PutLoc(1, "MAIN", 5);
    ASSERT_TRUE(db_->TransactionBegin());
    PutLoc(2, "MAIN", 5);
    EXPECT_TRUE(db_->TransactionAbort());
    // The abort closed every level: the outer level's own abort finds nothing open.
    EXPECT_EQ(db_->TransactionLevel(), 0);
    EXPECT_FALSE(db_->TransactionAbort());
    EXPECT_EQ(Count("1 = 1"), 0);
    // The connection is usable afterwards and unbalanced calls are refused.
    EXPECT_FALSE(db_->TransactionEnd());
    PutLoc(3, "MAIN", 5);
    EXPECT_EQ(Count("1 = 1"), 1);
}

TEST_F(DatabaseTest, InnerLevelLeftOpenByAFailedOperationDoesNotOutliveTheAbort) {
    // An operation begins its own level and throws without ending it; its caller aborts
    // once. The next unit of work must again be a real transaction that commits.
    auto other = Connect();
    ASSERT_TRUE(db_->TransactionBegin());
    ASSERT_TRUE(db_->TransactionBegin());
    PutLoc(1, "MAIN", 5);
    db_->TransactionAbort();
    ASSERT_EQ(db_->TransactionLevel(), 0);
    ASSERT_TRUE(db_->TransactionBegin());
    PutLoc(2, "MAIN", 5);
    ASSERT_TRUE(db_->TransactionEnd());
    EXPECT_FALSE(db_->HoldsWriteLock());
    EXPECT_EQ(Count("1 = 1", other.get()), 1);
}

TEST_F(DatabaseTest, GuardAbortsUnlessCommitted) {
    try {
        TransactionGuard outer(db_.get());
        PutLoc(1, "MAIN", 5);
        {
            TransactionGuard inner(db_.get());
            PutLoc(2, "MAIN", 5);
            EXPECT_TRUE(inner.Commit());
        }
        EXPECT_EQ(db_->TransactionLevel(), 1);
        throw std::runtime_error("refused");
    } catch (const std::runtime_error&) {
    }
    EXPECT_EQ(db_->TransactionLevel(), 0);
    EXPECT_EQ(Count("1 = 1"), 0);
    {
        TransactionGuard g(db_.get());
        ASSERT_TRUE(g.Began());
        PutLoc(3, "MAIN", 5);
        EXPECT_TRUE(g.Commit());
        EXPECT_FALSE(g.Abort()) << "a finished guard does nothing more";
    }
    EXPECT_EQ(Count("1 = 1"), 1);
}

TEST_F(DatabaseTest, RecordLockRefusesOtherConnectionUntilUpdateOrOutermostEndCommits) {
    PutLoc(7, "MAIN", 5);
    auto other = Connect();
    TstLoc mine(db_.get()), theirs(other.get());
    mine.data.Product = theirs.data.Product = 7;
    std::strcpy(mine.data.InvLoc, "MAIN");
    std::strcpy(theirs.data.InvLoc, "MAIN");

    ASSERT_TRUE(mine.GetEqual(__FILE__, __LINE__, dbiWRITELOCK));
    EXPECT_FALSE(theirs.GetEqual(__FILE__, __LINE__, dbiWRITELOCK));
    // A plain read is not blocked.
    EXPECT_TRUE(theirs.GetEqual(__FILE__, __LINE__, dbiNOLOCK));

    mine.data.Balance = 9;
    ASSERT_TRUE(mine.UpdateDB(__FILE__, __LINE__));
    EXPECT_FALSE(mine.HoldsLock());
    ASSERT_TRUE(theirs.GetEqual(__FILE__, __LINE__, dbiWRITELOCK));
    EXPECT_EQ(theirs.data.Balance, 9);
    theirs.ReleaseLock();
    EXPECT_FALSE(other->HoldsWriteLock());
    EXPECT_TRUE(mine.GetEqual(__FILE__, __LINE__, dbiWRITELOCK));
    mine.ReleaseLock();

    // Inside a transaction the lock is held until the outermost end, not the update.
    ASSERT_TRUE(db_->TransactionBegin());
    ASSERT_TRUE(mine.GetEqual(__FILE__, __LINE__, dbiWRITELOCK));
    ASSERT_TRUE(mine.UpdateDB(__FILE__, __LINE__));
    EXPECT_FALSE(theirs.GetEqual(__FILE__, __LINE__, dbiWRITELOCK));
    ASSERT_TRUE(db_->TransactionEnd());
    EXPECT_TRUE(theirs.GetEqual(__FILE__, __LINE__, dbiWRITELOCK));
}

TEST_F(DatabaseTest, RefusedWriteLeavesNothing) {
    PutLoc(7, "MAIN", 5);
    auto other = Connect();
    other->SetBusyTimeout(100);
    TstLoc mine(db_.get());
    mine.data.Product = 7;
    std::strcpy(mine.data.InvLoc, "MAIN");
    ASSERT_TRUE(mine.GetEqual(__FILE__, __LINE__, dbiWRITELOCK));

    EXPECT_FALSE(other->TransactionBegin());
    TstLoc theirs(other.get());
    theirs.data.Product = 8;
    std::strcpy(theirs.data.InvLoc, "MAIN");
    EXPECT_FALSE(theirs.InsertDB(__FILE__, __LINE__));
    other->TransactionAbort();

    mine.ReleaseLock();
    EXPECT_EQ(Count("\"Product\" = 8"), 0);
    EXPECT_NE(ErrorLog().find("BEGIN IMMEDIATE"), std::string::npos);
}

TEST_F(DatabaseTest, SameShapeWithOtherValuesHitsStatementCache) {
    PutLoc(1, "MAIN", 2.5);
    PutLoc(2, "EAST", 4);
    struct Case {
        long product;
        const char* loc;
        double balance;
    } cases[] = {{1, "MAIN", 2.5}, {2, "EAST", 4}, {3, "MAIN", 0}};
    auto before = db_->GetCacheStats();
    for (const Case& c : cases) {
        double balance = -1;
        auto q = db_->Query(__FILE__, __LINE__,
                            "SELECT \"Balance\" FROM TSTLOC WHERE \"Product\" = %ld AND "
                            "\"InvLoc\" = '%s'",
                            &balance, c.product, c.loc);
        EXPECT_EQ(q->GetFirst(), c.balance != 0) << c.product;
        EXPECT_EQ(balance, c.balance != 0 ? c.balance : -1) << c.product;
    }
    auto after = db_->GetCacheStats();
    EXPECT_EQ(after.misses - before.misses, 1u);
    EXPECT_EQ(after.hits - before.hits, 2u);
}

TEST_F(DatabaseTest, CacheStaysWithinCapacityAndOpenCursorSurvivesEviction) {
    PutLoc(1, "MAIN", 1);
    PutLoc(2, "MAIN", 2);
    db_->SetCacheCapacity(2);
    TstLoc r(db_.get());
    auto open = db_->Query(__FILE__, __LINE__, "SELECT %s FROM TSTLOC ORDER BY \"Product\"", r,
                           db_->GetTableColumns(__LINE__, __FILE__, "TSTLOC"));
    ASSERT_TRUE(open->GetFirst());
    const char* others[] = {"SELECT COUNT(1) FROM TSTLOC", "SELECT MAX(\"Balance\") FROM TSTLOC",
                            "SELECT MIN(\"Balance\") FROM TSTLOC"};
    for (const char* sql : others) {
        double v = 0;
        EXPECT_TRUE(db_->Query(__FILE__, __LINE__, "%s", &v, sql)->GetFirst()) << sql;
    }
    EXPECT_EQ(db_->GetCacheStats().entries, 2u);
    ASSERT_TRUE(open->GetNext()) << "the evicted statement stays usable while its cursor lives";
    EXPECT_EQ(r.data.Product, 2);
    open.reset();
    auto misses = db_->GetCacheStats().misses;
    double v = 0;
    EXPECT_TRUE(db_->Query(__FILE__, __LINE__, "%s", &v, others[0])->GetFirst());
    EXPECT_EQ(db_->GetCacheStats().misses, misses + 1) << "least recently used shape was dropped";
}

TEST_F(DatabaseTest, QuotedAndHostileTextStaysAValue) {
    TstLoc r(db_.get());
    r.data.Product = 1;
    std::strcpy(r.data.InvLoc, "MAIN");
    std::strcpy(r.data.Bin, "O'Brien");
    ASSERT_TRUE(r.InsertDB(__FILE__, __LINE__));

    const char* texts[] = {"O''Brien", "x'' OR ''1''=''1", "x''); DROP TABLE TSTLOC; --"};
    long expected[] = {1, 0, 0};
    for (std::size_t i = 0; i < std::size(texts); ++i) {
        long n = -1;
        auto q = db_->Query(__FILE__, __LINE__, "SELECT COUNT(1) FROM TSTLOC WHERE \"Bin\" = '%s'",
                            &n, texts[i]);
        EXPECT_TRUE(q->GetFirst()) << texts[i];
        EXPECT_EQ(n, expected[i]) << texts[i];
    }
    EXPECT_EQ(Count("1 = 1"), 1);
}

TEST_F(DatabaseTest, MonthDayYearTextNextToRegisteredDateColumnIsADate) {
    PutLoc(1, "MAIN", 1);
    ASSERT_EQ(WSITable::QExecDirect(__FILE__, __LINE__, db_.get(),
                                    "UPDATE TSTLOC SET \"LastCountDate\" = '1/5/2027' WHERE "
                                    "\"Product\" = 1"),
              0);
    TstLoc r(db_.get());
    r.data.Product = 1;
    std::strcpy(r.data.InvLoc, "MAIN");
    ASSERT_TRUE(r.GetEqual(__FILE__, __LINE__));
    EXPECT_EQ(r.data.LastCountDate, (WSIDate{2027, 1, 5}));

    // A view's date columns count once the view is registered.
    ASSERT_TRUE(db_->ExecNative(__FILE__, __LINE__,
                                "CREATE VIEW TSTVIEW AS SELECT \"Product\" AS PRODUCTID, "
                                "\"LastCountDate\" AS COUNTDATE FROM TSTLOC"));
    struct ViewRow {
        long PRODUCTID;
        WSIDate COUNTDATE;
    };
    static const ColumnDesc cols[] = {TVL_COL(ViewRow, PRODUCTID, Id, 0, false),
                                      TVL_COL(ViewRow, COUNTDATE, Date, 0, false)};
    static const TableDesc view{"TSTVIEW", cols, 2, sizeof(ViewRow)};
    auto countEarlier = [&] {
        long n = -1;
        EXPECT_TRUE(db_->Query(__FILE__, __LINE__,
                               "SELECT COUNT(1) FROM TSTVIEW WHERE COUNTDATE < '%d/%d/%d'", &n, 2,
                               1, 2027)
                        ->GetFirst());
        return n;
    };
    // SQLite compares an unknown column with text as text; a server column has a type of
    // its own. Registration lasts for the process.
    if (!FindTableDesc("TSTVIEW") && !schema_) {
        EXPECT_EQ(countEarlier(), 0) << "compared as text while the column is not known as a date";
    }
    RegisterView(view);
    EXPECT_EQ(countEarlier(), 1);
    const char* conditions[] = {"\"LastCountDate\" < '02/01/2027'",
                                "\"LastCountDate\" = '01/05/2027'"};
    for (const char* where : conditions)
        EXPECT_EQ(Count(where), 1) << where;
}

TEST_F(DatabaseTest, GetTableColumnsListsDescriptorColumns) {
    EXPECT_STREQ(db_->GetTableColumns(__LINE__, __FILE__, "TSTITEM", nullptr),
                 "\"Item\", \"Name\", \"Audit\"");
    EXPECT_STREQ(db_->GetTableColumns(__LINE__, __FILE__, "TSTITEM", "II"),
                 "II.\"Item\", II.\"Name\", II.\"Audit\"");
    EXPECT_STREQ(db_->GetTableColumns(__LINE__, __FILE__, "NOSUCH", "A"), "");
    EXPECT_NE(ErrorLog().find("NOSUCH"), std::string::npos);
}

TEST_F(DatabaseTest, AuditEntryCarriesSignedInUserAndClockDate) {
    db_->SetCurrentUser(42);
    db_->SetToday(WSIDate{2027, 1, 15});
    TstItem item(db_.get());
    long first = item.AddAuditEntry(1, nullptr);
    db_->SetToday(WSIDate{2027, 2, 1});
    long second = item.AddAuditEntry(1, nullptr);
    ASSERT_GT(first, 0);
    EXPECT_NE(second, first);

    struct Row {
        long User;
        WSIDate Date;
    } row{};
    static const ColumnDesc cols[] = {TVL_COL(Row, User, Int, 0, false),
                                      TVL_COL(Row, Date, Date, 0, false)};
    static const TableDesc desc{nullptr, cols, 2, sizeof(Row)};
    auto q = db_->Query(__FILE__, __LINE__,
                        "SELECT \"User\", \"Date\" FROM AUDITHIS WHERE \"Audit\" = %ld",
                        WSIResult(desc, &row), first);
    ASSERT_TRUE(q->GetFirst());
    EXPECT_EQ(row.User, 42);
    EXPECT_EQ(row.Date, (WSIDate{2027, 1, 15}));
    WSIDate today;
    db_->GetCurrentDate(today);
    EXPECT_EQ(today, (WSIDate{2027, 2, 1}));
}

TEST_F(DatabaseTest, FailedStatementIsLoggedWithFileAndLineAndReportedNotThrown) {
    int line = __LINE__ + 1;
    int rc = WSITable::QExecDirect("BIInvAdj.cpp", line, db_.get(), "UPDATE NOSUCH SET \"A\" = 1");
    EXPECT_NE(rc, 0);
    std::string log = ErrorLog();
    EXPECT_NE(log.find("BIInvAdj.cpp"), std::string::npos);
    EXPECT_NE(log.find("Line: " + std::to_string(line)), std::string::npos);
    EXPECT_NE(log.find("NOSUCH"), std::string::npos);

    long n = 5;
    auto q = db_->Query(__FILE__, __LINE__, "SELECT COUNT(1) FROM NOSUCH", &n);
    EXPECT_FALSE(q->GetFirst());
    EXPECT_EQ(n, 5);
}

TEST_F(DatabaseTest, BindVariablesBindValuesInOrder) {
    PutLoc(1, "MAIN", 1);
    PutLoc(2, "MAIN", 1);
    PutLoc(2, "EAST", 1);
    WSIBVParametersInfo bv;
    bv.AddParameter(7.5);
    bv.AddParameter(2L);
    long rows = 0;
    ASSERT_EQ(WSITable::QExecBVDirect(__FILE__, __LINE__, bv.Count(), bv, db_.get(),
                                      "UPDATE TSTLOC SET \"Balance\" = :1 WHERE \"Product\" = :2",
                                      &rows),
              0);
    EXPECT_EQ(rows, 2);

    WSIBVParametersInfo q;
    q.AddParameter("EAST");
    double balance = 0;
    auto c = db_->QueryBV(__FILE__, __LINE__,
                          "SELECT \"Balance\" FROM TSTLOC WHERE \"InvLoc\" = :1", &balance, q);
    ASSERT_TRUE(c->GetFirst());
    EXPECT_EQ(balance, 7.5);
    EXPECT_FALSE(c->GetNext());
}

} // namespace

// TRUNC(SYSDATE) is the connection's clock on either engine, also after a transaction
// that set it was rolled back.
TEST_F(DatabaseTest, TodayInSqlFollowsTheConnectionsClock) {
    if (schema_) {
        ASSERT_TRUE(db_->ExecNative(__FILE__, __LINE__, sqldialect::detail::kPostgresSupport));
    }
    auto isToday = [&](const char* mdy) {
        long n = -1;
        EXPECT_TRUE(db_->Query(__FILE__, __LINE__,
                               "SELECT COUNT(1) FROM DUAL WHERE TRUNC(SYSDATE) = '%s'", &n, mdy)
                        ->GetFirst());
        return n == 1;
    };
    db_->SetToday(WSIDate{2026, 3, 15});
    EXPECT_TRUE(isToday("3/15/2026"));
    ASSERT_TRUE(db_->TransactionBegin());
    db_->SetToday(WSIDate{2027, 1, 2});
    EXPECT_TRUE(isToday("1/2/2027"));
    ASSERT_TRUE(db_->TransactionAbort());
    EXPECT_TRUE(isToday("1/2/2027"));
    EXPECT_FALSE(isToday("3/15/2026"));
}

// The write-ahead log is copied back into the file by the writer during a run of commits
// and by the connection's own thread after a commit on its own; nothing is lost either way.
TEST_F(DatabaseTest, WriteAheadLogIsCopiedBackInARunAndOnTheConnectionsOwnThread) {
    if (schema_)
        GTEST_SKIP() << "a server keeps its own log";
    // A run: each commit appends at least a page, well past the length that asks for a copy.
    long rows = 0;
    for (; rows < 1500; ++rows)
        PutLoc(rows + 1, "RUN", 1);
    // One transaction long enough for a copy, then a commit on its own.
    ASSERT_TRUE(db_->TransactionBegin());
    for (long i = 0; i < 100000; ++i, ++rows)
        PutLoc(rows + 1, "BULK", 1);
    ASSERT_TRUE(db_->TransactionEnd());
    usleep(20 * 1000);
    PutLoc(++rows, "ALONE", 1);
    for (int wait = 0; wait < 200 && db_->BackgroundCheckpoints() == 0; ++wait)
        usleep(50 * 1000);
    EXPECT_GE(db_->BackgroundCheckpoints(), 1);
    auto other = Connect();
    EXPECT_EQ(Count("1 = 1", other.get()), rows);
    other.reset();
    db_ = Connect();
    EXPECT_EQ(Count("1 = 1"), rows);
    EXPECT_EQ(Count("\"InvLoc\" = 'ALONE'"), 1);
}
