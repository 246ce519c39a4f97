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

namespace {

// Every entry point takes its dates through one parser: only days that exist, years
// 1900..2199, in the form of the place (tools: ISO; screens: month/day/year).
TEST(EntryDateTest, OnlyRealDaysInTheEntryYearsAreTaken) {
    struct Case {
        const char* text;
        tavel::DateForm form;
        WSIDate expected; // null: refused
    } cases[] = {
        {"2027-02-28", tavel::DateForm::Iso, {2027, 2, 28}},
        {"2027-02-30", tavel::DateForm::Iso, {}},
        {"2027-04-31", tavel::DateForm::Iso, {}},
        {"2028-02-29", tavel::DateForm::Iso, {2028, 2, 29}},
        {"2100-02-29", tavel::DateForm::Iso, {}},
        {"2000-02-29", tavel::DateForm::Iso, {2000, 2, 29}},
        {"0000-01-01", tavel::DateForm::Iso, {}},
        {"1900-01-01", tavel::DateForm::Iso, {1900, 1, 1}},
        {"1899-12-31", tavel::DateForm::Iso, {}},
        {"2199-12-31", tavel::DateForm::Iso, {2199, 12, 31}},
        {"2200-01-01", tavel::DateForm::Iso, {}},
        {"2027-13-01", tavel::DateForm::Iso, {}},
        {"2027-00-10", tavel::DateForm::Iso, {}},
        {"2027-01-00", tavel::DateForm::Iso, {}},
        {" 2027-01-05 ", tavel::DateForm::Iso, {2027, 1, 5}},
        {"2027-1-5", tavel::DateForm::Iso, {}},
        {"2027-01-05x", tavel::DateForm::Iso, {}},
        {"20270-01-05", tavel::DateForm::Iso, {}},
        {"", tavel::DateForm::Iso, {}},
        {"2/29/2028", tavel::DateForm::MonthDayYear, {2028, 2, 29}},
        {"02/29/2027", tavel::DateForm::MonthDayYear, {}},
        {"4/31/2027", tavel::DateForm::MonthDayYear, {}},
        {"12/31/49", tavel::DateForm::MonthDayYear, {2049, 12, 31}},
        {"1/1/50", tavel::DateForm::MonthDayYear, {1950, 1, 1}},
        {"1/1/0000", tavel::DateForm::MonthDayYear, {}},
        {"1/1/1899", tavel::DateForm::MonthDayYear, {}},
        {"12/31/2199", tavel::DateForm::MonthDayYear, {2199, 12, 31}},
        {"1/1/2200", tavel::DateForm::MonthDayYear, {}},
        {"1/1/202", tavel::DateForm::MonthDayYear, {}},
        {"2027-01-05", tavel::DateForm::MonthDayYear, {}},
    };
    for (const Case& c : cases) {
        WSIDate parsed{1, 1, 1};
        const bool ok = tavel::ParseEntryDate(c.text, c.form, parsed);
        EXPECT_EQ(ok, !c.expected.IsNull()) << "'" << c.text << "'";
        EXPECT_EQ(parsed, c.expected) << "'" << c.text << "'";
    }
}

TEST(EntryDateTest, CalendarDatesAreThoseThatExist) {
    EXPECT_TRUE(tavel::IsCalendarDate({2024, 2, 29}));
    EXPECT_FALSE(tavel::IsCalendarDate({2023, 2, 29}));
    EXPECT_FALSE(tavel::IsCalendarDate({2023, 6, 31}));
    EXPECT_FALSE(tavel::IsCalendarDate({0, 1, 1}));
    EXPECT_FALSE(tavel::IsCalendarDate({2023, 13, 1}));
    EXPECT_FALSE(tavel::IsCalendarDate({}));
}

} // namespace
