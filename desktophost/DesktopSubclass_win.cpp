#include "desktophost/DesktopSubclass_win.h"

#include <ctime>

#include "desktophost/HostState_win.h"
#include "renderer/PaintCache_win.h"

namespace uv {

namespace {

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
                    RebuildPaintCache(state, fit);
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

void SubclassTarget(HWND window) {
    DesktopHost& host = State().host;
    host.savedWindowProc = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(window, GWLP_WNDPROC));
    SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&HostWindowProc));
    InvalidateRect(window, nullptr, TRUE);
}

void RestoreTarget() {
    DesktopHost& host = State().host;
    if (!host.savedWindowProc) return;
    SetWindowLongPtrA(host.targetWindow, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(host.savedWindowProc));
    host.savedWindowProc = nullptr;
}

LRESULT CALLBACK HostWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    UvdllState& state = State();
    const WNDPROC saved = state.host.savedWindowProc;
    if (!saved) return DefWindowProcA(window, message, wParam, lParam);
    switch (message) {
    case WM_PAINT:
    case WM_ERASEBKGND:
    case WM_DISPLAYCHANGE:
    case WM_NCPAINT:
        // BeginPaint sends WM_ERASEBKGND from inside the paint path; that one
        // goes straight to the list view.
        if (!state.paintInProgress && state.host.display.exists()) {
            state.paintInProgress = true;
            PaintMap(state, window);
            state.paintInProgress = false;
        }
        break;
    default:
        break;
    }
    return CallWindowProcA(saved, window, message, wParam, lParam);
}

}  // namespace uv
