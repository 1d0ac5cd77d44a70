#include "renderer/Overlays_win.h"

#include <gtest/gtest.h>

#include "GdiCanvas_win.h"
#include "renderer/Overlays.h"

namespace uv {
namespace {

using test::Canvas;

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kGreen = RGB(0, 255, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);

OverlayView View(int w, int h) {
    OverlayView v;
    v.targetWidth = w;
    v.targetHeight = h;
    return v;
}

// The DC's selections and modes as a routine found them.
struct DcState {
    explicit DcState(HDC dc)
        : pen(GetCurrentObject(dc, OBJ_PEN)),
          font(GetCurrentObject(dc, OBJ_FONT)),
          text(GetTextColor(dc)),
          mode(GetBkMode(dc)) {}
    bool operator==(const DcState& o) const {
        return pen == o.pen && font == o.font && text == o.text && mode == o.mode;
    }
    HGDIOBJ pen;
    HGDIOBJ font;
    COLORREF text;
    int mode;
};

TEST(DrawGrid, LinesAtTheCentreAndTheEdgeEvery15Degrees) {
    Canvas c(360, 180);
    DrawGrid(c.dc(), View(360, 180), 15.0f, 15.0f, true, kWhite);
    for (int y = 3; y < 180; y += 7) {
        EXPECT_EQ(c.At(180, y), kWhite) << y;  // longitude 0
        EXPECT_EQ(c.At(0, y), kWhite) << y;    // longitude +-180
        EXPECT_EQ(c.At(195, y), kWhite) << y;
    }
    for (int x = 1; x < 360; x += 7) {
        EXPECT_EQ(c.At(x, 90), kWhite) << x;
        EXPECT_EQ(c.At(x, 75), kWhite) << x;
        EXPECT_EQ(c.At(x, 0), kWhite) << x;
    }
    // Between the lines nothing is drawn.
    EXPECT_EQ(c.Count(kWhite, 181, 91, 195, 105), 0);
}

TEST(DrawGrid, OffDrawsNothing) {
    Canvas c(360, 180);
    DrawGrid(c.dc(), View(360, 180), 15.0f, 15.0f, false, kWhite);
    EXPECT_EQ(c.Count(kWhite), 0);
}

TEST(DrawDawnDuskLine, EquinoxLineRunsAlongTwoMeridians) {
    Canvas c(360, 180);
    DrawDawnDuskLine(c.dc(), View(360, 180), true, kRed);
    for (int y = 20; y < 160; ++y) {
        const int left = c.Count(kRed, 88, y, 93, y + 1);
        const int right = c.Count(kRed, 268, y, 273, y + 1);
        EXPECT_GE(left, 1) << y;
        EXPECT_GE(right, 1) << y;
        EXPECT_EQ(c.Count(kRed, 0, y, 360, y + 1), left + right) << y;
    }
}

TEST(DrawDawnDuskLine, WrapsAtTheMapEdgesWithoutCrossingTheMap) {
    for (float xOffset : {0.0f, 45.0f, 100.0f, 200.0f, 300.0f}) {
        Canvas c(360, 180);
        OverlayView v = View(360, 180);
        v.declination = 0.4;
        v.subsolarLongitude = 0.3;
        v.xOffset = xOffset;
        DrawDawnDuskLine(c.dc(), v, true, kRed);
        // A line joined the wrong way round would paint a whole row.
        for (int y = 0; y < 180; ++y) EXPECT_LT(c.Count(kRed, 0, y, 360, y + 1), 200) << xOffset << " " << y;
        // Every column is crossed by the curve: it is one closed band. (The
        // edge run towards the left edge ends short of column 0.)
        for (int x = 1; x < 360; ++x) EXPECT_GE(c.Count(kRed, x, 0, x + 1, 180), 1) << xOffset << " " << x;
    }
}

// One pixel a degree. At the equinox the three lines cross the equator 96,
// 102 and 108 degrees from the subsolar meridian; at the June solstice they
// cross the midnight meridian where the sun's lower culmination is 6, 12 and
// 18 degrees down, at latitudes 90 - depth - 23.44.
TEST(DrawTwilightLines, EachDepthInItsColourAtEquinoxAndSolstice) {
    const struct {
        int depth;
        COLORREF color;
    } lines[] = {{6, kRed}, {12, kGreen}, {18, kBlue}};
    Canvas equinox(360, 180);
    DrawTwilightLines(equinox.dc(), View(360, 180), true, true, true, kRed, kGreen, kBlue);
    for (const auto& l : lines) {
        EXPECT_GE(equinox.Count(l.color, 180 - 90 - l.depth - 1, 88, 180 - 90 - l.depth + 2, 92), 1)
            << l.depth;
        EXPECT_GE(equinox.Count(l.color, 180 + 90 + l.depth - 1, 88, 180 + 90 + l.depth + 2, 92), 1)
            << l.depth;
        // Nothing of it on the day side.
        EXPECT_EQ(equinox.Count(l.color, 95, 0, 265, 180), 0) << l.depth;
    }

    Canvas solstice(360, 180);
    OverlayView v = View(360, 180);
    v.declination = 0.4091;            // 23.44 degrees
    v.subsolarLongitude = 3.14159265;  // midnight on the centre column
    DrawTwilightLines(solstice.dc(), v, true, true, true, kRed, kGreen, kBlue);
    for (const auto& l : lines) {
        const int y = 90 - (90 - l.depth - 23);
        EXPECT_GE(solstice.Count(l.color, 179, y - 2, 182, y + 2), 1) << l.depth;
        // The midnight sun lies north of it: no line of this depth there.
        EXPECT_EQ(solstice.Count(l.color, 170, 0, 190, y - 3), 0) << l.depth;
    }
    // Only the switched lines.
    Canvas one(360, 180);
    DrawTwilightLines(one.dc(), View(360, 180), false, true, false, kRed, kGreen, kBlue);
    EXPECT_EQ(one.Count(kRed) + one.Count(kBlue), 0);
    EXPECT_GT(one.Count(kGreen), 100);
}

TEST(DrawSunLines, EachLineInItsColourMeetingAtTheSubsolarPoint) {
    Canvas c(360, 180);
    OverlayView v = View(360, 180);
    v.subsolarLongitude = 0.5;  // 28.6 degrees east
    v.declination = 0.3;        // 17.2 degrees north
    DrawSunLines(c.dc(), v, true, true, true, kRed, kGreen, kBlue);
    const LineSegment noon = MiddayLine(v);
    const LineSegment night = MidnightLine(v);
    const LineSegment lat = SunLatitudeLine(v);
    EXPECT_EQ(c.At(noon.from.x, 10), kRed);
    EXPECT_EQ(c.At(noon.from.x, 170), kRed);
    EXPECT_EQ(c.At(night.from.x, 10), kGreen);
    EXPECT_EQ(c.At(10, lat.from.y), kBlue);
    // The parallel is drawn last, so it lies over the meridians.
    EXPECT_EQ(c.At(noon.from.x, lat.from.y), kBlue);
    EXPECT_EQ(noon.from.x, 180 + 29);
    EXPECT_EQ(lat.from.y, 90 - 17);
}

TEST(DrawSunLines, OnlyTheSwitchedLines) {
    Canvas c(360, 180);
    OverlayView v = View(360, 180);
    DrawSunLines(c.dc(), v, false, true, false, kRed, kGreen, kBlue);
    EXPECT_EQ(c.Count(kRed), 0);
    EXPECT_EQ(c.Count(kBlue), 0);
    EXPECT_EQ(c.Count(kGreen), 180);
}

TEST(OverlayLines, EveryRoutinePutsBackWhatItFoundAndFreesItsPens) {
    Canvas c(360, 180);
    OverlayView v = View(360, 180);
    v.declination = -0.2;
    const DcState before(c.dc());
    const DWORD objects = test::GdiObjectCount();
    for (int i = 0; i < 50; ++i) {
        DrawGrid(c.dc(), v, 15.0f, 15.0f, true, kWhite);
        DrawDawnDuskLine(c.dc(), v, true, kRed);
        DrawTwilightLines(c.dc(), v, true, true, true, kRed, kGreen, kBlue);
        DrawSunLines(c.dc(), v, true, true, true, kRed, kGreen, kBlue);
        DrawSunLines(c.dc(), v, false, false, false, kRed, kGreen, kBlue);
    }
    EXPECT_TRUE(DcState(c.dc()) == before);
    EXPECT_EQ(test::GdiObjectCount(), objects);
}

}  // namespace
}  // namespace uv
