#include "Parser.h"

#include <algorithm>
#include <unordered_set>

namespace sqldialect::detail {
namespace {

using namespace ast;

bool IsReserved(const std::string& w) {
    static const std::unordered_set<std::string> kWords = {
        "SELECT",    "FROM",    "WHERE",  "GROUP",  "HAVING",   "ORDER",   "BY",     "UNION",
        "INTERSECT", "MINUS",   "EXCEPT", "ALL",    "DISTINCT", "UNIQUE",  "AND",    "OR",
        "NOT",       "IN",      "IS",     "NULL",   "LIKE",     "BETWEEN", "CASE",   "WHEN",
        "THEN",      "ELSE",    "END",    "AS",     "ON",       "JOIN",    "LEFT",   "RIGHT",
        "FULL",      "INNER",   "OUTER",  "CROSS",  "NATURAL",  "SET",     "VALUES", "INTO",
        "FOR",       "CONNECT", "START",  "WITH",   "ASC",      "DESC",    "NULLS",  "EXISTS",
        "PRIOR",     "ESCAPE",  "USING",  "UPDATE", "DELETE",   "INSERT",  "ANY",    "SOME"};
    return kWords.count(w) != 0;
}

class Parser {
public:
    explicit Parser(const std::vector<Token>& t) : t_(t) {}

    Statement ParseStatement() {
        Statement st;
        if (Kw("SELECT") || Op("(")) {
            st.type = Statement::Type::Select;
            st.select = ParseSelect();
        } else if (AcceptKw("INSERT")) {
            st.type = Statement::Type::Insert;
            ParseInsert(st);
        } else if (AcceptKw("UPDATE")) {
            st.type = Statement::Type::Update;
            ParseUpdate(st);
        } else if (AcceptKw("DELETE")) {
            st.type = Statement::Type::Delete;
            AcceptKw("FROM");
            ParseTarget(st);
            if (AcceptKw("WHERE"))
                st.where = ParseExpr();
        } else if (Kw("WITH")) {
            Fail("WITH clause");
        } else {
            Fail(Cur().kind == TokKind::End ? "empty statement" : "statement " + Cur().text);
        }
        if (Cur().kind != TokKind::End)
            Unexpected();
        st.literalCount = params_;
        st.bindVariables = maxBind_;
        return st;
    }

private:
    const std::vector<Token>& t_;
    std::size_t i_ = 0;
    int depth_ = 0;

    // Each parenthesis, sub-select, NOT or sign goes one level deeper into the parser's
    // own recursion (and the rewrite's and writer's after it). No statement the module
    // writes comes near the limit; text from outside that does is refused where it
    // passes it, instead of running out of stack.
    class Nesting {
    public:
        explicit Nesting(Parser& p) : p_(p) {
            if (++p_.depth_ > kMaxNesting)
                p_.Fail("nesting deeper than " + std::to_string(kMaxNesting) + " levels");
        }
        ~Nesting() { --p_.depth_; }
        Nesting(const Nesting&) = delete;
        Nesting& operator=(const Nesting&) = delete;

    private:
        Parser& p_;
    };
    int params_ = 0;
    int maxBind_ = 0;

    const Token& Cur() const { return t_[i_]; }
    const Token& Ahead(std::size_t n) const { return i_ + n < t_.size() ? t_[i_ + n] : t_.back(); }
    void Next() {
        if (i_ + 1 < t_.size())
            ++i_;
    }
    bool Kw(const char* w, std::size_t n = 0) const {
        const Token& t = Ahead(n);
        return t.kind == TokKind::Ident && t.text == w;
    }
    bool Op(const char* o, std::size_t n = 0) const {
        const Token& t = Ahead(n);
        return t.kind == TokKind::Op && t.text == o;
    }
    bool AcceptKw(const char* w) {
        if (!Kw(w))
            return false;
        Next();
        return true;
    }
    bool AcceptOp(const char* o) {
        if (!Op(o))
            return false;
        Next();
        return true;
    }
    void ExpectKw(const char* w) {
        if (!AcceptKw(w))
            Unexpected(w);
    }
    void ExpectOp(const char* o) {
        if (!AcceptOp(o))
            Unexpected(o);
    }
    [[noreturn]] void Fail(const std::string& construct) const {
        throw TranslateError(construct, Cur().pos);
    }
    [[noreturn]] void Unexpected(const char* wanted = nullptr) const {
        std::string what =
            Cur().kind == TokKind::End ? std::string("end of statement") : "'" + Cur().text + "'";
        if (Cur().kind == TokKind::Param)
            what = "value";
        if (wanted)
            Fail(what + " where '" + wanted + "' belongs");
        Fail("unexpected " + what);
    }

