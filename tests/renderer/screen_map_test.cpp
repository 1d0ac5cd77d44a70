#include "renderer/ScreenMap.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace uv {
namespace {

TEST(ScreenMap, IsTheWholeMapAtTheScaleTheWindowShowsIt) {
    struct Case {
        const char* what;
        int displayMode;
        float fraction;
        int cx, cy;
        int width, height, shownX, shownY;
        int dstX, dstWidth;
    };
    const Case cases[] = {
        {"fit width", 0, 1.0f, 1920, 1080, 1920, 960, 0, 0, 0, 1920},
        {"fit width, a width no multiple of 4", 0, 1.0f, 1366, 768, 1366, 683, 0, 0, 0, 1366},
        {"full screen stretches", 1, 1.0f, 1920, 1080, 1920, 1080, 0, 0, 0, 1920},
        {"the images' own size", 0, 1.0f, 2048, 1200, 2048, 1024, 0, 0, 0, 2048},
        // k = 0.75: the source is 1365 x 1024 from column 341.
        {"no distortion crops left and right", 2, 1.0f, 1024, 768, 1536, 768, 256, 0, 0, 1024},
        // The top five sixths (853 rows) fill the height; the far south is below.
        {"no Antarctica", 3, 0.8333333f, 1024, 768, 1844, 922, 410, 0, 0, 1024},
        // Wider than the map's aspect: the whole map, centred.
        {"a window wider than the map", 2, 1.0f, 2560, 768, 1536, 768, 0, 0, 512, 1536},
    };
    for (const Case& c : cases) {
        const MapFit fit = FitMapToWindow(c.displayMode, c.fraction, 0.5, c.cx, c.cy, 2048, 1024);
        const ScreenMap m = ScaleMapToFit(fit, 2048, 1024);
        EXPECT_EQ(m.width, c.width) << c.what;
        EXPECT_EQ(m.height, c.height) << c.what;
        EXPECT_EQ(m.shownX, c.shownX) << c.what;
        EXPECT_EQ(m.shownY, c.shownY) << c.what;
        EXPECT_EQ(fit.dstX, c.dstX) << c.what;
        EXPECT_EQ(fit.dstWidth, c.dstWidth) << c.what;
        // The shown part lies inside the screen map.
        EXPECT_LE(m.shownX + fit.dstWidth, m.width) << c.what;
        EXPECT_LE(m.shownY + fit.dstHeight, m.height) << c.what;
    }
    EXPECT_TRUE(ScaleMapToFit(MapFit{}, 2048, 1024).empty());
}

// Pixels that name their column and row.
std::uint8_t Column(const std::uint8_t* p) { return p[0]; }
std::uint8_t Row(const std::uint8_t* p) { return p[1]; }

TEST(ScreenMap, CopiesTheShownPartRotatedIntoTheBitmapsRows) {
    // A 10 x 6 screen map of which 4 x 3 are shown from column 7, row 2 (from
    // the top), into a 6 x 5 bitmap at (1, 1), the map rotated by 4 columns.
    ScreenMap m;
    m.width = 10;
    m.height = 6;
    m.shownX = 7;
    m.shownY = 2;
    MapFit fit;
    fit.targetWidth = 6;
    fit.targetHeight = 5;
    fit.dstX = 1;
    fit.dstY = 1;
    fit.dstWidth = 4;
    fit.dstHeight = 3;
    std::vector<std::uint8_t> composite(3 * 10 * 6);
    for (int j = 0; j < 6; ++j) {
        for (int i = 0; i < 10; ++i) {
            composite[3 * (10 * j + i)] = static_cast<std::uint8_t>(i);
            composite[3 * (10 * j + i) + 1] = static_cast<std::uint8_t>(j);
            composite[3 * (10 * j + i) + 2] = 0x77;
        }
    }
    const int stride = 20;  // 18 bytes padded to 4
    std::vector<std::uint8_t> bits(stride * 5, 0xee);
    CopyShownPart(composite.data(), m, 4, fit, bits.data(), stride);
    for (int y = 0; y < 5; ++y) {
        for (int x = 0; x < 6; ++x) {
            const std::uint8_t* p = &bits[stride * (4 - y) + 3 * x];  // y from the top
            const bool inside = x >= 1 && x < 5 && y >= 1 && y < 4;
            if (!inside) {
                EXPECT_EQ(p[0], 0xee) << x << "," << y;
                continue;
            }
            // Screen column 7 + (x - 1) shows composite column (that - 4) mod 10:
            // 3, 4, 5, 6; screen row 2 + (y - 1) from the top is row 3 - (y - 1).
            EXPECT_EQ(Column(p), 3 + (x - 1)) << x << "," << y;
            EXPECT_EQ(Row(p), 3 - (y - 1)) << x << "," << y;
        }
    }
    // With no rotation the part wraps past the right edge: columns 7, 8, 9, 0.
    CopyShownPart(composite.data(), m, 0, fit, bits.data(), stride);
    EXPECT_EQ(Column(&bits[stride * 3 + 3 * 1]), 7);
    EXPECT_EQ(Column(&bits[stride * 3 + 3 * 4]), 0);
    EXPECT_EQ(bits[stride * 3 + 3 * 5], 0xee);
}

}  // namespace
}  // namespace uv
