#include "renderer/PaintCache_win.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "GdiCanvas_win.h"
#include "renderer/RenderSettings.h"
#include "renderer/Overlays.h"
#include "renderer/RenderContext_win.h"
#include "renderer/SunGlyph_win.h"
#include "solar/CityDatabase.h"

namespace uv {
namespace {

using test::Canvas;

constexpr int kW = 360;
constexpr int kH = 180;
constexpr std::time_t kNow = 1087819200;

// A display picture whose red channel is the column / 2 and green channel the
// row, so a pixel of the cache tells which source pixel it came from.
void PaintSource(Canvas& c) {
    for (int y = 0; y < c.height(); ++y)
        for (int x = 0; x < c.width(); ++x) c.Set(x, y, RGB(x / 2, y, 100));
}

int SourceColumn(COLORREF c) { return GetRValue(c) * 2; }
int SourceRow(COLORREF c) { return GetGValue(c); }

RenderSettings Mode(int mode) {
    RenderSettings s;
    s.displayMode = mode;
    s.mapHeightFraction = mode == 3 ? kNoAntarcticaFraction : 1.0f;
    return s;
}

class PaintCacheTest : public ::testing::Test {
protected:
    PaintCacheTest() : display(kW, kH) { PaintSource(display); }
    Canvas display;
    CityDatabase cities;
    RenderContext context;
};

TEST_F(PaintCacheTest, FitWidthAtMapWidthIsAnExactCopyShownByYOffset) {
    RenderSettings s = Mode(0);
    s.yOffset = 0.25;
    const MapFit fit = FitPaintCache(s, kW, 300, kW, kH);
    EXPECT_FALSE(fit.scaled);
    EXPECT_EQ(fit.windowY, 30);
    Canvas cache(fit.targetWidth, fit.targetHeight, RGB(255, 255, 255));
    BuildPaintCache(cache.dc(), fit, display.dc(), s, cities, ShownSun{}, kNow, context);
    for (int y = 0; y < kH; y += 13)
        for (int x = 0; x < kW; x += 17) ASSERT_EQ(cache.At(x, y), display.At(x, y));
}

TEST_F(PaintCacheTest, FullScreenStretchesTheWholeMap) {
    const RenderSettings s = Mode(1);
    const MapFit fit = FitPaintCache(s, 180, 180, kW, kH);
    Canvas cache(fit.targetWidth, fit.targetHeight);
    BuildPaintCache(cache.dc(), fit, display.dc(), s, cities, ShownSun{}, kNow, context);
    EXPECT_NEAR(SourceColumn(cache.At(90, 90)), 180, 6);
    EXPECT_NEAR(SourceColumn(cache.At(2, 90)), 4, 6);
    EXPECT_NEAR(SourceColumn(cache.At(177, 90)), 354, 6);
    EXPECT_NEAR(SourceRow(cache.At(90, 2)), 2, 3);
    EXPECT_NEAR(SourceRow(cache.At(90, 177)), 177, 3);
}

TEST_F(PaintCacheTest, NoDistortCropsEquallyLeftAndRight) {
    RenderSettings s = Mode(2);
    s.overlayGrid = 1;
    s.gridColor = RGB(255, 255, 255);
    const MapFit fit = FitPaintCache(s, 180, 180, kW, kH);
    EXPECT_EQ(fit.srcX, 90);
    EXPECT_EQ(fit.srcWidth, 180);
    Canvas cache(180, 180);
    BuildPaintCache(cache.dc(), fit, display.dc(), s, cities, ShownSun{}, kNow, context);
    EXPECT_NEAR(SourceColumn(cache.At(3, 50)), 93, 4);
    EXPECT_NEAR(SourceColumn(cache.At(170, 50)), 260, 4);
    // Longitude 0 (source column 180) in the middle, +-45 degrees (source
    // columns 135 and 225) at 45 and 135: grid and picture agree to the
    // pixel that rounding at half scale allows.
    EXPECT_EQ(cache.At(90, 50), RGB(255, 255, 255));
    for (int x : {45, 135}) {
        EXPECT_EQ(cache.Count(RGB(255, 255, 255), x - 1, 50, x + 2, 51), 1) << x;
    }
    EXPECT_NEAR(SourceColumn(cache.At(50, 50)), 140, 4);
}

TEST_F(PaintCacheTest, NoAntarcticaLeavesOutTheBottomSixth) {
    RenderSettings s = Mode(3);
    s.overlayGrid = 1;
    s.gridColor = RGB(255, 255, 255);
    const MapFit fit = FitPaintCache(s, 180, 150, kW, kH);
    EXPECT_EQ(fit.srcHeight, 150);
    Canvas cache(180, 150);
    BuildPaintCache(cache.dc(), fit, display.dc(), s, cities, ShownSun{}, kNow, context);
    EXPECT_NEAR(SourceRow(cache.At(65, 147)), 147, 3);
    // -60 is the bottom edge: no parallel below -45 is visible.
    EXPECT_EQ(cache.At(60, 135), RGB(255, 255, 255));  // -45 degrees
    int whiteRows = 0;
    for (int y = 0; y < 150; ++y) whiteRows += cache.At(61, y) == RGB(255, 255, 255);
    EXPECT_EQ(whiteRows, 10);  // +90 .. -45
}

TEST_F(PaintCacheTest, NoDistortInAWiderWindowLeavesBlackBandsAndReadsOnlyThePicture) {
    RenderSettings s = Mode(2);
    s.overlayMidday = 1;
    s.middayColor = RGB(0, 0, 255);
    const MapFit fit = FitPaintCache(s, 720, 180, kW, kH);
    Canvas cache(720, 180, RGB(255, 255, 255));
    BuildPaintCache(cache.dc(), fit, display.dc(), s, cities, ShownSun{}, kNow, context);
    EXPECT_EQ(cache.Count(RGB(0, 0, 0), 0, 0, 179, 180), 179 * 180);
    EXPECT_EQ(cache.Count(RGB(0, 0, 0), 541, 0, 720, 180), 179 * 180);
    EXPECT_NEAR(SourceColumn(cache.At(185, 90)), 5, 4);
    EXPECT_NEAR(SourceColumn(cache.At(530, 90)), 350, 4);
    // The sun at longitude 0 stands over the picture's centre column.
    EXPECT_EQ(cache.At(360, 10), RGB(0, 0, 255));
}

TEST_F(PaintCacheTest, LaterOverlaysLieOnTopInPaintOrder) {
    RenderSettings s = Mode(0);
    s.overlayGrid = s.overlayMidday = s.overlaySunLatitude = 1;
    s.gridColor = RGB(255, 255, 255);
    s.middayColor = RGB(255, 0, 0);
    s.sunLatitudeColor = RGB(0, 255, 0);
    s.overlayCities = 1;
    s.citiesColor = RGB(255, 0, 255);
    s.overlayStatus = 1;
    s.statusSunLocation = 1;
    const std::string text = "Null,X,0,-80\n";
    cities.Parse(text.c_str(), static_cast<unsigned>(text.size()));
    cities.SelectCityIndex(0);
    const MapFit fit = FitPaintCache(s, kW, kH, kW, kH);
    Canvas cache(kW, kH);
    BuildPaintCache(cache.dc(), fit, display.dc(), s, cities, ShownSun{}, kNow, context);
    EXPECT_EQ(cache.At(180, 30), RGB(255, 0, 0));  // midday over the 0 meridian
    EXPECT_EQ(cache.At(30, 90), RGB(0, 255, 0));   // sun's parallel over the equator
    EXPECT_EQ(cache.At(180, 90), RGB(0, 255, 0));
    EXPECT_EQ(cache.At(182, 170), RGB(255, 0, 255));  // the marker over the meridians
    // The status panel covers the bottom left last.
    EXPECT_GT(cache.Count(s.statusForeground, 0, 160, 180, 180), 20);
}

TEST_F(PaintCacheTest, RotationShowsColumnXAtXPlusShiftAndRowYAtYPlusShift) {
    struct Case {
        int x, y;
    };
    for (const Case shift :
         {Case{0, 0}, Case{1, 0}, Case{90, 0}, Case{359, 0}, Case{17, 1}, Case{200, 179}}) {
        Canvas rotated(kW, kH);
        RotatePicture(rotated.dc(), display.dc(), kW, kH, shift.x, shift.y);
        for (int x = 0; x < kW; x += 7) {
            for (int y : {0, 33, kH - 1}) {
                ASSERT_EQ(rotated.At((x + shift.x) % kW, (y + shift.y) % kH), display.At(x, y))
                    << shift.x << "," << shift.y << " at " << x << "," << y;
            }
        }
    }
    RenderSettings s = Mode(0);
    s.followSun = 1;
    ShownSun sun;
    sun.subsolarLongitude = 3.141592653589793 / 2;
    EXPECT_EQ(DisplayShift(s, sun, 360), 270);
}

TEST_F(PaintCacheTest, EveryOverlayManyTimesLeavesNoGdiObjectBehind) {
    RenderSettings s = Mode(2);
    s.overlayGrid = s.overlayDawnDusk = s.overlayMidday = s.overlayMidnight = s.overlaySunLatitude = 1;
    s.overlayCities = s.cityLabels = s.overlayStatus = s.glyphShowSun = 1;
    s.statusSunLocation = s.statusSunrise = s.statusSunset = s.statusSolarOffset = s.statusLocalTime = 1;
    const std::string text = "A,X,10,10\nB,X,-70,40\nC,X,100,-30\n";
    cities.Parse(text.c_str(), static_cast<unsigned>(text.size()));
    for (int i = 0; i < 3; ++i) cities.SelectCityIndex(i);
    UniqueModule module(LoadLibraryA("globepix.dll"));
    ShownSun sun{0.4, 0.2};
    const MapFit fit = FitPaintCache(s, 400, 300, kW, kH);
    Canvas cache(400, 300);
    const HGDIOBJ pen = GetCurrentObject(cache.dc(), OBJ_PEN);
    const HGDIOBJ font = GetCurrentObject(cache.dc(), OBJ_FONT);
    const int stretch = GetStretchBltMode(cache.dc());
    DWORD before = 0;
    {
        // The first build creates what lives as long as the render context:
        // the font and the glyph.
        RenderContext withGlyph(module.get());
        BuildPaintCache(cache.dc(), fit, display.dc(), s, cities, sun, kNow, withGlyph);
        before = test::GdiObjectCount();
        for (int i = 0; i < 40; ++i) {
            s.xOffset = i * 9;
            BuildPaintCache(cache.dc(), fit, display.dc(), s, cities, sun, kNow, withGlyph);
        }
        EXPECT_EQ(test::GdiObjectCount(), before);
        EXPECT_TRUE(withGlyph.glyphLoaded() || !module);
    }
    EXPECT_EQ(GetCurrentObject(cache.dc(), OBJ_PEN), pen);
    EXPECT_EQ(GetCurrentObject(cache.dc(), OBJ_FONT), font);
    EXPECT_EQ(GetStretchBltMode(cache.dc()), stretch);
    if (before > 0) {
        EXPECT_LT(test::GdiObjectCount(), before);  // font and glyph gone with the context
    }
}

// Where the process's GDI object count is not reported (Wine gives 0), a leak
// shows instead as an exhausted handle table: a process gets 65536 GDI
// handles, so one leaked object per rebuild leaves nothing to create after
// 70000 rebuilds. The window is tiny to keep the rounds cheap.
TEST_F(PaintCacheTest, SeventyThousandRebuildsDoNotExhaustGdiHandles) {
    RenderSettings s = Mode(1);
    s.overlayGrid = s.overlayDawnDusk = s.overlayMidday = s.overlayMidnight = s.overlaySunLatitude = 1;
    s.overlayCities = s.cityLabels = s.overlayStatus = 1;
    const std::string text = "A,X,10,10\n";
    cities.Parse(text.c_str(), static_cast<unsigned>(text.size()));
    cities.SelectCityIndex(0);
    const MapFit fit = FitPaintCache(s, 8, 4, kW, kH);
    Canvas cache(8, 4);
    for (int i = 0; i < 70000; ++i) {
        BuildPaintCache(cache.dc(), fit, display.dc(), s, cities, ShownSun{}, kNow, context);
    }
    UniquePen probe(CreatePen(PS_SOLID, 1, RGB(1, 2, 3)));
    EXPECT_TRUE(static_cast<bool>(probe));
    UniqueMemoryDc dc(CreateCompatibleDC(nullptr));
    EXPECT_TRUE(static_cast<bool>(dc));
}

TEST_F(PaintCacheTest, EmptyFitDrawsNothing) {
    const RenderSettings s = Mode(0);
    Canvas cache(10, 10, RGB(1, 2, 3));
    BuildPaintCache(cache.dc(), FitPaintCache(s, 0, 0, kW, kH), display.dc(), s, cities, ShownSun{}, kNow,
                    context);
    BuildPaintCache(nullptr, FitPaintCache(s, 10, 10, kW, kH), display.dc(), s, cities, ShownSun{}, kNow,
                    context);
    EXPECT_EQ(cache.Count(RGB(1, 2, 3)), 100);
}

}  // namespace
}  // namespace uv
