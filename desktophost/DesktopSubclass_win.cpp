#include "desktophost/DesktopSubclass_win.h"

#include <ctime>

#include "desktophost/DesktopHost_win.h"
#include "desktophost/HostState_win.h"

namespace uv {

namespace {

ChainLink* FindLink(DesktopSide& desk, HWND window) {
    if (!window) return nullptr;
    for (ChainLink& link : desk.chain)
        if (link.window == window) return &link;
    return nullptr;
}

ChainLink* UnusedLink(DesktopSide& desk) {
    for (ChainLink& link : desk.chain)
        if (!link.window || !IsWindow(link.window)) return &link;
    return nullptr;
}

// Why the library keeps itself loaded: the window system unloads a hook
// library from the desktop's process once the hook is gone (removed, or its
// controller ended), and any code in that process may call FreeLibrary on
// it. A list view whose procedure chain still leads into an unloaded library
// crashes the shell at its next message; and once another procedure has
// been installed over ours, ours cannot be taken out of the chain at all.
// So the first subclassing takes a reference of the library's own, held
// while any procedure of it is installed.
bool TakeLibraryReference(UvdllState& state) {
    if (state.desktop.selfReference) return true;
    wchar_t path[MAX_PATH + 1] = {};
    const DWORD length = GetModuleFileNameW(state.module, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return false;
    state.desktop.selfReference = LoadLibraryW(path);
    return state.desktop.selfReference != nullptr;
}

// The one path of the four painting messages.
void PaintMap(DesktopSide& desk, HWND window) {
    RECT update{};
    if (!GetUpdateRect(window, &update, FALSE)) return;

    PAINTSTRUCT ps{};
    if (HDC dc = BeginPaint(window, &ps)) {
        RECT screen{};
        GetWindowRect(window, &screen);
        RunningHost& run = *desk.host.run;
        if (run.picture.Paint(dc, screen.right, screen.bottom, desk.settings, desk.cities, time(nullptr),
                              run.context) == MapPicture::Painted::Rebuilt)
            InterlockedIncrement(&desk.host.cacheRebuilds);
        EndPaint(window, &ps);
    }
    // The list view's own painting must still find this area to paint.
    InvalidateRect(window, &update, FALSE);
}

}  // namespace

bool SubclassedWindow::Install(HWND window) {
    UvdllState& state = State();
    if (!FindLink(state.desktop, window)) {
        const WNDPROC current = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(window, GWLP_WNDPROC));
        ChainLink* link = UnusedLink(state.desktop);
        if (!link || !current || current == &HostWindowProc || !TakeLibraryReference(state)) return false;
        *link = ChainLink{window, current};
        SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&HostWindowProc));
    }
    // A link left from an earlier host means our procedure is still in the
    // chain under someone else's: installing it again would call it twice.
    window_ = window;
    return true;
}

void SubclassedWindow::Restore() {
    if (!window_) return;
    if (ChainLink* link = FindLink(State().desktop, window_)) {
        const bool alive = IsWindow(window_) != FALSE;
        if (alive &&
            GetWindowLongPtrA(window_, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(&HostWindowProc)) {
            SetWindowLongPtrA(window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(link->next));
            *link = ChainLink{};
        } else if (!alive) {
            *link = ChainLink{};
        }
    }
    window_ = nullptr;
}

void ReleaseLibraryIfUnused() {
    DesktopSide& desk = State().desktop;
    if (!desk.selfReference || desk.host.run) return;
    for (ChainLink& link : desk.chain) {
        if (link.window && IsWindow(link.window)) return;
        link = ChainLink{};
    }
    FreeLibrary(desk.selfReference);
    desk.selfReference = nullptr;
}

LRESULT CALLBACK HostWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    DesktopSide& desk = State().desktop;
    const ChainLink* link = FindLink(desk, window);
    const WNDPROC next = link ? link->next : nullptr;
    if (!next) return DefWindowProcA(window, message, wParam, lParam);
    const bool serving = desk.host.run && window == desk.host.run->targetWindow;
    switch (message) {
    case WM_PAINT:
    case WM_ERASEBKGND:
    case WM_DISPLAYCHANGE:
    case WM_NCPAINT:
        // BeginPaint sends WM_ERASEBKGND from inside the paint path; that one
        // goes straight to the list view.
        if (serving && !desk.paintInProgress) {
            desk.paintInProgress = true;
            try {
                PaintMap(desk, window);
            } catch (...) {}
            desk.paintInProgress = false;
        }
        break;
    case WM_NCDESTROY: {
        // The list view goes (its shell is recreating the desktop): the host
        // stops with it, so the controller sees that at once.
        if (serving) StopForDestroyedWindow();
        const LRESULT result = CallWindowProcA(next, window, message, wParam, lParam);
        if (ChainLink* gone = FindLink(desk, window)) *gone = ChainLink{};
        return result;
    }
    default: break;
    }
    return CallWindowProcA(next, window, message, wParam, lParam);
}

}  // namespace uv
