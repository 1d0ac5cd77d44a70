#include "tests/settings/FakeSelection.h"
#include "settings/Burst.h"

#include <gtest/gtest.h>

#include <vector>

namespace uv {
namespace {

std::vector<std::uint32_t> Ids(const Burst& b) {
    std::vector<std::uint32_t> ids;
    for (const SettingsPost& p : b.posts) ids.push_back(ToWire(p.id));
    return ids;
}

std::int32_t ValueOf(const Burst& b, MessageId id) {
    for (const SettingsPost& p : b.posts)
        if (p.id == id) return p.value;
    ADD_FAILURE() << "id " << ToWire(id) << " not posted";
    return -12345;
}

TEST(SettingsBurst, FirstBurstHasEveryIdInWireOrder) {
    AllSettings s;
    FakeSelection sel(20);
    for (int i : {9, 2, 5}) sel.Select(i);
    int last = -1;
    const Burst b = BuildSettingsBurst(s.Refs(&sel), last);
    const std::vector<std::uint32_t> expected = {3,  4,  6,  8,  5,  7,  10, 11, 12, 13, 14, 15,
                                                 16, 17, 18, 19, 24, 20, 21, 22, 22, 22, 25, 26,
                                                 27, 30, 31, 32, 33, 34, 36, 35, 37, 40, 42, 43};
    EXPECT_EQ(Ids(b), expected);
    EXPECT_TRUE(b.yOffsetPosted);
    EXPECT_EQ(last, 500);
    // The selection follows the clear in ascending order.
    EXPECT_EQ(b.posts[19].value, 2);
    EXPECT_EQ(b.posts[20].value, 5);
    EXPECT_EQ(b.posts[21].value, 9);
    EXPECT_EQ(ValueOf(b, MessageId::OverlayGridColor), 0x00402020);
    EXPECT_EQ(ValueOf(b, MessageId::DawnDuskWidth), 10);
}

TEST(SettingsBurst, YOffsetOnlyWhenChanged) {
    AllSettings s;
    FakeSelection sel(0);
    int last = -1;
    BuildSettingsBurst(s.Refs(&sel), last);
    Burst again = BuildSettingsBurst(s.Refs(&sel), last);
    EXPECT_FALSE(again.yOffsetPosted);
    for (const SettingsPost& p : again.posts) EXPECT_NE(p.id, MessageId::YOffset);

    s.offset.ySlider = 53;
    Burst moved = BuildSettingsBurst(s.Refs(&sel), last);
    EXPECT_TRUE(moved.yOffsetPosted);
    EXPECT_EQ(ValueOf(moved, MessageId::YOffset), 530);
    EXPECT_EQ(last, 530);
    EXPECT_FALSE(BuildSettingsBurst(s.Refs(&sel), last).yOffsetPosted);
}

TEST(SettingsBurst, DisplayModeFromTheThreeSwitches) {
    struct Case {
        std::uint32_t fs, nd, ia;
        std::int32_t mode;
    };
    for (const Case c : {Case{0, 1, 1, 0}, Case{1, 0, 1, 1}, Case{1, 1, 0, 2}, Case{1, 1, 1, 3}}) {
        AllSettings s;
        s.offset.fullScreen = c.fs;
        s.offset.noDistort = c.nd;
        s.offset.ignoreAntarctica = c.ia;
        int last = -1;
        EXPECT_EQ(ValueOf(BuildSettingsBurst(s.Refs(nullptr), last), MessageId::DisplayMode), c.mode);
    }
}

TEST(SettingsBurst, NoCitiesMeansOnlyTheClear) {
    AllSettings s;
    FakeSelection sel(10);
    int last = -1;
    const Burst b = BuildSettingsBurst(s.Refs(&sel), last);
    int clears = 0, selects = 0;
    for (const SettingsPost& p : b.posts) {
        clears += p.id == MessageId::ClearCities;
        selects += p.id == MessageId::SelectCity;
    }
    EXPECT_EQ(clears, 1);
    EXPECT_EQ(selects, 0);
}

TEST(TimeZoneOffset, DegreesForStandardOffsets) {
    EXPECT_EQ(XOffsetForStandardOffset(0), 0);
    EXPECT_EQ(XOffsetForStandardOffset(3600), 345);
    EXPECT_EQ(XOffsetForStandardOffset(-5 * 3600), 75);
    EXPECT_EQ(XOffsetForStandardOffset(5 * 3600 + 1800), 277);
    EXPECT_EQ(XOffsetForStandardOffset(-12 * 3600), 180);
    EXPECT_EQ(XOffsetForStandardOffset(14 * 3600), 150);
}

TEST(RefreshPeriod, HalfMinutesPerStep) {
    EXPECT_EQ(RefreshPeriodMs(1), 30000u);
    EXPECT_EQ(RefreshPeriodMs(4), 120000u);
    EXPECT_EQ(RefreshPeriodMs(21), 630000u);
}

}  // namespace
}  // namespace uv
