// Sequence numbers are handed out outside the caller's transaction, as Oracle's are.

#include "SqliteFunctions.h"
#include "TestDb.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <filesystem>
#include <set>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

using sqltest::TestDb;

namespace {

const char* const kNext = "SELECT INVITDET_BatchId_SEQ.nextval FROM DUAL";

class FileSequences : public ::testing::Test {
protected:
    void SetUp() override {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        path = (std::filesystem::temp_directory_path() /
                ("tavel-seq-" + std::to_string(::getpid()) + "-" + info->name() + ".db"))
                   .string();
        Remove();
    }
    void TearDown() override { Remove(); }
    void Remove() {
        for (const char* suffix : {"", "-journal", ".sequences", ".sequences-journal"})
            std::filesystem::remove(path + suffix);
    }

    std::string path;
};

// Counters kept beside a database file and those of an in-memory database alike.
TEST_F(FileSequences, RolledBackNumberIsNotHandedOutAgain) {
    for (const std::string& file : {path, std::string(":memory:")}) {
        SCOPED_TRACE(file);
        TestDb db(file);
        ASSERT_EQ(CreateSequence(db.Handle(), "INVITDET_BatchId_SEQ"), SQLITE_OK);
        db.Native("CREATE TABLE X (a)");
        db.Native("BEGIN IMMEDIATE");
        db.Native("INSERT INTO X VALUES (1)");
        EXPECT_EQ(db.Scalar(kNext), "1");
        db.Native("ROLLBACK");
        EXPECT_EQ(db.Scalar("SELECT COUNT(1) FROM X"), "0");
        EXPECT_EQ(db.Scalar(kNext), "2");
    }
}

TEST_F(FileSequences, WorksWhileAnotherConnectionHoldsTheWriteLock) {
    TestDb a(path);
    ASSERT_EQ(CreateSequence(a.Handle(), "INVITDET_BatchId_SEQ"), SQLITE_OK);
    a.Native("CREATE TABLE X (a)");
    TestDb b(path);
    a.Native("BEGIN IMMEDIATE");
    a.Native("INSERT INTO X VALUES (1)");
    EXPECT_EQ(a.Scalar(kNext), "1");
    EXPECT_EQ(b.Scalar(kNext), "2");
    EXPECT_EQ(a.Scalar(kNext), "3");
    a.Native("COMMIT");
}

TEST_F(FileSequences, CountersSurviveReopenAndRecreate) {
    {
        TestDb db(path);
        ASSERT_EQ(CreateSequence(db.Handle(), "INVORDIT_PickList_SEQ"), SQLITE_OK);
        EXPECT_EQ(db.Scalar("SELECT INVORDIT_PickList_SEQ.nextval FROM DUAL"), "1");
    }
    TestDb db(path);
    ASSERT_EQ(CreateSequence(db.Handle(), "invordit_picklist_seq"), SQLITE_OK);
    EXPECT_EQ(db.Scalar("SELECT INVORDIT_PickList_SEQ.nextval FROM DUAL"), "2");
    EXPECT_THROW(db.Scalar(kNext), std::runtime_error); // never created
}

TEST_F(FileSequences, TwoProcessesGetDistinctNumbers) {
    {
        TestDb setup(path);
        ASSERT_EQ(CreateSequence(setup.Handle(), "INVITDET_BatchId_SEQ"), SQLITE_OK);
    }
    constexpr int kEach = 40;
    int fds[2];
    ASSERT_EQ(::pipe(fds), 0);
    pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        ::close(fds[0]);
        int status = 0;
        try {
            TestDb db(path);
            for (int i = 0; i < kEach; ++i) {
                long long v = std::stoll(db.Scalar(kNext));
                if (::write(fds[1], &v, sizeof v) != static_cast<ssize_t>(sizeof v))
                    status = 2;
            }
        } catch (...) {
            status = 1;
        }
        ::close(fds[1]);
        ::_exit(status);
    }
    ::close(fds[1]);
    std::set<long long> seen;
    {
        TestDb db(path);
        for (int i = 0; i < kEach; ++i)
            seen.insert(std::stoll(db.Scalar(kNext)));
    }
    long long v;
    int fromChild = 0;
    while (::read(fds[0], &v, sizeof v) == static_cast<ssize_t>(sizeof v)) {
        seen.insert(v);
        ++fromChild;
    }
    ::close(fds[0]);
    int status = -1;
    ::waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_EQ(fromChild, kEach);
    EXPECT_EQ(seen.size(), 2u * kEach);
    EXPECT_EQ(*seen.rbegin(), 2 * kEach);
}

TEST(MemorySequences, NeedTheFunctionsRegisteredFirst) {
    sqlite3* raw = nullptr;
    ASSERT_EQ(sqlite3_open(":memory:", &raw), SQLITE_OK);
    EXPECT_EQ(CreateSequence(raw, "S"), SQLITE_MISUSE);
    ASSERT_EQ(RegisterOracleFunctions(raw, nullptr), SQLITE_OK);
    EXPECT_EQ(CreateSequence(raw, "S"), SQLITE_OK);
    sqlite3_close(raw);
}

} // namespace
