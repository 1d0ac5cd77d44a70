#include "ways/WallpaperPlacement.h"

#include "common/WindowsVersion_win.h"

namespace uv {

ScreenLayout CurrentScreenLayout() {
    ScreenLayout s;
    s.left = GetSystemMetrics(SM_XVIRTUALSCREEN);
    s.top = GetSystemMetrics(SM_YVIRTUALSCREEN);
    s.width = GetSystemMetrics(SM_CXVIRTUALSCREEN);
    s.height = GetSystemMetrics(SM_CYVIRTUALSCREEN);
    s.monitors = GetSystemMetrics(SM_CMONITORS);
    if (s.width <= 0 || s.height <= 0) {
        s = ScreenLayout();
        s.width = GetSystemMetrics(SM_CXSCREEN);
        s.height = GetSystemMetrics(SM_CYSCREEN);
    }
    return s;
}

WallpaperPlacement CurrentWallpaperPlacement(const ScreenLayout& screen) {
    OSVERSIONINFOA v;
    if (!ReportedWindowsVersion(v)) v.dwMajorVersion = v.dwMinorVersion = 0;
    return PlaceWallpaper(screen, v.dwMajorVersion, v.dwMinorVersion);
}

}  // namespace uv
