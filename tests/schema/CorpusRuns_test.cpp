// Every statement the module writes, placeholders filled, runs through the database
// service on the real schema with the demo data: queries are fetched, writes run inside
// a transaction that is rolled back, and the service's error log stays empty.

#include "CorpusFill.h"
#include "DemoData.h"
#include "Schema.h"
#include "SchemaTestSupport.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

using schematest::TempDatabase;

namespace {

class CorpusRuns : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        if (const char* old = std::getenv("TAVEL_DATA_DIR"))
            oldDataDir_ = old;
        t_ = std::make_unique<TempDatabase>();
        // The error log goes next to the database, where this suite alone writes.
        dataDir_ = std::filesystem::path(t_->Path()).parent_path().string();
        setenv("TAVEL_DATA_DIR", dataDir_.c_str(), 1);
        std::string problem;
        created_ = tavel::CreateSchema(t_->db, &problem) && tavel::LoadDemoData(t_->db, &problem);
        problem_ = problem;
    }
    static void TearDownTestSuite() {
        t_.reset();
        if (oldDataDir_.empty())
            unsetenv("TAVEL_DATA_DIR");
        else
            setenv("TAVEL_DATA_DIR", oldDataDir_.c_str(), 1);
    }
    void SetUp() override { ASSERT_TRUE(created_) << problem_; }

    static std::string ErrorLog() {
        std::ifstream in(std::filesystem::path(dataDir_) / WSIDatabase::kErrorLog);
        std::ostringstream text;
        text << in.rdbuf();
        return text.str();
    }

    static bool IsQuery(const std::string& sql) {
        std::size_t b = sql.find_first_not_of(" (");
        return b != std::string::npos &&
               (sql.compare(b, 6, "SELECT") == 0 || sql.compare(b, 6, "select") == 0);
    }

    // Runs one statement the way the module does; returns what the service logged (empty
    // when it ran).
    std::string Run(const std::string& sql) {
        WSIDatabase& db = t_->db;
        const std::size_t logged = ErrorLog().size();
        std::string failure;
        if (IsQuery(sql)) {
            std::unique_ptr<WSITable> cursor = db.Query(__FILE__, __LINE__, "%s", {}, sql.c_str());
            cursor->GetFirst();
        } else {
            db.TransactionBegin();
            if (int rc = WSITable::QExecDirect(__FILE__, __LINE__, &db, sql.c_str()); rc != 0)
                failure = "result " + std::to_string(rc) + "; ";
            db.TransactionAbort();
        }
        const std::string log = ErrorLog();
        if (log.size() > logged)
            failure += log.substr(logged);
        return failure;
    }

    static inline std::unique_ptr<TempDatabase> t_;
    static inline std::string dataDir_, oldDataDir_, problem_;
    static inline bool created_ = false;
};

TEST_F(CorpusRuns, EveryStatementRunsOnTheDemoDatabase) {
    const std::vector<std::string> lines = corpus::Lines(TAVEL_TEST_DATA_DIR);
    ASSERT_GT(lines.size(), 150u);
    std::size_t queries = 0;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::string sql = corpus::Fill(lines[i]);
        queries += IsQuery(sql);
        EXPECT_EQ(Run(sql), "") << "line " << i + 1 << ": " << sql;
    }
    // Both kinds were run, so the split above is not vacuous.
    EXPECT_GT(queries, 20u);
    EXPECT_GT(lines.size() - queries, 10u);
    // The writes were rolled back: the demo is as it was.
    EXPECT_EQ(t_->Number("SELECT COUNT(1) FROM INVPRODMAP WHERE \"Product\" = 42 AND "
                         "\"Sundry\" = 'MAIN'"),
              0);
}

