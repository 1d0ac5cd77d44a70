// The list view's replacement window procedure: paints the map from a
// window-sized paint cache, then lets the list view draw its icons over it.
#pragma once

#include <windows.h>

namespace uv {

// Installs the host's procedure in the window (or, when it is still in the
// window's chain from an earlier host, uses it again) and keeps this library
// loaded while it is installed. The host's resources exist before this is
// called. False when the procedure could not be installed.
bool SubclassTarget(HWND window);

// Takes the host's procedure out of the target window when it is still the
// window's procedure; when another procedure was installed over it, it stays
// in the chain and only forwards from now on. The host is stopped afterwards.
void RestoreTarget();

// Lets go of the extra reference on this library once no window procedure
// of it is installed. Only for callers inside the hook procedure, which the
// hook's own reference keeps loaded while it runs.
void ReleaseLibraryIfUnused();

LRESULT CALLBACK HostWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace uv
