#pragma once

// Today's date for the database service: the system's local date unless a date has been
// set (tests, a host that runs "as of" a day).

#include "Record.h"

namespace tavel {

// Days since 1970-01-01 of a valid calendar date and back (proleptic Gregorian), so that
// dates compare by difference and lie any number of days apart.
long DayNumber(const WSIDate& date);
WSIDate DateOfDayNumber(long day);

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
