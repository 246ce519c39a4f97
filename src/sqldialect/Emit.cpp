#include "Emit.h"

#include "Rewrite.h"

#include <charconv>
#include <cstdlib>
#include <unordered_set>

namespace sqldialect::detail {

using namespace ast;

namespace {

// A parameter marker: the sign followed by the number.
std::string Numbered(char sign, int n) {
    std::string out(1, sign);
    out += std::to_string(n);
    return out;
}

[[noreturn]] void Fail(const std::string& construct, std::size_t pos) {
    throw TranslateError(construct, pos);
}

enum Prec : int {
    kOr = 1,
    kAnd = 2,
    kNot = 3,
    kCompare = 4,
    kAdd = 5,
    kMul = 6,
    kUnary = 7,
    kPrimary = 9
};

} // namespace

// ---- shared printing

void Writer::Ident(const std::string& name, bool quoted) {
    if (!quoted && !IsKeyword(name)) {
        out_.append(Unquoted(name));
        return;
    }
    out_.push_back('"');
    for (char c : quoted ? name : Unquoted(name)) {
        out_.push_back(c);
        if (c == '"')
            out_.push_back('"');
    }
    out_.push_back('"');
}

void Writer::ColumnIdent(const std::string& qual, const std::string& name, bool quoted) {
    Column(qual, name, quoted);
}

void Writer::PushScope(const ast::Block& b) {
    Scope scope;
    for (const FromItem& f : b.from)
        if (!f.table.empty())
            scope.emplace_back(f.RefName(), f.table);
    scopes_.push_back(std::move(scope));
}

namespace {

std::string Upper(std::string s) {
    for (char& c : s)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return s;
}

} // namespace

const std::string* Writer::ResolveColumn(const std::string& qual,
                                         const std::string& upperName) const {
    if (!ctx_.hints || ctx_.hints->tableColumns.empty())
        return nullptr;
    const std::string q = Upper(qual);
    for (auto scope = scopes_.rbegin(); scope != scopes_.rend(); ++scope) {
        for (const auto& [ref, table] : *scope) {
            if (!q.empty() && Upper(ref) != q)
                continue;
            auto it = ctx_.hints->tableColumns.find(Upper(table));
            if (it != ctx_.hints->tableColumns.end())
                for (const std::string& column : it->second)
                    if (Upper(column) == upperName)
                        return &column;
            // A qualifier names one table: what it lacks, no outer table supplies.
            if (!q.empty())
                return nullptr;
        }
    }
    return nullptr;
}

void Writer::StringLiteral(const std::string& text) {
    out_.push_back('\'');
    for (char c : text) {
        out_.push_back(c);
        if (c == '\'')
            out_.push_back('\'');
    }
    out_.push_back('\'');
}

void Writer::Value(int i) {
    const Literal& lit = ctx_.values->at(static_cast<std::size_t>(i));
    switch (lit.kind) {
    case Literal::Kind::Null:
        Put("NULL");
        break;
    case Literal::Kind::Integer:
        Put(std::to_string(lit.integer));
        break;
    case Literal::Kind::Real: {
        char buf[32];
        auto r = std::to_chars(buf, buf + sizeof buf, lit.real);
        out_.append(buf, r.ptr);
        break;
    }
    case Literal::Kind::Text: {
        bool date = ctx_.conversions && static_cast<std::size_t>(i) < ctx_.conversions->size() &&
                    (*ctx_.conversions)[i] == Conversion::MdyDate;
        std::string iso = date ? MdyToIso(lit.text) : std::string();
        StringLiteral(iso.empty() ? lit.text : iso);
        break;
    }
    }
}

int Writer::Precedence(const ast::Expr& e) const {
    switch (e.kind) {
    case Kind::Binary:
        if (e.op == "OR")
            return kOr;
        if (e.op == "AND")
            return kAnd;
        if (e.op == "*" || e.op == "/")
            return kMul;
        return kAdd;
    case Kind::Unary:
        return e.op == "NOT" ? kNot : kUnary;
    case Kind::Compare:
    case Kind::Like:
    case Kind::IsNull:
    case Kind::Between:
    case Kind::In:
        return kCompare;
    default:
        return kPrimary;
    }
}

void Writer::List(const std::vector<ExprPtr>& args, std::size_t from) {
    for (std::size_t i = from; i < args.size(); ++i) {
        if (i > from)
            Put(", ");
        Expr(*args[i]);
    }
}

void Writer::Expr(const ast::Expr& e, int minPrecedence) {
    // A chain such as a + b + c ... (thousands of terms from a generated list) nests to
    // the left: walk down its left operands in a loop, opening each link on the way down
    // and closing it on the way back, so the stack does not grow with its length.
    struct Link {
        const ast::Expr* e;
        bool paren;
    };
    std::vector<Link> chain;
    const ast::Expr* at = &e;
    int min = minPrecedence;
    while (at->kind == Kind::Binary && at->op != "||") {
        const bool paren = Precedence(*at) < min;
        if (paren)
            Put("(");
        chain.push_back({at, paren});
        min = OpenLeft(*at);
        at = at->args[0].get();
    }
    Term(*at, min);
    for (auto link = chain.rbegin(); link != chain.rend(); ++link) {
        CloseLeft(*link->e);
        if (link->paren)
            Put(")");
    }
}

int Writer::OpenLeft(const ast::Expr& e) {
    if (e.op == "/")
        return OpenDivide(e);
    if ((e.op == "+" || e.op == "-") && DateArithmetic(e))
        return OpenDate(e);
    return Writer::Precedence(e);
}

void Writer::CloseLeft(const ast::Expr& e) {
    if (e.op == "/") {
        CloseDivide(e);
    } else if ((e.op == "+" || e.op == "-") && DateArithmetic(e)) {
        CloseDate(e);
    } else {
        Put(" " + e.op + " ");
        Expr(*e.args[1], Writer::Precedence(e) + 1);
    }
}

void Writer::Term(const ast::Expr& e, int minPrecedence) {
    const bool paren = Precedence(e) < minPrecedence;
    if (paren)
        Put("(");
    switch (e.kind) {
    case Kind::Column:
        if (!e.qual.empty()) {
            Ident(e.qual, e.qualQuoted);
            Put(".");
        }
        ColumnIdent(e.qual, e.name, e.quoted);
        break;
    case Kind::Star:
        if (!e.qual.empty()) {
            Ident(e.qual, e.qualQuoted);
            Put(".");
        }
        Put("*");
        break;
    case Kind::Param:
        if (ctx_.values)
            Value(e.index);
        else
            Param(e.index);
        break;
    case Kind::Number:
        Put(e.name);
        break;
    case Kind::String:
        StringLiteral(e.name);
        break;
    case Kind::Null:
        Put("NULL");
        break;
    case Kind::Bind:
        if (ctx_.values)
            Put(":" + std::to_string(e.index));
        else
            Bind(e.index);
        break;
    case Kind::RowNum:
        Fail("ROWNUM here", e.pos);
    case Kind::SysDate:
        SysDate();
        break;
    case Kind::NextVal:
        NextVal(e.name);
        break;
    case Kind::Unary:
        if (e.op == "NOT") {
            Put("NOT ");
            Expr(*e.args[0], kNot);
        } else if (e.op == "-") {
            Negate(*e.args[0]);
        } else {
            Expr(*e.args[0], kUnary);
        }
        break;
    case Kind::Binary: // only || comes here; Expr prints the other operators
        Concat(e);
        break;
    case Kind::Compare:
        Expr(*e.args[0], kAdd);
        Put(" " + e.op + " ");
        Expr(*e.args[1], kAdd);
        break;
    case Kind::Like:
        Expr(*e.args[0], kAdd);
        Put(e.negated ? " NOT LIKE " : " LIKE ");
        Expr(*e.args[1], kAdd);
        if (e.args.size() > 2) {
            Put(" ESCAPE ");
            Expr(*e.args[2], kAdd);
        }
        break;
    case Kind::IsNull:
        Expr(*e.args[0], kAdd);
        Put(e.negated ? " IS NOT NULL" : " IS NULL");
        break;
    case Kind::Between:
        Expr(*e.args[0], kAdd);
        Put(e.negated ? " NOT BETWEEN " : " BETWEEN ");
        Expr(*e.args[1], kAdd);
        Put(" AND ");
        Expr(*e.args[2], kAdd);
        break;
    case Kind::In:
        Expr(*e.args[0], kAdd);
        Put(e.negated ? " NOT IN (" : " IN (");
        if (e.sub)
            Select(*e.sub);
        else
            List(e.args, 1);
        Put(")");
        break;
    case Kind::Exists:
        Put("EXISTS (");
        Select(*e.sub);
        Put(")");
        break;
    case Kind::Func:
        Function(e);
        break;
    case Kind::Case: {
        Put("CASE");
        std::size_t i = 0;
        if (e.hasOperand) {
            Put(" ");
            Expr(*e.args[i++]);
        }
        std::size_t pairsEnd = e.hasElse ? e.args.size() - 1 : e.args.size();
        for (; i + 1 < pairsEnd; i += 2) {
            Put(" WHEN ");
            Expr(*e.args[i]);
            Put(" THEN ");
            Expr(*e.args[i + 1]);
        }
        if (e.hasElse) {
            Put(" ELSE ");
            Expr(*e.args.back());
        }
        Put(" END");
        break;
    }
    case Kind::Cast:
        Cast(e);
        break;
    case Kind::Subquery:
        Put("(");
        Select(*e.sub);
        Put(")");
        break;
    }
    if (paren)
        Put(")");
}

void Writer::Negate(const ast::Expr& x) {
    // Never print "--": it would start a comment.
    Put("-");
    Expr(x, kUnary + 1);
}

void Writer::Block(const ast::Block& b) {
    PushScope(b);
    Put(b.distinct ? "SELECT DISTINCT " : "SELECT ");
    for (std::size_t i = 0; i < b.items.size(); ++i) {
        if (i)
            Put(", ");
        Expr(*b.items[i].expr);
        if (!b.items[i].alias.empty()) {
            Put(AliasSeparator());
            Ident(b.items[i].alias, b.items[i].aliasQuoted);
        }
    }
    for (std::size_t i = 0; i < b.from.size(); ++i) {
        const FromItem& f = b.from[i];
        Put(i == 0 ? " FROM " : (f.left ? " LEFT JOIN " : InnerJoin(b)));
        if (f.sub) {
            Put("(");
            Select(*f.sub);
            Put(")");
            if (f.alias.empty())
                UnnamedSubquery();
        } else {
            Ident(f.table, f.tableQuoted);
        }
        if (!f.alias.empty()) {
            Put(" ");
            Ident(f.alias, f.aliasQuoted);
        }
        if (f.left) {
            Put(" ON ");
            Expr(*f.on);
        }
    }
    if (b.where) {
        Put(" WHERE ");
        Expr(*b.where);
    }
    if (!b.groupBy.empty()) {
        Put(" GROUP BY ");
        List(b.groupBy);
    }
    if (b.having) {
        Put(" HAVING ");
        Expr(*b.having);
    }
    if (b.limit >= 0)
        Limit(b.limit);
    scopes_.pop_back();
}

void Writer::Select(const ast::Select& s) {
    if (s.terms.size() == 1 && s.terms[0].nested && s.orderBy.empty() && !s.forUpdate) {
        Select(*s.terms[0].nested);
        return;
    }
    for (std::size_t i = 0; i < s.terms.size(); ++i) {
        if (i) {
            Put(" ");
            Put(CompoundOperator(s.ops[i - 1]));
            Put(" ");
        }
        if (s.terms[i].block)
            Block(*s.terms[i].block);
        else
            CompoundMember(*s.terms[i].nested);
    }
    if (!s.orderBy.empty()) {
        // ORDER BY names the columns of the first block's tables.
        if (s.terms[0].block)
            PushScope(*s.terms[0].block);
        else
            scopes_.emplace_back();
        Put(" ORDER BY ");
        for (std::size_t i = 0; i < s.orderBy.size(); ++i) {
            if (i)
                Put(", ");
            Expr(*s.orderBy[i].expr);
            if (s.orderBy[i].desc)
                Put(" DESC");
            OrderNulls(s.orderBy[i]);
        }
        scopes_.pop_back();
    }
    if (s.forUpdate)
        ForUpdate();
}

std::string Writer::Statement(const ast::Statement& st) {
    out_.clear();
    scopes_.clear();
    Begin(st);
    // The target of a write is in scope for its columns and its WHERE.
    if (st.type != Statement::Type::Select)
        scopes_.push_back({{st.alias.empty() ? st.table : st.alias, st.table}});
    switch (st.type) {
    case Statement::Type::Select:
        Select(*st.select);
        break;
    case Statement::Type::Insert:
        Put("INSERT INTO ");
        Ident(st.table, st.tableQuoted);
        if (!st.columns.empty()) {
            Put(" (");
            for (std::size_t i = 0; i < st.columns.size(); ++i) {
                if (i)
                    Put(", ");
                ColumnIdent("", st.columns[i].first, st.columns[i].second);
            }
            Put(")");
        }
        if (st.select) {
            Put(" ");
            Select(*st.select);
        } else {
            Put(" VALUES (");
            List(st.values);
            Put(")");
        }
        break;
    case Statement::Type::Update:
        Put("UPDATE ");
        Ident(st.table, st.tableQuoted);
        Put(" SET ");
        for (std::size_t i = 0; i < st.set.size(); ++i) {
            if (i)
                Put(", ");
            ColumnIdent("", st.set[i].column, st.set[i].quoted);
            Put(" = ");
            Expr(*st.set[i].value);
        }
        if (st.where) {
            Put(" WHERE ");
            Expr(*st.where);
        }
        break;
    case Statement::Type::Delete:
        Put("DELETE FROM ");
        Ident(st.table, st.tableQuoted);
        if (st.where) {
            Put(" WHERE ");
            Expr(*st.where);
        }
        break;
    }
    return out_;
}

// ---- what the targets print alike

namespace {

bool IsAggregateName(const std::string& f) {
    return f == "COUNT" || f == "SUM" || f == "MIN" || f == "MAX" || f == "AVG";
}

bool IsTextFunction(const ast::Expr& e) {
    return e.kind == Kind::Func &&
           (e.name == "SUBSTR" || e.name == "TRIM" || e.name == "LTRIM" || e.name == "RTRIM");
}

const SchemaHints& NoHints() {
    static const SchemaHints none;
    return none;
}

std::string Lower(const std::string& s) {
    std::string out = s;
    for (char& c : out)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return out;
}

// Oracle's functions, concatenation and division take the same shape on every target;
// a target names its functions and types and prints the few functions it has no close
// match for.
class CommonWriter : public Writer {
public:
    using Writer::Writer;

protected:
    const SchemaHints& Hints() const { return ctx_.hints ? *ctx_.hints : NoHints(); }
    // IsDate with the writer's memo: the tree does not change while it is written.
    bool DateValued(const ast::Expr& e) const { return IsDate(e, Hints(), &dateMemo_); }

