#include "Rewrite.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <set>
#include <string>

namespace sqldialect::detail {
namespace {

using namespace ast;

[[noreturn]] void Fail(const std::string& construct, std::size_t pos) {
    throw TranslateError(construct, pos);
}

// What a visitor wants next: the node's sub-expressions, not those, or nothing more.
enum class Next { Descend, Skip, Stop };

// Calls f on e and its sub-expressions, each before its own and left to right, but not on
// the queries nested in them. A loop, not recursion: a chain of thousands of terms nests
// as deep as it is long. E is Expr or const Expr.
template <class E, class F> void Visit(E& e, F&& f) {
    std::vector<E*> todo{&e};
    while (!todo.empty()) {
        E* x = todo.back();
        todo.pop_back();
        const Next next = f(*x);
        if (next == Next::Stop)
            return;
        if (next == Next::Skip)
            continue;
        for (auto a = x->args.rbegin(); a != x->args.rend(); ++a)
            todo.push_back(a->get());
    }
}

template <class E, class F> void Walk(E& e, F&& f) {
    Visit(e, [&](E& x) {
        f(x);
        return Next::Descend;
    });
}

template <class Match> const Expr* Find(const Expr& e, Match&& match) {
    const Expr* found = nullptr;
    Visit(e, [&](const Expr& x) {
        if (!match(x))
            return Next::Descend;
        found = &x;
        return Next::Stop;
    });
    return found;
}

const Expr* FindKind(const Expr& e, Kind k) {
    return Find(e, [k](const Expr& x) { return x.kind == k; });
}

const Expr* FindOuterMark(const Expr& e) {
    return Find(e, [](const Expr& x) { return x.kind == Kind::Column && x.outer; });
}

// The conditions of an AND chain, left to right.
void SplitAnd(ExprPtr e, std::vector<ExprPtr>& out) {
    std::vector<ExprPtr> todo;
    todo.push_back(std::move(e));
    while (!todo.empty()) {
        ExprPtr x = std::move(todo.back());
        todo.pop_back();
        if (!x)
            continue;
        if (x->kind == Kind::Binary && x->op == "AND") {
            todo.push_back(std::move(x->args[1]));
            todo.push_back(std::move(x->args[0]));
        } else {
            out.push_back(std::move(x));
        }
    }
}

ExprPtr JoinAnd(std::vector<ExprPtr>& parts) {
    ExprPtr result;
    for (auto& p : parts) {
        if (!p)
            continue;
        if (!result) {
            result = std::move(p);
            continue;
        }
        auto e = std::make_unique<Expr>();
        e->kind = Kind::Binary;
        e->op = "AND";
        e->pos = result->pos;
        e->args.push_back(std::move(result));
        e->args.push_back(std::move(p));
        result = std::move(e);
    }
    parts.clear();
    return result;
}

bool IsAggregate(const Expr& e) {
    if (e.kind != Kind::Func)
        return false;
    return e.name == "COUNT" || e.name == "SUM" || e.name == "MIN" || e.name == "MAX" ||
           e.name == "AVG";
}

bool IsConstant(const Expr& e) {
    switch (e.kind) {
    case Kind::Number:
    case Kind::Param:
    case Kind::String:
    case Kind::Null:
    case Kind::Bind:
        return true;
    default:
        return false;
    }
}

void RewriteSelect(Select& s);

// Rewrites the queries nested anywhere in e.
void RewriteNested(Expr& e) {
    Walk(e, [](Expr& x) {
        if (x.sub)
            RewriteSelect(*x.sub);
    });
}

// Refuses ROWNUM and (+) where the rewrite does not take them out.
void CheckLeftovers(const Expr& e, const char* where) {
    if (const Expr* r = FindKind(e, Kind::RowNum))
        Fail(std::string("ROWNUM in ") + where, r->pos);
    if (const Expr* m = FindOuterMark(e))
        Fail(std::string("(+) in ") + where, m->pos);
}

int FindFromItem(const Block& b, const std::string& name) {
    for (std::size_t i = 0; i < b.from.size(); ++i)
        if (b.from[i].RefName() == name)
            return static_cast<int>(i);
    return -1;
}

// ---- outer joins

struct OuterCondition {
    int table = -1;     // the FROM item marked (+)
    std::set<int> deps; // FROM items it is joined to
};

// Classifies one WHERE conjunct that holds (+).
OuterCondition ClassifyOuter(const Block& b, const Expr& c) {
    switch (c.kind) {
    case Kind::Compare:
    case Kind::Like:
    case Kind::Between:
    case Kind::IsNull:
        break;
    case Kind::Binary:
        if (c.op == "OR")
            Fail("(+) under OR", c.pos);
        Fail("(+) in an expression", c.pos);
    case Kind::Unary:
        Fail("(+) under " + c.op, c.pos);
    case Kind::In:
        Fail("(+) with IN", c.pos);
    default:
        Fail("(+) in this condition", c.pos);
    }
    OuterCondition oc;
    Walk(c, [&](const Expr& e) {
        if (e.sub)
            Fail("sub-query in an outer join condition", e.pos);
        if ((e.kind == Kind::Binary && (e.op == "AND" || e.op == "OR")) ||
            (e.kind == Kind::Unary && e.op == "NOT"))
            Fail("(+) in a compound condition", e.pos);
        if (e.kind != Kind::Column)
            return;
        if (e.qual.empty())
            Fail(e.outer ? "(+) on an unqualified column" : "unqualified column next to (+)",
                 e.pos);
        int item = FindFromItem(b, e.qual);
        if (e.outer) {
            if (item < 0)
                Fail("(+) on a table not in FROM", e.pos);
            if (oc.table >= 0 && oc.table != item)
                Fail("(+) on two tables in one condition", e.pos);
            oc.table = item;
        } else if (item >= 0) {
            oc.deps.insert(item); // a name not in FROM belongs to an enclosing query
        }
    });
    if (oc.deps.count(oc.table))
        Fail("outer-joined table on both sides of (+)", c.pos);
    return oc;
}

void ClearMarks(Expr& e) {
    Walk(e, [](Expr& x) { x.outer = false; });
}

// A bare * lists the columns of the tables in the order the FROM list names them. When
// the joins are about to be reordered, it becomes one qualified * per table in that
// order, so the columns come out as written. A sub-select without a name cannot be
// qualified: the * is then left as it is.
void ExpandStarInFromOrder(Block& b, const std::vector<int>& order) {
    bool reordered = false;
    for (std::size_t i = 0; i < order.size(); ++i)
        reordered = reordered || order[i] != static_cast<int>(i);
    if (!reordered)
        return;
    for (const FromItem& f : b.from)
        if (f.RefName().empty())
            return;
    std::vector<SelectItem> items;
    for (SelectItem& item : b.items) {
        if (item.expr->kind != Kind::Star || !item.expr->qual.empty()) {
            items.push_back(std::move(item));
            continue;
        }
        for (const FromItem& f : b.from) {
            SelectItem one;
            one.expr = std::make_unique<Expr>();
            one.expr->kind = Kind::Star;
            one.expr->pos = item.expr->pos;
            one.expr->qual = f.RefName();
            one.expr->qualQuoted = f.alias.empty() ? f.tableQuoted : f.aliasQuoted;
            items.push_back(std::move(one));
        }
    }
    b.items = std::move(items);
}

void RewriteOuterJoins(Block& b) {
    std::vector<ExprPtr> conj;
    SplitAnd(std::move(b.where), conj);
    std::vector<OuterCondition> info(conj.size());
    bool any = false;
    for (std::size_t i = 0; i < conj.size(); ++i) {
        if (FindOuterMark(*conj[i])) {
            info[i] = ClassifyOuter(b, *conj[i]);
            any = true;
        }
    }
    if (!any) {
        b.where = JoinAnd(conj);
        return;
    }
    const int n = static_cast<int>(b.from.size());
    std::vector<std::set<int>> deps(n);
    std::vector<bool> outer(n, false);
    for (const auto& oc : info) {
        if (oc.table < 0)
            continue;
        outer[oc.table] = true;
        deps[oc.table].insert(oc.deps.begin(), oc.deps.end());
    }
    // A table tied by (+) to constants only is joined to nothing: its conditions are
    // plain filters, as Oracle treats them.
    for (int t = 0; t < n; ++t)
        if (outer[t] && deps[t].empty())
            outer[t] = false;

    std::vector<std::vector<ExprPtr>> on(n);
    std::vector<ExprPtr> rest;
    for (std::size_t i = 0; i < conj.size(); ++i) {
        int t = info[i].table;
        if (t >= 0)
            ClearMarks(*conj[i]);
        if (t >= 0 && outer[t])
            on[t].push_back(std::move(conj[i]));
        else
            rest.push_back(std::move(conj[i]));
    }

    // Each outer table comes after every table its conditions name; the others keep
    // their order.
    std::vector<int> order;
    std::vector<bool> placed(n, false);
    while (static_cast<int>(order.size()) < n) {
        int pick = -1;
        for (int t = 0; t < n && pick < 0; ++t) {
            if (placed[t])
                continue;
            bool ready = true;
            if (outer[t])
                for (int d : deps[t])
                    ready = ready && placed[d];
            if (ready)
                pick = t;
        }
        if (pick < 0) {
            for (int t = 0; t < n; ++t)
                if (!placed[t])
                    Fail("circular outer join", b.from[t].pos);
        }
        placed[pick] = true;
        order.push_back(pick);
    }
    if (outer[order.front()])
        Fail("outer join without a preserved table", b.from[order.front()].pos);
    ExpandStarInFromOrder(b, order);
    std::vector<FromItem> from;
    from.reserve(n);
    for (int t : order) {
        FromItem item = std::move(b.from[t]);
        if (outer[t]) {
            item.left = true;
            item.on = JoinAnd(on[t]);
        }
        from.push_back(std::move(item));
    }
    b.from = std::move(from);
    b.where = JoinAnd(rest);
}

// ---- ROWNUM

// The row limit of "ROWNUM op n" (n op ROWNUM mirrored), or -2 when c is not one.
long long LimitOf(const Expr& c) {
    if (c.kind != Kind::Compare)
        return -2;
    const Expr* num;
    std::string op = c.op;
    if (c.args[0]->kind == Kind::RowNum && c.args[1]->kind == Kind::Number) {
        num = c.args[1].get();
    } else if (c.args[1]->kind == Kind::RowNum && c.args[0]->kind == Kind::Number) {
        num = c.args[0].get();
        if (op == "<" || op == ">")
            op = op == "<" ? ">" : "<";
        else if (op == "<=" || op == ">=")
            op = op == "<=" ? ">=" : "<=";
    } else {
        return -2;
    }
    double v = std::strtod(num->name.c_str(), nullptr);
    if (op == "<")
        return std::max(0LL, static_cast<long long>(std::ceil(v)) - 1);
    if (op == "<=")
        return std::max(0LL, static_cast<long long>(std::floor(v)));
    if (op == "=")
        return v == 1.0 ? 1 : 0;
    return -2;
}

SelectPtr SelectOf(std::unique_ptr<Block> b) {
    auto s = std::make_unique<Select>();
    s->pos = b->pos;
    Term t;
    t.block = std::move(b);
    s->terms.push_back(std::move(t));
    return s;
}

ExprPtr InnerColumn(int n, std::size_t pos) {
    auto c = std::make_unique<Expr>();
    c->kind = Kind::Column;
    c->name = "tvl_" + std::to_string(n);
    c->quoted = true;
    c->pos = pos;
    return c;
}

// SELECT agg(x) FROM ... WHERE ... AND ROWNUM < n: the aggregate runs over the first
// rows only, so the rows are limited in a sub-select and aggregated outside it.
void WrapAggregate(Block& b) {
    auto inner = std::make_unique<Block>();
    inner->pos = b.pos;
    inner->from = std::move(b.from);
    inner->where = std::move(b.where);
    inner->limit = b.limit;
    int columns = 0;
    for (auto& item : b.items) {
        Visit(*item.expr, [&](Expr& e) {
            if (IsAggregate(e)) {
                bool constant = std::all_of(e.args.begin(), e.args.end(),
                                            [](const ExprPtr& a) { return IsConstant(*a); });
                if (!constant) {
                    for (auto& a : e.args) {
                        SelectItem si;
                        si.alias = "tvl_" + std::to_string(++columns);
                        si.aliasQuoted = true;
                        std::size_t pos = a->pos;
                        si.expr = std::move(a);
                        a = InnerColumn(columns, pos);
                        inner->items.push_back(std::move(si));
                    }
                }
                return Next::Skip;
            }
            if (e.kind == Kind::Column)
                Fail("ROWNUM with a column outside the aggregate", e.pos);
            return Next::Descend;
        });
    }
    if (inner->items.empty()) {
        SelectItem one;
        one.expr = std::make_unique<Expr>();
        one.expr->kind = Kind::Number;
        one.expr->name = "1";
        inner->items.push_back(std::move(one));
    }
    FromItem f;
    f.pos = b.pos;
    f.sub = SelectOf(std::move(inner));
    b.from.clear();
    b.from.push_back(std::move(f));
    b.where = nullptr;
    b.limit = -1;
}

// A limited member of a compound query: SQLite and PostgreSQL take LIMIT only at the end
// of the whole compound, so the member becomes SELECT * FROM (member LIMIT n).
std::unique_ptr<Block> WrapMember(std::unique_ptr<Block> b) {
    auto outer = std::make_unique<Block>();
    outer->pos = b->pos;
    SelectItem star;
    star.expr = std::make_unique<Expr>();
    star.expr->kind = Kind::Star;
    outer->items.push_back(std::move(star));
    FromItem f;
    f.pos = b->pos;
    f.sub = SelectOf(std::move(b));
    outer->from.push_back(std::move(f));
    return outer;
}

void RewriteRownum(std::unique_ptr<Block>& bp, bool compoundMember, bool ordered) {
    Block& b = *bp;
    std::vector<ExprPtr> conj;
    SplitAnd(std::move(b.where), conj);
    std::vector<ExprPtr> rest;
    for (auto& c : conj) {
        long long limit = LimitOf(*c);
        if (limit >= -1) {
            b.limit = b.limit < 0 ? limit : std::min(b.limit, limit);
            continue;
        }
        CheckLeftovers(*c, "this condition");
        rest.push_back(std::move(c));
    }
    b.where = JoinAnd(rest);
    for (const auto& item : b.items)
        CheckLeftovers(*item.expr, "the select list");
    for (const auto& g : b.groupBy)
        CheckLeftovers(*g, "GROUP BY");
    if (b.having)
        CheckLeftovers(*b.having, "HAVING");
    for (const auto& f : b.from)
        if (f.on)
            CheckLeftovers(*f.on, "a join condition");
    if (b.limit < 0)
        return;
    if (!b.groupBy.empty() || b.having || b.distinct)
        Fail("ROWNUM with GROUP BY or DISTINCT", b.pos);
    bool aggregate = false;
    for (const auto& item : b.items)
        Walk(*item.expr, [&](const Expr& e) { aggregate = aggregate || IsAggregate(e); });
    if (aggregate) {
        WrapAggregate(b);
        return;
    }
    if (ordered)
        Fail("ROWNUM with ORDER BY", b.pos);
    if (compoundMember)
        bp = WrapMember(std::move(bp));
}

void RewriteBlock(std::unique_ptr<Block>& bp, bool compoundMember, bool ordered) {
    Block& b = *bp;
    for (auto& f : b.from)
        if (f.sub)
            RewriteSelect(*f.sub);
    for (auto& item : b.items)
        RewriteNested(*item.expr);
    if (b.where)
        RewriteNested(*b.where);
    for (auto& g : b.groupBy)
        RewriteNested(*g);
    if (b.having)
        RewriteNested(*b.having);

    RewriteOuterJoins(b);
    b.from.erase(std::remove_if(b.from.begin(), b.from.end(),
                                [](const FromItem& f) {
                                    return !f.sub && !f.tableQuoted && f.table == "DUAL" && !f.left;
                                }),
                 b.from.end());
    RewriteRownum(bp, compoundMember, ordered);
}

void RewriteSelect(Select& s) {
    for (auto& o : s.orderBy) {
        RewriteNested(*o.expr);
        CheckLeftovers(*o.expr, "ORDER BY");
    }
    bool compound = s.terms.size() > 1;
    for (auto& t : s.terms) {
        if (t.block)
            RewriteBlock(t.block, compound, !compound && !s.orderBy.empty());
        else
            RewriteSelect(*t.nested);
    }
}

// ---- UPDATE / DELETE targets

void StripInSelect(Select& s, const std::string& alias);

void StripQualifier(Expr& e, const std::string& alias) {
    Walk(e, [&](Expr& x) {
        if ((x.kind == Kind::Column || x.kind == Kind::Star) && x.qual == alias)
            x.qual.clear();
        if (x.sub)
            StripInSelect(*x.sub, alias);
    });
}

void StripInSelect(Select& s, const std::string& alias) {
    for (auto& t : s.terms) {
        if (t.nested) {
            StripInSelect(*t.nested, alias);
            continue;
        }
        Block& b = *t.block;
        if (FindFromItem(b, alias) >= 0)
            continue; // the name means a table of the sub-query here
        for (auto& item : b.items)
            StripQualifier(*item.expr, alias);
        if (b.where)
            StripQualifier(*b.where, alias);
        for (auto& g : b.groupBy)
            StripQualifier(*g, alias);
        if (b.having)
            StripQualifier(*b.having, alias);
    }
}

void RewriteTarget(Statement& st) {
    for (auto& a : st.set) {
        RewriteNested(*a.value);
        CheckLeftovers(*a.value, "SET");
    }
    if (st.where) {
        RewriteNested(*st.where);
        CheckLeftovers(*st.where, "UPDATE or DELETE");
    }
    if (st.alias.empty())
        return;
    for (auto& a : st.set)
        StripQualifier(*a.value, st.alias);
    if (st.where)
        StripQualifier(*st.where, st.alias);
    st.alias.clear();
}

// ---- literal conversions

class Converter {
public:
    Converter(const SchemaHints& hints, std::size_t n) : hints_(hints), conv_(n) {}

