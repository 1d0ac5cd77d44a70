#include "ways/WallpaperMode_win.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <new>

#include "common/WinHandles.h"
#include "ways/MonitorPictures_win.h"
#include "ways/MonitorWallpaper_win.h"
#include "ways/UserWallpaper_win.h"
#include "ways/WallpaperRenderer_win.h"

namespace uv {

namespace {

enum : LONG { kSetAllowed = 0, kSetting = 1, kSetStopped = 2 };
// The system ends a program a few seconds after the session's end: a
// change under way is waited for no longer than this then.
constexpr DWORD kSessionEndMs = 3000;

// One renderer at a time in the process: its label font, sun glyph and
// resource module are the process's. A renewal thread that outlived its
// stop still tears its renderer down; a new one waits until it has.
HANDLE RendererTurn() {
    static const HANDLE turn = CreateSemaphoreA(nullptr, 1, 1, nullptr);
    return turn;
}

// Waits for handle (or, without one, only lets limitMs pass) while running
// the messages other threads send to this one: the worker's wallpaper change
// broadcasts to every top-level window, this thread's among them.
bool WaitRunningSentMessages(HANDLE handle, DWORD limitMs) {
    const DWORD start = GetTickCount();
    for (;;) {
        const DWORD elapsed = GetTickCount() - start;
        if (elapsed >= limitMs) return handle && WaitForSingleObject(handle, 0) == WAIT_OBJECT_0;
        const DWORD r = MsgWaitForMultipleObjects(handle ? 1 : 0, handle ? &handle : nullptr, FALSE,
                                                  limitMs - elapsed, QS_SENDMESSAGE);
        if (handle && r == WAIT_OBJECT_0) return true;
        if (r == WAIT_TIMEOUT || r == WAIT_FAILED)
            return handle && WaitForSingleObject(handle, 0) == WAIT_OBJECT_0;
        MSG msg;
        PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
}

}  // namespace

struct WallpaperMode::Worker : SetGate {
    HWND owner;
    HKEY root;
    WideText library;
    WallpaperSetter set;
    UniqueKernelHandle stop;  // manual reset: the thread is to end
    UniqueKernelHandle work;  // auto reset: a job is pending
    UniqueKernelHandle thread;
    CRITICAL_SECTION lock;  // guards pending
    std::unique_ptr<WallpaperJob> pending;
    volatile LONG setState = kSetAllowed;

    Worker(HWND o, HKEY r, const WideText& l, WallpaperSetter s) : owner(o), root(r), library(l), set(s) {
        InitializeCriticalSection(&lock);
    }
    ~Worker() override { DeleteCriticalSection(&lock); }

    static DWORD WINAPI Main(void* self) {
        static_cast<Worker*>(self)->Run();
        return 0;
    }

    bool Enter() override {
        return InterlockedCompareExchange(&setState, kSetting, kSetAllowed) == kSetAllowed;
    }
    void Leave() override { InterlockedExchange(&setState, kSetAllowed); }

    void Run() {
        HANDLE turn = RendererTurn();
        HANDLE first[2] = {stop.get(), turn};
        if (!turn || WaitForMultipleObjects(2, first, FALSE, INFINITE) != WAIT_OBJECT_0 + 1) return;
        RenderUntilStopped();
        ReleaseSemaphore(turn, 1, nullptr);
    }

    // What this thread last made the wallpaper in the one-picture way.
    struct LastSet {
        bool valid = false;
        std::uint64_t hash = 0;
        WideText picture;
        WallpaperPlacement placement;
    };

    // The thread's state from one renewal to the next.
    struct State {
        WallpaperFiles files;
        bool prepared = false;
        bool kept = false;
        bool slideshowLost = false;  // shown over a slideshow, as the user asked
        LastSet last;
    };

