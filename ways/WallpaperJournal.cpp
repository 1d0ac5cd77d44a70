#include "ways/WallpaperJournal.h"

#include <algorithm>
#include <cstdio>

#include "ways/ByteRecord.h"
#include "ways/MonitorWallpaper.h"
#include "ways/WallpaperFile.h"

namespace uv {

namespace {

constexpr std::uint32_t kJournalMagic = 0x314A5655;  // "UVJ1"
constexpr std::uint32_t kMaxEntries = 256;
constexpr std::uint32_t kMaxValueBytes = 1u << 20;
constexpr std::uint32_t kGuessed = 1;

bool SamePlace(const JournalEntry& e, PlaceKind kind, const WideText& desktop, const WideText& monitor) {
    return e.kind == kind && SameWidePath(e.desktop, desktop) && SameWidePath(e.monitor, monitor);
}

bool Contains(const std::vector<WideText>& list, const WideText& item) {
    for (const WideText& x : list)
        if (SameWidePath(x, item)) return true;
    return false;
}

bool Referenced(const Journal& journal, const WideText& copy) {
    for (const JournalEntry& e : journal.entries)
        if (SameWidePath(e.copy, copy)) return true;
    return false;
}

// A copy no entry refers to any more goes to unused, for the caller to
// delete once the journal is saved and no place names it.
void Release(const Journal& journal, const WideText& copy, std::vector<WideText>& unused) {
    if (!copy.empty() && !Referenced(journal, copy) && !Contains(unused, copy)) unused.push_back(copy);
}

// The old record's values (kept once, with a marker), taken over.
bool AdoptOldRecord(WallpaperStore& store, Journal& journal) {
    RegValue marker;
    if (!store.Read(WallpaperKey::Product, kPictureMarker, marker)) return false;
    if (!marker.present) return true;
    journal.ours = WideValueText(marker);
    JournalEntry desktop;
    RegValue copy, monitors, position, background;
    for (int i = 0; i < 3; ++i)
        if (!store.Read(WallpaperKey::Product, kKeptValues[i], desktop.values[i])) return false;
    if (!store.Read(WallpaperKey::Product, kKeptPictureCopy, copy) ||
        !store.Read(WallpaperKey::Product, kKeptMonitorWallpapers, monitors) ||
        !store.Read(WallpaperKey::Product, kKeptPosition, position) ||
        !store.Read(WallpaperKey::Product, kKeptBackground, background))
        return false;
    desktop.picture = WideValueText(desktop.values[0]);
    desktop.copy = WideValueText(copy);
    journal.entries.push_back(desktop);
    std::vector<MonitorWallpaper> kept;
    if (DecodeMonitorWallpapers(monitors, kept)) {
        for (const MonitorWallpaper& m : kept) {
            JournalEntry e;
            e.kind = PlaceKind::Monitor;
            e.monitor = m.id;
            e.picture = m.path;
            journal.entries.push_back(e);
        }
        std::uint32_t place = 0, colour = 0;
        if (ReadDword(position, place) && ReadDword(background, colour)) NoteLook(journal, place, colour);
    }
    if (!SaveJournal(store, journal)) return false;
    const RegValue none;
    for (const char* name : {kPictureMarker, kKeptValues[0], kKeptValues[1], kKeptValues[2], kKeptPictureCopy,
                             kKeptMonitorWallpapers, kKeptPosition, kKeptBackground})
        store.Write(WallpaperKey::Product, name, none);
    return true;
}

char16_t FoldAscii(char16_t c) { return c >= u'a' && c <= u'z' ? static_cast<char16_t>(c - u'a' + u'A') : c; }

// path as UTF-16 units at an even offset of bytes, ended by a NUL or the end.
bool NamesPath(const std::vector<std::uint8_t>& bytes, const WideText& path) {
    if (path.empty()) return false;
    for (std::size_t at = 0; at + 2 * path.size() <= bytes.size(); at += 2) {
        std::size_t i = 0;
        for (; i < path.size(); ++i) {
            const char16_t c = static_cast<char16_t>(bytes[at + 2 * i] | (bytes[at + 2 * i + 1] << 8));
            if (FoldAscii(c) != FoldAscii(path[i])) break;
        }
        const std::size_t end = at + 2 * path.size();
        if (i == path.size() && (end + 1 >= bytes.size() || (bytes[end] == 0 && bytes[end + 1] == 0)))
            return true;
    }
    return false;
}

// The pictures the replay may give a place, best first: each usable once.
class Choices {
public:
    explicit Choices(WallpaperPlaces& places) : places_(places) {}
    // The kept picture, unless it is the system's own copy (which ours
    // overwrote) or cannot be shown; then its copy.
    Choices& Kept(const WideText& picture, const WideText& copy) {
        if (!picture.empty() && !IsTranscodedWallpaper(picture) && places_.Usable(picture)) Add(picture);
        if (!copy.empty() && places_.Usable(copy)) Add(copy);
        return *this;
    }
    const std::vector<WideText>& list() const { return list_; }

private:
    void Add(const WideText& p) {
        if (!Contains(list_, p)) list_.push_back(p);
    }
    WallpaperPlaces& places_;
    std::vector<WideText> list_;
};

class Replay {
public:
    Replay(Journal& journal, WallpaperPlaces& places)
        : j_(journal), places_(places), drop_(journal.entries.size()) {}

