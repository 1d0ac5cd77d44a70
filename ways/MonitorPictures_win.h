// The map as every monitor's own wallpaper, through the desktop wallpaper
// object of Windows 8 and later: each monitor gets its part of the one map
// over all monitors, rendered at its size in physical pixels and at its
// DPI. Used on the wallpaper thread.
#pragma once

#include <windows.h>

#include <map>
#include <vector>

#include "ways/MonitorWallpaper_win.h"
#include "ways/WallpaperRenderer_win.h"

namespace uv {

class MonitorPictures {
public:
    // object must outlive this; root holds the settings and desktop keys.
    MonitorPictures(DesktopWallpaperObject& object, HKEY root) : object_(object), root_(root) {}

    // Renders, writes and shows the picture of every monitor whose picture
    // changed. Inside the gate, just before the pictures are set, each
    // monitor is read again and noted in the journal of places. UserChose
    // when a monitor shows a picture that is not ours after ours was shown
    // there; NotKept when the journal cannot be written (nothing is set).
    // False (result untouched) when the gate was closed: the mode has stopped.
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

    // Notes the places inside the gate; Shown when the changes may be set.
    WallpaperResult Note(const WallpaperJob& job, const WideText& desktop,
                         const std::vector<MonitorArea>& monitors, std::vector<Change>& changes);

    DesktopWallpaperObject& object_;
    HKEY root_;
    // By virtual desktop and monitor: what we showed there.
    std::map<WideText, Shown> last_;
    bool positioned_ = false;
    SelectedBitmap piece_;
};

}  // namespace uv
