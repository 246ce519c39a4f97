#include "ReportFill.h"

#include "ReportTexts.h"
#include "WSIDatabase.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <set>

namespace tavel::report {

namespace {

// Longest value kept per field; longer text is cut by the database service.
constexpr unsigned short kCellWidth = 1000;

bool IsNumber(const std::string& s) {
    std::size_t i = 0;
    if (i < s.size() && s[i] == '-')
        ++i;
    const std::size_t digits = i;
    while (i < s.size() && s[i] >= '0' && s[i] <= '9')
        ++i;
    if (i == digits)
        return false;
    if (i < s.size() && s[i] == '.') {
        const std::size_t frac = ++i;
        while (i < s.size() && s[i] >= '0' && s[i] <= '9')
            ++i;
        if (i == frac)
            return false;
    }
    return i == s.size();
}

std::string NumberText(double v) {
    char buf[64];
    if (std::floor(v) == v && std::fabs(v) < 1e15)
        std::snprintf(buf, sizeof buf, "%.0f", v);
    else
        std::snprintf(buf, sizeof buf, "%.15g", v);
    return buf;
}

struct Placeholder {
    enum Kind { Formula, Param, Field } kind = Formula;
    std::string name; // formula name, or query for a field
    std::string field;
    int param = 0;
    NumberFormat format;
};

Placeholder ParsePlaceholder(const std::string& body) {
    Placeholder p;
    std::string name = body;
    if (const std::size_t bar = name.find('|'); bar != std::string::npos) {
        ParseFormat(name.substr(bar + 1), p.format);
        name.resize(bar);
    }
    if (!name.empty() && name[0] == '?') {
        p.kind = Placeholder::Param;
        p.param = std::atoi(name.c_str() + 1);
    } else if (const std::size_t dot = name.find('.'); dot != std::string::npos) {
        p.kind = Placeholder::Field;
        p.name = name.substr(0, dot);
        p.field = name.substr(dot + 1);
    } else {
        p.name = name;
    }
    return p;
}

// Calls f(placeholder body, start, end) for every {..} in text.
template <typename F> void ForEachPlaceholder(const std::string& text, F&& f) {
    std::size_t pos = 0;
    while ((pos = text.find('{', pos)) != std::string::npos) {
        const std::size_t close = text.find('}', pos);
        if (close == std::string::npos)
            return;
        f(text.substr(pos + 1, close - pos - 1), pos, close + 1);
        pos = close + 1;
    }
}

const std::string* RowValue(const ReportDefinition& def, const ReportData& data,
                            const Placeholder& p, const std::string& currentQuery,
                            const std::vector<std::string>* currentRow) {
    const QueryDef* q = def.FindQuery(p.name);
    if (!q)
        return nullptr;
    const int col = q->FieldIndex(p.field);
    if (col < 0)
        return nullptr;
    if (currentRow && p.name == currentQuery)
        return &(*currentRow)[static_cast<std::size_t>(col)];
    auto it = data.rows.find(p.name);
    if (it == data.rows.end() || it->second.empty())
        return nullptr;
    return &it->second.front()[static_cast<std::size_t>(col)];
}

// A text line with its placeholders filled (not yet escaped).
std::string ExpandText(const ReportDefinition& def, const ReportInputs& in, const ReportData& data,
                       const std::string& text, const std::string& currentQuery = {},
                       const std::vector<std::string>* currentRow = nullptr) {
    std::string out;
    std::size_t last = 0;
    ForEachPlaceholder(text, [&](const std::string& body, std::size_t start, std::size_t end) {
        out.append(text, last, start - last);
        last = end;
        const Placeholder p = ParsePlaceholder(body);
        switch (p.kind) {
        case Placeholder::Formula:
            out += FormulaValue(def, in, p.name);
            break;
        case Placeholder::Param:
            if (p.param >= 1 && static_cast<std::size_t>(p.param) <= in.params.size()) {
                const ParamValue& v = in.params[static_cast<std::size_t>(p.param - 1)];
                out += v.isNumber ? NumberText(v.number) : v.text;
            }
            break;
        case Placeholder::Field:
            if (const std::string* v = RowValue(def, data, p, currentQuery, currentRow))
                out += FormatValue(*v, p.format);
            break;
        }
    });
    out.append(text, last, std::string::npos);
    return out;
}

const char* AlignName(Align a) {
    return a == Align::Right ? "right" : a == Align::Center ? "center" : "left";
}

std::string Cell(const std::string& tag, const std::string& content, Align align, int width,
                 const std::string& extra = {}) {
    std::string s = "<" + tag + " align=\"" + AlignName(align) + "\"";
    if (width > 0)
        s += " width=\"" + std::to_string(width) + "%\"";
    s += extra + ">" + content + "</" + tag + ">";
    return s;
}

constexpr const char* kTableOpen =
    "<table width=\"100%\" border=\"1\" cellspacing=\"0\" cellpadding=\"3\" "
    "style=\"border-collapse: collapse; border-color: #999999;\">";

void AppendDetail(std::string& html, const ReportDefinition& def, const ReportInputs& in,
                  const ReportData& data, const Element& e) {
    const QueryDef* q = def.FindQuery(e.query);
    if (!q)
        return;
    static const std::vector<std::vector<std::string>> kNone;
    auto it = data.rows.find(e.query);
    const auto& rows = it == data.rows.end() ? kNone : it->second;
    if (rows.empty() && !e.emptyText.empty()) {
        html += "<p><i>" + EscapeHtml(ExpandText(def, in, data, e.emptyText)) + "</i></p>";
        return;
    }
    const std::size_t ncol = e.columns.size();
    std::vector<int> index(ncol, -1);
    for (std::size_t c = 0; c < ncol; ++c)
        if (!e.columns[c].checkbox)
            index[c] = q->FieldIndex(e.columns[c].field);
    const int groupCol = e.groupField.empty() ? -1 : q->FieldIndex(e.groupField);

    html += kTableOpen;
    html += "<thead><tr style=\"background-color: #e0e0e0;\">";
    for (const ColumnDef& c : e.columns)
        html += Cell("th", EscapeHtml(c.heading), c.align, c.width);
    html += "</tr></thead>";

    // A label spans the columns before the first total; the sums sit under their columns.
    auto totalRow = [&](const std::string& label, const std::vector<double>& sums,
                        const std::string& style) {
        std::size_t first = ncol;
        for (std::size_t c = 0; c < ncol; ++c)
            if (e.columns[c].total) {
                first = c;
                break;
            }
        html += "<tr" + style + ">";
        const std::size_t span = first == 0 ? 1 : first;
        html +=
            "<td colspan=\"" + std::to_string(span) + "\"><b>" + EscapeHtml(label) + "</b></td>";
        for (std::size_t c = span; c < ncol; ++c) {
            const ColumnDef& col = e.columns[c];
            const std::string v =
                col.total ? FormatValue(NumberText(sums[c]), col.format) : std::string();
            html += Cell("td", "<b>" + EscapeHtml(v) + "</b>", col.align, 0);
        }
        html += "</tr>";
    };

    std::vector<double> total(ncol, 0.0), group(ncol, 0.0);
    bool anyTotal = false;
    for (const ColumnDef& c : e.columns)
        anyTotal = anyTotal || c.total;
    const std::string footerStyle = " style=\"background-color: #f4f4f4;\"";
    for (std::size_t r = 0; r < rows.size(); ++r) {
        const auto& row = rows[r];
        const bool newGroup =
            groupCol >= 0 && (r == 0 || rows[r - 1][static_cast<std::size_t>(groupCol)] !=
                                            row[static_cast<std::size_t>(groupCol)]);
        if (newGroup && r > 0 && !e.groupFooter.empty()) {
            totalRow(ExpandText(def, in, data, e.groupFooter, e.query, &rows[r - 1]), group,
                     footerStyle);
        }
        if (newGroup) {
            std::fill(group.begin(), group.end(), 0.0);
            const std::string text = e.groupHeader.empty()
                                         ? row[static_cast<std::size_t>(groupCol)]
                                         : ExpandText(def, in, data, e.groupHeader, e.query, &row);
            html += "<tr style=\"background-color: #eeeeee;\"><td colspan=\"" +
                    std::to_string(ncol) + "\"><b>" + EscapeHtml(text) + "</b></td></tr>";
        }
        html += "<tr>";
        for (std::size_t c = 0; c < ncol; ++c) {
            const ColumnDef& col = e.columns[c];
            if (col.checkbox) {
                // An empty box to tick by hand.
                html += Cell("td", "&#x2610;", Align::Center, 0);
                continue;
            }
            const std::string& v = row[static_cast<std::size_t>(index[c])];
            if (col.total) {
                const double d = std::strtod(v.c_str(), nullptr);
                total[c] += d;
                group[c] += d;
            }
            html += Cell("td", EscapeHtml(FormatValue(v, col.format)), col.align, 0);
        }
        html += "</tr>";
    }
    if (groupCol >= 0 && !rows.empty() && !e.groupFooter.empty())
        totalRow(ExpandText(def, in, data, e.groupFooter, e.query, &rows.back()), group,
                 footerStyle);
    if (!e.totalLabel.empty() && (anyTotal || !rows.empty()))
        totalRow(ExpandText(def, in, data, e.totalLabel), total,
                 " style=\"background-color: #e0e0e0;\"");
    html += "</table>";
}

std::string DocumentOpen(double fontPoints) {
    char buf[160];
    std::snprintf(
        buf, sizeof buf,
        "<html><body style=\"font-family: 'DejaVu Sans', sans-serif; font-size: %.0fpt;\">",
        fontPoints);
    return buf;
}

} // namespace

std::string EscapeHtml(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        default:
            out += c;
        }
    }
    return out;
}