    void RenderUntilStopped() {
        // Sizes in physical pixels, whatever the monitors' scaling.
        PhysicalPixels physical;
        ComApartment com;
        DesktopWallpaperObject object;  // none before Windows 8
        MonitorPictures pictures(object);
        WallpaperRenderer renderer(library);
        State state;
        HANDLE waits[2] = {stop.get(), work.get()};
        for (;;) {
            if (WaitForMultipleObjects(2, waits, FALSE, INFINITE) != WAIT_OBJECT_0 + 1) break;
            std::unique_ptr<WallpaperJob> job;
            EnterCriticalSection(&lock);
            job = std::move(pending);
            LeaveCriticalSection(&lock);
            if (!job) continue;
            WallpaperResult result = WallpaperResult::Pending;
            if (!Renew(renderer, object, pictures, *job, state, result)) break;
            if (result == WallpaperResult::Shown && state.slideshowLost)
                result = WallpaperResult::ShownSlideshowLost;
            PostMessageA(owner, kWallpaperDoneMessage, static_cast<WPARAM>(result), 0);
        }
    }

    // One renewal. False when the mode stopped meanwhile.
    bool Renew(WallpaperRenderer& renderer, DesktopWallpaperObject& object, MonitorPictures& pictures,
               WallpaperJob& job, State& state, WallpaperResult& result) {
        if (!state.prepared) {
            if (!(state.prepared = PrepareWallpaperFiles(state.files))) {
                result = WallpaperResult::NoFolder;
                return true;
            }
            // For the uninstall, which removes the folder.
            RegistryWallpaperStore(root).Write(WallpaperKey::Product, kPictureFolderValue,
                                               WideStringValue(state.files.folder));
        }
        job.files = state.files;
        std::vector<MonitorArea> monitors;
        const bool perMonitor = object && object.Monitors(monitors) && !monitors.empty();
        if (!state.kept) {
            // A slideshow cannot be brought back from what is kept: the map
            // is shown over it only when the user asked for the map.
            const bool slideshow = perMonitor && object.SlideshowConfigured();
            if (slideshow && !job.forced) {
                result = WallpaperResult::Slideshow;
                return true;
            }
            if (!Enter()) return false;
            RegistryWallpaperStore store(root);
            const WallpaperFiles& files = state.files;
            state.kept = KeepUserWallpaper(
                store, files.Picture(kAllMonitors, 0), [&files] { return CopyShownPicture(files); },
                [&](WallpaperStore& s) { return !perMonitor || pictures.Keep(s); });
            Leave();
            if (!state.kept) {
                result = WallpaperResult::NotKept;
                return true;
            }
            state.slideshowLost = slideshow;
        }
        if (perMonitor) return pictures.Renew(renderer, job, monitors, *this, stop.get(), result);
        job.screen = CurrentScreenLayout();
        job.placement = CurrentWallpaperPlacement(job.screen);
        job.dpi = MonitorDpi(MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY));
        result = renderer.Render(job);
        return result != WallpaperResult::Shown || Present(renderer, job, state.last, result);
    }

    // Writes and shows a rendered picture unless the desktop shows the same
    // already. False when the mode has stopped meanwhile.
    bool Present(WallpaperRenderer& renderer, WallpaperJob& job, LastSet& last, WallpaperResult& result) {
        RegValue shown;
        RegistryWallpaperStore(root).Read(WallpaperKey::Desktop, kDesktopValues[0], shown);
        const WideText current = WideValueText(shown);
        // Not ours after we set ours: the user chose it, and it stays.
        if (last.valid && !IsOurPicture(current, job.files.Picture(kAllMonitors, 0))) {
            result = WallpaperResult::UserChose;
            return true;
        }
        const SelectedBitmap& picture = *renderer.Rendered();
        const std::uint64_t hash = HashPicture(picture);
        const bool samePlacement = last.valid && SamePlacement(last.placement, job.placement);
        if (samePlacement && hash == last.hash && SameWidePath(current, last.picture)) return true;
        // The file the desktop does not show.
        job.picture =
            job.files.Picture(kAllMonitors, SameWidePath(current, job.files.Picture(kAllMonitors, 0)));
        result = WritePictureFile(job.files, job.picture, picture, stop.get());
        if (result != WallpaperResult::Shown) return WaitForSingleObject(stop.get(), 0) != WAIT_OBJECT_0;
        job.writeStyle = !samePlacement;
        if (!Enter()) return false;
        result = set(root, job.picture, job.placement, job.writeStyle) ? WallpaperResult::Shown
                                                                       : WallpaperResult::SetFailed;
        Leave();
        if (result == WallpaperResult::Shown) last = LastSet{true, hash, job.picture, job.placement};
        return true;
    }

