// The wallpaper mode: the user's wallpaper kept before the first change and
// put back at the end; renewals rendered and set on a below-normal-priority
// thread, the latest request winning, so the control panel never waits.
#pragma once

#include <windows.h>

#include <ctime>
#include <string>
#include <vector>

#include "settings/Burst.h"
#include "ways/PictureRoute.h"
#include "ways/UserWallpaper.h"
#include "ways/WallpaperFile.h"

namespace uv {

// Posted to the owner window when a renewal has ended; wParam is the
// WallpaperResult.
constexpr UINT kWallpaperDoneMessage = WM_APP + 0x21;

// Makes a written picture the wallpaper (SetOurWallpaper; tests slow it down).
using WallpaperSetter = bool (*)(HKEY root, const WideText& picture, const WallpaperPlacement& placement,
                                 bool writeStyle);

struct WallpaperModeOptions {
    // How long a quit waits for a change of the wallpaper under way, and
    // then for the renewal thread to end.
    DWORD stopLimitMs = 20000;
    WallpaperSetter set = nullptr;  // SetOurWallpaper
};

class WallpaperMode {
public:
    // Done messages go to owner; root holds the settings and desktop keys.
    WallpaperMode(HWND owner, HKEY root, WideText resourceLibrary,
                  WallpaperModeOptions options = WallpaperModeOptions());
    ~WallpaperMode();
    WallpaperMode(const WallpaperMode&) = delete;
    WallpaperMode& operator=(const WallpaperMode&) = delete;

    // Hands the renewal to the thread, which keeps the user's wallpaper
    // before it changes it the first time. forced: the map was asked for on
    // the Misc page, so it is shown even over what cannot be brought back (a
    // slideshow). Returns a failure met before the thread has the job, else
    // Pending.
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
    WideText library_;
    WallpaperModeOptions options_;
    Worker* worker_ = nullptr;  // left alone if its thread outlives the wait at Stop
};

}  // namespace uv
