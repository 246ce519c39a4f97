#pragma once

// Printing a rewritten statement for one target engine. Writer walks the tree and prints
// what all targets share; each target overrides the hooks where its SQL differs
// (parameters, functions, casts, date arithmetic, concatenation, limits, sequences).

#include "Ast.h"
#include "Dialect.h"

#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

namespace sqldialect::detail {

struct EmitContext {
    const SchemaHints* hints = nullptr;
    int literalCount = 0;
    // Set for text meant for people: values are written in place of their parameters.
    const std::vector<Literal>* values = nullptr;
    const std::vector<Conversion>* conversions = nullptr;
};

class Writer {
public:
    explicit Writer(const EmitContext& ctx) : ctx_(ctx) {}
    virtual ~Writer() = default;

    std::string Statement(const ast::Statement& st);

protected:
    // Binding strength of e as this writer prints it; higher binds tighter.
    virtual int Precedence(const ast::Expr& e) const;

    void Put(const char* s) { out_.append(s); }
    void Put(const std::string& s) { out_.append(s); }
    void Ident(const std::string& name, bool quoted);
    // A column name; qual is the qualifier written before it (empty when none).
    void ColumnIdent(const std::string& qual, const std::string& name, bool quoted);
    // The column that an unquoted name (upper case) means, as its table declares it,
    // looked up in the tables in scope (innermost first); null when none declares it.
    const std::string* ResolveColumn(const std::string& qual, const std::string& upperName) const;
    void StringLiteral(const std::string& text);
    void Expr(const ast::Expr& e, int minPrecedence = 0);
    // An expression that does not continue a left-deep chain (see OpenLeft).
    void Term(const ast::Expr& e, int minPrecedence);
    void List(const std::vector<ast::ExprPtr>& args, std::size_t from = 0);
    void Select(const ast::Select& s);
    void Block(const ast::Block& b);
    void Value(int literalIndex);

    // ---- target hooks
    // Called once before a statement is printed.
    virtual void Begin(const ast::Statement&) {}
    // An unquoted name as the engine folds it (the shape holds it upper-cased).
    virtual std::string Unquoted(const std::string& upperName) const { return upperName; }
    // A column name as the engine must see it; by default as any other name.
    virtual void Column(const std::string& qual, const std::string& name, bool quoted) {
        (void)qual;
        Ident(name, quoted);
    }
    // Printed between a select item and its alias.
    virtual const char* AliasSeparator() const { return " "; }
    // Printed after a sub-select in FROM that has no alias.
    virtual void UnnamedSubquery() {}
    // Printed between two FROM items joined without LEFT JOIN.
    virtual const char* InnerJoin(const ast::Block&) const { return ", "; }
    // -x; x binds tighter than the minus.
    virtual void Negate(const ast::Expr& x);
    virtual bool IsKeyword(const std::string& upperName) const = 0;
    virtual void Param(int literalIndex) = 0;
    virtual void Bind(int k) = 0;
    virtual void SysDate() = 0;
    virtual void NextVal(const std::string& sequence) = 0;
    virtual void Function(const ast::Expr& e) = 0;
    virtual void Cast(const ast::Expr& e) = 0;
    virtual void Concat(const ast::Expr& e) = 0;
    // A binary operator other than || prints in two halves around its left operand, so
    // that a chain of thousands of terms (nested to the left) prints in a loop:
    // OpenLeft prints what comes before the left operand and returns the precedence that
    // operand needs; CloseLeft prints the rest.
    int OpenLeft(const ast::Expr& e);
    void CloseLeft(const ast::Expr& e);
    // Division: the left side is cast so that integers divide exactly.
    virtual int OpenDivide(const ast::Expr& e) = 0;
    virtual void CloseDivide(const ast::Expr& e) = 0;
    // Whether the target prints the + or - e as date arithmetic (throws for what it
    // refuses); OpenDate and CloseDate print it.
    virtual bool DateArithmetic(const ast::Expr& e) = 0;
    virtual int OpenDate(const ast::Expr& e) = 0;
    virtual void CloseDate(const ast::Expr& e) = 0;
    virtual void Limit(long long n) = 0;
    virtual void OrderNulls(const ast::OrderItem& o) = 0;
    virtual void ForUpdate() = 0;
    virtual const char* CompoundOperator(const std::string& op) const = 0;
    virtual void CompoundMember(const ast::Select& nested) = 0;

    const EmitContext& ctx_;
    std::string out_;
    // Whether each node of the statement being printed is a date, asked at every node of
    // an arithmetic chain; emptied when a statement begins.
    mutable std::unordered_map<const ast::Expr*, bool> dateMemo_;

private:
    // The tables of each query block (and of the statement's target) being printed:
    // (name the statement uses for it, table name), innermost block last.
    using Scope = std::vector<std::pair<std::string, std::string>>;
    std::vector<Scope> scopes_;
    void PushScope(const ast::Block& b);
};

// What the PostgreSQL text expects of the database:
// - tvl_today() (below), the service's "today": the session setting tavel.today
//   (YYYY-MM-DD) when the service sets one, else the server's CURRENT_DATE. The schema
//   creates it once per database.
// - a sequence NAME.NEXTVAL is nextval('name'): the name as written, in lower case
//   (INVITDET_BatchId_SEQ -> invitdet_batchid_seq), as CREATE SEQUENCE folds it.
// - unquoted names are lower case (tables, views, view columns); quoted ones as written.
// - code columns are CHAR(n), so that they compare without trailing blanks; dates DATE.
// - a value bound as a date is cast in the text (CAST($n AS date)), so it may be sent as
//   YYYY-MM-DD text; other values take their type from the column they meet.
inline constexpr const char* kPostgresSupport =
    "CREATE OR REPLACE FUNCTION tvl_today() RETURNS date LANGUAGE sql STABLE AS "
    "$$ SELECT COALESCE(CAST(NULLIF(current_setting('tavel.today', true), '') AS date), "
    "CURRENT_DATE) $$";

// The writer for a target.
std::unique_ptr<Writer> MakeWriter(Target target, const EmitContext& ctx);

} // namespace sqldialect::detail