    void Call(const std::string& name, const std::vector<ExprPtr>& args) {
        Put(name);
        Put("(");
        List(args);
        Put(")");
    }

    void Arity(const ast::Expr& e, std::size_t lo, std::size_t hi) {
        std::size_t n = e.args.size();
        if (n < lo || n > hi)
            Fail(e.name + " with " + std::to_string(n) + " arguments", e.pos);
    }

    void CastAs(const ast::Expr& x, const char* type) {
        Put("CAST(");
        Expr(x);
        Put(" AS ");
        Put(type);
        Put(")");
    }

    // x as an exact number.
    void Numeric(const ast::Expr& x) { CastAs(x, NumericType()); }

    // ---- hooks
    // The target's name for an Oracle function.
    virtual std::string Builtin(const std::string& oracleName) const = 0;
    virtual const char* TextType() const = 0;
    virtual const char* NumericType() const = 0;
    // COALESCE with a single argument is accepted as it stands.
    virtual bool SingleCoalesce() const = 0;
    // Equality under which NULL equals NULL.
    virtual const char* NullSafeEquals() const = 0;
    // TRUNC of a number, to a whole number.
    virtual void TruncNumber(const ast::Expr& x) = 0;
    // The first argument of ROUND.
    virtual void Rounded(const ast::Expr& x) = 0;
    // REPLACE with two or three arguments.
    virtual void Replace(const ast::Expr& e) = 0;
    // GREATEST or LEAST with two or more arguments.
    virtual void GreatestLeast(const ast::Expr& e) = 0;
    // The function that concatenates (NULLs as empty text), or nullptr for the || operator.
    virtual const char* ConcatFunction() const = 0;
    virtual void ConcatOperand(const ast::Expr& x) = 0;
    // The type the left side of a division is cast to, so that integers divide exactly.
    virtual const char* DividendType() const = 0;

