// A stand-in for the desktop shell: a screen-sized top-level window "Progman"
// titled "Program Manager", its child "SHELLDLL_DefView" and in that a
// comctl32 list view "FolderView" with a few icons, all on one thread with
// an ordinary message loop. It stays at the bottom of the z-order and is
// never activated over other windows.
//
// Like the real shell it paints the wallpaper the registry names
// (HKCU\Control Panel\Desktop: Wallpaper, WallpaperStyle, TileWallpaper)
// behind the icons, read at start and again whenever the wallpaper setting
// changes; without one it shows its own background colour. Its windows cover
// the virtual screen, all monitors together, and a tiled wallpaper starts at
// the primary monitor's top-left corner, as the real shell's do. When the
// test rig's wallpaper object (tools/deskwall) has given monitors pictures
// of their own, each monitor shows its own picture, placed as the rig's
// position says, on the rig's background colour. Arranged as a later shell,
// it also keeps the later shells' own copy of the picture it shows
// (Themes\TranscodedWallpaper of the roaming application data), which every
// change of the wallpaper overwrites.
//
//   deskshell                    run the desktop; prints "ready W H" (the virtual
//                                screen's size) when it is up
//   deskshell later              the same as a later shell arranges it: the
//                                list view lives in a top-level "WorkerW",
//                                so Progman has no "SHELLDLL_DefView" child
//   deskshell query NAME [A B]   ask the running desktop (see DeskQuery.h) and
//                                print the answer; exit code 2 without one
//   deskshell deaf N             N top-level windows that take messages but do
//                                not answer WM_SETTINGCHANGE for two minutes;
//                                prints "ready N"
#include <windows.h>
#include <commctrl.h>
#include <shlobj.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "tools/deskshell/DeskQuery.h"
#include "tools/deskwall/RigWallpaper.h"

