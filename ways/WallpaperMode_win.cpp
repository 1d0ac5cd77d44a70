#include "ways/WallpaperMode_win.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <new>

#include "common/WinHandles.h"
#include "common/WindowsVersion_win.h"
#include "ways/MonitorPictures_win.h"
#include "ways/MonitorWallpaper_win.h"
#include "ways/UserWallpaper_win.h"
#include "ways/WallpaperJournal_win.h"
#include "ways/WallpaperRenderer_win.h"

namespace uv {

namespace {

enum : LONG { kSetAllowed = 0, kSetting = 1, kSetStopped = 2 };
// The system ends a program a few seconds after the session's end: a
// change under way and the restore are waited for no longer than this then.
constexpr DWORD kSessionEndMs = 3000;
// What a quit gives the restore at least, however long the stop waited.
constexpr DWORD kQuitReplayMs = 10000;

// How long a renewal waits for a replay that still changes the journal.
constexpr DWORD kJournalWaitMs = 5000;

// Windows 8 and later: every monitor has a picture of its own there.
bool LaterSystem() {
    OSVERSIONINFOA v;
    return ReportedWindowsVersion(v) &&
           (v.dwMajorVersion > 6 || (v.dwMajorVersion == 6 && v.dwMinorVersion >= 2));
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
        static_cast<Worker*>(self)->RenderUntilStopped();
        return 0;
    }

    bool Enter() override {
        return InterlockedCompareExchange(&setState, kSetting, kSetAllowed) == kSetAllowed;
    }
    void Leave() override { InterlockedExchange(&setState, kSetAllowed); }

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
        bool checked = false;        // no slideshow, or the user asked for the map all the same
        bool slideshowLost = false;  // shown over a slideshow, as the user asked
        bool onePicture = false;     // one picture over all monitors of a later system, as the user asked
        bool later = LaterSystem();
        LastSet last;
    };

    void RenderUntilStopped() {
        // Sizes in physical pixels, whatever the monitors' scaling.
        PhysicalPixels physical;
        ComApartment com;
        DesktopWallpaperObject object;  // none before Windows 8
        MonitorPictures pictures(object, root);
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
            else if (result == WallpaperResult::Shown && state.onePicture)
                result = WallpaperResult::ShownOnePicture;
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
        bool perMonitor = object && object.Monitors(monitors) && !monitors.empty();
        if (!perMonitor && state.later) {
            // The shell was restarted (the old object answers no more) or
            // was not up yet: a new object.
            object = DesktopWallpaperObject();
            perMonitor = object && object.Monitors(monitors) && !monitors.empty();
        }
        // One picture for all would put one picture back on all monitors:
        // not without the user asking for the map.
        if (!perMonitor && state.later && !job.forced) {
            result = WallpaperResult::NoWallpaperObject;
            return true;
        }
        state.onePicture = !perMonitor && state.later;
        if (!state.checked) {
            // A slideshow cannot be brought back from what is kept: the map
            // is shown over it only when the user asked for the map.
            const bool slideshow = perMonitor && object.SlideshowConfigured();
            if (slideshow && !job.forced) {
                result = WallpaperResult::Slideshow;
                return true;
            }
            state.checked = true;
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
        result = Note(job.files, last.valid);
        if (result == WallpaperResult::Shown)
            result = set(root, job.picture, job.placement, job.writeStyle) ? WallpaperResult::Shown
                                                                           : WallpaperResult::SetFailed;
        Leave();
        if (result == WallpaperResult::Shown) last = LastSet{true, hash, job.picture, job.placement};
        return true;
    }

    // Inside the gate, just before the set: the desktop key's values read
    // again and noted in the journal. Shown when ours may be set.
    WallpaperResult Note(const WallpaperFiles& files, bool weShowedOurs) {
        const JournalTurn turn(kJournalWaitMs);
        RegistryWallpaperStore store(root);
        Journal journal;
        RegValue values[3];
        if (!turn || !LoadJournal(store, journal)) return WallpaperResult::NotKept;
        for (int i = 0; i < 3; ++i)
            if (!store.Read(WallpaperKey::Desktop, kDesktopValues[i], values[i]))
                return WallpaperResult::NotKept;
        journal.ours = files.Picture(kAllMonitors, 0);
        std::vector<WideText> unused;
        if (NoteDesktop(
                journal, values, weShowedOurs, [&files] { return CopyShownPicture(files); }, unused) ==
            NoteResult::UserChose)
            return WallpaperResult::UserChose;
        if (!SaveJournal(store, journal)) return WallpaperResult::NotKept;
        SystemPlaces places(root, nullptr, true);
        for (const WideText& u : unused)
            if (!places.Named(u)) places.DeleteCopy(u);
        return WallpaperResult::Shown;
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
    // The journal is replayed, unless a change of the wallpaper is still
    // under way: it could land after the restore. At the end of the session
    // in what is left of its time: what is not done then stays for the next
    // start.
    const DWORD used = GetTickCount() - start;
    const DWORD left = limit > used ? limit - used : 0;
    const DWORD replayMs = kind == StopKind::Quit ? std::max(left, kQuitReplayMs) : left;
    return gateClosed && replayMs > 0 && RestoreKeptWallpaper(root_, true, replayMs) != RestoreResult::Failed;
}

}  // namespace uv
