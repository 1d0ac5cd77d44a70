#include "renderer/ScreenMap.h"

#include <gtest/gtest.h>

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

TEST(ScreenMap, APictureIsCopiedAtTheScreenMapsSizeAndStretchedAtAnyOther) {
    // No distortion at 1024 x 768: the source is 1365 x 1024 from column 341.
    const MapFit fit = FitMapToWindow(2, 1.0f, 0.5, 1024, 768, 2048, 1024);
    struct Case {
        int width, height;
        int srcX, srcY, srcWidth, srcHeight;
        bool scaled;
    };
    const Case cases[] = {
        {2048, 1024, 341, 0, 1365, 1024, true},  // the images' own size: the fit as it is
        {1536, 768, 256, 0, 1024, 768, false},   // the screen map: its shown part
        {1024, 512, 171, 0, 683, 512, true},     // half the images' size
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.width);
        const MapFit f = FitComposedPicture(fit, 2048, 1024, c.width, c.height);
        EXPECT_EQ(f.srcX, c.srcX);
        EXPECT_EQ(f.srcY, c.srcY);
        EXPECT_EQ(f.srcWidth, c.srcWidth);
        EXPECT_EQ(f.srcHeight, c.srcHeight);
        EXPECT_EQ(f.scaled, c.scaled);
        EXPECT_EQ(f.dstWidth, fit.dstWidth);
        EXPECT_EQ(f.scaleX, fit.scaleX);
    }
}

}  // namespace
}  // namespace uv