namespace {

// The desktop's own background, so a desktop without the map is easy to tell.
constexpr COLORREF kDesktopColor = RGB(58, 110, 165);

struct Wallpaper {
    HBITMAP bitmap = nullptr;
    int width = 0;
    int height = 0;
    bool tile = false;
    bool stretch = false;  // any style but centred
};

// A monitor's own picture, set through the rig's wallpaper object.
struct MonitorPicture {
    HBITMAP bitmap = nullptr;
    int width = 0;
    int height = 0;
    RECT rect = {};  // the monitor, in virtual-screen coordinates
};

struct RigState {
    bool active = false;  // some monitor has a picture of its own
    int monitors = 0;
    MonitorPicture picture[deskwall::kMaxMonitors];
    DWORD position = 0;
    COLORREF background = 0;
};

struct Shell {
    HWND desktop = nullptr;
    HWND worker = nullptr;  // the later layout's parent of the view
    HWND view = nullptr;
    HWND listView = nullptr;
    WNDPROC listViewProcedure = nullptr;
    LONG_PTR ownProcedure = 0;
    HIMAGELIST images = nullptr;
    Wallpaper wallpaper;
    RigState rig;
    POINT origin = {};  // the virtual screen's top-left corner
    bool later = false;
};
Shell g_shell;

void LayOut(int width, int height) {
    const int x = g_shell.origin.x, y = g_shell.origin.y;
    SetWindowPos(g_shell.desktop, HWND_BOTTOM, x, y, width, height, SWP_NOACTIVATE);
    if (g_shell.worker) SetWindowPos(g_shell.worker, HWND_BOTTOM, x, y, width, height, SWP_NOACTIVATE);
    SetWindowPos(g_shell.view, nullptr, 0, 0, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
    SetWindowPos(g_shell.listView, nullptr, 0, 0, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

bool DesktopString(HKEY key, const wchar_t* name, wchar_t* out, DWORD chars) {
    DWORD type = 0, got = (chars - 1) * sizeof(wchar_t);
    out[0] = 0;
    if (RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(out), &got) != ERROR_SUCCESS ||
        (type != REG_SZ && type != REG_EXPAND_SZ))
        return false;
    out[got / sizeof(wchar_t)] = 0;
    return true;
}

// A picture file (wide path, environment strings expanded), or none.
HBITMAP LoadPicture(const wchar_t* path, int& width, int& height) {
    wchar_t expanded[MAX_PATH * 4] = {};
    width = height = 0;
    if (!path[0] || ExpandEnvironmentStringsW(path, expanded, ARRAYSIZE(expanded)) - 1 >= ARRAYSIZE(expanded))
        return nullptr;
    HBITMAP bitmap = static_cast<HBITMAP>(
        LoadImageW(nullptr, expanded, IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION));
    BITMAP info{};
    if (bitmap && GetObjectW(bitmap, sizeof info, &info) == sizeof info) {
        width = info.bmWidth;
        height = info.bmHeight;
        return bitmap;
    }
    if (bitmap) DeleteObject(bitmap);
    return nullptr;
}

// Paths are printed in UTF-8.
void PrintPath(const char* prefix, int width, const wchar_t* path) {
    char utf8[MAX_PATH * 12] = {};
    if (path[0]) WideCharToMultiByte(CP_UTF8, 0, path, -1, utf8, sizeof utf8, nullptr, nullptr);
    std::printf("%s %d %s\n", prefix, width, utf8[0] ? utf8 : "-");
}

// The later shells' folder of their own copies of the pictures they show.
bool ThemesFolder(wchar_t (&folder)[MAX_PATH * 2]) {
    wchar_t appData[MAX_PATH] = {};
    if (SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, appData) != S_OK) return false;
    wsprintfW(folder, L"%s\\Microsoft\\Windows\\Themes", appData);
    SHCreateDirectoryExW(nullptr, folder, nullptr);
    return true;
}

// As Windows 8 and later do: each monitor's picture is copied to
// Themes\Transcoded_NNN, and TranscodedImageCache_NNN of the desktop key
// names the picture it came from (after a header of 24 bytes).
void TranscodeMonitor(int index, const wchar_t* path) {
    wchar_t target[MAX_PATH * 2], expanded[MAX_PATH * 4] = {};
    if (!ThemesFolder(target) ||
        ExpandEnvironmentStringsW(path, expanded, ARRAYSIZE(expanded)) - 1 >= ARRAYSIZE(expanded))
        return;
    wchar_t name[32];
    wsprintfW(name, L"\\Transcoded_%03d", index);
    lstrcatW(target, name);
    if (lstrcmpiW(target, expanded) == 0 || !CopyFileW(expanded, target, FALSE)) return;
    BYTE cache[24 + MAX_PATH * 8] = {};
    const DWORD bytes = static_cast<DWORD>((lstrlenW(path) + 1) * sizeof(wchar_t));
    if (24 + bytes > sizeof cache) return;
    CopyMemory(cache + 24, path, bytes);
    HKEY desktop = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, L"Control Panel\\Desktop", 0, KEY_WRITE, &desktop) != ERROR_SUCCESS)
        return;
    wsprintfW(name, L"TranscodedImageCache_%03d", index);
    RegSetValueExW(desktop, name, 0, REG_BINARY, cache, 24 + bytes);
    RegCloseKey(desktop);
}

DWORD RigDword(HKEY key, const wchar_t* name) {
    DWORD value = 0, size = sizeof value, type = 0;
    if (RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) !=
            ERROR_SUCCESS ||
        type != REG_DWORD)
        return 0;
    return value;
}

void LoadRigPictures() {
    RigState& rig = g_shell.rig;
    for (MonitorPicture& p : rig.picture)
        if (p.bitmap) DeleteObject(p.bitmap);
    rig = RigState();
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, deskwall::kRigKey, 0, KEY_READ, &key) != ERROR_SUCCESS) return;
    const deskwall::Monitors monitors = deskwall::EnumMonitors();
    rig.monitors = monitors.count;
    // Solid colour: the background colour alone on every monitor.
    const bool solid = RigDword(key, deskwall::kSolid) != 0;
    if (solid) {
        rig.active = true;
        std::printf("solid colour\n");
    }
    for (int i = 0; i < monitors.count; ++i) {
        wchar_t name[16], path[MAX_PATH * 4];
        deskwall::MonitorValueName(i, name);
        MonitorPicture& p = rig.picture[i];
        p.rect = monitors.rect[i];
        if (solid || !DesktopString(key, name, path, ARRAYSIZE(path))) continue;
        rig.active = true;
        p.bitmap = LoadPicture(path, p.width, p.height);
        if (p.bitmap && g_shell.later) TranscodeMonitor(i, path);
        char prefix[32];
        std::snprintf(prefix, sizeof prefix, "monitor %d", i);
        PrintPath(prefix, p.width, path);
    }
    DWORD size = sizeof rig.position, type = 0;
    if (RegQueryValueExW(key, deskwall::kPosition, nullptr, &type, reinterpret_cast<BYTE*>(&rig.position),
                         &size) != ERROR_SUCCESS)
        rig.position = 0;
    size = sizeof rig.background;
    if (RegQueryValueExW(key, deskwall::kBackground, nullptr, &type, reinterpret_cast<BYTE*>(&rig.background),
                         &size) != ERROR_SUCCESS)
        rig.background = 0;
    RegCloseKey(key);
}