    int Precedence(const ast::Expr& e) const override {
        if (e.kind == Kind::Binary && e.op == "||")
            return kPrimary; // printed as a function call
        return Writer::Precedence(e);
    }

    // SUBSTR and the TRIM family; the caller settles the '' that Oracle gives as NULL.
    void TextFunction(const ast::Expr& e) {
        if (e.name == "SUBSTR") {
            Arity(e, 2, 3);
            Put(Builtin("SUBSTR") + "(");
            Expr(*e.args[0]);
            Put(", ");
            // Oracle takes position 0 as 1; the targets would take one character less.
            const ast::Expr& p = *e.args[1];
            if (p.kind == Kind::Number) {
                Put(std::strtod(p.name.c_str(), nullptr) == 0.0 ? std::string("1") : p.name);
            } else {
                Put("CASE WHEN ");
                Expr(p, kAdd);
                Put(" = 0 THEN 1 ELSE ");
                Expr(p, kAdd);
                Put(" END");
            }
            if (e.args.size() == 3) {
                Put(", ");
                Expr(*e.args[2]);
            }
            Put(")");
            return;
        }
        Arity(e, 1, e.name == "TRIM" ? 1 : 2);
        Call(Builtin(e.name), e.args);
    }

    void Function(const ast::Expr& e) override {
        const std::string& f = e.name;
        const std::size_t n = e.args.size();
        if (IsAggregateName(f)) {
            if (!e.star)
                Arity(e, 1, 1);
            Put(f + "(");
            if (e.distinct)
                Put("DISTINCT ");
            if (e.star)
                Put("*");
            else
                List(e.args);
            Put(")");
        } else if (f == "NVL") {
            Arity(e, 2, 2);
            Call(Builtin(f), e.args);
        } else if (f == "NVL2") {
            Arity(e, 3, 3);
            Put("CASE WHEN ");
            Expr(*e.args[0], kAdd);
            Put(" IS NOT NULL THEN ");
            Expr(*e.args[1]);
            Put(" ELSE ");
            Expr(*e.args[2]);
            Put(" END");
        } else if (f == "COALESCE") {
            Arity(e, 1, 1000);
            Put("COALESCE(");
            List(e.args);
            Put(n == 1 && !SingleCoalesce() ? ", NULL)" : ")");
        } else if (f == "NULLIF") {
            Arity(e, 2, 2);
            Call("NULLIF", e.args);
        } else if (f == "DECODE") {
            Arity(e, 3, 1000);
            Put("CASE");
            std::size_t i = 1;
            for (; i + 1 < n; i += 2) {
                Put(" WHEN ");
                Expr(*e.args[0], kAdd);
                Put(NullSafeEquals());
                Expr(*e.args[i], kAdd);
                Put(" THEN ");
                Expr(*e.args[i + 1]);
            }
            if (i < n) {
                Put(" ELSE ");
                Expr(*e.args[i]);
            }
            Put(" END");
        } else if (f == "TRUNC") {
            if (n == 2)
                Fail("TRUNC with a format", e.pos);
            Arity(e, 1, 1);
            if (DateValued(*e.args[0]))
                Expr(*e.args[0], kPrimary); // a date has no time of day
            else
                TruncNumber(*e.args[0]);
        } else if (f == "ROUND") {
            Arity(e, 1, 2);
            Put(Builtin(f) + "(");
            Rounded(*e.args[0]);
            if (n == 2) {
                Put(", ");
                Expr(*e.args[1]);
            }
            Put(")");
        } else if (f == "ABS" || f == "UPPER" || f == "LOWER" || f == "LENGTH") {
            Arity(e, 1, 1);
            Call(Builtin(f), e.args);
        } else if (f == "INSTR") {
            Arity(e, 2, 2);
            Call(Builtin(f), e.args);
        } else if (f == "REPLACE") {
            Arity(e, 2, 3);
            Replace(e);
        } else if (f == "GREATEST" || f == "LEAST") {
            Arity(e, 2, 1000);
            GreatestLeast(e);
        } else if (f == "TO_CHAR") {
            Arity(e, 1, 2);
            if (n == 2) {
                Call(Builtin(f), e.args);
            } else if (DateValued(*e.args[0])) {
                Put(Builtin(f) + "(");
                Expr(*e.args[0]);
                Put(", 'MM/DD/YYYY')");
            } else {
                CastAs(*e.args[0], TextType());
            }
        } else if (f == "TO_DATE") {
            Arity(e, 1, 2);
            const ast::Expr& a = *e.args[0];
            if (n == 2) {
                Call(Builtin(f), e.args);
            } else if (a.kind == Kind::Null || a.kind == Kind::Param) {
                Expr(a); // a value is converted when bound
            } else {
                Put(Builtin(f) + "(");
                Expr(a);
                Put(", 'MM/DD/YYYY')");
            }
        } else if (f == "TO_NUMBER") {
            Arity(e, 1, 1);
            Numeric(*e.args[0]);
        } else if (IsTextFunction(e)) {
            // Oracle has no empty text: an empty result is NULL.
            Put("NULLIF(");
            TextFunction(e);
            Put(", '')");
        } else {
            Fail("function " + f, e.pos);
        }
    }

