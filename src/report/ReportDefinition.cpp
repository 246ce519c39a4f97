#include "ReportDefinition.h"

#include "ReportTexts.h"

#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace tavel::report {

int QueryDef::FieldIndex(std::string_view field) const {
    for (std::size_t i = 0; i < fields.size(); ++i)
        if (fields[i] == field)
            return static_cast<int>(i);
    return -1;
}

const QueryDef* ReportDefinition::FindQuery(std::string_view name) const {
    for (const QueryDef& q : queries)
        if (q.name == name)
            return &q;
    return nullptr;
}

const FormulaDef* ReportDefinition::FindFormula(std::string_view name) const {
    for (const FormulaDef& f : formulas)
        if (f.name == name)
            return &f;
    return nullptr;
}

std::string FormatParseError(const std::string& source, const ParseError& error) {
    return ReportText(kMsgDefinitionLine, {source, std::to_string(error.line), error.message});
}

namespace {

struct Token {
    std::string text;
    bool quoted = false;
};

std::string_view Trim(std::string_view s) {
    while (!s.empty() && std::isspace(static_cast<unsigned char>(s.front())))
        s.remove_prefix(1);
    while (!s.empty() && std::isspace(static_cast<unsigned char>(s.back())))
        s.remove_suffix(1);
    return s;
}

// Splits a line into words and "quoted texts" (\" and \\ escape inside quotes). False
// when a quote is not closed.
bool Tokenize(std::string_view line, std::vector<Token>& tokens) {
    std::size_t i = 0;
    while (i < line.size()) {
        if (std::isspace(static_cast<unsigned char>(line[i]))) {
            ++i;
            continue;
        }
        Token t;
        if (line[i] == '"') {
            t.quoted = true;
            ++i;
            bool closed = false;
            while (i < line.size()) {
                const char c = line[i++];
                if (c == '\\' && i < line.size()) {
                    t.text += line[i++];
                } else if (c == '"') {
                    closed = true;
                    break;
                } else {
                    t.text += c;
                }
            }
            if (!closed)
                return false;
        } else {
            while (i < line.size() && !std::isspace(static_cast<unsigned char>(line[i])))
                t.text += line[i++];
        }
        tokens.push_back(std::move(t));
    }
    return true;
}

bool ParseInt(const std::string& s, int& out) {
    const char* end = s.data() + s.size();
    auto [p, ec] = std::from_chars(s.data(), end, out);
    return ec == std::errc() && p == end;
}

} // namespace

bool ParseFormat(const std::string& s, NumberFormat& f) {
    if (s == "text") {
        f = {NumberFormat::Text, 0};
    } else if (s == "qty") {
        f = {NumberFormat::Quantity, 0};
    } else if (s == "date") {
        f = {NumberFormat::Date, 0};
    } else if (s == "0") {
        f = {NumberFormat::Fixed, 0};
    } else if (s.size() >= 3 && s.size() <= 6 && s.compare(0, 2, "0.") == 0 &&
               s.find_first_not_of('0', 2) == std::string::npos) {
        f = {NumberFormat::Fixed, static_cast<int>(s.size() - 2)};
    } else {
        return false;
    }
    return true;
}

namespace {

class Parser {
public:
    explicit Parser(ParseResult& result) : r_(result), def_(result.definition) {}

    void Run(std::string_view text) {
        int lineNo = 0;
        std::size_t pos = 0;
        while (pos <= text.size()) {
            std::size_t eol = text.find('\n', pos);
            if (eol == std::string_view::npos)
                eol = text.size();
            std::string_view line = text.substr(pos, eol - pos);
            pos = eol + 1;
            ++lineNo;
            if (!Line(lineNo, line))
                return;
            if (eol == text.size())
                break;
        }
        if (lineNo == 0 || def_.version == 0) {
            Error(1, ReportText(kMsgBadVersion));
            return;
        }
        if (block_ != Block::None)
            Error(blockLine_, ReportText(kMsgUnclosedBlock, {blockName_}));
    }

private:
    enum class Block { None, Query, Header, Detail };

    void Error(int line, std::string message) {
        r_.errors.push_back(ParseError{line, std::move(message)});
    }

