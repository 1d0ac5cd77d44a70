// Texts and geometry of the control panel that need no window system.
#pragma once

#include <string>

namespace uv {

// Value labels of the sliders (code page 1252, 0xB0 is the degree sign).
std::string DegreesLabel(int degrees);        // "15\xB0 "
std::string PercentLabel(int percent);        // "50% "
std::string MinutesLabel(int refreshSlider);  // slider x 0.5: "3.0m "

// Where the sheet and the "Hide" button go, in client pixels, from the
// placeholder's and the sheet's rectangles and the program icon's left edge.
struct PanelLayout {
    int sheetLeft, sheetTop;  // sheet's new top-left corner
    int windowWidth;          // the window's new width (its height is kept)
    int hideLeft;             // "Hide" button's new left edge
};
PanelLayout ComputePanelLayout(int placeholderLeft, int placeholderTop, int sheetWidth, int iconLeft,
                               int hideWidth);

// The version text of the About page.
std::string VersionText();  // "Umbravue version 0.12"

// The About page's link lines and their targets, from the addresses the
// build was configured with; all empty for an address not given, so that
// the page offers nothing to click.
struct AboutLinks {
    std::string homepageLine, homepageTarget;
    std::string mailLine, mailTarget;
};
AboutLinks MakeAboutLinks(const char* homepage, const char* contact, const std::string& version);
// The same for this build's addresses.
AboutLinks BuildAboutLinks();

}  // namespace uv
