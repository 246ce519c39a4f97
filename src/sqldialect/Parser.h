#pragma once

#include "Ast.h"
#include "Lexer.h"

#include <vector>

namespace sqldialect::detail {

// How deep parentheses, sub-selects, NOT and signs may nest in one statement.
inline constexpr int kMaxNesting = 256;

// Parses the tokens of one statement (SELECT, INSERT, UPDATE, DELETE). Throws
// TranslateError naming the first construct it does not know.
ast::Statement Parse(const std::vector<Token>& tokens);

} // namespace sqldialect::detail
