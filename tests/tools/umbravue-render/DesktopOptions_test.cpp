#include "tools/umbravue-render/DesktopOptions.h"

#include <gtest/gtest.h>

#include "tools/umbravue-render/RenderOptions.h"

namespace uv {
namespace {

TEST(LookupSettingId, ByNumberSettingNameOrIdName) {
    std::uint32_t id = 0;
    EXPECT_TRUE(LookupSettingId("15", id));
    EXPECT_EQ(id, 15u);
    EXPECT_TRUE(LookupSettingId("overlay grid color", id));
    EXPECT_EQ(id, 15u);
    EXPECT_TRUE(LookupSettingId("OVERLAYGRIDCOLOR", id));
    EXPECT_EQ(id, 15u);
    EXPECT_TRUE(LookupSettingId("status sunset", id));
    EXPECT_EQ(id, 36u);
    EXPECT_TRUE(LookupSettingId("DisplayMode", id));
    EXPECT_EQ(id, 7u);
    // Not settings: commands, gaps in the table, unknown names.
    for (const char* name : {"0", "2", "9", "38", "255", "256", "Subclass", "overlay", ""}) {
        EXPECT_FALSE(LookupSettingId(name, id)) << name;
    }
}

TEST(ParseDesktopOption, ReadsWindowSettingsAndCities) {
    DesktopOptions o;
    std::string error;
    EXPECT_EQ(ParseDesktopOption("--window", "1024x768", o, error), 1);
    EXPECT_EQ(o.windowWidth, 1024);
    EXPECT_EQ(o.windowHeight, 768);
    EXPECT_EQ(ParseDesktopOption("--set", "XOffset=-400", o, error), 1);
    EXPECT_EQ(ParseDesktopOption("--set", "cities color=0x00FF8040", o, error), 1);
    EXPECT_EQ(ParseDesktopOption("--set", "overlay grid=on", o, error), 1);
    EXPECT_EQ(ParseDesktopOption("--cities", "3,17,250", o, error), 1);
    EXPECT_EQ(ParseDesktopOption("--dpi", "192", o, error), 1);
    EXPECT_EQ(o.dpi, 192u);
    ASSERT_EQ(o.settings.size(), 3u);
    EXPECT_EQ(o.settings[0], std::make_pair(3u, -400));
    EXPECT_EQ(o.settings[1], std::make_pair(20u, 0x00FF8040));
    EXPECT_EQ(o.settings[2], std::make_pair(10u, 1));
    EXPECT_EQ(o.cities, (std::vector<int>{3, 17, 250}));
    EXPECT_TRUE(o.enabled);
    EXPECT_EQ(ParseDesktopOption("--band", "5", o, error), 0);
}

TEST(ParseDesktopOption, RefusesBadValues) {
    DesktopOptions o;
    std::string error;
    for (const char* w : {"1024", "0x768", "x768", "1024x", "1024x768x", "99999x10", "-5x10"}) {
        EXPECT_EQ(ParseDesktopOption("--window", w, o, error), -1) << w;
    }
    for (const char* s : {"XOffset", "XOffset=", "nosuch=1", "XOffset=12abc", "9=1", "XOffset=99999999999"}) {
        EXPECT_EQ(ParseDesktopOption("--set", s, o, error), -1) << s;
    }
    for (const char* c : {"", "1,,2", "-1", "a"}) {
        EXPECT_EQ(ParseDesktopOption("--cities", c, o, error), -1) << c;
    }
    for (const char* d : {"", "0", "47", "961", "1.5"}) {
        EXPECT_EQ(ParseDesktopOption("--dpi", d, o, error), -1) << d;
    }
    EXPECT_FALSE(o.enabled);
}

TEST(ParseRenderOptions, BandAndNightSettingsDriveTheCompositing) {
    const char* argv[] = {"umbravue-render",     "--time", "0",  "--output", "x.png", "--set",
                          "dawn dusk width=250", "--set",  "8=1"};
    RenderOptions options;
    std::string error;
    ASSERT_TRUE(ParseRenderOptions(9, argv, options, error)) << error;
    EXPECT_EQ(options.bandPercent, 100);
    EXPECT_EQ(options.night, NightSource::Generated);
    EXPECT_TRUE(options.desktop.enabled);
}

}  // namespace
}  // namespace uv
