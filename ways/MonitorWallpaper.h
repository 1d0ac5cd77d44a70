// Wallpapers per monitor, without the window system: where each monitor's
// picture lies in the one map over all monitors, and the user's per-monitor
// wallpapers as kept in the settings key.
//
// Windows 8 and later give every monitor a picture of its own through the
// desktop wallpaper object. There the program gives each monitor its part
// of the map, rendered at that monitor's size in physical pixels and DPI,
// and keeps and puts back what each monitor showed, with the picture
// position and the background colour.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "common/WideText.h"

namespace uv {

// ----- Monitors

// A monitor in physical pixels of the virtual screen, with the id the
// desktop wallpaper object knows it by (empty without one).
struct MonitorArea {
    WideText id;
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    unsigned dpi = 96;
};

// The smallest rectangle holding every monitor that has a size: the one
// map is rendered at this size and each monitor shows its part of it.
struct MapSpan {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
};
MapSpan SpanOf(const std::vector<MonitorArea>& monitors);

// The DPIs the monitors have, each once, lowest first: the map is rendered
// once per DPI.
std::vector<unsigned> DistinctDpis(const std::vector<MonitorArea>& monitors);

// ----- The user's per-monitor wallpapers

struct MonitorWallpaper {
    WideText id;
    WideText path;  // empty: the monitor shows no picture
    bool operator==(const MonitorWallpaper& o) const { return id == o.id && path == o.path; }
};

// Kept beside the user's three desktop values, before the marker.
constexpr char kKeptMonitorWallpapers[] = "user monitor wallpapers";
constexpr char kKeptPosition[] = "user wallpaper position";
constexpr char kKeptBackground[] = "user background color";

// A REG_BINARY value: a 32-bit count, then for each monitor its id and its
// path, each a 32-bit length in UTF-16 units followed by the units, all
// little-endian.
RegValue EncodeMonitorWallpapers(const std::vector<MonitorWallpaper>& monitors);
// False for another type, a length that runs past the end, a text longer
// than kMaxWideText, more than 64 monitors or bytes left over; out is then
// empty.
bool DecodeMonitorWallpapers(const RegValue& value, std::vector<MonitorWallpaper>& out);

}  // namespace uv