// As a later shell does: the picture shown is copied to the file the shell
// shows it from afterwards, unless it is that file.
void Transcode(const wchar_t* path) {
    wchar_t folder[MAX_PATH] = {}, expanded[MAX_PATH * 4] = {};
    if (SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, folder) != S_OK ||
        ExpandEnvironmentStringsW(path, expanded, ARRAYSIZE(expanded)) - 1 >= ARRAYSIZE(expanded))
        return;
    wchar_t target[MAX_PATH * 2];
    wsprintfW(target, L"%s\\Microsoft\\Windows\\Themes", folder);
    SHCreateDirectoryExW(nullptr, target, nullptr);
    lstrcatW(target, L"\\TranscodedWallpaper");
    if (lstrcmpiW(target, expanded) != 0) CopyFileW(expanded, target, FALSE);
}

// Reads the wallpaper the registry names; a missing or unreadable file, or
// a value of another type, leaves the desktop's own colour.
void LoadWallpaper() {
    Wallpaper& w = g_shell.wallpaper;
    if (w.bitmap) DeleteObject(w.bitmap);
    w = Wallpaper();
    HKEY key = nullptr;
    wchar_t path[MAX_PATH * 4] = {};
    if (RegOpenKeyExW(HKEY_CURRENT_USER, L"Control Panel\\Desktop", 0, KEY_READ, &key) == ERROR_SUCCESS) {
        wchar_t style[16] = {}, tile[16] = {};
        if (DesktopString(key, L"Wallpaper", path, ARRAYSIZE(path)))
            w.bitmap = LoadPicture(path, w.width, w.height);
        if (w.bitmap && g_shell.later) Transcode(path);
        if (DesktopString(key, L"WallpaperStyle", style, ARRAYSIZE(style))) w.stretch = _wtoi(style) != 0;
        if (DesktopString(key, L"TileWallpaper", tile, ARRAYSIZE(tile))) w.tile = _wtoi(tile) != 0;
        RegCloseKey(key);
    }
    // Every wallpaper the desktop was told of, in order, for the tests.
    PrintPath("wallpaper", w.width, path);
    LoadRigPictures();
    std::fflush(stdout);
    if (g_shell.listView) {
        ListView_SetBkColor(g_shell.listView, w.bitmap || g_shell.rig.active ? CLR_NONE : kDesktopColor);
        RedrawWindow(g_shell.listView, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE);
    }
}

// One monitor's own picture inside its rectangle r of the window.
void PaintMonitor(HDC dc, HDC source, const MonitorPicture& p, const RECT& r, DWORD position,
                  COLORREF background) {
    HBRUSH brush = CreateSolidBrush(background);
    FillRect(dc, &r, brush);
    DeleteObject(brush);
    if (!p.bitmap) return;
    HGDIOBJ old = SelectObject(source, p.bitmap);
    const int saved = SaveDC(dc);
    IntersectClipRect(dc, r.left, r.top, r.right, r.bottom);
    const int cx = r.right - r.left, cy = r.bottom - r.top;
    if (position == deskwall::kCentre) {
        BitBlt(dc, r.left + (cx - p.width) / 2, r.top + (cy - p.height) / 2, p.width, p.height, source, 0, 0,
               SRCCOPY);
    } else if (position == deskwall::kTile) {
        for (int y = r.top; y < r.bottom; y += p.height)
            for (int x = r.left; x < r.right; x += p.width)
                BitBlt(dc, x, y, p.width, p.height, source, 0, 0, SRCCOPY);
    } else {
        SetStretchBltMode(dc, HALFTONE);
        StretchBlt(dc, r.left, r.top, cx, cy, source, 0, 0, p.width, p.height, SRCCOPY);
    }
    RestoreDC(dc, saved);
    SelectObject(source, old);
}

