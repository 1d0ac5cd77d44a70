#include "renderer/MoonGlyph_win.h"

#include <gtest/gtest.h>

#include "GdiCanvas_win.h"
#include "solar/Moon.h"

namespace uv {
namespace {

using test::Canvas;

constexpr std::time_t kFullMoon = 1772538000;  // 2026-03-03 11:40 UTC
constexpr std::time_t kNewMoon = 1773883380;   // 2026-03-19 01:23 UTC
constexpr double kDegrees = 57.29577951308232;

struct Box {
    int bright = 0, dark = 0;  // lit and unlit disc pixels
    int x0 = 100000, y0 = 100000, x1 = -1, y1 = -1;
};

// What of the glyph is on a black canvas.
Box Look(const Canvas& c) {
    Box b;
    for (int y = 0; y < c.height(); ++y)
        for (int x = 0; x < c.width(); ++x) {
            const COLORREF p = c.At(x, y);
            if (p == RGB(0, 0, 0)) continue;
            if (GetRValue(p) > 200) ++b.bright;
            if (p == RGB(58, 60, 72)) ++b.dark;
            b.x0 = b.x0 < x ? b.x0 : x;
            b.y0 = b.y0 < y ? b.y0 : y;
            b.x1 = b.x1 > x ? b.x1 : x;
            b.y1 = b.y1 > y ? b.y1 : y;
        }
    return b;
}

OverlayView View(unsigned dpi = 96) {
    OverlayView v;
    v.targetWidth = 720;
    v.targetHeight = 360;
    v.dpi = dpi;
    v.xOffset = 180;  // the full Moon of the tests near the centre
    return v;
}

TEST(DrawMoonGlyph, CentredOnTheSublunarPointLitByItsPhase) {
    for (std::time_t t : {kFullMoon, kNewMoon}) {
        Canvas c(720, 360);
        DrawMoonGlyph(c.dc(), View(), true, t);
        double lat = 0, lon = 0;
        SublunarPoint(static_cast<double>(t), lat, lon);
        const PixelPoint at =
            View().Project(static_cast<float>(lat * kDegrees), static_cast<float>(lon * kDegrees));
        const Box b = Look(c);
        EXPECT_NEAR((b.x0 + b.x1) / 2.0, at.x, 1.0) << t;
        EXPECT_NEAR((b.y0 + b.y1) / 2.0, at.y, 1.0) << t;
        // A disc about 23 pixels across, in a box of the sun glyph's 32.
        EXPECT_NEAR(b.x1 - b.x0 + 1, 23, 2) << t;
        if (t == kFullMoon) {
            EXPECT_GT(b.bright, 350);
            EXPECT_EQ(b.dark, 0);
        } else {
            EXPECT_EQ(b.bright, 0);
            EXPECT_GT(b.dark, 300);
        }
    }
}

TEST(DrawMoonGlyph, TwiceTheDpiTwiceTheSizeAndCutAtTheEdge) {
    Canvas big(720, 360);
    DrawMoonGlyph(big.dc(), View(192), true, kFullMoon);
    const Box b = Look(big);
    EXPECT_NEAR(b.x1 - b.x0 + 1, 46, 3);

    // Turned so that the Moon stands on the left edge: half a disc, the
    // other half not repeated on the right.
    double lat = 0, lon = 0;
    SublunarPoint(static_cast<double>(kFullMoon), lat, lon);
    OverlayView edge = View();
    edge.xOffset = static_cast<float>(static_cast<int>(540 - lon * kDegrees) % 360);
    Canvas cut(720, 360);
    DrawMoonGlyph(cut.dc(), edge, true, kFullMoon);
    const Box e = Look(cut);
    EXPECT_GT(e.bright, 100);
    EXPECT_LT(e.bright, 300);
    EXPECT_TRUE(e.x0 == 0 || e.x1 == 719);
    EXPECT_LT(e.x1 - e.x0, 30);
}

}  // namespace
}  // namespace uv
