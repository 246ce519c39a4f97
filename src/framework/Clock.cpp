#include "Clock.h"

#include <chrono>
#include <ctime>

namespace tavel {

namespace {

std::chrono::year_month_day Ymd(const WSIDate& d) {
    return {std::chrono::year{d.year}, std::chrono::month{static_cast<unsigned>(d.month)},
            std::chrono::day{static_cast<unsigned>(d.day)}};
}

// Reads up to maxDigits (at least minDigits) decimal digits at text[i].
bool Digits(std::string_view text, std::size_t& i, std::size_t minDigits, std::size_t maxDigits,
            int& value) {
    std::size_t n = 0;
    value = 0;
    while (i < text.size() && n < maxDigits && text[i] >= '0' && text[i] <= '9') {
        value = value * 10 + (text[i] - '0');
        ++i;
        ++n;
    }
    return n >= minDigits;
}

bool Separator(std::string_view text, std::size_t& i, char c) {
    if (i >= text.size() || text[i] != c)
        return false;
    ++i;
    return true;
}

} // namespace

long DayNumber(const WSIDate& date) {
    return std::chrono::sys_days(Ymd(date)).time_since_epoch().count();
}

WSIDate DateOfDayNumber(long day) {
    const std::chrono::year_month_day ymd{std::chrono::sys_days{std::chrono::days{day}}};
    return WSIDate{static_cast<short>(static_cast<int>(ymd.year())),
                   static_cast<short>(static_cast<unsigned>(ymd.month())),
                   static_cast<short>(static_cast<unsigned>(ymd.day()))};
}

bool IsCalendarDate(const WSIDate& date) {
    return date.year != 0 && date.month >= 1 && date.month <= 12 && date.day >= 1 && Ymd(date).ok();
}

bool ParseEntryDate(std::string_view text, DateForm form, WSIDate& date) {
    date = WSIDate{};
    while (!text.empty() && text.front() == ' ')
        text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ')
        text.remove_suffix(1);
    int y = 0, m = 0, d = 0;
    std::size_t i = 0;
    bool ok = false;
    if (form == DateForm::Iso) {
        ok = Digits(text, i, 4, 4, y) && Separator(text, i, '-') && Digits(text, i, 2, 2, m) &&
             Separator(text, i, '-') && Digits(text, i, 2, 2, d);
    } else {
        ok = Digits(text, i, 1, 2, m) && Separator(text, i, '/') && Digits(text, i, 1, 2, d) &&
             Separator(text, i, '/');
        const std::size_t yearStart = i;
        ok = ok && Digits(text, i, 2, 4, y) && (i - yearStart == 2 || i - yearStart == 4);
        if (ok && i - yearStart == 2)
            y += y < 50 ? 2000 : 1900;
    }
    if (!ok || i != text.size() || y < kFirstEntryYear || y > kLastEntryYear)
        return false;
    const WSIDate parsed{static_cast<short>(y), static_cast<short>(m), static_cast<short>(d)};
    if (!IsCalendarDate(parsed))
        return false;
    date = parsed;
    return true;
}

WSIDate Clock::SystemToday() {
    std::time_t now = std::time(nullptr);
    std::tm tm{};
    localtime_r(&now, &tm);
    return WSIDate{static_cast<short>(tm.tm_year + 1900), static_cast<short>(tm.tm_mon + 1),
                   static_cast<short>(tm.tm_mday)};
}

WSIDate Clock::Today() const {
    return IsFixed() ? fixed_ : SystemToday();
}

} // namespace tavel
