#include <gtest/gtest.h>

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "solar/CityDatabase.h"
#include "solar/CityZones.h"
#include "solar/Formatting.h"
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

std::vector<std::string> Split(const std::string& line, char separator) {
    std::vector<std::string> fields;
    std::size_t at = 0, next;
    while ((next = line.find(separator, at)) != std::string::npos) {
        fields.push_back(line.substr(at, next - at));
        at = next + 1;
    }
    fields.push_back(line.substr(at));
    return fields;
}

// The tab-separated tables beside the list, without their # comments.
std::vector<std::vector<std::string>> ReadTable(const char* path) {
    std::vector<std::vector<std::string>> rows;
    const std::string text = ReadFile(path);
    std::size_t at = 0;
    while (at < text.size()) {
        std::size_t end = text.find('\n', at);
        if (end == std::string::npos) end = text.size();
        const std::string line = text.substr(at, end - at);
        if (!line.empty() && line[0] != '#') rows.push_back(Split(line, '\t'));
        at = end + 1;
    }
    return rows;
}

// The first release's list: its cities are sorted, later ones appended.
const std::size_t kFirstRelease = 1162;

TEST(CityList, EveryLineFitsTheRecordFields) {
    const std::string text = ReadFile(GLOBEPIX_CITY_LIST);
    ASSERT_FALSE(text.empty());
    EXPECT_EQ(text.substr(text.size() - 2), "\r\n");
    const std::vector<std::string> lines = Lines(text);
    ASSERT_GE(lines.size(), kFirstRelease);
    std::string previous;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::string& line = lines[i];
        SCOPED_TRACE(line);
        ASSERT_EQ(line.find('\n'), std::string::npos);
        for (unsigned char c : line) {
            // Control characters and the five bytes code page 1252 leaves undefined.
            EXPECT_TRUE(c >= 0x20 && c != 0x7F && c != 0x81 && c != 0x8D && c != 0x8F && c != 0x90 &&
                        c != 0x9D)
                << static_cast<int>(c);
        }
        const std::vector<std::string> fields = Split(line, ',');
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
        if (i < kFirstRelease) {
            const std::string key = fields[0] + '\0' + fields[1];
            EXPECT_LT(previous, key);  // byte-wise, and no city twice
            previous = key;
        }
    }
}

// Indices are stored in the registry: a released city never moves or goes.
TEST(CityList, ReleasedCitiesKeepTheirIndex) {
    const auto frozen = ReadTable(GLOBEPIX_FROZEN_LIST);
    const std::vector<std::string> lines = Lines(ReadFile(GLOBEPIX_CITY_LIST));
    ASSERT_GE(frozen.size(), kFirstRelease);
    ASSERT_GE(lines.size(), frozen.size());
    for (std::size_t i = 0; i < frozen.size(); ++i) {
        ASSERT_EQ(frozen[i].size(), 4u) << i;
        ASSERT_EQ(frozen[i][0], std::to_string(i));
        const std::vector<std::string> fields = Split(lines[i], ',');
        ASSERT_EQ(fields[0] + "," + fields[1], frozen[i][2] + "," + frozen[i][3]) << "index " << i;
    }
}

TEST(CityList, EveryUnMemberCapitalIsListed) {
    const auto capitals = ReadTable(GLOBEPIX_UN_CAPITALS);
    std::set<std::string> listed, members;
    for (const std::string& line : Lines(ReadFile(GLOBEPIX_CITY_LIST))) {
        const std::vector<std::string> fields = Split(line, ',');
        listed.insert(fields[0] + "," + fields[1]);
    }
    for (const auto& row : capitals) {
        ASSERT_EQ(row.size(), 3u);
        members.insert(row[0]);
        EXPECT_EQ(listed.count(row[1] + "," + row[2]), 1u) << row[0] << " " << row[1];
    }
    EXPECT_EQ(members.size(), 193u);
    EXPECT_EQ(capitals.size(), 193u);
}

