// The journal of places against a system of the test's own: renewals note
// the places and put ours there; replays put the user's pictures back.
#include "ways/WallpaperJournal.h"

#include "ways/MonitorWallpaper.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>

namespace uv {
namespace {

const WideText kOurs = u"C:\\L\\Umbravue\\wallpaper-a.bmp";
const WideText kUsers[] = {u"C:\\pics\\a.jpg", u"C:\\pics\\b.jpg", u"C:\\pics\\c.jpg", u"C:\\pics\\d.jpg"};
const WideText kSystemCopy = u"C:\\U\\AppData\\Roaming\\Microsoft\\Windows\\Themes\\Transcoded_001";

class FakeStore : public WallpaperStore {
public:
    std::map<std::string, RegValue> desktop, product;
    bool Read(WallpaperKey key, const char* name, RegValue& value) override {
        auto& m = key == WallpaperKey::Desktop ? desktop : product;
        auto it = m.find(name);
        value = it == m.end() ? RegValue() : it->second;
        return true;
    }
    bool Write(WallpaperKey key, const char* name, const RegValue& value) override {
        auto& m = key == WallpaperKey::Desktop ? desktop : product;
        if (value.present)
            m[name] = value;
        else
            m.erase(name);
        return true;
    }
};

// Monitors of the current virtual desktop; Windows 11's other desktops as
// their stored pictures (a switch gives every monitor the stored one).
class FakeSystem : public WallpaperPlaces {
public:
    explicit FakeSystem(FakeStore& store) : store_(store) {}
    std::map<WideText, WideText> monitors, stored;
    WideText current;
    MonitorAccess access = MonitorAccess::Yes;
    std::set<WideText> files = {kUsers[0], kUsers[1], kUsers[2], kUsers[3], kOurs};
    bool failSet = false;
    int noPicture = 0;
    std::uint32_t position = 4, background = 7;
    std::vector<WideText> deleted;

    WideText CurrentDesktop() override { return current; }
    std::vector<WideText> Desktops() override {
        std::vector<WideText> list;
        for (const auto& d : stored) list.push_back(d.first);
        return list;
    }
    bool DesktopStores(const WideText& d, WideText& path) override {
        if (!stored.count(d)) return false;
        path = stored[d];
        return true;
    }
    bool StoreForDesktop(const WideText& d, const WideText& path) override { return stored[d] = path, true; }
    MonitorAccess Monitors() override { return access; }
    bool MonitorShows(const WideText& m, WideText& path) override {
        if (access != MonitorAccess::Yes || !monitors.count(m)) return false;
        path = monitors[m];
        return true;
    }
    bool ShowOnMonitor(const WideText& m, const WideText& path) override {
        if (failSet || !monitors.count(m) || !files.count(path)) return false;
        monitors[m] = path;
        if (!current.empty()) stored[current] = path;
        return true;
    }
    bool ShowNoPicture() override {
        if (failSet) return false;
        for (auto& m : monitors) m.second.clear();
        return ++noPicture, true;
    }
    bool SetLook(std::uint32_t p, std::uint32_t b) override { return position = p, background = b, true; }
    void ShowSingle(const WideText&) override {}
    bool Usable(const WideText& path) override { return files.count(path) != 0; }
    bool Named(const WideText& path) override {
        for (const auto& m : monitors)
            if (m.second == path) return true;
        for (const auto& d : stored)
            if (d.second == path) return true;
        return WideValueText(store_.desktop["Wallpaper"]) == path;
    }
    void DeleteCopy(const WideText& path) override {
        deleted.push_back(path);
        files.erase(path);
    }

    // Windows 11 switches the virtual desktop: its monitors show its stored
    // picture.
    void SwitchTo(const WideText& desktop) {
        current = desktop;
        for (auto& m : monitors) m.second = stored[desktop];
    }

private:
    FakeStore& store_;
};

struct Rig {
    FakeStore store;
    FakeSystem system{store};
    std::set<WideText> showed;  // desktop|monitor where this run put ours
    int copies = 0;

    Rig() {
        store.desktop["Wallpaper"] = WideStringValue(kUsers[1]);
        store.desktop["WallpaperStyle"] = WideStringValue(u"10");
        system.monitors = {{u"\\\\?\\DISPLAY#ACME1#1", kUsers[0]}, {u"\\\\?\\DISPLAY#ACME2#1", kUsers[1]}};
    }

