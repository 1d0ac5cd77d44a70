#include "solar/Formatting.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <ctime>
#include <string>

#include "ScopedTimeZone.h"
#include "solar/SunPosition.h"
#include "solar/UtcCalendar.h"

namespace {

std::string Lat(double degrees) {
    char buffer[256];
    FormatLatitude(buffer, degrees, sizeof buffer);
    return buffer;
}

std::string Lon(double degrees) {
    char buffer[256];
    FormatLongitude(buffer, degrees, sizeof buffer);
    return buffer;
}

std::string Hours(int seconds) {
    char buffer[kHoursOffsetBufferSize] = "untouched";
    return FormatHoursOffset(seconds, buffer);
}

TEST(SplitDegreesTest, HemisphereLetters) {
    int d, m;
    double s;
    char letter;
    SplitDegrees(-0.0, "NS", d, m, s, letter);
    EXPECT_EQ(letter, 'N');
    EXPECT_EQ(d, 0);
    SplitDegrees(-12.5, "EW", d, m, s, letter);
    EXPECT_EQ(letter, 'W');
    EXPECT_EQ(d, 12);
    EXPECT_EQ(m, 30);
    EXPECT_DOUBLE_EQ(s, 0.0);
    SplitDegrees(0.0, "EW", d, m, s, letter);
    EXPECT_EQ(letter, 'E');
}

TEST(FormatCoordinateTest, ExamplesWithDegreeSign) {
    EXPECT_EQ(Lat(51.5),
              "51\xB0"
              "30'00\" N");
    EXPECT_EQ(Lat(-5.0),
              " 5\xB0"
              "00'00\" S");
    EXPECT_EQ(Lon(-0.25),
              "  0\xB0"
              "15'00\" W");
    EXPECT_EQ(Lon(-0.12),
              "  0\xB0"
              "07'12\" W");
    EXPECT_EQ(Lon(2.35),
              "  2\xB0"
              "21'00\" E");
    EXPECT_EQ(Lon(-179.5),
              "179\xB0"
              "30'00\" W");
}

TEST(FormatCoordinateTest, SecondsRoundingToSixtyCarryIntoMinutesAndDegrees) {
    EXPECT_EQ(Lat(10.99999),
              "11\xB0"
              "00'00\" N");
    EXPECT_EQ(Lat(-33.9),
              "33\xB0"
              "54'00\" S");
    EXPECT_EQ(Lon(151.2),
              "151\xB0"
              "12'00\" E");
    EXPECT_EQ(Lat(30.05),
              "30\xB0"
              "03'00\" N");
}

TEST(FormatCoordinateTest, ExactHalfSecondsRoundTheSameEverywhere) {
    // 1/32 degree is 1'52.5" exactly; both runtimes round half to even.
    EXPECT_EQ(Lat(0.03125),
              " 0\xB0"
              "01'52\" N");
    EXPECT_EQ(Lat(0.09375),
              " 0\xB0"
              "05'38\" N");  // 5'37.5"
}

TEST(FormatCoordinateTest, SmallBuffersAndAbsurdValuesStayInBounds) {
    char buffer[16];
    std::memset(buffer, 'x', sizeof buffer);
    FormatLongitude(buffer, -179.99999);
    EXPECT_LT(std::strlen(buffer), sizeof buffer);
    FormatLatitude(buffer, 1e30);
    EXPECT_EQ(std::strlen(buffer), sizeof buffer - 1);
    FormatLatitude(buffer, std::nan(""));
    EXPECT_LT(std::strlen(buffer), sizeof buffer);
}

TEST(FormatHoursOffsetTest, WholeAndFractionalHours) {
    EXPECT_EQ(Hours(3600), "+1h");
    EXPECT_EQ(Hours(-18000), "-5h");
    EXPECT_EQ(Hours(19800), "+5.5h");
    EXPECT_EQ(Hours(-16200), "-4.5h");
    EXPECT_EQ(Hours(1800), "+0.5h");
    EXPECT_EQ(Hours(2700), "+0.8h");
    EXPECT_EQ(Hours(43200), "+12h");
    EXPECT_EQ(Hours(-45000), "-12.5h");
    EXPECT_EQ(Hours(20700), "+5.8h");  // 5:45
}

TEST(FormatHoursOffsetTest, ZeroLeavesTheBufferAlone) {
    char buffer[kHoursOffsetBufferSize] = "untouched";
    EXPECT_STREQ(FormatHoursOffset(0, buffer), "");
    EXPECT_STREQ(buffer, "untouched");
}

TEST(FormatHoursOffsetTest, NullBufferUsesOneSharedBuffer) {
    const char* first = FormatHoursOffset(3600, nullptr);
    EXPECT_STREQ(first, "+1h");
    const char* second = FormatHoursOffset(-7200, nullptr);
    EXPECT_EQ(first, second);
    EXPECT_STREQ(second, "-2h");
    // The longest texts an int can give still fit.
    EXPECT_LT(std::strlen(FormatHoursOffset(-2147483647 - 1, nullptr)), kHoursOffsetBufferSize);
    EXPECT_EQ(std::strncmp(FormatHoursOffset(-2147483647 - 1, nullptr), "-596523.", 8), 0);
}

TEST(WeekdayNameTest, ReducesModuloSeven) {
    EXPECT_STREQ(WeekdayName(0), "Sun");
    EXPECT_STREQ(WeekdayName(3), "Wed");
    EXPECT_STREQ(WeekdayName(6), "Sat");
    EXPECT_STREQ(WeekdayName(7), "Sun");
    // A negative value does not index before the table.
    EXPECT_STREQ(WeekdayName(-1), "Sat");
    EXPECT_STREQ(WeekdayName(-2147483647 - 1), WeekdayName(((-2147483647 - 1) % 7) + 7));
}

TEST(LongitudeZoneOffsetTest, RoundsUpToWholeHours) {
    EXPECT_EQ(LongitudeZoneOffset(0, 10), 3600);
    EXPECT_EQ(LongitudeZoneOffset(0, 0.1), 3600);
    EXPECT_EQ(LongitudeZoneOffset(0, 15), 3600);
    EXPECT_EQ(LongitudeZoneOffset(0, 15.01), 7200);
    EXPECT_EQ(LongitudeZoneOffset(0, 0), 0);
    EXPECT_EQ(LongitudeZoneOffset(0, -10), 0);
    EXPECT_EQ(LongitudeZoneOffset(0, -80), -18000);
    EXPECT_EQ(LongitudeZoneOffset(89, -80), -18000);  // latitude plays no part
}

TEST(LongitudeZoneOffsetTest, DatelineAndWrapping) {
    EXPECT_EQ(LongitudeZoneOffset(0, 180), 43200);
    EXPECT_EQ(LongitudeZoneOffset(0, -180), -43200);
    EXPECT_EQ(LongitudeZoneOffset(0, 540), 43200);
    EXPECT_EQ(LongitudeZoneOffset(0, 181), -39600);
    EXPECT_EQ(LongitudeZoneOffset(0, -181), 43200);
    EXPECT_EQ(LongitudeZoneOffset(0, std::nan("")), 0);
    EXPECT_EQ(LongitudeZoneOffset(0, HUGE_VAL), 0);
}

TEST(LongitudeZoneDifferenceTest, AgainstTheMachineZone) {
    {
        // A zone one hour east of UTC.
        ScopedTimeZone zone("CET-1CEST");
        EXPECT_EQ(MachineZoneOffset(), 3600);
        EXPECT_EQ(LongitudeZoneDifference(52.5, 13.4), 0);
        EXPECT_EQ(LongitudeZoneDifference(40.7, -74.0), -5 * 3600);  // ceil(-4.93) = -4
    }
    {
        // A zone five hours west of UTC.
        ScopedTimeZone zone("EST5EDT");
        EXPECT_EQ(MachineZoneOffset(), -18000);
        EXPECT_EQ(LongitudeZoneDifference(40.7, -74.0), 3600);
        EXPECT_EQ(LongitudeZoneDifference(52.5, 13.4), 6 * 3600);
    }
}

TEST(LongitudeZoneTimeTest, ClockOfTheNominalZone) {
    time_t t = static_cast<time_t>(UtcCalendarSeconds(2004, 6, 21, 12, 0, 0));
    std::tm sydney = *LongitudeZoneTime(&t, -33.9, 151.2);  // ceil(10.08) = 11 hours
    EXPECT_EQ(sydney.tm_hour, 23);
    EXPECT_EQ(sydney.tm_mday, 21);
    std::tm london = *LongitudeZoneTime(&t, 51.5, -0.12);
    EXPECT_EQ(london.tm_hour, 12);
    time_t late = static_cast<time_t>(UtcCalendarSeconds(2004, 6, 21, 20, 30, 0));
    std::tm tokyo = *LongitudeZoneTime(&late, 35.7, 139.7);  // 10 hours
    EXPECT_EQ(tokyo.tm_mday, 22);
    EXPECT_EQ(tokyo.tm_hour, 6);
    EXPECT_EQ(tokyo.tm_min, 30);
    EXPECT_EQ(tokyo.tm_wday, 2);  // Tuesday
}

TEST(LongitudeZoneTimeTest, JustAfter1970WestOfGreenwichStillGivesATime) {
    time_t t = 3600;
    std::tm* tm = LongitudeZoneTime(&t, 0, -80);
    ASSERT_NE(tm, nullptr);
    EXPECT_EQ(tm->tm_year, 69);
    EXPECT_EQ(tm->tm_hour, 20);
}

}  // namespace
