#include "solar/CityZones.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

// 2027-01-15 and 2027-07-15, 12:00 UTC.
constexpr long long kJanuary = 1800014400;
constexpr long long kJuly = 1815998400;

CityZones Parsed(const std::string& text, int cityCount = 10) {
    CityZones zones;
    zones.Parse(text.data(), text.size(), cityCount);
    return zones;
}

TEST(CityZonesTest, ReadsZonesRulesAndVersion) {
    const CityZones zones = Parsed(
        "#tzdata 2026b\r\n# comment\r\n"
        "3,Europe/Berlin,CET-1CEST,M3.5.0,M10.5.0/3\r\n"
        "1,Asia/Kathmandu,<+0545>-5:45\n"
        "3,Europe/London,GMT0BST,M3.5.0/1,M10.5.0");  // a second line for 3: the first counts
    EXPECT_STREQ(zones.Version(), "2026b");
    ASSERT_EQ(zones.Count(), 2u);
    const ZoneReading berlin = zones.ReadingAt(3, kJuly, 52.5, 13.4);
    EXPECT_STREQ(berlin.zone, "Europe/Berlin");
    EXPECT_EQ(berlin.offset, 7200);
    EXPECT_TRUE(berlin.daylight);
    EXPECT_EQ(zones.ReadingAt(3, kJanuary, 52.5, 13.4).offset, 3600);
    EXPECT_EQ(zones.ReadingAt(1, kJanuary, 27.7, 85.3).offset, 20700);
}

// Whatever is wrong with the list, the city keeps the nominal zone of its
// longitude and nothing else is lost.
TEST(CityZonesTest, BadLinesLeaveTheNominalZone) {
    const struct {
        const char* what;
        std::string text;
    } cases[] = {
        {"missing", ""},
        {"truncated", "2,Asia/Kolkata,IST-5:"},
        {"unknown rule", "2,Asia/Kolkata,IST-5:30,M3"},
        {"index past the list", "10,Asia/Kolkata,IST-5:30"},
        {"negative index", "-1,Asia/Kolkata,IST-5:30"},
        {"no zone", "2,,IST-5:30"},
        {"zone too long", "2," + std::string(40, 'A') + ",IST-5:30"},
        {"bad name", "2,Asia/Kol kata,IST-5:30"},
        {"index with junk", "2x,Asia/Kolkata,IST-5:30"},
        {"huge index", "99999999999999999999,Asia/Kolkata,IST-5:30"},
    };
    for (const auto& c : cases) {
        const CityZones zones = Parsed(c.text + "\r\n4,Asia/Tokyo,JST-9\r\n");
        const ZoneReading r = zones.ReadingAt(2, kJanuary, 19.0, 72.8);
        EXPECT_EQ(r.zone, nullptr) << c.what;
        EXPECT_EQ(r.offset, 18000) << c.what;  // 72.8 E: +5 nominal
        EXPECT_EQ(zones.ReadingAt(4, kJanuary, 35.7, 139.7).offset, 32400) << c.what;
    }
    CityZones none;
    none.Parse(nullptr, 100, 10);
    EXPECT_EQ(none.Count(), 0u);
}

TEST(CityZonesTest, ExplicitChangesOverrideTheRuleForTheirSpan) {
    const CityZones zones = Parsed(
        "@America/Havana,1820000000,1790000000:-14400,1805000000:-18000\r\n"
        "5,America/Havana,CST5CDT,M3.2.0/0,M11.1.0/1\r\n"
        "@Broken/Zone,100,200:0\r\n"  // ends before it begins: ignored
        "6,Broken/Zone,UTC0\r\n");
    // Before the first listed moment and from the end on, the rule (CDT in
    // September, CDT in September 2027); between them, the listed offsets.
    EXPECT_EQ(zones.ReadingAt(5, 1789999999, 23.1, -82.4).offset, -14400);
    EXPECT_EQ(zones.ReadingAt(5, kJanuary, 23.1, -82.4).offset, -14400);
    EXPECT_EQ(zones.ReadingAt(5, kJuly, 23.1, -82.4).offset, -18000);
    EXPECT_EQ(zones.ReadingAt(5, 1819999999, 23.1, -82.4).offset, -18000);
    EXPECT_EQ(zones.ReadingAt(5, 1820000000, 23.1, -82.4).offset, -14400);
    EXPECT_EQ(zones.ReadingAt(6, 150, 0, 0).offset, 0);
}

}  // namespace
