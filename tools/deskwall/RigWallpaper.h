// What the test rig's wallpaper object keeps, shared by the object (in the
// program under test) and the stand-in desktop that paints it: one registry
// key of the current user, so that every process sees the same state and a
// test can set or read it with "reg".
#pragma once

#include <windows.h>

namespace deskwall {

// Under HKEY_CURRENT_USER.
constexpr wchar_t kRigKey[] = L"Software\\UvTestRig\\DesktopWallpaper";
// "monitor N" (REG_SZ): the picture of the Nth monitor of EnumDisplayMonitors;
// "position" (DWORD, DESKTOP_WALLPAPER_POSITION), "background" (DWORD,
// COLORREF), "slideshow" (REG_SZ, a folder: the desktop then reports a
// slideshow), "set count" (DWORD: how many pictures were set).
constexpr wchar_t kPosition[] = L"position";
constexpr wchar_t kBackground[] = L"background";
constexpr wchar_t kSlideshow[] = L"slideshow";
constexpr wchar_t kSetCount[] = L"set count";
constexpr int kMaxMonitors = 8;
// The two positions the desktop tells apart from a stretch.
constexpr DWORD kCentre = 0;
constexpr DWORD kTile = 1;

inline void MonitorValueName(int index, wchar_t (&name)[16]) { wsprintfW(name, L"monitor %d", index); }

// The monitors in the system's enumeration order.
struct Monitors {
    int count = 0;
    RECT rect[kMaxMonitors] = {};
};

inline BOOL CALLBACK AddMonitor(HMONITOR monitor, HDC, LPRECT, LPARAM data) {
    Monitors& m = *reinterpret_cast<Monitors*>(data);
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (m.count < kMaxMonitors && GetMonitorInfoW(monitor, &info)) m.rect[m.count++] = info.rcMonitor;
    return TRUE;
}

inline Monitors EnumMonitors() {
    Monitors m;
    EnumDisplayMonitors(nullptr, nullptr, AddMonitor, reinterpret_cast<LPARAM>(&m));
    return m;
}

}  // namespace deskwall
