#pragma once

// Today's date for the database service: the system's local date unless a date has been
// set (tests, a host that runs "as of" a day).

#include "Record.h"

#include <string_view>

namespace tavel {

// Days since 1970-01-01 of a valid calendar date and back (proleptic Gregorian), so that
// dates compare by difference and lie any number of days apart.
long DayNumber(const WSIDate& date);
WSIDate DateOfDayNumber(long day);

// Whether the date names a day that exists (no 30 February, no month 13, no year 0).
bool IsCalendarDate(const WSIDate& date);

// The years a date typed on a screen or passed to a tool may have. Wider than any stock
// lives, narrow enough that a slip of the keyboard (year 0, 20270) is caught.
inline constexpr int kFirstEntryYear = 1900;
inline constexpr int kLastEntryYear = 2199;

enum class DateForm {
    Iso,          // YYYY-MM-DD, as tools and files write dates
    MonthDayYear, // M/D/YYYY or M/D/YY (YY taken in 1950..2049), as the screens show them
};

// The one parser for dates that come from outside: only days that exist, with years in
// kFirstEntryYear..kLastEntryYear, surrounding blanks ignored. False (date null) for
// anything else.
bool ParseEntryDate(std::string_view text, DateForm form, WSIDate& date);

class Clock {
public:
    WSIDate Today() const;
    // A null date returns the clock to the system date.
    void SetToday(const WSIDate& date) { fixed_ = date; }
    bool IsFixed() const { return !fixed_.IsNull(); }

    static WSIDate SystemToday();

private:
    WSIDate fixed_;
};

} // namespace tavel
