#include "ways/WallpaperFile.h"

#include <windows.h>
#include <shlobj.h>

#include <string>

#include "common/WinHandles.h"
#include "common/WideText_win.h"
#include "renderer/BmpFile.h"

namespace uv {

namespace {

// How long a picture file another program holds open is tried again.
constexpr DWORD kBusyLimitMs = 8000;
constexpr DWORD kBusyRetryMs = 250;

bool WriteAll(HANDLE file, const void* data, std::size_t size) {
    DWORD written = 0;
    return WriteFile(file, data, static_cast<DWORD>(size), &written, nullptr) && written == size;
}

bool FolderUsable(const WideText& folder) {
    if (CreateDirectoryW(WidePtr(folder), nullptr)) return true;
    const DWORD attributes = GetFileAttributesW(WidePtr(folder));
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

}  // namespace

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

bool PictureFolderUsable(const WallpaperFiles& files) { return FolderUsable(files.folder); }

// The picture goes to a file the desktop does not show, so nothing reads it
// half-written. A file held open by another program (a scanner, the shell
// still reading it) is tried again for a few seconds.
bool WritePicture(const WideText& path, int width, int height, const std::uint8_t* rows, void* stop) {
    const auto headers = BmpHeaders(width, height);
    const std::size_t size = BmpRowStride(width) * static_cast<std::size_t>(height);
    for (DWORD waited = 0;; waited += kBusyRetryMs) {
        UniqueKernelHandle file(CreateFileW(WidePtr(path), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                            FILE_ATTRIBUTE_NORMAL, nullptr));
        if (file)
            return WriteAll(file.get(), headers.data(), headers.size()) && WriteAll(file.get(), rows, size);
        const DWORD error = GetLastError();
        if ((error != ERROR_SHARING_VIOLATION && error != ERROR_LOCK_VIOLATION) || waited >= kBusyLimitMs)
            return false;
        if (stop ? WaitForSingleObject(stop, kBusyRetryMs) == WAIT_OBJECT_0 : (Sleep(kBusyRetryMs), false))
            return false;
    }
}

WideText CopyPictureFile(const WallpaperFiles& files, const WideText& source) {
    std::uint8_t head[8] = {};
    DWORD got = 0;
    {
        UniqueKernelHandle file(CreateFileW(WidePtr(source), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                            nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file || !ReadFile(file.get(), head, sizeof head, &got, nullptr) || got == 0) return WideText();
    }
    // A copy of an earlier picture may still be shown somewhere: never
    // overwritten.
    for (int n = 0; n < 100; ++n) {
        const WideText number = n ? u"-" + Widen(std::to_string(n).c_str()) : WideText();
        const WideText copy = files.folder + u"\\" + kPictureCopyName + number + PictureExtension(head, got);
        if (copy.size() >= kMaxPath) return WideText();
        if (CopyFileW(WidePtr(source), WidePtr(copy), TRUE)) return copy;
        if (GetLastError() != ERROR_FILE_EXISTS && GetLastError() != ERROR_ALREADY_EXISTS) return WideText();
    }
    return WideText();
}

WideText CopyShownPicture(const WallpaperFiles& files) {
    wchar_t appData[MAX_PATH + 1] = {};
    if (SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, appData) != S_OK)
        return WideText();
    for (const char16_t* name : {u"TranscodedWallpaper", u"TranscodedWallpaper.jpg"}) {
        const WideText copy =
            CopyPictureFile(files, FromWide(appData) + u"\\Microsoft\\Windows\\Themes\\" + name);
        if (!copy.empty()) return copy;
    }
    return WideText();
}

}  // namespace uv
