#include "tests/settings/FakeSelection.h"
#include "controller/SettingsStore.h"

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
    AllSettings s;
    FakeSelection sel{100};
    SettingsRefs refs = s.Refs(&sel);
    MemoryStore store;
};

TEST(SettingsStore, FirstSaveWritesAllDefaultsInSaveOrder) {
    Fixture f;
    SaveAllSettings(f.store, f.refs);
    const std::vector<std::string> expectedOrder = {"YOffset",
                                                    "XOffset",
                                                    "follow the sun",
                                                    "timezone offset",
                                                    "refresh interval",
                                                    "dawn dusk width",
                                                    "use generated night source",
                                                    "full screen",
                                                    "no distort",
                                                    "ignore antarctica",
                                                    "autohide",
                                                    "overlay grid",
                                                    "overlay dawndusk",
                                                    "overlay midday",
                                                    "overlay midnight",
                                                    "overlay sunlatitude",
                                                    "overlay grid color",
                                                    "overlay dawndusk color",
                                                    "overlay midday color",
                                                    "overlay midnight color",
                                                    "overlay sunlatitude color",
                                                    "overlay cities",
                                                    "cities color",
                                                    "cities selected",
                                                    "city labels",
                                                    "city label foreground",
                                                    "city label background",
                                                    "city to watch in tray",
                                                    "glyph show sun",
                                                    "overlay status",
                                                    "status label foreground",
                                                    "status label background",
                                                    "status sun location",
                                                    "status sunrise",
                                                    "status sunset",
                                                    "status solar offset",
                                                    "status local time",
                                                    "wallpaper mode",
                                                    "exact sun",
                                                    "real local time"};
    EXPECT_EQ(f.store.writes, expectedOrder);

    const std::map<std::string, std::uint32_t> defaults = {{"YOffset", 500},
                                                           {"XOffset", 0},
                                                           {"refresh interval", 6},
                                                           {"dawn dusk width", 10},
                                                           {"overlay grid color", 0x00402020},
                                                           {"overlay dawndusk color", 0x00400040},
                                                           {"overlay midday color", 0x00007F7F},
                                                           {"overlay midnight color", 0x00600020},
                                                           {"overlay sunlatitude color", 0x00002040},
                                                           {"cities color", 0x002020FF},
                                                           {"city label foreground", 0x0000FFFF},
                                                           {"city label background", 0},
                                                           {"city to watch in tray", 0xFFFFFFFFu},
                                                           {"status label foreground", 0x00C0C0C0},
                                                           {"status label background", 0x00400000}};
    for (const std::string& name : expectedOrder) {
        if (name == "cities selected") {
            EXPECT_TRUE(f.store.values.at(name).empty());
            continue;
        }
        auto it = defaults.find(name);
        EXPECT_EQ(f.store.Dword(name), it == defaults.end() ? 0u : it->second) << name;
    }
}

TEST(SettingsStore, LoadQueriesInLoadOrderWithGlyphBeforeCities) {
    Fixture f;
    LoadAllSettings(f.store, f.refs, Zone345);
    ASSERT_EQ(f.store.queries.size(), kSettingCount);
    EXPECT_EQ(f.store.queries[20], "overlay sunlatitude color");
    EXPECT_EQ(f.store.queries[21], "glyph show sun");
    EXPECT_EQ(f.store.queries[24], "cities selected");
    EXPECT_EQ(f.store.queries[36], "status local time");
}

TEST(SettingsStore, EmptyStoreKeepsEveryDefault) {
    Fixture f;
    const LoadResult r = LoadAllSettings(f.store, f.refs, Zone345);
    EXPECT_FALSE(r.citiesLoaded);
    EXPECT_EQ(f.s.offset.ySlider, 50);
    EXPECT_EQ(f.s.offset.xSlider, 0);
    EXPECT_EQ(f.s.misc.refreshSlider, 6);
    EXPECT_EQ(f.s.misc.dawnDuskSlider, 10);
    EXPECT_EQ(f.s.cityPage.trayCity, -1);
    EXPECT_EQ(f.s.overlay.colours.cities, 0x002020FFu);
}

TEST(SettingsStore, YOffsetLoadsAsTenthsOfTheStoredValueAndSavesRounded) {
    Fixture f;
    f.store.SetDword("YOffset", 537);
    LoadAllSettings(f.store, f.refs, Zone345);
    EXPECT_EQ(f.s.offset.ySlider, 53);
    SaveAllSettings(f.store, f.refs);
    EXPECT_EQ(f.store.Dword("YOffset"), 530u);
}

TEST(SettingsStore, OutOfRangeSliderValuesStayWithinTheSliders) {
    Fixture f;
    f.store.SetDword("YOffset", 5000);
    f.store.SetDword("XOffset", 720);
    f.store.SetDword("refresh interval", 0);
    f.store.SetDword("dawn dusk width", 0xFFFFFFFFu);
    LoadAllSettings(f.store, f.refs, Zone345);
    EXPECT_EQ(f.s.offset.ySlider, 100);
    EXPECT_EQ(f.s.offset.xSlider, 359);
    EXPECT_EQ(f.s.misc.refreshSlider, 1);
    EXPECT_EQ(f.s.misc.dawnDuskSlider, 0);

    Fixture g;
    g.store.SetDword("YOffset", 0xFFFFFFF6u);  // -10 as a signed number
    LoadAllSettings(g.store, g.refs, Zone345);
    EXPECT_EQ(g.s.offset.ySlider, 0);
}