std::string Unquote(const std::string& value) {
    if (value.size() >= 2 && value.front() == '"' && value.back() == '"')
        return value.substr(1, value.size() - 2);
    return value;
}

std::string FormulaValue(const ReportDefinition& def, const ReportInputs& in,
                         const std::string& name) {
    // The last value passed under a name wins, as a later formula overrides an earlier one.
    for (auto it = in.formulas.rbegin(); it != in.formulas.rend(); ++it)
        if (it->first == name)
            return it->second;
    const FormulaDef* f = def.FindFormula(name);
    return f && f->hasDefault ? f->defaultValue : std::string();
}

bool ConditionHolds(const ReportDefinition& def, const ReportInputs& in,
                    const std::vector<Condition>& conditions) {
    for (const Condition& c : conditions)
        if (c.active && (FormulaValue(def, in, c.formula) == c.value) != c.equal)
            return false;
    return true;
}

bool CheckFormulas(const ReportDefinition& def, const ReportInputs& in, std::string& error) {
    if (!in.formulaErrors)
        return true;
    for (const auto& [name, value] : in.formulas) {
        if (!def.FindFormula(name)) {
            error = ReportText(kMsgFormulaNotKnown, {name});
            return false;
        }
    }
    return true;
}

bool ExpandSql(const ReportDefinition& def, const ReportInputs& in, const std::string& sql,
               std::string& out, std::string& error) {
    out.clear();
    bool inLiteral = false;
    for (std::size_t i = 0; i < sql.size(); ++i) {
        const char c = sql[i];
        if (c == '\'') {
            // A doubled quote inside a literal toggles twice and stays inside.
            inLiteral = !inLiteral;
            out += c;
            continue;
        }
        if (c != '{') {
            out += c;
            continue;
        }
        const std::size_t close = sql.find('}', i);
        if (close == std::string::npos) {
            out.append(sql, i, std::string::npos);
            break;
        }
        const Placeholder p = ParsePlaceholder(sql.substr(i + 1, close - i - 1));
        i = close;
        std::string value;
        std::string label;
        bool numeric = false;
        if (p.kind == Placeholder::Param) {
            if (p.param < 1 || static_cast<std::size_t>(p.param) > in.params.size()) {
                error = ReportText(kMsgMissingParameter, {std::to_string(p.param)});
                return false;
            }
            const ParamValue& v = in.params[static_cast<std::size_t>(p.param - 1)];
            numeric = v.isNumber;
            value = v.isNumber ? NumberText(v.number) : v.text;
            label = std::string(1, '?').append(std::to_string(p.param));
        } else {
            value = FormulaValue(def, in, p.name);
            label = p.name;
        }
        if (inLiteral) {
            for (char v : value) {
                out += v;
                if (v == '\'')
                    out += '\'';
            }
        } else {
            if (!numeric && !IsNumber(value)) {
                error = ReportText(kMsgNotANumber, {value, label});
                return false;
            }
            out += value;
        }
    }
    return true;
}