    bool IsName(std::size_t n = 0) const {
        const Token& t = Ahead(n);
        return t.kind == TokKind::QIdent || (t.kind == TokKind::Ident && !IsReserved(t.text));
    }
    // An alias after a select item or a FROM item, when one is written.
    bool AcceptAlias(std::string& alias, bool& quoted, bool allowAs) {
        if (allowAs && AcceptKw("AS")) {
            if (!IsName())
                Unexpected("alias");
        } else if (!IsName()) {
            return false;
        }
        alias = Cur().text;
        quoted = Cur().kind == TokKind::QIdent;
        Next();
        return true;
    }

    ExprPtr Make(Kind k) {
        auto e = std::make_unique<Expr>();
        e->kind = k;
        e->pos = Cur().pos;
        return e;
    }

    // ---- statements

    void ParseTarget(Statement& st) {
        if (!IsName())
            Unexpected("table");
        st.table = Cur().text;
        st.tableQuoted = Cur().kind == TokKind::QIdent;
        Next();
        if (Op("."))
            Fail("schema-qualified table");
        AcceptAlias(st.alias, st.aliasQuoted, false);
    }

    void ParseInsert(Statement& st) {
        ExpectKw("INTO");
        if (!IsName())
            Unexpected("table");
        st.table = Cur().text;
        st.tableQuoted = Cur().kind == TokKind::QIdent;
        Next();
        if (Op("(") && !Kw("SELECT", 1)) {
            Next();
            do {
                if (!IsName())
                    Unexpected("column");
                st.columns.emplace_back(Cur().text, Cur().kind == TokKind::QIdent);
                Next();
            } while (AcceptOp(","));
            ExpectOp(")");
        }
        if (AcceptKw("VALUES")) {
            ExpectOp("(");
            do
                st.values.push_back(ParseExpr());
            while (AcceptOp(","));
            ExpectOp(")");
        } else if (Kw("SELECT") || Op("(")) {
            st.select = ParseSelect();
        } else {
            Unexpected("VALUES");
        }
    }

    void ParseUpdate(Statement& st) {
        ParseTarget(st);
        ExpectKw("SET");
        do {
            Assignment a;
            a.pos = Cur().pos;
            if (Op("("))
                Fail("multi-column SET");
            if (!IsName())
                Unexpected("column");
            if (Op(".", 1)) {
                const std::string& q = Cur().text;
                if (q != st.table && q != st.alias)
                    Fail("SET column of another table");
                Next();
                Next();
                if (!IsName())
                    Unexpected("column");
            }
            a.column = Cur().text;
            a.quoted = Cur().kind == TokKind::QIdent;
            Next();
            ExpectOp("=");
            a.value = ParseExpr();
            st.set.push_back(std::move(a));
        } while (AcceptOp(","));
        if (AcceptKw("WHERE"))
            st.where = ParseExpr();
    }

    // ---- queries

    SelectPtr ParseSelect() {
        Nesting level(*this);
        auto s = std::make_unique<Select>();
        s->pos = Cur().pos;
        s->terms.push_back(ParseTerm());
        for (;;) {
            std::string op;
            if (AcceptKw("UNION"))
                op = AcceptKw("ALL") ? "UNION ALL" : "UNION";
            else if (AcceptKw("INTERSECT"))
                op = "INTERSECT";
            else if (AcceptKw("MINUS") || AcceptKw("EXCEPT"))
                op = "MINUS";
            else
                break;
            s->ops.push_back(op);
            s->terms.push_back(ParseTerm());
        }
        if (AcceptKw("ORDER")) {
            ExpectKw("BY");
            do {
                OrderItem o;
                o.expr = ParseExpr();
                if (AcceptKw("DESC"))
                    o.desc = true;
                else
                    AcceptKw("ASC");
                if (AcceptKw("NULLS")) {
                    if (AcceptKw("FIRST"))
                        o.nulls = 1;
                    else if (AcceptKw("LAST"))
                        o.nulls = 2;
                    else
                        Unexpected("FIRST");
                }
                s->orderBy.push_back(std::move(o));
            } while (AcceptOp(","));
        }
        if (AcceptKw("FOR")) {
            ExpectKw("UPDATE");
            s->forUpdate = true;
            if (AcceptKw("OF")) {
                do {
                    if (!IsName())
                        Unexpected("column");
                    Next();
                    if (AcceptOp(".")) {
                        if (!IsName())
                            Unexpected("column");
                        Next();
                    }
                } while (AcceptOp(","));
            }
            if (Kw("WAIT") || Kw("SKIP"))
                Fail("FOR UPDATE " + Cur().text);
            AcceptKw("NOWAIT");
        }
        return s;
    }

