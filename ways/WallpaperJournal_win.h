// The journal of places on Windows: the places as the desktop wallpaper
// object and the registry show them, the copies of the user's pictures, and
// the turn that keeps a replay and a renewal from changing the journal at
// once.
#pragma once

#include <windows.h>

#include <vector>

#include "ways/MonitorWallpaper_win.h"
#include "ways/WallpaperFile.h"
#include "ways/WallpaperJournal.h"

namespace uv {

// Explorer's key of the virtual desktops under a user's root.
constexpr char kVirtualDesktopsKey[] =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\VirtualDesktops";

// The current virtual desktop where each keeps its own picture (Windows 11
// names it in kVirtualDesktopsKey), else empty.
WideText CurrentVirtualDesktop(HKEY root);

// The places of the user of root. object: the desktop wallpaper object of
// this session (null where it cannot be had); show: root is the user of
// this session, whose monitors and desktop are asked and told; another
// user's places are only the registry's.
class SystemPlaces : public WallpaperPlaces {
public:
    SystemPlaces(HKEY root, DesktopWallpaperObject* object, bool show)
        : root_(root), object_(object), show_(show) {}
    WideText CurrentDesktop() override { return CurrentVirtualDesktop(root_); }
    std::vector<WideText> Desktops() override;
    bool DesktopStores(const WideText& desktop, WideText& path) override;
    bool StoreForDesktop(const WideText& desktop, const WideText& path) override;
    MonitorAccess Monitors() override;
    bool MonitorShows(const WideText& monitor, WideText& path) override;
    bool ShowOnMonitor(const WideText& monitor, const WideText& path) override;
    bool ShowNoPicture() override;
    bool SetLook(std::uint32_t position, std::uint32_t background) override;
    void ShowSingle(const WideText& path) override;
    bool Usable(const WideText& path) override;
    bool Named(const WideText& path) override;
    void DeleteCopy(const WideText& path) override;

private:
    bool Answers() const { return show_ && object_ && *object_; }
    HKEY root_;
    DesktopWallpaperObject* object_;
    bool show_;
};

// While held, no other thread of the process changes the journal. Waits at
// most limitMs; false (not held) when that passed.
class JournalTurn {
public:
    explicit JournalTurn(DWORD limitMs);
    ~JournalTurn();
    JournalTurn(const JournalTurn&) = delete;
    JournalTurn& operator=(const JournalTurn&) = delete;
    explicit operator bool() const { return held_; }

private:
    bool held_ = false;
};

// Copies the picture a monitor shows into the folder before ours replaces
// it: the system's own copy of it (Themes\Transcoded_NNN, which ours will
// overwrite) where there is one, else the picture itself when it lies on a
// fixed drive (one that cannot stall on a network). The copy's path, or
// empty.
WideText CopyMonitorPicture(const WallpaperFiles& files, WallpaperStore& store, const WideText& shown);

// What the uninstall may not delete of the picture folder of root's user: a
// file some place names, or any picture of ours while the journal still
// holds places it could not see (their monitors may show it).
class KeptPictures {
public:
    explicit KeptPictures(HKEY root);
    bool Keeps(const WideText& path);

private:
    HKEY root_;
    bool pending_ = false;
    ComApartment com_;
    DesktopWallpaperObject object_;  // released before the apartment ends
};

// Waits for handle (or, without one, only lets limitMs pass) while running
// the messages other threads send to this one: a wallpaper change
// broadcasts to every top-level window, this thread's among them.
bool WaitRunningSentMessages(HANDLE handle, DWORD limitMs);

}  // namespace uv
