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
// the primary monitor's top-left corner, as the real shell's do.
//
//   deskshell                    run the desktop; prints "ready W H" (the virtual
//                                screen's size) when it is up
//   deskshell later              the same as a later shell arranges it: the
//                                list view lives in a top-level "WorkerW",
//                                so Progman has no "SHELLDLL_DefView" child
//   deskshell query NAME [A B]   ask the running desktop (see DeskQuery.h) and
//                                print the answer; exit code 2 without one
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "tools/deskshell/DeskQuery.h"

namespace {

// The desktop's own background, so a desktop without the map is easy to tell.
constexpr COLORREF kDesktopColor = RGB(58, 110, 165);

struct Wallpaper {
    HBITMAP bitmap = nullptr;
    int width = 0;
    int height = 0;
    bool tile = false;
    bool stretch = false;   // any style but centred
};

struct Shell {
    HWND desktop = nullptr;
    HWND worker = nullptr;   // the later layout's parent of the view
    HWND view = nullptr;
    HWND listView = nullptr;
    WNDPROC listViewProcedure = nullptr;
    LONG_PTR ownProcedure = 0;
    HIMAGELIST images = nullptr;
    Wallpaper wallpaper;
    POINT origin = {};   // the virtual screen's top-left corner
};
Shell g_shell;

void LayOut(int width, int height) {
    const int x = g_shell.origin.x, y = g_shell.origin.y;
    SetWindowPos(g_shell.desktop, HWND_BOTTOM, x, y, width, height, SWP_NOACTIVATE);
    if (g_shell.worker) SetWindowPos(g_shell.worker, HWND_BOTTOM, x, y, width, height, SWP_NOACTIVATE);
    SetWindowPos(g_shell.view, nullptr, 0, 0, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
    SetWindowPos(g_shell.listView, nullptr, 0, 0, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

bool DesktopString(HKEY key, const char* name, char* out, DWORD size) {
    DWORD type = 0, got = size - 1;
    out[0] = 0;
    if (RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(out), &got) != ERROR_SUCCESS ||
        (type != REG_SZ && type != REG_EXPAND_SZ))
        return false;
    out[got < size ? got : size - 1] = 0;
    return true;
}

// Reads the wallpaper the registry names; a missing or unreadable file, or
// a value of another type, leaves the desktop's own colour.
void LoadWallpaper() {
    Wallpaper& w = g_shell.wallpaper;
    if (w.bitmap) DeleteObject(w.bitmap);
    w = Wallpaper();
    HKEY key = nullptr;
    char path[MAX_PATH] = {};
    if (RegOpenKeyExA(HKEY_CURRENT_USER, "Control Panel\\Desktop", 0, KEY_READ, &key) == ERROR_SUCCESS) {
        char expanded[MAX_PATH] = {}, style[16] = {}, tile[16] = {};
        if (DesktopString(key, "Wallpaper", path, sizeof path) && path[0] &&
            ExpandEnvironmentStringsA(path, expanded, sizeof expanded) - 1 < sizeof expanded) {
            w.bitmap = static_cast<HBITMAP>(
                LoadImageA(nullptr, expanded, IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION));
        }
        if (DesktopString(key, "WallpaperStyle", style, sizeof style)) w.stretch = std::atoi(style) != 0;
        if (DesktopString(key, "TileWallpaper", tile, sizeof tile)) w.tile = std::atoi(tile) != 0;
        RegCloseKey(key);
    }
    BITMAP info{};
    if (w.bitmap && GetObjectA(w.bitmap, sizeof info, &info) == sizeof info) {
        w.width = info.bmWidth;
        w.height = info.bmHeight;
    } else if (w.bitmap) {
        DeleteObject(w.bitmap);
        w.bitmap = nullptr;
    }
    // Every wallpaper the desktop was told of, in order, for the tests.
    std::printf("wallpaper %d %s\n", w.width, path[0] ? path : "-");
    std::fflush(stdout);
    if (g_shell.listView) {
        ListView_SetBkColor(g_shell.listView, w.bitmap ? CLR_NONE : kDesktopColor);
        RedrawWindow(g_shell.listView, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE);
    }
}

void PaintWallpaper(HWND window, HDC dc) {
    const Wallpaper& w = g_shell.wallpaper;
    RECT r;
    GetClientRect(window, &r);
    HDC source = CreateCompatibleDC(dc);
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
        BitBlt(dc, (r.right - w.width) / 2, (r.bottom - w.height) / 2, w.width, w.height, source, 0, 0, SRCCOPY);
    }
    SelectObject(source, old);
    DeleteDC(source);
}

// The list view's background is the wallpaper, as on the real desktop.
LRESULT CALLBACK ListViewProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_ERASEBKGND && g_shell.wallpaper.bitmap) {
        PaintWallpaper(window, reinterpret_cast<HDC>(wParam));
        return 1;
    }
    return CallWindowProcA(g_shell.listViewProcedure, window, message, wParam, lParam);
}