    Term ParseTerm() {
        Term t;
        if (AcceptOp("(")) {
            t.nested = ParseSelect();
            ExpectOp(")");
        } else {
            t.block = ParseBlock();
        }
        return t;
    }

    std::unique_ptr<Block> ParseBlock() {
        auto b = std::make_unique<Block>();
        b->pos = Cur().pos;
        ExpectKw("SELECT");
        if (AcceptKw("DISTINCT") || AcceptKw("UNIQUE"))
            b->distinct = true;
        else
            AcceptKw("ALL");
        do
            b->items.push_back(ParseSelectItem());
        while (AcceptOp(","));
        if (AcceptKw("FROM")) {
            do
                b->from.push_back(ParseFromItem());
            while (AcceptOp(","));
            for (const char* w : {"JOIN", "LEFT", "RIGHT", "INNER", "FULL", "CROSS", "NATURAL"})
                if (Kw(w))
                    Fail("JOIN syntax");
        }
        if (AcceptKw("WHERE"))
            b->where = ParseExpr();
        if (Kw("CONNECT") || Kw("START"))
            Fail("hierarchical query");
        if (AcceptKw("GROUP")) {
            ExpectKw("BY");
            do
                b->groupBy.push_back(ParseExpr());
            while (AcceptOp(","));
        }
        if (AcceptKw("HAVING"))
            b->having = ParseExpr();
        return b;
    }

    SelectItem ParseSelectItem() {
        SelectItem item;
        if (Op("*")) {
            item.expr = Make(Kind::Star);
            Next();
            return item;
        }
        if ((Cur().kind == TokKind::Ident || Cur().kind == TokKind::QIdent) && Op(".", 1) &&
            Op("*", 2)) {
            item.expr = Make(Kind::Star);
            item.expr->qual = Cur().text;
            item.expr->qualQuoted = Cur().kind == TokKind::QIdent;
            Next();
            Next();
            Next();
            return item;
        }
        item.expr = ParseExpr();
        AcceptAlias(item.alias, item.aliasQuoted, true);
        return item;
    }

    FromItem ParseFromItem() {
        FromItem f;
        f.pos = Cur().pos;
        if (AcceptOp("(")) {
            f.sub = ParseSelect();
            ExpectOp(")");
        } else {
            if (!IsName())
                Unexpected("table");
            f.table = Cur().text;
            f.tableQuoted = Cur().kind == TokKind::QIdent;
            Next();
            if (Op("."))
                Fail("schema-qualified table");
        }
        AcceptAlias(f.alias, f.aliasQuoted, false);
        return f;
    }

    // ---- expressions, lowest precedence first

    ExprPtr ParseExpr() {
        Nesting level(*this);
        return ParseOr();
    }

    ExprPtr Binary(Kind k, std::string op, ExprPtr l, ExprPtr r, std::size_t pos) {
        auto e = std::make_unique<Expr>();
        e->kind = k;
        e->op = std::move(op);
        e->pos = pos;
        e->args.push_back(std::move(l));
        e->args.push_back(std::move(r));
        return e;
    }

    ExprPtr ParseOr() {
        ExprPtr l = ParseAnd();
        while (Kw("OR")) {
            std::size_t pos = Cur().pos;
            Next();
            l = Binary(Kind::Binary, "OR", std::move(l), ParseAnd(), pos);
        }
        return l;
    }

    ExprPtr ParseAnd() {
        ExprPtr l = ParseNot();
        while (Kw("AND")) {
            std::size_t pos = Cur().pos;
            Next();
            l = Binary(Kind::Binary, "AND", std::move(l), ParseNot(), pos);
        }
        return l;
    }

    ExprPtr ParseNot() {
        if (Kw("NOT")) {
            ExprPtr e = Make(Kind::Unary);
            e->op = "NOT";
            Next();
            Nesting level(*this);
            e->args.push_back(ParseNot());
            return e;
        }
        return ParsePredicate();
    }

