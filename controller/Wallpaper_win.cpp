#include "controller/Wallpaper_win.h"

#include <shlobj.h>

#include <new>

#include "common/ResourceIds.h"
#include "common/SelectedBitmap_win.h"
#include "controller/SettingsStore_win.h"
#include "controller/WindowsVersion_win.h"
#include "renderer/DesktopPicture_win.h"
#include "renderer/Projection.h"
#include "renderer/Renderer_win.h"
#include "renderer/RenderSettings.h"
#include "solar/CityDatabase.h"

namespace uv {

namespace {

constexpr char kDesktopKey[] = "Control Panel\\Desktop";
// A renewal ends within a few seconds even at 4K; one that does not is
// given up on so that quitting never hangs.
constexpr DWORD kStopLimitMs = 20000;

enum : LONG { kSetAllowed = 0, kSetting = 1, kSetStopped = 2 };

UniqueRegKey CreateKey(HKEY parent, const char* path) {
    HKEY key = nullptr;
    if (!parent || RegCreateKeyExA(parent, path, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_READ | KEY_WRITE, nullptr,
                                   &key, nullptr) != ERROR_SUCCESS)
        return UniqueRegKey();
    return UniqueRegKey(key);
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
        if (r == WAIT_TIMEOUT || r == WAIT_FAILED) return handle && WaitForSingleObject(handle, 0) == WAIT_OBJECT_0;
        MSG msg;
        PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
}

// Copies src into dst rotated right by sx columns and down by sy rows.
void RotatePicture(HDC dst, HDC src, int width, int height, int sx, int sy) {
    const DisplayRotation cols = ComputeDisplayRotation(width, sx);
    const DisplayRotation rows = ComputeDisplayRotation(height, sy);
    for (const ColumnCopy& c : {cols.wrapped, cols.rest}) {
        for (const ColumnCopy& r : {rows.wrapped, rows.rest}) {
            if (c.width > 0 && r.width > 0) BitBlt(dst, c.dstX, r.dstX, c.width, r.width, src, c.srcX, r.srcX, SRCCOPY);
        }
    }
}

bool WriteAll(HANDLE file, const void* data, std::size_t size) {
    DWORD written = 0;
    return WriteFile(file, data, static_cast<DWORD>(size), &written, nullptr) && written == size;
}

// The temporary file first, then renamed over the old picture: the system
// never reads a half-written wallpaper.
bool WritePicture(const WallpaperFiles& files, const SelectedBitmap& dib) {
    const auto headers = BmpHeaders(dib.width, dib.height);
    const std::size_t size = BmpRowStride(dib.width) * static_cast<std::size_t>(dib.height);
    bool ok;
    {
        UniqueKernelHandle file(CreateFileA(files.temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                            FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file) return false;
        ok = WriteAll(file.get(), headers.data(), headers.size()) && WriteAll(file.get(), dib.bits, size);
    }
    if (ok && MoveFileExA(files.temporary.c_str(), files.picture.c_str(), MOVEFILE_REPLACE_EXISTING)) return true;
    DeleteFileA(files.temporary.c_str());
    return false;
}

bool FolderUsable(const std::string& folder) {
    if (CreateDirectoryA(folder.c_str(), nullptr)) return true;
    const DWORD attributes = GetFileAttributesA(folder.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool ReadValue(HKEY key, const char* name, RegValue& value) {
    value = RegValue();
    if (!key) return false;
    DWORD type = 0, size = 0;
    LONG r = RegQueryValueExA(key, name, nullptr, &type, nullptr, &size);
    if (r == ERROR_FILE_NOT_FOUND) return true;
    if (r != ERROR_SUCCESS) return false;
    std::vector<std::uint8_t> data(size);
    // The value may grow between the two calls.
    for (int tries = 0; tries < 4; ++tries) {
        DWORD got = static_cast<DWORD>(data.size());
        r = RegQueryValueExA(key, name, nullptr, &type, data.empty() ? nullptr : data.data(), &got);
        if (r == ERROR_MORE_DATA) {
            data.resize(got);
            continue;
        }
        if (r == ERROR_FILE_NOT_FOUND) return true;
        if (r != ERROR_SUCCESS) return false;
        data.resize(got);
        value.present = true;
        value.type = type;
        value.data = std::move(data);
        return true;
    }
    return false;
}

bool WriteValue(HKEY key, const char* name, const RegValue& value) {
    if (!key) return false;
    if (!value.present) {
        const LONG r = RegDeleteValueA(key, name);
        return r == ERROR_SUCCESS || r == ERROR_FILE_NOT_FOUND;
    }
    static const BYTE kNothing = 0;
    return RegSetValueExA(key, name, 0, value.type, value.data.empty() ? &kNothing : value.data.data(),
                          static_cast<DWORD>(value.data.size())) == ERROR_SUCCESS;
}

}  // namespace

bool RunningOnWow64() {
    using IsWow64ProcessFn = BOOL(WINAPI*)(HANDLE, PBOOL);
    HMODULE kernel = GetModuleHandleA("kernel32.dll");
    const auto isWow64 = kernel ? reinterpret_cast<IsWow64ProcessFn>(
                                      reinterpret_cast<void*>(GetProcAddress(kernel, "IsWow64Process")))
                                : nullptr;
    BOOL wow64 = FALSE;
    return isWow64 && isWow64(GetCurrentProcess(), &wow64) && wow64;
}

RegistryWallpaperStore::RegistryWallpaperStore(HKEY root)
    : desktop_(CreateKey(root, kDesktopKey)), product_(OpenProductKey(root)) {}

bool RegistryWallpaperStore::Read(WallpaperKey key, const char* name, RegValue& value) {
    return ReadValue(Key(key), name, value);
}

bool RegistryWallpaperStore::Write(WallpaperKey key, const char* name, const RegValue& value) {
    return WriteValue(Key(key), name, value);
}

void ShowWallpaperNow(const std::string& path) {
    char expanded[MAX_PATH] = {};
    const DWORD n = path.empty() ? 0 : ExpandEnvironmentStringsA(path.c_str(), expanded, sizeof expanded);
    // Not written to the registry by the system: it holds the user's values
    // exactly as they were (type and length included).
    if (n == 0 || n > sizeof expanded || !SystemParametersInfoA(SPI_SETDESKWALLPAPER, 0, expanded, 0)) {
        char none[1] = {};
        SystemParametersInfoA(SPI_SETDESKWALLPAPER, 0, none, 0);
    }
    // The system tells the other programs only when it writes the registry
    // itself; the shell learns of the change from this.
    static char area[] = "";
    DWORD_PTR ignored = 0;
    SendMessageTimeoutA(HWND_BROADCAST, WM_SETTINGCHANGE, SPI_SETDESKWALLPAPER, reinterpret_cast<LPARAM>(area),
                        SMTO_ABORTIFHUNG, 2000, &ignored);
}

RestoreResult RestoreKeptWallpaper(HKEY root) {
    // Asked at every start: without a kept copy nothing may be created, not
    // even the settings key (a start that fails must leave no trace).
    {
        const std::string path = std::string(kSoftwareKey) + '\\' + kVendorKey + '\\' + kProductKey;
        HKEY key = nullptr;
        if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return RestoreResult::NothingKept;
        UniqueRegKey product(key);
        if (RegQueryValueExA(key, kPictureMarker, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            return RestoreResult::NothingKept;
    }
    RegistryWallpaperStore store(root);
    std::string userPath;
    const RestoreResult result = RestoreUserWallpaper(store, userPath);
    if (result == RestoreResult::Restored) ShowWallpaperNow(userPath);
    return result;
}

ScreenLayout CurrentScreenLayout() {
    ScreenLayout s;
    s.left = GetSystemMetrics(SM_XVIRTUALSCREEN);
    s.top = GetSystemMetrics(SM_YVIRTUALSCREEN);
    s.width = GetSystemMetrics(SM_CXVIRTUALSCREEN);
    s.height = GetSystemMetrics(SM_CYVIRTUALSCREEN);
    s.monitors = GetSystemMetrics(SM_CMONITORS);
    if (s.width <= 0 || s.height <= 0) {
        s = ScreenLayout();
        s.width = GetSystemMetrics(SM_CXSCREEN);
        s.height = GetSystemMetrics(SM_CYSCREEN);
    }
    return s;
}

WallpaperPlacement CurrentWallpaperPlacement(const ScreenLayout& screen) {
    OSVERSIONINFOA v;
    if (!ReportedWindowsVersion(v)) v.dwMajorVersion = v.dwMinorVersion = 0;
    return PlaceWallpaper(screen, v.dwMajorVersion, v.dwMinorVersion);
}

bool PrepareWallpaperFiles(WallpaperFiles& files) {
    for (int folder : {CSIDL_LOCAL_APPDATA, CSIDL_APPDATA}) {
        char base[MAX_PATH + 1] = {};
        if (SHGetFolderPathA(nullptr, folder, nullptr, SHGFP_TYPE_CURRENT, base) != S_OK) continue;
        WallpaperFiles f;
        if (!MakeWallpaperFiles(base, f) || !FolderUsable(f.folder)) continue;
        files = f;
        return true;
    }
    return false;
}

// ----- Rendering

struct WallpaperRenderer::Impl {
    UniqueModule library;
    MapImages images;
    CityDatabase cities;
    RenderSettings settings;
    DesktopPicture picture;
    SelectedBitmap frame;
    SelectedBitmap rotated;
};

WallpaperRenderer::WallpaperRenderer(const std::string& resourceLibrary) : impl_(new Impl) {
    impl_->library.reset(LoadLibraryA(resourceLibrary.c_str()));
    if (!impl_->library) return;
    if (!impl_->images.Load(impl_->library.get())) return;
    impl_->cities.LoadFromResource(impl_->library.get(), UV_RES_CITY_LIST);
    impl_->cities.LoadZonesFromResource(impl_->library.get(), UV_RES_CITY_ZONES);
    // The sun glyph is read from the library when it is first drawn.
    SetResourceModule(impl_->library.get());
}

WallpaperRenderer::~WallpaperRenderer() {
    // The glyph and the label font go before the library they came from.
    ShutdownRenderer();
    SetResourceModule(nullptr);
}

WallpaperResult WallpaperRenderer::Render(const WallpaperJob& job) {
    Impl& m = *impl_;
    if (!m.images.loaded()) return WallpaperResult::NoImages;
    m.settings = RenderSettings();
    for (const SettingsPost& p : job.burst)
        ApplySettingsMessage(m.settings, m.cities, ToWire(p.id), p.value, job.time);
    ApplySettingsMessage(m.settings, m.cities, ToWire(MessageId::SetTime), static_cast<std::intptr_t>(job.time),
                         job.time);
    const int cx = job.screen.width, cy = job.screen.height;
    if (!m.frame.FitDib(cx, cy) || !m.picture.Render(m.images, m.settings, m.cities, m.frame.dc.get(), cx, cy))
        return WallpaperResult::NoMemory;
    const SelectedBitmap* out = &m.frame;
    if (job.placement.shiftX != 0 || job.placement.shiftY != 0) {
        if (!m.rotated.FitDib(cx, cy)) return WallpaperResult::NoMemory;
        RotatePicture(m.rotated.dc.get(), m.frame.dc.get(), cx, cy, job.placement.shiftX, job.placement.shiftY);
        out = &m.rotated;
    }
    GdiFlush();
    return WritePicture(job.files, *out) ? WallpaperResult::Shown : WallpaperResult::WriteFailed;
}

WallpaperResult SetOurWallpaper(HKEY root, const WallpaperJob& job) {
    RegistryWallpaperStore store(root);
    if (!WriteOurWallpaperValues(store, job.files.picture, job.placement)) return WallpaperResult::SetFailed;
    if (!SystemParametersInfoA(SPI_SETDESKWALLPAPER, 0, const_cast<char*>(job.files.picture.c_str()),
                               SPIF_UPDATEINIFILE | SPIF_SENDCHANGE))
        return WallpaperResult::SetFailed;
    return WallpaperResult::Shown;
}

// ----- The mode

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
                result = SetOurWallpaper(root, *job);
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
