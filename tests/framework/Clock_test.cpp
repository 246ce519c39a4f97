#include "Clock.h"

#include <gtest/gtest.h>

namespace {

TEST(DayNumberTest, KnownDaysAndLeapYears) {
    struct Case {
        WSIDate date;
        long day;
    } cases[] = {
        {{1970, 1, 1}, 0},     {{1969, 12, 31}, -1},    {{2000, 2, 29}, 11016},
        {{2000, 3, 1}, 11017}, {{1900, 3, 1}, -25508},  {{2026, 12, 5}, 20792},
        {{2100, 3, 1}, 47541}, {{1600, 1, 1}, -135140},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(tavel::DayNumber(c.date), c.day) << c.date.year << "-" << c.date.month;
        EXPECT_EQ(tavel::DateOfDayNumber(c.day), c.date) << c.day;
    }
    // 1900 and 2100 have no 29 February; 2000 has.
    EXPECT_EQ(tavel::DayNumber({1900, 3, 1}) - tavel::DayNumber({1900, 2, 28}), 1);
    EXPECT_EQ(tavel::DayNumber({2100, 3, 1}) - tavel::DayNumber({2100, 2, 28}), 1);
    EXPECT_EQ(tavel::DayNumber({2000, 3, 1}) - tavel::DayNumber({2000, 2, 28}), 2);
}

TEST(DayNumberTest, EveryDayRoundTripsAndFollowsTheDayBefore) {
    WSIDate previous = tavel::DateOfDayNumber(-80000);
    for (long day = -79999; day <= 80000; ++day) {
        const WSIDate d = tavel::DateOfDayNumber(day);
        ASSERT_EQ(tavel::DayNumber(d), day);
        const bool nextInMonth =
            d.year == previous.year && d.month == previous.month && d.day == previous.day + 1;
        const bool firstOfNextMonth =
            d.day == 1 && ((d.year == previous.year && d.month == previous.month + 1) ||
                           (d.year == previous.year + 1 && d.month == 1 && previous.month == 12));
        ASSERT_TRUE(nextInMonth || firstOfNextMonth) << day;
        if (firstOfNextMonth) {
            static const int kLength[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
            const int y = previous.year;
            const bool leap = (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
            ASSERT_EQ(previous.day, kLength[previous.month - 1] + (previous.month == 2 && leap))
                << previous.year << "-" << previous.month;
        }
        previous = d;
    }
}

} // namespace
