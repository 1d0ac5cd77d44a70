#include "renderer/CityMarkers_win.h"

#include <gtest/gtest.h>

#include <string>

#include "GdiCanvas_win.h"
#include "renderer/CityMarkers.h"
#include "renderer/RenderContext_win.h"
#include "solar/CityDatabase.h"

namespace uv {
namespace {

using test::Canvas;

constexpr COLORREF kMarker = RGB(255, 0, 0);
constexpr COLORREF kText = RGB(255, 255, 0);
constexpr COLORREF kHalo = RGB(0, 0, 255);

OverlayView View(int w, int h, RenderContext* context) {
    OverlayView v;
    v.targetWidth = w;
    v.targetHeight = h;
    v.context = context;
    return v;
}

class CityMarkersWin : public ::testing::Test {
protected:
    void Load(const std::string& text) {
        db.Parse(text.c_str(), static_cast<unsigned>(text.size()));
        for (int i = 0; i < db.GetCityCount(); ++i) db.SelectCityIndex(i);
    }
    CityDatabase db;
    RenderContext context;
};

TEST_F(CityMarkersWin, HollowCircleOfRadiusTwoAtTheCity) {
    Load("Here,X,0,0\n");
    Canvas c(360, 180);
    DrawCityMarkers(c.dc(), View(360, 180, &context), db, true, kMarker, false, kText, kHalo);
    EXPECT_EQ(c.At(180, 90), RGB(0, 0, 0));  // not filled
    // Rasterisers differ by a pixel on the lower half of so small a circle.
    EXPECT_EQ(c.At(182, 90), kMarker);
    EXPECT_EQ(c.At(178, 90), kMarker);
    EXPECT_EQ(c.At(180, 88), kMarker);
    EXPECT_GE(c.Count(kMarker, 178, 91, 183, 93), 2);
    // Nothing beyond the circle, no line from the pen's previous position.
    EXPECT_EQ(c.Count(kMarker), c.Count(kMarker, 177, 87, 184, 94));
    EXPECT_EQ(c.Count(kText) + c.Count(kHalo), 0);
}

TEST_F(CityMarkersWin, LabelUpAndRightOfTheMarker) {
    Load("Here,X,0,0\n");
    Canvas c(360, 180);
    DrawCityMarkers(c.dc(), View(360, 180, &context), db, true, kMarker, true, kText, kHalo);
    const int text = c.Count(kText, 183, 84, 230, 100);
    EXPECT_GT(text, 5);
    EXPECT_EQ(text, c.Count(kText));
    EXPECT_GT(c.Count(kHalo, 182, 83, 231, 101), text);
    EXPECT_EQ(c.Count(kHalo, 0, 0, 182, 180), 0);  // nothing left of the label's halo
}

// Rows of the canvas holding some pixel of colour c.
int RowsWith(const Canvas& c, COLORREF colour) {
    int rows = 0;
    for (int y = 0; y < c.height(); ++y) rows += c.Count(colour, 0, y, c.width(), y + 1) > 0;
    return rows;
}

TEST_F(CityMarkersWin, TwiceTheDpiTwiceTheMarkerAndTheLetters) {
    Load("Here,X,0,0\n");
    Canvas small(360, 180), large(360, 180);
    DrawCityMarkers(small.dc(), View(360, 180, &context), db, true, kMarker, true, kText, kHalo);
    OverlayView v = View(360, 180, &context);
    v.dpi = 192;
    DrawCityMarkers(large.dc(), v, db, true, kMarker, true, kText, kHalo);
    EXPECT_EQ(large.At(184, 90), kMarker);
    EXPECT_EQ(large.At(176, 90), kMarker);
    EXPECT_EQ(large.At(182, 90), RGB(0, 0, 0));
    EXPECT_EQ(large.Count(kMarker), large.Count(kMarker, 174, 84, 187, 97));
    const int rows96 = RowsWith(small, kText), rows192 = RowsWith(large, kText);
    EXPECT_GE(rows192 * 10, rows96 * 16) << rows96 << " " << rows192;
    EXPECT_LE(rows192 * 10, rows96 * 24) << rows96 << " " << rows192;
    // The halo is two pixels wide, left of the leftmost letter too (the
    // scaled text is smoothed, so its edges are blends).
    int x0 = 360, y0 = 0;
    for (int y = 0; y < 180; ++y)
        for (int x = 0; x < x0; ++x)
            if (large.At(x, y) == kText) x0 = x, y0 = y;
    ASSERT_LT(x0, 360);
    for (int x : {x0 - 1, x0 - 2}) {
        EXPECT_NE(large.At(x, y0), RGB(0, 0, 0)) << x;
        EXPECT_NE(large.At(x, y0), kText) << x;
    }
}

TEST_F(CityMarkersWin, OverlayOffDrawsNeitherMarkersNorLabels) {
    Load("Here,X,0,0\n");
    Canvas c(360, 180);
    DrawCityMarkers(c.dc(), View(360, 180, &context), db, false, kMarker, true, kText, kHalo);
    EXPECT_EQ(c.Count(RGB(0, 0, 0)), 360 * 180);
}

TEST_F(CityMarkersWin, EmptySelectionDrawsNothing) {
    db.Parse("A,X,0,0\n", 8);
    Canvas c(360, 180);
    DrawCityMarkers(c.dc(), View(360, 180, &context), db, true, kMarker, true, kText, kHalo);
    EXPECT_EQ(c.Count(RGB(0, 0, 0)), 360 * 180);
}

TEST_F(CityMarkersWin, BelowTheCacheNothingIsDrawn) {
    Load("Deep,X,0,-80\n");
    Canvas c(360, 180);
    OverlayView v = View(360, 180, &context);
    v.scaleY = 1.2f;
    DrawCityMarkers(c.dc(), v, db, true, kMarker, true, kText, kHalo);
    EXPECT_EQ(c.Count(RGB(0, 0, 0)), 360 * 180);
}

TEST(DrawOutlinedText, EqualColoursMakeTheTextOnePixelBolder) {
    Canvas plain(120, 30);
    Canvas outlined(120, 30);
    RenderContext context;
    ScopedSelect font(plain.dc(), context.LabelFont());
    SetBkMode(plain.dc(), TRANSPARENT);
    SetTextColor(plain.dc(), kText);
    TextOutA(plain.dc(), 10, 10, "Sample", 6);
    DrawOutlinedText(outlined.dc(), context, 10, 10, kText, kText, "Sample");
    int lit = 0;
    for (int y = 1; y < 29; ++y)
        for (int x = 1; x < 119; ++x) {
            if (plain.At(x, y) != kText) continue;
            ++lit;
            for (int dy = -1; dy <= 1; ++dy)
                for (int dx = -1; dx <= 1; ++dx) ASSERT_EQ(outlined.At(x + dx, y + dy), kText);
        }
    EXPECT_GT(lit, 10);
    EXPECT_GT(outlined.Count(kText), plain.Count(kText));
}

TEST(DrawOutlinedText, RestoresFontColourAndMode) {
    Canvas c(100, 30);
    RenderContext context;
    SetTextColor(c.dc(), RGB(1, 2, 3));
    SetBkMode(c.dc(), OPAQUE);
    const HGDIOBJ font = GetCurrentObject(c.dc(), OBJ_FONT);
    DrawOutlinedText(c.dc(), context, 2, 2, kText, kHalo, "x");
    EXPECT_EQ(GetTextColor(c.dc()), RGB(1, 2, 3));
    EXPECT_EQ(GetBkMode(c.dc()), OPAQUE);
    EXPECT_EQ(GetCurrentObject(c.dc(), OBJ_FONT), font);
    // The halo surrounds the text: its colour shows where the text does not.
    EXPECT_GT(c.Count(kHalo), 0);
    EXPECT_GT(c.Count(kText), 0);
}

}  // namespace
}  // namespace uv
