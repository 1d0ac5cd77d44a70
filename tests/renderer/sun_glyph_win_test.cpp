#include "renderer/SunGlyph_win.h"

#include <gtest/gtest.h>

#include "GdiCanvas_win.h"
#include "renderer/RenderContext_win.h"
#include "renderer/SunGlyph.h"

namespace uv {
namespace {

using test::Canvas;

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kGreen = RGB(0, 160, 0);
constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);
constexpr double kPi = 3.141592653589793;

// A 9 x 7 glyph: white with a red centre pixel and a blue top-left corner.
HBITMAP MakeTestGlyphBitmap(bool allWhite) {
    Canvas source(9, 7, kWhite);
    if (!allWhite) {
        source.Set(4, 3, kRed);
        source.Set(0, 0, kBlue);
    }
    HDC screen = GetDC(nullptr);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, 9, 7);
    ReleaseDC(nullptr, screen);
    UniqueMemoryDc dc(CreateCompatibleDC(nullptr));
    ScopedSelect select(dc.get(), bitmap);
    BitBlt(dc.get(), 0, 0, 9, 7, source.dc(), 0, 0, SRCCOPY);
    return bitmap;
}

OverlayView View(int w, int h, double lonDegrees, double latDegrees) {
    OverlayView v;
    v.targetWidth = w;
    v.targetHeight = h;
    v.subsolarLongitude = lonDegrees * kPi / 180.0;
    v.declination = latDegrees * kPi / 180.0;
    return v;
}

TEST(SunGlyph, CentredOnTheSubsolarPointWithWhiteTransparent) {
    Canvas c(360, 180, kGreen);
    SunGlyph g = MakeSunGlyph(c.dc(), MakeTestGlyphBitmap(false));
    ASSERT_TRUE(g.loaded());
    EXPECT_EQ(g.width(), 9);
    EXPECT_EQ(g.height(), 7);
    const OverlayView v = View(360, 180, 30.0, 20.0);
    DrawGlyph(c.dc(), v, g);
    const PixelPoint sun = v.Project(20.0f, 30.0f);
    EXPECT_EQ(sun.x, 210);
    EXPECT_EQ(sun.y, 70);
    EXPECT_EQ(c.At(sun.x, sun.y), kRed);
    EXPECT_EQ(c.At(sun.x - 4, sun.y - 3), kBlue);
    EXPECT_EQ(c.Count(kRed), 1);
    EXPECT_EQ(c.Count(kBlue), 1);
    EXPECT_EQ(c.Count(kGreen), 360 * 180 - 2);
}

TEST(SunGlyph, FollowingTheSunPutsItInTheCentre) {
    Canvas c(360, 180, kGreen);
    SunGlyph g = MakeSunGlyph(c.dc(), MakeTestGlyphBitmap(false));
    OverlayView v = View(360, 180, -100.0, -10.0);
    v.followSun = true;
    DrawGlyph(c.dc(), v, g);
    // Both roundings cut toward zero, so a western sun may sit one column left.
    EXPECT_EQ(c.Count(kRed, 179, 100, 181, 101), 1);
}

TEST(SunGlyph, AllWhiteGlyphLeavesThePictureAlone) {
    Canvas c(360, 180, kGreen);
    SunGlyph g = MakeSunGlyph(c.dc(), MakeTestGlyphBitmap(true));
    DrawGlyph(c.dc(), View(360, 180, 0, 0), g);
    EXPECT_EQ(c.Count(kGreen), 360 * 180);
}

TEST(SunGlyph, CutAtTheEdgeNotRepeatedOnTheOtherSide) {
    Canvas c(360, 180, kGreen);
    SunGlyph g = MakeSunGlyph(c.dc(), MakeTestGlyphBitmap(false));
    DrawGlyph(c.dc(), View(360, 180, -179.0, 0), g);  // centre at column 1
    EXPECT_EQ(c.At(1, 90), kRed);
    EXPECT_EQ(c.Count(kBlue), 0);  // its corner lies left of the map
    EXPECT_EQ(c.Count(kGreen, 300, 0, 360, 180), 60 * 180);
}

