#include "ways/MonitorWallpaper.h"

#include <algorithm>

#include "ways/ByteRecord.h"

namespace uv {

namespace {

constexpr std::uint32_t kMaxMonitors = 64;

}  // namespace

MapSpan SpanOf(const std::vector<MonitorArea>& monitors) {
    long long left = 0, top = 0, right = 0, bottom = 0;
    bool any = false;
    for (const MonitorArea& m : monitors) {
        if (m.width <= 0 || m.height <= 0) continue;
        const long long r = static_cast<long long>(m.left) + m.width,
                        b = static_cast<long long>(m.top) + m.height;
        left = any ? std::min<long long>(left, m.left) : m.left;
        top = any ? std::min<long long>(top, m.top) : m.top;
        right = any ? std::max(right, r) : r;
        bottom = any ? std::max(bottom, b) : b;
        any = true;
    }
    MapSpan s;
    if (!any || right - left > 0x7FFF || bottom - top > 0x7FFF) return s;  // no picture that large
    s.left = static_cast<int>(left);
    s.top = static_cast<int>(top);
    s.width = static_cast<int>(right - left);
    s.height = static_cast<int>(bottom - top);
    return s;
}

std::vector<unsigned> DistinctDpis(const std::vector<MonitorArea>& monitors) {
    std::vector<unsigned> dpis;
    for (const MonitorArea& m : monitors)
        if (std::find(dpis.begin(), dpis.end(), m.dpi) == dpis.end()) dpis.push_back(m.dpi);
    std::sort(dpis.begin(), dpis.end());
    return dpis;
}

RegValue EncodeMonitorWallpapers(const std::vector<MonitorWallpaper>& monitors) {
    RegValue v;
    v.present = true;
    v.type = kRegBinary;
    PutLe32(v.data, static_cast<std::uint32_t>(monitors.size()));
    for (const MonitorWallpaper& m : monitors) {
        PutText(v.data, m.id);
        PutText(v.data, m.path);
    }
    return v;
}

bool DecodeMonitorWallpapers(const RegValue& value, std::vector<MonitorWallpaper>& out) {
    out.clear();
    if (!value.present || value.type != kRegBinary) return false;
    ByteReader r(value.data);
    std::uint32_t count = 0;
    if (!r.Le32(count) || count > kMaxMonitors) return false;
    std::vector<MonitorWallpaper> monitors(count);
    for (MonitorWallpaper& m : monitors)
        if (!r.Text(m.id) || !r.Text(m.path)) return false;
    if (!r.AtEnd()) return false;
    out = std::move(monitors);
    return true;
}

}  // namespace uv
