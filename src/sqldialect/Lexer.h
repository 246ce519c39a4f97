#pragma once

// Tokens of the Oracle dialect. One scanner serves both steps: Normalize scans the
// caller's text once and writes the shape; Translate scans the shape again into tokens.

#include "Dialect.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace sqldialect::detail {

enum class TokKind : unsigned char {
    Ident,     // unquoted identifier or keyword; text upper-cased
    QIdent,    // "quoted identifier"; text without the quotes
    String,    // 'text'; text with doubled quotes undone
    Number,    // text as written
    Param,     // ? in a shape: a literal taken out; number = literal index
    Bind,      // :k; number = k
    Op,        // operator or punctuation; != and ^= are written <>
    OuterMark, // (+)
    End,
};

struct Token {
    TokKind kind = TokKind::End;
    std::string text;
    std::size_t pos = 0; // offset in the caller's text
    int number = 0;
};

// Tokens of a shape. positions (may be empty) maps token i to the caller's offset.
std::vector<Token> TokenizeShape(const std::string& shape,
                                 const std::vector<std::size_t>& positions);

} // namespace sqldialect::detail

namespace sqldialect {

// Normalize into a caller's buffers, reusing their capacity: for a connection that
// normalises every statement it runs. The positions are filled only when asked for (a
// translation's refusal needs them; a cache hit does not). After a throw, out holds no
// meaningful content.
void NormalizeInto(std::string_view oracleSql, Normalized& out, bool withPositions);

} // namespace sqldialect