void PaintWallpaper(HWND window, HDC dc) {
    const Wallpaper& w = g_shell.wallpaper;
    RECT r;
    GetClientRect(window, &r);
    HDC source = CreateCompatibleDC(dc);
    if (g_shell.rig.active) {
        const RigState& rig = g_shell.rig;
        for (int i = 0; i < rig.monitors; ++i) {
            RECT m = rig.picture[i].rect;
            OffsetRect(&m, -g_shell.origin.x, -g_shell.origin.y);
            PaintMonitor(dc, source, rig.picture[i], m, rig.position, rig.background);
        }
        DeleteDC(source);
        return;
    }
    HGDIOBJ old = SelectObject(source, w.bitmap);
    if (w.tile) {
        // The primary monitor's corner is at minus the origin in the window.
        const int x0 = -g_shell.origin.x % w.width, y0 = -g_shell.origin.y % w.height;
        for (int y = y0 > 0 ? y0 - w.height : y0; y < r.bottom; y += w.height)
            for (int x = x0 > 0 ? x0 - w.width : x0; x < r.right; x += w.width)
                BitBlt(dc, x, y, w.width, w.height, source, 0, 0, SRCCOPY);
    } else if (w.stretch) {
        SetStretchBltMode(dc, HALFTONE);
        StretchBlt(dc, 0, 0, r.right, r.bottom, source, 0, 0, w.width, w.height, SRCCOPY);
    } else {
        HBRUSH brush = CreateSolidBrush(kDesktopColor);
        FillRect(dc, &r, brush);
        DeleteObject(brush);
        BitBlt(dc, (r.right - w.width) / 2, (r.bottom - w.height) / 2, w.width, w.height, source, 0, 0,
               SRCCOPY);
    }
    SelectObject(source, old);
    DeleteDC(source);
}

// The list view's background is the wallpaper, as on the real desktop.
LRESULT CALLBACK ListViewProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_ERASEBKGND && (g_shell.wallpaper.bitmap || g_shell.rig.active)) {
        PaintWallpaper(window, reinterpret_cast<HDC>(wParam));
        return 1;
    }
    return CallWindowProcA(g_shell.listViewProcedure, window, message, wParam, lParam);
}

// A rig value of desktop n: "desktop N monitor M" or "desktop N stored".
void RigDesktopValue(int n, const wchar_t* what, wchar_t (&name)[48]) {
    wsprintfW(name, L"desktop %d %s", n, what);
}

// Windows 11's switch to virtual desktop n (see RigWallpaper.h): the
// monitors' pictures are kept as the desktop left's, and the new desktop
// shows its own; a stored wallpaper changed while it was not shown (written
// by another program) is taken up for all its monitors.
void SwitchDesktop(int n) {
    HKEY rig = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, deskwall::kRigKey, 0, nullptr, 0, KEY_READ | KEY_WRITE, nullptr,
                        &rig, nullptr) != ERROR_SUCCESS)
        return;
    const deskwall::Monitors monitors = deskwall::EnumMonitors();
    wchar_t name[48], monitorName[16], path[MAX_PATH * 4], stored[MAX_PATH * 4], remembered[MAX_PATH * 4];
    auto put = [rig](const wchar_t* value, const wchar_t* text) {
        RegSetValueExW(rig, value, 0, REG_SZ, reinterpret_cast<const BYTE*>(text),
                       static_cast<DWORD>((lstrlenW(text) + 1) * sizeof(wchar_t)));
    };
    GUID current;
    if (deskwall::CurrentDesktop(current)) {
        const int from = static_cast<int>(current.Data1 - deskwall::DesktopGuid(0).Data1);
        for (int i = 0; i < monitors.count; ++i) {
            deskwall::MonitorValueName(i, monitorName);
            RigDesktopValue(from, monitorName, name);
            if (DesktopString(rig, monitorName, path, ARRAYSIZE(path))) put(name, path);
        }
        deskwall::DesktopWallpaper(current, stored, ARRAYSIZE(stored));
        RigDesktopValue(from, L"stored", name);
        put(name, stored);
    }
    const GUID to = deskwall::DesktopGuid(n);
    HKEY desktops = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, deskwall::kVirtualDesktopsKey, 0, nullptr, 0, KEY_WRITE, nullptr,
                        &desktops, nullptr) == ERROR_SUCCESS) {
        RegSetValueExW(desktops, L"CurrentVirtualDesktop", 0, REG_BINARY, reinterpret_cast<const BYTE*>(&to),
                       sizeof to);
        RegCloseKey(desktops);
    }
    deskwall::DesktopWallpaper(to, stored, ARRAYSIZE(stored));
    RigDesktopValue(n, L"stored", name);
    const bool same =
        DesktopString(rig, name, remembered, ARRAYSIZE(remembered)) && lstrcmpiW(stored, remembered) == 0;
    for (int i = 0; i < monitors.count; ++i) {
        deskwall::MonitorValueName(i, monitorName);
        RigDesktopValue(n, monitorName, name);
        if (same && DesktopString(rig, name, path, ARRAYSIZE(path)))
            put(monitorName, path);
        else if (stored[0])
            put(monitorName, stored);
    }
    RegCloseKey(rig);
    LoadWallpaper();
}

