// The wallpaper mode on Windows: the user's wallpaper kept in and put back
// from the registry, the picture rendered, written as a BMP file and made the
// desktop wallpaper on a thread of its own.
#pragma once

#include <windows.h>

#include <ctime>
#include <memory>
#include <string>
#include <vector>

#include "common/SelectedBitmap_win.h"
#include "common/WinHandles.h"
#include "controller/DesktopLink.h"
#include "controller/Wallpaper.h"

namespace uv {

// Posted to the owner window when a renewal has ended; wParam is the
// WallpaperResult.
constexpr UINT kWallpaperDoneMessage = WM_APP + 0x21;

// True for a 32-bit program on 64-bit Windows. IsWow64Process is looked up
// at run time: not every supported system has it.
bool RunningOnWow64();

// The desktop key (Control Panel\Desktop) and the product key under root.
class RegistryWallpaperStore : public WallpaperStore {
public:
    explicit RegistryWallpaperStore(HKEY root);
    bool Read(WallpaperKey key, const char* name, RegValue& value) override;
    bool Write(WallpaperKey key, const char* name, const RegValue& value) override;

private:
    HKEY Key(WallpaperKey key) const { return key == WallpaperKey::Desktop ? desktop_.get() : product_.get(); }
    UniqueRegKey desktop_;
    UniqueRegKey product_;
};

// Hands path to the system as the wallpaper without writing the registry.
// A path that is empty, too long or refused (the file is gone) leaves the
// desktop without a picture; the registry keeps whatever it names.
void ShowWallpaperNow(const WideText& path);

// Puts back the user's wallpaper that a run of the program kept, when the
// desktop still shows the program's picture (after a quit that did not
// happen: the program was killed or crashed). show: root is the user of
// this session, whose desktop is told; another user's values are only
// written back.
RestoreResult RestoreKeptWallpaper(HKEY root, bool show = true);

// The value in the settings key that names the picture's folder, kept until
// the program is uninstalled, which removes the folder with it.
constexpr char kPictureFolderValue[] = "picture folder";

ScreenLayout CurrentScreenLayout();
WallpaperPlacement CurrentWallpaperPlacement(const ScreenLayout& screen);

// The picture's folder under the local application-data folder, else the
// roaming one, created when missing; false when neither can be made.
bool PrepareWallpaperFiles(WallpaperFiles& files);

// True while a policy of the organisation sets the user's wallpaper: it wins
// over any wallpaper a program sets, though the system takes that without
// complaint.
bool PolicySetsWallpaper(HKEY root);

// What one renewal needs: the settings and the time from the control
// panel's thread; the screen, the placement and the file from the
// wallpaper thread.
struct WallpaperJob {
    std::vector<SettingsPost> burst;   // every setting, as the desktop host receives them
    std::time_t time = 0;
    bool forced = false;               // asked for on the Misc page, not chosen by this program
    unsigned dpi = 96;                 // of the screen the picture is for
    WallpaperFiles files;
    ScreenLayout screen;
    WallpaperPlacement placement;
    WideText picture;          // the file written, to be shown
    bool writeStyle = true;    // the placement values changed since the last change
};

// The permission to change the wallpaper: once the mode stops, the user's
// wallpaper is going back, and no picture of ours may follow it.
class SetGate {
public:
    virtual ~SetGate() = default;
    // False once the mode has stopped; else Leave must follow.
    virtual bool Enter() = 0;
    virtual void Leave() = 0;
};

// A picture's bytes hashed, headers included: an unchanged picture is not
// written or shown again.
std::uint64_t HashPicture(const SelectedBitmap& picture);
// Writes a picture to path, making the picture's folder again if it was
// deleted. A file another program holds open is tried again for a few
// seconds, unless stop is signalled meanwhile.
WallpaperResult WritePictureFile(const WallpaperFiles& files, const WideText& path, const SelectedBitmap& picture,
                                 HANDLE stop);

// Renders a job's picture and writes it to a file. Keeps its bitmaps from
// one picture to the next. Used on one thread at a time.
class WallpaperRenderer {
public:
    explicit WallpaperRenderer(const std::string& resourceLibrary);
    ~WallpaperRenderer();
    WallpaperRenderer(const WallpaperRenderer&) = delete;
    WallpaperRenderer& operator=(const WallpaperRenderer&) = delete;

    // Shown when the picture is rendered; nothing is written here.
    WallpaperResult Render(const WallpaperJob& job);
    // The last picture rendered; null before the first.
    const SelectedBitmap* Rendered() const;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

// Makes the written picture the wallpaper: registry values (the placement
// only when it changed), then the system.
WallpaperResult SetOurWallpaper(HKEY root, const WallpaperJob& job);

// Makes a written picture the wallpaper (SetOurWallpaper; tests slow it down).
using WallpaperSetter = WallpaperResult (*)(HKEY root, const WallpaperJob& job);

struct WallpaperModeOptions {
    // How long a quit waits for a change of the wallpaper under way, and
    // then for the renewal thread to end.
    DWORD stopLimitMs = 20000;
    WallpaperSetter set = &SetOurWallpaper;
};

// The controller's wallpaper mode: renewals on a below-normal-priority
// thread, the latest request winning; the control panel never waits for one.
class WallpaperMode {
public:
    // Done messages go to owner; root holds the settings and desktop keys.
    WallpaperMode(HWND owner, HKEY root, std::string resourceLibrary,
                  WallpaperModeOptions options = WallpaperModeOptions());
    ~WallpaperMode();
    WallpaperMode(const WallpaperMode&) = delete;
    WallpaperMode& operator=(const WallpaperMode&) = delete;

    // Hands the renewal to the thread, which keeps the user's wallpaper
    // before it changes it the first time. Returns a failure met on the
    // way, else Pending.
    // forced: the map was asked for on the Misc page, so it is shown even
    // over what cannot be brought back (a slideshow).
    WallpaperResult Renew(std::vector<SettingsPost> burst, std::time_t time, bool forced = false);
    // Lets a change of the wallpaper under way finish and lets none start
    // after it, then puts the user's wallpaper back. A quit also waits for
    // the thread to end; at the end of the session there is no time for
    // that, and no change can follow anyway. A change that outlives the
    // limit could land after a restore: the kept copy is then left for the
    // next start, which puts it back. True when the user's wallpaper went
    // back (or none was kept).
    enum class StopKind { Quit, SessionEnd };
    bool Stop(StopKind kind = StopKind::Quit);

private:
    struct Worker;
    bool StartWorker();

    HWND owner_;
    HKEY root_;
    std::string library_;
    WallpaperModeOptions options_;
    Worker* worker_ = nullptr;   // left alone if its thread outlives the wait at Stop
};

}  // namespace uv
