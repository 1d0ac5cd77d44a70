#include "solar/Moon.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <string>

namespace {

struct MoonReference {
    long long t;
    double latitude, longitude, illuminated, elongation;
};
constexpr double kNoEvent = -1e300;
struct MoonEventReference {
    long long from, to;
    double latitude, longitude;
    bool next;
    double rise, set;
};
#include "tests/solar/moon_reference.inc"

constexpr double kDeg = 3.141592653589793 / 180;

bool Fits(long long t) {
    return t >= static_cast<long long>(std::numeric_limits<time_t>::min()) &&
           t <= static_cast<long long>(std::numeric_limits<time_t>::max());
}

// Against a lunar theory of another lineage at 300 moments over the whole
// 32-bit range: the sublunar point to 0.01 degree, the lit fraction to 0.002.
TEST(MoonTest, PlaceAndPhaseMatchAnIndependentTheory) {
    double worstPoint = 0, worstFraction = 0;
    for (const MoonReference& r : kMoonReference) {
        SCOPED_TRACE(r.t);
        double lat, lon;
        SublunarPoint(static_cast<double>(r.t), lat, lon);
        const double dLat = lat / kDeg - r.latitude;
        const double dLon = std::remainder(lon / kDeg - r.longitude, 360.0);
        EXPECT_LT(std::fabs(dLat), 0.01);
        EXPECT_LT(std::fabs(dLon), 0.01);
        EXPECT_LE(std::fabs(lon), 3.141592653589793);
        const MoonPhase phase = ComputeMoonPhase(static_cast<double>(r.t));
        EXPECT_NEAR(phase.illuminated, r.illuminated, 0.002);
        // The sides of new and full Moon, where they are not a hair apart.
        if (std::fabs(std::remainder(r.elongation, 180.0)) > 0.05) {
            EXPECT_EQ(phase.waxing, r.elongation < 180);
        }
        EXPECT_NEAR(std::remainder(phase.elongation / kDeg - r.elongation, 360.0), 0, 0.05);
        worstPoint = std::fmax(worstPoint, std::fmax(std::fabs(dLat), std::fabs(dLon)));
        worstFraction = std::fmax(worstFraction, std::fabs(phase.illuminated - r.illuminated));
    }
    RecordProperty("worst_point_arcsec", static_cast<int>(worstPoint * 3600));
    RecordProperty("worst_fraction_x1e6", static_cast<int>(worstFraction * 1e6));

    // Where the names change, and their order around the month.
    const struct {
        double degrees;
        const char* name;
    } names[] = {{0, "New Moon"},          {5.9, "New Moon"},          {354.1, "New Moon"},
                 {6.1, "Waxing Crescent"}, {84, "First Quarter"},      {96, "First Quarter"},
                 {96.1, "Waxing Gibbous"}, {180, "Full Moon"},         {186.1, "Waning Gibbous"},
                 {270, "Last Quarter"},    {276.1, "Waning Crescent"}, {353.9, "Waning Crescent"}};
    for (const auto& n : names) EXPECT_EQ(std::string(MoonPhaseName(n.degrees * kDeg)), n.name) << n.degrees;
}

// Moonrise and moonset to 30 seconds up to 60 degrees of latitude: the next
// ones within 48 hours, and the first ones of whole days of a place's clock,
// among them days without one; at 70 degrees, two days of a Moon that
// neither rises nor sets.
TEST(MoonTest, RiseAndSetMatchAnIndependentTheory) {
    double worst = 0;
    for (const MoonEventReference& r : kMoonEventReference) {
        if (!Fits(r.from) || !Fits(r.to)) continue;
        SCOPED_TRACE(testing::Message() << r.from << " " << r.latitude << "," << r.longitude);
        const time_t from = static_cast<time_t>(r.from);
        const MoonRiseSet events =
            r.next ? NextMoonRiseSet(from, r.latitude, r.longitude)
                   : MoonRiseSetBetween(from, static_cast<time_t>(r.to), r.latitude, r.longitude);
        const bool found[] = {events.rises, events.sets};
        const time_t moment[] = {events.rise, events.set};
        const double expected[] = {r.rise, r.set};
        for (int i = 0; i < 2; ++i) {
            ASSERT_EQ(found[i], expected[i] != kNoEvent) << (i == 0 ? "rise" : "set");
            if (!found[i]) continue;
            const double error = std::fabs(static_cast<double>(moment[i]) - expected[i]);
            EXPECT_LT(error, 30) << (i == 0 ? "rise" : "set");
            worst = std::fmax(worst, error);
        }
    }
    RecordProperty("worst_seconds_x100", static_cast<int>(worst * 100));
}

TEST(MoonTest, NoEventsForNonsenseOrPastTheRange) {
    const MoonRiseSet none[] = {NextMoonRiseSet(0, std::nan(""), 0), NextMoonRiseSet(0, 91, 0),
                                NextMoonRiseSet(0, 0, 1e300),
                                MoonRiseSetBetween(86400, 0, 10, 10),        // window backwards
                                MoonRiseSetBetween(0, 11 * 86400, 10, 10)};  // longer than ten days
    for (const MoonRiseSet& r : none) {
        EXPECT_FALSE(r.rises);
        EXPECT_FALSE(r.sets);
    }
    // Near the end of a 32-bit time_t the window runs past it: what lies
    // beyond is not an event, what lies before still is.
    if (sizeof(time_t) == 4) {
        const time_t last = static_cast<time_t>(std::numeric_limits<int32_t>::max());
        const MoonRiseSet end = NextMoonRiseSet(last - 3600, 10, 10);
        EXPECT_TRUE(!end.rises || end.rise > last - 3600);
        EXPECT_TRUE(!end.sets || end.set > last - 3600);
        const MoonRiseSet before = NextMoonRiseSet(last - 2 * 86400, 10, 10);
        EXPECT_TRUE(before.rises && before.sets);
    }
}

}  // namespace
