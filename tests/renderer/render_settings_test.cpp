#include "renderer/RenderSettings.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "renderer/Projection.h"

namespace uv {
namespace {

constexpr std::time_t kNow = 1100000000;

std::string CityText(int n) {
    std::string text;
    for (int i = 0; i < n; ++i) {
        text += "City" + std::to_string(i) + ",Land,1.0,2.0\r\n";
    }
    return text;
}

class RenderSettingsTest : public ::testing::Test {
protected:
    void SetUp() override {
        const std::string text = CityText(10);
        cities.Parse(text.c_str(), static_cast<unsigned>(text.size()));
    }
    SettingAction Send(MessageId id, std::intptr_t value) {
        return ApplySettingsMessage(s, cities, ToWire(id), value, kNow);
    }
    std::string Selected() {
        std::string out;
        for (int i = 0; i < cities.GetCityCount(); ++i)
            if (cities.GetCity(i)->selected) out += std::to_string(i) + " ";
        return out;
    }
    RenderSettings s;
    CityDatabase cities;
};

TEST_F(RenderSettingsTest, InitialValuesBeforeAnyMessage) {
    EXPECT_EQ(s.renderTime, 0);
    EXPECT_EQ(s.xOffset, 0);
    EXPECT_DOUBLE_EQ(s.yOffset, 0.5);
    EXPECT_EQ(s.dawnDuskWidth, 0.0f);
    EXPECT_EQ(s.displayMode, 0);
    EXPECT_EQ(s.mapHeightFraction, 1.0f);
    EXPECT_EQ(s.statusForeground, 0x003F7FFFu);  // red 255, green 127, blue 63
    EXPECT_EQ(s.statusBackground, 0x003F3F3Fu);
    EXPECT_EQ(s.gridColor, 0u);
    EXPECT_EQ(s.overlayGrid, 0);
    EXPECT_EQ(s.glyphShowSun, 0);
}

TEST_F(RenderSettingsTest, XOffsetIsNormalisedIntoOneTurnForAnyValue) {
    const struct {
        std::int32_t in, out;
    } cases[] = {
        {0, 0},
        {359, 359},
        {360, 0},
        {400, 40},
        {-30, 330},
        {-15, 345},
        {-400, 320},
        {-360, 0},
        {-720, 0},
        {1080 + 7, 7},
        {INT32_MIN, NormalizeXOffset(INT32_MIN % 360)},
        {INT32_MAX, INT32_MAX % 360},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Send(MessageId::XOffset, c.in), SettingAction::None);
        EXPECT_EQ(s.xOffset, c.out) << c.in;
        EXPECT_GE(s.xOffset, 0);
        EXPECT_LT(s.xOffset, 360);
    }
}

TEST_F(RenderSettingsTest, YOffsetIsScaledAndRequestsARender) {
    EXPECT_EQ(Send(MessageId::YOffset, 250), SettingAction::RequestRender);
    EXPECT_DOUBLE_EQ(s.yOffset, 0.25);
    EXPECT_EQ(s.renderTime, kNow);  // nothing received yet: the current time
    s.renderTime = 1234;
    EXPECT_EQ(Send(MessageId::YOffset, 1000), SettingAction::RequestRender);
    EXPECT_DOUBLE_EQ(s.yOffset, 1.0);
    EXPECT_EQ(s.renderTime, 1234);  // renders the same moment again
}

TEST_F(RenderSettingsTest, SetTimeKeepsTheLastPositiveTime) {
    EXPECT_EQ(Send(MessageId::SetTime, 0), SettingAction::RequestRender);
    EXPECT_EQ(s.renderTime, kNow);
    EXPECT_EQ(Send(MessageId::SetTime, 5000), SettingAction::RequestRender);
    EXPECT_EQ(s.renderTime, 5000);
    EXPECT_EQ(Send(MessageId::SetTime, 0), SettingAction::RequestRender);
    EXPECT_EQ(s.renderTime, 5000);
    EXPECT_EQ(Send(MessageId::SetTime, -7), SettingAction::RequestRender);
    EXPECT_EQ(s.renderTime, 5000);
}

TEST_F(RenderSettingsTest, DawnDuskWidthIsAFractionClampedToTheBand) {
    Send(MessageId::DawnDuskWidth, 50);
    EXPECT_FLOAT_EQ(s.dawnDuskWidth, 0.5f);
    Send(MessageId::DawnDuskWidth, 100);
    EXPECT_FLOAT_EQ(s.dawnDuskWidth, 1.0f);
    Send(MessageId::DawnDuskWidth, 250);
    EXPECT_FLOAT_EQ(s.dawnDuskWidth, 1.0f);
    Send(MessageId::DawnDuskWidth, -20);
    EXPECT_EQ(s.dawnDuskWidth, 0.0f);
}

TEST_F(RenderSettingsTest, DisplayModeSetsTheMapHeightFraction) {
    Send(MessageId::DisplayMode, 3);
    EXPECT_EQ(s.displayMode, 3);
    EXPECT_EQ(s.mapHeightFraction, 0.8333333f);
    EXPECT_EQ(EffectiveDisplayMode(s.displayMode), DisplayMode::FullScreenNoAntarctica);
    Send(MessageId::DisplayMode, 2);
    EXPECT_EQ(s.mapHeightFraction, 1.0f);
    Send(MessageId::DisplayMode, 3);
    Send(MessageId::DisplayMode, 17);
    EXPECT_EQ(s.mapHeightFraction, 1.0f);
    EXPECT_EQ(EffectiveDisplayMode(s.displayMode), DisplayMode::FitWidth);
    EXPECT_EQ(EffectiveDisplayMode(-1), DisplayMode::FitWidth);
}

// Any program can post the settings message: whatever arrives, every value
// the picture's arithmetic uses stays in its range. A portrait 4K window
// makes an unclamped YOffset overflow the int of the map's position.
TEST_F(RenderSettingsTest, ForeignValuesOfEveryIdStayInRange) {
    for (std::uint32_t id = 0; id <= 300; ++id) {
        for (std::int32_t v : {INT32_MIN, -1, 0, 1, 7, 1001, INT32_MAX}) {
            ApplySettingsMessage(s, cities, id, v, kNow);
            const MapFit fit =
                FitMapToWindow(s.displayMode, s.mapHeightFraction, s.yOffset, 2160, 3840, 2048, 1024);
            ASSERT_GE(s.yOffset, 0.0) << id << " " << v;
            ASSERT_LE(s.yOffset, 1.0) << id << " " << v;
            ASSERT_GE(s.displayMode, 0) << id << " " << v;
            ASSERT_LE(s.displayMode, 3) << id << " " << v;
            ASSERT_GE(s.dawnDuskWidth, 0.0f);
            ASSERT_LE(s.dawnDuskWidth, 1.0f);
            ASSERT_GE(fit.windowY, 0) << id << " " << v;
            ASSERT_LE(fit.windowY + fit.targetHeight, 3840) << id << " " << v;
        }
    }
    EXPECT_GT(s.renderTime, 0);
}

// Every flag and colour by its number on the wire: flags become 0 or 1,
// colours are kept as sent.
TEST_F(RenderSettingsTest, FlagsAndColoursByWireNumber) {
    using R = RenderSettings;
    const struct {
        std::uint32_t wire;
        std::uint8_t R::*flag;
    } flags[] = {{4, &R::followSun},           {8, &R::useGeneratedNight},  {10, &R::overlayGrid},
                 {11, &R::overlayDawnDusk},    {12, &R::overlayMidday},     {13, &R::overlayMidnight},
                 {14, &R::overlaySunLatitude}, {24, &R::overlayCities},     {25, &R::cityLabels},
                 {30, &R::overlayStatus},      {33, &R::statusSunLocation}, {34, &R::statusSunrise},
                 {35, &R::statusSolarOffset},  {36, &R::statusSunset},      {37, &R::statusLocalTime},
                 {40, &R::glyphShowSun},       {42, &R::exactSun},          {43, &R::realLocalTime}};
    for (const auto& f : flags) {
        EXPECT_EQ(s.*f.flag, 0) << f.wire;
        for (const auto& v : {std::pair<std::int32_t, int>{-5, 1}, {0, 0}, {256, 1}, {1, 1}}) {
            EXPECT_EQ(ApplySettingsMessage(s, cities, f.wire, v.first, kNow), SettingAction::None);
            EXPECT_EQ(s.*f.flag, v.second) << f.wire << " " << v.first;
        }
    }
    const struct {
        std::uint32_t wire;
        ColorRef R::*colour;
    } colours[] = {{15, &R::gridColor},
                   {16, &R::dawnDuskColor},
                   {17, &R::middayColor},
                   {18, &R::midnightColor},
                   {19, &R::sunLatitudeColor},
                   {20, &R::citiesColor},
                   {26, &R::cityLabelForeground},
                   {27, &R::cityLabelBackground},
                   {31, &R::statusForeground},
                   {32, &R::statusBackground},
                   {45, &R::civilTwilightColor},
                   {47, &R::nauticalTwilightColor},
                   {49, &R::astronomicalTwilightColor}};
    for (const auto& c : colours) {
        ApplySettingsMessage(s, cities, c.wire, 0x00123400 + c.wire, kNow);
        EXPECT_EQ(s.*c.colour, 0x00123400u + c.wire) << c.wire;
    }
}

TEST_F(RenderSettingsTest, UnknownIdsChangeNothingAndAreHandedOn) {
    RenderSettings before;
    std::memcpy(&before, &s, sizeof s);  // padding included
    for (std::uint32_t id : {9u, 28u, 29u, 38u, 39u, 41u, 55u, 100u, 254u, 257u, 0xFFFFFFFFu}) {
        EXPECT_EQ(ApplySettingsMessage(s, cities, id, 1, kNow), SettingAction::NotHandled) << id;
    }
    EXPECT_EQ(std::memcmp(&before, &s, sizeof s), 0);
}

TEST_F(RenderSettingsTest, CommandsTellTheCallerWhatToDo) {
    EXPECT_EQ(Send(MessageId::Subclass, 0x1234), SettingAction::StartHost);
    EXPECT_EQ(Send(MessageId::Unsubclass, 0x1234), SettingAction::StopHost);
    EXPECT_EQ(Send(MessageId::RenderDone, 0), SettingAction::RenderDone);
    EXPECT_EQ(Send(MessageId::HookHandle, 0x5678), SettingAction::HookHandle);
}

TEST_F(RenderSettingsTest, BurstSelectionReplacesThePreviousOne) {
    Send(MessageId::SelectCity, 7);
    Send(MessageId::ClearCities, 0);
    Send(MessageId::SelectCity, 2);
    Send(MessageId::SelectCity, 5);
    Send(MessageId::SelectCity, 9);
    EXPECT_EQ(Selected(), "2 5 9 ");
    EXPECT_EQ(cities.GetSelectedCount(), 3);
    Send(MessageId::SelectCity, 5);  // already selected
    EXPECT_EQ(cities.GetSelectedCount(), 3);
    Send(MessageId::DeselectCity, 2);
    Send(MessageId::DeselectCity, 2);
    EXPECT_EQ(Selected(), "5 9 ");
    EXPECT_EQ(cities.GetSelectedCount(), 2);
}

TEST_F(RenderSettingsTest, CityIndicesWrapAndNegativeOnesNameNoCity) {
    Send(MessageId::SelectCity, 13);  // modulo 10
    EXPECT_EQ(Selected(), "3 ");
    Send(MessageId::SelectCity, -1);
    Send(MessageId::SelectCity, INT32_MIN);
    Send(MessageId::DeselectCity, -7);
    EXPECT_EQ(Selected(), "3 ");
    EXPECT_EQ(cities.GetSelectedCount(), 1);
}

TEST(RenderSettingsEmptyDatabase, SelectionMessagesDoNothing) {
    RenderSettings s;
    CityDatabase empty;
    for (MessageId id : {MessageId::ClearCities, MessageId::SelectCity, MessageId::DeselectCity}) {
        EXPECT_EQ(ApplySettingsMessage(s, empty, ToWire(id), 4, kNow), SettingAction::None);
    }
    EXPECT_EQ(empty.GetSelectedCount(), 0);
}

TEST(DisplayModeFromSwitches, LaterSwitchesNeedTheEarlierOnes) {
    EXPECT_EQ(MakeDisplayMode(false, true, true), DisplayMode::FitWidth);
    EXPECT_EQ(MakeDisplayMode(true, false, true), DisplayMode::FullScreen);
    EXPECT_EQ(MakeDisplayMode(true, true, false), DisplayMode::FullScreenNoDistort);
    EXPECT_EQ(MakeDisplayMode(true, true, true), DisplayMode::FullScreenNoAntarctica);
    EXPECT_FALSE(IsProtocolId(9));
    EXPECT_TRUE(IsProtocolId(40));
    EXPECT_TRUE(IsProtocolId(256));
    EXPECT_FALSE(IsProtocolId(41));
}

}  // namespace
}  // namespace uv
