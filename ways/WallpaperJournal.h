// The journal of places. Before the map goes onto a place (the one wallpaper
// of the desktop key, a monitor of the current desktop, a Windows 11 virtual
// desktop's stored picture) the journal records what that place showed and
// a copy of it. An entry leaves only when its place is seen showing the
// user's picture again, or a picture the user chose since. Start, quit, the
// end of the session, uninstall and the user's own choice all replay the
// same journal, so a restore that fails is tried again, and nothing of ours
// is given up while a place still shows it.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "common/Registry.h"
#include "common/WideText.h"
#include "ways/UserWallpaper.h"

namespace uv {

enum class PlaceKind : std::uint32_t {
    Desktop = 1,         // the desktop key's Wallpaper, WallpaperStyle and TileWallpaper
    Monitor = 2,         // a monitor's own picture (Windows 8 and later)
    VirtualDesktop = 3,  // a virtual desktop's stored picture (Windows 11)
    Look = 4,            // the picture position and the background colour (Windows 8 and later)
};

struct JournalEntry {
    PlaceKind kind = PlaceKind::Desktop;
    WideText desktop;  // Monitor, VirtualDesktop: the virtual desktop; empty where all share one
    WideText monitor;  // Monitor: its device path
    WideText picture;  // what the place showed; Desktop: the text of its Wallpaper value
    WideText copy;     // a copy of that picture in our folder; empty without one
    // The place showed ours already when it was first seen (attached to a
    // desktop that had just shown ours): picture is no more than a guess.
    bool guessed = false;
    RegValue values[3];  // Desktop: the three values exactly as they were
    std::uint32_t position = 0;
    std::uint32_t background = 0;
};

struct Journal {
    WideText ours;  // a picture of ours: tells ours from the user's
    std::vector<JournalEntry> entries;

    JournalEntry* Find(PlaceKind kind, const WideText& desktop = WideText(),
                       const WideText& monitor = WideText());
    bool Ours(const WideText& path) const;
};

// One REG_BINARY value of the settings key; written whole, so an end at any
// moment leaves the journal before or after a change, never half of one.
constexpr char kJournalValue[] = "wallpaper journal";
RegValue EncodeJournal(const Journal& journal);
// False for a value that is damaged in any way; journal is then empty.
bool DecodeJournal(const RegValue& value, Journal& journal);

// The journal of the settings key; a record of an earlier version (the
// user's values kept once, with a marker) is taken over into it. A journal
// that cannot be decoded reads as empty; false when it cannot be read.
bool LoadJournal(WallpaperStore& store, Journal& journal);
// An empty journal deletes the value.
bool SaveJournal(WallpaperStore& store, const Journal& journal);

enum class MonitorAccess { Never, NotNow, Yes };

// The places as the system shows them: the Windows side asks the desktop
// wallpaper object and the registry; tests stand in for it.
class WallpaperPlaces {
public:
    virtual ~WallpaperPlaces() = default;
    // The current virtual desktop where each keeps its own picture (Windows
    // 11), else empty.
    virtual WideText CurrentDesktop() = 0;
    // The virtual desktops that keep a picture of their own.
    virtual std::vector<WideText> Desktops() = 0;
    // A virtual desktop's stored picture, read or written.
    virtual bool DesktopStores(const WideText& desktop, WideText& path) = 0;
    virtual bool StoreForDesktop(const WideText& desktop, const WideText& path) = 0;
    // Whether the monitors can be asked: never for another account's desktop
    // (what their entries hold is then given up), not now while the desktop
    // wallpaper object cannot be had (the entries wait for the next replay).
    virtual MonitorAccess Monitors() = 0;
    // What a monitor of the current desktop shows; false when that cannot be
    // told now (no object, the monitor unknown).
    virtual bool MonitorShows(const WideText& monitor, WideText& path) = 0;
    virtual bool ShowOnMonitor(const WideText& monitor, const WideText& path) = 0;
    // Every monitor without a picture: the background colour alone. Windows
    // has no picture-less monitor beside monitors with pictures.
    virtual bool ShowNoPicture() = 0;
    virtual bool SetLook(std::uint32_t position, std::uint32_t background) = 0;
    // The one wallpaper handed to the system (its values are written).
    virtual void ShowSingle(const WideText& path) = 0;
    // The file exists and is no folder.
    virtual bool Usable(const WideText& path) = 0;
    // Some place (a monitor, a desktop's stored picture, the desktop key)
    // names path.
    virtual bool Named(const WideText& path) = 0;
    virtual void DeleteCopy(const WideText& path) = 0;
};

// Puts back every place of the journal that still shows ours and drops the
// entries whose places show the user's pictures. Restored when something
// went back, UserChangedIt when every place had a newer picture of the
// user's, Failed when a place showing ours could not be given its picture
// (its entry stays for the next replay).
RestoreResult ReplayJournal(WallpaperStore& store, WallpaperPlaces& places);

// What the renewal does at a place once it is noted.
enum class NoteResult {
    Go,         // the entry holds: ours may go there
    UserChose,  // the place shows a picture the user chose after ours: it stays
};

// Makes a copy of a place's picture in our folder; empty when there is none.
using CopyPicture = std::function<WideText(const WideText& path)>;

// Notes a monitor of the current desktop before ours goes there. shown is
// what it shows now (read inside the set's gate); weShowedOurs: this run put
// ours there. A place without an entry that shows ours already takes over
// the entry of a monitor of the same model that is not attached now (the
// same monitor under another device path), else a guess: the desktop key's
// picture. attached: the device paths of the monitors attached now.
NoteResult NoteMonitor(Journal& journal, const WideText& desktop, const WideText& monitor,
                       const WideText& shown, bool weShowedOurs, const std::vector<WideText>& attached,
                       const CopyPicture& copy, std::vector<WideText>& unused);
// Notes the desktop key's three values (kDesktopValues) before ours goes
// there; copyShown copies the picture the desktop shows.
NoteResult NoteDesktop(Journal& journal, const RegValue (&values)[3], bool weShowedOurs,
                       const std::function<WideText()>& copyShown, std::vector<WideText>& unused);
// Notes a virtual desktop's stored picture, once.
void NoteVirtualDesktop(Journal& journal, const WideText& desktop, const WideText& stored);
// Notes the position and background colour, once.
void NoteLook(Journal& journal, std::uint32_t position, std::uint32_t background);

// The model part of a monitor's device path ("\\?\DISPLAY#GSM5B08#...":
// "GSM5B08"); empty when it has none.
WideText MonitorModel(const WideText& id);

// The index NNN of the TranscodedImageCache_NNN value (of 64) whose bytes
// name path: its Transcoded_NNN is the system's copy of that picture. -1
// when none does.
int TranscodedIndexFor(WallpaperStore& store, const WideText& path);

// The 16 bytes of a virtual desktop's id as its key is named:
// "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}"; empty for another length.
WideText DesktopIdText(const std::vector<std::uint8_t>& bytes);

}  // namespace uv
