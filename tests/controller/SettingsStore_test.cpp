#include "tests/settings/FakeSelection.h"
#include "controller/SettingsStore.h"
#include "settings/Burst.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

namespace uv {
namespace {

// A registry stand-in that remembers every value and the order of writes.
class MemoryStore : public ValueStore {
public:
    std::map<std::string, std::vector<std::uint8_t>> values;
    std::vector<std::string> writes;
    std::vector<std::string> queries;

    void SetDword(const std::string& name, std::uint32_t v) {
        values[name] = {std::uint8_t(v), std::uint8_t(v >> 8), std::uint8_t(v >> 16), std::uint8_t(v >> 24)};
    }
    std::uint32_t Dword(const std::string& name) const {
        const auto& b = values.at(name);
        EXPECT_EQ(b.size(), 4u) << name;
        return b[0] | b[1] << 8 | b[2] << 16 | std::uint32_t(b[3]) << 24;
    }
    bool Read(const char* name, RegValue& value) override {
        queries.push_back(name);
        auto it = values.find(name);
        value = it == values.end() ? RegValue() : RegValue{true, kRegBinary, it->second};
        return true;
    }
    bool Write(const char* name, const RegValue& value) override {
        writes.push_back(name);
        values[name] = value.data;
        return true;
    }
};

int Zone345() { return 345; }

struct Fixture {
    SettingsRecord s;
    FakeSelection sel{100};
    MemoryStore store;
    LoadResult Load() { return LoadAllSettings(store, s, &sel, Zone345); }
    void Save() { SaveAllSettings(store, s, &sel); }
};

// Every stored setting with a value of its own, loaded, saved and sent: the
// bytes, the save order and the burst are fixed, whatever the table's
// layout (settings stored by one version are read by the next).
TEST(SettingsStore, EverySettingLoadsSavesAndSendsByteForByte) {
    Fixture f;
    const std::pair<const char*, std::uint32_t> stored[] = {{"YOffset", 537},
                                                            {"XOffset", 200},
                                                            {"follow the sun", 0},
                                                            {"timezone offset", 1},
                                                            {"refresh interval", 9},
                                                            {"dawn dusk width", 37},
                                                            {"use generated night source", 5},
                                                            {"full screen", 1},
                                                            {"no distort", 1},
                                                            {"ignore antarctica", 0},
                                                            {"autohide", 1},
                                                            {"overlay grid", 1},
                                                            {"overlay dawndusk", 0},
                                                            {"overlay midday", 2},
                                                            {"overlay midnight", 0},
                                                            {"overlay sunlatitude", 1},
                                                            {"overlay grid color", 0x00010101},
                                                            {"overlay dawndusk color", 0x00020202},
                                                            {"overlay midday color", 0x00030303},
                                                            {"overlay midnight color", 0x00040404},
                                                            {"overlay sunlatitude color", 0x00050505},
                                                            {"glyph show sun", 1},
                                                            {"overlay cities", 1},
                                                            {"cities color", 0x00060606},
                                                            {"city labels", 1},
                                                            {"city label foreground", 0x00070707},
                                                            {"city label background", 0x00080808},
                                                            {"city to watch in tray", 12},
                                                            {"overlay status", 1},
                                                            {"status label foreground", 0x00090909},
                                                            {"status label background", 0x000A0A0A},
                                                            {"status sun location", 1},
                                                            {"status sunrise", 0},
                                                            {"status sunset", 1},
                                                            {"status solar offset", 0},
                                                            {"status local time", 1},
                                                            {"wallpaper mode", 1},
                                                            {"exact sun", 1},
                                                            {"real local time", 0},
                                                            {"overlay civil twilight", 1},
                                                            {"overlay nautical twilight color", 0x000B0B0B},
                                                            {"graded twilight", 3},
                                                            {"status moon phase", 1}};
    for (const auto& v : stored) f.store.SetDword(v.first, v.second);
    f.store.values["cities selected"] = {7, 0, 0, 0, 3, 0, 0, 0, 5, 0, 0, 0};
    f.Load();

    MemoryStore out;
    SaveAllSettings(out, f.s, &f.sel);
    const std::vector<std::pair<std::string, std::vector<std::uint8_t>>> saved = {
        {"YOffset", {18, 2, 0, 0}},
        {"XOffset", {89, 1, 0, 0}},
        {"follow the sun", {0, 0, 0, 0}},
        {"timezone offset", {1, 0, 0, 0}},
        {"refresh interval", {9, 0, 0, 0}},
        {"dawn dusk width", {37, 0, 0, 0}},
        {"use generated night source", {1, 0, 0, 0}},
        {"full screen", {1, 0, 0, 0}},
        {"no distort", {1, 0, 0, 0}},
        {"ignore antarctica", {0, 0, 0, 0}},
        {"autohide", {1, 0, 0, 0}},
        {"overlay grid", {1, 0, 0, 0}},
        {"overlay dawndusk", {0, 0, 0, 0}},
        {"overlay midday", {1, 0, 0, 0}},
        {"overlay midnight", {0, 0, 0, 0}},
        {"overlay sunlatitude", {1, 0, 0, 0}},
        {"overlay grid color", {1, 1, 1, 0}},
        {"overlay dawndusk color", {2, 2, 2, 0}},
        {"overlay midday color", {3, 3, 3, 0}},
        {"overlay midnight color", {4, 4, 4, 0}},
        {"overlay sunlatitude color", {5, 5, 5, 0}},
        {"overlay cities", {1, 0, 0, 0}},
        {"cities color", {6, 6, 6, 0}},
        {"cities selected", {3, 0, 0, 0, 5, 0, 0, 0, 7, 0, 0, 0}},
        {"city labels", {1, 0, 0, 0}},
        {"city label foreground", {7, 7, 7, 0}},
        {"city label background", {8, 8, 8, 0}},
        {"city to watch in tray", {12, 0, 0, 0}},
        {"glyph show sun", {1, 0, 0, 0}},
        {"overlay status", {1, 0, 0, 0}},
        {"status label foreground", {9, 9, 9, 0}},
        {"status label background", {10, 10, 10, 0}},
        {"status sun location", {1, 0, 0, 0}},
        {"status sunrise", {0, 0, 0, 0}},
        {"status sunset", {1, 0, 0, 0}},
        {"status solar offset", {0, 0, 0, 0}},
        {"status local time", {1, 0, 0, 0}},
        {"wallpaper mode", {1, 0, 0, 0}},
        {"exact sun", {1, 0, 0, 0}},
        {"real local time", {0, 0, 0, 0}},
        {"overlay civil twilight", {1, 0, 0, 0}},
        {"overlay civil twilight color", {255, 160, 64, 0}},
        {"overlay nautical twilight", {0, 0, 0, 0}},
        {"overlay nautical twilight color", {11, 11, 11, 0}},
        {"overlay astronomical twilight", {0, 0, 0, 0}},
        {"overlay astronomical twilight color", {160, 96, 255, 0}},
        {"graded twilight", {1, 0, 0, 0}},
        {"glyph show moon", {0, 0, 0, 0}},
        {"status moon phase", {1, 0, 0, 0}},
        {"status moonrise moonset", {0, 0, 0, 0}},
        {"status civil twilight", {0, 0, 0, 0}},
    };
    ASSERT_EQ(out.writes.size(), saved.size());
    for (std::size_t i = 0; i < saved.size(); ++i) {
        EXPECT_EQ(out.writes[i], saved[i].first) << i;
        EXPECT_EQ(out.values[saved[i].first], saved[i].second) << saved[i].first;
    }

    int last = -1;
    const Burst burst = BuildSettingsBurst(f.s, &f.sel, last);
    const std::vector<SettingsPost> sent = {
        {MessageId(3), 345},         {MessageId(4), 0},           {MessageId(6), 37},
        {MessageId(8), 1},           {MessageId(5), 530},         {MessageId(7), 2},
        {MessageId(10), 1},          {MessageId(11), 0},          {MessageId(12), 1},
        {MessageId(13), 0},          {MessageId(14), 1},          {MessageId(15), 65793},
        {MessageId(16), 131586},     {MessageId(17), 197379},     {MessageId(18), 263172},
        {MessageId(19), 328965},     {MessageId(24), 1},          {MessageId(20), 394758},
        {MessageId(21), 0},          {MessageId(22), 3},          {MessageId(22), 5},
        {MessageId(22), 7},          {MessageId(25), 1},          {MessageId(26), 460551},
        {MessageId(27), 526344},     {MessageId(30), 1},          {MessageId(31), 592137},
        {MessageId(32), 657930},     {MessageId(33), 1},          {MessageId(34), 0},
        {MessageId(36), 1},          {MessageId(35), 0},          {MessageId(37), 1},
        {MessageId(40), 1},          {MessageId(42), 1},          {MessageId(43), 0},
        {MessageId(44), 1},          {MessageId(45), 0x0040A0FF}, {MessageId(46), 0},
        {MessageId(47), 0x000B0B0B}, {MessageId(48), 0},          {MessageId(49), 0x00FF60A0},
        {MessageId(50), 1},          {MessageId(51), 0},          {MessageId(52), 1},
        {MessageId(53), 0},          {MessageId(54), 0}};
    EXPECT_EQ(burst.posts, sent);
}

TEST(SettingsStore, CitiesSelectedOfSixBytesSelectsOneCity) {
    Fixture f;
    f.sel.Select(7);
    f.store.values["cities selected"] = {5, 0, 0, 0, 9, 9};
    f.store.SetDword("status local time", 1);
    const LoadResult r = f.Load();
    EXPECT_TRUE(r.citiesLoaded);
    EXPECT_TRUE(f.sel.flags[5]);
    EXPECT_FALSE(f.sel.flags[7]);  // the old selection is replaced
    EXPECT_EQ(std::count(f.sel.flags.begin(), f.sel.flags.end(), true), 1);
    EXPECT_EQ(f.s.statusLocalTime, 1);
}

TEST(SettingsStore, EmptyOrMissingCitiesLeaveSelectionAndLoadTheRest) {
    for (bool present : {true, false}) {
        Fixture f;
        f.sel.Select(3);
        if (present) f.store.values["cities selected"] = {1, 2};
        f.store.SetDword("city labels", 1);
        f.store.SetDword("city to watch in tray", 12);
        f.store.SetDword("status local time", 1);
        const LoadResult r = f.Load();
        EXPECT_FALSE(r.citiesLoaded);
        EXPECT_TRUE(f.sel.flags[3]);
        EXPECT_EQ(f.s.cityLabels, 1);
        EXPECT_EQ(f.s.trayCity, 12);
        EXPECT_EQ(f.s.statusLocalTime, 1);
    }
}

TEST(SettingsStore, CitySelectionRoundTripsAscending) {
    Fixture f;
    for (int i : {42, 3, 99, 0}) f.sel.Select(i);
    f.Save();
    const std::vector<std::uint8_t> expected = {0, 0, 0, 0, 3, 0, 0, 0, 42, 0, 0, 0, 99, 0, 0, 0};
    EXPECT_EQ(f.store.values.at("cities selected"), expected);

    Fixture g;
    g.store.values = f.store.values;
    g.Load();
    EXPECT_EQ(g.sel.flags, f.sel.flags);
}

TEST(SettingsStore, DecodeTakesIndicesModuloAndSkipsNegatives) {
    const std::uint8_t blob[] = {
        0x0A, 0,    0,    0,     // 10 -> 0 with 10 cities
        0xFF, 0xFF, 0xFF, 0xFF,  // -1: no city
        0x0C, 0,    0,    0,     // 12 -> 2
        0x00, 0x00, 0x00, 0x80,  // most negative: no city
        0x07,                    // stray byte
    };
    EXPECT_EQ(DecodeCitiesSelected(blob, sizeof blob, 10), (std::vector<int>{0, 2}));
    EXPECT_TRUE(DecodeCitiesSelected(blob, sizeof blob, 0).empty());
    EXPECT_TRUE(DecodeCitiesSelected(blob, 3, 10).empty());
}

std::vector<std::uint8_t> Le(std::uint32_t v) {
    return {std::uint8_t(v), std::uint8_t(v >> 8), std::uint8_t(v >> 16), std::uint8_t(v >> 24)};
}

// What loading makes of the values it finds, one rule a row.
TEST(SettingsStore, LoadKeepsEveryValueWithinItsRule) {
    using R = SettingsRecord;
    struct Case {
        const char* rule;
        std::vector<std::pair<const char*, std::vector<std::uint8_t>>> stored;
        std::vector<std::pair<SettingMember, std::int32_t>> expected;
    };
    const Case cases[] = {
        {"nothing stored: the defaults",
         {},
         {{&R::ySlider, 50},
          {&R::xSlider, 0},
          {&R::refreshSlider, 6},
          {&R::dawnDuskSlider, 10},
          {&R::trayCity, -1},
          {&R::citiesColour, 0x002020FF},
          {&R::overlayGrid, 0}}},
        {"YOffset is stored in tenths", {{"YOffset", Le(537)}}, {{&R::ySlider, 53}}},
        {"sliders stay within their ranges",
         {{"YOffset", Le(5000)},
          {"XOffset", Le(720)},
          {"refresh interval", Le(0)},
          {"dawn dusk width", Le(~0u)}},
         {{&R::ySlider, 100}, {&R::xSlider, 359}, {&R::refreshSlider, 1}, {&R::dawnDuskSlider, 0}}},
        {"a negative YOffset is the top", {{"YOffset", Le(0xFFFFFFF6u)}}, {{&R::ySlider, 0}}},
        {"follow the sun wins over the time zone",
         {{"follow the sun", Le(1)}, {"timezone offset", Le(1)}, {"XOffset", Le(90)}},
         {{&R::followTheSun, 1}, {&R::timezoneOffset, 0}, {&R::xSlider, 90}}},
        {"the time zone moves the X slider",
         {{"XOffset", Le(90)}, {"timezone offset", Le(1)}},
         {{&R::timezoneOffset, 1}, {&R::xSlider, 345}}},
        {"flags 0 or 1, colours and the watched city as stored",
         {{"overlay grid", Le(7)},
          {"overlay grid color", Le(0x12345678)},
          {"city to watch in tray", Le(0xFFFFFFFEu)}},
         {{&R::overlayGrid, 1}, {&R::gridColour, 0x12345678}, {&R::trayCity, -2}}},
        {"a value not of 4 bytes keeps the default",
         {{"refresh interval", {9, 0}}, {"autohide", {1, 0, 0, 0, 0, 0, 0, 0}}},
         {{&R::refreshSlider, 6}, {&R::autohide, 0}}},
    };
    for (const Case& c : cases) {
        Fixture f;
        for (const auto& v : c.stored) f.store.values[v.first] = v.second;
        f.Load();
        for (const auto& e : c.expected) EXPECT_EQ(f.s.*e.first, e.second) << c.rule;
    }
}

TEST(SettingsStore, FirstSaveWritesTheDefaults) {
    Fixture f;
    f.Save();
    const std::map<std::string, std::uint32_t> defaults = {{"YOffset", 500},
                                                           {"refresh interval", 6},
                                                           {"dawn dusk width", 10},
                                                           {"overlay grid color", 0x00402020},
                                                           {"overlay dawndusk color", 0x00400040},
                                                           {"overlay midday color", 0x00007F7F},
                                                           {"overlay midnight color", 0x00600020},
                                                           {"overlay sunlatitude color", 0x00002040},
                                                           {"cities color", 0x002020FF},
                                                           {"city label foreground", 0x0000FFFF},
                                                           {"city to watch in tray", 0xFFFFFFFFu},
                                                           {"status label foreground", 0x00C0C0C0},
                                                           {"status label background", 0x00400000},
                                                           {"overlay civil twilight color", 0x0040A0FF},
                                                           {"overlay nautical twilight color", 0x00FFA040},
                                                           {"overlay astronomical twilight color", 0x00FF60A0}};
    EXPECT_EQ(f.store.writes.size(), 51u);
    for (const std::string& name : f.store.writes) {
        if (name == "cities selected") {
            EXPECT_TRUE(f.store.values.at(name).empty());
            continue;
        }
        auto it = defaults.find(name);
        EXPECT_EQ(f.store.Dword(name), it == defaults.end() ? 0u : it->second) << name;
    }
}

TEST(SettingsEnables, OffsetsFollowFullScreenChain) {
    SettingsRecord v;
    v.noDistort = 1;
    OffsetEnables e = ComputeOffsetEnables(v);
    EXPECT_TRUE(e.ySlider);
    EXPECT_FALSE(e.noDistort);
    EXPECT_FALSE(e.ignoreAntarctica);
    v.fullScreen = 1;
    e = ComputeOffsetEnables(v);
    EXPECT_FALSE(e.ySlider);
    EXPECT_TRUE(e.noDistort);
    EXPECT_TRUE(e.ignoreAntarctica);
}

}  // namespace
}  // namespace uv
