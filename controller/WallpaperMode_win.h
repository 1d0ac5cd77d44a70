// The wallpaper mode: the user's wallpaper kept before the first change and
// put back at the end; renewals rendered and set on a below-normal-priority
// thread, the latest request winning, so the control panel never waits.
#pragma once

#include <windows.h>

#include <ctime>
#include <string>
#include <vector>

#include "controller/DesktopLink.h"
#include "controller/PictureRoute.h"
#include "controller/WallpaperFile.h"

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

    // Returns a failure met before the thread has the job, else Pending.
    WallpaperResult Renew(std::vector<SettingsPost> burst, std::time_t time);
    // Ends the thread (bounded wait) so that no picture is set any more.
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