    ExprPtr ParsePredicate() {
        if (Kw("EXISTS")) {
            ExprPtr e = Make(Kind::Exists);
            Next();
            ExpectOp("(");
            e->sub = ParseSelect();
            ExpectOp(")");
            return e;
        }
        ExprPtr l = ParseAdditive();
        const Token& t = Cur();
        if (t.kind == TokKind::Op && (t.text == "=" || t.text == "<>" || t.text == "<" ||
                                      t.text == ">" || t.text == "<=" || t.text == ">=")) {
            std::string op = t.text;
            std::size_t pos = t.pos;
            Next();
            if (Kw("ANY") || Kw("ALL") || Kw("SOME"))
                Fail("comparison with " + Cur().text);
            return Binary(Kind::Compare, op, std::move(l), ParseAdditive(), pos);
        }
        bool negated = false;
        if (Kw("NOT") && (Kw("LIKE", 1) || Kw("IN", 1) || Kw("BETWEEN", 1))) {
            negated = true;
            Next();
        }
        if (Kw("LIKE")) {
            ExprPtr e = Make(Kind::Like);
            Next();
            e->negated = negated;
            e->args.push_back(std::move(l));
            e->args.push_back(ParseAdditive());
            if (AcceptKw("ESCAPE"))
                e->args.push_back(ParseAdditive());
            return e;
        }
        if (Kw("BETWEEN")) {
            ExprPtr e = Make(Kind::Between);
            Next();
            e->negated = negated;
            e->args.push_back(std::move(l));
            e->args.push_back(ParseAdditive());
            ExpectKw("AND");
            e->args.push_back(ParseAdditive());
            return e;
        }
        if (Kw("IN")) {
            ExprPtr e = Make(Kind::In);
            Next();
            e->negated = negated;
            e->args.push_back(std::move(l));
            ExpectOp("(");
            if (Kw("SELECT")) {
                e->sub = ParseSelect();
            } else {
                do
                    e->args.push_back(ParseExpr());
                while (AcceptOp(","));
            }
            ExpectOp(")");
            return e;
        }
        if (Kw("IS")) {
            ExprPtr e = Make(Kind::IsNull);
            Next();
            e->negated = AcceptKw("NOT");
            ExpectKw("NULL");
            e->args.push_back(std::move(l));
            return e;
        }
        return l;
    }

    ExprPtr ParseAdditive() {
        ExprPtr l = ParseMultiplicative();
        while (Op("+") || Op("-") || Op("||")) {
            std::string op = Cur().text;
            std::size_t pos = Cur().pos;
            Next();
            l = Binary(Kind::Binary, op, std::move(l), ParseMultiplicative(), pos);
        }
        return l;
    }

    ExprPtr ParseMultiplicative() {
        ExprPtr l = ParseUnary();
        while (Op("*") || Op("/")) {
            std::string op = Cur().text;
            std::size_t pos = Cur().pos;
            Next();
            l = Binary(Kind::Binary, op, std::move(l), ParseUnary(), pos);
        }
        return l;
    }

    ExprPtr ParseUnary() {
        if (Op("-") || Op("+")) {
            ExprPtr e = Make(Kind::Unary);
            e->op = Cur().text;
            Next();
            Nesting level(*this);
            e->args.push_back(ParseUnary());
            return e;
        }
        return ParsePrimary();
    }

