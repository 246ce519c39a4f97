#include "Dialect.h"

#include "Emit.h"
#include "Lexer.h"
#include "Parser.h"
#include "Rewrite.h"

#include <algorithm>
#include <cstdio>

namespace sqldialect {

TranslateError::TranslateError(std::string construct, std::size_t position)
    : std::runtime_error("cannot translate " + construct + " at " + std::to_string(position)),
      construct_(std::move(construct)), position_(position) {}

namespace {

struct Parsed {
    ast::Statement statement;
    std::vector<Conversion> conversions;
};

Parsed ParseAndRewrite(const Normalized& n, const SchemaHints& hints) {
    Parsed p;
    p.statement = detail::Parse(detail::TokenizeShape(n.shape, n.positions));
    detail::Rewrite(p.statement);
    p.conversions = detail::LiteralConversions(p.statement, hints);
    return p;
}

// Reads up to maxDigits digits (at least one); false when there are none.
bool ReadNumber(std::string_view s, std::size_t& i, int maxDigits, int& value) {
    int digits = 0;
    value = 0;
    while (i < s.size() && s[i] >= '0' && s[i] <= '9' && digits < maxDigits) {
        value = value * 10 + (s[i] - '0');
        ++i;
        ++digits;
    }
    return digits > 0;
}

bool ValidDate(int y, int m, int d) {
    static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (y < 1 || m < 1 || m > 12 || d < 1)
        return false;
    bool leap = (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
    return d <= kDays[m - 1] + (m == 2 && leap ? 1 : 0);
}

} // namespace

Translation Translate(const Normalized& statement, Target target, const SchemaHints& hints) {
    Parsed p = ParseAndRewrite(statement, hints);
    detail::EmitContext ctx;
    ctx.hints = &hints;
    ctx.literalCount = p.statement.literalCount;
    Translation t;
    t.sql = detail::MakeWriter(target, ctx)->Statement(p.statement);
    t.conversions = std::move(p.conversions);
    // A shape with more ? than the parser met cannot happen; keep one entry per literal.
    t.conversions.resize(std::max(t.conversions.size(), statement.literals.size()),
                         Conversion::AsIs);
    t.returnsRows = p.statement.type == ast::Statement::Type::Select;
    t.bindVariables = p.statement.bindVariables;
    return t;
}

std::string MdyToIso(std::string_view text) {
    std::size_t b = text.find_first_not_of(' ');
    std::size_t e = text.find_last_not_of(' ');
    if (b == std::string_view::npos)
        return {};
    std::string_view s = text.substr(b, e - b + 1);
    std::size_t i = 0;
    int y = 0, m = 0, d = 0;
    if (s.size() == 10 && s[4] == '-' && s[7] == '-') {
        if (!ReadNumber(s, i, 4, y) || i != 4 || !ReadNumber(s, ++i, 2, m) || i != 7 ||
            !ReadNumber(s, ++i, 2, d) || i != 10)
            return {};
    } else {
        if (!ReadNumber(s, i, 2, m) || i >= s.size() || s[i] != '/' || !ReadNumber(s, ++i, 2, d) ||
            i >= s.size() || s[i] != '/' || !ReadNumber(s, ++i, 4, y) || i != s.size())
            return {};
    }
    if (!ValidDate(y, m, d))
        return {};
    char buf[32];
    std::snprintf(buf, sizeof buf, "%04d-%02d-%02d", y, m, d);
    return buf;
}

std::string TranslateToText(std::string_view oracleSql, Target target, const SchemaHints& hints) {
    Normalized n = Normalize(oracleSql);
    Parsed p = ParseAndRewrite(n, hints);
    detail::EmitContext ctx;
    ctx.hints = &hints;
    ctx.literalCount = p.statement.literalCount;
    ctx.values = &n.literals;
    ctx.conversions = &p.conversions;
    return detail::MakeWriter(target, ctx)->Statement(p.statement);
}

} // namespace sqldialect