    // A renewal: each monitor of the current desktop read inside the gate and
    // noted, then ours goes onto it.
    NoteResult Renew() {
        Journal j;
        EXPECT_TRUE(LoadJournal(store, j));
        j.ours = kOurs;
        std::vector<WideText> unused, attached;
        RegValue values[3];
        for (int i = 0; i < 3; ++i) store.Read(WallpaperKey::Desktop, kDesktopValues[i], values[i]);
        NoteDesktop(
            j, values, false, [this] { return Copy(kUsers[1]); }, unused);
        NoteLook(j, system.position, system.background);
        if (!system.current.empty()) NoteVirtualDesktop(j, system.current, system.stored[system.current]);
        for (const auto& m : system.monitors) attached.push_back(m.first);
        for (const auto& m : system.monitors) {
            const bool ours = showed.count(system.current + u"|" + m.first) != 0;
            const auto copy = [this](const WideText& p) { return Copy(p); };
            if (NoteMonitor(j, system.current, m.first, m.second, ours, attached, copy, unused) ==
                NoteResult::UserChose)
                return NoteResult::UserChose;
        }
        EXPECT_TRUE(SaveJournal(store, j));
        for (auto& m : system.monitors) {
            m.second = kOurs;
            showed.insert(system.current + u"|" + m.first);
        }
        if (!system.current.empty()) system.stored[system.current] = kOurs;
        store.desktop["Wallpaper"] = WideStringValue(kOurs);
        return NoteResult::Go;
    }
    // The copy of a readable picture.
    WideText Copy(const WideText& path) {
        if (!system.files.count(path)) return WideText();
        const WideText copy =
            u"C:\\L\\Umbravue\\user wallpaper copy-" + Widen(std::to_string(++copies).c_str()) + u".jpg";
        system.files.insert(copy);
        return copy;
    }
    RestoreResult Replay() { return ReplayJournal(store, system); }
    WideText Shows(int i) { return std::next(system.monitors.begin(), i)->second; }
    bool JournalEmpty() { return store.product.count(kJournalValue) == 0; }
};

const WideText kA = u"\\\\?\\DISPLAY#ACME1#1", kB = u"\\\\?\\DISPLAY#ACME2#1";

TEST(WallpaperJournal, MonitorsAttachedLaterGoneOrUnderANewPathGetTheirPicturesBack) {
    struct Case {
        const char* name;
        void (*between)(Rig&);  // after the first renewal, before the second
        WideText third;         // the third monitor's picture at the end
    };
    const WideText kC = u"\\\\?\\DISPLAY#ACME3#1";
    const Case cases[] = {
        // Attached after the first renewal, showing a picture of the user's.
        {"attached", [](Rig& r) { r.system.monitors[u"\\\\?\\DISPLAY#ACME3#1"] = kUsers[2]; }, kUsers[2]},
        // Attached showing ours (Windows gives a new monitor the last picture
        // set): the desktop key's picture, the user's, is all there is.
        {"new, showing ours", [](Rig& r) { r.system.monitors[u"\\\\?\\DISPLAY#ACME3#1"] = kOurs; },
         kUsers[1]},
    };
    for (const Case& c : cases) {
        Rig r;
        ASSERT_EQ(r.Renew(), NoteResult::Go) << c.name;
        c.between(r);
        ASSERT_EQ(r.Renew(), NoteResult::Go) << c.name;
        EXPECT_EQ(r.Replay(), RestoreResult::Restored) << c.name;
        EXPECT_EQ(r.system.monitors[kA], kUsers[0]) << c.name;
        EXPECT_EQ(r.system.monitors[kB], kUsers[1]) << c.name;
        EXPECT_EQ(r.system.monitors[kC], c.third) << c.name;
        EXPECT_TRUE(r.JournalEmpty()) << c.name;
    }

    // Attached again under another device path: it keeps its entry.
    Rig r;
    ASSERT_EQ(r.Renew(), NoteResult::Go);
    r.system.monitors.erase(kB);
    r.system.monitors[u"\\\\?\\DISPLAY#ACME2#2"] = kOurs;
    ASSERT_EQ(r.Renew(), NoteResult::Go);
    EXPECT_EQ(r.Replay(), RestoreResult::Restored);
    EXPECT_EQ(r.system.monitors[u"\\\\?\\DISPLAY#ACME2#2"], kUsers[1]);

    // A monitor the system no longer knows keeps its entry until it is back.
    Rig gone;
    ASSERT_EQ(gone.Renew(), NoteResult::Go);
    gone.system.monitors.erase(kB);
    EXPECT_EQ(gone.Replay(), RestoreResult::Restored);
    EXPECT_FALSE(gone.JournalEmpty());
    gone.system.monitors[kB] = kOurs;
    EXPECT_EQ(gone.Replay(), RestoreResult::Restored);
    EXPECT_EQ(gone.system.monitors[kB], kUsers[1]);
    EXPECT_TRUE(gone.JournalEmpty());
}

TEST(WallpaperJournal, AFailedRestoreKeepsEverythingForTheNextStart) {
    for (MonitorAccess failure : {MonitorAccess::Yes, MonitorAccess::NotNow}) {
        Rig r;
        ASSERT_EQ(r.Renew(), NoteResult::Go);
        const auto journal = r.store.product;
        r.system.failSet = failure == MonitorAccess::Yes;  // the shell ends under the restore
        r.system.access = failure;                         // or the object cannot be had
        EXPECT_EQ(r.Replay(), RestoreResult::Failed);
        EXPECT_EQ(r.store.product, journal);
        EXPECT_EQ(WideValueText(r.store.desktop["Wallpaper"]), kOurs);  // restored after the monitors
        EXPECT_TRUE(r.system.deleted.empty());
        r.system.failSet = false;
        r.system.access = MonitorAccess::Yes;
        EXPECT_EQ(r.Replay(), RestoreResult::Restored);
        EXPECT_EQ(r.Shows(0), kUsers[0]);
        EXPECT_EQ(r.Shows(1), kUsers[1]);
        EXPECT_EQ(WideValueText(r.store.desktop["Wallpaper"]), kUsers[1]);
        EXPECT_EQ(WideValueText(r.store.desktop["WallpaperStyle"]), u"10");
        EXPECT_TRUE(r.JournalEmpty());
        // The copies no place names go.
        EXPECT_EQ(r.system.deleted.size(), 3u);
    }
}

TEST(WallpaperJournal, GoneOrSystemPicturesComeBackFromTheirCopies) {
    struct Case {
        const char* name;
        WideText kept;         // monitor A's picture before ours
        bool fileGone;         // deleted while ours was shown
        bool copyGone;         // its copy deleted too
        const char16_t* back;  // what A shows at the end: "copy" or a path
        RestoreResult result;
    };
    const Case cases[] = {
        {"here", kUsers[0], false, false, kUsers[0].c_str(), RestoreResult::Restored},
        {"gone", kUsers[0], true, false, u"copy", RestoreResult::Restored},
        {"system copy", kSystemCopy, false, false, u"copy", RestoreResult::Restored},
        // Without either: the desktop key's picture, which Windows shows on a
        // monitor without one of its own.
        {"gone, no copy", kUsers[0], true, true, kUsers[1].c_str(), RestoreResult::Restored},
    };
    for (const Case& c : cases) {
        Rig r;
        r.system.files.insert(kSystemCopy);
        r.system.monitors[kA] = c.kept;
        ASSERT_EQ(r.Renew(), NoteResult::Go) << c.name;
        Journal j;
        ASSERT_TRUE(LoadJournal(r.store, j));
        const WideText copy = j.Find(PlaceKind::Monitor, u"", kA)->copy;
        ASSERT_FALSE(copy.empty()) << c.name;
        // The system's copy holds ours now: it is never taken for the user's.
        if (c.fileGone) r.system.files.erase(c.kept);
        if (c.copyGone) r.system.files.erase(copy);
        EXPECT_EQ(r.Replay(), c.result) << c.name;
        EXPECT_EQ(r.system.monitors[kA], WideText(c.back) == u"copy" ? copy : WideText(c.back)) << c.name;
        // A copy a monitor shows is never deleted.
        if (WideText(c.back) == u"copy") {
            EXPECT_TRUE(r.system.files.count(copy)) << c.name;
        }
    }
}

TEST(WallpaperJournal, TheUsersChoiceMidRenewalStaysAndTheOtherPlacesComeBack) {
    Rig r;
    ASSERT_EQ(r.Renew(), NoteResult::Go);
    // Chosen while ours was written, read again inside the gate.
    r.system.monitors[kB] = kUsers[3];
    EXPECT_EQ(r.Renew(), NoteResult::UserChose);
    EXPECT_EQ(r.system.monitors[kB], kUsers[3]);
    EXPECT_EQ(r.Replay(), RestoreResult::Restored);
    EXPECT_EQ(r.system.monitors[kA], kUsers[0]);
    EXPECT_EQ(r.system.monitors[kB], kUsers[3]);
    EXPECT_TRUE(r.JournalEmpty());

    // Chosen everywhere: the user's newer look stays too.
    Rig all;
    ASSERT_EQ(all.Renew(), NoteResult::Go);
    for (auto& m : all.system.monitors) m.second = kUsers[3];
    all.store.desktop["Wallpaper"] = WideStringValue(kUsers[3]);
    all.system.position = 1;
    EXPECT_EQ(all.Replay(), RestoreResult::UserChangedIt);
    EXPECT_EQ(all.system.position, 1u);
    EXPECT_TRUE(all.JournalEmpty());
}

TEST(WallpaperJournal, EachVirtualDesktopGetsItsOwnPictureBack) {
    const WideText one = u"{5EED0001-0000-4000-8000-000000000001}",
                   two = u"{5EED0002-0000-4000-8000-000000000001}";
    Rig r;
    r.system.current = one;
    r.system.stored = {{one, kUsers[1]}, {two, kUsers[2]}};
    ASSERT_EQ(r.Renew(), NoteResult::Go);
    r.system.SwitchTo(two);
    // Another desktop's picture is not the user's choice over ours.
    ASSERT_EQ(r.Renew(), NoteResult::Go);
    EXPECT_EQ(r.system.stored[one], kOurs);
    EXPECT_EQ(r.Replay(), RestoreResult::Restored);
    EXPECT_EQ(r.Shows(0), kUsers[2]);
    EXPECT_EQ(r.Shows(1), kUsers[2]);
    EXPECT_EQ(r.system.stored[one], kUsers[1]);  // not shown now: its stored picture
    EXPECT_FALSE(r.JournalEmpty());              // its monitors wait to be seen
    r.system.SwitchTo(one);
    EXPECT_EQ(r.Replay(), RestoreResult::UserChangedIt);
    EXPECT_TRUE(r.JournalEmpty());

    // A desktop closed meanwhile takes its entries with it.
    Rig closed;
    closed.system.current = one;
    closed.system.stored = {{one, kUsers[1]}, {two, kUsers[2]}};
    ASSERT_EQ(closed.Renew(), NoteResult::Go);
    closed.system.SwitchTo(two);
    closed.system.stored.erase(one);
    ASSERT_EQ(closed.Renew(), NoteResult::Go);
    EXPECT_EQ(closed.Replay(), RestoreResult::Restored);
    EXPECT_TRUE(closed.JournalEmpty());
}

TEST(WallpaperJournal, SolidColourComesBackAsNoPictureAndItsColour) {
    Rig r;
    for (auto& m : r.system.monitors) m.second.clear();
    r.store.desktop["Wallpaper"] = WideStringValue(u"");
    ASSERT_EQ(r.Renew(), NoteResult::Go);
    r.system.background = 1;
    EXPECT_EQ(r.Replay(), RestoreResult::Restored);
    EXPECT_EQ(r.system.noPicture, 1);
    EXPECT_EQ(r.Shows(0), u"");
    EXPECT_EQ(r.system.background, 7u);
    EXPECT_TRUE(r.JournalEmpty());
}

TEST(WallpaperJournal, AnotherAccountGetsItsDesktopKeyBackAndNothingElseIsTouched) {
    Rig r;
    ASSERT_EQ(r.Renew(), NoteResult::Go);
    r.system.access = MonitorAccess::Never;
    EXPECT_EQ(r.Replay(), RestoreResult::Restored);
    EXPECT_EQ(WideValueText(r.store.desktop["Wallpaper"]), kUsers[1]);
    EXPECT_EQ(r.Shows(0), kOurs);
    EXPECT_FALSE(r.JournalEmpty());  // the uninstall keeps every picture of ours then
}

TEST(WallpaperJournal, AnEarlierVersionsRecordIsTakenOverExactly) {
    FakeStore s;
    RegValue dword;
    dword.present = true;
    dword.type = kRegDword;
    dword.data = {7, 0, 0, 0};
    s.product[kPictureMarker] = WideStringValue(kOurs);
    s.product[kKeptValues[0]] = dword;  // the wrong type, kept as it is
    s.product[kKeptValues[2]] = WideStringValue(WideText(32000, u'x'));
    s.product[kKeptMonitorWallpapers] = EncodeMonitorWallpapers({{kA, kUsers[0]}});
    s.product[kKeptPosition] = DwordValue(2);
    s.product[kKeptBackground] = DwordValue(9);
    Journal j;
    ASSERT_TRUE(LoadJournal(s, j));
    ASSERT_EQ(j.entries.size(), 3u);
    EXPECT_EQ(j.ours, kOurs);
    EXPECT_EQ(j.Find(PlaceKind::Desktop)->values[0], dword);
    EXPECT_FALSE(j.Find(PlaceKind::Desktop)->values[1].present);
    EXPECT_EQ(j.Find(PlaceKind::Monitor, u"", kA)->picture, kUsers[0]);
    EXPECT_EQ(j.Find(PlaceKind::Look)->background, 9u);
    EXPECT_EQ(s.product.size(), 1u);  // the journal alone

    Journal back;
    ASSERT_TRUE(DecodeJournal(s.product[kJournalValue], back));
    EXPECT_EQ(EncodeJournal(back).data, s.product[kJournalValue].data);
    for (std::size_t cut : {std::size_t(1), std::size_t(5), s.product[kJournalValue].data.size() - 1}) {
        RegValue damaged = s.product[kJournalValue];
        damaged.data.resize(cut);
        EXPECT_FALSE(DecodeJournal(damaged, back)) << cut;
        EXPECT_TRUE(back.entries.empty());
    }
}

}  // namespace
}  // namespace uv
