#include "ways/MonitorPictures_win.h"

namespace uv {

bool MonitorPictures::Keep(WallpaperStore& store) {
    std::vector<MonitorWallpaper> monitors;
    std::uint32_t position = 0, background = 0;
    return object_.Read(monitors, position, background) &&
           store.Write(WallpaperKey::Product, kKeptMonitorWallpapers, EncodeMonitorWallpapers(monitors)) &&
           store.Write(WallpaperKey::Product, kKeptPosition, DwordValue(position)) &&
           store.Write(WallpaperKey::Product, kKeptBackground, DwordValue(background));
}

bool MonitorPictures::Renew(WallpaperRenderer& renderer, WallpaperJob& job,
                            const std::vector<MonitorArea>& monitors, SetGate& gate, HANDLE stop,
                            WallpaperResult& result) {
    const WideText marker = job.files.Picture(kAllMonitors, 0);
    const MapSpan span = SpanOf(monitors);
    std::vector<Change> changes;
    result = WallpaperResult::Shown;
    // The map over all monitors once per DPI they have; each monitor's part
    // of it is cut out at its place.
    for (unsigned dpi : DistinctDpis(monitors)) {
        job.screen = ScreenLayout{0, 0, span.width, span.height, 1};
        job.placement = WallpaperPlacement();
        job.dpi = dpi;
        result = renderer.Render(job);
        const SelectedBitmap* whole = renderer.Rendered();
        if (result != WallpaperResult::Shown || !whole) return true;
        for (std::size_t i = 0; i < monitors.size() && static_cast<int>(i) < kMaxPictureMonitors; ++i) {
            const MonitorArea& m = monitors[i];
            if (m.dpi != dpi) continue;
            WideText shown;
            if (!object_.Shown(m.id, shown)) continue;  // gone meanwhile
            const auto last = last_.find(m.id);
            // Not ours where ours was: the user chose it, and it stays.
            if (last != last_.end() && !IsOurPicture(shown, marker)) {
                result = WallpaperResult::UserChose;
                return true;
            }
            if (!piece_.FitDib(m.width, m.height)) {
                result = WallpaperResult::NoMemory;
                return true;
            }
            BitBlt(piece_.dc.get(), 0, 0, m.width, m.height, whole->dc.get(), m.left - span.left,
                   m.top - span.top, SRCCOPY);
            GdiFlush();
            const std::uint64_t hash = HashPicture(piece_);
            if (last != last_.end() && last->second.hash == hash && SameWidePath(shown, last->second.picture))
                continue;
            const int index = static_cast<int>(i);
            const WideText picture =
                job.files.Picture(index, SameWidePath(shown, job.files.Picture(index, 0)));
            result = WritePictureFile(job.files, picture, piece_, stop);
            if (result != WallpaperResult::Shown) return WaitForSingleObject(stop, 0) != WAIT_OBJECT_0;
            changes.push_back({m.id, picture, hash});
        }
    }
    if (changes.empty()) return true;
    if (!gate.Enter()) return false;
    // Each picture has its monitor's size: centred, it fills it exactly.
    if (!positioned_) positioned_ = object_.SetPosition(kPositionCentre);
    for (const Change& c : changes) {
        if (!object_.Show(c.id, c.picture)) {
            result = WallpaperResult::SetFailed;
            continue;
        }
        last_[c.id] = Shown{c.hash, c.picture};
    }
    gate.Leave();
    return true;
}

}  // namespace uv