bool FetchReportData(WSIDatabase& db, const ReportDefinition& def, const ReportInputs& in,
                     ReportData& data, std::string& error) {
    std::set<std::string> needed;
    auto noteFields = [&](const std::string& text) {
        ForEachPlaceholder(text, [&](const std::string& body, std::size_t, std::size_t) {
            const Placeholder p = ParsePlaceholder(body);
            if (p.kind == Placeholder::Field)
                needed.insert(p.name);
        });
    };
    for (const Element& e : def.elements) {
        if (!ConditionHolds(def, in, e.when))
            continue;
        if (!e.query.empty())
            needed.insert(e.query);
        noteFields(e.text);
        noteFields(e.groupHeader);
        noteFields(e.groupFooter);
        noteFields(e.totalLabel);
        noteFields(e.emptyText);
    }
    for (const QueryDef& q : def.queries) {
        if (!needed.count(q.name))
            continue;
        std::string sql;
        if (!ExpandSql(def, in, q.sql, sql, error))
            return false;
        // Every field is read as text into a row laid out like a record.
        std::vector<ColumnDesc> columns;
        for (std::size_t i = 0; i < q.fields.size(); ++i)
            columns.push_back(ColumnDesc{q.fields[i].c_str(), ColType::Text, kCellWidth,
                                         i * (kCellWidth + 1u), false});
        const TableDesc layout{"REPORT_ROW", columns.data(), columns.size(),
                               columns.size() * (kCellWidth + 1u)};
        std::vector<char> buffer(layout.dataSize);
        auto& rows = data.rows[q.name];
        rows.clear();
        auto cursor =
            db.QueryBV(__FILE__, __LINE__, sql.c_str(), WSIResult(layout, buffer.data()), {});
        for (bool more = cursor->GetFirst(); more; more = cursor->GetNext()) {
            auto& row = rows.emplace_back();
            for (const ColumnDesc& c : columns)
                row.emplace_back(buffer.data() + c.offset);
        }
    }
    return true;
}