    // False stops the parse (a file of another format says nothing more worth reading).
    bool Line(int no, std::string_view raw) {
        std::string_view line = Trim(raw);
        if (no == 1) {
            std::vector<Token> t;
            int v = 0;
            if (!Tokenize(line, t) || t.size() != 2 || t[0].text != kVersionTag ||
                !ParseInt(t[1].text, v) || v != kDefinitionVersion) {
                Error(1, ReportText(kMsgBadVersion));
                return false;
            }
            def_.version = v;
            return true;
        }
        if (line.empty() || line.front() == '#')
            return true;
        if (block_ == Block::Query && QueryLine(no, line))
            return true;
        std::vector<Token> t;
        if (!Tokenize(line, t)) {
            Error(no, ReportText(kMsgExpected, {"\""}));
            return true;
        }
        if (t.empty())
            return true;
        const std::string& kw = t[0].quoted ? std::string() : t[0].text;
        if (kw == "end") {
            if (block_ == Block::None)
                Error(no, ReportText(kMsgStrayEnd));
            else
                CloseBlock();
            return true;
        }
        switch (block_) {
        case Block::None:
            TopLine(no, kw, t);
            break;
        case Block::Header:
            HeaderLine(no, kw, t);
            break;
        case Block::Detail:
            DetailLine(no, kw, t);
            break;
        case Block::Query:
            break;
        }
        return true;
    }

    void CloseBlock() {
        if (block_ == Block::Query) {
            QueryDef& q = def_.queries.back();
            if (q.fields.empty() || Trim(q.sql).empty())
                Error(blockLine_, ReportText(kMsgQueryIncomplete, {q.name}));
        }
        block_ = Block::None;
    }

    void Open(Block b, int no, const std::string& name) {
        block_ = b;
        blockLine_ = no;
        blockName_ = name;
    }

    // Takes "when NAME = VALUE [and NAME != VALUE]..." off the end of the tokens.
    bool TakeCondition(int no, std::vector<Token>& t, std::vector<Condition>& conditions) {
        for (std::size_t i = 1; i < t.size(); ++i) {
            if (t[i].quoted || t[i].text != "when")
                continue;
            for (std::size_t at = i + 1;; at += 4) {
                if (t.size() < at + 3 || t[at + 1].quoted ||
                    (t[at + 1].text != "=" && t[at + 1].text != "!=") ||
                    (t.size() > at + 3 && (t[at + 3].quoted || t[at + 3].text != "and"))) {
                    Error(no, ReportText(kMsgExpected, {"when FORMULA = VALUE"}));
                    return false;
                }
                Condition c;
                c.active = true;
                c.formula = t[at].text;
                c.equal = t[at + 1].text == "=";
                c.value = t[at + 2].text;
                if (!def_.FindFormula(c.formula))
                    Error(no, ReportText(kMsgUnknownFormula, {c.formula}));
                conditions.push_back(std::move(c));
                if (t.size() == at + 3)
                    break;
            }
            t.resize(i);
            return true;
        }
        return true;
    }

