#include "solar/Sunrise.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <ctime>

#include "ScopedTimeZone.h"
#include "solar/Formatting.h"
#include "solar/SunPosition.h"
#include "solar/UtcCalendar.h"

namespace {

time_t Utc(int year, int month, int day, int hour = 0, int minute = 0, int second = 0) {
    return static_cast<time_t>(UtcCalendarSeconds(year, month, day, hour, minute, second));
}

const time_t kMidsummer = Utc(2004, 6, 21, 12);
const time_t kWinter = Utc(2004, 1, 15, 12);
const time_t kSummer = Utc(2004, 7, 15, 12);

TEST(SunriseTest, LondonAtMidsummer) {
    EXPECT_NEAR(SunriseHourAngle(kMidsummer, 51.5), 124.814, 1e-3);
    EXPECT_EQ(SunriseTime(kMidsummer, 51.5, -0.12), Utc(2004, 6, 21, 3, 42));
    EXPECT_EQ(SunsetTime(kMidsummer, 51.5, -0.12), Utc(2004, 6, 21, 20, 21));
}

TEST(SunriseTest, EquatorAtGreenwich) {
    EXPECT_EQ(SunriseTime(kMidsummer, 0, 0), Utc(2004, 6, 21, 5, 57));
    EXPECT_EQ(SunsetTime(kMidsummer, 0, 0), Utc(2004, 6, 21, 18, 5));
}

TEST(SunriseTest, FarEastSunriseFallsOnThePreviousUtcDay) {
    // m = -179.92 minutes: -2 hours and -59 minutes, toward 00:00.
    EXPECT_EQ(SunriseTime(kMidsummer, -33.9, 151.2), Utc(2004, 6, 20, 21, 1));
    EXPECT_EQ(SunsetTime(kMidsummer, -33.9, 151.2), Utc(2004, 6, 21, 6, 53));
}

TEST(SunriseTest, ResultsAreWholeMinutesOfTheUtcDateOfTheMoment) {
    // The same UTC date gives the same events whatever the time of day, up to
    // the slow drift of the series within the day.
    for (int hour = 0; hour < 24; hour += 3) {
        time_t t = Utc(2004, 6, 21, hour, 17, 23);
        time_t rise = SunriseTime(t, 51.5, -0.12);
        EXPECT_EQ(rise % 60, 0);
        EXPECT_NEAR(static_cast<double>(rise), static_cast<double>(Utc(2004, 6, 21, 3, 42)), 120.0);
    }
}

TEST(SunriseTest, PolarDayAndNightGiveTheSentinel) {
    // Assumes a zone one hour east of UTC, so the sentinel is 3599.
    ScopedTimeZone zone("CET-1CEST");
    const time_t sentinel = static_cast<time_t>(LocalStandardOffset() - 1);
    EXPECT_EQ(sentinel, 3599);
    for (double latitude : {80.0, -80.0, 90.0, -90.0}) {
        EXPECT_TRUE(std::isnan(SunriseHourAngle(kMidsummer, latitude))) << latitude;
        EXPECT_EQ(SunriseTime(kMidsummer, latitude, 10.0), sentinel) << latitude;
        EXPECT_EQ(SunsetTime(kMidsummer, latitude, 10.0), sentinel) << latitude;
    }
    // In December the poles swap.
    EXPECT_EQ(SunriseTime(Utc(2004, 12, 21), 80.0, 0), sentinel);
    EXPECT_NE(SunriseTime(Utc(2004, 12, 21), 60.0, 0), sentinel);
}

TEST(SunriseTest, NonsenseCoordinatesDoNotMisbehave) {
    ScopedTimeZone zone("UTC0");
    EXPECT_EQ(SunriseTime(kMidsummer, std::nan(""), 0), -1);
    EXPECT_EQ(SunsetTime(kMidsummer, 10, std::nan("")), -1);
    EXPECT_EQ(SunsetTime(kMidsummer, 10, 1e300), -1);
}

// 2038-01-19 is the last day a 32-bit time_t reaches (until 03:14:07 UTC);
// London's sunrise and sunset that day lie beyond it.
TEST(SunriseTest, EventsPastTheEndOfTheTimeRange) {
    ScopedTimeZone zone("UTC0");
    const time_t lastDay = Utc(2038, 1, 19);
    const time_t rise = SunriseTime(lastDay, 51.5, -0.12);
    const time_t set = SunsetTime(lastDay, 51.5, -0.12);
    if (sizeof(time_t) == 4) {
        // 32 bits: no such moment, so no event, never a moment of 1901.
        EXPECT_EQ(rise, -1);
        EXPECT_EQ(set, -1);
    } else {
        // 64 bits: the real events, about 08:00 and 16:30 UTC.
        EXPECT_NEAR(static_cast<double>(rise - lastDay), 8 * 3600.0, 1800);
        EXPECT_NEAR(static_cast<double>(set - lastDay), 16.5 * 3600, 1800);
    }
}

// At the ends of the 32-bit range the UTC reading of the moment, taken as
// local time, lies outside a 32-bit time_t (mktime fails there); the offset
// must not come out of that failure. Same expectations for both widths.
TEST(MachineZoneTest, StandardOffsetAtTheEndsOfThe32BitRange) {
    {
        ScopedTimeZone zone("EST5");
        EXPECT_EQ(LocalStandardOffsetAt(static_cast<time_t>(INT32_MAX)), -18000);
    }
#ifndef _WIN32
    // The Windows runtime has no local time before 1970.
    ScopedTimeZone zone("JST-9");
    EXPECT_EQ(LocalStandardOffsetAt(static_cast<time_t>(INT32_MIN)), 32400);
#endif
}

TEST(SunriseTest, HourAngleRange) {
    for (double latitude = -65; latitude <= 65; latitude += 5) {
        double h = SunriseHourAngle(kMidsummer, latitude);
        EXPECT_GE(h, 0.0) << latitude;
        EXPECT_LE(h, 180.0) << latitude;
    }
    // Days are longer in the summer hemisphere.
    EXPECT_GT(SunriseHourAngle(kMidsummer, 40), SunriseHourAngle(kMidsummer, -40));
}

// The standard-time offset must not depend on the season, and the three ways
// the program reads the machine's zone must agree.
struct ZoneCase {
    const char* zone;
    int offset;   // seconds east of UTC, standard time
    int xOffset;  // degrees the controller rotates the map by
};

class MachineZoneTest : public ::testing::TestWithParam<ZoneCase> {};

TEST_P(MachineZoneTest, StandardOffsetAgreesInSummerAndWinter) {
    const ZoneCase& c = GetParam();
    ScopedTimeZone zone(c.zone);
    EXPECT_EQ(LocalStandardOffsetAt(kWinter), c.offset);
    EXPECT_EQ(LocalStandardOffsetAt(kSummer), c.offset);
    EXPECT_EQ(LocalStandardOffset(), c.offset);
    EXPECT_EQ(MachineZoneOffset(), c.offset);
    // The controller's rotation: 15 degrees per hour west, in 0..359.
    for (time_t t : {kWinter, kSummer}) {
        double d = LocalStandardOffsetAt(t);
        int x = static_cast<int>(std::fmod(-d / 3600 / 24 * 360 + 360, 360));
        EXPECT_EQ(x, c.xOffset);
    }
}

INSTANTIATE_TEST_SUITE_P(Zones, MachineZoneTest,
                         ::testing::Values(ZoneCase{"UTC0", 0, 0}, ZoneCase{"CET-1CEST", 3600, 345},
                                           ZoneCase{"EST5EDT", -18000, 75},
                                           ZoneCase{"IST-5:30", 19800, 277}));

TEST(MachineZoneTest, SummerTimeIsReallyInEffectInTheAssumedZones) {
    // Guards the test above: if the runtime ignored the summer rule, summer and
    // winter would agree for the wrong reason.
    ScopedTimeZone zone("CET-1CEST");
    time_t t = kSummer;
    const std::tm* local = std::localtime(&t);
    ASSERT_NE(local, nullptr);
    EXPECT_GT(local->tm_isdst, 0);
    EXPECT_EQ(local->tm_hour, 14);
}

}  // namespace
