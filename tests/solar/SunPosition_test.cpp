#include "solar/SunPosition.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <ctime>

#include "solar/UtcCalendar.h"

namespace {

time_t Utc(int year, int month, int day, int hour = 0, int minute = 0, int second = 0) {
    return static_cast<time_t>(UtcCalendarSeconds(year, month, day, hour, minute, second));
}

double Latitude(time_t t) {
    double lat, lon;
    ComputeSubsolarPoint(t, lat, lon);
    return lat;
}

double Longitude(time_t t) {
    double lat, lon;
    ComputeSubsolarPoint(t, lat, lon);
    return lon;
}

constexpr double kDeg = kPi / 180;

TEST(UtcDayTest, FractionAndDayOfYear) {
    EXPECT_DOUBLE_EQ(UtcDayFraction(Utc(2004, 6, 21, 12)), 0.5);
    EXPECT_EQ(UtcDayFraction(Utc(2004, 6, 21)), 0.0);
    EXPECT_LT(UtcDayFraction(Utc(2004, 6, 21, 23, 59, 59)), 1.0);
    EXPECT_DOUBLE_EQ(UtcDayOfYear(Utc(2004, 1, 2, 6)), 1.25);
    EXPECT_EQ(UtcDayOfYear(Utc(2004, 1, 1)), 0.0);
    // The leap day counts: 31 December of a leap year is day 365.
    EXPECT_DOUBLE_EQ(UtcDayOfYear(Utc(2004, 12, 31)), 365.0);
    EXPECT_DOUBLE_EQ(UtcDayOfYear(Utc(2005, 12, 31)), 364.0);
}

TEST(MarchEquinoxDayTest, SameValueForEveryMomentOfTheYear) {
    for (time_t t : {Utc(2004, 1, 1), Utc(2004, 3, 20, 6, 42, 35), Utc(2004, 12, 31, 23, 59, 59)}) {
        EXPECT_DOUBLE_EQ(MarchEquinoxDay(&t), 79.27957175925926);
    }
    time_t t2005 = Utc(2005, 7, 1);
    EXPECT_DOUBLE_EQ(MarchEquinoxDay(&t2005), 78.52194444444444);
}

TEST(MarchEquinoxDayTest, StepsByTheTropicalYearOverThe32BitRange) {
    time_t first = Utc(1901, 12, 31);
    double previous = MarchEquinoxDay(&first);
    for (int year = 1902; year <= 2037; ++year) {
        time_t t = Utc(year, 6, 1);
        double day = MarchEquinoxDay(&t);
        // 19 to 21 March.
        EXPECT_GE(day, 77.0) << year;
        EXPECT_LT(day, 81.0) << year;
        // The equinox advances by one tropical year (plus the polynomial's slow
        // drift of about 20 s a year), measured from a new year that advanced by
        // the calendar year just ended.
        double lengthOfLastYear =
            static_cast<double>(DaysFromCivil(year, 1, 1) - DaysFromCivil(year - 1, 1, 1));
        EXPECT_NEAR(day - previous, 365.2421376 - lengthOfLastYear, 3e-4) << year;
        previous = day;
    }
    // The first moment a 32-bit time_t can hold, in December 1901.
    time_t limit = static_cast<time_t>(INT32_MIN);
    EXPECT_DOUBLE_EQ(MarchEquinoxDay(&limit), MarchEquinoxDay(&first));
}

TEST(SubsolarPointTest, LongitudeFollowsTheUtcClock) {
    EXPECT_EQ(Longitude(Utc(2004, 6, 21, 12)), 0.0);
    EXPECT_DOUBLE_EQ(Longitude(Utc(2004, 6, 21)), kPi);
    EXPECT_DOUBLE_EQ(Longitude(Utc(2004, 6, 21, 18)), -kPi / 2);
    double lastSecond = Longitude(Utc(2004, 6, 21, 23, 59, 59));
    EXPECT_GT(lastSecond, -kPi);
    EXPECT_NEAR(lastSecond, -kPi + kTwoPi / 86400, 1e-12);
}

TEST(SubsolarPointTest, LatitudeAtMidsummer2004) {
    double lat, lon;
    ComputeSubsolarPoint(Utc(2004, 6, 21, 12), lat, lon);
    EXPECT_NEAR(lat, 0.40819, 1e-5);
    EXPECT_NEAR(lat / kDeg, 23.3874, 1e-4);
    EXPECT_EQ(lon, 0.0);
}

TEST(SubsolarPointTest, SouthernSummerBeforeTheEquinoxAndZeroAtIt) {
    EXPECT_LT(Latitude(Utc(2004, 1, 1)), -0.35);
    EXPECT_LT(Latitude(Utc(2004, 3, 15)), 0.0);
    EXPECT_NEAR(Latitude(Utc(2004, 3, 20, 6, 42, 35)), 0.0, 1e-12);
    EXPECT_GT(Latitude(Utc(2004, 3, 20, 6, 42, 36)), 0.0);
    EXPECT_LT(Latitude(Utc(2004, 3, 20, 6, 42, 34)), 0.0);
    EXPECT_LT(Latitude(Utc(2004, 12, 21)), -0.40);
    // Works for moments before 1970 as well (32-bit time_t reaches 1901).
    EXPECT_LT(Latitude(static_cast<time_t>(INT32_MIN)), -0.39);
}

TEST(SubsolarPointTest, LatitudeIsContinuousAcrossTheTurnOfTheYear) {
    for (int year = 1970; year < 2037; ++year) {
        double before = Latitude(Utc(year, 12, 31, 23, 59, 59));
        double after = Latitude(Utc(year + 1, 1, 1));
        EXPECT_NEAR(before / kDeg, after / kDeg, 1e-4) << year;
    }
}

TEST(SeriesTest, ValuesOnTheFirstOfJanuary) {
    time_t t = Utc(2004, 1, 1);
    EXPECT_EQ(FractionalYearAngle(t), 0.0);
    EXPECT_NEAR(EquationOfTime(t), -2.90416896, 1e-12);
    EXPECT_NEAR(SolarDeclination(t), -0.402449, 1e-12);
}

TEST(SeriesTest, MidsummerValues) {
    time_t t = Utc(2004, 6, 21, 12);
    EXPECT_NEAR(EquationOfTime(t), -1.6319, 1e-4);
    // The series declination at the solstice is close to the obliquity.
    EXPECT_NEAR(SolarDeclination(t), 23.44 * kDeg, 0.03 * kDeg);
}

TEST(WrapAngleTest, ReducesIntoMinusPiToPi) {
    auto wrap = [](double a) {
        WrapAngle(&a);
        return a;
    };
    EXPECT_DOUBLE_EQ(wrap(4.0), 4.0 - kTwoPi);
    EXPECT_DOUBLE_EQ(wrap(-4.0), kTwoPi - 4.0);
    EXPECT_EQ(wrap(kPi), kPi);
    EXPECT_EQ(wrap(-kPi), -kPi);
    EXPECT_EQ(wrap(0.0), 0.0);
    EXPECT_NEAR(wrap(3 * kTwoPi + 1.0), 1.0, 1e-12);
    EXPECT_NEAR(wrap(-3 * kTwoPi - 1.0), -1.0, 1e-12);
    for (double a = -50; a <= 50; a += 0.37) {
        double r = wrap(a);
        EXPECT_GE(r, -kPi);
        EXPECT_LE(r, kPi);
        EXPECT_NEAR(std::cos(r), std::cos(a), 1e-9);
    }
}

TEST(SolarNoonOffsetTest, SignAndSizeAroundTheSubsolarMeridian) {
    time_t t = Utc(2004, 6, 21, 9, 30);
    double sun = Longitude(t);
    EXPECT_NEAR(SolarNoonOffset(t, sun), 0.0, 1e-9);
    EXPECT_NEAR(SolarNoonOffset(t, sun + kPi / 2), 21600.0, 1e-6);
    EXPECT_NEAR(SolarNoonOffset(t, sun - kPi / 2), -21600.0, 1e-6);
    // Greenwich at 09:30 UTC is two and a half hours before noon.
    EXPECT_NEAR(SolarNoonOffset(t, 0.0), -9000.0, 1e-6);
    // Longitudes given outside -pi..pi mean the same meridian.
    EXPECT_NEAR(SolarNoonOffset(t, kTwoPi), -9000.0, 1e-6);
    EXPECT_NEAR(AngleFromSubsolar(t, sun + 0.1), 0.1, 1e-12);
}

TEST(SolarNoonOffsetTest, StaysWithinHalfADay) {
    time_t t = Utc(2004, 6, 21, 23, 59, 59);
    for (double lon = -kPi; lon <= kPi; lon += 0.01) {
        double s = SolarNoonOffset(t, lon);
        EXPECT_GE(s, -43200.0);
        EXPECT_LE(s, 43200.0);
    }
}

}  // namespace
