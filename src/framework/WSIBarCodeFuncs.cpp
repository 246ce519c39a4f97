#include "WSIBarCodeFuncs.h"

#include <chrono>
#include <cstring>
#include <string_view>

namespace {

constexpr char kGroupSeparator = '\x1d';

enum class Kind {
    Numeric,    // digits only
    CheckDigit, // digits ending in a GS1 check digit
    Date,       // YYMMDD, DD 00 meaning the month's last day
    Text,       // GS1 character set 82
};

// One row per application identifier family: an AI of aiLength digits beginning with
// prefix. The first matching row counts, so specific rows come before their family.
struct AiRule {
    const char* prefix;
    int aiLength;
    int minLength; // value length; minLength == maxLength is a fixed length
    int maxLength;
    Kind kind;
};

constexpr AiRule kRules[] = {
    {"00", 2, 18, 18, Kind::CheckDigit}, // SSCC
    {"01", 2, 14, 14, Kind::CheckDigit}, // GTIN
    {"02", 2, 14, 14, Kind::CheckDigit}, // GTIN of contained items
    {"03", 2, 14, 14, Kind::Numeric},    {"04", 2, 16, 16, Kind::Numeric},
    {"10", 2, 1, 20, Kind::Text}, // batch or lot
    {"11", 2, 6, 6, Kind::Date},         {"12", 2, 6, 6, Kind::Date},
    {"13", 2, 6, 6, Kind::Date},         {"15", 2, 6, 6, Kind::Date},
    {"16", 2, 6, 6, Kind::Date},         {"17", 2, 6, 6, Kind::Date},    // expiry
    {"20", 2, 2, 2, Kind::Numeric},      {"21", 2, 1, 20, Kind::Text},   // serial
    {"22", 2, 1, 20, Kind::Text},        {"30", 2, 1, 8, Kind::Numeric}, // count
    {"37", 2, 1, 8, Kind::Numeric},                                      // count of contained items
    {"23", 3, 1, 30, Kind::Text},        {"242", 3, 1, 6, Kind::Numeric},
    {"24", 3, 1, 30, Kind::Text}, // 240 additional id, 241 customer part number
    {"25", 3, 1, 30, Kind::Text},        {"31", 4, 6, 6, Kind::Numeric},
    {"32", 4, 6, 6, Kind::Numeric},      {"33", 4, 6, 6, Kind::Numeric},
    {"34", 4, 6, 6, Kind::Numeric},      {"35", 4, 6, 6, Kind::Numeric},
    {"36", 4, 6, 6, Kind::Numeric},      {"39", 4, 1, 18, Kind::Numeric},
    {"402", 3, 17, 17, Kind::Numeric},   {"40", 3, 1, 30, Kind::Text},
    {"41", 3, 13, 13, Kind::CheckDigit}, {"42", 3, 1, 30, Kind::Text},
    {"43", 4, 1, 90, Kind::Text},        {"70", 4, 1, 90, Kind::Text},
    {"71", 3, 1, 20, Kind::Text}, // 710-715 national health reimbursement numbers
    {"72", 4, 1, 90, Kind::Text},        {"80", 4, 1, 90, Kind::Text},
    {"81", 4, 1, 90, Kind::Text},        {"82", 4, 1, 90, Kind::Text},
    {"9", 2, 1, 90, Kind::Text}, // company internal
};

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

bool AllDigits(std::string_view s) {
    for (char c : s)
        if (!IsDigit(c))
            return false;
    return !s.empty();
}

// GS1 general specifications, character set 82.
bool IsCset82(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || IsDigit(c) ||
           (c != '\0' && std::strchr("!\"%&'()*+,-./:;<=>?_", c) != nullptr);
}

// The rule of the AI at the start of text (which holds at least its digits), or null
// when the first two digits begin no AI.
const AiRule* RuleAt(std::string_view text) {
    for (const AiRule& r : kRules) {
        const std::size_t n = std::strlen(r.prefix);
        if (text.size() >= static_cast<std::size_t>(r.aiLength) && text.substr(0, n) == r.prefix)
            return &r;
    }
    return nullptr;
}

const AiRule* RuleOf(std::string_view ai) {
    const AiRule* r = RuleAt(ai);
    return r && static_cast<std::size_t>(r->aiLength) == ai.size() ? r : nullptr;
}

bool IsLeapYear(int y) {
    return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
}

int DaysInMonth(int y, int m) {
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return m == 2 && IsLeapYear(y) ? 29 : kDays[m - 1];
}

int CurrentYear() {
    const auto today = std::chrono::floor<std::chrono::days>(std::chrono::system_clock::now());
    return static_cast<int>(std::chrono::year_month_day(today).year());
}

// Symbology identifiers of the codes that carry GS1 element strings.
bool IsGs1Symbology(std::string_view aim) {
    for (const char* id : {"]C1", "]d2", "]e0", "]e1", "]e2", "]Q3", "]J1"})
        if (aim == id)
            return true;
    return false;
}

} // namespace

