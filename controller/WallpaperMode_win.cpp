#include "controller/WallpaperMode_win.h"

#include <memory>
#include <new>

#include "common/WinHandles.h"
#include "controller/UserWallpaper_win.h"
#include "controller/WallpaperRenderer_win.h"

namespace uv {

namespace {

// A renewal ends within a few seconds even at 4K; one that does not is
// given up on so that quitting never hangs.
constexpr DWORD kStopLimitMs = 20000;

enum : LONG { kSetAllowed = 0, kSetting = 1, kSetStopped = 2 };

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
        if (r == WAIT_TIMEOUT || r == WAIT_FAILED) return handle && WaitForSingleObject(handle, 0) == WAIT_OBJECT_0;
        MSG msg;
        PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
}

}  // namespace

struct WallpaperMode::Worker {
    HWND owner;
    HKEY root;
    std::string library;
    UniqueKernelHandle stop;     // manual reset: the thread is to end
    UniqueKernelHandle work;     // auto reset: a job is pending
    UniqueKernelHandle thread;
    CRITICAL_SECTION lock;       // guards pending
    std::unique_ptr<WallpaperJob> pending;
    volatile LONG setState = kSetAllowed;

    Worker(HWND o, HKEY r, const std::string& l) : owner(o), root(r), library(l) { InitializeCriticalSection(&lock); }
    ~Worker() { DeleteCriticalSection(&lock); }

    static DWORD WINAPI Main(void* self) {
        static_cast<Worker*>(self)->Run();
        return 0;
    }

    void Run() {
        WallpaperRenderer renderer(library);
        HANDLE waits[2] = {stop.get(), work.get()};
        for (;;) {
            if (WaitForMultipleObjects(2, waits, FALSE, INFINITE) != WAIT_OBJECT_0 + 1) break;
            std::unique_ptr<WallpaperJob> job;
            EnterCriticalSection(&lock);
            job = std::move(pending);
            LeaveCriticalSection(&lock);
            if (!job) continue;
            WallpaperResult result = renderer.Render(*job);
            if (result == WallpaperResult::Shown) {
                // Once the mode stops, the user's wallpaper is going back:
                // no picture of ours may follow it.
                if (InterlockedCompareExchange(&setState, kSetting, kSetAllowed) != kSetAllowed) break;
                if (!SetOurWallpaper(root, job->files.picture, job->placement)) result = WallpaperResult::SetFailed;
                InterlockedExchange(&setState, kSetAllowed);
            }
            PostMessageA(owner, kWallpaperDoneMessage, static_cast<WPARAM>(result), 0);
        }
    }
};

WallpaperMode::WallpaperMode(HWND owner, HKEY root, std::string resourceLibrary)
    : owner_(owner), root_(root), library_(std::move(resourceLibrary)) {}

WallpaperMode::~WallpaperMode() { Stop(); }

bool WallpaperMode::StartWorker() {
    Worker* w = new (std::nothrow) Worker(owner_, root_, library_);
    if (!w) return false;
    w->stop.reset(CreateEventA(nullptr, TRUE, FALSE, nullptr));
    w->work.reset(CreateEventA(nullptr, FALSE, FALSE, nullptr));
    DWORD id = 0;
    if (w->stop && w->work) w->thread.reset(CreateThread(nullptr, 0, &Worker::Main, w, CREATE_SUSPENDED, &id));
    if (!w->thread) {
        delete w;
        return false;
    }
    SetThreadPriority(w->thread.get(), THREAD_PRIORITY_BELOW_NORMAL);
    ResumeThread(w->thread.get());
    worker_ = w;
    return true;
}

WallpaperResult WallpaperMode::Renew(std::vector<SettingsPost> burst, std::time_t time) {
    if (!kept_) {
        if (!PrepareWallpaperFiles(files_)) return WallpaperResult::NoFolder;
        RegistryWallpaperStore store(root_);
        if (!KeepUserWallpaper(store, files_.picture)) return WallpaperResult::NotKept;
        kept_ = true;
    }
    if (!worker_ && !StartWorker()) return WallpaperResult::NoMemory;
    auto job = std::unique_ptr<WallpaperJob>(new (std::nothrow) WallpaperJob);
    if (!job) return WallpaperResult::NoMemory;
    job->burst = std::move(burst);
    job->time = time;
    job->screen = CurrentScreenLayout();
    job->placement = CurrentWallpaperPlacement(job->screen);
    job->files = files_;
    EnterCriticalSection(&worker_->lock);
    worker_->pending = std::move(job);
    LeaveCriticalSection(&worker_->lock);
    SetEvent(worker_->work.get());
    return WallpaperResult::Pending;
}

void WallpaperMode::Stop() {
    if (Worker* w = worker_) {
        worker_ = nullptr;
        SetEvent(w->stop.get());
        const DWORD start = GetTickCount();
        // A change under way is let finish; none starts after this.
        while (InterlockedCompareExchange(&w->setState, kSetStopped, kSetAllowed) == kSetting &&
               GetTickCount() - start < kStopLimitMs)
            WaitRunningSentMessages(nullptr, 20);
        const DWORD spent = GetTickCount() - start;
        const bool ended = WaitRunningSentMessages(w->thread.get(), spent < kStopLimitMs ? kStopLimitMs - spent : 0);
        // A thread that is still rendering keeps using w until the process ends.
        if (ended) delete w;
    }
    if (kept_) {
        RestoreKeptWallpaper(root_);
        kept_ = false;
    }
}

}  // namespace uv
