#include "ways/WallpaperJournal_win.h"

#include <shlobj.h>

#include <string>

#include "common/Registry_win.h"
#include "common/WideText_win.h"
#include "ways/UserWallpaper_win.h"

namespace uv {

namespace {

HANDLE JournalSemaphore() {
    static const HANDLE turn = CreateSemaphoreA(nullptr, 1, 1, nullptr);
    return turn;
}

std::string DesktopKeyPath(const WideText& desktop) {
    std::string path = std::string(kVirtualDesktopsKey) + "\\Desktops\\";
    for (char16_t c : desktop) path += c < 0x80 ? static_cast<char>(c) : '?';
    return path;
}

WideText Expanded(const WideText& path) {
    wchar_t expanded[MAX_PATH] = {};
    const DWORD n = ExpandEnvironmentStringsW(WidePtr(path), expanded, MAX_PATH);
    return n == 0 || n > MAX_PATH ? WideText() : FromWide(expanded);
}

// A local fixed disk: reading it cannot stall on a network.
bool OnFixedDrive(const WideText& path) {
    const WideText full = Expanded(path);
    if (full.size() < 3 || full[1] != u':' || full[2] != u'\\') return false;
    const WideText root = full.substr(0, 3);
    return GetDriveTypeW(WidePtr(root)) == DRIVE_FIXED;
}

}  // namespace

WideText CurrentVirtualDesktop(HKEY root) {
    RegValue id;
    if (!ReadValue(OpenKey(root, kVirtualDesktopsKey, KEY_READ).get(), "CurrentVirtualDesktop", id, true) ||
        !id.present || id.type != kRegBinary)
        return WideText();
    return DesktopIdText(id.data);
}

std::vector<WideText> SystemPlaces::Desktops() {
    std::vector<WideText> list;
    const std::string path = std::string(kVirtualDesktopsKey) + "\\Desktops";
    UniqueRegKey desktops = OpenKey(root_, path.c_str(), KEY_READ);
    for (const WideText& id : SubkeyNames(desktops.get(), 1000)) {
        RegValue value;
        if (ReadValue(OpenKey(root_, DesktopKeyPath(id).c_str(), KEY_READ).get(), "Wallpaper", value, true) &&
            value.present)
            list.push_back(id);
    }
    return list;
}

bool SystemPlaces::DesktopStores(const WideText& desktop, WideText& path) {
    RegValue value;
    UniqueRegKey key = OpenKey(root_, DesktopKeyPath(desktop).c_str(), KEY_READ);
    if (!key || !ReadValue(key.get(), "Wallpaper", value, true) || !value.present) return false;
    path = WideValueText(value);
    return true;
}

bool SystemPlaces::StoreForDesktop(const WideText& desktop, const WideText& path) {
    UniqueRegKey key = OpenKey(root_, DesktopKeyPath(desktop).c_str(), KEY_READ | KEY_WRITE);
    return key && WriteValue(key.get(), "Wallpaper", WideStringValue(path), true);
}

MonitorAccess SystemPlaces::Monitors() {
    if (!show_) return MonitorAccess::Never;
    std::vector<WideText> ids;
    return Answers() && object_->KnownMonitors(ids) ? MonitorAccess::Yes : MonitorAccess::NotNow;
}

bool SystemPlaces::MonitorShows(const WideText& monitor, WideText& path) {
    return Answers() && object_->Shown(monitor, path);
}

bool SystemPlaces::ShowOnMonitor(const WideText& monitor, const WideText& path) {
    return Answers() && object_->Show(monitor, path);
}

bool SystemPlaces::ShowNoPicture() { return Answers() && object_->ShowNoPicture(); }

bool SystemPlaces::SetLook(std::uint32_t position, std::uint32_t background) {
    return Answers() && object_->SetLook(position, background);
}

void SystemPlaces::ShowSingle(const WideText& path) {
    if (show_) ShowWallpaperNow(path);
}

bool SystemPlaces::Usable(const WideText& path) {
    const WideText full = Expanded(path);
    const DWORD attributes = full.empty() ? INVALID_FILE_ATTRIBUTES : GetFileAttributesW(WidePtr(full));
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool SystemPlaces::Named(const WideText& path) {
    RegistryWallpaperStore store(root_);
    RegValue wallpaper;
    if (store.Read(WallpaperKey::Desktop, kDesktopValues[0], wallpaper) &&
        SameWidePath(WideValueText(wallpaper), path))
        return true;
    for (const WideText& d : Desktops()) {
        WideText stored;
        if (DesktopStores(d, stored) && SameWidePath(stored, path)) return true;
    }
    std::vector<WideText> ids;
    if (Answers() && object_->KnownMonitors(ids)) {
        for (const WideText& id : ids) {
            WideText shown;
            if (object_->Shown(id, shown) && SameWidePath(shown, path)) return true;
        }
    }
    return false;
}

void SystemPlaces::DeleteCopy(const WideText& path) {
    if (IsKeptPictureCopy(path)) DeleteFileW(WidePtr(path));
}

JournalTurn::JournalTurn(DWORD limitMs) {
    const HANDLE turn = JournalSemaphore();
    held_ = turn && WaitForSingleObject(turn, limitMs) == WAIT_OBJECT_0;
}

JournalTurn::~JournalTurn() {
    if (held_) ReleaseSemaphore(JournalSemaphore(), 1, nullptr);
}

WideText CopyMonitorPicture(const WallpaperFiles& files, WallpaperStore& store, const WideText& shown) {
    WideText source = shown;
    if (!IsTranscodedWallpaper(shown)) {
        const int n = TranscodedIndexFor(store, shown);
        wchar_t appData[MAX_PATH + 1] = {};
        if (n >= 0 &&
            SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, appData) == S_OK) {
            const std::string number = std::to_string(1000 + n).substr(1);
            source = FromWide(appData) + u"\\Microsoft\\Windows\\Themes\\Transcoded_" + Widen(number.c_str());
        } else if (!OnFixedDrive(shown)) {
            return WideText();
        }
    }
    return CopyPictureFile(files, Expanded(source));
}

KeptPictures::KeptPictures(HKEY root) : root_(root) {
    RegistryWallpaperStore store(root);
    Journal journal;
    pending_ = !LoadJournal(store, journal) || !journal.entries.empty();
}

bool KeptPictures::Keeps(const WideText& path) {
    SystemPlaces places(root_, &object_, true);
    return pending_ || places.Named(path);
}

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

}  // namespace uv
