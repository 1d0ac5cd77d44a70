// Wallpapers per monitor, without the window system: wide registry text,
// where each monitor's picture lies in the one map over all monitors, and
// the user's per-monitor wallpapers as kept in the settings key.
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

#include "controller/Wallpaper.h"

namespace uv {

// Text as the wide (UTF-16) registry and shell functions take it.
using WideText = std::u16string;

constexpr std::uint32_t kRegBinary = 3;   // REG_BINARY
constexpr std::uint32_t kRegDword = 4;    // REG_DWORD
// The longest text a kept value may hold: the registry's own limit for a
// path-like string, so that a damaged value cannot make us allocate more.
constexpr std::size_t kMaxWideText = 32767;

// A REG_SZ value holding text as UTF-16LE with its terminating NUL.
RegValue WideStringValue(const WideText& text);
// The text of a wide REG_SZ or REG_EXPAND_SZ value up to its first NUL
// (an odd last byte is ignored); empty for any other type.
WideText WideValueText(const RegValue& value);
// Paths compared as the file system does for the letters A to Z; other
// characters must match exactly.
bool SameWidePath(const WideText& a, const WideText& b);

RegValue DwordValue(std::uint32_t value);
// False unless the value is a REG_DWORD of 4 bytes.
bool ReadDword(const RegValue& value, std::uint32_t& out);

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
    WideText path;   // empty: the monitor shows no picture
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