    ExprPtr ParsePrimary() {
        const Token& t = Cur();
        switch (t.kind) {
        case TokKind::Number: {
            ExprPtr e = Make(Kind::Number);
            e->name = t.text;
            Next();
            return e;
        }
        case TokKind::Param: {
            ExprPtr e = Make(Kind::Param);
            e->index = t.number;
            params_ = std::max(params_, t.number + 1);
            Next();
            return e;
        }
        case TokKind::Bind: {
            if (t.number < 1)
                Fail("bind variable :" + std::to_string(t.number));
            ExprPtr e = Make(Kind::Bind);
            e->index = t.number;
            maxBind_ = std::max(maxBind_, t.number);
            Next();
            return e;
        }
        case TokKind::String: {
            ExprPtr e = Make(Kind::String);
            e->name = t.text;
            Next();
            return e;
        }
        case TokKind::OuterMark:
            Fail("(+) not after a column");
        case TokKind::Op:
            if (t.text == "(") {
                if (Kw("SELECT", 1)) {
                    ExprPtr e = Make(Kind::Subquery);
                    Next();
                    e->sub = ParseSelect();
                    ExpectOp(")");
                    return e;
                }
                Next();
                ExprPtr e = ParseExpr();
                if (Op(","))
                    Fail("row value");
                ExpectOp(")");
                return e;
            }
            Unexpected();
        case TokKind::Ident:
            if (t.text == "NULL") {
                ExprPtr e = Make(Kind::Null);
                Next();
                return e;
            }
            if (t.text == "CASE")
                return ParseCase();
            if (t.text == "CAST" && Op("(", 1))
                return ParseCast();
            if (t.text == "ROWNUM" || t.text == "SYSDATE") {
                ExprPtr e = Make(t.text == "ROWNUM" ? Kind::RowNum : Kind::SysDate);
                Next();
                return e;
            }
            if (IsReserved(t.text))
                Fail("unexpected keyword " + t.text);
            if (Op("(", 1))
                return ParseFunction();
            return ParseColumn();
        case TokKind::QIdent:
            return ParseColumn();
        default:
            Unexpected();
        }
    }

    ExprPtr ParseColumn() {
        ExprPtr e = Make(Kind::Column);
        e->name = Cur().text;
        e->quoted = Cur().kind == TokKind::QIdent;
        Next();
        if (AcceptOp(".")) {
            e->qual = std::move(e->name);
            e->qualQuoted = e->quoted;
            if (Cur().kind == TokKind::Ident &&
                (Cur().text == "NEXTVAL" || Cur().text == "CURRVAL")) {
                if (Cur().text == "CURRVAL")
                    Fail("CURRVAL");
                e->kind = Kind::NextVal;
                e->name = std::move(e->qual);
                e->qual.clear();
                Next();
                return e;
            }
            if (Cur().kind != TokKind::Ident && Cur().kind != TokKind::QIdent)
                Unexpected("column");
            e->name = Cur().text;
            e->quoted = Cur().kind == TokKind::QIdent;
            Next();
            if (Op("."))
                Fail("schema-qualified column");
        }
        if (Cur().kind == TokKind::OuterMark) {
            e->outer = true;
            Next();
        }
        return e;
    }

    ExprPtr ParseFunction() {
        ExprPtr e = Make(Kind::Func);
        e->name = Cur().text;
        Next();
        ExpectOp("(");
        if (AcceptOp("*")) {
            e->star = true;
        } else if (!Op(")")) {
            if (AcceptKw("DISTINCT") || AcceptKw("UNIQUE"))
                e->distinct = true;
            else
                AcceptKw("ALL");
            do
                e->args.push_back(ParseExpr());
            while (AcceptOp(","));
        }
        ExpectOp(")");
        if (Kw("OVER") || Kw("KEEP") || Kw("WITHIN"))
            Fail("analytic function");
        return e;
    }

    ExprPtr ParseCase() {
        ExprPtr e = Make(Kind::Case);
        Next();
        if (!Kw("WHEN")) {
            e->hasOperand = true;
            e->args.push_back(ParseExpr());
        }
        if (!Kw("WHEN"))
            Unexpected("WHEN");
        while (AcceptKw("WHEN")) {
            e->args.push_back(ParseExpr());
            ExpectKw("THEN");
            e->args.push_back(ParseExpr());
        }
        if (AcceptKw("ELSE")) {
            e->hasElse = true;
            e->args.push_back(ParseExpr());
        }
        ExpectKw("END");
        return e;
    }

    ExprPtr ParseCast() {
        ExprPtr e = Make(Kind::Cast);
        Next();
        ExpectOp("(");
        e->args.push_back(ParseExpr());
        ExpectKw("AS");
        if (Cur().kind != TokKind::Ident)
            Unexpected("type");
        e->name = Cur().text;
        Next();
        if (AcceptOp("(")) {
            do {
                if (Cur().kind != TokKind::Number)
                    Unexpected("type width");
                e->typeArgs.push_back(Cur().text);
                Next();
            } while (AcceptOp(","));
            ExpectOp(")");
        }
        ExpectOp(")");
        return e;
    }
};

} // namespace

ast::Statement Parse(const std::vector<Token>& tokens) {
    return Parser(tokens).ParseStatement();
}

} // namespace sqldialect::detail
