#include <gtest/gtest.h>

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "solar/CityDatabase.h"
#include "tests/resources/MapSamples.h"
#include "tools/umbravue-render/ImageFile.h"

namespace {

std::string ReadFile(const char* path) {
    std::string text;
    if (std::FILE* f = std::fopen(path, "rb")) {
        char chunk[4096];
        std::size_t n;
        while ((n = std::fread(chunk, 1, sizeof chunk, f)) > 0) text.append(chunk, n);
        std::fclose(f);
    }
    return text;
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t at = 0;
    while (at < text.size()) {
        const std::size_t end = text.find("\r\n", at);
        if (end == std::string::npos) {
            lines.push_back(text.substr(at));
            break;
        }
        lines.push_back(text.substr(at, end - at));
        at = end + 2;
    }
    return lines;
}

TEST(CityList, EveryLineFitsTheRecordFields) {
    const std::string text = ReadFile(GLOBEPIX_CITY_LIST);
    ASSERT_FALSE(text.empty());
    EXPECT_EQ(text.substr(text.size() - 2), "\r\n");
    const std::vector<std::string> lines = Lines(text);
    EXPECT_GT(lines.size(), 300u);
    std::string previous;
    for (const std::string& line : lines) {
        SCOPED_TRACE(line);
        ASSERT_EQ(line.find('\n'), std::string::npos);
        std::vector<std::string> fields;
        std::size_t at = 0, comma;
        while ((comma = line.find(',', at)) != std::string::npos) {
            fields.push_back(line.substr(at, comma - at));
            at = comma + 1;
        }
        fields.push_back(line.substr(at));
        ASSERT_EQ(fields.size(), 4u);
        EXPECT_FALSE(fields[0].empty());
        EXPECT_LE(fields[0].size(), 31u);
        EXPECT_LE(fields[1].size(), 31u);
        EXPECT_LE(fields[2].size(), 15u);
        EXPECT_LE(fields[3].size(), 15u);
        const double longitude = std::atof(fields[2].c_str()), latitude = std::atof(fields[3].c_str());
        EXPECT_GE(longitude, -180.0);
        EXPECT_LE(longitude, 180.0);
        EXPECT_GE(latitude, -90.0);
        EXPECT_LE(latitude, 90.0);
        // Sorted without regard to case, so the chooser lists it in order.
        std::string key = fields[0];
        for (char& c : key) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        EXPECT_LE(previous, key);
        previous = key;
    }
}

TEST(CityList, ParsesWithLongitudeThirdAndLatitudeFourth) {
    const std::string text = ReadFile(GLOBEPIX_CITY_LIST);
    CityDatabase db;
    db.Parse(text.data(), static_cast<unsigned>(text.size()));
    ASSERT_GT(db.GetCityCount(), 300);
    const CityRecord* tokyo = nullptr;
    const CityRecord* santiago = nullptr;
    for (int i = 0; i < db.GetCityCount(); ++i) {
        const CityRecord* city = db.GetCity(i);
        if (std::strcmp(city->name, "Tokyo") == 0) tokyo = city;
        if (std::strcmp(city->name, "Santiago") == 0) santiago = city;
    }
    ASSERT_NE(tokyo, nullptr);
    EXPECT_STREQ(tokyo->country->name, "Japan");
    EXPECT_NEAR(tokyo->longitude, 139.7, 0.2);
    EXPECT_NEAR(tokyo->latitude, 35.7, 0.2);
    ASSERT_NE(santiago, nullptr);
    EXPECT_NEAR(santiago->longitude, -70.7, 0.2);
    EXPECT_NEAR(santiago->latitude, -33.4, 0.2);
}

TEST(MapImages, AreFullSizeAndTheRightWayRound) {
    uv::PixelImage day, night;
    std::string error;
    ASSERT_TRUE(uv::ReadBmpFile(GLOBEPIX_DAY_BMP, day, error)) << error;
    ASSERT_TRUE(uv::ReadBmpFile(GLOBEPIX_NIGHT_BMP, night, error)) << error;
    EXPECT_EQ(day.width, 2048);
    EXPECT_EQ(day.height, 1024);
    EXPECT_EQ(night.width, day.width);
    EXPECT_EQ(night.height, day.height);
    // Sahara at 20E 25N against the Atlantic at 20W: not mirrored.
    EXPECT_TRUE(LooksLikeDesert(SampleMap(day.pixels, day.width, day.height, 20, 25)));
    EXPECT_TRUE(LooksLikeOcean(SampleMap(day.pixels, day.width, day.height, -20, 25)));
    // Central Australia at 25S against the Pacific at 25N: not upside down.
    EXPECT_TRUE(LooksLikeDesert(SampleMap(day.pixels, day.width, day.height, 133, -25)));
    EXPECT_TRUE(LooksLikeOcean(SampleMap(day.pixels, day.width, day.height, 133, 25)));
    // The lights of the Low Countries against the dark North Atlantic.
    EXPECT_GT(SampleMap(night.pixels, night.width, night.height, 4.5, 51.5).Brightness(),
              SampleMap(night.pixels, night.width, night.height, -30, 51.5).Brightness() + 40);
}

TEST(SunGlyph, IsASunOnWhite) {
    uv::PixelImage glyph;
    std::string error;
    ASSERT_TRUE(uv::ReadBmpFile(GLOBEPIX_GLYPH_BMP, glyph, error)) << error;
    ASSERT_GE(glyph.width, 16);
    ASSERT_GE(glyph.height, 16);
    auto at = [&](int i, int j) { return &glyph.pixels[3 * (static_cast<std::size_t>(glyph.width) * j + i)]; };
    // Corners transparent (pure white), the centre a warm colour.
    for (const auto& corner : {std::make_pair(0, 0), std::make_pair(glyph.width - 1, glyph.height - 1)}) {
        const std::uint8_t* p = at(corner.first, corner.second);
        EXPECT_EQ(p[0], 255);
        EXPECT_EQ(p[1], 255);
        EXPECT_EQ(p[2], 255);
    }
    const std::uint8_t* centre = at(glyph.width / 2, glyph.height / 2);
    EXPECT_EQ(centre[2], 255);
    EXPECT_LT(centre[0], 128);  // little blue: yellow
    int opaque = 0;
    for (int j = 0; j < glyph.height; ++j)
        for (int i = 0; i < glyph.width; ++i) opaque += !(at(i, j)[0] == 255 && at(i, j)[1] == 255 && at(i, j)[2] == 255);
    EXPECT_GT(opaque, glyph.width * glyph.height / 8);
    EXPECT_LT(opaque, glyph.width * glyph.height / 2);
}

}  // namespace
