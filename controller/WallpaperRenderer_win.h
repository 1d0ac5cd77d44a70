// Renders the picture the desktop host would show and writes it as the
// wallpaper file.
#pragma once

#include <ctime>
#include <memory>
#include <string>
#include <vector>

#include "controller/DesktopLink.h"
#include "controller/PictureRoute.h"
#include "controller/WallpaperFile.h"
#include "controller/WallpaperPlacement.h"

namespace uv {

// What one renewal needs, taken on the control panel's thread.
struct WallpaperJob {
    std::vector<SettingsPost> burst;   // every setting, as the desktop host receives them
    std::time_t time = 0;
    ScreenLayout screen;
    WallpaperPlacement placement;
    WallpaperFiles files;
};

// Keeps its bitmaps from one picture to the next; one thread at a time.
class WallpaperRenderer {
public:
    explicit WallpaperRenderer(const std::string& resourceLibrary);
    ~WallpaperRenderer();
    WallpaperRenderer(const WallpaperRenderer&) = delete;
    WallpaperRenderer& operator=(const WallpaperRenderer&) = delete;

    // Shown when the file is written; the wallpaper is not set here.
    WallpaperResult Render(const WallpaperJob& job);

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace uv
