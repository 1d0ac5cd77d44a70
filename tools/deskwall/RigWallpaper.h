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
// "id N" (REG_SZ): that monitor's device path when it was attached again
// under another one; "position" (DWORD, DESKTOP_WALLPAPER_POSITION),
// "background" (DWORD, COLORREF), "slideshow" (REG_SZ, a folder: the desktop
// then reports a slideshow), "set count" (DWORD: how many pictures were set).
constexpr wchar_t kPosition[] = L"position";
constexpr wchar_t kBackground[] = L"background";
constexpr wchar_t kSlideshow[] = L"slideshow";
constexpr wchar_t kSetCount[] = L"set count";
// DWORD: how many of the monitors the object knows (default all of them); a
// monitor past that count is not attached yet.
constexpr wchar_t kKnownMonitors[] = L"monitors";
// DWORD bit mask: known monitors detached now (their rectangle is empty).
constexpr wchar_t kDetached[] = L"detached";
// DWORD: every SetWallpaper fails as while the shell ends (RPC server gone).
constexpr wchar_t kFailSet[] = L"fail set";
// DWORD: the object cannot be created, as without a running shell.
constexpr wchar_t kNoObject[] = L"no object";
// DWORD: the shell's generation; an object made in an earlier one answers
// nothing any more, as after the shell was restarted.
constexpr wchar_t kGeneration[] = L"generation";
// DWORD: "solid colour": no monitor has a picture, and GetWallpaper fails
// with ERROR_FILE_NOT_FOUND as Windows 11's does. An empty picture set on
// any monitor switches the whole background to it; a picture ends it.
constexpr wchar_t kSolid[] = L"solid";
constexpr int kMaxMonitors = 8;
// The two positions the desktop tells apart from a stretch.
constexpr DWORD kCentre = 0;
constexpr DWORD kTile = 1;

inline void MonitorValueName(int index, wchar_t (&name)[16]) { wsprintfW(name, L"monitor %d", index); }

// Windows 11 keeps a wallpaper per virtual desktop: the current desktop's id
// (16 bytes) in CurrentVirtualDesktop of this key, each desktop's picture in
// Desktops\{id}\Wallpaper. The rig's desktops have the ids kDesktopGuid(n).
constexpr wchar_t kVirtualDesktopsKey[] =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\VirtualDesktops";
inline GUID DesktopGuid(int n) {
    return GUID{0x5eed0000u + static_cast<DWORD>(n), 0x0000, 0x4000, {0x80, 0, 0, 0, 0, 0, 0, 0x01}};
}
inline void DesktopKeyName(const GUID& g, wchar_t (&name)[64]) {
    wsprintfW(name, L"Desktops\\{%08lX-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}", g.Data1, g.Data2,
              g.Data3, g.Data4[0], g.Data4[1], g.Data4[2], g.Data4[3], g.Data4[4], g.Data4[5], g.Data4[6],
              g.Data4[7]);
}
// The current virtual desktop, or false where none is named.
inline bool CurrentDesktop(GUID& g) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, kVirtualDesktopsKey, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    DWORD type = 0, size = sizeof g;
    const bool ok = RegQueryValueExW(key, L"CurrentVirtualDesktop", nullptr, &type,
                                     reinterpret_cast<BYTE*>(&g), &size) == ERROR_SUCCESS &&
                    type == REG_BINARY && size == sizeof g;
    RegCloseKey(key);
    return ok;
}
// A string value of HKEY_CURRENT_USER\path (empty when missing); written when value is given.
inline void UserString(const wchar_t* path, const wchar_t* name, wchar_t* out, DWORD chars,
                       const wchar_t* value = nullptr) {
    HKEY key = nullptr;
    if (out) out[0] = 0;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, path, 0, nullptr, 0, KEY_READ | KEY_WRITE, nullptr, &key,
                        nullptr) != ERROR_SUCCESS)
        return;
    if (value) {
        RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value),
                       static_cast<DWORD>((lstrlenW(value) + 1) * sizeof(wchar_t)));
    } else if (out) {
        DWORD type = 0, size = (chars - 1) * sizeof(wchar_t);
        if (RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(out), &size) ==
                ERROR_SUCCESS &&
            type == REG_SZ)
            out[size / sizeof(wchar_t)] = 0;
        else
            out[0] = 0;
    }
    RegCloseKey(key);
}
// The stored wallpaper of a virtual desktop, read or (value given) written.
inline void DesktopWallpaper(const GUID& g, wchar_t* out, DWORD chars, const wchar_t* value = nullptr) {
    wchar_t path[MAX_PATH], desktop[64];
    DesktopKeyName(g, desktop);
    wsprintfW(path, L"%s\\%s", kVirtualDesktopsKey, desktop);
    UserString(path, L"Wallpaper", out, chars, value);
}

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
