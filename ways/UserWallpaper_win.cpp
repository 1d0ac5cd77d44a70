#include "ways/UserWallpaper_win.h"

#include <vector>

#include "ways/MonitorWallpaper_win.h"
#include "ways/WallpaperFile.h"
#include "common/WideText_win.h"

namespace uv {

namespace {

constexpr wchar_t kPolicyKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\System";

// A file that can be shown: it exists and is no folder.
bool PictureUsable(const WideText& path) {
    wchar_t expanded[MAX_PATH] = {};
    const DWORD n = ExpandEnvironmentStringsW(WidePtr(path), expanded, MAX_PATH);
    if (n == 0 || n > MAX_PATH) return false;
    const DWORD attributes = GetFileAttributesW(expanded);
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
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
    static char area[] = "";
    DWORD_PTR ignored = 0;
    SendMessageTimeoutA(HWND_BROADCAST, WM_SETTINGCHANGE, SPI_SETDESKWALLPAPER,
                        reinterpret_cast<LPARAM>(area), SMTO_ABORTIFHUNG, 2000, &ignored);
}

RestoreResult RestoreKeptWallpaper(HKEY root, bool show) {
    // Asked at every start: without a kept copy nothing may be created, not
    // even the settings key (a start that fails must leave no trace).
    const std::string path = std::string(kSoftwareKey) + '\\' + kVendorKey + '\\' + kProductKey;
    RegValue kept;
    if (!ReadValue(OpenKey(root, path.c_str(), KEY_READ).get(), kPictureMarker, kept, true) || !kept.present)
        return RestoreResult::NothingKept;
    RegistryWallpaperStore store(root);
    // Each monitor's own picture first, where they were kept: the system
    // would put one picture on all monitors if told of one afterwards.
    bool perMonitor = false, shownOurs = false;
    RegValue keptMonitors, marker, position, background;
    std::vector<MonitorWallpaper> monitors;
    if (store.Read(WallpaperKey::Product, kKeptMonitorWallpapers, keptMonitors) &&
        DecodeMonitorWallpapers(keptMonitors, monitors) &&
        store.Read(WallpaperKey::Product, kPictureMarker, marker)) {
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
            object.Restore(
                monitors, place, colour, [&](const WideText& p) { return IsOurPicture(p, ours); },
                &shownOurs);
    }
    WideText userPath, unusedCopy;
    const RestoreResult result = RestoreUserWallpaper(store, userPath, PictureUsable, &unusedCopy, shownOurs);
    if (result == RestoreResult::Restored && show && !perMonitor) ShowWallpaperNow(userPath);
    if (!unusedCopy.empty() && IsKeptPictureCopy(unusedCopy)) DeleteFileW(WidePtr(unusedCopy));
    return result;
}

bool SetOurWallpaper(HKEY root, const WideText& picture, const WallpaperPlacement& placement,
                     bool writeStyle) {
    RegistryWallpaperStore store(root);
    WideText path = picture;
    return WriteOurWallpaperValues(store, picture, placement, writeStyle) &&
           SystemParametersInfoW(SPI_SETDESKWALLPAPER, 0, &path[0], SPIF_UPDATEINIFILE | SPIF_SENDCHANGE);
}

bool PolicySetsWallpaper(HKEY root) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(root, kPolicyKey, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) return false;
    UniqueRegKey policy(key);
    // Present at all, even empty: the policy then shows no picture at all.
    return RegQueryValueExW(key, L"Wallpaper", nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
}

}  // namespace uv
