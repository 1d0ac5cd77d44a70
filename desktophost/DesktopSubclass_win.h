// The list view's replacement window procedure: paints the map from a
// window-sized paint cache, then lets the list view draw its icons over it.
#pragma once

#include <windows.h>

namespace uv {

// Saves the window's procedure and installs the host's; the host's resources
// exist before this is called.
void SubclassTarget(HWND window);

// Puts the saved procedure back, whatever procedure is installed now.
void RestoreTarget();

LRESULT CALLBACK HostWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace uv
