#include "desktophost/DesktopHost_win.h"

#include <ctime>

#include "common/ResourceIds.h"
#include "desktophost/DesktopSubclass_win.h"
#include "desktophost/HostState_win.h"
#include "renderer/Renderer_win.h"

namespace uv {

namespace {

constexpr char kPleaseWait[] = "please wait, image is rendering in the background";

constexpr DWORD kBatonWaitMs = 1000;
constexpr DWORD kWorkerPauseMs = 5000;
// Another host (in another desktop process) holding "umbravue" for this long
// is not going away; this desktop then stays without a map.
constexpr DWORD kBusyWaitMs = 2000;
// The worker sees a stop after at most one render and one baton wait.
constexpr DWORD kWorkerEndWaitMs = 30000;
// StateLock is held for a few instructions only, but by a below-normal
// worker that a busy machine may not run for a while: the desktop thread
// gives up after this long and tries again later.
constexpr DWORD kStateLockWaitMs = 1000;

// Nothing else is waited on while StateLock is held.
class StateLockGuard {
public:
    StateLockGuard(HANDLE lock, DWORD limitMs)
        : lock_(lock), held_(WaitForSingleObject(lock, limitMs) == WAIT_OBJECT_0) {}
    ~StateLockGuard() {
        if (held_) ReleaseSemaphore(lock_, 1, nullptr);
    }
    StateLockGuard(const StateLockGuard&) = delete;
    StateLockGuard& operator=(const StateLockGuard&) = delete;
    bool held() const { return held_; }

private:
    HANDLE lock_;
    bool held_;
};

bool TakeNow(HANDLE semaphore) { return WaitForSingleObject(semaphore, 0) == WAIT_OBJECT_0; }

UniqueKernelHandle NewSemaphore(const char* name) {
    return UniqueKernelHandle(CreateSemaphoreA(nullptr, 1, 1, name));
}

// False when no picture was made (memory short, a failed transfer).
bool RenderOnce(DesktopHost& host, RunningHost& run, const RenderSettings& settings) {
    try {
        if (!run.picture.Compose(run.images, settings, host.compose)) return false;
    } catch (...) {
        return false;
    }
    InterlockedIncrement(&host.renders);
    return true;
}

// The worker polls for work: a bounded wait for the baton, then a pause. The
// pause waits on the stop signal, so a stop does not sit out the whole pause.
DWORD WINAPI RenderWorker(void*) {
    UvdllState& state = State();
    DesktopHost& host = state.desktop.host;
    RunningHost& run = *host.run;
    for (;;) {
        if (TakeNow(run.stopSemaphore.get())) break;
        if (WaitForSingleObject(run.renderBaton.get(), kBatonWaitMs) == WAIT_OBJECT_0) {
            // A picture the desktop thread has not taken yet is not rendered over.
            bool requested;
            {
                StateLockGuard lock(run.stateLock.get(), INFINITE);
                requested = run.stage == RenderStage::Requested;
                if (requested) run.stage = RenderStage::Rendering;
            }
            if (requested) {
                const bool rendered = RenderOnce(host, run, state.desktop.settings);
                StateLockGuard lock(run.stateLock.get(), INFINITE);
                run.stage = rendered ? RenderStage::Done : RenderStage::Failed;
            }
            ReleaseSemaphore(run.renderBaton.get(), 1, nullptr);
            PostThreadMessageA(run.desktopThread, state.settingsMessage, ToWire(MessageId::RenderDone), 0);
        }
        if (WaitForSingleObject(run.stopSemaphore.get(), kWorkerPauseMs) == WAIT_OBJECT_0) break;
    }
    Sleep(50);
    ReleaseSemaphore(run.stopSemaphore.get(), 1, nullptr);
    SetEvent(run.workerFinished.get());
    return 0;
}

// Everything up to the worker's start; the worker waits, suspended, until the
// host is in place. False, with nothing made kept, when a step fails.
bool BuildHost(RunningHost& fresh, HWND window, const wchar_t* resourcePath) {
    fresh.targetWindow = window;
    fresh.desktopThread = GetCurrentThreadId();
    // Resources first: a start that cannot get its images must leave no
    // "umbravue" semaphore behind, or the controller would think it runs.
    fresh.resourceModule.reset(LoadLibraryW(resourcePath));
    if (!fresh.resourceModule || !fresh.images.Load(fresh.resourceModule.get()) ||
        !fresh.picture.Prepare(fresh.images.width, fresh.images.height))
        return false;
    // The picture on the desktop until the first render is shown.
    RECT screen{};
    GetWindowRect(window, &screen);
    fresh.picture.ShowPlaceholder(fresh.images, kPleaseWait, screen);

    // Created already taken: whoever sees "umbravue" exist sees it held.
    HeldSemaphore& busy = fresh.busySemaphore;
    busy.handle.reset(CreateSemaphoreA(nullptr, 0, 1, kBusySemaphoreName));
    const bool existed = GetLastError() == ERROR_ALREADY_EXISTS;
    busy.held =
        busy.handle && (!existed || WaitForSingleObject(busy.handle.get(), kBusyWaitMs) == WAIT_OBJECT_0);
    fresh.quitSemaphore.handle = NewSemaphore(kQuitSemaphoreName);
    fresh.stateLock = NewSemaphore(nullptr);
    fresh.renderBaton = NewSemaphore(nullptr);
    fresh.stopSemaphore = NewSemaphore(nullptr);
    fresh.workerFinished.reset(CreateEventA(nullptr, TRUE, FALSE, nullptr));
    if (!busy.held || !fresh.quitSemaphore.handle || !fresh.stateLock || !fresh.renderBaton ||
        !fresh.stopSemaphore || !fresh.workerFinished || !fresh.subclass.Install(window))
        return false;
    TakeNow(fresh.stopSemaphore.get());
    TakeNow(fresh.renderBaton.get());
    DWORD threadId = 0;
    fresh.workerThread.reset(CreateThread(nullptr, 0, RenderWorker, nullptr, CREATE_SUSPENDED, &threadId));
    if (!fresh.workerThread) return false;
    SetThreadPriority(fresh.workerThread.get(), THREAD_PRIORITY_BELOW_NORMAL);
    return true;
}

// The city list is read again at every start; the selection lives in it.
// Short of memory it stays empty and the map shows without cities.
void LoadCityList(CityDatabase& cities, HMODULE module) {
    try {
        cities.LoadFromResource(module, UV_RES_CITY_LIST);
        cities.LoadZonesFromResource(module, UV_RES_CITY_ZONES);
    } catch (...) {
        cities.Parse(nullptr, 0);
    }
}

// Stops the worker. Inside the loader lock a thread's end cannot be awaited
// (it needs that lock), so the worker's own finish signal is used there.
void EndWorker(RunningHost& run, bool underLoaderLock) {
    SetThreadPriority(run.workerThread.get(), THREAD_PRIORITY_ABOVE_NORMAL);
    ReleaseSemaphore(run.stopSemaphore.get(), 1, nullptr);
    bool ended;
    if (underLoaderLock) {
        ended = WaitForSingleObject(run.workerFinished.get(), kWorkerEndWaitMs) == WAIT_OBJECT_0;
        // Give it the few instructions it needs to return out of this library.
        if (ended) Sleep(20);
    } else {
        ended = WaitForSingleObject(run.workerThread.get(), kWorkerEndWaitMs) == WAIT_OBJECT_0;
    }
    // A worker stuck in a render would otherwise run on in freed buffers.
    if (!ended) TerminateThread(run.workerThread.get(), 1);
    run.workerThread.reset();
}

// Ends the worker, puts the list view's own procedure back and frees what
// the start made, "umbravue" last. Returns the window that was served.
HWND TearDown(DesktopHost& host, bool underLoaderLock) {
    RunningHost& run = *host.run;
    const HWND window = run.targetWindow;
    EndWorker(run, underLoaderLock);
    if (!underLoaderLock) Sleep(100);
    run.subclass.Restore();
    ShutdownRenderer();
    if (WaitForSingleObject(run.stateLock.get(), kStateLockWaitMs) == WAIT_OBJECT_0)
        ReleaseSemaphore(run.stateLock.get(), 1, nullptr);
    host.run.reset();
    return window;
}

void StopHost(DesktopHost& host) {
    const HWND window = TearDown(host, false);
    // The desktop repaints without the map.
    InvalidateRect(nullptr, nullptr, TRUE);
    if (IsWindow(window))
        RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

bool StopAllowed(DesktopHost& host) { return host.run && host.run->quitSemaphore.TakeNow(); }

}  // namespace

bool DesktopHostRunning() { return State().desktop.host.run.has_value(); }

bool StartDesktopHost(HWND window) {
    UvdllState& state = State();
    DesktopSide& desk = state.desktop;
    if (desk.host.run) return true;
    // The host lives in the window's own message loop.
    if (!IsWindow(window) || GetWindowThreadProcessId(window, nullptr) != GetCurrentThreadId()) return false;
    if (!state.resourcePath[0]) return false;
    try {
        RunningHost fresh;
        if (!BuildHost(fresh, window, state.resourcePath)) return false;
        desk.host.run.emplace(std::move(fresh));
    } catch (...) {
        return false;
    }

    RunningHost& run = *desk.host.run;
    state.settingsMessage = RegisterWindowMessageA(kSettingsMessageName);
    SetResourceModule(run.resourceModule.get());
    LoadCityList(desk.cities, run.resourceModule.get());
    ResumeThread(run.workerThread.get());
    desk.settings.renderTime = time(nullptr);
    RequestRender();
    InvalidateRect(window, nullptr, TRUE);
    CreateLabelFont();
    InterlockedIncrement(&desk.host.starts);
    return true;
}

void StopDesktopHost() {
    DesktopHost& host = State().desktop.host;
    if (StopAllowed(host)) StopHost(host);
    ReleaseLibraryIfUnused();
}

void StopForDestroyedWindow() {
    DesktopHost& host = State().desktop.host;
    if (StopAllowed(host)) StopHost(host);
}

void DetachDesktopHost() {
    DesktopHost& host = State().desktop.host;
    if (!host.run) return;
    const HWND window = TearDown(host, true);
    if (IsWindow(window)) InvalidateRect(window, nullptr, TRUE);
}

void RequestRender() {
    UvdllState& state = State();
    if (!state.desktop.host.run) return;
    RunningHost& run = *state.desktop.host.run;
    StateLockGuard lock(run.stateLock.get(), kStateLockWaitMs);
    if (!lock.held()) {
        // The render time is recorded; the hand-over is tried again when
        // this message comes round.
        PostThreadMessageA(run.desktopThread, state.settingsMessage, ToWire(MessageId::SetTime), 0);
        return;
    }
    if (run.stage == RenderStage::Idle) {
        ReleaseSemaphore(run.renderBaton.get(), 1, nullptr);
        run.stage = RenderStage::Requested;
    }
}

void ComposeRenderedPicture() {
    DesktopSide& desk = State().desktop;
    if (!desk.host.run) return;
    RunningHost& run = *desk.host.run;
    {
        // Only a finished picture is taken: a stray RenderDone must not take
        // the baton that a render request has just handed to the worker.
        // While the picture stays pending the worker posts RenderDone again,
        // so every give-up here is retried.
        StateLockGuard lock(run.stateLock.get(), kStateLockWaitMs);
        if (!lock.held() || (run.stage != RenderStage::Done && run.stage != RenderStage::Failed)) return;
    }
    if (WaitForSingleObject(run.renderBaton.get(), kBatonWaitMs) != WAIT_OBJECT_0) return;
    bool failed;
    {
        StateLockGuard lock(run.stateLock.get(), kStateLockWaitMs);
        if (!lock.held()) {
            ReleaseSemaphore(run.renderBaton.get(), 1, nullptr);
            return;
        }
        // The baton is ours, so is the result: nothing renders until the
        // next request.
        failed = run.stage == RenderStage::Failed;
        run.stage = RenderStage::Idle;
    }
    // A failed render leaves the last good picture (or the placeholder) on
    // display; the next request tries again.
    if (failed) return;
    run.picture.Show(desk.settings);
    RECT screen{};
    GetWindowRect(run.targetWindow, &screen);
    const MapFit fit = run.picture.Fit(desk.settings, screen.right, screen.bottom);
    const SelectedBitmap& cache = run.picture.cache();
    const bool sameSize =
        cache.exists() && cache.width == fit.targetWidth && cache.height == fit.targetHeight;
    InvalidateRect(run.targetWindow, nullptr, sameSize ? FALSE : TRUE);
    InterlockedIncrement(&desk.host.composes);
}

}  // namespace uv