    std::vector<Conversion> Take() { return std::move(conv_); }

    void MarkDate(const Expr& e) {
        switch (e.kind) {
        case Kind::Param:
            if (e.index >= 0 && static_cast<std::size_t>(e.index) < conv_.size())
                conv_[e.index] = Conversion::MdyDate;
            break;
        case Kind::Case: {
            std::size_t first = e.hasOperand ? 1 : 0;
            for (std::size_t i = first + 1; i < e.args.size(); i += 2)
                MarkDate(*e.args[i]);
            if (e.hasElse)
                MarkDate(*e.args.back());
            break;
        }
        case Kind::Func:
            if (e.name == "NVL" || e.name == "COALESCE" || e.name == "NULLIF" ||
                e.name == "GREATEST" || e.name == "LEAST") {
                for (const auto& a : e.args)
                    MarkDate(*a);
            } else if (e.name == "NVL2") {
                for (std::size_t i = 1; i < e.args.size(); ++i)
                    MarkDate(*e.args[i]);
            } else if (e.name == "DECODE") {
                for (std::size_t i = 2; i < e.args.size(); i += 2)
                    MarkDate(*e.args[i]);
                if (e.args.size() >= 4 && e.args.size() % 2 == 0)
                    MarkDate(*e.args.back());
            }
            break;
        default:
            break;
        }
    }

