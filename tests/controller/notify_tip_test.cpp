// Tooltip texts of the notification icon. The tests set the zone they need
// themselves: UTC ("UTC0") unless a test names another one.

#include "controller/NotifyTip.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>

#include "solar/CityDatabase.h"
#include "solar/Sunrise.h"

namespace {

void SetZone(const char* tz) {
#ifdef _WIN32
    std::string assignment = std::string("TZ=") + tz;
    _putenv(assignment.c_str());
    _tzset();
#else
    setenv("TZ", tz, 1);
    tzset();
#endif
    // The runtime fills its zone variables on the first conversion.
    time_t probe = 0;
    std::mktime(std::localtime(&probe));
}

// 2004-06-21, a Monday, around the June solstice.
constexpr time_t kSolsticeNoon = 1087819200;     // 12:00 UTC
constexpr time_t kSolsticeEvening = 1087853400;  // 21:30 UTC
constexpr time_t kSolsticeLate = 1087848000;     // 20:00 UTC
constexpr int kMonday = 1;

// Copies text into a zero-filled fixed field, leaving its last byte zero.
void CopyField(char* field, std::size_t size, const char* text) {
    std::size_t n = std::strlen(text);
    if (n > size - 1) n = size - 1;
    std::memcpy(field, text, n);
}

struct TestCity {
    CountryName country{};
    CityRecord record{};
    TestCity(const char* name, const char* countryName, float latitude, float longitude) {
        CopyField(record.name, sizeof record.name, name);
        CopyField(country.name, sizeof country.name, countryName);
        record.country = &country;
        record.latitude = latitude;
        record.longitude = longitude;
    }
    TestCity(const TestCity&) = delete;
};

bool EndsWith(const std::string& text, const std::string& tail) {
    return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

std::string ErrorText(time_t now, long long diff) {
    return "error in tip generation: please contact the author; time is " +
           std::to_string(static_cast<long long>(now)) + ", diff is " + std::to_string(diff);
}

// Sunrise is computed for the moment asked, so a moment "ten minutes before
// sunrise" is found by asking again until the answer no longer moves.
time_t StableSunrise(time_t guess, double latitude, double longitude, long long before) {
    time_t sunrise = SunriseTime(guess, latitude, longitude);
    for (int i = 0; i < 5; ++i) {
        time_t again = SunriseTime(static_cast<time_t>(sunrise - before), latitude, longitude);
        if (again == sunrise) break;
        sunrise = again;
    }
    return sunrise;
}

class NotifyTipTest : public ::testing::Test {
protected:
    void SetUp() override { SetZone("UTC0"); }
    void TearDown() override { SetZone("UTC0"); }
};

TEST_F(NotifyTipTest, WithoutCityNamesSunLatitudeThenLongitude) {
    const std::string tip = BuildNotifyTip(kSolsticeNoon, nullptr, kMonday);
    const std::string head = "Umbravue: Sun is at ";
    ASSERT_EQ(0u, tip.find(head)) << tip;
    // At the June solstice the sun stands over the northern tropic.
    EXPECT_EQ(std::string("23\xB0"), tip.substr(head.size(), 3)) << tip;
    const std::size_t comma = tip.find(", ", head.size());
    ASSERT_NE(std::string::npos, comma) << tip;
    EXPECT_EQ('N', tip[comma - 1]) << tip;
    const char lonLetter = tip.back();
    EXPECT_TRUE(lonLetter == 'E' || lonLetter == 'W') << tip;
    // A longitude field is three columns wide.
    EXPECT_EQ(std::string("\xB0"), tip.substr(comma + 2 + 3, 1)) << tip;
    EXPECT_EQ(std::string::npos, tip.find('\n'));
    EXPECT_LE(tip.size(), kNotifyTipMaxChars);
}

TEST_F(NotifyTipTest, SunriseTenMinutesAheadIsShownAsUntilSunrise) {
    TestCity london("London", "United Kingdom", 51.5f, -0.12f);
    const time_t sunrise = StableSunrise(kSolsticeNoon, london.record.latitude, london.record.longitude, 600);
    const time_t now = sunrise - 600;
    ASSERT_EQ(sunrise, SunriseTime(now, london.record.latitude, london.record.longitude));
    const std::string tip = FormatNotifyTip(now, &london.record, kMonday);
    EXPECT_EQ(0u, tip.find("London, United Kingdom; \nnow ")) << tip;
    EXPECT_TRUE(EndsWith(tip, "; 0:10 until sunrise")) << tip;
}

TEST_F(NotifyTipTest, InTheEveningTomorrowsSunriseIsNext) {
    TestCity london("London", "United Kingdom", 51.5f, -0.12f);
    const time_t sunrise = SunriseTime(kSolsticeEvening, london.record.latitude, london.record.longitude);
    const time_t sunset = SunsetTime(kSolsticeEvening, london.record.latitude, london.record.longitude);
    ASSERT_LT(sunrise, kSolsticeEvening);
    ASSERT_LT(sunset, kSolsticeEvening);
    const long long d = sunrise + 86400 - kSolsticeEvening;
    char until[32];
    std::snprintf(until, sizeof until, "%d:%02d until sunrise", static_cast<int>(d / 3600),
                  static_cast<int>(d % 3600 / 60));
    const std::string tip = FormatNotifyTip(kSolsticeEvening, &london.record, kMonday);
    // Sunrise about 03:42, now 21:30: a little over six hours.
    EXPECT_EQ(0u, std::string(until).find("6:")) << until;
    EXPECT_TRUE(EndsWith(tip, until)) << tip;
}

TEST_F(NotifyTipTest, EventAtThisVeryMomentGivesTheErrorText) {
    TestCity london("London", "United Kingdom", 51.5f, -0.12f);
    const time_t sunrise = StableSunrise(kSolsticeNoon, london.record.latitude, london.record.longitude, 0);
    EXPECT_EQ(ErrorText(sunrise, 0), FormatNotifyTip(sunrise, &london.record, kMonday));
    EXPECT_EQ(ErrorText(sunrise, 0).substr(0, 63), BuildNotifyTip(sunrise, &london.record, kMonday));
}

TEST_F(NotifyTipTest, CityOnAnotherDayShowsItsWeekday) {
    // 20:00 UTC on Monday is 06:00 on Tuesday ten nominal hours east.
    TestCity tokyo("Tokyo", "Japan", 35.65f, 139.7f);
    const std::string tip = FormatNotifyTip(kSolsticeLate, &tokyo.record, kMonday);
    EXPECT_EQ(0u, tip.find("Tokyo, Japan; +10h\nnow Tue, 6:00; ")) << tip;
    // Seen from a machine whose local day is already Tuesday, no weekday.
    const std::string sameDay = FormatNotifyTip(kSolsticeLate, &tokyo.record, 2);
    EXPECT_EQ(0u, sameDay.find("Tokyo, Japan; +10h\nnow 6:00; ")) << sameDay;
}

TEST_F(NotifyTipTest, OffsetIsRelativeToTheMachinesStandardZone) {
    // Central European standard time, no daylight saving rule.
    SetZone("CET-1");
    TestCity berlin("Berlin", "Germany", 52.5f, 13.4f);
    EXPECT_EQ(0u, FormatNotifyTip(kSolsticeNoon, &berlin.record, kMonday).find("Berlin, Germany; \nnow "));
    TestCity newYork("New York", "United States", 40.7f, -74.0f);
    const std::string tip = FormatNotifyTip(kSolsticeNoon, &newYork.record, kMonday);
    // Nominal zone -4h, machine +1h.
    EXPECT_EQ(0u, tip.find("New York, United States; -5h\nnow 8:00; ")) << tip;
}

TEST_F(NotifyTipTest, PolarDayAndNightGiveTheErrorTextNeverATime) {
    const float latitudes[] = {80.0f, -80.0f, 90.0f, -90.0f};
    const time_t moments[] = {kSolsticeNoon, kSolsticeEvening, 1103630400 /* December solstice */};
    for (float latitude : latitudes) {
        for (time_t now : moments) {
            // At the December solstice only the far south has polar day; skip the
            // combinations where the sun does rise.
            TestCity city("Pole", "Nowhere", latitude, 15.0f);
            if (!std::isnan(SunriseHourAngle(now, latitude))) continue;
            const std::string tip = FormatNotifyTip(now, &city.record, kMonday);
            EXPECT_EQ(0u, tip.find("error in tip generation: please contact the author; time is " +
                                   std::to_string(static_cast<long long>(now)) + ", diff is "))
                << latitude << " " << now << ": " << tip;
            EXPECT_EQ(std::string::npos, tip.find("until")) << tip;
        }
    }
    // 80 degrees at either solstice: one of the two is always polar.
    TestCity north("North", "Nowhere", 80.0f, 15.0f);
    EXPECT_EQ(0u, BuildNotifyTip(kSolsticeNoon, &north.record, kMonday).find("error in tip generation"));
}

TEST_F(NotifyTipTest, LongTextsAreCutAfter63Characters) {
    TestCity city("Abcdefghijklmnopqrstuvwxyz01234", "Zyxwvutsrqponmlkjihgfedcba98765", 51.5f, -0.12f);
    const std::string full = FormatNotifyTip(kSolsticeNoon, &city.record, kMonday);
    ASSERT_GT(full.size(), 63u);
    const std::string cut = BuildNotifyTip(kSolsticeNoon, &city.record, kMonday);
    EXPECT_EQ(full.substr(0, 63), cut);

    EXPECT_EQ(std::string(63, 'x'), CutNotifyTip(std::string(64, 'x')));
    EXPECT_EQ(std::string(63, 'x'), CutNotifyTip(std::string(63, 'x')));
    EXPECT_EQ("short", CutNotifyTip("short"));
    EXPECT_EQ(43u, std::strlen(kNotifyTipInitial));
}

// At the June solstice of 2004 the Moon was a waxing crescent, 12 % lit
// (astronomy-engine). Its line takes the longest form that fits in the tip,
// and none where nothing fits.
TEST_F(NotifyTipTest, MoonPhaseLineInTheLongestFormThatFits) {
    NotifyTipClock clock;
    clock.moonPhase = true;
    TestCity oslo("Oslo", "Norway", 59.9f, 10.75f);
    TestCity ur("Ur", "Iraq", 30.96f, 46.1f);
    TestCity longName("Llanfairpwllgwyngyllgogerychwy", "United Kingdom of Great Britain", 53.2f, -4.2f);
    const struct {
        const CityRecord* city;
        const char* line;
    } cases[] = {
        {nullptr, "\nMoon 12% waxing"},
        {&oslo.record, "\nMoon 12% waxing"},
        {&ur.record, "\nWaxing Crescent, 12%"},
        {&longName.record, ""},
    };
    for (const auto& c : cases) {
        const std::string plain = FormatNotifyTip(kSolsticeNoon, c.city, kMonday);
        const std::string tip = FormatNotifyTip(kSolsticeNoon, c.city, kMonday, clock);
        EXPECT_EQ(tip, plain + c.line);
        if (*c.line) {
            EXPECT_LE(tip.size(), kNotifyTipMaxChars);
        }
    }
}

TEST_F(NotifyTipTest, CopyIntoTheTipFieldStaysInsideIt) {
    char field[70];
    std::memset(field, '#', sizeof field);
    CopyNotifyTip(std::string(100, 'a'), field, 64);
    EXPECT_EQ(std::string(63, 'a'), std::string(field));
    EXPECT_EQ('#', field[64]);

    char small[8];
    std::memset(small, '#', sizeof small);
    CopyNotifyTip("sunrise soon", small, 5);
    EXPECT_STREQ("sunr", small);
    EXPECT_EQ('#', small[5]);
}

TEST_F(NotifyTipTest, NameFilledToTheEndOfItsFieldIsNotOverread) {
    TestCity city("x", "y", 51.5f, -0.12f);
    std::memset(city.record.name, 'N', sizeof city.record.name);
    std::memset(city.country.name, 'C', sizeof city.country.name);
    const std::string tip = FormatNotifyTip(kSolsticeNoon, &city.record, kMonday);
    EXPECT_EQ(std::string(32, 'N') + ", " + std::string(32, 'C') + "; ", tip.substr(0, 68));
}

// The choice between the two events, on plain numbers.
TEST(ChooseNextSunEvent, NearerEventWinsAndEqualDistancesGiveSunset) {
    NextSunEvent e = ChooseNextSunEvent(1000, 1600, 1000 + 13 * 3600);
    EXPECT_EQ(SunEvent::Sunrise, e.event);
    EXPECT_EQ(600, e.distance);
    EXPECT_FALSE(e.error);

    e = ChooseNextSunEvent(1000, 5000, 5000);
    EXPECT_EQ(SunEvent::Sunset, e.event);
    EXPECT_EQ(4000, e.distance);

    e = ChooseNextSunEvent(1000, 1000, 9000);
    EXPECT_EQ(SunEvent::Sunrise, e.event);
    EXPECT_EQ(0, e.distance);
    EXPECT_FALSE(e.error);
}

TEST(ChooseNextSunEvent, PassedEventsMoveOnByWholeDays) {
    const long long now = 1087853400;
    // Both passed today: both gain a day.
    NextSunEvent e = ChooseNextSunEvent(now, now - 64080, now - 4140);
    EXPECT_EQ(SunEvent::Sunrise, e.event);
    EXPECT_EQ(86400 - 64080, e.distance);
    EXPECT_FALSE(e.error);
    // Two days back is still acceptable.
    e = ChooseNextSunEvent(now, now - 2 * 86400 + 60, now + 7200);
    EXPECT_EQ(SunEvent::Sunrise, e.event);
    EXPECT_EQ(60, e.distance);
    EXPECT_FALSE(e.error);
    // Needing a third day marks the error, on either event.
    e = ChooseNextSunEvent(now, now - 2 * 86400 - 60, now + 7200);
    EXPECT_TRUE(e.error);
    EXPECT_EQ(SunEvent::Sunset, e.event);
    EXPECT_EQ(7200, e.distance);
    e = ChooseNextSunEvent(now, now + 7200, now - 3 * 86400);
    EXPECT_TRUE(e.error);
}

TEST(ChooseNextSunEvent, PolarSentinelFrom1970IsAnErrorAndEndsQuickly) {
    const long long now = 2147480000;  // near the end of 32-bit time
    NextSunEvent e = ChooseNextSunEvent(now, -1, -1);
    EXPECT_TRUE(e.error);
    EXPECT_GE(e.distance, 0);
    EXPECT_LT(e.distance, 86400);
}

TEST(ChooseNextSunEvent, EventADayOrMoreAheadIsTakenADayEarlier) {
    // Sunrise on the UTC date may lie after midnight of the next day.
    NextSunEvent e = ChooseNextSunEvent(0, 86400 + 300, 90000 + 7200);
    EXPECT_EQ(SunEvent::Sunrise, e.event);
    EXPECT_EQ(300, e.distance);
    // 23:59:59 ahead stays as it is.
    e = ChooseNextSunEvent(0, 86399, 86399);
    EXPECT_EQ(SunEvent::Sunset, e.event);
    EXPECT_EQ(86399, e.distance);
}

}  // namespace
