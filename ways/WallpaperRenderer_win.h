// Renders the picture the desktop host would show, for the wallpaper.
#pragma once

#include <windows.h>

#include <cstdint>
#include <ctime>
#include <memory>
#include <string>
#include <vector>

#include "common/SelectedBitmap_win.h"
#include "settings/Burst.h"
#include "ways/PictureRoute.h"
#include "common/WideText.h"
#include "ways/WallpaperFile.h"
#include "ways/WallpaperPlacement.h"

namespace uv {

// What one renewal needs: the settings and the time from the control
// panel's thread; the screen, the placement and the file from the
// wallpaper thread.
struct WallpaperJob {
    std::vector<SettingsPost> burst;  // every setting, as the desktop host receives them
    std::time_t time = 0;
    bool forced = false;  // asked for on the Misc page, not chosen by this program
    unsigned dpi = 96;    // of the screen the picture is for
    WallpaperFiles files;
    ScreenLayout screen;
    WallpaperPlacement placement;
    WideText picture;        // the file written, to be shown
    bool writeStyle = true;  // the placement values changed since the last change
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

// Keeps its bitmaps from one picture to the next; one thread at a time.
class WallpaperRenderer {
public:
    explicit WallpaperRenderer(const WideText& resourceLibrary);
    ~WallpaperRenderer();
    WallpaperRenderer(const WallpaperRenderer&) = delete;
    WallpaperRenderer& operator=(const WallpaperRenderer&) = delete;

    // Shown when the picture is rendered (job's screen, placement and DPI);
    // nothing is written here.
    WallpaperResult Render(const WallpaperJob& job);
    // The last picture rendered; null before the first.
    const SelectedBitmap* Rendered() const;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

// A picture's bytes hashed, headers included: an unchanged picture is not
// written or shown again.
std::uint64_t HashPicture(const SelectedBitmap& picture);
// Writes a picture to path, making the picture's folder again if it was
// deleted; see WritePicture.
WallpaperResult WritePictureFile(const WallpaperFiles& files, const WideText& path,
                                 const SelectedBitmap& picture, HANDLE stop);

}  // namespace uv
