#pragma once

// Syntax tree of one Oracle-dialect statement. The parser builds it from the shape, the
// rewrite turns Oracle-only constructs into portable ones (joins, limits), and an emitter
// per target engine prints it.

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

namespace sqldialect::ast {

struct Select;
struct Expr;
using ExprPtr = std::unique_ptr<Expr>;
using SelectPtr = std::unique_ptr<Select>;

enum class Kind {
    Column,   // [qual.]name, optionally marked (+)
    Star,     // * or qual.*
    Param,    // a literal taken out by Normalize: index
    Number,   // a number kept in the shape: text
    String,   // a text kept in the shape: text
    Null,     // NULL
    Bind,     // bind variable :index
    RowNum,   // ROWNUM (rewritten away)
    SysDate,  // SYSDATE
    NextVal,  // sequence.NEXTVAL: name is the sequence
    Unary,    // op: "-", "+", "NOT"
    Binary,   // op: "+", "-", "*", "/", "||", "AND", "OR"
    Compare,  // op: "=", "<>", "<", ">", "<=", ">="
    Like,     // args: value, pattern[, escape]; negated
    IsNull,   // negated: IS NOT NULL
    Between,  // args: value, low, high; negated
    In,       // args: value, list...; or sub; negated
    Exists,   // sub
    Func,     // name, args; distinct; star (COUNT(*))
    Case,     // [operand] (when, then)... [else]
    Cast,     // args[0] AS name(typeArgs)
    Subquery, // (sub)
};

struct Expr {
    Kind kind = Kind::Null;
    std::size_t pos = 0;               // offset in the caller's text
    std::string name;                  // Column/NextVal/Func/Cast type/Number/String text
    std::string qual;                  // Column/Star qualifier
    std::string op;                    // Unary/Binary/Compare
    bool quoted = false;               // Column name written in double quotes
    bool qualQuoted = false;           // qualifier written in double quotes
    bool outer = false;                // Column marked (+)
    bool negated = false;              // NOT LIKE, NOT IN, NOT BETWEEN, IS NOT NULL
    bool distinct = false;             // aggregate over DISTINCT values
    bool star = false;                 // COUNT(*)
    bool hasOperand = false;           // Case: simple CASE x WHEN ...
    bool hasElse = false;              // Case: ELSE branch present (last arg)
    int index = 0;                     // Param: literal index; Bind: k of :k
    std::vector<std::string> typeArgs; // Cast: widths as written
    std::vector<ExprPtr> args;
    SelectPtr sub;

    Expr() = default;
    Expr(const Expr&) = delete;
    Expr& operator=(const Expr&) = delete;
    // A chain of thousands of terms nests as deep as it is long: its nodes are freed in a
    // loop, not by a recursion as deep as the chain.
    ~Expr() {
        std::vector<ExprPtr> pending;
        for (ExprPtr& a : args)
            if (a)
                pending.push_back(std::move(a));
        while (!pending.empty()) {
            ExprPtr x = std::move(pending.back());
            pending.pop_back();
            for (ExprPtr& a : x->args)
                if (a)
                    pending.push_back(std::move(a));
        }
    }
};

struct SelectItem {
    ExprPtr expr;
    std::string alias;
    bool aliasQuoted = false;
};

struct FromItem {
    std::string table; // a table or view; empty for a sub-select
    bool tableQuoted = false;
    SelectPtr sub;
    std::string alias;
    bool aliasQuoted = false;
    std::size_t pos = 0;
    // Set by the rewrite: joined with LEFT JOIN ... ON on (otherwise an inner join whose
    // conditions stay in WHERE).
    bool left = false;
    ExprPtr on;

    // The name the rest of the statement uses for this item.
    const std::string& RefName() const { return alias.empty() ? table : alias; }
};

struct Block {
    std::size_t pos = 0;
    bool distinct = false;
    std::vector<SelectItem> items;
    std::vector<FromItem> from;
    ExprPtr where;
    std::vector<ExprPtr> groupBy;
    ExprPtr having;
    long long limit = -1; // from ROWNUM; -1: none
};

struct OrderItem {
    ExprPtr expr;
    bool desc = false;
    int nulls = 0; // 0 as the engine's default, 1 NULLS FIRST, 2 NULLS LAST
};

// One member of a compound query: a query block or a parenthesised query.
struct Term {
    std::unique_ptr<Block> block;
    SelectPtr nested;
};

struct Select {
    std::size_t pos = 0;
    std::vector<Term> terms;
    std::vector<std::string> ops; // between terms: "UNION", "UNION ALL", "INTERSECT", "MINUS"
    std::vector<OrderItem> orderBy;
    bool forUpdate = false;
};

struct Assignment {
    std::string column;
    bool quoted = false;
    std::size_t pos = 0;
    ExprPtr value;
};

struct Statement {
    enum class Type { Select, Insert, Update, Delete } type = Type::Select;
    SelectPtr select; // Select; Insert ... SELECT
    std::string table;
    bool tableQuoted = false;
    std::string alias;
    bool aliasQuoted = false;
    std::vector<std::pair<std::string, bool>> columns; // Insert column list (name, quoted)
    std::vector<ExprPtr> values;                       // Insert ... VALUES
    std::vector<Assignment> set;                       // Update
    ExprPtr where;                                     // Update, Delete
    int literalCount = 0;
    int bindVariables = 0;
};

} // namespace sqldialect::ast
