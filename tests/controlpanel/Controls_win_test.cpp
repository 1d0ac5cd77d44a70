#include "controlpanel/Controls_win.h"

#include <gtest/gtest.h>

namespace uv {
namespace {

TEST(ColorSwatch, CaptionContrastsPerChannelAt127) {
    EXPECT_EQ(CColorSwatch::TextColourFor(RGB(127, 127, 127)), RGB(0, 0, 0));
    EXPECT_EQ(CColorSwatch::TextColourFor(RGB(126, 126, 126)), RGB(255, 255, 255));
    EXPECT_EQ(CColorSwatch::TextColourFor(RGB(200, 10, 127)), RGB(0, 255, 0));
}

TEST(ColorSwatch, StartsWithButtonFaceAndTakesNewColours) {
    CColorSwatch s;
    EXPECT_EQ(s.Colour(), GetSysColor(COLOR_BTNFACE));
    HDC dc = CreateCompatibleDC(nullptr);
    HBRUSH before = s.OnCtlColor(dc);
    s.SetColour(s.Colour());
    EXPECT_EQ(s.OnCtlColor(dc), before);  // an equal colour keeps the brush
    s.SetColour(RGB(1, 2, 3));
    EXPECT_EQ(s.Colour(), RGB(1, 2, 3));
    LOGBRUSH lb = {};
    GetObjectA(s.OnCtlColor(dc), sizeof lb, &lb);
    EXPECT_EQ(lb.lbColor, RGB(1, 2, 3));
    EXPECT_EQ(GetTextColor(dc), RGB(255, 255, 255));
    DeleteDC(dc);
}

TEST(LinkStatic, EmptyTargetDoesNothing) {
    CLinkStatic link;
    EXPECT_TRUE(link.Target().empty());
    link.Open(nullptr);  // must not try to open anything
    HDC dc = CreateCompatibleDC(nullptr);
    link.OnCtlColor(dc);
    EXPECT_EQ(GetTextColor(dc), RGB(0, 0, 255));
    DeleteDC(dc);
}

}  // namespace
}  // namespace uv
