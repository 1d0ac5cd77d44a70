#include "desktophost/DesktopSubclass_win.h"

#include <ctime>

#include "desktophost/DesktopHost_win.h"
#include "desktophost/HostState_win.h"
#include "renderer/PaintCache_win.h"

namespace uv {

namespace {

ChainLink* FindLink(UvdllState& state, HWND window) {
    if (!window) return nullptr;
    for (ChainLink& link : state.chain)
        if (link.window == window) return &link;
    return nullptr;
}

ChainLink* UnusedLink(UvdllState& state) {
    for (ChainLink& link : state.chain)
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
    if (state.selfReference) return true;
    char path[MAX_PATH + 1] = {};
    const DWORD length = GetModuleFileNameA(state.module, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return false;
    state.selfReference = LoadLibraryA(path);
    return state.selfReference != nullptr;
}

// Scales the display bitmap into the cache for the display mode and draws the
// overlays over it.
void RebuildPaintCache(UvdllState& state, const MapFit& fit) {
    DesktopHost& host = state.host;
    const ShownSun sun{host.shownSunLongitude, host.shownSunLatitude};
    BuildPaintCache(host.paintCache.dc.get(), fit, host.display.dc.get(), state.settings, state.cities, sun,
                    time(nullptr));
}

// The one path of the four painting messages.
void PaintMap(UvdllState& state, HWND window) {
    DesktopHost& host = state.host;
    RECT update{};
    if (!GetUpdateRect(window, &update, FALSE)) return;

    PAINTSTRUCT ps{};
    HDC dc = BeginPaint(window, &ps);
    if (dc) {
        RECT screen{};
        GetWindowRect(window, &screen);
        const MapFit fit = FitPaintCache(state.settings, screen.right, screen.bottom, host.imageWidth,
                                         host.imageHeight);
        if (!fit.empty()) {
            if (!host.paintCache.exists() || host.paintCache.width != fit.targetWidth ||
                host.paintCache.height != fit.targetHeight) {
                host.cacheDirty = true;
                host.paintCache.Create(dc, fit.targetWidth, fit.targetHeight);
            }
            if (host.paintCache.exists()) {
                if (host.cacheDirty) {
                    // Short of memory, a piece of the picture is left out;
                    // the paint itself always ends.
                    try {
                        RebuildPaintCache(state, fit);
                    } catch (...) {
                    }
                    host.cacheDirty = false;
                    InterlockedIncrement(&host.cacheRebuilds);
                }
                BitBlt(dc, 0, fit.windowY, host.paintCache.width, host.paintCache.height,
                       host.paintCache.dc.get(), 0, 0, SRCCOPY);
            }
        }
        EndPaint(window, &ps);
    }
    // The list view's own painting must still find this area to paint.
    InvalidateRect(window, &update, FALSE);
}

}  // namespace

bool SubclassTarget(HWND window) {
    UvdllState& state = State();
    DesktopHost& host = state.host;
    ChainLink* link = FindLink(state, window);
    if (!link) {
        const WNDPROC current = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(window, GWLP_WNDPROC));
        link = UnusedLink(state);
        if (!link || !current || current == &HostWindowProc || !TakeLibraryReference(state)) return false;
        link->window = window;
        link->next = current;
        SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&HostWindowProc));
    }
    // A link left from an earlier host means our procedure is still in the
    // chain under someone else's: installing it again would call it twice.
    host.savedWindowProc = link->next;
    InvalidateRect(window, nullptr, TRUE);
    return true;
}

void RestoreTarget() {
    UvdllState& state = State();
    DesktopHost& host = state.host;
    if (!host.savedWindowProc) return;
    const HWND window = host.targetWindow;
    if (ChainLink* link = FindLink(state, window)) {
        const bool alive = IsWindow(window) != FALSE;
        if (alive && GetWindowLongPtrA(window, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(&HostWindowProc)) {
            SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(link->next));
            *link = ChainLink{};
        } else if (!alive) {
            *link = ChainLink{};
        }
    }
    host.savedWindowProc = nullptr;
}

void ReleaseLibraryIfUnused() {
    UvdllState& state = State();
    if (!state.selfReference || state.host.savedWindowProc) return;
    for (ChainLink& link : state.chain) {
        if (link.window && IsWindow(link.window)) return;
        link = ChainLink{};
    }
    FreeLibrary(state.selfReference);
    state.selfReference = nullptr;
}

LRESULT CALLBACK HostWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    UvdllState& state = State();
    const ChainLink* link = FindLink(state, window);
    const WNDPROC next = link ? link->next : nullptr;
    if (!next) return DefWindowProcA(window, message, wParam, lParam);
    DesktopHost& host = state.host;
    const bool serving = host.savedWindowProc && window == host.targetWindow;
    switch (message) {
    case WM_PAINT:
    case WM_ERASEBKGND:
    case WM_DISPLAYCHANGE:
    case WM_NCPAINT:
        // BeginPaint sends WM_ERASEBKGND from inside the paint path; that one
        // goes straight to the list view.
        if (serving && !state.paintInProgress && host.display.exists()) {
            state.paintInProgress = true;
            try {
                PaintMap(state, window);
            } catch (...) {
            }
            state.paintInProgress = false;
        }
        break;
    case WM_NCDESTROY: {
        // The list view goes (its shell is recreating the desktop): the host
        // stops with it, so the controller sees that at once.
        if (serving) StopForDestroyedWindow();
        const LRESULT result = CallWindowProcA(next, window, message, wParam, lParam);
        if (ChainLink* gone = FindLink(state, window)) *gone = ChainLink{};
        return result;
    }
    default:
        break;
    }
    return CallWindowProcA(next, window, message, wParam, lParam);
}

}  // namespace uv