    void Visit(const Expr& root) {
        Walk(root, [this](const Expr& e) { VisitOne(e); });
    }

    void VisitOne(const Expr& e) {
        switch (e.kind) {
        case Kind::Compare:
            if (IsDate(*e.args[0], hints_))
                MarkDate(*e.args[1]);
            if (IsDate(*e.args[1], hints_))
                MarkDate(*e.args[0]);
            break;
        case Kind::Between:
            if (IsDate(*e.args[0], hints_)) {
                MarkDate(*e.args[1]);
                MarkDate(*e.args[2]);
            }
            break;
        case Kind::In:
            if (IsDate(*e.args[0], hints_))
                for (std::size_t i = 1; i < e.args.size(); ++i)
                    MarkDate(*e.args[i]);
            break;
        case Kind::Func:
            if (e.name == "TO_DATE" && e.args.size() == 1)
                MarkDate(*e.args[0]);
            break;
        case Kind::Cast:
            if (e.name == "DATE")
                MarkDate(*e.args[0]);
            break;
        default:
            break;
        }
        if (e.sub)
            VisitSelect(*e.sub);
    }

    void VisitSelect(const Select& s) {
        for (const auto& t : s.terms) {
            if (t.nested) {
                VisitSelect(*t.nested);
                continue;
            }
            const Block& b = *t.block;
            for (const auto& item : b.items)
                Visit(*item.expr);
            for (const auto& f : b.from) {
                if (f.sub)
                    VisitSelect(*f.sub);
                if (f.on)
                    Visit(*f.on);
            }
            if (b.where)
                Visit(*b.where);
            for (const auto& g : b.groupBy)
                Visit(*g);
            if (b.having)
                Visit(*b.having);
        }
        for (const auto& o : s.orderBy)
            Visit(*o.expr);
    }

