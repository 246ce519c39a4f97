// Text from outside (invctl sql, a statement built from a long list) must not crash the
// translator or take it quadratic time: nesting is bounded and refused with its
// position, and long arithmetic chains translate term by term.

#include "Dialect.h"
#include "Parser.h"

#include <gtest/gtest.h>

#include <pthread.h>

#include <algorithm>
#include <functional>
#include <string>

using namespace sqldialect;

namespace {

std::string Sql(const std::string& oracle, Target target = Target::SQLite) {
    SchemaHints hints;
    hints.dateColumns = {"Date"};
    return Translate(Normalize(oracle), target, hints).sql;
}

std::string Repeat(const std::string& s, std::size_t n) {
    std::string out;
    out.reserve(s.size() * n);
    for (std::size_t i = 0; i < n; ++i)
        out += s;
    return out;
}

// The query and its WHERE take two levels; each parenthesis one more.
std::string Parenthesised(std::size_t depth) {
    return "SELECT 1 FROM DUAL WHERE " + Repeat("(", depth) + "1 = 1" + Repeat(")", depth);
}

TEST(TranslatorBounds, NestingUpToTheLimitTranslatesAndBeyondIsRefusedWhereItPassesIt) {
    const std::size_t atLimit = detail::kMaxNesting - 2;
    EXPECT_NE(Sql(Parenthesised(atLimit)).find("WHERE"), std::string::npos);

    for (std::size_t depth : {atLimit + 1, std::size_t{7500}, std::size_t{200000}}) {
        const std::string sql = Parenthesised(depth);
        try {
            Sql(sql);
            FAIL() << depth << " levels translated";
        } catch (const TranslateError& e) {
            EXPECT_NE(e.Construct().find("nesting deeper than 256"), std::string::npos)
                << e.Construct();
            // Reported inside the parentheses, at the level that went past the limit.
            const std::size_t open = sql.find('(');
            EXPECT_EQ(e.Position(), open + atLimit + 1) << depth;
        }
    }
}

// NOT and signs nest without parentheses.
TEST(TranslatorBounds, ChainsOfNotAndSignsAreBoundedToo) {
    for (const char* unary : {"NOT ", "- "}) {
        const std::string sql = "SELECT 1 FROM DUAL WHERE " + Repeat(unary, 100000) + "1 = 1";
        EXPECT_THROW(Sql(sql), TranslateError) << unary;
    }
}

TEST(TranslatorBounds, LongArithmeticChainsTranslateWholeOnBothEngines) {
    const std::size_t terms = 20000;
    const std::string sql = "SELECT 1" + Repeat(" + 1", terms - 1) + " FROM DUAL";
    for (Target target : {Target::SQLite, Target::PostgreSQL}) {
        const std::string out = Sql(sql, target);
        EXPECT_EQ(static_cast<std::size_t>(std::count(out.begin(), out.end(), '+')), terms - 1);
    }
    // A date plus many day counts stays date arithmetic at every step: the answer for
    // each link of the chain is remembered, not forgotten or mixed up with another.
    const std::string dates = "SELECT \"Date\"" + Repeat(" + 1", 5000) + " FROM T";
    const std::string sqlite = Sql(dates);
    std::size_t steps = 0;
    for (std::size_t at = 0; (at = sqlite.find("date(", at)) != std::string::npos; ++at)
        ++steps;
    EXPECT_EQ(steps, 5000u) << sqlite.substr(0, 200);
}

std::size_t Count(const std::string& text, const std::string& what) {
    std::size_t n = 0;
    for (std::size_t at = 0; (at = text.find(what, at)) != std::string::npos; at += what.size())
        ++n;
    return n;
}

// Runs f on a thread with a 512 KB stack: a translation that recursed once per term of a
// 20,000-term chain would overflow it, with or without sanitizers.
void OnSmallStack(const std::function<void()>& f) {
    pthread_attr_t attr;
    pthread_attr_init(&attr);
    pthread_attr_setstacksize(&attr, 512 * 1024);
    pthread_t thread;
    auto run = [](void* arg) -> void* {
        (*static_cast<const std::function<void()>*>(arg))();
        return nullptr;
    };
    ASSERT_EQ(pthread_create(&thread, &attr, run, const_cast<std::function<void()>*>(&f)), 0);
    pthread_join(thread, nullptr);
    pthread_attr_destroy(&attr);
}

// Each operator, the conditions of a WHERE, an outer join beside them, an UPDATE target's
// alias and a ROWNUM-limited aggregate pass through the parser, the rewrite and both
// writers as long chains.
TEST(TranslatorBounds, ChainsOfEveryOperatorTranslateTermByTermOnASmallStack) {
    const std::size_t n = 20000;
    const std::string ands = "SELECT 1 FROM T WHERE a = 1" + Repeat(" AND a = 1", n - 1);
    const std::string outer =
        "SELECT 1 FROM A, B WHERE A.id = B.id(+)" + Repeat(" AND A.x = 1", n - 1);
    const std::string ors = "SELECT 1 FROM T WHERE a = 1" + Repeat(" OR a = 1", n - 1);
    const std::string divisions = "SELECT a" + Repeat(" / 2", n - 1) + " FROM T";
    const std::string concat = "SELECT a" + Repeat(" || a", n - 1) + " FROM T";
    const std::string dates = "SELECT \"Date\"" + Repeat(" + 1", n - 1) + " FROM T";
    const std::string update = "UPDATE T t SET a = t.b" + Repeat(" * t.b", n - 1) +
                               " WHERE t.c = 1" + Repeat(" AND t.c = 1", n - 1);
    const std::string limited =
        "SELECT SUM(a)" + Repeat(" - 1", n - 1) + " FROM T WHERE ROWNUM <= 5";
    std::string out[2][8];
    std::string error;
    OnSmallStack([&] {
        try {
            for (int t = 0; t < 2; ++t) {
                const Target target = t ? Target::PostgreSQL : Target::SQLite;
                int i = 0;
                for (const std::string* sql :
                     {&ands, &outer, &ors, &divisions, &concat, &dates, &update, &limited})
                    out[t][i++] = Sql(*sql, target);
            }
        } catch (const std::exception& e) {
            error = e.what();
        }
    });
    ASSERT_EQ(error, "");
    for (int t = 0; t < 2; ++t) {
        EXPECT_EQ(Count(out[t][0], " AND "), n - 1) << t;
        EXPECT_EQ(Count(out[t][1], " LEFT JOIN "), 1u) << t;
        EXPECT_EQ(Count(out[t][1], " AND "), n - 2) << t;
        EXPECT_EQ(Count(out[t][2], " OR "), n - 1) << t;
        EXPECT_EQ(Count(out[t][3], " / "), n - 1) << t;
        EXPECT_EQ(Count(out[t][3], "CAST("), n - 1) << t;
        // PostgreSQL: concat(a, a, ...) inside NULLIF(..., '').
        EXPECT_EQ(Count(out[t][4], t ? ", " : " || "), t ? n : n - 1) << t;
        EXPECT_EQ(Count(out[t][6], "t."), 0u) << t;
        EXPECT_EQ(Count(out[t][6], " * "), n - 1) << t;
        EXPECT_EQ(Count(out[t][7], " - "), n - 1) << t;
        EXPECT_EQ(Count(out[t][7], "LIMIT 5"), 1u) << t;
    }
    EXPECT_EQ(Count(out[0][5], "date("), n - 1);
    EXPECT_EQ(Count(out[1][5], " + "), n - 1);
}

} // namespace
