#include "desktophost/DesktopHost_win.h"

#include <ctime>

#include "common/ResourceIds.h"
#include "desktophost/DesktopSubclass_win.h"
#include "desktophost/HostState_win.h"

namespace uv {

namespace {

constexpr char kPleaseWait[] = "please wait, image is rendering in the background";

// Another host (in another desktop process) holding "umbravue" for this long
// is not going away; this desktop then stays without a map.
constexpr DWORD kBusyWaitMs = 2000;

UniqueKernelHandle NewSemaphore(const char* name) {
    return UniqueKernelHandle(CreateSemaphoreA(nullptr, 1, 1, name));
}

// Everything up to the worker's start. False when a step fails; dropping
// the host then undoes what was made.
bool BuildHost(RunningHost& fresh, HWND window) {
    fresh.targetWindow = window;
    fresh.desktopThread = GetCurrentThreadId();
    // Resources first: a start that cannot get its images must leave no
    // "umbravue" semaphore behind, or the controller would think it runs.
    if (!fresh.resourceModule || !fresh.images.Load(fresh.resourceModule.get()) ||
        !fresh.picture.Prepare(fresh.images, fresh.images.width, fresh.images.height))
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
    return busy.held && fresh.quitSemaphore.handle && fresh.worker.Create() && fresh.subclass.Install(window);
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

// Ends the worker, puts the list view's own procedure back and frees what
// the start made, "umbravue" last. Returns the window that was served.
HWND TearDown(DesktopHost& host, bool underLoaderLock) {
    RunningHost& run = *host.run;
    const HWND window = run.targetWindow;
    run.worker.Stop(underLoaderLock);
    if (!underLoaderLock) Sleep(100);
    run.subclass.Restore();
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
        desk.host.run.emplace(state.resourcePath);
        if (!BuildHost(*desk.host.run, window)) {
            desk.host.run.reset();
            return false;
        }
    } catch (...) {
        desk.host.run.reset();
        return false;
    }

    RunningHost& run = *desk.host.run;
    state.settingsMessage = RegisterWindowMessageA(kSettingsMessageName);
    LoadCityList(desk.cities, run.resourceModule.get());
    if (!run.worker.Start(run)) {
        desk.host.run.reset();
        return false;
    }
    desk.settings.renderTime = time(nullptr);
    RequestRender();
    InvalidateRect(window, nullptr, TRUE);
    run.context.LabelFont();
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
    // The render time is recorded; the hand-over is tried again when this
    // message comes round.
    if (!run.worker.Request())
        PostThreadMessageA(run.desktopThread, state.settingsMessage, ToWire(MessageId::SetTime), 0);
}

void ComposeRenderedPicture() {
    DesktopSide& desk = State().desktop;
    if (!desk.host.run) return;
    RunningHost& run = *desk.host.run;
    // A failed render leaves the last good picture (or the placeholder) on
    // display; the next request tries again.
    if (run.worker.Take() != PictureWorker::Taken::Picture) return;
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

// The worker's render: the picture at the images' size, dithered with the
// worker's own rand. False when no picture was made (memory short, a failed
// transfer).
bool RunningHost::Compose() {
    DesktopHost& host = State().desktop.host;
    if (host.failRenders) return false;
    try {
        if (!picture.Compose(images, State().desktop.settings, MapPicture::Dither::ThreadRand)) return false;
    } catch (...) {
        return false;
    }
    InterlockedIncrement(&host.renders);
    return true;
}

void RunningHost::Done() {
    PostThreadMessageA(desktopThread, State().settingsMessage, ToWire(MessageId::RenderDone), 0);
}

}  // namespace uv
