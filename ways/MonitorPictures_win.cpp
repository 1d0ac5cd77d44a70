#include "ways/MonitorPictures_win.h"

#include "ways/UserWallpaper_win.h"
#include "ways/WallpaperJournal_win.h"

namespace uv {

namespace {

// How long a renewal waits for a replay that still changes the journal.
constexpr DWORD kJournalWaitMs = 5000;

WideText PlaceKey(const WideText& desktop, const WideText& monitor) { return desktop + u"|" + monitor; }

}  // namespace

bool MonitorPictures::Renew(WallpaperRenderer& renderer, WallpaperJob& job,
                            const std::vector<MonitorArea>& monitors, SetGate& gate, HANDLE stop,
                            WallpaperResult& result) {
    const WideText marker = job.files.Picture(kAllMonitors, 0);
    const WideText desktop = CurrentVirtualDesktop(root_);
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
            const auto last = last_.find(PlaceKey(desktop, m.id));
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
    result = Note(job, desktop, monitors, changes);
    if (result == WallpaperResult::Shown) {
        // Each picture has its monitor's size: centred, it fills it exactly.
        if (!positioned_) positioned_ = object_.SetPosition(kPositionCentre);
        for (const Change& c : changes) {
            if (!object_.Show(c.id, c.picture)) {
                result = WallpaperResult::SetFailed;
                continue;
            }
            last_[PlaceKey(desktop, c.id)] = Shown{c.hash, c.picture};
        }
    }
    gate.Leave();
    return true;
}

WallpaperResult MonitorPictures::Note(const WallpaperJob& job, const WideText& desktop,
                                      const std::vector<MonitorArea>& monitors,
                                      std::vector<Change>& changes) {
    // Switched to another virtual desktop meanwhile: the next renewal is
    // for that one.
    if (!SameWidePath(CurrentVirtualDesktop(root_), desktop)) {
        changes.clear();
        return WallpaperResult::Shown;
    }
    const JournalTurn turn(kJournalWaitMs);
    RegistryWallpaperStore store(root_);
    Journal journal;
    if (!turn || !LoadJournal(store, journal)) return WallpaperResult::NotKept;
    journal.ours = job.files.Picture(kAllMonitors, 0);
    std::vector<WideText> unused;
    if (!journal.Find(PlaceKind::Desktop)) {
        RegValue values[3];
        for (int i = 0; i < 3; ++i)
            if (!store.Read(WallpaperKey::Desktop, kDesktopValues[i], values[i]))
                return WallpaperResult::NotKept;
        const WallpaperFiles& files = job.files;
        NoteDesktop(
            journal, values, false, [&files] { return CopyShownPicture(files); }, unused);
    }
    if (!journal.Find(PlaceKind::Look)) {
        std::uint32_t position = 0, background = 0;
        if (!object_.Look(position, background)) return WallpaperResult::NotKept;
        NoteLook(journal, position, background);
    }
    SystemPlaces places(root_, &object_, true);
    WideText stored;
    if (!desktop.empty() && places.DesktopStores(desktop, stored))
        NoteVirtualDesktop(journal, desktop, stored);
    std::vector<WideText> attached;
    for (const MonitorArea& m : monitors) attached.push_back(m.id);
    const auto copy = [&](const WideText& shown) { return CopyMonitorPicture(job.files, store, shown); };
    bool userChose = false;
    std::vector<Change> go;
    for (const Change& c : changes) {
        // Read again: the user may have chosen a picture while ours was
        // written.
        WideText now;
        if (!object_.Shown(c.id, now)) continue;
        const bool showed = last_.count(PlaceKey(desktop, c.id)) != 0;
        if (NoteMonitor(journal, desktop, c.id, now, showed, attached, copy, unused) ==
            NoteResult::UserChose) {
            userChose = true;
            break;
        }
        go.push_back(c);
    }
    if (!SaveJournal(store, journal)) return WallpaperResult::NotKept;
    for (const WideText& u : unused)
        if (!places.Named(u)) places.DeleteCopy(u);
    changes.swap(go);
    return userChose ? WallpaperResult::UserChose : WallpaperResult::Shown;
}

}  // namespace uv
