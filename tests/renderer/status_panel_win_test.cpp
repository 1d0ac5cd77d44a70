#include "renderer/StatusPanel_win.h"

#include <gtest/gtest.h>

#include <string>

#include "GdiCanvas_win.h"
#include "renderer/RenderContext_win.h"
#include "solar/CityDatabase.h"

namespace uv {
namespace {

using test::Canvas;

constexpr COLORREF kText = RGB(255, 127, 63);
constexpr COLORREF kHalo = RGB(63, 63, 63);
constexpr std::time_t kNow = 1087819200;

StatusPanelOptions Options(bool sun, bool local) {
    StatusPanelOptions o;
    o.show = true;
    o.sunLocation = sun;
    o.localTime = local;
    return o;
}

TEST(DrawStatusPanel, HeaderAloneSitsAtTheBottomLeft) {
    CityDatabase db;
    RenderContext context;
    Canvas c(1024, 300);
    DrawStatusPanel(c.dc(), context, 1024, 300, 0.0, 0.4, db, Options(true, false), kText, kHalo, kNow);
    const int all = c.Count(kText);
    EXPECT_GT(all, 50);
    EXPECT_EQ(c.Count(kText, 10, 282, 1024, 300), all);
    EXPECT_EQ(c.Count(kHalo, 0, 0, 1024, 281), 0);
}

TEST(DrawStatusPanel, ThreeCitiesIn1024PixelsStandInColumnsAt10And277And544) {
    CityDatabase db;
    const std::string text = "Alpha,X,15,10\nBravo,X,-80,20\nCharlie,X,0,30\n";
    db.Parse(text.c_str(), static_cast<unsigned>(text.size()));
    for (int i = 0; i < 3; ++i) db.SelectCityIndex(i);
    RenderContext context;
    Canvas c(1024, 300);
    DrawStatusPanel(c.dc(), context, 1024, 300, 0.0, 0.0, db, Options(false, true), kText, kHalo, kNow);
    // Header at 270, the row at 282.
    EXPECT_GT(c.Count(kText, 10, 270, 400, 281), 20);
    for (int x : {10, 277, 544}) {
        EXPECT_GT(c.Count(kText, x, 282, x + 30, 296), 5) << x;         // the name
        EXPECT_EQ(c.Count(kText, x - 12, 282, x, 296), 0) << x;         // nothing just before it
        EXPECT_GT(c.Count(kText, x + 104, 282, x + 134, 296), 5) << x;  // its local time
    }
    EXPECT_EQ(c.Count(kText, 811, 282, 1024, 300), 0);  // the fourth column stays empty
}

TEST(DrawStatusPanel, OffOrTooNarrowDrawsNothing) {
    CityDatabase db;
    RenderContext context;
    Canvas c(149, 100);
    DrawStatusPanel(c.dc(), context, 149, 100, 0.0, 0.0, db, Options(true, false), kText, kHalo, kNow);
    StatusPanelOptions off = Options(true, true);
    off.show = false;
    DrawStatusPanel(c.dc(), context, 149, 100, 0.0, 0.0, db, off, kText, kHalo, kNow);
    EXPECT_EQ(c.Count(RGB(0, 0, 0)), 149 * 100);
}

}  // namespace
}  // namespace uv