WSIBarCodeFuncs::WSIBarCodeFuncs() : m_referenceYear(CurrentYear()) {}

bool WSIBarCodeFuncs::HasValidCheckDigit(const std::string& digits) {
    if (digits.size() < 2 || !AllDigits(digits))
        return false;
    // Weights 3, 1, 3, ... from the digit left of the check digit.
    int sum = 0;
    int weight = 3;
    for (std::size_t i = digits.size() - 1; i-- > 0;) {
        sum += (digits[i] - '0') * weight;
        weight = 4 - weight;
    }
    return (10 - sum % 10) % 10 == digits.back() - '0';
}

std::vector<std::string> WSIBarCodeFuncs::ProductCodeCandidates(const std::string& gtin14) {
    std::vector<std::string> forms;
    if (gtin14.size() != 14 || !AllDigits(gtin14))
        return forms;
    forms.push_back(gtin14);
    // GTIN-13, UPC-A (12) and EAN-8 are the 14-digit form without its leading zeros.
    for (std::size_t drop : {1u, 2u, 6u})
        if (gtin14.find_first_not_of('0') >= drop)
            forms.push_back(gtin14.substr(drop));
    return forms;
}

bool WSIBarCodeFuncs::Fail(unsigned code, const std::string& reason) {
    m_product.clear();
    m_fields.errorCode = code;
    m_fields.error = reason;
    return false;
}

bool WSIBarCodeFuncs::ScanBarCode(const char* text, int mode) {
    m_fields = WSIBarCodeFields{};
    m_product.clear();
    m_raw.assign(text ? text : "", 0, text ? strnlen(text, kMaxRaw) : 0);

    std::string body = m_raw;
    // A scanner configured to end its data with a line break.
    while (!body.empty() && (body.back() == '\r' || body.back() == '\n'))
        body.pop_back();
    if (body.empty())
        return false;

    bool gs1 = false;
    std::string aim;
    if (body.size() >= 3 && body[0] == ']' && body[1] > ' ' && body[2] > ' ') {
        aim = body.substr(0, 3);
        body.erase(0, 3);
        gs1 = IsGs1Symbology(aim);
    }
    if (aim.empty()) {
        // No identifier: the separator, the human-readable form or an element string
        // that opens with a GTIN whose check digit holds mark GS1 data.
        gs1 = body.find(kGroupSeparator) != std::string::npos ||
              (body.size() > 3 && body[0] == '(' && IsDigit(body[1]) && IsDigit(body[2])) ||
              (body.size() >= 16 &&
               (body.compare(0, 2, "01") == 0 || body.compare(0, 2, "02") == 0) &&
               HasValidCheckDigit(body.substr(2, 14)));
    }
    if (gs1) {
        if (!(mode & kModeGs1))
            return false;
        m_fields.isGs1 = true;
        return ParseGs1(body);
    }
    if (!(mode & kModePlain))
        return false;
    for (char c : body)
        if (static_cast<unsigned char>(c) < ' ' || c == '\x7f')
            return Fail(kMsgUnreadable, "control character in a plain code");
    if (body.empty())
        return false;
    m_product = body;
    return true;
}

bool WSIBarCodeFuncs::ParseGs1(const std::string& body) {
    if (!(body[0] == '(' ? ParseBracketed(body) : ParseElementString(body))) {
        m_product.clear();
        return false;
    }
    if (m_fields.gtin.empty())
        return Fail(kMsgNoProduct, "no GTIN (AI 01 or 02) in the data");
    m_product = m_fields.gtin;
    return true;
}

bool WSIBarCodeFuncs::ParseElementString(const std::string& body) {
    std::size_t pos = 0;
    const std::size_t n = body.size();
    while (pos < n) {
        if (body[pos] == kGroupSeparator) {
            ++pos;
            continue;
        }
        const AiRule* rule = RuleAt(std::string_view(body).substr(pos));
        if (!rule || !AllDigits(std::string_view(body).substr(pos, rule->aiLength)))
            return Fail(kMsgMalformed,
                        "no application identifier at character " + std::to_string(pos + 1));
        const std::string ai = body.substr(pos, rule->aiLength);
        pos += rule->aiLength;
        std::size_t end;
        if (rule->minLength == rule->maxLength) {
            end = pos + rule->minLength;
            if (end > n)
                return Fail(kMsgMalformed, "AI " + ai + " is cut short");
        } else {
            end = body.find(kGroupSeparator, pos);
            if (end == std::string::npos)
                end = n;
        }
        if (!TakeElement(ai, body.substr(pos, end - pos)))
            return false;
        pos = end;
    }
    return true;
}

