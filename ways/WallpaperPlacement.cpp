#include "ways/WallpaperPlacement.h"

namespace uv {

namespace {

// Positive remainder: where a coordinate lands in a picture of size n.
int Wrap(int v, int n) {
    if (n <= 0) return 0;
    const int r = v % n;
    return r < 0 ? r + n : r;
}

}  // namespace

WallpaperPlacement PlaceWallpaper(const ScreenLayout& screen, unsigned ntMajor, unsigned ntMinor) {
    WallpaperPlacement p;  // one monitor: centred, and the picture fills it exactly
    if (screen.monitors <= 1) return p;
    if (ntMajor > 6 || (ntMajor == 6 && ntMinor >= 2)) {
        p.style = "22";  // span
        return p;
    }
    // Earlier systems centre or stretch a picture on each monitor alone, but
    // tile it across all of them from the primary monitor's corner.
    p.tile = "1";
    p.shiftX = Wrap(screen.left, screen.width);
    p.shiftY = Wrap(screen.top, screen.height);
    return p;
}

}  // namespace uv
