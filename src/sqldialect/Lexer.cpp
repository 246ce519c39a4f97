#include "Lexer.h"

#include <array>
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace sqldialect {
namespace detail {
namespace {

struct Raw {
    TokKind kind = TokKind::End;
    std::size_t begin = 0;
    std::size_t end = 0;
    bool semicolon = false;
};

// One table look-up per character: the scanner runs over every statement the module
// writes, so the character tests are its inner loop.
enum CharClass : unsigned char { kBlank = 1, kDigit = 2, kLetter = 4, kIdent = 8 };

constexpr std::array<unsigned char, 256> MakeClasses() {
    std::array<unsigned char, 256> t{};
    for (unsigned char c : {' ', '\t', '\n', '\r', '\f'})
        t[c] = kBlank;
    for (int c = '0'; c <= '9'; ++c)
        t[c] = kDigit | kIdent;
    for (int c = 'A'; c <= 'Z'; ++c) {
        t[c] = kLetter | kIdent;
        t[c + ('a' - 'A')] = kLetter | kIdent;
    }
    for (unsigned char c : {'_', '$', '#'})
        t[c] = kIdent;
    return t;
}
constexpr std::array<unsigned char, 256> kClasses = MakeClasses();

bool Is(char c, unsigned char cls) {
    return (kClasses[static_cast<unsigned char>(c)] & cls) != 0;
}
bool IsBlank(char c) {
    return Is(c, kBlank);
}
bool IsDigit(char c) {
    return Is(c, kDigit);
}
bool IsLetter(char c) {
    return Is(c, kLetter);
}
bool IsIdentChar(char c) {
    return Is(c, kIdent);
}
char Upper(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

std::size_t SkipBlanks(std::string_view s, std::size_t p) {
    while (p < s.size() && IsBlank(s[p]))
        ++p;
    return p;
}

// Scans the token at or after pos. inShape: the text is a shape, where ? stands for a
// literal; in a caller's text ? is refused so that it can never be taken for one.
Raw Scan(std::string_view s, std::size_t& pos, bool inShape) {
    pos = SkipBlanks(s, pos);
    Raw t;
    t.begin = pos;
    if (pos >= s.size()) {
        t.end = pos;
        return t;
    }
    const char c = s[pos];
    std::size_t p = pos;
    if (IsLetter(c) || c == '_') {
        while (p < s.size() && IsIdentChar(s[p]))
            ++p;
        t.kind = TokKind::Ident;
    } else if (c == '"' || c == '\'') {
        ++p;
        for (;;) {
            if (p >= s.size())
                throw TranslateError(
                    c == '"' ? "unterminated quoted identifier" : "unterminated string", pos);
            if (s[p] == c) {
                if (p + 1 < s.size() && s[p + 1] == c) {
                    p += 2;
                    continue;
                }
                ++p;
                break;
            }
            ++p;
        }
        if (c == '"' && p - pos == 2)
            throw TranslateError("empty quoted identifier", pos);
        t.kind = c == '"' ? TokKind::QIdent : TokKind::String;
    } else if (IsDigit(c) || (c == '.' && p + 1 < s.size() && IsDigit(s[p + 1]))) {
        while (p < s.size() && IsDigit(s[p]))
            ++p;
        if (p < s.size() && s[p] == '.') {
            ++p;
            while (p < s.size() && IsDigit(s[p]))
                ++p;
        }
        if (p < s.size() && (s[p] == 'e' || s[p] == 'E')) {
            std::size_t q = p + 1;
            if (q < s.size() && (s[q] == '+' || s[q] == '-'))
                ++q;
            if (q < s.size() && IsDigit(s[q])) {
                p = q;
                while (p < s.size() && IsDigit(s[p]))
                    ++p;
            }
        }
        if (p < s.size() && IsIdentChar(s[p]))
            throw TranslateError("malformed number", pos);
        t.kind = TokKind::Number;
    } else if (c == ':') {
        ++p;
        if (p >= s.size() || !IsDigit(s[p]))
            throw TranslateError("bind variable other than :1, :2, ...", pos);
        while (p < s.size() && IsDigit(s[p]))
            ++p;
        if (p < s.size() && IsIdentChar(s[p]))
            throw TranslateError("bind variable other than :1, :2, ...", pos);
        t.kind = TokKind::Bind;
    } else if (c == '?' && inShape) {
        ++p;
        t.kind = TokKind::Param;
    } else if (c == ';') {
        ++p;
        t.kind = TokKind::Op;
        t.semicolon = true;
    } else {
        t.kind = TokKind::Op;
        const char n = p + 1 < s.size() ? s[p + 1] : '\0';
        if ((c == '-' && n == '-') || (c == '/' && n == '*'))
            throw TranslateError("comment", pos);
        if (c == '(') {
            // (+) may be written with blanks inside.
            std::size_t q = SkipBlanks(s, p + 1);
            if (q < s.size() && s[q] == '+') {
                q = SkipBlanks(s, q + 1);
                if (q < s.size() && s[q] == ')') {
                    t.kind = TokKind::OuterMark;
                    p = q + 1;
                }
            }
            if (t.kind == TokKind::Op)
                ++p;
        } else if ((c == '<' && (n == '=' || n == '>')) || (c == '>' && n == '=') ||
                   (c == '!' && n == '=') || (c == '^' && n == '=') || (c == '|' && n == '|')) {
            p += 2;
        } else if (c != '\0' && std::strchr("),.+-*/=<>", c) != nullptr) {
            ++p;
        } else {
            unsigned char u = static_cast<unsigned char>(c);
            if (u < 0x20 || u >= 0x7f) {
                char hex[8];
                std::snprintf(hex, sizeof hex, "0x%02X", u);
                throw TranslateError(std::string("character ") + hex, pos);
            }
            throw TranslateError(std::string("character '") + c + "'", pos);
        }
    }
    t.end = p;
    pos = p;
    return t;
}

bool IsNotEqual(std::string_view op) {
    return op == "!=" || op == "^=";
}

bool EqualsUpper(std::string_view text, const char* upper) {
    std::size_t n = std::strlen(upper);
    if (text.size() != n)
        return false;
    for (std::size_t i = 0; i < n; ++i)
        if (Upper(text[i]) != upper[i])
            return false;
    return true;
}

// What the identifier before an opening parenthesis makes of the numbers inside it.
enum class Opener : unsigned char { Other, TypeWidth, Substr, Count };

Opener OpenerOf(std::string_view ident) {
    static const char* const kTypes[] = {"CHAR",   "NCHAR",   "VARCHAR2", "VARCHAR", "NVARCHAR2",
                                         "NUMBER", "NUMERIC", "DECIMAL",  "FLOAT",   "RAW"};
    for (const char* t : kTypes)
        if (EqualsUpper(ident, t))
            return Opener::TypeWidth;
    if (EqualsUpper(ident, "SUBSTR"))
        return Opener::Substr;
    if (EqualsUpper(ident, "COUNT"))
        return Opener::Count;
    return Opener::Other;
}

struct Frame {
    Opener opener = Opener::Other;
    int arg = 0;
    bool orderBy = false;
};

// The last tokens seen, as much of them as the keep rules look at.
enum class Mark : unsigned char { None, Rownum, Order, OrderBy, LimitOp, OpenParen, Comma, Other };

Literal NumberLiteral(std::string_view text) {
    Literal lit;
    const char* end = text.data() + text.size();
    if (text.find_first_of(".eE") == std::string_view::npos) {
        long long v = 0;
        auto r = std::from_chars(text.data(), end, v);
        if (r.ec == std::errc() && r.ptr == end) {
            lit.kind = Literal::Kind::Integer;
            lit.integer = v;
            return lit;
        }
    }
    lit.kind = Literal::Kind::Real;
    double d = 0.0;
    auto r = std::from_chars(text.data(), end, d);
    if (r.ec != std::errc()) // out of range: let strtod give the infinity Oracle would refuse
        d = std::strtod(std::string(text).c_str(), nullptr);
    lit.real = d;
    return lit;
}

std::string Unquote(std::string_view quoted) {
    const char q = quoted.front();
    std::string out;
    out.reserve(quoted.size() - 2);
    for (std::size_t i = 1; i + 1 < quoted.size(); ++i) {
        out.push_back(quoted[i]);
        if (quoted[i] == q)
            ++i; // doubled quote
    }
    return out;
}

} // namespace

std::vector<Token> TokenizeShape(const std::string& shape,
                                 const std::vector<std::size_t>& positions) {
    std::vector<Token> out;
    out.reserve(shape.size() / 4 + 2);
    std::size_t pos = 0;
    int params = 0;
    for (;;) {
        Raw r = Scan(shape, pos, true);
        std::size_t i = out.size();
        std::size_t where = i < positions.size() ? positions[i] : r.begin;
        if (r.kind == TokKind::End) {
            out.push_back(
                Token{TokKind::End, {}, positions.empty() ? r.begin : positions.back(), 0});
            break;
        }
        if (r.semicolon)
            throw TranslateError("second statement", where);
        std::string_view text(shape.data() + r.begin, r.end - r.begin);
        Token t;
        t.kind = r.kind;
        t.pos = where;
        switch (r.kind) {
        case TokKind::Ident:
            t.text.reserve(text.size());
            for (char c : text)
                t.text.push_back(Upper(c));
            break;
        case TokKind::QIdent:
        case TokKind::String:
            t.text = Unquote(text);
            break;
        case TokKind::Param:
            t.number = params++;
            break;
        case TokKind::Bind:
            t.number = std::atoi(std::string(text.substr(1)).c_str());
            t.text = text;
            break;
        case TokKind::Op:
            t.text = IsNotEqual(text) ? std::string("<>") : std::string(text);
            break;
        default:
            t.text = text;
            break;
        }
        out.push_back(std::move(t));
    }
    return out;
}

} // namespace detail

void NormalizeInto(std::string_view sql, Normalized& out, bool withPositions) {
    using namespace detail;
    // Everything is written into buffers that keep their capacity from the last call, so
    // that a connection normalising statement after statement allocates nothing.
    out.positions.clear();
    if (withPositions)
        out.positions.reserve(sql.size() / 3 + 4);
    std::size_t literalCount = 0;
    auto nextLiteral = [&]() -> Literal& {
        if (literalCount == out.literals.size())
            out.literals.emplace_back();
        Literal& lit = out.literals[literalCount++];
        lit.kind = Literal::Kind::Null;
        lit.integer = 0;
        lit.real = 0.0;
        lit.text.clear();
        return lit;
    };
    // Each token adds at most its own length and one blank, so the shape is never longer
    // than twice the text; it is written through a pointer and cut to size at the end.
    out.shape.resize(2 * sql.size() + 1);
    char* const shapeBegin = out.shape.data();
    char* w = shapeBegin;
    auto append = [&w](std::string_view t) {
        std::memcpy(w, t.data(), t.size());
        w += t.size();
    };
    // Parentheses nest shallowly. Levels beyond the last frame share it: a number there
    // may become a value where it would have stayed, which the rewrite handles either way.
    constexpr std::size_t kFrames = 32;
    Frame frames[kFrames];
    std::size_t level = 0;
    auto top = [&]() -> Frame& { return frames[level < kFrames ? level : kFrames - 1]; };
    Mark last = Mark::None, beforeLast = Mark::None;
    std::string_view lastIdent;
    const char* const s = sql.data();
    const std::size_t n = sql.size();
    std::size_t pos = 0;
    for (;;) {
        while (pos < n && IsBlank(s[pos]))
            ++pos;
        if (pos >= n)
            break;
        const std::size_t begin = pos;
        const char c = s[pos];
        // Identifiers and the one-character operators, most of any statement, are scanned
        // here; everything else (and every error) goes through the shared scanner.
        TokKind kind = TokKind::End;
        if (IsLetter(c) || c == '_') {
            ++pos;
            while (pos < n && IsIdentChar(s[pos]))
                ++pos;
            kind = TokKind::Ident;
        } else if (c == ',' || c == '=' || c == ')' || c == '+' || c == '*' ||
                   (c == '.' && !(pos + 1 < n && IsDigit(s[pos + 1])))) {
            ++pos;
            kind = TokKind::Op;
        } else if (c == '"' || c == '\'') {
            // Closed and not an empty identifier: anything else is the scanner's to refuse.
            std::size_t p = pos + 1;
            for (; p < n; ++p) {
                if (s[p] == c) {
                    if (p + 1 < n && s[p + 1] == c)
                        ++p;
                    else
                        break;
                }
            }
            if (p < n && !(c == '"' && p == pos + 1)) {
                pos = p + 1;
                kind = c == '"' ? TokKind::QIdent : TokKind::String;
            }
        } else if (IsDigit(c)) {
            // Plain digits; fractions, exponents and malformed numbers go to the scanner.
            std::size_t p = pos + 1;
            while (p < n && IsDigit(s[p]))
                ++p;
            if (p >= n || !(IsIdentChar(s[p]) || s[p] == '.')) {
                pos = p;
                kind = TokKind::Number;
            }
        }
        if (kind == TokKind::End) {
            Raw r = Scan(sql, pos, false);
            if (r.semicolon) {
                if (SkipBlanks(sql, pos) < n)
                    throw TranslateError("second statement", r.begin);
                break;
            }
            kind = r.kind;
        }
        const std::string_view text(s + begin, pos - begin);
        if (w != shapeBegin)
            *w++ = ' ';
        if (withPositions)
            out.positions.push_back(begin);
        Mark mark = Mark::Other;
        switch (kind) {
        case TokKind::Ident: {
            const char* upper = w;
            for (char ch : text)
                *w++ = Upper(ch);
            const std::string_view u(upper, text.size());
            if (u == "ROWNUM")
                mark = Mark::Rownum;
            else if (u == "ORDER")
                mark = Mark::Order;
            else if (u == "BY" && last == Mark::Order) {
                mark = Mark::OrderBy;
                top().orderBy = true;
            }
            break;
        }
        case TokKind::String: {
            *w++ = '?';
            Literal& lit = nextLiteral();
            if (text.size() > 2) { // '' is NULL, as Oracle has it
                lit.kind = Literal::Kind::Text;
                for (std::size_t i = 1; i + 1 < text.size(); ++i) {
                    lit.text.push_back(text[i]);
                    if (text[i] == '\'')
                        ++i; // doubled quote
                }
            }
            break;
        }
        case TokKind::Number: {
            const Frame& f = top();
            bool keep = (last == Mark::LimitOp && beforeLast == Mark::Rownum) ||
                        f.opener == Opener::TypeWidth ||
                        (f.opener == Opener::Substr && f.arg == 1 && last == Mark::Comma) ||
                        (f.opener == Opener::Count && last == Mark::OpenParen) ||
                        (f.orderBy && (last == Mark::OrderBy || last == Mark::Comma));
            if (keep) {
                append(text);
            } else {
                *w++ = '?';
                nextLiteral() = NumberLiteral(text);
            }
            break;
        }
        case TokKind::Op:
            if (text.size() == 1) {
                *w++ = c;
                switch (c) {
                case '(': {
                    Frame f;
                    if (last == Mark::Other && !lastIdent.empty())
                        f.opener = OpenerOf(lastIdent);
                    ++level;
                    top() = f;
                    mark = Mark::OpenParen;
                    break;
                }
                case ')':
                    if (level > 0)
                        --level;
                    break;
                case ',':
                    ++top().arg;
                    mark = Mark::Comma;
                    break;
                case '<':
                case '=':
                    mark = Mark::LimitOp;
                    break;
                default:
                    break;
                }
            } else if (IsNotEqual(text)) {
                append("<>");
            } else {
                append(text);
                if (text == "<=")
                    mark = Mark::LimitOp;
            }
            break;
        case TokKind::OuterMark:
            append("(+)");
            break;
        default: // QIdent, Bind
            append(text);
            break;
        }
        lastIdent = kind == TokKind::Ident ? text : std::string_view();
        beforeLast = last;
        last = mark;
    }
    out.shape.resize(static_cast<std::size_t>(w - shapeBegin));
    out.literals.resize(literalCount);
    if (out.shape.empty())
        throw TranslateError("empty statement", 0);
}

Normalized Normalize(std::string_view sql) {
    Normalized out;
    out.literals.reserve(4);
    NormalizeInto(sql, out, true);
    return out;
}

} // namespace sqldialect