bool WSIBarCodeFuncs::ParseBracketed(const std::string& body) {
    // "(AI)value" pairs; a value runs to the next "(" that opens 2 to 4 digits and ")".
    auto aiEndAt = [&](std::size_t open) -> std::size_t {
        std::size_t i = open + 1;
        while (i < body.size() && i - open <= 4 && IsDigit(body[i]))
            ++i;
        const std::size_t digits = i - open - 1;
        return i < body.size() && body[i] == ')' && digits >= 2 && digits <= 4 ? i : 0;
    };
    auto trimmed = [](std::string s) {
        while (!s.empty() && (s.back() == ' ' || s.back() == kGroupSeparator))
            s.pop_back();
        const std::size_t first = s.find_first_not_of(' ');
        return first == std::string::npos ? std::string() : s.substr(first);
    };
    std::size_t pos = 0;
    while (pos < body.size()) {
        const std::size_t close = body[pos] == '(' ? aiEndAt(pos) : 0;
        if (close == 0)
            return Fail(kMsgMalformed,
                        "no (application identifier) at character " + std::to_string(pos + 1));
        const std::string ai = body.substr(pos + 1, close - pos - 1);
        std::size_t next = close + 1;
        while (next < body.size() && !(body[next] == '(' && aiEndAt(next)))
            ++next;
        if (!TakeElement(ai, trimmed(body.substr(close + 1, next - close - 1))))
            return false;
        pos = next;
    }
    return true;
}

bool WSIBarCodeFuncs::TakeElement(const std::string& ai, std::string value) {
    const AiRule* rule = RuleOf(ai);
    if (!rule)
        return Fail(kMsgMalformed, "unknown application identifier " + ai);
    const int length = static_cast<int>(value.size());
    if (length < rule->minLength || length > rule->maxLength)
        return Fail(kMsgMalformed, "AI " + ai + " has " + std::to_string(length) +
                                       " characters (a group separator may be missing)");
    for (char c : value)
        if (rule->kind == Kind::Text ? !IsCset82(c) : !IsDigit(c))
            return Fail(kMsgMalformed, "AI " + ai + " holds a character it may not hold");
    for (const auto& [seen, seenValue] : m_fields.elements)
        if (seen == ai && seenValue != value)
            return Fail(kMsgMalformed, "AI " + ai + " appears twice with different values");

    if (rule->kind == Kind::CheckDigit && !HasValidCheckDigit(value)) {
        const bool gtin = ai == "01" || ai == "02";
        return Fail(gtin ? kMsgGtinCheckDigit : kMsgMalformed,
                    "AI " + ai + " has a wrong check digit");
    }
    if (rule->kind == Kind::Date) {
        const int yy = std::stoi(value.substr(0, 2));
        const int month = std::stoi(value.substr(2, 2));
        int day = std::stoi(value.substr(4, 2));
        // GS1's sliding window: from 49 years back to 50 years ahead of this year.
        const int diff = yy - m_referenceYear % 100;
        int year = m_referenceYear - m_referenceYear % 100 + yy;
        if (diff >= 51)
            year -= 100;
        else if (diff <= -50)
            year += 100;
        if (month < 1 || month > 12 || day > DaysInMonth(year, month))
            return Fail(kMsgNotADate, "AI " + ai + " " + value + " is not a date");
        if (day == 0)
            day = DaysInMonth(year, month);
        if (ai == "17") {
            m_fields.expiryYear = year;
            m_fields.expiryMonth = month;
            m_fields.expiryDay = day;
            m_fields.hasExpiry = true;
        }
    }
    if (ai == "01" || (ai == "02" && m_fields.gtin.empty()))
        m_fields.gtin = value;
    else if (ai == "10")
        m_fields.lot = value;
    else if (ai == "21")
        m_fields.serial = value;
    else if ((ai == "30" || ai == "37") && !m_fields.hasCount) {
        m_fields.count = std::stol(value);
        m_fields.hasCount = true;
    }
    m_fields.elements.emplace_back(ai, std::move(value));
    return true;
}