LRESULT Answer(WPARAM query, LPARAM argument) {
    switch (query) {
    case deskshell::QueryPing: return 1;
    case deskshell::QueryHostStatistic: {
        HMODULE uvdll = GetModuleHandleA("uvdll.dll");
        using StatisticFn = LONG(WINAPI*)(int);
        auto statistic = uvdll ? reinterpret_cast<StatisticFn>(
                                     reinterpret_cast<void*>(GetProcAddress(uvdll, "UVDLLHostStatistic")))
                               : nullptr;
        return statistic ? statistic(static_cast<int>(argument)) : -2;
    }
    case deskshell::QueryOwnProcedure:
        return GetWindowLongPtrA(g_shell.listView, GWLP_WNDPROC) == g_shell.ownProcedure ? 1 : 0;
    case deskshell::QueryPixel: {
        UpdateWindow(g_shell.listView);
        HDC dc = GetDC(g_shell.listView);
        const COLORREF color =
            GetPixel(dc, static_cast<short>(LOWORD(argument)), static_cast<short>(HIWORD(argument)));
        ReleaseDC(g_shell.listView, dc);
        return color == CLR_INVALID ? -1 : static_cast<LRESULT>(color);
    }
    case deskshell::QueryGdiObjects:
        return static_cast<LRESULT>(GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS));
    case deskshell::QueryResize:
        // As after a change of the screen resolution.
        LayOut(LOWORD(argument), HIWORD(argument));
        SendMessageA(g_shell.listView, WM_DISPLAYCHANGE, 24, argument);
        RedrawWindow(g_shell.listView, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE);
        return 1;
    case deskshell::QueryListView: return reinterpret_cast<LRESULT>(g_shell.listView);
    case deskshell::QueryUvdllLoaded: return GetModuleHandleA("uvdll.dll") ? 1 : 0;
    case deskshell::QueryDarkPixels: {
        UpdateWindow(g_shell.listView);
        const int x0 = static_cast<short>(LOWORD(argument)), y0 = static_cast<short>(HIWORD(argument));
        HDC dc = GetDC(g_shell.listView);
        LRESULT dark = 0;
        for (int y = y0; y < y0 + deskshell::kProbeHeight; ++y) {
            for (int x = x0; x < x0 + deskshell::kProbeWidth; ++x) {
                const COLORREF c = GetPixel(dc, x, y);
                if (c != CLR_INVALID && GetRValue(c) < 64 && GetGValue(c) < 64 && GetBValue(c) < 64) ++dark;
            }
        }
        ReleaseDC(g_shell.listView, dc);
        return dark;
    }
    case deskshell::QueryRepaint:
        RedrawWindow(g_shell.listView, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
        return 1;
    case deskshell::QueryHang: Sleep(static_cast<DWORD>(argument)); return 1;
    case deskshell::QueryUnloadUvdll: {
        HMODULE uvdll = GetModuleHandleA("uvdll.dll");
        return uvdll && FreeLibrary(uvdll) ? 1 : 0;
    }
    case deskshell::QueryWallpaperWidth: return g_shell.wallpaper.bitmap ? g_shell.wallpaper.width : 0;
    case deskshell::QueryMonitors: return GetSystemMetrics(SM_CMONITORS);
    case deskshell::QuerySwitchDesktop: SwitchDesktop(static_cast<int>(argument)); return 1;
    case deskshell::QueryMonitorPictureWidth: {
        const int i = static_cast<int>(argument);
        const RigState& rig = g_shell.rig;
        return i >= 0 && i < rig.monitors && rig.picture[i].bitmap ? rig.picture[i].width : 0;
    }
    default: return -1;
    }
}

