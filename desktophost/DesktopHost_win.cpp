#include "desktophost/DesktopHost_win.h"

#include <ctime>
#include <new>

#include "common/ResourceIds.h"
#include "desktophost/DesktopSubclass_win.h"
#include "desktophost/HostState_win.h"
#include "renderer/BitmapPixels_win.h"
#include "renderer/Compositing.h"
#include "renderer/Compositing_win.h"
#include "renderer/PaintCache_win.h"
#include "renderer/Projection.h"
#include "renderer/Renderer_win.h"
#include "solar/SunPosition.h"

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
    StateLockGuard(HANDLE lock, DWORD limitMs) : lock_(lock), held_(WaitForSingleObject(lock, limitMs) == WAIT_OBJECT_0) {}
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

UniqueKernelHandle NewSemaphore(const char* name) { return UniqueKernelHandle(CreateSemaphoreA(nullptr, 1, 1, name)); }

std::unique_ptr<unsigned char[]> NewBuffer(std::size_t size) {
    return std::unique_ptr<unsigned char[]>(new (std::nothrow) unsigned char[size]);
}

// False when no picture was made (memory short, a failed transfer).
bool RenderOnce(DesktopHost& host, const RenderSettings& settings) {
    try {
        double latitude = 0.0, longitude = 0.0;
        ComputeSubsolarPoint(settings.renderTime, latitude, longitude);
        host.renderedSunLatitude = latitude;
        host.renderedSunLongitude = longitude;
        if (!ComputeDayMask(host.maskBuffer.get(), host.imageWidth, host.imageHeight, longitude, latitude,
                            settings.dawnDuskWidth))
            return false;
        const unsigned char* night =
            settings.useGeneratedNight ? host.generatedNightPixels.get() : host.nightPixels.get();
        if (!host.compose(host.dayPixels.get(), night, host.maskBuffer.get(), host.rendered.dc.get(),
                          host.imageWidth, host.imageHeight))
            return false;
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
    DesktopHost& host = state.host;
    for (;;) {
        if (TakeNow(host.stopSemaphore.get())) break;
        if (WaitForSingleObject(host.renderBaton.get(), kBatonWaitMs) == WAIT_OBJECT_0) {
            bool pending;
            {
                StateLockGuard lock(host.stateLock.get(), INFINITE);
                pending = host.resultPending;
            }
            if (!pending) {
                const bool rendered = RenderOnce(host, state.settings);
                StateLockGuard lock(host.stateLock.get(), INFINITE);
                host.resultPending = true;
                host.renderFailed = !rendered;
            }
            ReleaseSemaphore(host.renderBaton.get(), 1, nullptr);
            PostThreadMessageA(host.desktopThread, host.message, ToWire(MessageId::RenderDone), 0);
        }
        if (WaitForSingleObject(host.stopSemaphore.get(), kWorkerPauseMs) == WAIT_OBJECT_0) break;
    }
    Sleep(50);
    ReleaseSemaphore(host.stopSemaphore.get(), 1, nullptr);
    SetEvent(host.workerFinished.get());
    return 0;
}

// Everything the start creates, released in an order that leaves no object
// selected into a DC that is being deleted.
void ReleaseHostResources(DesktopHost& host) {
    host.dayPixels.reset();
    host.nightPixels.reset();
    host.generatedNightPixels.reset();
    host.maskBuffer.reset();
    host.rendered.Reset();
    host.display.Reset();
    host.paintCache.Reset();
    host.cacheDirty = true;
    host.resourceModule.reset();
    host.imageWidth = host.imageHeight = 0;
}

// The size paintCache must have for the current window and display mode.
void TargetSize(const DesktopHost& host, const RenderSettings& settings, int& width, int& height) {
    RECT screen{};
    GetWindowRect(host.targetWindow, &screen);
    const MapFit fit = FitPaintCache(settings, screen.right, screen.bottom, host.imageWidth, host.imageHeight);
    width = fit.targetWidth;
    height = fit.targetHeight;
}

// Stops the worker. Inside the loader lock a thread's end cannot be awaited
// (it needs that lock), so the worker's own finish signal is used there.
void EndWorker(DesktopHost& host, bool underLoaderLock) {
    if (!host.workerThread) return;
    SetThreadPriority(host.workerThread.get(), THREAD_PRIORITY_ABOVE_NORMAL);
    ReleaseSemaphore(host.stopSemaphore.get(), 1, nullptr);
    bool ended;
    if (underLoaderLock) {
        ended = WaitForSingleObject(host.workerFinished.get(), kWorkerEndWaitMs) == WAIT_OBJECT_0;
        // Give it the few instructions it needs to return out of this library.
        if (ended) Sleep(20);
    } else {
        ended = WaitForSingleObject(host.workerThread.get(), kWorkerEndWaitMs) == WAIT_OBJECT_0;
    }
    // A worker stuck in a render would otherwise run on in freed buffers.
    if (!ended) TerminateThread(host.workerThread.get(), 1);
    host.workerThread.reset();
    host.workerThreadId = 0;
}

void TearDown(UvdllState& state, bool underLoaderLock) {
    DesktopHost& host = state.host;
    EndWorker(host, underLoaderLock);
    if (!underLoaderLock) Sleep(100);
    RestoreTarget();
    ShutdownRenderer();
    ReleaseHostResources(host);
    if (host.stateLock && WaitForSingleObject(host.stateLock.get(), kStateLockWaitMs) == WAIT_OBJECT_0)
        ReleaseSemaphore(host.stateLock.get(), 1, nullptr);
    host.stateLock.reset();
    host.renderBaton.reset();
    host.stopSemaphore.reset();
    host.workerFinished.reset();
    if (host.busySemaphore) ReleaseSemaphore(host.busySemaphore.get(), 1, nullptr);
    host.busySemaphore.reset();
    if (host.quitSemaphore) ReleaseSemaphore(host.quitSemaphore.get(), 1, nullptr);
    host.quitSemaphore.reset();
    host.batonHeld = false;
    host.resultPending = false;
    host.renderFailed = false;
}

// The city list is read again at every start; the selection lives in it.
// Short of memory it stays empty and the map shows without cities.
void LoadCityList(CityDatabase& cities, HMODULE module) {
    try {
        cities.LoadFromResource(module, UV_RES_CITY_LIST);
    } catch (...) {
        cities.Parse(nullptr, 0);
    }
}

void StopHost(UvdllState& state) {
    DesktopHost& host = state.host;
    const HWND window = host.targetWindow;
    TearDown(state, false);
    host.targetWindow = nullptr;
    // The desktop repaints without the map.
    InvalidateRect(nullptr, nullptr, TRUE);
    if (IsWindow(window)) RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

bool StopAllowed(const DesktopHost& host) {
    return host.savedWindowProc && host.quitSemaphore && TakeNow(host.quitSemaphore.get());
}

}  // namespace

bool DesktopHostRunning() { return State().host.savedWindowProc != nullptr; }

bool StartDesktopHost(HWND window) {
    UvdllState& state = State();
    DesktopHost& host = state.host;
    if (host.savedWindowProc) return true;
    // The host lives in the window's own message loop.
    if (!IsWindow(window) || GetWindowThreadProcessId(window, nullptr) != GetCurrentThreadId()) return false;
    if (!state.resourcePath[0]) return false;

    // Resources first: a start that cannot get its images must leave no
    // "umbravue" semaphore behind, or the controller would think it runs.
    UniqueModule module(LoadLibraryA(state.resourcePath));
    if (!module) return false;
    UniqueBitmap dayImage(LoadMapImage(module.get(), UV_RES_DAY_IMAGE));
    UniqueBitmap nightImage(LoadMapImage(module.get(), UV_RES_NIGHT_IMAGE));
    int width = 0, height = 0, nightWidth = 0, nightHeight = 0;
    if (!BitmapSize(dayImage.get(), width, height) || !BitmapSize(nightImage.get(), nightWidth, nightHeight))
        return false;
    if (CheckMapImages(width, height, nightWidth, nightHeight) != MapImageCheck::Ok) return false;
    const std::size_t bufferSize = PixelBufferSize(width, height);
    auto dayPixels = NewBuffer(bufferSize);
    auto nightPixels = NewBuffer(bufferSize);
    auto generatedNight = NewBuffer(bufferSize);
    auto mask = NewBuffer(MaskBufferSize(width, height));
    if (!bufferSize || !dayPixels || !nightPixels || !generatedNight || !mask) return false;

    host.targetWindow = window;
    host.desktopThread = GetCurrentThreadId();
    host.message = RegisterWindowMessageA(kSettingsMessageName);
    state.settingsMessage = host.message;

    LoadCityList(state.cities, module.get());

    bool ok;
    {
        WindowDc windowDc(window);
        UniqueMemoryDc dayDc(CreateCompatibleDC(windowDc.get()));
        UniqueMemoryDc nightDc(CreateCompatibleDC(windowDc.get()));
        ok = dayDc && nightDc && host.rendered.Create(windowDc.get(), width, height) &&
             host.display.Create(windowDc.get(), width, height);
        if (ok) {
            ScopedSelect daySelected(dayDc.get(), dayImage.get());
            ScopedSelect nightSelected(nightDc.get(), nightImage.get());
            ok = ReadBitmapPixels(dayDc.get(), width, height, dayPixels.get()) &&
                 ReadBitmapPixels(nightDc.get(), width, height, nightPixels.get());
            if (ok) {
                GenerateNightPixels(dayPixels.get(), generatedNight.get(), width, height);
                // The placeholder until the first render is composed.
                BitBlt(host.display.dc.get(), 0, 0, width, height, dayDc.get(), 0, 0, SRCCOPY);
                RECT screen{};
                GetWindowRect(window, &screen);
                DrawTextA(host.display.dc.get(), kPleaseWait, -1, &screen, DT_CENTER);
            }
        }
    }
    if (!ok) {
        host.rendered.Reset();
        host.display.Reset();
        host.targetWindow = nullptr;
        return false;
    }

    // Everything that can fail is done: from here the controller's side may
    // see the host as running.
    // Created already taken: whoever sees "umbravue" exist sees it held.
    UniqueKernelHandle busy(CreateSemaphoreA(nullptr, 0, 1, kBusySemaphoreName));
    const bool existed = GetLastError() == ERROR_ALREADY_EXISTS;
    bool busyTaken = busy && (!existed || WaitForSingleObject(busy.get(), kBusyWaitMs) == WAIT_OBJECT_0);
    UniqueKernelHandle quit = NewSemaphore(kQuitSemaphoreName);
    UniqueKernelHandle stateLock = NewSemaphore(nullptr);
    UniqueKernelHandle stopSemaphore = NewSemaphore(nullptr);
    UniqueKernelHandle renderBaton = NewSemaphore(nullptr);
    UniqueKernelHandle finished(CreateEventA(nullptr, TRUE, FALSE, nullptr));
    if (!busyTaken || !quit || !stateLock || !stopSemaphore || !renderBaton || !finished) {
        if (busyTaken) ReleaseSemaphore(busy.get(), 1, nullptr);
        host.rendered.Reset();
        host.display.Reset();
        host.targetWindow = nullptr;
        return false;
    }

    host.resourceModule = std::move(module);
    SetResourceModule(host.resourceModule.get());
    host.imageWidth = width;
    host.imageHeight = height;
    host.dayPixels = std::move(dayPixels);
    host.nightPixels = std::move(nightPixels);
    host.generatedNightPixels = std::move(generatedNight);
    host.maskBuffer = std::move(mask);
    host.paintCache.Reset();
    host.cacheDirty = true;

    TakeNow(stopSemaphore.get());
    TakeNow(renderBaton.get());
    host.busySemaphore = std::move(busy);
    host.quitSemaphore = std::move(quit);
    host.stateLock = std::move(stateLock);
    host.stopSemaphore = std::move(stopSemaphore);
    host.renderBaton = std::move(renderBaton);
    host.workerFinished = std::move(finished);
    host.batonHeld = true;
    host.resultPending = false;

    DWORD threadId = 0;
    host.workerThread.reset(CreateThread(nullptr, 0, RenderWorker, nullptr, 0, &threadId));
    if (!host.workerThread) {
        TearDown(state, false);
        return false;
    }
    host.workerThreadId = threadId;
    SetThreadPriority(host.workerThread.get(), THREAD_PRIORITY_BELOW_NORMAL);

    state.settings.renderTime = time(nullptr);
    RequestRender();

    if (!SubclassTarget(window)) {
        TearDown(state, false);
        host.targetWindow = nullptr;
        return false;
    }
    InvalidateRect(window, nullptr, TRUE);
    CreateLabelFont();
    InterlockedIncrement(&host.starts);
    return true;
}

void StopDesktopHost() {
    UvdllState& state = State();
    if (StopAllowed(state.host)) StopHost(state);
    ReleaseLibraryIfUnused();
}

void StopForDestroyedWindow() {
    UvdllState& state = State();
    if (StopAllowed(state.host)) StopHost(state);
}

void DetachDesktopHost() {
    UvdllState& state = State();
    if (!state.host.savedWindowProc) return;
    const HWND window = state.host.targetWindow;
    TearDown(state, true);
    state.host.targetWindow = nullptr;
    if (IsWindow(window)) InvalidateRect(window, nullptr, TRUE);
}

void RequestRender() {
    DesktopHost& host = State().host;
    if (!host.stateLock) return;
    StateLockGuard lock(host.stateLock.get(), kStateLockWaitMs);
    if (!lock.held()) {
        // The render time is recorded; the hand-over is tried again when
        // this message comes round.
        PostThreadMessageA(host.desktopThread, host.message, ToWire(MessageId::SetTime), 0);
        return;
    }
    if (host.batonHeld) {
        ReleaseSemaphore(host.renderBaton.get(), 1, nullptr);
        host.batonHeld = false;
    }
}

void ComposeRenderedPicture() {
    UvdllState& state = State();
    DesktopHost& host = state.host;
    if (!host.savedWindowProc || !host.stateLock) return;
    {
        // Only a finished picture is taken: a stray RenderDone must not take
        // the baton that a render request has just handed to the worker.
        // While the picture stays pending the worker posts RenderDone again,
        // so every give-up here is retried.
        StateLockGuard lock(host.stateLock.get(), kStateLockWaitMs);
        if (!lock.held() || host.batonHeld || !host.resultPending) return;
    }
    if (WaitForSingleObject(host.renderBaton.get(), kBatonWaitMs) != WAIT_OBJECT_0) return;
    bool failed;
    {
        StateLockGuard lock(host.stateLock.get(), kStateLockWaitMs);
        if (!lock.held()) {
            ReleaseSemaphore(host.renderBaton.get(), 1, nullptr);
            return;
        }
        // The baton is ours, so is the result: nothing renders until the
        // next request.
        host.batonHeld = true;
        host.resultPending = false;
        failed = host.renderFailed;
        host.renderFailed = false;
    }
    // A failed render leaves the last good picture (or the placeholder) on
    // display; the next request tries again.
    if (failed) return;
    const RenderSettings& settings = state.settings;
    const int shift = HorizontalShift(settings.followSun != 0, host.renderedSunLongitude,
                                      static_cast<float>(settings.xOffset), host.imageWidth);
    RotateIntoDisplay(host.display.dc.get(), host.rendered.dc.get(), host.imageWidth, host.imageHeight, shift);
    host.shownSunLongitude = host.renderedSunLongitude;
    host.shownSunLatitude = host.renderedSunLatitude;
    host.cacheDirty = true;

    int width = 0, height = 0;
    TargetSize(host, settings, width, height);
    const bool sameSize = host.paintCache.exists() && host.paintCache.width == width && host.paintCache.height == height;
    InvalidateRect(host.targetWindow, nullptr, sameSize ? FALSE : TRUE);
    InterlockedIncrement(&host.composes);
}

}  // namespace uv
