#include "controlpanel/PageText.h"

#include "common/Version.h"

#include <gtest/gtest.h>

namespace uv {
namespace {

TEST(PageText, SliderLabels) {
    EXPECT_EQ(DegreesLabel(345), "345\xB0 ");
    EXPECT_EQ(PercentLabel(53), "53% ");
    EXPECT_EQ(MinutesLabel(6), "3.0m ");
    EXPECT_EQ(MinutesLabel(21), "10.5m ");
}

TEST(PageText, VersionText) { EXPECT_EQ(VersionText(), "Umbravue version " UV_VERSION_SHORT); }

TEST(PageText, AboutLinksOnlyForGivenAddresses) {
    const AboutLinks given = MakeAboutLinks("https://sun.test/", "me@sun.test", "Umbravue version 0.12");
    EXPECT_EQ(given.homepageLine, "jump to the umbravue homepage at: https://sun.test/");
    EXPECT_EQ(given.homepageTarget, "https://sun.test/");
    EXPECT_EQ(given.mailLine, "send email: me@sun.test");
    EXPECT_EQ(given.mailTarget, "mailto:me@sun.test?subject=Umbravue version 0.12");
    for (const AboutLinks& none : {MakeAboutLinks("", "", "v"), MakeAboutLinks(nullptr, nullptr, "v")}) {
        EXPECT_EQ(none.homepageLine + none.homepageTarget + none.mailLine + none.mailTarget, "");
    }
    // This build's: one definition, nothing of an example domain.
    EXPECT_EQ(BuildAboutLinks().homepageTarget.find("example"), std::string::npos);
}

TEST(PageText, LayoutPutsSheetOverPlaceholderAndHideUnderItsRightEdge) {
    const PanelLayout l = ComputePanelLayout(0, 0, 400, 11, 75);
    EXPECT_EQ(l.sheetLeft, -6);
    EXPECT_EQ(l.sheetTop, -7);
    EXPECT_EQ(l.windowWidth, 394 - 6 + 5);
    EXPECT_EQ(l.hideLeft + 75, 394 - 11 - 7);
}

}  // namespace
}  // namespace uv