    static bool SamePlacement(const WallpaperPlacement& a, const WallpaperPlacement& b) {
        return std::strcmp(a.style, b.style) == 0 && std::strcmp(a.tile, b.tile) == 0 &&
               a.shiftX == b.shiftX && a.shiftY == b.shiftY;
    }
};

WallpaperMode::WallpaperMode(HWND owner, HKEY root, WideText resourceLibrary, WallpaperModeOptions options)
    : owner_(owner), root_(root), library_(std::move(resourceLibrary)), options_(options) {}

WallpaperMode::~WallpaperMode() { Stop(); }

bool WallpaperMode::StartWorker() {
    Worker* w =
        new (std::nothrow) Worker(owner_, root_, library_, options_.set ? options_.set : &SetOurWallpaper);
    if (!w) return false;
    w->stop.reset(CreateEventA(nullptr, TRUE, FALSE, nullptr));
    w->work.reset(CreateEventA(nullptr, FALSE, FALSE, nullptr));
    DWORD id = 0;
    if (w->stop && w->work)
        w->thread.reset(CreateThread(nullptr, 0, &Worker::Main, w, CREATE_SUSPENDED, &id));
    if (!w->thread) {
        delete w;
        return false;
    }
    SetThreadPriority(w->thread.get(), THREAD_PRIORITY_BELOW_NORMAL);
    ResumeThread(w->thread.get());
    worker_ = w;
    return true;
}

WallpaperResult WallpaperMode::Renew(std::vector<SettingsPost> burst, std::time_t time, bool forced) {
    // The policy's wallpaper wins over ours whatever the system answers: the
    // user's stays as it is, and the Information page says why.
    if (PolicySetsWallpaper(root_)) return WallpaperResult::Policy;
    if (!worker_ && !StartWorker()) return WallpaperResult::NoMemory;
    auto job = std::unique_ptr<WallpaperJob>(new (std::nothrow) WallpaperJob);
    if (!job) return WallpaperResult::NoMemory;
    job->burst = std::move(burst);
    job->time = time;
    job->forced = forced;
    EnterCriticalSection(&worker_->lock);
    worker_->pending = std::move(job);
    LeaveCriticalSection(&worker_->lock);
    SetEvent(worker_->work.get());
    return WallpaperResult::Pending;
}

bool WallpaperMode::Stop(StopKind kind) {
    bool gateClosed = true;
    Worker* w = worker_;
    if (!w) return true;
    worker_ = nullptr;
    SetEvent(w->stop.get());
    const DWORD start = GetTickCount();
    const DWORD limit =
        kind == StopKind::Quit ? options_.stopLimitMs : std::min(options_.stopLimitMs, kSessionEndMs);
    LONG state;
    while ((state = InterlockedCompareExchange(&w->setState, kSetStopped, kSetAllowed)) == kSetting &&
           GetTickCount() - start < limit)
        WaitRunningSentMessages(nullptr, 20);
    gateClosed = state != kSetting;
    const DWORD spent = GetTickCount() - start;
    const bool ended =
        kind == StopKind::Quit && WaitRunningSentMessages(w->thread.get(), spent < limit ? limit - spent : 0);
    // A thread that is still rendering keeps using w until the process ends.
    if (ended) delete w;
    // What the thread kept goes back, unless a change of the wallpaper is
    // still under way: it could land after the restore.
    return gateClosed && RestoreKeptWallpaper(root_) != RestoreResult::Failed;
}

}  // namespace uv