LRESULT Answer(WPARAM query, LPARAM argument) {
    switch (query) {
    case deskshell::QueryPing:
        return 1;
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
        const COLORREF color = GetPixel(dc, static_cast<short>(LOWORD(argument)), static_cast<short>(HIWORD(argument)));
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
    case deskshell::QueryListView:
        return reinterpret_cast<LRESULT>(g_shell.listView);
    case deskshell::QueryUvdllLoaded:
        return GetModuleHandleA("uvdll.dll") ? 1 : 0;
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
    case deskshell::QueryHang:
        Sleep(static_cast<DWORD>(argument));
        return 1;
    case deskshell::QueryUnloadUvdll: {
        HMODULE uvdll = GetModuleHandleA("uvdll.dll");
        return uvdll && FreeLibrary(uvdll) ? 1 : 0;
    }
    case deskshell::QueryWallpaperWidth:
        return g_shell.wallpaper.bitmap ? g_shell.wallpaper.width : 0;
    case deskshell::QueryMonitors:
        return GetSystemMetrics(SM_CMONITORS);
    default:
        return -1;
    }
}

LRESULT CALLBACK DesktopProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case deskshell::kQueryMessage:
        return Answer(wParam, lParam);
    case WM_WINDOWPOSCHANGING:
        // Like the real desktop: always below every other window.
        reinterpret_cast<WINDOWPOS*>(lParam)->hwndInsertAfter = HWND_BOTTOM;
        return 0;
    case WM_MOUSEACTIVATE:
        return MA_NOACTIVATE;
    case WM_ERASEBKGND:
        return 1;
    case WM_SETTINGCHANGE:
        if (wParam == SPI_SETDESKWALLPAPER && window == g_shell.desktop) LoadWallpaper();
        return 0;
    case WM_CLOSE:
        return 0;  // the desktop does not close; end it by ending the process
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcA(window, message, wParam, lParam);
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
    if (!RegisterClassA(&desktopClass) || !RegisterClassA(&viewClass) || !RegisterClassA(&workerClass)) return 1;

    g_shell.origin = {GetSystemMetrics(SM_XVIRTUALSCREEN), GetSystemMetrics(SM_YVIRTUALSCREEN)};
    int width = GetSystemMetrics(SM_CXVIRTUALSCREEN);
    int height = GetSystemMetrics(SM_CYVIRTUALSCREEN);
    if (width <= 0 || height <= 0) {
        g_shell.origin = {};
        width = GetSystemMetrics(SM_CXSCREEN);
        height = GetSystemMetrics(SM_CYSCREEN);
    }
    const int x = g_shell.origin.x, y = g_shell.origin.y;
    g_shell.desktop = CreateWindowExA(WS_EX_TOOLWINDOW, "Progman", "Program Manager",
                                      WS_POPUP | WS_CLIPCHILDREN, x, y, width, height, nullptr, nullptr,
                                      instance, nullptr);
    // The later layout: Progman stays as the shell's message window, the
    // icons live in another top-level window.
    if (later) {
        g_shell.worker = CreateWindowExA(WS_EX_TOOLWINDOW, "WorkerW", "", WS_POPUP | WS_CLIPCHILDREN, x, y, width,
                                         height, nullptr, nullptr, instance, nullptr);
        if (!g_shell.worker) return 1;
    }
    g_shell.view = CreateWindowExA(0, "SHELLDLL_DefView", "", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0,
                                   width, height, later ? g_shell.worker : g_shell.desktop, nullptr, instance,
                                   nullptr);
    g_shell.listView = CreateWindowExA(0, WC_LISTVIEWA, "FolderView",
                                       WS_CHILD | WS_VISIBLE | LVS_ICON | LVS_AUTOARRANGE | LVS_SHAREIMAGELISTS,
                                       0, 0, width, height, g_shell.view, reinterpret_cast<HMENU>(1), instance,
                                       nullptr);
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
    return 0;
}

struct QueryName {
    const char* name;
    deskshell::Query query;
    int arguments;
};
const QueryName kQueries[] = {
    {"ping", deskshell::QueryPing, 0},         {"stat", deskshell::QueryHostStatistic, 1},
    {"ownproc", deskshell::QueryOwnProcedure, 0}, {"pixel", deskshell::QueryPixel, 2},
    {"gdi", deskshell::QueryGdiObjects, 0},    {"resize", deskshell::QueryResize, 2},
    {"listview", deskshell::QueryListView, 0}, {"uvdll", deskshell::QueryUvdllLoaded, 0},
    {"dark", deskshell::QueryDarkPixels, 2},   {"repaint", deskshell::QueryRepaint, 0},
    {"hang", deskshell::QueryHang, 1},         {"unload", deskshell::QueryUnloadUvdll, 0},
    {"wallpaper", deskshell::QueryWallpaperWidth, 0}, {"monitors", deskshell::QueryMonitors, 0},
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

int main(int argc, char** argv) {
    if (argc >= 2 && std::strcmp(argv[1], "query") == 0) return RunQuery(argc, argv);
    return RunDesktop(argc >= 2 && std::strcmp(argv[1], "later") == 0);
}