    // The operands of a chain of ||, left to right; a loop, as chains may be long.
    static void Flatten(const ast::Expr& e, std::vector<const ast::Expr*>& parts) {
        std::vector<const ast::Expr*> todo{&e};
        while (!todo.empty()) {
            const ast::Expr* x = todo.back();
            todo.pop_back();
            if (x->kind == Kind::Binary && x->op == "||") {
                todo.push_back(x->args[1].get());
                todo.push_back(x->args[0].get());
            } else {
                parts.push_back(x);
            }
        }
    }

    // Oracle's || skips NULLs, and an empty result is NULL.
    void Concat(const ast::Expr& e) override {
        std::vector<const ast::Expr*> parts;
        Flatten(e, parts);
        const char* function = ConcatFunction();
        Put("NULLIF(");
        if (function) {
            Put(function);
            Put("(");
        }
        for (std::size_t i = 0; i < parts.size(); ++i) {
            if (i)
                Put(function ? ", " : " || ");
            ConcatOperand(*parts[i]);
        }
        Put(function ? "), '')" : ", '')");
    }

    // Oracle divides numbers exactly; two integers would divide as integers.
    int OpenDivide(const ast::Expr&) override {
        Put("CAST(");
        return 0;
    }
    void CloseDivide(const ast::Expr& e) override {
        Put(" AS ");
        Put(DividendType());
        Put(") / ");
        Expr(*e.args[1], kMul + 1);
    }