TEST(SunGlyph, KeepsItsPixelSizeWhenTheMapIsScaled) {
    Canvas c(360, 180, kGreen);
    SunGlyph g = MakeSunGlyph(c.dc(), MakeTestGlyphBitmap(false));
    OverlayView v = View(360, 180, 10.0, 0.0);
    v.scaleX = 2.0f;
    DrawGlyph(c.dc(), v, g);
    const PixelPoint sun = v.Project(0.0f, 10.0f);
    EXPECT_EQ(c.At(sun.x, sun.y), kRed);
    EXPECT_EQ(c.At(sun.x - 4, sun.y - 3), kBlue);
}

TEST(SunGlyph, EnlargedForTwiceTheDpiPixelByPixel) {
    Canvas c(360, 180, kGreen);
    SunGlyph small = MakeSunGlyph(c.dc(), MakeTestGlyphBitmap(false));
    SunGlyph g = ScaleSunGlyph(c.dc(), small, 192);
    ASSERT_TRUE(g.loaded());
    EXPECT_EQ(g.width(), 18);
    EXPECT_EQ(g.height(), 14);
    const OverlayView v = View(360, 180, 30.0, 20.0);
    DrawGlyph(c.dc(), v, g);
    // The white stays transparent: no blended near-white edge shows.
    EXPECT_EQ(c.Count(kRed, 209, 69, 211, 71), 4);
    EXPECT_EQ(c.Count(kBlue, 201, 63, 203, 65), 4);
    EXPECT_EQ(c.Count(kGreen), 360 * 180 - 8);
}

TEST(SunGlyph, MovedAndReplacedGlyphsFreeEverything) {
    Canvas c(10, 10);
    const DWORD before = test::GdiObjectCount();
    for (int i = 0; i < 20; ++i) {
        SunGlyph g = MakeSunGlyph(c.dc(), MakeTestGlyphBitmap(false));
        SunGlyph moved = std::move(g);
        EXPECT_FALSE(g.loaded());
        EXPECT_EQ(g.width(), 0);
        moved = MakeSunGlyph(c.dc(), MakeTestGlyphBitmap(true));
        EXPECT_TRUE(moved.loaded());
        // The glyph is still selected into its DC after the moves.
        EXPECT_EQ(GetCurrentObject(moved.image.dc.get(), OBJ_BITMAP), moved.image.bitmap.get());
    }
    EXPECT_EQ(test::GdiObjectCount(), before);
}

TEST(SunGlyph, MissingModuleOrResourceLeavesTheSlotEmpty) {
    Canvas c(10, 10);
    EXPECT_FALSE(LoadSunGlyph(c.dc(), nullptr, kSunGlyphResource).loaded());
    EXPECT_FALSE(LoadSunGlyph(c.dc(), GetModuleHandleA(nullptr), kSunGlyphResource).loaded());
    EXPECT_FALSE(MakeSunGlyph(c.dc(), nullptr).loaded());
}

TEST(SunGlyph, DrawnFromTheRenderContextsLibraryOnFirstUse) {
    UniqueModule module(LoadLibraryA("globepix.dll"));
    if (!module) GTEST_SKIP() << "globepix.dll not beside the test";
    RenderContext context(module.get());
    Canvas c(360, 180, kGreen);
    OverlayView v = View(360, 180, 0, 0);
    v.context = &context;
    DrawSunGlyph(c.dc(), v, false);
    EXPECT_FALSE(context.glyphLoaded());  // off: not even loaded
    DrawSunGlyph(c.dc(), v, true);
    EXPECT_TRUE(context.glyphLoaded());
    EXPECT_LT(c.Count(kGreen), 360 * 180);
    EXPECT_GT(c.Count(kGreen, 0, 0, 100, 180), 99 * 180);  // nothing far away
    // Without a context nothing is drawn.
    Canvas bare(360, 180, kGreen);
    DrawSunGlyph(bare.dc(), View(360, 180, 0, 0), true);
    EXPECT_EQ(bare.Count(kGreen), 360 * 180);
}

}  // namespace
}  // namespace uv
