// Text from outside (invctl sql, a statement built from a long list) must not crash the
// translator or take it quadratic time: nesting is bounded and refused with its
// position, and long arithmetic chains translate term by term.

#include "Dialect.h"
#include "Parser.h"

#include <gtest/gtest.h>

#include <algorithm>
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

} // namespace