    void Limit(long long n) override { Put(" LIMIT " + std::to_string(n)); }

    const char* CompoundOperator(const std::string& op) const override {
        return op == "MINUS" ? "EXCEPT" : op.c_str();
    }
};

// ---- SQLite

class SqliteWriter final : public CommonWriter {
public:
    using CommonWriter::CommonWriter;

private:
    bool IsDateArithmetic(const ast::Expr& e) const {
        if (e.kind != Kind::Binary || (e.op != "+" && e.op != "-"))
            return false;
        bool l = DateValued(*e.args[0]), r = DateValued(*e.args[1]);
        return e.op == "+" ? l != r : l;
    }

    int Precedence(const ast::Expr& e) const override {
        // Date arithmetic prints as a function call or in its own parentheses.
        if (IsDateArithmetic(e))
            return kPrimary;
        return CommonWriter::Precedence(e);
    }

    bool IsKeyword(const std::string& w) const override {
        // clang-format off
        static const std::unordered_set<std::string> kWords = {
            "ABORT", "ACTION", "ADD", "AFTER", "ALL", "ALTER", "ALWAYS", "ANALYZE", "AND", "AS",
            "ASC", "ATTACH", "AUTOINCREMENT", "BEFORE", "BEGIN", "BETWEEN", "BY", "CASCADE",
            "CASE", "CAST", "CHECK", "COLLATE", "COLUMN", "COMMIT", "CONFLICT", "CONSTRAINT",
            "CREATE", "CROSS", "CURRENT", "CURRENT_DATE", "CURRENT_TIME", "CURRENT_TIMESTAMP",
            "DATABASE", "DEFAULT", "DEFERRABLE", "DEFERRED", "DELETE", "DESC", "DETACH",
            "DISTINCT", "DO", "DROP", "EACH", "ELSE", "END", "ESCAPE", "EXCEPT", "EXCLUDE",
            "EXCLUSIVE", "EXISTS", "EXPLAIN", "FAIL", "FILTER", "FIRST", "FOLLOWING", "FOR",
            "FOREIGN", "FROM", "FULL", "GENERATED", "GLOB", "GROUP", "GROUPS", "HAVING", "IF",
            "IGNORE", "IMMEDIATE", "IN", "INDEX", "INDEXED", "INITIALLY", "INNER", "INSERT",
            "INSTEAD", "INTERSECT", "INTO", "IS", "ISNULL", "JOIN", "KEY", "LAST", "LEFT", "LIKE",
            "LIMIT", "MATCH", "MATERIALIZED", "NATURAL", "NO", "NOT", "NOTHING", "NOTNULL",
            "NULL", "NULLS", "OF", "OFFSET", "ON", "OR", "ORDER", "OTHERS", "OUTER", "OVER",
            "PARTITION", "PLAN", "PRAGMA", "PRECEDING", "PRIMARY", "QUERY", "RAISE", "RANGE",
            "RECURSIVE", "REFERENCES", "REGEXP", "REINDEX", "RELEASE", "RENAME", "REPLACE",
            "RESTRICT", "RETURNING", "RIGHT", "ROLLBACK", "ROW", "ROWS", "SAVEPOINT", "SELECT",
            "SET", "TABLE", "TEMP", "TEMPORARY", "THEN", "TIES", "TO", "TRANSACTION", "TRIGGER",
            "UNBOUNDED", "UNION", "UNIQUE", "UPDATE", "USING", "VACUUM", "VALUES", "VIEW",
            "VIRTUAL", "WHEN", "WHERE", "WINDOW", "WITH", "WITHOUT"};
        // clang-format on
        return kWords.count(w) != 0;
    }

    // Built by appending: GCC 12 warns falsely (-Wrestrict) on "literal" + std::string.
    void Param(int i) override { Put(Numbered('?', i + 1)); }
    void Bind(int k) override { Put(Numbered('?', ctx_.literalCount + k)); }
    void SysDate() override { Put("tvl_today()"); }
    void NextVal(const std::string& sequence) override {
        Put("tvl_nextval(");
        StringLiteral(sequence);
        Put(")");
    }

