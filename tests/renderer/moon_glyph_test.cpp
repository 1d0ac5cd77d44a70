#include "renderer/MoonGlyph.h"

#include <gtest/gtest.h>

#include <cmath>

namespace uv {
namespace {

constexpr double kPi = 3.141592653589793;
constexpr int kSize = 64;

MoonPixel At(const std::vector<MoonPixel>& g, int x, int y) {
    return g[static_cast<std::size_t>(y) * kSize + x];
}

double LitShare(const std::vector<MoonPixel>& g) {
    double disc = 0, lit = 0;
    for (const MoonPixel& p : g) {
        disc += p.disc;
        lit += p.disc * (p.lit / 255.0);
    }
    return lit / disc;
}

// Near new, first quarter and full Moon, the sun to the right or above: the
// lit share follows the fraction and lies on the sun's side. The disc's
// radius is about 23 pixels in a box of 64.
TEST(MoonGlyphPixels, LitPartFacesTheSunWithItsShare) {
    const struct {
        double fraction;
        double sunX, sunY;
        // Coverage expected 12 pixels from the centre toward and away from
        // the sun (255 lit, 0 dark).
        int towardSun, awayFromSun;
    } cases[] = {
        {0.02, 1, 0, 0, 0},         // a thin sickle only at the very limb
        {0.5, 1, 0, 255, 0},        // first quarter: the sun's half
        {0.5, 0, -1, 255, 0},       // the sun above the Moon on the map
        {0.98, -1, 0, 255, 255},    // nearly full
        {1.0, 0.3, 0.4, 255, 255},  // full, any direction
        {0.0, 1, 0, 0, 0},          // new
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.fraction);
        const std::vector<MoonPixel> g = MoonGlyphPixels(kSize, c.fraction, c.sunX, c.sunY);
        ASSERT_EQ(g.size(), static_cast<std::size_t>(kSize * kSize));
        EXPECT_NEAR(LitShare(g), c.fraction, 0.02);
        const double l = std::hypot(c.sunX, c.sunY);
        const int tx = kSize / 2 + static_cast<int>(std::lround(12 * c.sunX / l));
        const int ty = kSize / 2 + static_cast<int>(std::lround(12 * c.sunY / l));
        const int ax = kSize / 2 - static_cast<int>(std::lround(12 * c.sunX / l));
        const int ay = kSize / 2 - static_cast<int>(std::lround(12 * c.sunY / l));
        EXPECT_EQ(At(g, tx, ty).disc, 255);
        EXPECT_EQ(At(g, tx, ty).lit, c.towardSun);
        EXPECT_EQ(At(g, ax, ay).lit, c.awayFromSun);
    }
    // The corners lie outside the disc.
    const std::vector<MoonPixel> g = MoonGlyphPixels(kSize, 0.5, 1, 0);
    EXPECT_EQ(At(g, 0, 0).disc, 0);
    EXPECT_EQ(At(g, kSize - 1, kSize - 1).disc, 0);
}

// Directions on a map with north up, x right, y down.
TEST(SunDirectionOnMap, PointsAlongTheGreatCircleTowardTheSun) {
    const double deg = kPi / 180;
    const struct {
        double moonLat, moonLon, sunLat, sunLon;
        bool waxing;
        double x, y;  // signs expected (0: about zero)
    } cases[] = {
        {0, 0, 0, -90 * deg, true, -1, 0},           // sun due west: left
        {0, 0, 0, 60 * deg, false, 1, 0},            // due east: right
        {-20 * deg, 0, 23 * deg, 0, true, 0, -1},    // due north: up
        {0, 0, 0, 0, true, -1, 0},                   // together: west of a waxing Moon
        {10 * deg, 0, -10 * deg, kPi, false, 1, 0},  // antipodes: east of a waning one
    };
    for (const auto& c : cases) {
        double x = 0, y = 0;
        SunDirectionOnMap(c.moonLat, c.moonLon, c.sunLat, c.sunLon, c.waxing, x, y);
        const double l = std::hypot(x, y);
        ASSERT_GT(l, 0);
        EXPECT_NEAR(x / l, c.x, 1e-6) << c.moonLat << " " << c.sunLon;
        EXPECT_NEAR(y / l, c.y, 1e-6) << c.moonLat << " " << c.sunLon;
    }
}

}  // namespace
}  // namespace uv
