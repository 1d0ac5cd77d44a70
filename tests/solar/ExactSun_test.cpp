#include "solar/ExactSun.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>

#include "solar/SunModel.h"
#include "solar/Sunrise.h"
#include "solar/UtcCalendar.h"

namespace {

struct SubsolarReference {
    long long t;
    double latitude, longitude;
};
constexpr double kNoEvent = -1e300;
struct EventReference {
    long long t;
    double latitude, longitude, sunrise, sunset;
};
struct TwilightReference {
    long long t;
    double latitude, longitude;
    int depth;
    double dawn, dusk;
};
#include "tests/solar/exact_sun_reference.inc"

constexpr double kDeg = 3.141592653589793 / 180;

bool Fits(long long t) {
    return t >= static_cast<long long>(std::numeric_limits<time_t>::min()) &&
           t <= static_cast<long long>(std::numeric_limits<time_t>::max());
}

// Against the IAU's SOFA routines (ERFA) at 400 moments spread over the whole
// 32-bit range: 0.005 degree is the promise, a few arc seconds the theory.
TEST(ExactSunTest, SubsolarPointMatchesAModernEphemeris) {
    double worst = 0;
    for (const SubsolarReference& r : kSubsolarReference) {
        double lat, lon;
        ExactSubsolarPoint(static_cast<double>(r.t), lat, lon);
        const double dLat = lat / kDeg - r.latitude;
        const double dLon = std::remainder(lon / kDeg - r.longitude, 360.0);
        EXPECT_LT(std::fabs(dLat), 0.005) << r.t;
        EXPECT_LT(std::fabs(dLon), 0.005) << r.t;
        EXPECT_LE(std::fabs(lon), 3.141592653589793);
        worst = std::fmax(worst, std::fmax(std::fabs(dLat), std::fabs(dLon)));
    }
    RecordProperty("worst_arcsec", static_cast<int>(worst * 3600 * 100));
}

// Published worked examples (Meeus, Astronomical Algorithms, 2nd ed.).
TEST(ExactSunTest, MatchesPublishedWorkedExamples) {
    // Example 25.b: 1992 October 13.0 TD, apparent place 13h13m30.749s,
    // -7 deg 47' 01.74". The moment is given in TT, so step back by Delta T.
    const double tt = static_cast<double>(UtcCalendarSeconds(1992, 10, 13, 0, 0, 0));
    const ApparentSun sun = ComputeApparentSun(tt - DeltaTSeconds(1992.78));
    EXPECT_NEAR(sun.rightAscension / kDeg * 240, (13 * 3600 + 13 * 60 + 30.749), 0.07);
    EXPECT_NEAR(sun.declination / kDeg * 3600, -(7 * 3600 + 47 * 60 + 1.74), 1.0);
    EXPECT_NEAR(sun.distance, 0.99760775, 2e-6);
    // Example 12.a: apparent sidereal time at 1987 April 10, 0h UT is
    // 13h10m46.1351s.
    const ApparentSun april = ComputeApparentSun(UtcCalendarSeconds(1987, 4, 10, 0, 0, 0));
    EXPECT_NEAR(april.siderealTime / kDeg * 240, 13 * 3600 + 10 * 60 + 46.1351, 0.01);
}

TEST(ExactSunTest, SunriseAndSunsetMatchAModernEphemeris) {
    for (const EventReference& r : kEventReference) {
        if (!Fits(r.t)) continue;
        const time_t t = static_cast<time_t>(r.t);
        const double expected[] = {r.sunrise, r.sunset};
        for (int i = 0; i < 2; ++i) {
            time_t event = 0;
            const bool found = ExactSunEvent(t, r.latitude, r.longitude, i == 0, event);
            SCOPED_TRACE(testing::Message() << r.t << " " << r.latitude << "," << r.longitude
                                            << (i == 0 ? " sunrise" : " sunset"));
            ASSERT_EQ(found, expected[i] != kNoEvent);
            if (!found) continue;
            EXPECT_NEAR(static_cast<double>(event), expected[i], std::fabs(r.latitude) <= 60 ? 10 : 60);
            // The same event as the simple formula picks for the UTC date: that
            // formula is within minutes of the real sky.
            const time_t simple =
                i == 0 ? SunriseTime(t, r.latitude, r.longitude) : SunsetTime(t, r.latitude, r.longitude);
            if (std::fabs(r.latitude) <= 60) {
                EXPECT_NEAR(static_cast<double>(simple), static_cast<double>(event), 600);
            }
        }
    }
}

// Dawn and dusk at 6, 12 and 18 degrees, through the call the status panel
// makes: the exact sun to 10 seconds up to 60 degrees of latitude, the
// simple one to its whole minutes within a few more; none where the night
// stays lighter than the depth.
TEST(ExactSunTest, TwilightsMatchAModernEphemeris) {
    double worstExact = 0, worstSimple = 0;
    for (const TwilightReference& r : kTwilightReference) {
        if (!Fits(r.t)) continue;
        const time_t t = static_cast<time_t>(r.t);
        const double expected[] = {r.dawn, r.dusk};
        for (int i = 0; i < 4; ++i) {
            const bool exact = i < 2, dawn = i % 2 == 0;
            time_t event = 0;
            const bool found = SunEventFor(exact, t, r.latitude, r.longitude, dawn, event, -r.depth);
            SCOPED_TRACE(testing::Message()
                         << r.t << " " << r.latitude << "," << r.longitude << " depth " << r.depth
                         << (exact ? " exact" : " simple") << (dawn ? " dawn" : " dusk"));
            ASSERT_EQ(found, expected[i % 2] != kNoEvent);
            if (!found) continue;
            const double error = std::fabs(static_cast<double>(event) - expected[i % 2]);
            if (exact) {
                EXPECT_LT(error, std::fabs(r.latitude) <= 60 ? 10 : 60);
                worstExact = std::fmax(worstExact, error);
            } else {
                if (std::fabs(r.latitude) <= 60) {
                    EXPECT_LT(error, 900);
                }
                worstSimple = std::fmax(worstSimple, error);
                EXPECT_EQ(event % 60, 0);
            }
        }
    }
    RecordProperty("worst_exact_seconds_x100", static_cast<int>(worstExact * 100));
    RecordProperty("worst_simple_seconds", static_cast<int>(worstSimple));
}

TEST(ExactSunTest, NoEventOutsideTheRangeOrForNonsense) {
    time_t event = 0;
    // Sunset far west on the last day of a 32-bit time_t falls after its end.
    const time_t last = static_cast<time_t>(std::numeric_limits<int32_t>::max());
    if (sizeof(time_t) == 4) {
        EXPECT_FALSE(ExactSunEvent(last, 10, -170, false, event));
        // The simple model's is no event either, not its 1970 stand-in.
        EXPECT_FALSE(SunEventFor(false, last, 10, -170, false, event));
        EXPECT_FALSE(SunEventFor(false, last, 10, -170, false, event, kCivilTwilightAltitude));
    }
    EXPECT_FALSE(ExactSunEvent(0, std::nan(""), 0, true, event));
    EXPECT_FALSE(ExactSunEvent(0, 95, 0, true, event));
    // Sydney on 21 June 2004: sunrise on the previous UTC day, 20:59 UTC.
    const time_t june = static_cast<time_t>(UtcCalendarSeconds(2004, 6, 21, 12, 0, 0));
    ASSERT_TRUE(ExactSunEvent(june, -33.9, 151.2, true, event));
    EXPECT_NEAR(static_cast<double>(event), UtcCalendarSeconds(2004, 6, 20, 20, 59, 30), 60);
}

}  // namespace