    // The date formats are the service's own functions.
    std::string Builtin(const std::string& f) const override {
        if (f == "NVL")
            return "IFNULL";
        if (f == "TO_CHAR")
            return "tvl_to_char";
        if (f == "TO_DATE")
            return "tvl_to_date";
        return f;
    }
    const char* TextType() const override { return "TEXT"; }
    const char* NumericType() const override { return "NUMERIC"; }
    bool SingleCoalesce() const override { return false; }
    // DECODE finds NULL equal to NULL, which IS does and = does not.
    const char* NullSafeEquals() const override { return " IS "; }
    void TruncNumber(const ast::Expr& x) override { CastAs(x, "INTEGER"); }
    void Rounded(const ast::Expr& x) override { Expr(x); }

    void Replace(const ast::Expr& e) override {
        Put("REPLACE(");
        List(e.args);
        Put(e.args.size() == 2 ? ", '')" : ")");
    }

    void GreatestLeast(const ast::Expr& e) override {
        Call(e.name == "GREATEST" ? "MAX" : "MIN", e.args);
    }

    void Cast(const ast::Expr& e) override {
        const std::string& t = e.name;
        const ast::Expr& a = *e.args[0];
        if (t == "CHAR" || t == "NCHAR") {
            // CHAR(n) compares blank-padded; RTRIM collation gives that without padding.
            CastAs(a, "TEXT");
            Put(" COLLATE RTRIM");
        } else if (t == "VARCHAR2" || t == "VARCHAR" || t == "NVARCHAR2" || t == "CLOB") {
            CastAs(a, "TEXT");
        } else if (t == "NUMBER" || t == "NUMERIC" || t == "DECIMAL" || t == "INTEGER" ||
                   t == "INT" || t == "SMALLINT") {
            int scale = -1;
            if (t == "INTEGER" || t == "INT" || t == "SMALLINT")
                scale = 0;
            else if (e.typeArgs.size() == 1)
                scale = 0;
            else if (e.typeArgs.size() >= 2)
                scale = std::atoi(e.typeArgs[1].c_str());
            if (scale < 0) {
                CastAs(a, "NUMERIC");
            } else if (scale == 0) {
                // Oracle rounds to the scale, SQLite's CAST would truncate.
                Put("CAST(ROUND(");
                Expr(a);
                Put(") AS INTEGER)");
            } else {
                Put("ROUND(");
                Expr(a);
                Put(", " + std::to_string(scale) + ")");
            }
        } else if (t == "FLOAT" || t == "BINARY_DOUBLE" || t == "BINARY_FLOAT") {
            CastAs(a, "REAL");
        } else if (t == "DATE") {
            Expr(a, kPrimary); // dates are ISO text already; a value is converted when bound
        } else {
            Fail("CAST to " + t, e.pos);
        }
    }

    const char* ConcatFunction() const override { return nullptr; }

    void ConcatOperand(const ast::Expr& x) override {
        if (x.kind == Kind::Number || (x.kind == Kind::String && !x.name.empty())) {
            Expr(x, kPrimary);
        } else if (IsTextFunction(x)) {
            Put("IFNULL(");
            TextFunction(x);
            Put(", '')");
        } else {
            Put("IFNULL(");
            Expr(x);
            Put(", '')");
        }
    }

    // SQLite would divide two integers as integers.
    const char* DividendType() const override { return "REAL"; }

    bool DateArithmetic(const ast::Expr& e) override {
        if (IsDateArithmetic(e))
            return true;
        if (e.op == "-" && DateValued(*e.args[1]))
            Fail("number minus a date", e.pos);
        return false;
    }

    // date - date: the days between them, (julianday(a) - julianday(b)); date +/- days
    // and days + date: date(date, [-]days || ' days').
    int OpenDate(const ast::Expr& e) override {
        if (e.op == "-" && DateValued(*e.args[1])) {
            Put("(julianday(");
            return 0;
        }
        Put("date(");
        if (DateValued(*e.args[0]))
            return 0;
        Expr(*e.args[1]);
        Put(", ");
        return kPrimary;
    }
    void CloseDate(const ast::Expr& e) override {
        if (e.op == "-" && DateValued(*e.args[1])) {
            Put(") - julianday(");
            Expr(*e.args[1]);
            Put("))");
            return;
        }
        if (DateValued(*e.args[0])) {
            Put(e.op == "-" ? ", -" : ", ");
            Expr(*e.args[1], kPrimary);
        }
        Put(" || ' days')");
    }

    // Oracle sorts NULL after every value in ascending order, SQLite before.
    void OrderNulls(const ast::OrderItem& o) override {
        int nulls = o.nulls ? o.nulls : (o.desc ? 1 : 2);
        Put(nulls == 1 ? " NULLS FIRST" : " NULLS LAST");
    }

    // A write transaction on SQLite holds the whole database; no row lock to ask for.
    void ForUpdate() override {}

    // SQLite does not take a parenthesised member in a compound query.
    void CompoundMember(const ast::Select& nested) override {
        Put("SELECT * FROM (");
        Select(nested);
        Put(")");
    }
};

// ---- PostgreSQL

// PostgreSQL keeps Oracle's meanings natively where it can: NULLs sort as Oracle sorts
// them, date - integer is a date, CHAR(n) compares without trailing blanks, LIKE is
// case-sensitive, sequences are native. The rest is spelled out below.
class PostgresWriter final : public CommonWriter {
public:
    using CommonWriter::CommonWriter;

private:
    void Begin(const ast::Statement& st) override {
        unnamed_ = 0;
        // Parameters bound as dates are cast in the text, so that a value sent as text
        // still compares as a date.
        dates_ = ctx_.conversions ? *ctx_.conversions : LiteralConversions(st, Hints());
    }

    std::string Unquoted(const std::string& upperName) const override { return Lower(upperName); }

