// The list view's replacement window procedure: paints the map from a
// window-sized paint cache, then lets the list view draw its icons over it.
#pragma once

#include <windows.h>

#include <utility>

namespace uv {

// The host's procedure in its target window's chain, from Install until
// Restore (or the end of the owner). While any procedure of this library is
// installed, the library keeps itself loaded.
class SubclassedWindow {
public:
    SubclassedWindow() = default;
    SubclassedWindow(SubclassedWindow&& o) noexcept : window_(std::exchange(o.window_, nullptr)) {}
    ~SubclassedWindow() { Restore(); }

    // Installs the host's procedure in window, or uses it where it still is
    // in the window's chain from an earlier host. False when it could not
    // be installed.
    bool Install(HWND window);

    // Takes the host's procedure out of the window when it is still the
    // window's procedure; when another procedure was installed over it, it
    // stays in the chain and only forwards from now on.
    void Restore();

private:
    HWND window_ = nullptr;
};

// Lets go of the extra reference on this library once no window procedure
// of it is installed. Only for callers inside the hook procedure, which the
// hook's own reference keeps loaded while it runs.
void ReleaseLibraryIfUnused();

LRESULT CALLBACK HostWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace uv