TEST(SettingsStore, FollowTheSunWinsOverTimezoneOffset) {
    Fixture f;
    f.store.SetDword("follow the sun", 1);
    f.store.SetDword("timezone offset", 1);
    f.store.SetDword("XOffset", 90);
    LoadAllSettings(f.store, f.refs, Zone345);
    EXPECT_EQ(f.s.offset.followTheSun, 1u);
    EXPECT_EQ(f.s.offset.timezoneOffset, 0u);
    EXPECT_EQ(f.s.offset.xSlider, 90);
    SaveAllSettings(f.store, f.refs);
    EXPECT_EQ(f.store.Dword("timezone offset"), 0u);
}

TEST(SettingsStore, TimezoneOffsetMovesTheXSliderToTheZone) {
    Fixture f;
    f.store.SetDword("XOffset", 90);
    f.store.SetDword("timezone offset", 1);
    LoadAllSettings(f.store, f.refs, Zone345);
    EXPECT_EQ(f.s.offset.timezoneOffset, 1u);
    EXPECT_EQ(f.s.offset.xSlider, 345);
    const OffsetEnables e = ComputeOffsetEnables(f.s.offset);
    EXPECT_FALSE(e.xSlider);
    EXPECT_FALSE(e.followTheSun);
    EXPECT_TRUE(e.timezoneOffset);
}

TEST(SettingsStore, CitiesSelectedOfSixBytesSelectsOneCity) {
    Fixture f;
    f.sel.Select(7);
    f.store.values["cities selected"] = {5, 0, 0, 0, 9, 9};
    f.store.SetDword("status local time", 1);
    const LoadResult r = LoadAllSettings(f.store, f.refs, Zone345);
    EXPECT_TRUE(r.citiesLoaded);
    EXPECT_TRUE(f.sel.flags[5]);
    EXPECT_FALSE(f.sel.flags[7]);  // the old selection is replaced
    EXPECT_EQ(std::count(f.sel.flags.begin(), f.sel.flags.end(), true), 1);
    EXPECT_EQ(f.s.overlay.statusLocalTime, 1u);
}

TEST(SettingsStore, EmptyOrMissingCitiesLeaveSelectionAndLoadTheRest) {
    for (bool present : {true, false}) {
        Fixture f;
        f.sel.Select(3);
        if (present) f.store.values["cities selected"] = {1, 2};
        f.store.SetDword("city labels", 1);
        f.store.SetDword("city to watch in tray", 12);
        f.store.SetDword("status local time", 1);
        const LoadResult r = LoadAllSettings(f.store, f.refs, Zone345);
        EXPECT_FALSE(r.citiesLoaded);
        EXPECT_TRUE(f.sel.flags[3]);
        EXPECT_EQ(f.s.overlay.cityLabels, 1u);
        EXPECT_EQ(f.s.cityPage.trayCity, 12);
        EXPECT_EQ(f.s.overlay.statusLocalTime, 1u);
    }
}

TEST(SettingsStore, CitySelectionRoundTripsAscending) {
    Fixture f;
    for (int i : {42, 3, 99, 0}) f.sel.Select(i);
    SaveAllSettings(f.store, f.refs);
    const std::vector<std::uint8_t> expected = {0, 0, 0, 0, 3, 0, 0, 0, 42, 0, 0, 0, 99, 0, 0, 0};
    EXPECT_EQ(f.store.values.at("cities selected"), expected);

    Fixture g;
    g.store.values = f.store.values;
    LoadAllSettings(g.store, g.refs, Zone345);
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

TEST(SettingsStore, FlagsLoadAsZeroOrOneAndColoursAsStored) {
    Fixture f;
    f.store.SetDword("overlay grid", 7);
    f.store.SetDword("overlay grid color", 0x12345678);
    f.store.SetDword("city to watch in tray", 0xFFFFFFFEu);
    LoadAllSettings(f.store, f.refs, Zone345);
    EXPECT_EQ(f.s.overlay.grid, 1u);
    EXPECT_EQ(f.s.overlay.colours.grid, 0x12345678u);
    EXPECT_EQ(f.s.cityPage.trayCity, -2);
}

TEST(SettingsStore, ValueOfWrongSizeKeepsDefault) {
    Fixture f;
    f.store.values["refresh interval"] = {9, 0};
    f.store.values["autohide"] = {1, 0, 0, 0, 0, 0, 0, 0};
    LoadAllSettings(f.store, f.refs, Zone345);
    EXPECT_EQ(f.s.misc.refreshSlider, 6);
    EXPECT_EQ(f.s.misc.autohide, 0u);
}

TEST(SettingsEnables, OffsetsFollowFullScreenChain) {
    OffsetValues v;
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

TEST(SettingsEnables, CityLabelColoursFollowLabelsNotCities) {
    OverlayValues v;
    v.cityLabels = 1;
    OverlayEnables e = ComputeOverlayEnables(v);
    EXPECT_FALSE(e.cityLabelsBox);
    EXPECT_TRUE(e.cityLabelColours);
    EXPECT_FALSE(e.gridColour);
    v.status = 1;
    e = ComputeOverlayEnables(v);
    EXPECT_TRUE(e.statusBoxes && e.statusColours);
}

}  // namespace
}  // namespace uv
