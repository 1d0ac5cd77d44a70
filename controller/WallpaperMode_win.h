// The controller's wallpaper mode: the user's wallpaper kept before the first
// change and put back at the end, renewals rendered and set on a
// below-normal-priority thread, the latest request winning; the control panel
// never waits for one.
#pragma once

#include <windows.h>

#include <ctime>
#include <string>
#include <vector>

#include "controller/DesktopLink.h"
#include "controller/WallpaperFile.h"
#include "controller/PictureRoute.h"

namespace uv {

// Posted to the owner window when a renewal has ended; wParam is the
// WallpaperResult.
constexpr UINT kWallpaperDoneMessage = WM_APP + 0x21;

class WallpaperMode {
public:
    // Done messages go to owner; root holds the settings and desktop keys.
    WallpaperMode(HWND owner, HKEY root, std::string resourceLibrary);
    ~WallpaperMode();
    WallpaperMode(const WallpaperMode&) = delete;
    WallpaperMode& operator=(const WallpaperMode&) = delete;

    // Keeps the user's wallpaper the first time, then hands the renewal to
    // the thread. Returns a failure met on the way, else Pending.
    WallpaperResult Renew(std::vector<SettingsPost> burst, std::time_t time);
    // Ends the thread (bounded wait) so that no picture is set any more,
    // then puts the user's wallpaper back.
    void Stop();

private:
    struct Worker;
    bool StartWorker();

    HWND owner_;
    HKEY root_;
    std::string library_;
    WallpaperFiles files_;
    bool kept_ = false;
    Worker* worker_ = nullptr;   // left alone if its thread outlives the wait at Stop
};

}  // namespace uv
