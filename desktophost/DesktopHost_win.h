// The desktop host inside the desktop's process: start and stop on the list
// view, the render worker, render requests and the compose step.
#pragma once

#include <windows.h>

namespace uv {

// Starts the host on `window` (a window of the calling thread) and subclasses
// it. Returns false, leaving the desktop untouched and no named semaphore
// behind, when a step fails (the resource library or its images cannot be
// used, another host holds "umbravue", the window cannot be subclassed).
bool StartDesktopHost(HWND window);

// Stops the host: ends the worker, puts the list view's own procedure back,
// frees everything the start created and repaints the screen. Ignored while
// the host is not running or a stop is under way. Called from the hook
// procedure (Unsubclass) and by tests.
void StopDesktopHost();

// The same stop when the target window is being destroyed, from its own
// window procedure; it keeps the library loaded, since nothing else may.
void StopForDestroyedWindow();

// The library leaves the process while the host runs (unload without a
// removal). Runs under the loader lock: never waits for the desktop thread
// or for a thread's end, and leaves no window pointing into the library.
void DetachDesktopHost();

// Lets the worker render the render time of the settings record. Never
// waits long for the worker: a request it cannot hand over at once is
// posted to the desktop thread again.
void RequestRender();

// On RenderDone: takes the finished picture, rotates it into the display
// bitmap and invalidates the list view. A render that failed leaves the
// picture on display as it is.
void ComposeRenderedPicture();

bool DesktopHostRunning();

}  // namespace uv
