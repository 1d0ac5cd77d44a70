// The desktop picture's options of umbravue-render: window size, any setting
// of the settings protocol by id or name, and the selected cities.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace uv {

struct DesktopOptions {
    bool enabled = false;  // any of the options below given
    int windowWidth = 0;   // 0: the map's own size
    int windowHeight = 0;
    // (id, value) pairs in command-line order, applied as the desktop host
    // applies received settings.
    std::vector<std::pair<std::uint32_t, std::int32_t>> settings;
    std::vector<int> cities;  // selected city indices
    unsigned dpi = 96;        // text, markers and glyph as a wallpaper for this DPI
};

// The protocol id of a setting given as a number, a setting name such as
// "overlay grid color" or an id name such as "OverlayGridColor" (letter case
// ignored). Commands (Subclass, SetTime, ...) are not settings.
bool LookupSettingId(const std::string& name, std::uint32_t& id);

// Takes --window, --set, --cities and --dpi. Returns 1 when the option was one of
// these and was read, 0 when it is not one of them, -1 with a message in
// error when its value is bad.
int ParseDesktopOption(const std::string& option, const std::string& value, DesktopOptions& options,
                       std::string& error);

const char* DesktopUsage();

}  // namespace uv
