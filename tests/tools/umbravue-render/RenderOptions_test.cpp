#include "tools/umbravue-render/RenderOptions.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace uv {
namespace {

bool Parse(std::vector<const char*> args, RenderOptions& options, std::string& error) {
    args.insert(args.begin(), "umbravue-render");
    return ParseRenderOptions(static_cast<int>(args.size()), args.data(), options, error);
}

TEST(ParseUtcTime, TakesIsoDatesAndEpochSeconds) {
    long long t = 0;
    ASSERT_TRUE(ParseUtcTime("2004-06-21T12:00:00Z", t));
    EXPECT_EQ(t, 1087819200);
    ASSERT_TRUE(ParseUtcTime("2004-06-21T12:00:00", t));
    EXPECT_EQ(t, 1087819200);
    ASSERT_TRUE(ParseUtcTime("1970-01-01T00:00:00Z", t));
    EXPECT_EQ(t, 0);
    ASSERT_TRUE(ParseUtcTime("2000-02-29T23:59:59Z", t));
    EXPECT_EQ(t, 951868799);
    ASSERT_TRUE(ParseUtcTime("1087819200", t));
    EXPECT_EQ(t, 1087819200);
    ASSERT_TRUE(ParseUtcTime("-86400", t));
    EXPECT_EQ(t, -86400);
}

TEST(ParseUtcTime, RefusesWhatIsNoMoment) {
    long long t = 0;
    for (const char* bad :
         {"", "now", "2004-06-21", "2004-06-21T12:00", "2004-13-01T00:00:00Z", "2003-02-29T00:00:00Z",
          "2004-06-31T00:00:00Z", "2004-06-21T24:00:00Z", "2004-06-21T12:60:00Z", "2004-06-21T12:00:00+02",
          "12x", "1e9", "-", "99999999999999999999999"}) {
        EXPECT_FALSE(ParseUtcTime(bad, t)) << bad;
    }
}

TEST(ParseRenderOptions, ReadsEveryOption) {
    RenderOptions options;
    std::string error;
    ASSERT_TRUE(Parse({"--time", "1087819200", "--band", "0", "--night", "generated", "--output", "a.png",
                       "--library", "x.dll", "--day-image", "d.bmp", "--night-image", "n.bmp"},
                      options, error))
        << error;
    EXPECT_EQ(options.time, 1087819200);
    EXPECT_EQ(options.bandPercent, 0);
    EXPECT_EQ(options.night, NightSource::Generated);
    EXPECT_EQ(options.output, "a.png");
    EXPECT_EQ(options.library, "x.dll");
    EXPECT_EQ(options.dayImage, "d.bmp");
    EXPECT_EQ(options.nightImage, "n.bmp");
}

TEST(ParseRenderOptions, DefaultsToTheImageNightAndATenPercentBand) {
    RenderOptions options;
    std::string error;
    ASSERT_TRUE(Parse({"--time", "0", "-o", "out.bmp"}, options, error)) << error;
    EXPECT_EQ(options.bandPercent, 10);
    EXPECT_EQ(options.night, NightSource::Image);
    ASSERT_TRUE(Parse({"--out", "short.bmp", "--time", "0"}, options, error)) << error;
    EXPECT_EQ(options.output, "short.bmp");
}

TEST(ParseRenderOptions, ExplainsABadCommandLine) {
    const std::vector<std::vector<const char*>> bad = {
        {},
        {"--time", "0"},
        {"--output", "a.bmp"},
        {"--time", "0", "--output"},
        {"--time", "0", "--output", "a.bmp", "--band", "101"},
        {"--time", "0", "--output", "a.bmp", "--band", "-1"},
        {"--time", "0", "--output", "a.bmp", "--band", "10%"},
        {"--time", "0", "--output", "a.bmp", "--night", "dark"},
        {"--time", "yesterday", "--output", "a.bmp"},
        {"--time", "0", "--output", "a.bmp", "--zoom", "2"},
    };
    for (const auto& args : bad) {
        RenderOptions options;
        std::string error;
        EXPECT_FALSE(Parse(args, options, error));
        EXPECT_FALSE(error.empty());
    }
    RenderOptions options;
    std::string error;
    EXPECT_TRUE(Parse({"--help"}, options, error));
    EXPECT_TRUE(options.help);
}

}  // namespace
}  // namespace uv
