#include "ways/UserWallpaper_win.h"

#include <algorithm>
#include <new>
#include <string>
#include <vector>

#include "common/WideText_win.h"
#include "ways/WallpaperJournal_win.h"

namespace uv {

namespace {

constexpr wchar_t kPolicyKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\System";
// What one window may take of the whole notification's time.
constexpr DWORD kNotifyWindowMs = 500;

BOOL CALLBACK AddWindow(HWND window, LPARAM list) {
    reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
    return TRUE;
}

void TellWindow(HWND window, DWORD ms) {
    static char area[] = "";
    DWORD_PTR ignored = 0;
    SendMessageTimeoutA(window, WM_SETTINGCHANGE, SPI_SETDESKWALLPAPER, reinterpret_cast<LPARAM>(area),
                        SMTO_ABORTIFHUNG, ms ? ms : 1, &ignored);
}

// One replay, on its own thread: the caller may stop waiting for it, so it
// owns a handle of its own to the root and frees itself when both are done.
struct ReplayJob {
    UniqueRegKey root;
    bool show = true;
    volatile LONG result = static_cast<LONG>(RestoreResult::Failed);
    volatile LONG owners = 2;

    void Release() {
        if (InterlockedDecrement(&owners) == 0) delete this;
    }
    static DWORD WINAPI Main(void* self) {
        auto* job = static_cast<ReplayJob*>(self);
        InterlockedExchange(&job->result, static_cast<LONG>(job->Run()));
        job->Release();
        return 0;
    }
    RestoreResult Run() {
        ComApartment com;
        // Another user's monitors cannot be asked from this session.
        DesktopWallpaperObject object = show ? DesktopWallpaperObject() : DesktopWallpaperObject(nullptr);
        RegistryWallpaperStore store(root.get());
        SystemPlaces places(root.get(), &object, show);
        const JournalTurn turn(20000);
        return turn ? ReplayJournal(store, places) : RestoreResult::Failed;
    }
};

bool SomethingKept(HKEY root) {
    const std::string path = std::string(kSoftwareKey) + '\\' + kVendorKey + '\\' + kProductKey;
    UniqueRegKey key = OpenKey(root, path.c_str(), KEY_READ);
    RegValue journal, marker;
    return ReadValue(key.get(), kJournalValue, journal, true) &&
           ReadValue(key.get(), kPictureMarker, marker, true) && (journal.present || marker.present);
}

}  // namespace

RegistryWallpaperStore::RegistryWallpaperStore(HKEY root)
    : desktop_(CreateKey(root, "Control Panel\\Desktop", KEY_READ | KEY_WRITE)),
      product_(OpenProductKey(root)) {}

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
    NotifyWallpaperChange();
}

void NotifyWallpaperChange(DWORD limitMs) {
    const DWORD start = GetTickCount();
    // The desktop first: it shows the change, and a window that does not
    // answer cannot keep it from being told.
    HWND desktop = FindWindowExA(nullptr, nullptr, "Progman", nullptr);
    if (desktop) TellWindow(desktop, std::min<DWORD>(2000, limitMs));
    // Then the others, as a broadcast would, but bounded all together
    // rather than for each window.
    std::vector<HWND> windows;
    EnumWindows(AddWindow, reinterpret_cast<LPARAM>(&windows));
    for (HWND window : windows) {
        const DWORD spent = GetTickCount() - start;
        if (spent >= limitMs) break;
        if (window != desktop) TellWindow(window, std::min(kNotifyWindowMs, limitMs - spent));
    }
}

RestoreResult RestoreKeptWallpaper(HKEY root, bool show, DWORD limitMs) {
    // Asked at every start: without a journal nothing may be created, not
    // even the settings key (a start that fails must leave no trace).
    if (!SomethingKept(root)) return RestoreResult::NothingKept;
    auto* job = new (std::nothrow) ReplayJob;
    if (!job) return RestoreResult::Failed;
    job->show = show;
    job->root = OpenKey(root, L"", KEY_READ | KEY_WRITE);
    DWORD id = 0;
    UniqueKernelHandle thread(job->root ? CreateThread(nullptr, 0, &ReplayJob::Main, job, 0, &id) : nullptr);
    if (!thread) {
        job->owners = 1;
        job->Release();
        return RestoreResult::Failed;
    }
    const bool ended = WaitRunningSentMessages(thread.get(), limitMs);
    const auto result = ended ? static_cast<RestoreResult>(job->result) : RestoreResult::Failed;
    job->Release();
    return result;
}

bool SetOurWallpaper(HKEY root, const WideText& picture, const WallpaperPlacement& placement,
                     bool writeStyle) {
    RegistryWallpaperStore store(root);
    WideText path = picture;
    // The system's own broadcast (SPIF_SENDCHANGE) waits for every window.
    if (!WriteOurWallpaperValues(store, picture, placement, writeStyle) ||
        !SystemParametersInfoW(SPI_SETDESKWALLPAPER, 0, &path[0], SPIF_UPDATEINIFILE))
        return false;
    NotifyWallpaperChange();
    return true;
}

bool PolicySetsWallpaper(HKEY root) {
    UniqueRegKey policy = OpenKey(root, kPolicyKey, KEY_QUERY_VALUE);
    // Present at all, even empty: the policy then shows no picture at all.
    RegValue wallpaper;
    return ReadValue(policy.get(), "Wallpaper", wallpaper, true) && wallpaper.present;
}

}  // namespace uv
