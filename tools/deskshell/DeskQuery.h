// Questions a test can ask the running stand-in desktop. They are sent to
// its top-level window and answered on the desktop thread, so an answer also
// shows that the thread takes its messages.
#pragma once

#include <windows.h>

namespace deskshell {

constexpr UINT kQueryMessage = WM_APP + 0x55;

enum Query : WPARAM {
    QueryPing = 0,                  // 1
    QueryHostStatistic = 1,         // lParam: item of UVDLLHostStatistic; -2 when uvdll.dll is not loaded
    QueryOwnProcedure = 2,          // 1 when the list view runs its own window procedure
    QueryPixel = 3,                 // lParam: MAKELPARAM(x, y) in the list view; paints pending areas first
    QueryGdiObjects = 4,            // GDI objects of the process
    QueryResize = 5,                // lParam: MAKELPARAM(width, height) of the desktop windows
    QueryListView = 6,              // the list view window
    QueryUvdllLoaded = 7,           // 1 when uvdll.dll is loaded into the desktop's process
    QueryDarkPixels = 8,            // lParam: MAKELPARAM(x, y); pixels darker than 64 in the
                                    // kProbeWidth x kProbeHeight area there; paints first
    QueryRepaint = 9,               // invalidates the whole list view with erasing and paints it
    QueryHang = 10,                 // posted: the desktop thread sleeps lParam ms
    QueryUnloadUvdll = 11,          // unloads uvdll.dll from the desktop's process
    QueryWallpaperWidth = 12,       // width of the wallpaper picture shown; 0 without one
    QueryMonitors = 13,             // the number of monitors the system reports
    QueryMonitorPictureWidth = 14,  // lParam: monitor index; width of its own picture, 0 without
    QuerySwitchDesktop = 15,        // lParam: n; switches to the rig's virtual desktop n (Windows 11)
};

constexpr int kProbeWidth = 160;
constexpr int kProbeHeight = 16;

inline HWND FindDesktop() { return FindWindowA("Progman", "Program Manager"); }

inline HWND FindListView() {
    HWND view = FindWindowExA(FindDesktop(), nullptr, "SHELLDLL_DefView", nullptr);
    return view ? FindWindowExA(view, nullptr, "SysListView32", nullptr) : nullptr;
}

// False when the desktop is missing or did not answer within timeoutMs.
inline bool Ask(Query query, LPARAM argument, LRESULT& answer, UINT timeoutMs = 5000) {
    HWND desktop = FindDesktop();
    if (!desktop) return false;
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutA(desktop, kQueryMessage, query, argument, SMTO_ABORTIFHUNG | SMTO_BLOCK,
                             timeoutMs, &result))
        return false;
    answer = static_cast<LRESULT>(result);
    return true;
}

}  // namespace deskshell