std::string BuildReportHtml(const ReportDefinition& def, const ReportInputs& in,
                            const ReportData& data, const std::string& title) {
    std::string html = DocumentOpen(def.fontPoints);
    (void)title; // the title goes to the document's metadata; the layout prints its own
    for (const Element& e : def.elements) {
        if (!ConditionHolds(def, in, e.when))
            continue;
        switch (e.kind) {
        case ElementKind::Text: {
            const std::string t = EscapeHtml(ExpandText(def, in, data, e.text));
            switch (e.style) {
            case TextStyle::Title:
                html += "<p style=\"font-size: " + std::to_string(int(def.fontPoints) + 7) +
                        "pt; font-weight: bold; margin-bottom: 4px;\">" + t + "</p>";
                break;
            case TextStyle::Heading:
                html += "<p style=\"font-size: " + std::to_string(int(def.fontPoints) + 2) +
                        "pt; font-weight: bold; margin-top: 14px; margin-bottom: 4px;\">" + t +
                        "</p>";
                break;
            case TextStyle::Small:
                html += "<p style=\"font-size: " + std::to_string(int(def.fontPoints) - 1) +
                        "pt; color: #555555;\">" + t + "</p>";
                break;
            case TextStyle::Bold:
                html += "<p style=\"margin-top: 0px; margin-bottom: 2px;\"><b>" + t + "</b></p>";
                break;
            case TextStyle::Normal:
                html += "<p style=\"margin-top: 0px; margin-bottom: 2px;\">" + t + "</p>";
                break;
            }
            break;
        }
        case ElementKind::Rule:
            html += "<hr/>";
            break;
        case ElementKind::Header: {
            const QueryDef* q = def.FindQuery(e.query);
            auto it = data.rows.find(e.query);
            const std::vector<std::string>* row =
                it != data.rows.end() && !it->second.empty() ? &it->second.front() : nullptr;
            html += "<table cellspacing=\"0\" cellpadding=\"2\">";
            for (const FieldDef& f : e.fields) {
                const std::string v =
                    row && q ? (*row)[static_cast<std::size_t>(q->FieldIndex(f.field))] : "";
                // An unlabelled line (an address continuation) is left out when empty.
                if (f.label.empty() && v.empty())
                    continue;
                html += "<tr><td><b>" + EscapeHtml(f.label) + "</b></td><td>&nbsp;&nbsp;" +
                        EscapeHtml(FormatValue(v, f.format)) + "</td></tr>";
            }
            html += "</table>";
            break;
        }
        case ElementKind::Detail:
            AppendDetail(html, def, in, data, e);
            break;
        }
    }
    html += "</body></html>";
    return html;
}

std::string BuildListHtml(const std::string& title, const std::vector<std::string>& headings,
                          const std::vector<std::vector<std::string>>& rows, double fontPoints) {
    std::string html = DocumentOpen(fontPoints);
    html += "<p style=\"font-size: " + std::to_string(int(fontPoints) + 5) +
            "pt; font-weight: bold;\">" + EscapeHtml(title) + "</p>";
    html += kTableOpen;
    html += "<thead><tr style=\"background-color: #e0e0e0;\">";
    for (const std::string& h : headings)
        html += "<th align=\"left\">" + EscapeHtml(h) + "</th>";
    html += "</tr></thead>";
    for (const auto& row : rows) {
        html += "<tr>";
        // A short row is padded so that the table keeps its columns.
        for (std::size_t c = 0; c < std::max(headings.size(), row.size()); ++c)
            html += "<td>" + (c < row.size() ? EscapeHtml(row[c]) : std::string()) + "</td>";
        html += "</tr>";
    }
    html += "</table></body></html>";
    return html;
}

} // namespace tavel::report