    bool IsDateColumn(const std::string& name) const { return hints_.dateColumns.count(name); }

private:
    const SchemaHints& hints_;
    std::vector<Conversion> conv_;
};

const Expr* FirstItem(const Select& s) {
    const Term& t = s.terms.front();
    if (t.nested)
        return FirstItem(*t.nested);
    if (t.block->items.size() != 1)
        return nullptr;
    return t.block->items.front().expr.get();
}

} // namespace

void Rewrite(Statement& st) {
    switch (st.type) {
    case Statement::Type::Select:
        RewriteSelect(*st.select);
        break;
    case Statement::Type::Insert:
        if (st.select)
            RewriteSelect(*st.select);
        for (auto& v : st.values) {
            RewriteNested(*v);
            CheckLeftovers(*v, "VALUES");
        }
        break;
    case Statement::Type::Update:
    case Statement::Type::Delete:
        RewriteTarget(st);
        break;
    }
}

std::vector<Conversion> LiteralConversions(const Statement& st, const SchemaHints& hints) {
    Converter c(hints, static_cast<std::size_t>(st.literalCount));
    if (st.select)
        c.VisitSelect(*st.select);
    for (std::size_t i = 0; i < st.values.size(); ++i) {
        c.Visit(*st.values[i]);
        if (i < st.columns.size() && c.IsDateColumn(st.columns[i].first))
            c.MarkDate(*st.values[i]);
    }
    if (st.select && !st.columns.empty()) {
        // INSERT ... SELECT: the select list lines up with the column list.
        const Term& t = st.select->terms.front();
        if (t.block)
            for (std::size_t i = 0; i < t.block->items.size() && i < st.columns.size(); ++i)
                if (c.IsDateColumn(st.columns[i].first))
                    c.MarkDate(*t.block->items[i].expr);
    }
    for (const auto& a : st.set) {
        c.Visit(*a.value);
        if (c.IsDateColumn(a.column))
            c.MarkDate(*a.value);
    }
    if (st.where)
        c.Visit(*st.where);
    return c.Take();
}

namespace {

bool ExprIsDate(const Expr& e, const SchemaHints& hints, DateMemo* memo) {
    auto any = [&](std::size_t from, std::size_t step) {
        for (std::size_t i = from; i < e.args.size(); i += step)
            if (IsDate(*e.args[i], hints, memo))
                return true;
        return false;
    };
    switch (e.kind) {
    case Kind::Column:
        return hints.dateColumns.count(e.name) != 0;
    case Kind::SysDate:
        return true;
    case Kind::Cast:
        return e.name == "DATE";
    case Kind::Case: {
        std::size_t first = e.hasOperand ? 1 : 0;
        return any(first + 1, 2) || (e.hasElse && IsDate(*e.args.back(), hints, memo));
    }
    case Kind::Func:
        if (e.name == "TO_DATE")
            return true;
        if (e.name == "TRUNC" || e.name == "NVL" || e.name == "COALESCE" || e.name == "NULLIF" ||
            e.name == "GREATEST" || e.name == "LEAST" || e.name == "MIN" || e.name == "MAX")
            return !e.args.empty() && any(0, 1);
        if (e.name == "NVL2")
            return any(1, 1);
        if (e.name == "DECODE")
            return any(2, 2) || (e.args.size() >= 4 && e.args.size() % 2 == 0 &&
                                 IsDate(*e.args.back(), hints, memo));
        return false;
    case Kind::Binary:
        if (e.op == "+")
            return IsDate(*e.args[0], hints, memo) != IsDate(*e.args[1], hints, memo);
        if (e.op == "-")
            return IsDate(*e.args[0], hints, memo) && !IsDate(*e.args[1], hints, memo);
        return false;
    case Kind::Subquery: {
        const Expr* item = e.sub ? FirstItem(*e.sub) : nullptr;
        return item && IsDate(*item, hints, memo);
    }
    default:
        return false;
    }
}

} // namespace

bool IsDate(const Expr& e, const SchemaHints& hints, DateMemo* memo) {
    if (memo) {
        if (auto known = memo->find(&e); known != memo->end())
            return known->second;
    }
    // A long chain of + and - (thousands of terms) nests to the left: walk its spine in a
    // loop, so that the stack does not grow with the number of terms.
    const auto isChainLink = [](const Expr& x) {
        return x.kind == Kind::Binary && (x.op == "+" || x.op == "-") && x.args.size() == 2;
    };
    if (isChainLink(e) && isChainLink(*e.args[0])) {
        std::vector<const Expr*> spine;
        const Expr* at = &e;
        while (isChainLink(*at) && !(memo && memo->count(at))) {
            spine.push_back(at);
            at = at->args[0].get();
        }
        bool date = IsDate(*at, hints, memo);
        for (auto it = spine.rbegin(); it != spine.rend(); ++it) {
            const bool right = IsDate(*(*it)->args[1], hints, memo);
            date = (*it)->op == "+" ? date != right : date && !right;
            if (memo)
                memo->emplace(*it, date);
        }
        return date;
    }
    const bool date = ExprIsDate(e, hints, memo);
    if (memo)
        memo->emplace(&e, date);
    return date;
}

} // namespace sqldialect::detail