    void TopLine(int no, const std::string& kw, std::vector<Token>& t) {
        if (kw == "title") {
            if (t.size() != 2 || !t[1].quoted)
                return Error(no, ReportText(kMsgExpected, {"title \"TEXT\""}));
            def_.title = t[1].text;
        } else if (kw == "page") {
            PageLine(no, t);
        } else if (kw == "font") {
            int pt = 0;
            if (t.size() != 2 || !ParseInt(t[1].text, pt) || pt < 5 || pt > 24)
                return Error(no, ReportText(kMsgExpected, {"font POINTS (5-24)"}));
            def_.fontPoints = pt;
        } else if (kw == "formula") {
            FormulaLine(no, t);
        } else if (kw == "params") {
            int n = -1;
            if (t.size() != 2 || !ParseInt(t[1].text, n) || n < 0 || n > 32)
                return Error(no, ReportText(kMsgExpected, {"params COUNT"}));
            def_.params = n;
        } else if (kw == "query") {
            if (t.size() != 2 || t[1].quoted || t[1].text.find('.') != std::string::npos)
                return Error(no, ReportText(kMsgExpected, {"query NAME"}));
            if (def_.FindQuery(t[1].text))
                Error(no, ReportText(kMsgDuplicateName, {t[1].text}));
            QueryDef q;
            q.name = t[1].text;
            q.line = no;
            def_.queries.push_back(std::move(q));
            Open(Block::Query, no, "query");
        } else if (kw == "text") {
            Element e;
            e.kind = ElementKind::Text;
            e.line = no;
            if (!TakeCondition(no, t, e.when))
                return;
            std::size_t at = 1;
            if (t.size() == 3 && !t[1].quoted) {
                static const std::pair<const char*, TextStyle> styles[] = {
                    {"title", TextStyle::Title},
                    {"heading", TextStyle::Heading},
                    {"normal", TextStyle::Normal},
                    {"small", TextStyle::Small},
                    {"bold", TextStyle::Bold}};
                bool found = false;
                for (const auto& [name, style] : styles)
                    if (t[1].text == name) {
                        e.style = style;
                        found = true;
                    }
                if (!found)
                    return Error(no, ReportText(kMsgUnknownKeyword, {t[1].text}));
                at = 2;
            }
            if (t.size() != at + 1 || !t[at].quoted)
                return Error(no, ReportText(kMsgExpected, {"text [STYLE] \"TEXT\""}));
            e.text = t[at].text;
            CheckPlaceholders(no, e.text, true, nullptr);
            def_.elements.push_back(std::move(e));
        } else if (kw == "rule") {
            Element e;
            e.kind = ElementKind::Rule;
            e.line = no;
            if (!TakeCondition(no, t, e.when))
                return;
            if (t.size() != 1)
                return Error(no, ReportText(kMsgExpected, {"rule"}));
            def_.elements.push_back(std::move(e));
        } else if (kw == "header" || kw == "detail") {
            Element e;
            e.kind = kw == "header" ? ElementKind::Header : ElementKind::Detail;
            e.line = no;
            // The block is opened even when its line is wrong, so that its "end" matches.
            Open(kw == "header" ? Block::Header : Block::Detail, no, kw);
            TakeCondition(no, t, e.when);
            if (t.size() != 2 || t[1].quoted)
                Error(no, ReportText(kMsgExpected, {kw + " QUERY"}));
            else if (!def_.FindQuery(t[1].text))
                Error(no, ReportText(kMsgUnknownQuery, {t[1].text}));
            if (t.size() >= 2)
                e.query = t[1].text;
            def_.elements.push_back(std::move(e));
        } else {
            Error(no, ReportText(kMsgUnknownKeyword, {t[0].text}));
        }
    }

    void PageLine(int no, const std::vector<Token>& t) {
        PageSetup p;
        for (std::size_t i = 1; i < t.size(); ++i) {
            const std::string& w = t[i].text;
            if (w == "letter")
                p.size = PageSize::Letter;
            else if (w == "a4")
                p.size = PageSize::A4;
            else if (w == "legal")
                p.size = PageSize::Legal;
            else if (w == "portrait")
                p.landscape = false;
            else if (w == "landscape")
                p.landscape = true;
            else if (w == "margin" && i + 1 < t.size()) {
                int mm = 0;
                if (!ParseInt(t[++i].text, mm) || mm < 0 || mm > 60)
                    return Error(no, ReportText(kMsgExpected, {"margin MILLIMETRES (0-60)"}));
                p.marginMm = mm;
            } else {
                return Error(no, ReportText(kMsgUnknownKeyword, {w}));
            }
        }
        def_.page = p;
    }

    void FormulaLine(int no, const std::vector<Token>& t) {
        if ((t.size() != 2 && t.size() != 4) || t[1].quoted ||
            (t.size() == 4 && (t[2].text != "default" || t[2].quoted)))
            return Error(no, ReportText(kMsgExpected, {"formula NAME [default \"VALUE\"]"}));
        if (def_.FindFormula(t[1].text))
            return Error(no, ReportText(kMsgDuplicateName, {t[1].text}));
        FormulaDef f;
        f.name = t[1].text;
        if (t.size() == 4) {
            f.hasDefault = true;
            f.defaultValue = t[3].text;
        }
        def_.formulas.push_back(std::move(f));
    }