// Name, country and place as the GeoNames data gives them, with the names
// the list had to change (comma, length, letters outside code page 1252).
TEST(CityList, AgreesWithTheDataSet) {
    struct Spot {
        const char* name;
        const char* country;
        double latitude, longitude;
    };
    static const Spot spots[] = {
        {"Beijing", "China", 39.9075, 116.39723},
        {"New Delhi", "India", 28.63576, 77.22445},
        {"Washington D.C.", "United States", 38.89511, -77.03637},
        {"Palikir", "Micronesia", 6.92477, 158.16109},
        {"L\xF3"
         "dz",
         "Poland", 51.77058, 19.47395},
        {"Wroclaw", "Poland", 51.1, 17.03333},
        {"Izmir", "Turkey", 38.41273, 27.13838},
        {"S\xE3o Paulo", "Brazil", -23.5475, -46.63611},
        {"Reykjav\xEDk", "Iceland", 64.13548, -21.89541},
        {"Z\xFCrich", "Switzerland", 47.36667, 8.55},
        {"Hag\xE5t\xF1"
         "a",
         "Guam", 13.47567, 144.74886},
        {"Port-aux-Fran\xE7"
         "ais",
         "French S. Terr.", -49.34916, 70.21937},
        {"Tokyo", "Japan", 35.6895, 139.69171},
        {"Santiago", "Chile", -33.45694, -70.64827},
        {"Honolulu", "United States", 21.30694, -157.85833},
        {"Apia", "Samoa (western)", -13.83333, -171.76666},
        {"Auckland", "New Zealand", -36.84853, 174.76349},
        {"Jerusalem", "Israel", 31.76904, 35.21633},
        {"Pristina", "Kosovo", 42.67272, 21.16688},
        // Two places of this name; the other one's population is wrong.
        {"Gorakhpur", "India", 26.76628, 83.36889},
    };
    const std::string text = ReadFile(GLOBEPIX_CITY_LIST);
    CityDatabase db;
    db.Parse(text.data(), static_cast<unsigned>(text.size()));
    for (const Spot& spot : spots) {
        SCOPED_TRACE(spot.name);
        const CityRecord* found = nullptr;
        int count = 0;
        for (int i = 0; i < db.GetCityCount(); ++i) {
            const CityRecord* city = db.GetCity(i);
            if (std::strcmp(city->name, spot.name) == 0 &&
                std::strcmp(city->country->name, spot.country) == 0) {
                found = city;
                ++count;
            }
        }
        ASSERT_EQ(count, 1);
        EXPECT_NEAR(found->latitude, spot.latitude, 0.01);
        EXPECT_NEAR(found->longitude, spot.longitude, 0.01);
    }
}

// Every city has a real zone whose rule parses, and the real clocks differ
// from the nominal zones of the longitudes as Python's zoneinfo says for the
// full tz database 2026f: on 2027-01-15 for 490 cities, on 2027-07-15 for
// 539 (make the figures again when the data is made again).
TEST(CityZones, EveryCityHasARealZone) {
    const std::string cities = ReadFile(GLOBEPIX_CITY_LIST);
    const std::string text = ReadFile(GLOBEPIX_CITY_ZONES);
    CityDatabase db;
    db.Parse(cities.data(), static_cast<unsigned>(cities.size()));
    CityZones zones;
    zones.Parse(text.data(), text.size(), db.GetCityCount());
    EXPECT_STREQ(zones.Version(), "2026f");
    ASSERT_EQ(zones.Count(), static_cast<std::size_t>(db.GetCityCount()));
    const long long days[] = {1800014400LL, 1815998400LL};
    const int differing[] = {490, 539};
    for (int d = 0; d < 2; ++d) {
        int count = 0;
        for (int i = 0; i < db.GetCityCount(); ++i) {
            const CityRecord* c = db.GetCity(i);
            const ZoneReading r = zones.ReadingAt(i, days[d], c->latitude, c->longitude);
            ASSERT_NE(r.zone, nullptr) << i;
            count += r.offset != LongitudeZoneOffset(c->latitude, c->longitude);
        }
        EXPECT_EQ(count, differing[d]) << days[d];
    }
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
    auto at = [&](int i, int j) {
        return &glyph.pixels[3 * (static_cast<std::size_t>(glyph.width) * j + i)];
    };
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
        for (int i = 0; i < glyph.width; ++i)
            opaque += !(at(i, j)[0] == 255 && at(i, j)[1] == 255 && at(i, j)[2] == 255);
    EXPECT_GT(opaque, glyph.width * glyph.height / 8);
    EXPECT_LT(opaque, glyph.width * glyph.height / 2);
}

}  // namespace
