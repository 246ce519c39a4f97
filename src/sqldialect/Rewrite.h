#pragma once

#include "Ast.h"
#include "Dialect.h"

#include <unordered_map>
#include <vector>

namespace sqldialect::detail {

// Turns the Oracle-only structure of a statement into a form every target can print:
// (+) conditions become LEFT JOIN ... ON, ROWNUM limits become Block::limit (inside an
// aggregate or a compound query, a limited sub-select), FROM DUAL goes, and the alias of
// an UPDATE or DELETE target is removed. Throws TranslateError for shapes it cannot
// rewrite faithfully.
void Rewrite(ast::Statement& st);

// How each literal is to be bound: MdyDate for a value compared with, assigned to or
// inserted into a date.
std::vector<Conversion> LiteralConversions(const ast::Statement& st, const SchemaHints& hints);

// Whether an expression yields a calendar date (a date column by name, SYSDATE,
// TO_DATE, date arithmetic, ...). The answer of a `+` or `-` depends on its whole left
// operand, so a writer that asks at every node of a long chain passes a memo of the
// answers (valid while the tree does not change): each node is then looked at once.
using DateMemo = std::unordered_map<const ast::Expr*, bool>;
bool IsDate(const ast::Expr& e, const SchemaHints& hints, DateMemo* memo = nullptr);

} // namespace sqldialect::detail
