// What a process killed in the middle of drawing a sequence number leaves behind must not
// lock the clinic out: the next open rolls the counters' journal back, and a counters
// file that is only busy is not reported as damaged.

#include "Schema.h"
#include "SchemaTestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

using schematest::QueryRows;
using schematest::TempDatabase;

namespace {

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteFile(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

class CrashRecovery : public ::testing::Test {
protected:
    void SetUp() override {
        std::string problem;
        ASSERT_TRUE(tavel::CreateSchema(t.db, &problem)) << problem;
        counters = t.Path() + ".sequences";
        ASSERT_EQ(sqlite3_open_v2(counters.c_str(), &raw, SQLITE_OPEN_READWRITE, nullptr),
                  SQLITE_OK);
    }
    void TearDown() override { sqlite3_close(raw); }

    std::string Counter(sqlite3* db) {
        auto rows =
            QueryRows(db, std::string("SELECT value FROM \"TVL_SEQUENCES\" WHERE name = '") +
                              tavel::kBatchIdSequence + "'");
        return rows.empty() ? "<none>" : rows[0][0];
    }

    // Leaves the counters file as a kill between writing the new value and deleting the
    // journal does: the file holds the new value, a hot journal the old one.
    void CrashDuringCommit() {
        const std::string journal = counters + "-journal";
        // Unsynced journals are played back by size, as after a real crash mid-commit.
        ASSERT_EQ(sqlite3_exec(raw,
                               "PRAGMA synchronous=OFF; BEGIN IMMEDIATE; "
                               "UPDATE \"TVL_SEQUENCES\" SET value = value + 1",
                               nullptr, nullptr, nullptr),
                  SQLITE_OK);
        const std::string saved = ReadFile(journal);
        ASSERT_FALSE(saved.empty());
        ASSERT_EQ(sqlite3_exec(raw, "COMMIT", nullptr, nullptr, nullptr), SQLITE_OK);
        WriteFile(journal, saved);
    }

    TempDatabase t;
    std::string counters;
    sqlite3* raw = nullptr;
};

TEST_F(CrashRecovery, JournalOfTheCountersIsRolledBackWhenTheDatabaseOpens) {
    const std::string before = Counter(raw);
    t.db.Close();
    CrashDuringCommit();
    sqlite3_close(raw);
    raw = nullptr;
    ASSERT_TRUE(std::filesystem::exists(counters + "-journal"));

    // A reader that may not write cannot roll the journal back: the state the check met.
    sqlite3* reader = nullptr;
    sqlite3_open_v2(counters.c_str(), &reader, SQLITE_OPEN_READONLY, nullptr);
    std::string error;
    QueryRows(reader, "SELECT value FROM \"TVL_SEQUENCES\"", &error);
    sqlite3_close(reader);
    ASSERT_FALSE(error.empty()) << "the planted journal is not hot";

    WSIDatabase db(t.Path());
    ASSERT_TRUE(db.IsOpen());
    tavel::SchemaCheck check = tavel::CheckSchema(db);
    EXPECT_TRUE(check.ok) << check.problem;
    EXPECT_FALSE(check.unreadable);
    EXPECT_FALSE(std::filesystem::exists(counters + "-journal"));
    // The number whose commit was cut off is handed out again: nobody received it.
    ASSERT_EQ(sqlite3_open_v2(counters.c_str(), &raw, SQLITE_OPEN_READONLY, nullptr), SQLITE_OK);
    EXPECT_EQ(Counter(raw), before);
}

TEST_F(CrashRecovery, CountersHeldByAnotherProgramCannotBeReadNowButAreNotMissing) {
    ASSERT_EQ(sqlite3_exec(raw, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr), SQLITE_OK);
    t.db.SetBusyTimeout(20);
    tavel::SchemaCheck check = tavel::CheckSchema(t.db);
    EXPECT_FALSE(check.ok);
    EXPECT_TRUE(check.unreadable);
    EXPECT_NE(check.problem.find("cannot be read now"), std::string::npos) << check.problem;
    EXPECT_EQ(check.problem.find("missing"), std::string::npos) << check.problem;

    sqlite3_exec(raw, "ROLLBACK", nullptr, nullptr, nullptr);
    check = tavel::CheckSchema(t.db);
    EXPECT_TRUE(check.ok) << check.problem;
}

} // namespace
