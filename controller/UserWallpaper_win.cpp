#include "controller/UserWallpaper_win.h"

namespace uv {

namespace {

// Hands path to the system as the wallpaper without writing the registry.
// A path that is empty, too long or refused (the file is gone) leaves the
// desktop without a picture; the registry keeps whatever it names.
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

}  // namespace

RegistryWallpaperStore::RegistryWallpaperStore(HKEY root)
    : desktop_(CreateKey(root, "Control Panel\\Desktop", KEY_READ | KEY_WRITE)), product_(OpenProductKey(root)) {}

RestoreResult RestoreKeptWallpaper(HKEY root) {
    // Asked at every start: without a kept copy nothing may be created, not
    // even the settings key (a start that fails must leave no trace).
    const std::string path = std::string(kSoftwareKey) + '\\' + kVendorKey + '\\' + kProductKey;
    RegValue marker;
    if (!ReadValue(OpenKey(root, path.c_str(), KEY_READ).get(), kPictureMarker, marker) || !marker.present)
        return RestoreResult::NothingKept;
    RegistryWallpaperStore store(root);
    std::string userPath;
    const RestoreResult result = RestoreUserWallpaper(store, userPath);
    if (result == RestoreResult::Restored) ShowWallpaperNow(userPath);
    return result;
}

bool SetOurWallpaper(HKEY root, const std::string& picture, const WallpaperPlacement& placement) {
    RegistryWallpaperStore store(root);
    return WriteOurWallpaperValues(store, picture, placement) &&
           SystemParametersInfoA(SPI_SETDESKWALLPAPER, 0, const_cast<char*>(picture.c_str()),
                                 SPIF_UPDATEINIFILE | SPIF_SENDCHANGE);
}

}  // namespace uv