    // False when the line is not part of the query (its "end" was forgotten).
    bool QueryLine(int no, std::string_view line) {
        QueryDef& q = def_.queries.back();
        if (line == "end") {
            CloseBlock();
            return true;
        }
        // SQL never starts with a layout keyword: the query was not closed.
        static const char* const kTopKeywords[] = {"query",   "text",  "header", "detail", "rule",
                                                   "formula", "title", "page",   "params", "font"};
        const std::string_view first = line.substr(0, line.find_first_of(" \t"));
        for (const char* kw : kTopKeywords) {
            if (first == kw) {
                Error(blockLine_, ReportText(kMsgUnclosedBlock, {blockName_}));
                CloseBlock();
                return false;
            }
        }
        if (line.substr(0, 7) == "fields " || line == "fields") {
            std::vector<Token> t;
            Tokenize(line, t);
            for (std::size_t i = 1; i < t.size(); ++i) {
                if (q.FieldIndex(t[i].text) >= 0)
                    Error(no, ReportText(kMsgDuplicateName, {t[i].text}));
                q.fields.push_back(t[i].text);
            }
            return true;
        }
        CheckPlaceholders(no, std::string(line), false, nullptr);
        if (!q.sql.empty())
            q.sql += ' ';
        q.sql += line;
        return true;
    }

    const QueryDef* CurrentQuery() const {
        return def_.elements.empty() ? nullptr : def_.FindQuery(def_.elements.back().query);
    }

    // A field of the block's query; reports an unknown one.
    bool CheckField(int no, const std::string& field) {
        const QueryDef* q = CurrentQuery();
        if (!q)
            return false; // already reported on the block's line
        if (q->FieldIndex(field) < 0) {
            Error(no, ReportText(kMsgUnknownField, {q->name + "." + field}));
            return false;
        }
        return true;
    }

    // Options after "column ... FIELD" or "field ... FIELD": width, alignment, format, total.
    bool ColumnOptions(int no, const std::vector<Token>& t, std::size_t from, ColumnDef& c,
                       bool columnOptions) {
        for (std::size_t i = from; i < t.size(); ++i) {
            const std::string& w = t[i].text;
            if (columnOptions && w == "width" && i + 1 < t.size()) {
                if (!ParseInt(t[++i].text, c.width) || c.width < 1 || c.width > 100) {
                    Error(no, ReportText(kMsgExpected, {"width PERCENT (1-100)"}));
                    return false;
                }
            } else if (columnOptions && (w == "left" || w == "right" || w == "center")) {
                c.align = w == "left" ? Align::Left : w == "right" ? Align::Right : Align::Center;
            } else if (w == "format" && i + 1 < t.size()) {
                if (!ParseFormat(t[++i].text, c.format)) {
                    Error(no, ReportText(kMsgUnknownFormat, {t[i].text}));
                    return false;
                }
            } else if (columnOptions && w == "total") {
                c.total = true;
            } else {
                Error(no, ReportText(kMsgUnknownKeyword, {w}));
                return false;
            }
        }
        return true;
    }

    void HeaderLine(int no, const std::string& kw, const std::vector<Token>& t) {
        if (kw != "field")
            return Error(no, ReportText(kMsgUnknownKeyword, {t[0].text}));
        if (t.size() < 3 || !t[1].quoted || t[2].quoted)
            return Error(no, ReportText(kMsgExpected, {"field \"LABEL\" FIELD"}));
        ColumnDef c;
        if (!ColumnOptions(no, t, 3, c, false) || !CheckField(no, t[2].text))
            return;
        def_.elements.back().fields.push_back(FieldDef{t[1].text, t[2].text, c.format});
    }

    void DetailLine(int no, const std::string& kw, const std::vector<Token>& t) {
        Element& e = def_.elements.back();
        auto oneText = [&](std::string& into, const char* usage) {
            if (t.size() != 2 || !t[1].quoted)
                return Error(no, ReportText(kMsgExpected, {usage}));
            into = t[1].text;
            CheckPlaceholders(no, into, true, CurrentQuery());
        };
        if (kw == "column") {
            if (t.size() < 3 || !t[1].quoted || t[2].quoted)
                return Error(no, ReportText(kMsgExpected, {"column \"HEADING\" FIELD"}));
            ColumnDef c;
            c.heading = t[1].text;
            c.field = t[2].text;
            if (ColumnOptions(no, t, 3, c, true) && CheckField(no, c.field))
                e.columns.push_back(std::move(c));
        } else if (kw == "checkbox") {
            if (t.size() < 2 || !t[1].quoted)
                return Error(no, ReportText(kMsgExpected, {"checkbox \"HEADING\""}));
            ColumnDef c;
            c.heading = t[1].text;
            c.checkbox = true;
            c.align = Align::Center;
            if (ColumnOptions(no, t, 2, c, true))
                e.columns.push_back(std::move(c));
        } else if (kw == "group") {
            if (t.size() != 2 || t[1].quoted)
                return Error(no, ReportText(kMsgExpected, {"group FIELD"}));
            if (CheckField(no, t[1].text))
                e.groupField = t[1].text;
        } else if (kw == "groupheader") {
            oneText(e.groupHeader, "groupheader \"TEXT\"");
        } else if (kw == "groupfooter") {
            oneText(e.groupFooter, "groupfooter \"TEXT\"");
        } else if (kw == "total") {
            oneText(e.totalLabel, "total \"TEXT\"");
        } else if (kw == "empty") {
            oneText(e.emptyText, "empty \"TEXT\"");
        } else {
            Error(no, ReportText(kMsgUnknownKeyword, {t[0].text}));
        }
    }

