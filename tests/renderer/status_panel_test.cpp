#include "renderer/StatusPanel.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <string>

#include "solar/CityDatabase.h"
#include "solar/SunPosition.h"
#include "tests/solar/ScopedTimeZone.h"

namespace uv {
namespace {

constexpr std::time_t kSolstice = 1087819200;  // 2004-06-21 12:00:00 UTC

void UseUtc() {
#ifdef _WIN32
    _putenv("TZ=UTC0");
    _tzset();
#else
    setenv("TZ", "UTC0", 1);
    tzset();
#endif
}

class StatusPanelTest : public ::testing::Test {
protected:
    void SetUp() override { UseUtc(); }
    void Load(const std::string& text) { db.Parse(text.c_str(), static_cast<unsigned>(text.size())); }
    void SelectAll() {
        for (int i = 0; i < db.GetCityCount(); ++i) db.SelectCityIndex(i);
    }
    StatusPanelLayout Layout(int w, int h, const StatusPanelOptions& o, std::time_t now = kSolstice) {
        return LayoutStatusPanel(w, h, 0.0, 0.0, db, o, now);
    }
    CityDatabase db;
};

StatusPanelOptions Items(bool rise, bool set, bool offset, bool local) {
    StatusPanelOptions o;
    o.show = true;
    o.sunrise = rise;
    o.sunset = set;
    o.solarOffset = offset;
    o.localTime = local;
    return o;
}

TEST_F(StatusPanelTest, TwiceTheDpiTwiceTheDistances) {
    Load("A,X,0,0\nB,X,10,10\nC,X,20,20\n");
    SelectAll();
    StatusPanelOptions o = Items(true, true, false, true);
    o.sunLocation = true;
    const StatusPanelLayout at96 = Layout(1000, 700, o);
    const StatusPanelLayout at192 = LayoutStatusPanel(2000, 1400, 0.0, 0.0, db, o, kSolstice, 192);
    EXPECT_EQ(at192.columnWidth, 2 * at96.columnWidth);
    EXPECT_EQ(at192.columns, at96.columns);
    EXPECT_EQ(at192.rowsPerColumn, at96.rowsPerColumn);
    ASSERT_EQ(at192.texts.size(), at96.texts.size());
    for (std::size_t i = 0; i < at96.texts.size(); ++i) {
        EXPECT_EQ(at192.texts[i].text, at96.texts[i].text);
        // Each column's pitch rounds once more: the third is off by two at most.
        EXPECT_NEAR(at192.texts[i].x, 2 * at96.texts[i].x, 2) << i;
        EXPECT_EQ(at192.texts[i].y, 2 * at96.texts[i].y) << i;
    }
}

TEST_F(StatusPanelTest, SunLocationAloneIsOneHeaderLine) {
    Load("A,X,0,0\n");
    SelectAll();
    StatusPanelOptions o;
    o.show = true;
    o.sunLocation = true;
    const StatusPanelLayout l = LayoutStatusPanel(1024, 768, 0.0, 0.40819, db, o, kSolstice);
    ASSERT_EQ(l.texts.size(), 1u);
    EXPECT_EQ(l.texts[0].x, 10);
    EXPECT_EQ(l.texts[0].y, 768 - 18);
    EXPECT_EQ(l.texts[0].text.rfind("sun coordinates: 23\xB0", 0), 0u) << l.texts[0].text;
    EXPECT_NE(l.texts[0].text.find("N,   0\xB0"
                                   "00'00\" E"),
              std::string::npos)
        << l.texts[0].text;
    EXPECT_EQ(l.texts[0].text.find(';'), std::string::npos);
}

TEST_F(StatusPanelTest, HeaderLegendFollowsTheFixedItemOrder) {
    StatusPanelLayout l = Layout(1024, 768, Items(true, false, false, false));
    EXPECT_EQ(l.columnWidth, 184);
    EXPECT_EQ(l.texts[0].text, "city time data format is: sunrise");
    StatusPanelOptions all = Items(true, true, true, true);
    all.sunLocation = true;
    l = Layout(1024, 768, all);
    EXPECT_EQ(l.columnWidth, 286);
    const std::string& h = l.texts[0].text;
    EXPECT_NE(h.find("\" E; city time data format is: sunrise, sunset, solar noon offset, local time"),
              std::string::npos)
        << h;
    EXPECT_EQ(Layout(1024, 768, Items(false, true, false, true)).texts[0].text,
              "city time data format is: sunset, local time");
}

TEST_F(StatusPanelTest, ThreeCitiesInA1024WideCacheTakeThreeOfFourColumns) {
    Load("Alpha,X,15,10\nBravo,X,-80,20\nCharlie,X,0,30\n");
    SelectAll();
    const StatusPanelLayout l = Layout(1024, 768, Items(false, false, false, true));
    EXPECT_EQ(l.columnWidth, 184);
    EXPECT_EQ(l.columns, 4);
    EXPECT_EQ(l.rowsPerColumn, 1);
    EXPECT_EQ(l.headerY, 768 - 30);
    ASSERT_EQ(l.texts.size(), 1u + 3 * 2);
    const int xs[] = {10, 277, 544};
    const char* names[] = {"Alpha", "Bravo", "Charlie"};
    const char* clocks[] = {"13:00 ", "07:00 ", "12:00 "};
    for (int k = 0; k < 3; ++k) {
        const PanelText& name = l.texts[1 + 2 * k];
        const PanelText& clock = l.texts[2 + 2 * k];
        EXPECT_EQ(name.x, xs[k]);
        EXPECT_EQ(name.y, 768 - 18);
        EXPECT_EQ(name.text, names[k]);
        EXPECT_EQ(clock.x, xs[k] + 104);
        EXPECT_EQ(clock.text, clocks[k]);
    }
}

TEST_F(StatusPanelTest, RowsFillColumnsTopToBottom) {
    Load("A,X,0,0\nB,X,0,0\nC,X,0,0\nD,X,0,0\nE,X,0,0\n");
    SelectAll();
    // 400 / 184 = 2 columns, 3 rows each.
    const StatusPanelLayout l = Layout(400, 300, Items(true, false, false, false));
    EXPECT_EQ(l.columns, 2);
    EXPECT_EQ(l.rowsPerColumn, 3);
    EXPECT_EQ(l.headerY, 300 - 18 - 36);
    const int pitch = 50 / 1 + 380 / 2;
    const int expect[5][2] = {{10, 258}, {10, 270}, {10, 282}, {10 + pitch, 258}, {10 + pitch, 270}};
    int row = 0;
    for (const PanelText& t : l.texts) {
        if (t.text.size() != 1 || t.x % 10 != 0 || t.y == l.headerY) continue;
        ASSERT_LT(row, 5);
        EXPECT_EQ(t.x, expect[row][0]) << t.text;
        EXPECT_EQ(t.y, expect[row][1]) << t.text;
        ++row;
    }
    EXPECT_EQ(row, 5);
}

TEST_F(StatusPanelTest, OneColumnWindowsStackEverythingAtTheLeft) {
    Load("A,X,0,0\nB,X,0,0\n");
    SelectAll();
    const StatusPanelLayout l = Layout(300, 200, Items(false, false, true, false));
    EXPECT_EQ(l.columns, 1);
    EXPECT_EQ(l.rowsPerColumn, 2);
    for (const PanelText& t : l.texts) EXPECT_LT(t.x, 150);
}

TEST_F(StatusPanelTest, OffOrTooNarrowShowsNothingAndNoCityOnlyTheHeader) {
    EXPECT_EQ(Layout(1024, 768, Items(true, true, true, true)).texts.size(), 1u);  // empty database
    Load("A,X,0,0\n");
    StatusPanelLayout l = Layout(1024, 768, Items(true, true, false, false));
    EXPECT_EQ(l.rowsPerColumn, 0);
    ASSERT_EQ(l.texts.size(), 1u);
    EXPECT_EQ(l.texts[0].y, 768 - 18);
    SelectAll();
    StatusPanelOptions off = Items(true, true, true, true);
    off.show = false;
    EXPECT_TRUE(Layout(1024, 768, off).texts.empty());
    EXPECT_TRUE(Layout(183, 768, Items(true, false, false, false)).texts.empty());
    EXPECT_FALSE(Layout(184, 768, Items(true, false, false, false)).texts.empty());
}

TEST_F(StatusPanelTest, RowsInByteOrderWithDuplicateNamesOnce) {
    // Upper case sorts before lower case and 0xC9 after both; the second
    // "Twin" replaces the first.
    Load("aachen,X,0,0\nTwin,X,15,0\n\xC9vora,X,0,0\nZurich,X,0,0\nTwin,X,-80,0\n");
    SelectAll();
    const StatusPanelLayout l = Layout(200, 400, Items(false, false, false, true));
    std::string order;
    std::string twinClock;
    for (std::size_t i = 1; i < l.texts.size(); i += 2) {
        order += l.texts[i].text + "|";
        if (l.texts[i].text == "Twin") twinClock = l.texts[i + 1].text;
    }
    EXPECT_EQ(order, "Twin|Zurich|aachen|\xC9vora|");
    EXPECT_EQ(twinClock, "07:00 ");
    // Rows are counted from the selection, duplicates included.
    EXPECT_EQ(l.rowsPerColumn, 5);
}

TEST_F(StatusPanelTest, ItemSlotsAndTheSolarOffsetSign) {
    double lat = 0, sunLon = 0;
    ComputeSubsolarPoint(kSolstice + 3 * 3600, lat, sunLon);
    const std::string text = "OnMeridian,X," + std::to_string(sunLon * 180.0 / kPi) + ",0\nEast,X," +
                             std::to_string(sunLon * 180.0 / kPi + 90.0) + ",0\n";
    Load(text);
    SelectAll();
    const StatusPanelLayout l = Layout(1024, 768, Items(true, true, true, true), kSolstice + 3 * 3600);
    // Per row: name, sunrise, sunset, [sign], offset, local time.
    ASSERT_GE(l.texts.size(), 1u + 6 + 5);
    const PanelText* east = &l.texts[1];
    EXPECT_EQ(east->text, "East");
    EXPECT_EQ(l.texts[2].x, east->x + 104);
    EXPECT_EQ(l.texts[3].x, east->x + 138);
    EXPECT_EQ(l.texts[4].x, east->x + 172);  // no sign: six hours after noon
    EXPECT_EQ(l.texts[4].text, "06:00 ");
    EXPECT_EQ(l.texts[5].x, east->x + 206);
    const PanelText* meridian = &l.texts[6];
    EXPECT_EQ(meridian->text, "OnMeridian");
    EXPECT_EQ(l.texts[9].text, "-");
    EXPECT_EQ(l.texts[9].x, meridian->x + 168);
    EXPECT_EQ(l.texts[10].text, "00:00 ");
    EXPECT_EQ(l.texts[10].x, meridian->x + 172);
    for (int i : {2, 3, 7, 8}) {
        ASSERT_EQ(l.texts[i].text.size(), 6u);
        EXPECT_EQ(l.texts[i].text[2], ':');
    }
}

// Texts after the city's name: sunrise, sunset, local time.
std::string Clocks(const StatusPanelLayout& l) {
    std::string out;
    for (std::size_t i = 2; i < l.texts.size(); ++i) out += l.texts[i].text + "|";
    return out;
}

TEST_F(StatusPanelTest, PolarDayAndNightShowDashesEastOfUtcToo) {
    ScopedTimeZone zone("CET-1CEST");
    Load("Arctic,X,15,80\n");
    SelectAll();
    EXPECT_EQ(Clocks(Layout(1024, 768, Items(true, true, false, false))), "--:-- |--:-- |");
    Load("Antarctic,X,15,-80\n");
    SelectAll();
    EXPECT_EQ(Clocks(Layout(1024, 768, Items(true, true, false, false))), "--:-- |--:-- |");
}

// The last 12 hours of the 32-bit time (2038-01-19 03:14:07 UTC) show dashes
// in every build; 2038-01-18 12:00 UTC still shows the morning's sunrise.
// Both switches on, 2027-01-15 12:00 UTC: each city's own clock (a half-hour
// zone on summer time in the south, India's half hour, polar night in
// Svalbard) and the apparent sun. The expected clocks are ERFA's (SOFA) sun
// and the tz database's zones.
TEST_F(StatusPanelTest, ExactSunAndRealZonesShowEachCitysOwnClock) {
    Load(
        "Adelaide,Australia,138.5986,-34.9287\n"
        "Longyearbyen,Svalbard,15.6469,78.2233\n"
        "Mumbai,India,72.8826,19.0728\n");
    const std::string zones =
        "0,Australia/Adelaide,ACST-9:30ACDT,M10.1.0,M4.1.0/3\n"
        "1,Arctic/Longyearbyen,CET-1CEST,M3.5.0,M10.5.0/3\n"
        "2,Asia/Kolkata,IST-5:30\n";
    db.ParseZones(zones.data(), zones.size());
    SelectAll();
    StatusPanelOptions o = Items(true, true, true, true);
    o.exactSun = o.realLocalTime = true;
    const std::time_t january = 1800014400;
    const StatusPanelLayout l = Layout(2000, 768, o, january);
    ASSERT_EQ(l.texts.size(), 1u + 3 * 5);
    EXPECT_NE(l.texts[0].text.find("local time (each city's own clock)"), std::string::npos);
    const char* const expected[3][5] = {
        {"Adelaide", "06:17 ", "20:32 ", "09:05 ", "22:30 "},
        {"Longyearbyen", "--:-- ", "--:-- ", "00:53 ", "13:00 "},
        {"Mumbai", "07:14 ", "18:20 ", "04:42 ", "17:30 "},
    };
    for (int row = 0; row < 3; ++row)
        for (int item = 0; item < 5; ++item)
            EXPECT_EQ(l.texts[1 + row * 5 + item].text, expected[row][item]) << row << " " << item;

    // Off again: the nominal zone of the longitude and the mean sun.
    o.exactSun = o.realLocalTime = false;
    const StatusPanelLayout nominal = Layout(2000, 768, o, january);
    EXPECT_EQ(nominal.texts[15].text, "17:00 ");  // Mumbai, UTC+5 by longitude
    EXPECT_EQ(nominal.texts[14].text, "04:51 ");  // mean solar time
    EXPECT_EQ(nominal.texts[0].text.find("own clock"), std::string::npos);
}

TEST_F(StatusPanelTest, MomentsNearTheEndOfThe32BitTimeShowDashes) {
    Load("Null Island,X,0,0\n");
    SelectAll();
    const StatusPanelOptions o = Items(true, true, false, true);
    EXPECT_EQ(Clocks(Layout(1024, 768, o, 2147428800)), "06:06 |--:-- |12:00 |");
    EXPECT_EQ(Clocks(Layout(1024, 768, o, 2147483647 - 6 * 3600)), "--:-- |--:-- |--:-- |");
}

// 2026-03-11 12:00 UTC, two days after the last quarter. Expected times from
// an independent ephemeris (astronomy-engine), on each city's own clock: in
// Buenos Aires the Moon sets that day but does not rise.
TEST_F(StatusPanelTest, MoonAndCivilTwilightOnEachCitysClock) {
    Load(
        "Buenos Aires,Argentina,-58.3772,-34.6131\nSydney,Australia,151.2073,-33.8678\n"
        "Tokyo,Japan,139.6917,35.6895\n");
    const std::string zones =
        "0,America/Argentina/Buenos_Aires,<-03>3\n1,Australia/Sydney,AEST-10AEDT,M10.1.0,M4.1.0/3\n"
        "2,Asia/Tokyo,JST-9\n";
    db.ParseZones(zones.data(), zones.size());
    SelectAll();
    StatusPanelOptions o = Items(true, false, false, false);
    o.exactSun = o.realLocalTime = true;
    o.moonPhase = o.moonRiseSet = o.civilTwilight = true;
    const std::time_t now = 1773230400;
    const StatusPanelLayout l = Layout(2000, 768, o, now);
    EXPECT_EQ(l.columnWidth, 150 + 5 * 34);
    EXPECT_EQ(l.texts[0].text,
              "moon: Last Quarter, 49% lit; city time data format is: civil dawn, sunrise, civil dusk, "
              "moonrise, moonset (each city's own clock)");
    const char* const expected[3][5] = {
        // civil dawn, sunrise (not checked), civil dusk, moonrise, moonset
        {"Buenos Aires", "06:24 ", "19:42 ", "--:-- ", "14:39 "},
        {"Sydney", "06:25 ", "19:44 ", "23:39 ", "14:07 "},
        {"Tokyo", "05:32 ", "18:10 ", "00:34 ", "09:55 "},
    };
    ASSERT_EQ(l.texts.size(), 1u + 3 * 6);
    for (int row = 0; row < 3; ++row) {
        const PanelText* t = &l.texts[1 + row * 6];
        EXPECT_EQ(t[0].text, expected[row][0]);
        EXPECT_EQ(t[1].text, expected[row][1]) << row;
        EXPECT_EQ(t[3].text, expected[row][2]) << row;
        EXPECT_EQ(t[4].text, expected[row][3]) << row;
        EXPECT_EQ(t[5].text, expected[row][4]) << row;
        for (int item = 1; item < 6; ++item) EXPECT_EQ(t[item].x, t[0].x + 100 + 4 + 34 * (item - 1));
    }

    // Where 32-bit time runs out only dashes; the Moon's day before 1970
    // is beyond the time the clocks can show too.
    for (std::time_t edge : {std::time_t{2147483647 - 6 * 3600}, std::time_t{-3600}}) {
        const StatusPanelLayout far = Layout(2000, 768, o, edge);
        ASSERT_EQ(far.texts.size(), 1u + 3 * 6);
        for (std::size_t i = 1; i < far.texts.size(); ++i)
            if (i % 6 != 1 && (edge > 0 || i % 6 >= 5 || i % 6 == 0)) {
                EXPECT_EQ(far.texts[i].text, "--:-- ") << edge << " " << i;
            }
    }
}

TEST_F(StatusPanelTest, AVeryWideCacheStillGivesEveryCityARow) {
    Load("A,X,0,0\n");
    SelectAll();
    const StatusPanelLayout l = Layout(1000000, 768, Items(true, false, false, false));
    EXPECT_EQ(l.rowsPerColumn, 1);
    EXPECT_EQ(l.texts.size(), 3u);
}

}  // namespace
}  // namespace uv