    static bool AllUpper(const std::string& name) {
        for (char c : name)
            if (c >= 'a' && c <= 'z')
                return false;
        return true;
    }
    // An unquoted name means the column its table declares in mixed case (D.InvItem is
    // "InvItem"); PostgreSQL would fold it to invitem otherwise. Oracle reads "INVORDER"
    // and INVORDER as one name, so a declared upper-case column quoted so is the folded one.
    void Column(const std::string& qual, const std::string& name, bool quoted) override {
        const std::string* declared =
            quoted && !AllUpper(name) ? nullptr : ResolveColumn(qual, Upper(name));
        if (declared && !AllUpper(*declared))
            Ident(*declared, true);
        else if (declared && quoted && *declared == name)
            Ident(name, false);
        else
            Ident(name, quoted);
    }

    // Some words are keywords as bare column labels; AS makes every alias a label.
    const char* AliasSeparator() const override { return " AS "; }

    // A comma binds looser than JOIN, which would hide the tables before the comma
    // from a later ON; CROSS JOIN chains left to right as LEFT JOIN does.
    const char* InnerJoin(const ast::Block& b) const override {
        for (const FromItem& f : b.from)
            if (f.left)
                return " CROSS JOIN ";
        return ", ";
    }

    // A value alone under a minus has no type PostgreSQL could choose.
    void Negate(const ast::Expr& x) override {
        if (x.kind == Kind::Param || x.kind == Kind::Bind) {
            Put("-");
            Numeric(x);
        } else {
            Writer::Negate(x);
        }
    }

    // PostgreSQL wants a name for every sub-select in FROM.
    void UnnamedSubquery() override { Put(" AS tvl_from" + std::to_string(++unnamed_)); }

    // Reserved words and the words that cannot name a column; quoting the folded name
    // means the same object.
    bool IsKeyword(const std::string& w) const override {
        // clang-format off
        static const std::unordered_set<std::string> kWords = {
            "ALL", "ANALYSE", "ANALYZE", "AND", "ANY", "ARRAY", "AS", "ASC", "ASYMMETRIC",
            "AUTHORIZATION", "BINARY", "BOTH", "CASE", "CAST", "CHECK", "COLLATE", "COLLATION",
            "COLUMN", "CONCURRENTLY", "CONSTRAINT", "CREATE", "CROSS", "CURRENT_CATALOG",
            "CURRENT_DATE", "CURRENT_ROLE", "CURRENT_SCHEMA", "CURRENT_TIME",
            "CURRENT_TIMESTAMP", "CURRENT_USER", "DEFAULT", "DEFERRABLE", "DESC", "DISTINCT",
            "DO", "ELSE", "END", "EXCEPT", "FALSE", "FETCH", "FOR", "FOREIGN", "FREEZE", "FROM",
            "FULL", "GRANT", "GROUP", "HAVING", "ILIKE", "IN", "INITIALLY", "INNER", "INTERSECT",
            "INTO", "IS", "ISNULL", "JOIN", "LATERAL", "LEADING", "LEFT", "LIKE", "LIMIT",
            "LOCALTIME", "LOCALTIMESTAMP", "NATURAL", "NOT", "NOTNULL", "NULL", "OFFSET", "ON",
            "ONLY", "OR", "ORDER", "OUTER", "OVERLAPS", "PLACING", "PRIMARY", "REFERENCES",
            "RETURNING", "RIGHT", "SELECT", "SESSION_USER", "SIMILAR", "SOME", "SYMMETRIC",
            "SYSTEM_USER", "TABLE", "TABLESAMPLE", "THEN", "TO", "TRAILING", "TRUE", "UNION",
            "UNIQUE", "USER", "USING", "VARIADIC", "VERBOSE", "WHEN", "WHERE", "WINDOW", "WITH"};
        // clang-format on
        return kWords.count(w) != 0;
    }

    bool IsDateParam(const ast::Expr& e) const {
        return e.kind == Kind::Param && e.index >= 0 &&
               static_cast<std::size_t>(e.index) < dates_.size() &&
               dates_[e.index] == Conversion::MdyDate;
    }

    void Param(int i) override {
        const bool date = i >= 0 && static_cast<std::size_t>(i) < dates_.size() &&
                          dates_[i] == Conversion::MdyDate;
        Put(date ? "CAST(" + Numbered('$', i + 1) + " AS date)" : Numbered('$', i + 1));
    }
    void Bind(int k) override { Put(Numbered('$', ctx_.literalCount + k)); }

    // The service's clock, not the server's: tvl_today() (see kPostgresSupport) reads the
    // session setting tavel.today and falls back to CURRENT_DATE.
    void SysDate() override { Put("tvl_today()"); }

    // A sequence keeps its name, folded to lower case as any unquoted name:
    // INVITDET_BatchId_SEQ.NEXTVAL -> nextval('invitdet_batchid_seq').
    void NextVal(const std::string& sequence) override {
        Put("nextval(");
        StringLiteral(Lower(sequence));
        Put(")");
    }

    // A value whose type nothing around it tells (an argument of concat()) is text.
    void Text(const ast::Expr& x) {
        if (x.kind == Kind::Param || x.kind == Kind::Bind)
            CastAs(x, "text");
        else
            Expr(x);
    }

    // to_char and to_date take Oracle's date and number formats.
    std::string Builtin(const std::string& f) const override {
        if (f == "NVL")
            return "COALESCE";
        if (f == "INSTR")
            return "strpos";
        if (f == "TRIM")
            return "btrim";
        return Lower(f);
    }
    const char* TextType() const override { return "text"; }
    const char* NumericType() const override { return "numeric"; }
    bool SingleCoalesce() const override { return true; }
    const char* NullSafeEquals() const override { return " IS NOT DISTINCT FROM "; }