    // Every {..} names a declared formula, a declared parameter or (in texts) a query field.
    void CheckPlaceholders(int no, const std::string& text, bool fields, const QueryDef*) {
        std::size_t pos = 0;
        while ((pos = text.find('{', pos)) != std::string::npos) {
            const std::size_t close = text.find('}', pos);
            if (close == std::string::npos) {
                Error(no, ReportText(kMsgExpected, {"}"}));
                return;
            }
            std::string name = text.substr(pos + 1, close - pos - 1);
            pos = close + 1;
            if (const std::size_t bar = name.find('|'); bar != std::string::npos) {
                NumberFormat f;
                if (!fields || !ParseFormat(name.substr(bar + 1), f))
                    Error(no, ReportText(kMsgUnknownFormat, {name.substr(bar + 1)}));
                name.resize(bar);
            }
            if (!name.empty() && name[0] == '?') {
                int n = 0;
                if (!ParseInt(name.substr(1), n) || n < 1 || n > def_.params)
                    Error(no, ReportText(kMsgUnknownParameter,
                                         {name.substr(1), std::to_string(def_.params)}));
                continue;
            }
            const std::size_t dot = name.find('.');
            if (dot != std::string::npos && fields) {
                const QueryDef* q = def_.FindQuery(name.substr(0, dot));
                if (!q)
                    Error(no, ReportText(kMsgUnknownQuery, {name.substr(0, dot)}));
                else if (q->FieldIndex(name.substr(dot + 1)) < 0)
                    Error(no, ReportText(kMsgUnknownField, {name}));
                continue;
            }
            if (!def_.FindFormula(name))
                Error(no, ReportText(kMsgUnknownFormula, {name}));
        }
    }

    ParseResult& r_;
    ReportDefinition& def_;
    Block block_ = Block::None;
    int blockLine_ = 0;
    std::string blockName_;
};

// Digits with thousands separators: 12345.5 with 2 decimals gives "12,345.50".
std::string Fixed(double v, int decimals) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.*f", decimals, v);
    std::string s = buf;
    if (s == "-0" || s.find_first_not_of("-0.") == std::string::npos)
        s.erase(0, s[0] == '-' ? 1 : 0);
    const std::size_t start = s[0] == '-' ? 1 : 0;
    std::size_t end = s.find('.');
    if (end == std::string::npos)
        end = s.size();
    for (std::size_t i = end; i > start + 3;) {
        i -= 3;
        s.insert(i, 1, ',');
    }
    return s;
}

} // namespace

ParseResult ParseReportDefinition(std::string_view text) {
    ParseResult result;
    Parser(result).Run(text);
    return result;
}

std::string FormatValue(const std::string& value, const NumberFormat& format) {
    if (format.kind == NumberFormat::Text || value.empty())
        return value;
    if (format.kind == NumberFormat::Date) {
        // Stored dates are YYYY-MM-DD; anything else is shown as it is.
        if (value.size() >= 10 && value[4] == '-' && value[7] == '-')
            return value.substr(5, 2) + "/" + value.substr(8, 2) + "/" + value.substr(0, 4);
        return value;
    }
    char* end = nullptr;
    const double v = std::strtod(value.c_str(), &end);
    if (end == value.c_str() || *end != '\0' || !std::isfinite(v))
        return value;
    if (format.kind == NumberFormat::Fixed)
        return Fixed(v, format.decimals);
    // A quantity: up to three decimals, without trailing zeros.
    std::string s = Fixed(v, 3);
    while (!s.empty() && s.back() == '0')
        s.pop_back();
    if (!s.empty() && s.back() == '.')
        s.pop_back();
    return s;
}

} // namespace tavel::report