LRESULT CALLBACK DesktopProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case deskshell::kQueryMessage: return Answer(wParam, lParam);
    case WM_WINDOWPOSCHANGING:
        // Like the real desktop: always below every other window.
        reinterpret_cast<WINDOWPOS*>(lParam)->hwndInsertAfter = HWND_BOTTOM;
        return 0;
    case WM_MOUSEACTIVATE: return MA_NOACTIVATE;
    case WM_ERASEBKGND: return 1;
    case WM_SETTINGCHANGE:
        if (wParam == SPI_SETDESKWALLPAPER && window == g_shell.desktop) LoadWallpaper();
        return 0;
    case WM_CLOSE: return 0;  // the desktop does not close; end it by ending the process
    case WM_DESTROY: PostQuitMessage(0); return 0;
    default: return DefWindowProcA(window, message, wParam, lParam);
    }
}

LRESULT CALLBACK ViewProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_ERASEBKGND) return 1;
    return DefWindowProcA(window, message, wParam, lParam);
}

void AddItems(HWND listView) {
    g_shell.images = ImageList_Create(32, 32, ILC_COLOR24 | ILC_MASK, 4, 0);
    const char* icons[] = {IDI_APPLICATION, IDI_INFORMATION, IDI_WARNING, IDI_QUESTION};
    for (const char* icon : icons) ImageList_AddIcon(g_shell.images, LoadIconA(nullptr, icon));
    ListView_SetImageList(listView, g_shell.images, LVSIL_NORMAL);
    const char* names[] = {"My Computer", "Recycle Bin", "", "Readme"};
    for (int i = 0; i < 4; ++i) {
        LVITEMA item{};
        item.mask = LVIF_TEXT | LVIF_IMAGE;
        item.iItem = i;
        item.iImage = i;
        item.pszText = const_cast<char*>(names[i]);
        SendMessageA(listView, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
    }
}

int RunDesktop(bool later) {
    g_shell.later = later;
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&controls);
    HINSTANCE instance = GetModuleHandleA(nullptr);

    WNDCLASSA desktopClass{};
    desktopClass.lpfnWndProc = DesktopProc;
    desktopClass.hInstance = instance;
    desktopClass.lpszClassName = "Progman";
    desktopClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    WNDCLASSA viewClass = desktopClass;
    viewClass.lpfnWndProc = ViewProc;
    viewClass.lpszClassName = "SHELLDLL_DefView";
    WNDCLASSA workerClass = desktopClass;
    workerClass.lpszClassName = "WorkerW";
    if (!RegisterClassA(&desktopClass) || !RegisterClassA(&viewClass) || !RegisterClassA(&workerClass))
        return 1;

    g_shell.origin = {GetSystemMetrics(SM_XVIRTUALSCREEN), GetSystemMetrics(SM_YVIRTUALSCREEN)};
    int width = GetSystemMetrics(SM_CXVIRTUALSCREEN);
    int height = GetSystemMetrics(SM_CYVIRTUALSCREEN);
    if (width <= 0 || height <= 0) {
        g_shell.origin = {};
        width = GetSystemMetrics(SM_CXSCREEN);
        height = GetSystemMetrics(SM_CYSCREEN);
    }
    const int x = g_shell.origin.x, y = g_shell.origin.y;
    g_shell.desktop =
        CreateWindowExA(WS_EX_TOOLWINDOW, "Progman", "Program Manager", WS_POPUP | WS_CLIPCHILDREN, x, y,
                        width, height, nullptr, nullptr, instance, nullptr);
    // The later layout: Progman stays as the shell's message window, the
    // icons live in another top-level window.
    if (later) {
        g_shell.worker = CreateWindowExA(WS_EX_TOOLWINDOW, "WorkerW", "", WS_POPUP | WS_CLIPCHILDREN, x, y,
                                         width, height, nullptr, nullptr, instance, nullptr);
        if (!g_shell.worker) return 1;
    }
    g_shell.view =
        CreateWindowExA(0, "SHELLDLL_DefView", "", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, width,
                        height, later ? g_shell.worker : g_shell.desktop, nullptr, instance, nullptr);
    g_shell.listView =
        CreateWindowExA(0, WC_LISTVIEWA, "FolderView",
                        WS_CHILD | WS_VISIBLE | LVS_ICON | LVS_AUTOARRANGE | LVS_SHAREIMAGELISTS, 0, 0, width,
                        height, g_shell.view, reinterpret_cast<HMENU>(1), instance, nullptr);
    if (!g_shell.desktop || !g_shell.view || !g_shell.listView) return 1;
    g_shell.listViewProcedure = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(g_shell.listView, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(ListViewProc)));
    g_shell.ownProcedure = GetWindowLongPtrA(g_shell.listView, GWLP_WNDPROC);
    ListView_SetBkColor(g_shell.listView, kDesktopColor);
    ListView_SetTextBkColor(g_shell.listView, CLR_NONE);
    ListView_SetTextColor(g_shell.listView, RGB(255, 255, 255));
    AddItems(g_shell.listView);
    LoadWallpaper();

    HWND shown = later ? g_shell.worker : g_shell.desktop;
    ShowWindow(shown, SW_SHOWNOACTIVATE);
    SetWindowPos(shown, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    UpdateWindow(shown);
    std::printf("ready %d %d\n", width, height);
    std::fflush(stdout);

    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    ImageList_Destroy(g_shell.images);
    if (g_shell.wallpaper.bitmap) DeleteObject(g_shell.wallpaper.bitmap);
    for (MonitorPicture& p : g_shell.rig.picture)
        if (p.bitmap) DeleteObject(p.bitmap);
    return 0;
}

