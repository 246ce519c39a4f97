#include "Clock.h"

#include <ctime>

namespace tavel {

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
