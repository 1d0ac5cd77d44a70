#include "controller/Wallpaper_win.h"

#include <shlobj.h>

#include <algorithm>
#include <cstring>
#include <new>

#include "common/ResourceIds.h"
#include "common/SelectedBitmap_win.h"
#include "controller/MonitorPictures_win.h"
#include "controller/MonitorWallpaper_win.h"
#include "controller/SettingsStore_win.h"
#include "controller/WideText_win.h"
#include "controller/WindowsVersion_win.h"
#include "renderer/DesktopPicture_win.h"
#include "renderer/Projection.h"
#include "renderer/Renderer_win.h"
#include "renderer/RenderSettings.h"
#include "solar/CityDatabase.h"

namespace uv {

namespace {

constexpr char kDesktopKey[] = "Control Panel\\Desktop";
enum : LONG { kSetAllowed = 0, kSetting = 1, kSetStopped = 2 };
// The system ends a program a few seconds after the session's end: a
// change under way is waited for no longer than this then.
constexpr DWORD kSessionEndMs = 3000;
// How long a picture file another program holds open is tried again.
constexpr DWORD kBusyLimitMs = 8000;
constexpr DWORD kBusyRetryMs = 250;
constexpr wchar_t kPolicyKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\System";

// One renderer at a time in the process: its label font, sun glyph and
// resource module are the process's. A renewal thread that outlived its
// stop still tears its renderer down; a new one waits until it has.
HANDLE RendererTurn() {
    static const HANDLE turn = CreateSemaphoreA(nullptr, 1, 1, nullptr);
    return turn;
}

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

bool FolderUsable(const WideText& folder) {
    if (CreateDirectoryW(WidePtr(folder), nullptr)) return true;
    const DWORD attributes = GetFileAttributesW(WidePtr(folder));
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// The picture is written to a file the desktop does not show, so nothing
// reads it half-written. A file held open by another program (a scanner,
// the shell still reading it) is tried again for a few seconds.
bool WritePicture(const WideText& path, const SelectedBitmap& dib, HANDLE stop) {
    const auto headers = BmpHeaders(dib.width, dib.height);
    const std::size_t size = BmpRowStride(dib.width) * static_cast<std::size_t>(dib.height);
    for (DWORD waited = 0;; waited += kBusyRetryMs) {
        UniqueKernelHandle file(
            CreateFileW(WidePtr(path), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (file) return WriteAll(file.get(), headers.data(), headers.size()) && WriteAll(file.get(), dib.bits, size);
        const DWORD error = GetLastError();
        if ((error != ERROR_SHARING_VIOLATION && error != ERROR_LOCK_VIOLATION) || waited >= kBusyLimitMs)
            return false;
        if (stop ? WaitForSingleObject(stop, kBusyRetryMs) == WAIT_OBJECT_0 : (Sleep(kBusyRetryMs), false))
            return false;
    }
}

bool ReadValue(HKEY key, const char* name, RegValue& value) {
    value = RegValue();
    if (!key) return false;
    const WideText wideName = Widen(name);
    DWORD type = 0, size = 0;
    LONG r = RegQueryValueExW(key, WidePtr(wideName), nullptr, &type, nullptr, &size);
    if (r == ERROR_FILE_NOT_FOUND) return true;
    if (r != ERROR_SUCCESS) return false;
    std::vector<std::uint8_t> data(size);
    // The value may grow between the two calls.
    for (int tries = 0; tries < 4; ++tries) {
        DWORD got = static_cast<DWORD>(data.size());
        r = RegQueryValueExW(key, WidePtr(wideName), nullptr, &type, data.empty() ? nullptr : data.data(), &got);
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
    const WideText wideName = Widen(name);
    if (!value.present) {
        const LONG r = RegDeleteValueW(key, WidePtr(wideName));
        return r == ERROR_SUCCESS || r == ERROR_FILE_NOT_FOUND;
    }
    static const BYTE kNothing = 0;
    return RegSetValueExW(key, WidePtr(wideName), 0, value.type, value.data.empty() ? &kNothing : value.data.data(),
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

void ShowWallpaperNow(const WideText& path) {
    wchar_t expanded[MAX_PATH] = {};
    const DWORD n = path.empty() ? 0 : ExpandEnvironmentStringsW(WidePtr(path), expanded, MAX_PATH);
    // Not written to the registry by the system: it holds the user's values
    // exactly as they were (type and length included).
    if (n == 0 || n > MAX_PATH || !SystemParametersInfoW(SPI_SETDESKWALLPAPER, 0, expanded, 0)) {
        wchar_t none[1] = {};
        SystemParametersInfoW(SPI_SETDESKWALLPAPER, 0, none, 0);
    }
    // The system tells the other programs only when it writes the registry
    // itself; the shell learns of the change from this.
    static char area[] = "";
    DWORD_PTR ignored = 0;
    SendMessageTimeoutA(HWND_BROADCAST, WM_SETTINGCHANGE, SPI_SETDESKWALLPAPER, reinterpret_cast<LPARAM>(area),
                        SMTO_ABORTIFHUNG, 2000, &ignored);
}

namespace {

// A file that can be shown: it exists and is no folder.
bool PictureUsable(const WideText& path) {
    wchar_t expanded[MAX_PATH] = {};
    const DWORD n = ExpandEnvironmentStringsW(WidePtr(path), expanded, MAX_PATH);
    if (n == 0 || n > MAX_PATH) return false;
    const DWORD attributes = GetFileAttributesW(expanded);
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// Copies the picture later systems show the wallpaper from into our folder;
// the copy's path, or empty where there is none or it cannot be read.
WideText CopyShownPicture(const WallpaperFiles& files) {
    wchar_t appData[MAX_PATH + 1] = {};
    if (SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, appData) != S_OK) return WideText();
    for (const char16_t* name : {u"TranscodedWallpaper", u"TranscodedWallpaper.jpg"}) {
        const WideText source = FromWide(appData) + u"\\Microsoft\\Windows\\Themes\\" + name;
        std::uint8_t head[8] = {};
        DWORD got = 0;
        {
            UniqueKernelHandle file(CreateFileW(WidePtr(source), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                                nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
            if (!file || !ReadFile(file.get(), head, sizeof head, &got, nullptr) || got == 0) continue;
        }
        const WideText copy = files.folder + u"\\" + kPictureCopyName + PictureExtension(head, got);
        if (copy.size() < kMaxPath && CopyFileW(WidePtr(source), WidePtr(copy), FALSE)) return copy;
    }
    return WideText();
}

}  // namespace

RestoreResult RestoreKeptWallpaper(HKEY root, bool show) {
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
    // Each monitor's own picture first, where they were kept: the system
    // would put one picture on all monitors if told of one afterwards.
    bool perMonitor = false, shownOurs = false;
    RegValue keptMonitors, marker, position, background;
    std::vector<MonitorWallpaper> monitors;
    if (store.Read(WallpaperKey::Product, kKeptMonitorWallpapers, keptMonitors) &&
        DecodeMonitorWallpapers(keptMonitors, monitors) && store.Read(WallpaperKey::Product, kPictureMarker, marker)) {
        ComApartment com;
        DesktopWallpaperObject object;
        std::uint32_t place = kPositionFill, colour = 0;
        store.Read(WallpaperKey::Product, kKeptPosition, position);
        store.Read(WallpaperKey::Product, kKeptBackground, background);
        ReadDword(position, place);
        ReadDword(background, colour);
        const WideText ours = WideValueText(marker);
        perMonitor = show && static_cast<bool>(object);
        if (perMonitor)
            object.Restore(monitors, place, colour, [&](const WideText& p) { return IsOurPicture(p, ours); },
                           &shownOurs);
    }
    WideText userPath, unusedCopy;
    const RestoreResult result = RestoreUserWallpaper(store, userPath, PictureUsable, &unusedCopy, shownOurs);
    if (result == RestoreResult::Restored && show && !perMonitor) ShowWallpaperNow(userPath);
    if (!unusedCopy.empty() && IsKeptPictureCopy(unusedCopy)) DeleteFileW(WidePtr(unusedCopy));
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
        wchar_t base[MAX_PATH + 1] = {};
        if (SHGetFolderPathW(nullptr, folder, nullptr, SHGFP_TYPE_CURRENT, base) != S_OK) continue;
        WallpaperFiles f;
        if (!MakeWallpaperFiles(FromWide(base), f) || !FolderUsable(f.folder)) continue;
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
    const SelectedBitmap* out = nullptr;   // the last picture rendered
};

WallpaperRenderer::WallpaperRenderer(const std::string& resourceLibrary) : impl_(new Impl) {
    impl_->library.reset(LoadLibraryA(resourceLibrary.c_str()));
    if (!impl_->library) return;
    if (!impl_->images.Load(impl_->library.get())) return;
    impl_->cities.LoadFromResource(impl_->library.get(), UV_RES_CITY_LIST);
    // The sun glyph is read from the library when it is first drawn.
    SetResourceModule(impl_->library.get());
}

WallpaperRenderer::~WallpaperRenderer() {
    // The glyph and the label font go before the library they came from.
    ShutdownRenderer();
    SetResourceModule(nullptr);
}

bool PolicySetsWallpaper(HKEY root) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(root, kPolicyKey, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) return false;
    UniqueRegKey policy(key);
    // Present at all, even empty: the policy then shows no picture at all.
    return RegQueryValueExW(key, L"Wallpaper", nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
}

WallpaperResult WallpaperRenderer::Render(const WallpaperJob& job) {
    Impl& m = *impl_;
    if (!m.images.loaded()) return WallpaperResult::NoImages;
    m.settings = RenderSettings();
    for (const SettingsPost& p : job.burst)
        ApplySettingsMessage(m.settings, m.cities, ToWire(p.id), p.value, job.time);
    ApplySettingsMessage(m.settings, m.cities, ToWire(MessageId::SetTime), static_cast<std::intptr_t>(job.time),
                         job.time);
    m.settings.dpi = job.dpi;
    const int cx = job.screen.width, cy = job.screen.height;
    if (!m.frame.FitDib(cx, cy) || !m.picture.Render(m.images, m.settings, m.cities, m.frame.dc.get(), cx, cy))
        return WallpaperResult::NoMemory;
    m.out = &m.frame;
    if (job.placement.shiftX != 0 || job.placement.shiftY != 0) {
        if (!m.rotated.FitDib(cx, cy)) return WallpaperResult::NoMemory;
        RotatePicture(m.rotated.dc.get(), m.frame.dc.get(), cx, cy, job.placement.shiftX, job.placement.shiftY);
        m.out = &m.rotated;
    }
    GdiFlush();
    return WallpaperResult::Shown;
}

const SelectedBitmap* WallpaperRenderer::Rendered() const { return impl_->out; }

std::uint64_t HashPicture(const SelectedBitmap& picture) {
    if (!picture.bits) return 0;
    const std::size_t size = BmpRowStride(picture.width) * static_cast<std::size_t>(picture.height);
    const auto headers = BmpHeaders(picture.width, picture.height);
    return PictureHash(picture.bits, size, PictureHash(headers.data(), headers.size()));
}

WallpaperResult WritePictureFile(const WallpaperFiles& files, const WideText& path, const SelectedBitmap& picture,
                                 HANDLE stop) {
    // A folder deleted while the program runs is made again.
    if (!FolderUsable(files.folder)) return WallpaperResult::NoFolder;
    return WritePicture(path, picture, stop) ? WallpaperResult::Shown : WallpaperResult::WriteFailed;
}

WallpaperResult SetOurWallpaper(HKEY root, const WallpaperJob& job) {
    RegistryWallpaperStore store(root);
    if (!WriteOurWallpaperValues(store, job.picture, job.placement, job.writeStyle))
        return WallpaperResult::SetFailed;
    WideText picture = job.picture;
    if (!SystemParametersInfoW(SPI_SETDESKWALLPAPER, 0, &picture[0], SPIF_UPDATEINIFILE | SPIF_SENDCHANGE))
        return WallpaperResult::SetFailed;
    return WallpaperResult::Shown;
}

// ----- The mode

struct WallpaperMode::Worker : SetGate {
    HWND owner;
    HKEY root;
    std::string library;
    WallpaperSetter set;
    UniqueKernelHandle stop;     // manual reset: the thread is to end
    UniqueKernelHandle work;     // auto reset: a job is pending
    UniqueKernelHandle thread;
    CRITICAL_SECTION lock;       // guards pending
    std::unique_ptr<WallpaperJob> pending;
    volatile LONG setState = kSetAllowed;

    Worker(HWND o, HKEY r, const std::string& l, WallpaperSetter s) : owner(o), root(r), library(l), set(s) {
        InitializeCriticalSection(&lock);
    }
    ~Worker() override { DeleteCriticalSection(&lock); }

    static DWORD WINAPI Main(void* self) {
        static_cast<Worker*>(self)->Run();
        return 0;
    }

    bool Enter() override { return InterlockedCompareExchange(&setState, kSetting, kSetAllowed) == kSetAllowed; }
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
        bool slideshowLost = false;   // shown over a slideshow, as the user asked
        LastSet last;
    };

    void RenderUntilStopped() {
        // Sizes in physical pixels, whatever the monitors' scaling.
        PhysicalPixels physical;
        ComApartment com;
        DesktopWallpaperObject object;   // none before Windows 8
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
            if (result == WallpaperResult::Shown && state.slideshowLost) result = WallpaperResult::ShownSlideshowLost;
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
        job.picture = job.files.Picture(kAllMonitors, SameWidePath(current, job.files.Picture(kAllMonitors, 0)));
        result = WritePictureFile(job.files, job.picture, picture, stop.get());
        if (result != WallpaperResult::Shown) return WaitForSingleObject(stop.get(), 0) != WAIT_OBJECT_0;
        job.writeStyle = !samePlacement;
        if (!Enter()) return false;
        result = set(root, job);
        Leave();
        if (result == WallpaperResult::Shown) last = LastSet{true, hash, job.picture, job.placement};
        return true;
    }

    static bool SamePlacement(const WallpaperPlacement& a, const WallpaperPlacement& b) {
        return std::strcmp(a.style, b.style) == 0 && std::strcmp(a.tile, b.tile) == 0 && a.shiftX == b.shiftX &&
               a.shiftY == b.shiftY;
    }
};

WallpaperMode::WallpaperMode(HWND owner, HKEY root, std::string resourceLibrary, WallpaperModeOptions options)
    : owner_(owner), root_(root), library_(std::move(resourceLibrary)), options_(options) {}

WallpaperMode::~WallpaperMode() { Stop(); }

bool WallpaperMode::StartWorker() {
    Worker* w = new (std::nothrow) Worker(owner_, root_, library_, options_.set);
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
    const DWORD limit = kind == StopKind::Quit ? options_.stopLimitMs : std::min(options_.stopLimitMs, kSessionEndMs);
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
