// Everything uvdll.dll keeps per process, gathered in one place. Each process
// that loads the library has its own copy: the controller's copy keeps the
// hook it installed, the copy inside the desktop's process the desktop host.
#pragma once

#include <windows.h>

#include <optional>
#include <utility>

#include "common/WinHandles.h"
#include "desktophost/DesktopSubclass_win.h"
#include "renderer/DesktopPicture_win.h"
#include "renderer/RenderSettings.h"
#include "solar/CityDatabase.h"

namespace uv {

// ----- The controller's side

enum class HookStage {
    None,
    Installed,       // inside UVDLLInstallHook, the host not yet seen
    Reached,         // the host started on the list view
    RemovalPending,  // a removal gave up on a desktop thread that did not answer
};

// The hook this process installed, for one list view.
struct HookRecord {
    HookStage stage = HookStage::None;
    HHOOK handle = nullptr;
    HWND listView = nullptr;
    // The removal posts here even when the window has gone.
    DWORD thread = 0;
};

// ----- The desktop's side

// A semaphore of count 1 that this process may hold; released, when held,
// before it is closed.
struct HeldSemaphore {
    HeldSemaphore() = default;
    HeldSemaphore(HeldSemaphore&& o) noexcept
        : handle(std::move(o.handle)), held(std::exchange(o.held, false)) {}
    ~HeldSemaphore() {
        if (held) ReleaseSemaphore(handle.get(), 1, nullptr);
    }
    bool TakeNow() {
        if (held || !handle) return false;
        held = WaitForSingleObject(handle.get(), 0) == WAIT_OBJECT_0;
        return held;
    }

    UniqueKernelHandle handle;
    bool held = false;
};

// Where a requested picture is. Changed only under the state lock; the
// holder of the render baton owns the picture's rendered bitmap.
enum class RenderStage {
    Idle,       // the desktop thread holds the baton
    Requested,  // the baton is free for the worker
    Rendering,  // the worker holds it and renders
    Done,       // a picture waits for the desktop thread
    Failed,     // the render made no picture
};

// Everything a start makes, built whole before the host counts as running:
// a start that fails anywhere drops it, and a stop ends the worker, puts
// the window procedure back and drops it. Members are released from the
// last to the first, so "umbravue" is let go of after everything else.
struct RunningHost {
    HWND targetWindow = nullptr;
    DWORD desktopThread = 0;
    HeldSemaphore quitSemaphore;            // "umbravue quit received": taken by the stop
    HeldSemaphore busySemaphore;            // "umbravue": held from start to the end of stop
    UniqueKernelHandle stateLock;           // guards stage
    UniqueKernelHandle renderBaton;         // its holder owns the picture's rendered bitmap
    RenderStage stage = RenderStage::Idle;  // under stateLock
    UniqueModule resourceModule;
    MapImages images;  // read-only once the worker runs
    DesktopPicture picture;
    SubclassedWindow subclass;
    UniqueKernelHandle stopSemaphore;   // held by the desktop thread while the worker is to run
    UniqueKernelHandle workerFinished;  // set by the worker as its last step
    UniqueKernelHandle workerThread;
};

struct DesktopHost {
    std::optional<RunningHost> run;  // exactly while the host runs
    // The blend of a render; a test replaces it to make renders fail.
    DesktopPicture::Blend compose = &ComposeDayNight;

    // Counters read by tests through UVDLLHostStatistic.
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

struct DesktopSide {
    // The value received with HookHandle.
    HHOOK hookHandle = nullptr;
    bool paintInProgress = false;
    // The windows HostWindowProc is installed in, and the extra reference
    // on this library that keeps it loaded while any is.
    ChainLink chain[4];
    HMODULE selfReference = nullptr;

    RenderSettings settings;
    CityDatabase cities;
    DesktopHost host;
};

struct UvdllState {
    HMODULE module = nullptr;
    UINT settingsMessage = 0;
    // Full path of globepix.dll beside this library, wide: the folder's name
    // may hold characters the ANSI code page has not. Empty when it would
    // not fit.
    wchar_t resourcePath[MAX_PATH] = {};

    HookRecord hook;      // the controller's process
    DesktopSide desktop;  // the desktop's process
};

UvdllState& State();

}  // namespace uv
