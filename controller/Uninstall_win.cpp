#include "controller/Uninstall_win.h"

#include <sddl.h>

#include <string>
#include <utility>

#include "common/WinHandles.h"
#include "controller/Instance_win.h"
#include "controller/SettingsStore_win.h"
#include "ways/UserWallpaper_win.h"
#include "ways/WallpaperFile.h"
#include "ways/WallpaperJournal_win.h"
#include "common/WideText_win.h"

namespace uv {

namespace {

using WtsQueryFn = BOOL(WINAPI*)(HANDLE, DWORD, int, LPWSTR*, DWORD*);
using WtsFreeFn = void(WINAPI*)(void*);
constexpr DWORD kCurrentSession = static_cast<DWORD>(-1);  // WTS_CURRENT_SESSION
constexpr int kWtsUserName = 5, kWtsDomainName = 7;
constexpr char kLeftToRunningCopy[] = "uninstalled";

std::string ProductKeyPath() { return std::string(kSoftwareKey) + '\\' + kVendorKey + '\\' + kProductKey; }

WideText SidText(PSID sid) {
    LPWSTR text = nullptr;
    if (!sid || !ConvertSidToStringSidW(sid, &text)) return WideText();
    WideText out = FromWide(text);
    LocalFree(text);
    return out;
}

// The user this session belongs to, as a SID; empty when it cannot be told.
// Looked up through the session, not the process, which may run as the
// administrator whose password elevated it.
WideText SessionUserSid() {
    UniqueModule wts(LoadLibraryA("wtsapi32.dll"));
    const auto query = LaterFunction<WtsQueryFn>(wts.get(), "WTSQuerySessionInformationW");
    const auto release = LaterFunction<WtsFreeFn>(wts.get(), "WTSFreeMemory");
    WideText account;
    LPWSTR user = nullptr, domain = nullptr;
    DWORD bytes = 0;
    if (query && release && query(nullptr, kCurrentSession, kWtsUserName, &user, &bytes) && user && user[0]) {
        if (query(nullptr, kCurrentSession, kWtsDomainName, &domain, &bytes) && domain && domain[0])
            account = FromWide(domain) + u"\\";
        account += FromWide(user);
    }
    if (user) release(user);
    if (domain) release(domain);
    if (account.empty()) return WideText();
    BYTE sid[SECURITY_MAX_SID_SIZE] = {};
    wchar_t referenced[256];
    DWORD sidSize = sizeof sid, referencedSize = 256;
    SID_NAME_USE use;
    if (!LookupAccountNameW(nullptr, WidePtr(account), sid, &sidSize, referenced, &referencedSize, &use))
        return WideText();
    return SidText(sid);
}

// An ordinary user's hive: a domain, local or Entra ID account's SID, not
// the system's accounts nor the classes half of a hive.
bool OrdinaryUserHive(const WideText& name) {
    const WideText classes = u"_Classes";
    return (name.rfind(u"S-1-5-21-", 0) == 0 || name.rfind(u"S-1-12-1-", 0) == 0) &&
           (name.size() < classes.size() ||
            name.compare(name.size() - classes.size(), classes.size(), classes) != 0);
}

bool NamedInFolder(const WideText& name, const char16_t* prefix) {
    const WideText p = prefix;
    return name.size() >= p.size() && SameWidePath(name.substr(0, p.size()), p);
}

}  // namespace

std::vector<UserRoot> UninstallRoots() {
    std::vector<UserRoot> roots;
    const WideText session = SessionUserSid();
    for (const WideText& sid : SubkeyNames(HKEY_USERS)) {
        if (!OrdinaryUserHive(sid)) continue;
        UniqueRegKey key = OpenKey(HKEY_USERS, WidePtr(sid), KEY_READ | KEY_WRITE);
        if (!key) continue;
        UserRoot r;
        r.root = key.get();
        r.owned = std::move(key);
        r.sessionUser = !session.empty() && SameWidePath(sid, session);
        r.sid.assign(sid.begin(), sid.end());  // a SID is ASCII
        roots.push_back(std::move(r));
    }
    if (roots.empty()) {
        UserRoot r;
        r.root = HKEY_CURRENT_USER;
        r.sessionUser = true;
        r.sid = ProcessUserSid();
        roots.push_back(std::move(r));
    }
    return roots;
}

void UninstallUser(const UserRoot& user) {
    // Only opened, never created: a user who never ran the program keeps
    // a hive without a trace of it.
    UniqueRegKey product = OpenKey(user.root, ProductKeyPath().c_str(), KEY_READ | KEY_WRITE);
    if (!product) {
        DeleteStoredSettings(user.root);  // a start-with-Windows entry may outlive the settings
        return;
    }
    // That copy renews its wallpaper and puts the user's back when it ends,
    // from the kept values: neither may go, nor a picture its desktop shows.
    if (CopyRunsFor(user.sid)) {
        WriteValue(product.get(), kLeftToRunningCopy, DwordValue(1));
        return;
    }
    product.reset();
    RestoreKeptWallpaper(user.root, user.sessionUser);
    FinishUninstall(user.root);
}

bool UninstallLeftToUs(HKEY root) {
    RegValue mark;
    return ReadValue(OpenKey(root, ProductKeyPath().c_str(), KEY_READ).get(), kLeftToRunningCopy, mark) &&
           mark.present;
}

void FinishUninstall(HKEY root) {
    RemovePictureFolder(root);
    DeleteStoredSettings(root);
}

void RemovePictureFolder(HKEY root) {
    RegistryWallpaperStore store(root);
    RegValue folderValue;
    if (!store.Read(WallpaperKey::Product, kPictureFolderValue, folderValue)) return;
    const WideText folder = WideValueText(folderValue);
    // Only ever a folder of ours, whatever the value was edited to.
    const WideText ours = WideText(u"\\") + kWallpaperFolderName;
    if (folder.size() <= ours.size() || !SameWidePath(folder.substr(folder.size() - ours.size()), ours))
        return;
    KeptPictures kept(root);
    WIN32_FIND_DATAW found;
    const WideText pattern = folder + u"\\*";
    HANDLE search = FindFirstFileW(WidePtr(pattern), &found);
    if (search == INVALID_HANDLE_VALUE) return;
    do {
        const WideText name = FromWide(found.cFileName), path = folder + u"\\" + name;
        const bool picture = NamedInFolder(name, u"wallpaper") || NamedInFolder(name, kPictureCopyName);
        // A picture some place still names stays: a monitor would go black,
        // and a copy may be the only one of the user's own picture.
        if (picture && !(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && !kept.Keeps(path))
            DeleteFileW(WidePtr(path));
    } while (FindNextFileW(search, &found));
    FindClose(search);
    RemoveDirectoryW(WidePtr(folder));  // only when nothing else is left in it
}

}  // namespace uv
