// The map as every monitor's own wallpaper, through the desktop wallpaper
// object of Windows 8 and later: each monitor gets its part of the one map
// over all monitors, rendered at its size in physical pixels and at its
// DPI. Used on the wallpaper thread.
#pragma once

#include <windows.h>

#include <map>
#include <vector>

#include "ways/MonitorWallpaper_win.h"
#include "ways/UserWallpaper.h"
#include "ways/WallpaperRenderer_win.h"

namespace uv {

class MonitorPictures {
public:
    // object must outlive this.
    explicit MonitorPictures(DesktopWallpaperObject& object) : object_(object) {}

    // Writes the user's per-monitor pictures, position and background into
    // the settings key (before the marker of the keep). False when the
    // object could not tell them.
    bool Keep(WallpaperStore& store);

    // Renders, writes and shows the picture of every monitor whose picture
    // changed; the showing passes the gate. UserChose when a monitor shows a
    // picture that is not ours after ours was shown there. False (result
    // untouched) when the gate was closed: the mode has stopped.
    bool Renew(WallpaperRenderer& renderer, WallpaperJob& job, const std::vector<MonitorArea>& monitors,
               SetGate& gate, HANDLE stop, WallpaperResult& result);

private:
    struct Shown {
        std::uint64_t hash = 0;
        WideText picture;
    };
    struct Change {
        WideText id;
        WideText picture;
        std::uint64_t hash;
    };

    DesktopWallpaperObject& object_;
    std::map<WideText, Shown> last_;  // by monitor id: what we showed there
    bool positioned_ = false;
    SelectedBitmap piece_;
};

}  // namespace uv
