#include "controlpanel/PageText.h"

#include "common/ProductAddresses.h"
#include "common/Version.h"

#include <cstdio>

namespace uv {

std::string DegreesLabel(int degrees) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%d\xB0 ", degrees);
    return buf;
}

std::string PercentLabel(int percent) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%d%% ", percent);
    return buf;
}

std::string MinutesLabel(int refreshSlider) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%0.1fm ", refreshSlider * 0.5);
    return buf;
}

PanelLayout ComputePanelLayout(int placeholderLeft, int placeholderTop, int sheetWidth, int iconLeft,
                               int hideWidth) {
    PanelLayout l;
    l.sheetLeft = placeholderLeft - 6;
    l.sheetTop = placeholderTop - 7;
    const int sheetRight = l.sheetLeft + sheetWidth;
    // The sheet sits a little left of and above the placeholder, hiding its
    // own margin there; the window is as wide again on the right, plus 5.
    l.windowWidth = sheetRight + l.sheetLeft + 5;
    const int hideRight = sheetRight - iconLeft - 7;
    l.hideLeft = hideRight - hideWidth;
    return l;
}

std::string VersionText() {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%s version %s", "Umbravue", UV_VERSION_SHORT);
    return buf;
}

AboutLinks MakeAboutLinks(const char* homepage, const char* contact, const std::string& version) {
    AboutLinks links;
    if (homepage && *homepage) {
        links.homepageLine = std::string("jump to the umbravue homepage at: ") + homepage;
        links.homepageTarget = homepage;
    }
    if (contact && *contact) {
        links.mailLine = std::string("send email: ") + contact;
        links.mailTarget = std::string("mailto:") + contact + "?subject=" + version;
    }
    return links;
}

AboutLinks BuildAboutLinks() { return MakeAboutLinks(UV_HOMEPAGE_URL, UV_CONTACT_ADDRESS, VersionText()); }

}  // namespace uv