struct QueryName {
    const char* name;
    deskshell::Query query;
    int arguments;
};
const QueryName kQueries[] = {
    {"ping", deskshell::QueryPing, 0},
    {"stat", deskshell::QueryHostStatistic, 1},
    {"ownproc", deskshell::QueryOwnProcedure, 0},
    {"pixel", deskshell::QueryPixel, 2},
    {"gdi", deskshell::QueryGdiObjects, 0},
    {"resize", deskshell::QueryResize, 2},
    {"listview", deskshell::QueryListView, 0},
    {"uvdll", deskshell::QueryUvdllLoaded, 0},
    {"dark", deskshell::QueryDarkPixels, 2},
    {"repaint", deskshell::QueryRepaint, 0},
    {"hang", deskshell::QueryHang, 1},
    {"unload", deskshell::QueryUnloadUvdll, 0},
    {"wallpaper", deskshell::QueryWallpaperWidth, 0},
    {"monitors", deskshell::QueryMonitors, 0},
    {"monitorwall", deskshell::QueryMonitorPictureWidth, 1},
    {"desktop", deskshell::QuerySwitchDesktop, 1},
};

int RunQuery(int argc, char** argv) {
    if (argc < 3) return 1;
    for (const QueryName& q : kQueries) {
        if (std::strcmp(argv[2], q.name) != 0) continue;
        if (argc < 3 + q.arguments) return 1;
        LPARAM argument = 0;
        if (q.arguments == 1) argument = std::atoi(argv[3]);
        if (q.arguments == 2) argument = MAKELPARAM(std::atoi(argv[3]), std::atoi(argv[4]));
        LRESULT answer = 0;
        if (!deskshell::Ask(q.query, argument, answer)) {
            std::printf("no answer\n");
            return 2;
        }
        std::printf("%lld\n", static_cast<long long>(answer));
        return 0;
    }
    return 1;
}

}  // namespace

// A top-level window that does not answer a change of the settings: it
// keeps taking messages (so the system does not count it hung) but returns
// from WM_SETTINGCHANGE only after a long while.
LRESULT CALLBACK DeafProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_SETTINGCHANGE) {
        const DWORD start = GetTickCount();
        while (GetTickCount() - start < 120000) {
            MSG msg;
            while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
            Sleep(10);
        }
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

int RunDeaf(int count) {
    WNDCLASSA deaf{};
    deaf.lpfnWndProc = DeafProc;
    deaf.hInstance = GetModuleHandleA(nullptr);
    deaf.lpszClassName = "UvDeafWindow";
    if (!RegisterClassA(&deaf)) return 1;
    for (int i = 0; i < count; ++i)
        if (!CreateWindowExA(WS_EX_TOOLWINDOW, "UvDeafWindow", "deaf", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                             deaf.hInstance, nullptr))
            return 1;
    std::printf("ready %d\n", count);
    std::fflush(stdout);
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) DispatchMessageA(&msg);
    return 0;
}

int main(int argc, char** argv) {
    if (argc >= 2 && std::strcmp(argv[1], "query") == 0) return RunQuery(argc, argv);
    if (argc >= 3 && std::strcmp(argv[1], "deaf") == 0) return RunDeaf(std::atoi(argv[2]));
    return RunDesktop(argc >= 2 && std::strcmp(argv[1], "later") == 0);
}
