// Every statement the module writes must translate, placeholders filled, into complete
// SQLite text with none of Oracle's own syntax left. Whether SQLite runs
// it against the module's tables is checked where the real schema is (the schema tests).

#include "CorpusFill.h"
#include "Lexer.h"
#include "TestDb.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <algorithm>
#include <cctype>
#include <string>
#include <vector>

using namespace sqldialect;

namespace {

// Upper case outside quoted identifiers and strings, which are left out: the Oracle-only
// words below must not survive as syntax, but a column may well be called "Rownum".
std::string SyntaxOnly(const std::string& sql) {
    std::string out;
    char quote = 0;
    for (char c : sql) {
        if (quote) {
            if (c == quote)
                quote = 0;
        } else if (c == '"' || c == '\'') {
            quote = c;
            out += ' ';
        } else {
            out += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        }
    }
    return out;
}

// What the translation of a statement leaves that only Oracle understands; empty when
// nothing.
std::string OracleLeftOver(const std::string& sql) {
    const std::string syntax = SyntaxOnly(sql);
    for (const char* word : {"(+)", "ROWNUM", ".NEXTVAL", "DECODE", "SYSDATE", " DUAL"})
        if (syntax.find(word) != std::string::npos)
            return word;
    return {};
}

TEST(Corpus, EveryStatementTranslates) {
    const std::vector<std::string> lines = corpus::Lines(TAVEL_TEST_DATA_DIR);
    ASSERT_GT(lines.size(), 150u);
    sqltest::TestDb db; // for the date columns it tells the translator about
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::string sql = corpus::Fill(lines[i]);
        SCOPED_TRACE("line " + std::to_string(i + 1) + ": " + sql);
        ASSERT_EQ(sql.find('%'), std::string::npos);
        try {
            const Normalized n = Normalize(sql);
            const Translation t = Translate(n, Target::SQLite, db.hints);
            EXPECT_EQ(t.conversions.size(), n.literals.size());
            EXPECT_EQ(OracleLeftOver(t.sql), "") << t.sql;
            EXPECT_TRUE(sqlite3_complete((t.sql + ";").c_str())) << t.sql;
        } catch (const TranslateError& e) {
            ADD_FAILURE() << e.what();
        }
    }
}

// The corpus says the same about any values: a statement filled with other values has
// the same shape and so runs the same translation.
TEST(Corpus, OtherValuesGiveTheSameShape) {
    const std::vector<std::string> lines = corpus::Lines(TAVEL_TEST_DATA_DIR);
    ASSERT_FALSE(lines.empty());
    auto otherValues = [](std::string s) {
        for (std::size_t p; (p = s.find("42")) != std::string::npos;)
            s.replace(p, 2, "7031");
        for (std::size_t p; (p = s.find("'MAIN'")) != std::string::npos;)
            s.replace(p, 6, "'EAST WING'");
        return s;
    };
    std::size_t withValues = 0;
    for (const std::string& line : lines) {
        const std::string a = corpus::Fill(line);
        const std::string b = otherValues(a);
        const Normalized na = Normalize(a), nb = Normalize(b);
        EXPECT_EQ(na.shape, nb.shape) << a;
        EXPECT_EQ(na.literals.size(), nb.literals.size()) << a;
        withValues += a != b;
    }
    EXPECT_GT(withValues, lines.size() / 2);
}

// The database service normalises every statement into the same buffers. Whatever the
// statements before it left there (more values, longer texts), the result must be the one
// a fresh Normalize gives.
TEST(Corpus, ReusedBuffersGiveTheFreshResult) {
    std::vector<std::string> statements;
    for (const std::string& line : corpus::Lines(TAVEL_TEST_DATA_DIR))
        statements.push_back(corpus::Fill(line));
    ASSERT_FALSE(statements.empty());
    // Both ways round, so that each statement follows others with more and with fewer
    // values.
    std::vector<std::string> order = statements;
    order.insert(order.end(), statements.rbegin(), statements.rend());
    Normalized reused;
    for (const std::string& sql : order) {
        const Normalized fresh = Normalize(sql);
        NormalizeInto(sql, reused, false);
        EXPECT_EQ(reused.shape, fresh.shape);
        EXPECT_TRUE(reused.positions.empty());
        ASSERT_EQ(reused.literals.size(), fresh.literals.size()) << sql;
        for (std::size_t i = 0; i < fresh.literals.size(); ++i) {
            const Literal &a = reused.literals[i], &b = fresh.literals[i];
            EXPECT_TRUE(a.kind == b.kind && a.integer == b.integer && a.real == b.real &&
                        a.text == b.text)
                << sql << " value " << i + 1;
        }
        NormalizeInto(sql, reused, true);
        EXPECT_EQ(reused.positions, fresh.positions) << sql;
    }
}

} // namespace
