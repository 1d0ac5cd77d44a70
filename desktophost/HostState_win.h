// Everything uvdll.dll keeps per process, gathered in one place. Each process
// that loads the library has its own copy: the controller's copy keeps the
// hook it installed, the copy inside the desktop's process the desktop host.
#pragma once

#include <windows.h>

#include <optional>
#include <utility>

#include "common/WinHandles.h"
#include "desktophost/DesktopSubclass_win.h"
#include "renderer/MapPicture_win.h"
#include "renderer/PictureWorker_win.h"
#include "renderer/RenderContext_win.h"
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

// Everything a start makes. A start that fails anywhere drops it, and a
// stop ends the worker, puts the window procedure back and drops it.
// Members are released from the last to the first, so "umbravue" is let go
// of after everything else, and what the render context made before the
// library it came from. The worker composes the picture while it holds the
// render baton (PictureWorker); the desktop thread shows and paints it
// with the render context.
struct RunningHost : PictureWorker::Job {
    explicit RunningHost(const wchar_t* resourcePath)
        : resourceModule(LoadLibraryW(resourcePath)), context(resourceModule.get()) {}

    bool Compose() override;
    void Done() override;

    HWND targetWindow = nullptr;
    DWORD desktopThread = 0;
    HeldSemaphore quitSemaphore;  // "umbravue quit received": taken by the stop
    HeldSemaphore busySemaphore;  // "umbravue": held from start to the end of stop
    UniqueModule resourceModule;
    RenderContext context;  // the desktop thread's
    MapImages images;       // read-only once the worker runs
    MapPicture picture;
    SubclassedWindow subclass;
    PictureWorker worker;
};

struct DesktopHost {
    std::optional<RunningHost> run;  // from the start of a start to the end of a stop
    // Set by a test to make renders fail.
    volatile LONG failRenders = 0;

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