// The base statements with the conditions the screens append.
TEST_F(CorpusRuns, StatementsWithScreenConditionsRun) {
    const std::vector<std::string> lines = corpus::Lines(TAVEL_TEST_DATA_DIR);
    auto find = [&](const char* start) {
        for (const auto& l : lines)
            if (l.compare(0, std::strlen(start), start) == 0)
                return l;
        return std::string();
    };
    const std::string orders = find("SELECT ORD.\"InvOrder\"");
    const std::string received = find("SELECT %s, (CASE WHEN  II.\"Type\"");
    const std::string levels = find("SELECT PL.\"Product\", CAST(' ' AS CHAR(6))");
    ASSERT_FALSE(orders.empty());
    ASSERT_FALSE(received.empty());
    ASSERT_FALSE(levels.empty());

    auto replaceFirst = [](std::string s, const std::string& from, const std::string& to) {
        std::size_t p = s.find(from);
        return p == std::string::npos ? s : s.replace(p, from.size(), to);
    };
    const std::string pendingConditions =
        " AND P.\"PrdType\" = 3 AND P.\"PrdCat\" = 'SYR' AND ORD.\"IsExternal\" = 0  AND "
        "ORD.\"InvLocFrom\" = 'MAIN'  AND DECODE(PL.\"TrackUsage\", 1, PL.\"Balance\", "
        "PL.\"LastCount\") > 0  AND ORD.\"Date\"  >= '01/15/2027' AND ORD.\"Date\"  <= "
        "'02/15/2027' AND ORD.\"Status\" IN (0,1,2,3,5,8,9) AND ORD.\"Inactive\" = 0";
    const std::string receivedConditions =
        " AND  CASE WHEN II.\"Type\" = 0 THEN IR.\"Date\" ELSE A.\"Date\" END >= '01/15/2027' "
        "AND II.\"InvLoc\" = 'MAIN' AND IR.\"Vendor\" = 4 AND II.\"Type\" = 0";
    const std::string productSearch =
        "SELECT P.*, PL.\"InvLoc\", PL.\"Stocked\", PL.\"TrackUsage\",  PL.\"CanOrderFrom\", "
        "PL2.\"StdToOrder\", PL.\"Inactive\" \"PLInactive\",  PL.\"Balance\", PL.\"LastCount\", "
        "PC.\"Description\" \"PrdCatDesc\",  PT.\"Description\" \"PrdTypeDesc\", V.\"Name\" "
        "\"VendorName\", M.\"Product\" \"Mapped\"  FROM PRODUCT P, PRDCAT PC, PRDTYPE PT, PRDLOC "
        "PL, PRDLOC PL2, VENDOR V, INVPRODMAP M  WHERE P.\"PrdType\" = 2 AND P.\"PrdType\" = "
        "PC.\"PrdType\" AND P.\"PrdCat\" = PC.\"PrdCat\" AND P.\"PrdType\" = PT.\"PrdType\"  AND "
        "P.\"Product\" = PL.\"Product\" (+) AND PL.\"Product\" (+) = -1 AND P.\"Vendor\" = "
        "V.\"Vendor\" (+) AND P.\"Product\" = PL2.\"Product\" (+) AND PL2.\"Product\" (+) = -1 "
        "AND P.\"Inactive\" = 0  AND P.\"Product\" = M.\"Product\" (+) AND M.\"Inactive\"(+) = 0 "
        " AND (UPPER(PC.\"PrdCat\") LIKE UPPER ('SY%') OR UPPER(PC.\"Description\") LIKE UPPER "
        "('SY%')  OR UPPER(PC.\"Description\") LIKE UPPER ('% SY%'))  ORDER BY P.\"PrdCat\", "
        "P.\"ProductCode\"";
    const std::vector<std::string> statements = {
        replaceFirst(orders, "%s", pendingConditions),
        replaceFirst(corpus::Fill(replaceFirst(received, "%%s", "@")), "@", receivedConditions),
        replaceFirst(replaceFirst(levels, "%s", " and pl2.\"Inactive\" = 0"), "%s",
                     " AND P.\"PrdType\" = 3"),
        productSearch,
        "SELECT * FROM VENDOR  WHERE UPPER(\"Address1\") LIKE UPPER ('12%') OR UPPER(\"City\") "
        "LIKE UPPER ('12%')  ORDER BY \"Address1\", \"City\""};
    for (const auto& sql : statements) {
        ASSERT_EQ(sql.find("%s"), std::string::npos) << sql;
        EXPECT_EQ(Run(sql), "") << sql;
    }
}

TEST_F(CorpusRuns, AFaultyStatementIsReported) {
    // The error signal the suite relies on: a statement SQLite refuses leaves a line.
    EXPECT_NE(Run("SELECT \"NoSuchColumn\" FROM PRODUCT"), "");
    EXPECT_NE(Run("UPDATE PRODUCT SET \"NoSuchColumn\" = 1"), "");
}

} // namespace
