// How one picture of the virtual screen is laid over several monitors: the
// wallpaper registry strings and how far the picture is rotated first.
#pragma once

namespace uv {

// The virtual screen in coordinates whose origin is the primary monitor's
// top-left corner.
struct ScreenLayout {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    int monitors = 1;
};

// The wallpaper registry strings for a picture of exactly the virtual
// screen's size, and how far the picture is to be rotated (right, down) so
// that a tiling that starts at the primary monitor's corner shows every part
// at its place.
struct WallpaperPlacement {
    const char* style = "0";  // WallpaperStyle
    const char* tile = "0";   // TileWallpaper
    int shiftX = 0;
    int shiftY = 0;
};

// ntMajor.ntMinor is the system's version: from 6.2 on the system spans one
// picture over all monitors by itself; before that the picture is tiled.
WallpaperPlacement PlaceWallpaper(const ScreenLayout& screen, unsigned ntMajor, unsigned ntMinor);

// Windows only: the screen and its placement on the running system.
ScreenLayout CurrentScreenLayout();
WallpaperPlacement CurrentWallpaperPlacement(const ScreenLayout& screen);

}  // namespace uv
