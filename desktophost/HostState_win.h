// Everything uvdll.dll keeps per process, gathered in one place. Each process
// that loads the library has its own copy; only the copy inside the desktop's
// process ever starts the desktop host.
#pragma once

#include <windows.h>

#include <ctime>
#include <memory>
#include <optional>

#include "common/SelectedBitmap_win.h"
#include "common/WinHandles.h"
#include "renderer/Compositing_win.h"
#include "renderer/RenderSettings.h"
#include "solar/CityDatabase.h"

namespace uv {

// The desktop host: the picture, its buffers, the render worker and the
// semaphores that hand the picture between the worker and the desktop thread.
struct DesktopHost {
    HWND targetWindow = nullptr;
    DWORD desktopThread = 0;
    UINT message = 0;

    UniqueModule resourceModule;
    int imageWidth = 0;
    int imageHeight = 0;
    std::unique_ptr<unsigned char[]> dayPixels;
    std::unique_ptr<unsigned char[]> nightPixels;
    std::unique_ptr<unsigned char[]> generatedNightPixels;
    std::unique_ptr<unsigned char[]> maskBuffer;

    // Owned by the holder of the render baton (the worker while it renders).
    SelectedBitmap rendered;
    double renderedSunLongitude = 0.0;
    double renderedSunLatitude = 0.0;

    // Desktop thread only.
    SelectedBitmap display;
    SelectedBitmap paintCache;
    bool cacheDirty = true;
    double shownSunLongitude = 0.0;
    double shownSunLatitude = 0.0;

    // Non-null exactly while the host runs: the procedure HostWindowProc
    // hands the target window's messages to.
    WNDPROC savedWindowProc = nullptr;

    // The blend of a render; a test replaces it to make renders fail.
    decltype(&ComposeDayNight) compose = &ComposeDayNight;

    UniqueKernelHandle busySemaphore;   // "umbravue": held from start to the end of stop
    UniqueKernelHandle quitSemaphore;   // "umbravue quit received": taken by the stop
    UniqueKernelHandle stateLock;       // guards batonHeld and resultPending
    UniqueKernelHandle renderBaton;     // its holder owns `rendered`
    UniqueKernelHandle stopSemaphore;   // held by the desktop thread while the worker runs
    UniqueKernelHandle workerThread;
    UniqueKernelHandle workerFinished;  // set by the worker as its last step
    DWORD workerThreadId = 0;
    bool batonHeld = false;     // under stateLock
    bool resultPending = false; // under stateLock
    bool renderFailed = false;  // under stateLock: the pending result is no picture

    // Counters read by tests through UVDLLHostStatistics.
    volatile LONG renders = 0;
    volatile LONG composes = 0;
    volatile LONG cacheRebuilds = 0;
    volatile LONG starts = 0;
};

// A window whose procedure chain holds HostWindowProc, and the procedure it
// hands that window's messages to. A link outlives the host when another
// procedure was installed over ours: ours then stays in the chain, forwarding.
struct ChainLink {
    HWND window = nullptr;
    WNDPROC next = nullptr;
};

struct UvdllState {
    HMODULE module = nullptr;
    UINT settingsMessage = 0;
    // Controller's process: the hook it installed. Desktop's process: the
    // value received with HookHandle.
    HHOOK hookHandle = nullptr;
    // Controller's process only: the list view of a completed install.
    HWND targetWindow = nullptr;
    // Full path of globepix.dll beside this library; empty when it would not fit.
    char resourcePath[256] = {};
    // This process installed hookHandle (the controller's side).
    bool ownsHook = false;
    // The last install of this process reached the desktop host.
    bool hostReached = false;
    bool paintInProgress = false;
    // Controller's process: the thread of the list view of the last install;
    // the removal posts there even when the window has gone.
    DWORD targetThread = 0;

    // Desktop's process: the windows HostWindowProc is installed in, and the
    // extra reference on this library that keeps it loaded while any is.
    ChainLink chain[4];
    HMODULE selfReference = nullptr;

    RenderSettings settings;
    CityDatabase cities;
    DesktopHost host;
};

UvdllState& State();

}  // namespace uv
