#include "solar/UtcCalendar.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <ctime>

namespace {

// 2004-06-21 12:00:00 UTC.
constexpr long long kMidsummer2004 = 1087819200;

TEST(UtcCalendarTest, KnownDates) {
    EXPECT_EQ(DaysFromCivil(1970, 1, 1), 0);
    EXPECT_EQ(DaysFromCivil(2000, 3, 1), 11017);
    EXPECT_EQ(DaysFromCivil(1969, 12, 31), -1);
    EXPECT_EQ(UtcCalendarSeconds(2004, 6, 21, 12, 0, 0), kMidsummer2004);
    // The 32-bit limits.
    EXPECT_EQ(UtcCalendarSeconds(2038, 1, 19, 3, 14, 7), INT32_MAX);
    EXPECT_EQ(UtcCalendarSeconds(1901, 12, 13, 20, 45, 52), INT32_MIN);
}

TEST(UtcCalendarTest, LeapYearRules) {
    EXPECT_EQ(DaysFromCivil(1900, 3, 1) - DaysFromCivil(1900, 2, 28), 1);
    EXPECT_EQ(DaysFromCivil(2000, 3, 1) - DaysFromCivil(2000, 2, 28), 2);
    EXPECT_EQ(DaysFromCivil(2004, 3, 1) - DaysFromCivil(2004, 2, 28), 2);
    EXPECT_EQ(DaysFromCivil(2100, 3, 1) - DaysFromCivil(2100, 2, 28), 1);
}

TEST(UtcCalendarTest, OutOfRangeFieldsRollIntoNeighbouringDays) {
    long long midnight = UtcCalendarSeconds(2004, 6, 21, 0, 0, 0);
    EXPECT_EQ(UtcCalendarSeconds(2004, 6, 21, -2, -59, 0), midnight - 2 * 3600 - 59 * 60);
    EXPECT_EQ(UtcCalendarSeconds(2004, 6, 21, 25, 30, 0), midnight + 25 * 3600 + 30 * 60);
    EXPECT_EQ(UtcCalendarSeconds(2004, 12, 32, 0, 0, 0), UtcCalendarSeconds(2005, 1, 1, 0, 0, 0));
}

TEST(UtcCalendarTest, BreakdownOfMomentsBefore1970AndAtTheLimits) {
    std::tm tm;
    UtcBreakdown(INT32_MIN, tm);
    EXPECT_EQ(tm.tm_year, 1);
    EXPECT_EQ(tm.tm_mon, 11);
    EXPECT_EQ(tm.tm_mday, 13);
    EXPECT_EQ(tm.tm_hour, 20);
    EXPECT_EQ(tm.tm_min, 45);
    EXPECT_EQ(tm.tm_sec, 52);
    EXPECT_EQ(tm.tm_wday, 5);  // a Friday
    EXPECT_EQ(tm.tm_yday, 346);

    UtcBreakdown(-1, tm);
    EXPECT_EQ(tm.tm_year, 69);
    EXPECT_EQ(tm.tm_yday, 364);
    EXPECT_EQ(tm.tm_hour, 23);
    EXPECT_EQ(tm.tm_sec, 59);
    EXPECT_EQ(tm.tm_wday, 3);

    UtcBreakdown(INT32_MAX, tm);
    EXPECT_EQ(tm.tm_year, 138);
    EXPECT_EQ(tm.tm_mon, 0);
    EXPECT_EQ(tm.tm_mday, 19);
    EXPECT_EQ(tm.tm_hour, 3);
}

TEST(UtcCalendarTest, BreakdownAgreesWithRuntimeGmtime) {
    // Every ~2.9 days from 1970 to 2038, at varying times of day.
    for (long long t = 0; t < INT32_MAX - 250001; t += 250001) {
        time_t rt = static_cast<time_t>(t);
        const std::tm* ref = std::gmtime(&rt);
        ASSERT_NE(ref, nullptr) << t;
        std::tm expected = *ref;
        std::tm tm;
        UtcBreakdown(t, tm);
        ASSERT_EQ(tm.tm_year, expected.tm_year) << t;
        ASSERT_EQ(tm.tm_mon, expected.tm_mon) << t;
        ASSERT_EQ(tm.tm_mday, expected.tm_mday) << t;
        ASSERT_EQ(tm.tm_hour, expected.tm_hour) << t;
        ASSERT_EQ(tm.tm_min, expected.tm_min) << t;
        ASSERT_EQ(tm.tm_sec, expected.tm_sec) << t;
        ASSERT_EQ(tm.tm_wday, expected.tm_wday) << t;
        ASSERT_EQ(tm.tm_yday, expected.tm_yday) << t;
        ASSERT_EQ(UtcCalendarSeconds(tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min,
                                     tm.tm_sec),
                  t);
    }
}

}  // namespace
