#include "controlpanel/PageText.h"

#include <gtest/gtest.h>

namespace uv {
namespace {

TEST(PageText, SliderLabels) {
    EXPECT_EQ(DegreesLabel(345), "345\xB0 ");
    EXPECT_EQ(PercentLabel(53), "53% ");
    EXPECT_EQ(MinutesLabel(6), "3.0m ");
    EXPECT_EQ(MinutesLabel(21), "10.5m ");
}

TEST(PageText, VersionText) { EXPECT_EQ(VersionText(), "Umbravue version 0.12"); }

TEST(PageText, LayoutPutsSheetOverPlaceholderAndHideUnderItsRightEdge) {
    const PanelLayout l = ComputePanelLayout(0, 0, 400, 11, 75);
    EXPECT_EQ(l.sheetLeft, -6);
    EXPECT_EQ(l.sheetTop, -7);
    EXPECT_EQ(l.windowWidth, 394 - 6 + 5);
    EXPECT_EQ(l.hideLeft + 75, 394 - 11 - 7);
}

}  // namespace
}  // namespace uv
