#include "Clock.h"

#include <ctime>

namespace tavel {

long DayNumber(const WSIDate& date) {
    const long y = date.year - (date.month <= 2 ? 1 : 0);
    const long era = (y >= 0 ? y : y - 399) / 400;
    const long yoe = y - era * 400;
    const long m = date.month;
    const long doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + date.day - 1;
    const long doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

WSIDate DateOfDayNumber(long day) {
    day += 719468;
    const long era = (day >= 0 ? day : day - 146096) / 146097;
    const long doe = day - era * 146097;
    const long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const long mp = (5 * doy + 2) / 153;
    const long d = doy - (153 * mp + 2) / 5 + 1;
    const long m = mp < 10 ? mp + 3 : mp - 9;
    return WSIDate{static_cast<short>(yoe + era * 400 + (m <= 2)), static_cast<short>(m),
                   static_cast<short>(d)};
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