    // round() and trunc() with a scale exist for numeric only.
    void TruncNumber(const ast::Expr& x) override {
        Put("trunc(");
        Numeric(x);
        Put(")");
    }
    void Rounded(const ast::Expr& x) override { Numeric(x); }

    // Oracle removes the searched text when the replacement is missing or NULL.
    void Replace(const ast::Expr& e) override {
        Put("NULLIF(replace(");
        Expr(*e.args[0]);
        Put(", ");
        Expr(*e.args[1]);
        if (e.args.size() == 3) {
            Put(", COALESCE(");
            Text(*e.args[2]);
            Put(", '')), '')");
        } else {
            Put(", ''), '')");
        }
    }

    // Oracle's answer is NULL when any argument is; PostgreSQL's skips NULLs.
    void GreatestLeast(const ast::Expr& e) override {
        Put("CASE WHEN ");
        for (std::size_t i = 0; i < e.args.size(); ++i) {
            if (i)
                Put(" OR ");
            Expr(*e.args[i], kAdd);
            Put(" IS NULL");
        }
        Put(" THEN NULL ELSE ");
        Call(e.name, e.args);
        Put(" END");
    }

    void Cast(const ast::Expr& e) override {
        const std::string& t = e.name;
        auto cast = [&](const std::string& type, bool widths) {
            Put("CAST(");
            Expr(*e.args[0]);
            Put(" AS " + type);
            if (widths && !e.typeArgs.empty()) {
                Put("(");
                for (std::size_t i = 0; i < e.typeArgs.size(); ++i) {
                    if (i)
                        Put(", ");
                    Put(e.typeArgs[i]);
                }
                Put(")");
            }
            Put(")");
        };
        if (t == "CHAR" || t == "NCHAR") {
            cast("char", true); // compares without trailing blanks, as Oracle's CHAR
        } else if (t == "VARCHAR2" || t == "VARCHAR" || t == "NVARCHAR2") {
            cast("varchar", true);
        } else if (t == "CLOB") {
            cast("text", false);
        } else if (t == "NUMBER" || t == "NUMERIC" || t == "DECIMAL") {
            cast("numeric", true); // a scale rounds, as Oracle does
        } else if (t == "INTEGER" || t == "INT" || t == "SMALLINT") {
            cast("numeric(38, 0)", false); // Oracle's INTEGER is NUMBER(38), rounded
        } else if (t == "FLOAT" || t == "BINARY_DOUBLE" || t == "BINARY_FLOAT") {
            cast("double precision", false);
        } else if (t == "DATE") {
            if (IsDateParam(*e.args[0]))
                Expr(*e.args[0]); // already cast
            else
                cast("date", false);
        } else {
            Fail("CAST to " + t, e.pos);
        }
    }

    // concat() skips NULLs as Oracle's || does.
    const char* ConcatFunction() const override { return "concat"; }
    void ConcatOperand(const ast::Expr& x) override { Text(x); }

    const char* DividendType() const override { return NumericType(); }

    // date +/- integer is a date and date - date a number of days, natively. A number of
    // days that may have a fraction (or is a value of unknown type, which PostgreSQL
    // would take for a date) is made whole days first.
    bool DateArithmetic(const ast::Expr& e) override {
        const bool l = DateValued(*e.args[0]), r = DateValued(*e.args[1]);
        if (e.op == "-" && r && !l)
            Fail("number minus a date", e.pos);
        return l != r;
    }
    static bool WholeDays(const ast::Expr& x) {
        return x.kind == Kind::Number && x.name.find_first_of(".eE") == std::string::npos;
    }
    // Opens whole days around x: returns the precedence x needs inside.
    int OpenDays(const ast::Expr& x, int minPrecedence) {
        if (WholeDays(x))
            return minPrecedence;
        Put("CAST(floor(CAST(");
        return 0;
    }
    void CloseDays(const ast::Expr& x) {
        if (!WholeDays(x))
            Put(" AS numeric)) AS integer)");
    }
    int OpenDate(const ast::Expr& e) override {
        return DateValued(*e.args[0]) ? kAdd : OpenDays(*e.args[0], kAdd);
    }
    void CloseDate(const ast::Expr& e) override {
        if (DateValued(*e.args[0])) {
            Put(" " + e.op + " ");
            const ast::Expr& days = *e.args[1];
            Expr(days, OpenDays(days, kAdd + 1));
            CloseDays(days);
        } else {
            CloseDays(*e.args[0]);
            Put(" + ");
            Expr(*e.args[1], kAdd + 1);
        }
    }

    // PostgreSQL's default order of NULLs is Oracle's.
    void OrderNulls(const ast::OrderItem& o) override {
        if (o.nulls)
            Put(o.nulls == 1 ? " NULLS FIRST" : " NULLS LAST");
    }

    // The lock read: a row another workstation holds is refused at once, not waited for.
    void ForUpdate() override { Put(" FOR UPDATE NOWAIT"); }

    void CompoundMember(const ast::Select& nested) override {
        Put("(");
        Select(nested);
        Put(")");
    }

    std::vector<Conversion> dates_;
    int unnamed_ = 0;
};

} // namespace

std::unique_ptr<Writer> MakeWriter(Target target, const EmitContext& ctx) {
    if (target == Target::PostgreSQL)
        return std::make_unique<PostgresWriter>(ctx);
    return std::make_unique<SqliteWriter>(ctx);
}

} // namespace sqldialect::detail
