#include "tests/settings/FakeSelection.h"
#include "settings/Burst.h"

#include <gtest/gtest.h>

#include <vector>

namespace uv {
namespace {

std::int32_t ValueOf(const Burst& b, MessageId id) {
    for (const SettingsPost& p : b.posts)
        if (p.id == id) return p.value;
    ADD_FAILURE() << "id " << ToWire(id) << " not posted";
    return -12345;
}

TEST(SettingsBurst, YOffsetOnlyWhenChanged) {
    SettingsRecord s;
    int last = -1;
    BuildSettingsBurst(s, nullptr, last);
    Burst again = BuildSettingsBurst(s, nullptr, last);
    EXPECT_FALSE(again.yOffsetPosted);
    for (const SettingsPost& p : again.posts) EXPECT_NE(p.id, MessageId::YOffset);

    s.ySlider = 53;
    Burst moved = BuildSettingsBurst(s, nullptr, last);
    EXPECT_TRUE(moved.yOffsetPosted);
    EXPECT_EQ(ValueOf(moved, MessageId::YOffset), 530);
    EXPECT_EQ(last, 530);
    EXPECT_FALSE(BuildSettingsBurst(s, nullptr, last).yOffsetPosted);
}

TEST(SettingsBurst, DisplayModeFromTheThreeSwitches) {
    struct Case {
        std::int32_t fs, nd, ia;
        std::int32_t mode;
    };
    for (const Case c : {Case{0, 1, 1, 0}, Case{1, 0, 1, 1}, Case{1, 1, 0, 2}, Case{1, 1, 1, 3}}) {
        SettingsRecord s;
        s.fullScreen = c.fs;
        s.noDistort = c.nd;
        s.ignoreAntarctica = c.ia;
        int last = -1;
        EXPECT_EQ(ValueOf(BuildSettingsBurst(s, nullptr, last), MessageId::DisplayMode), c.mode);
    }
}

TEST(SettingsBurst, NoCitiesMeansOnlyTheClear) {
    SettingsRecord s;
    FakeSelection sel(10);
    int last = -1;
    const Burst b = BuildSettingsBurst(s, &sel, last);
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