    void Monitors();
    void VirtualDesktops();
    void DesktopKey(WallpaperStore& store);
    RestoreResult Finish(WallpaperStore& store);

private:
    const JournalEntry* Desk() const {
        for (const JournalEntry& e : j_.entries)
            if (e.kind == PlaceKind::Desktop) return &e;
        return nullptr;
    }
    // What a monitor shows where it has no picture of its own: the desktop
    // key's picture, else another monitor's.
    Choices& Fallback(Choices& c) const {
        if (const JournalEntry* d = Desk()) c.Kept(d->picture, d->copy);
        for (const JournalEntry& e : j_.entries)
            if (e.kind == PlaceKind::Monitor && !e.guessed && OnCurrent(e)) c.Kept(e.picture, e.copy);
        return c;
    }
    bool OnCurrent(const JournalEntry& e) const {
        return e.desktop.empty() || SameWidePath(e.desktop, current_);
    }
    bool ShowsUsersNow(const WideText& monitor) {
        WideText now;
        return places_.MonitorShows(monitor, now) && !j_.Ours(now);
    }
    void Drop(std::size_t i) {
        if (!drop_[i]) dropped_ = true;
        drop_[i] = true;
    }

    Journal& j_;
    WallpaperPlaces& places_;
    std::vector<bool> drop_;
    WideText current_;
    std::vector<WideText> desktops_;
    bool failed_ = false, restored_ = false, dropped_ = false, monitorsRestored_ = false;
    bool hadMonitors_ = false;
    MonitorAccess access_ = MonitorAccess::Never;
};

void Replay::Monitors() {
    current_ = places_.CurrentDesktop();
    desktops_ = places_.Desktops();
    access_ = places_.Monitors();
    for (const JournalEntry& e : j_.entries) hadMonitors_ = hadMonitors_ || e.kind == PlaceKind::Monitor;
    if (!hadMonitors_ || access_ == MonitorAccess::Never) return;
    if (access_ == MonitorAccess::NotNow) {
        // Nothing can be seen or put back now: the next replay tries again.
        for (const JournalEntry& e : j_.entries)
            failed_ = failed_ || (e.kind == PlaceKind::Monitor && OnCurrent(e));
        return;
    }
    struct Todo {
        std::size_t index;
        bool noPicture;  // the user had none there
    };
    std::vector<Todo> todo;
    bool userPictureBeside = false;
    for (std::size_t i = 0; i < j_.entries.size(); ++i) {
        const JournalEntry& e = j_.entries[i];
        if (e.kind != PlaceKind::Monitor) continue;
        if (!OnCurrent(e)) {
            // A virtual desktop that was closed took its pictures with it.
            if (!current_.empty() && !Contains(desktops_, e.desktop)) Drop(i);
            continue;
        }
        WideText now;
        if (!places_.MonitorShows(e.monitor, now)) continue;  // unknown now: it stays
        if (!j_.Ours(now)) {
            Drop(i);
            userPictureBeside = true;
            continue;
        }
        todo.push_back({i, e.picture.empty() && !e.guessed});
    }
    if (todo.empty()) return;
    // Windows knows no monitor without a picture beside monitors with one:
    // only when every monitor had none does the whole background go back to
    // its colour alone.
    const bool allNone = !userPictureBeside &&
                         std::all_of(todo.begin(), todo.end(), [](const Todo& t) { return t.noPicture; });
    if (allNone) {
        bool all = places_.ShowNoPicture();
        for (const Todo& t : todo) {
            if (all && ShowsUsersNow(j_.entries[t.index].monitor)) {
                Drop(t.index);
                restored_ = monitorsRestored_ = true;
            } else {
                all = false;
                failed_ = true;
            }
        }
        return;
    }
    for (const Todo& t : todo) {
        const JournalEntry& e = j_.entries[t.index];
        Choices choices(places_);
        if (!e.guessed) choices.Kept(e.picture, e.copy);
        Fallback(choices);
        bool done = false;
        for (const WideText& c : choices.list())
            if ((done = places_.ShowOnMonitor(e.monitor, c) && ShowsUsersNow(e.monitor))) break;
        if (done) {
            Drop(t.index);
            restored_ = monitorsRestored_ = true;
        } else {
            failed_ = true;
        }
    }
}

void Replay::VirtualDesktops() {
    for (const WideText& d : desktops_) {
        WideText now;
        if (!places_.DesktopStores(d, now)) continue;
        std::size_t at = j_.entries.size();
        for (std::size_t i = 0; i < j_.entries.size(); ++i)
            if (SamePlace(j_.entries[i], PlaceKind::VirtualDesktop, d, WideText())) at = i;
        if (!j_.Ours(now)) {
            if (at < j_.entries.size()) Drop(at);
            continue;
        }
        // Its own picture, else the copies kept of its monitors' pictures.
        Choices choices(places_);
        if (at < j_.entries.size() && !j_.entries[at].guessed)
            choices.Kept(j_.entries[at].picture, WideText());
        for (const JournalEntry& e : j_.entries)
            if (e.kind == PlaceKind::Monitor && SameWidePath(e.desktop, d) && !e.guessed)
                choices.Kept(e.picture, e.copy);
        Fallback(choices);
        bool done = false;
        for (const WideText& c : choices.list())
            if ((done = places_.StoreForDesktop(d, c) && places_.DesktopStores(d, now) && !j_.Ours(now)))
                break;
        if (done) {
            if (at < j_.entries.size()) Drop(at);
            restored_ = true;
        } else {
            failed_ = true;
        }
    }
    for (std::size_t i = 0; i < j_.entries.size(); ++i)
        if (j_.entries[i].kind == PlaceKind::VirtualDesktop && !Contains(desktops_, j_.entries[i].desktop))
            Drop(i);
}

void Replay::DesktopKey(WallpaperStore& store) {
    std::size_t di = j_.entries.size();
    for (std::size_t i = 0; i < j_.entries.size(); ++i)
        if (j_.entries[i].kind == PlaceKind::Desktop) di = i;
    // The monitors still to be put back may need its picture.
    if (access_ != MonitorAccess::Never)
        for (std::size_t i = 0; i < j_.entries.size(); ++i)
            if (!drop_[i] && j_.entries[i].kind == PlaceKind::Monitor && OnCurrent(j_.entries[i]))
                di = j_.entries.size();
    if (di < j_.entries.size()) {
        const JournalEntry& e = j_.entries[di];
        RegValue now;
        if (!store.Read(WallpaperKey::Desktop, kDesktopValues[0], now)) {
            failed_ = true;
        } else if (j_.Ours(WideValueText(now)) || monitorsRestored_) {
            RegValue values[3] = {e.values[0], e.values[1], e.values[2]};
            const WideText kept = WideValueText(values[0]);
            if (!kept.empty() && !e.copy.empty() && (IsTranscodedWallpaper(kept) || !places_.Usable(kept)) &&
                places_.Usable(e.copy))
                values[0] = WideStringValue(e.copy);
            // The file name goes back last: until then a retry still sees ours.
            bool written = true;
            for (int i = 2; i >= 0 && written; --i)
                written = store.Write(WallpaperKey::Desktop, kDesktopValues[i], values[i]);
            if (!written) {
                failed_ = true;
            } else {
                // Told of one picture, Windows 8 and later would show it on
                // every monitor: the monitors have theirs back already.
                if (!hadMonitors_) places_.ShowSingle(WideValueText(values[0]));
                Drop(di);
                restored_ = true;
            }
        } else {
            Drop(di);
        }
    }
}

RestoreResult Replay::Finish(WallpaperStore& store) {
    bool monitorsLeft = false;
    for (std::size_t i = 0; i < j_.entries.size(); ++i)
        monitorsLeft = monitorsLeft || (!drop_[i] && j_.entries[i].kind == PlaceKind::Monitor);
    for (std::size_t i = 0; i < j_.entries.size(); ++i) {
        if (j_.entries[i].kind != PlaceKind::Look || drop_[i]) continue;
        // The look goes back with the first picture put back; the user's
        // newer look stays when every monitor has the user's newer picture.
        if (monitorsRestored_ && !places_.SetLook(j_.entries[i].position, j_.entries[i].background))
            failed_ = true;
        else if (!monitorsLeft)
            Drop(i);
    }
    Journal left;
    left.ours = j_.ours;
    for (std::size_t i = 0; i < j_.entries.size(); ++i)
        if (!drop_[i]) left.entries.push_back(j_.entries[i]);
    std::vector<WideText> unused;
    for (std::size_t i = 0; i < j_.entries.size(); ++i)
        if (drop_[i]) Release(left, j_.entries[i].copy, unused);
    if (!SaveJournal(store, left)) return RestoreResult::Failed;
    for (const WideText& copy : unused)
        if (!places_.Named(copy)) places_.DeleteCopy(copy);
    if (failed_) return RestoreResult::Failed;
    if (restored_) return RestoreResult::Restored;
    return dropped_ ? RestoreResult::UserChangedIt : RestoreResult::NothingKept;
}

}  // namespace

JournalEntry* Journal::Find(PlaceKind kind, const WideText& desktop, const WideText& monitor) {
    for (JournalEntry& e : entries)
        if (SamePlace(e, kind, desktop, monitor)) return &e;
    return nullptr;
}

bool Journal::Ours(const WideText& path) const { return !ours.empty() && IsOurPicture(path, ours); }

RegValue EncodeJournal(const Journal& journal) {
    RegValue v;
    v.present = true;
    v.type = kRegBinary;
    PutLe32(v.data, kJournalMagic);
    PutText(v.data, journal.ours);
    PutLe32(v.data, static_cast<std::uint32_t>(journal.entries.size()));
    for (const JournalEntry& e : journal.entries) {
        PutLe32(v.data, static_cast<std::uint32_t>(e.kind));
        PutLe32(v.data, e.guessed ? kGuessed : 0);
        for (const WideText* t : {&e.desktop, &e.monitor, &e.picture, &e.copy}) PutText(v.data, *t);
        PutLe32(v.data, e.position);
        PutLe32(v.data, e.background);
        if (e.kind != PlaceKind::Desktop) continue;
        for (const RegValue& value : e.values) {
            PutLe32(v.data, value.present ? 1 : 0);
            PutLe32(v.data, value.type);
            PutLe32(v.data, static_cast<std::uint32_t>(value.data.size()));
            v.data.insert(v.data.end(), value.data.begin(), value.data.end());
        }
    }
    return v;
}

bool DecodeJournal(const RegValue& value, Journal& journal) {
    journal = Journal();
    if (!value.present || value.type != kRegBinary) return false;
    ByteReader r(value.data);
    Journal j;
    std::uint32_t magic = 0, count = 0;
    if (!r.Le32(magic) || magic != kJournalMagic || !r.Text(j.ours) || !r.Le32(count) || count > kMaxEntries)
        return false;
    j.entries.resize(count);
    for (JournalEntry& e : j.entries) {
        std::uint32_t kind = 0, flags = 0;
        if (!r.Le32(kind) || kind < 1 || kind > 4 || !r.Le32(flags) || !r.Text(e.desktop) ||
            !r.Text(e.monitor) || !r.Text(e.picture) || !r.Text(e.copy) || !r.Le32(e.position) ||
            !r.Le32(e.background))
            return false;
        e.kind = static_cast<PlaceKind>(kind);
        e.guessed = (flags & kGuessed) != 0;
        if (e.kind != PlaceKind::Desktop) continue;
        for (RegValue& v : e.values) {
            std::uint32_t present = 0, size = 0;
            if (!r.Le32(present) || present > 1 || !r.Le32(v.type) || !r.Le32(size) ||
                size > kMaxValueBytes || !r.Bytes(size, v.data))
                return false;
            v.present = present == 1;
        }
    }
    if (!r.AtEnd()) return false;
    journal = std::move(j);
    return true;
}

bool LoadJournal(WallpaperStore& store, Journal& journal) {
    journal = Journal();
    RegValue value;
    if (!store.Read(WallpaperKey::Product, kJournalValue, value)) return false;
    if (value.present) {
        DecodeJournal(value, journal);
        return true;
    }
    return AdoptOldRecord(store, journal);
}

bool SaveJournal(WallpaperStore& store, const Journal& journal) {
    return store.Write(WallpaperKey::Product, kJournalValue,
                       journal.entries.empty() ? RegValue() : EncodeJournal(journal));
}

RestoreResult ReplayJournal(WallpaperStore& store, WallpaperPlaces& places) {
    Journal journal;
    if (!LoadJournal(store, journal)) return RestoreResult::Failed;
    if (journal.entries.empty()) return RestoreResult::NothingKept;
    Replay replay(journal, places);
    replay.Monitors();
    replay.VirtualDesktops();
    replay.DesktopKey(store);
    return replay.Finish(store);
}

NoteResult NoteMonitor(Journal& journal, const WideText& desktop, const WideText& monitor,
                       const WideText& shown, bool weShowedOurs, const std::vector<WideText>& attached,
                       const CopyPicture& copy, std::vector<WideText>& unused) {
    JournalEntry* entry = journal.Find(PlaceKind::Monitor, desktop, monitor);
    if (journal.Ours(shown)) {
        if (entry) return NoteResult::Go;
        // The same monitor under another device path keeps its entry.
        JournalEntry* same = nullptr;
        int candidates = 0;
        const WideText model = MonitorModel(monitor);
        for (JournalEntry& e : journal.entries) {
            if (e.kind != PlaceKind::Monitor || !SameWidePath(e.desktop, desktop) ||
                Contains(attached, e.monitor) || model.empty() ||
                !SameWidePath(MonitorModel(e.monitor), model))
                continue;
            same = &e;
            ++candidates;
        }
        if (candidates == 1) {
            same->monitor = monitor;
            return NoteResult::Go;
        }
        JournalEntry e;
        e.kind = PlaceKind::Monitor;
        e.desktop = desktop;
        e.monitor = monitor;
        e.guessed = true;
        journal.entries.push_back(e);
        return NoteResult::Go;
    }
    if (entry && weShowedOurs) return NoteResult::UserChose;
    // A place that shows a picture of the user's: what the entry held is
    // outdated by it.
    JournalEntry e;
    e.kind = PlaceKind::Monitor;
    e.desktop = desktop;
    e.monitor = monitor;
    e.picture = shown;
    e.copy = shown.empty() || !copy ? WideText() : copy(shown);
    if (entry) {
        const WideText old = entry->copy;
        *entry = e;
        Release(journal, old, unused);
    } else {
        journal.entries.push_back(e);
    }
    return NoteResult::Go;
}

NoteResult NoteDesktop(Journal& journal, const RegValue (&values)[3], bool weShowedOurs,
                       const std::function<WideText()>& copyShown, std::vector<WideText>& unused) {
    JournalEntry* entry = journal.Find(PlaceKind::Desktop);
    const WideText shown = WideValueText(values[0]);
    if (journal.Ours(shown)) {
        if (entry) return NoteResult::Go;
    } else if (entry && weShowedOurs) {
        return NoteResult::UserChose;
    }
    JournalEntry e;
    for (int i = 0; i < 3; ++i) e.values[i] = values[i];
    // Our picture is never the user's: without an entry for it, the desktop
    // is left without a picture rather than the map.
    if (journal.Ours(shown)) e.values[0] = WideStringValue(WideText());
    e.picture = WideValueText(e.values[0]);
    e.copy = e.picture.empty() || !copyShown ? WideText() : copyShown();
    if (entry) {
        const WideText old = entry->copy;
        *entry = e;
        Release(journal, old, unused);
    } else {
        journal.entries.push_back(e);
    }
    return NoteResult::Go;
}

void NoteVirtualDesktop(Journal& journal, const WideText& desktop, const WideText& stored) {
    if (journal.Find(PlaceKind::VirtualDesktop, desktop)) return;
    JournalEntry e;
    e.kind = PlaceKind::VirtualDesktop;
    e.desktop = desktop;
    e.guessed = journal.Ours(stored);
    if (!e.guessed) e.picture = stored;
    journal.entries.push_back(e);
}

void NoteLook(Journal& journal, std::uint32_t position, std::uint32_t background) {
    if (journal.Find(PlaceKind::Look)) return;
    JournalEntry e;
    e.kind = PlaceKind::Look;
    e.position = position;
    e.background = background;
    journal.entries.push_back(e);
}

WideText MonitorModel(const WideText& id) {
    const std::size_t first = id.find(u'#');
    if (first == WideText::npos) return WideText();
    const std::size_t second = id.find(u'#', first + 1);
    return second == WideText::npos ? WideText() : id.substr(first + 1, second - first - 1);
}

int TranscodedIndexFor(WallpaperStore& store, const WideText& path) {
    for (int n = 0; n < 64; ++n) {
        char name[40];
        std::snprintf(name, sizeof name, "TranscodedImageCache_%03d", n);
        RegValue v;
        if (store.Read(WallpaperKey::Desktop, name, v) && v.present && v.type == kRegBinary &&
            NamesPath(v.data, path))
            return n;
    }
    return -1;
}

WideText DesktopIdText(const std::vector<std::uint8_t>& b) {
    if (b.size() != 16) return WideText();
    char text[40];
    std::snprintf(text, sizeof text, "{%02X%02X%02X%02X-%02X%02X-%02X%02X-%02X%02X-%02X%02X%02X%02X%02X%02X}",
                  b[3], b[2], b[1], b[0], b[5], b[4], b[7], b[6], b[8], b[9], b[10], b[11], b[12], b[13],
                  b[14], b[15]);
    return Widen(text);
}

}  // namespace uv
