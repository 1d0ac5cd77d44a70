#include "controller/WallpaperFile.h"

#include <windows.h>
#include <shlobj.h>

#include "common/WinHandles.h"
#include "renderer/BmpFile.h"

namespace uv {

namespace {

bool WriteAll(HANDLE file, const void* data, std::size_t size) {
    DWORD written = 0;
    return WriteFile(file, data, static_cast<DWORD>(size), &written, nullptr) && written == size;
}

bool FolderUsable(const std::string& folder) {
    if (CreateDirectoryA(folder.c_str(), nullptr)) return true;
    const DWORD attributes = GetFileAttributesA(folder.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

}  // namespace

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

bool WritePicture(const WallpaperFiles& files, int width, int height, const std::uint8_t* rows) {
    const auto headers = BmpHeaders(width, height);
    const std::size_t size = BmpRowStride(width) * static_cast<std::size_t>(height);
    bool ok;
    {
        UniqueKernelHandle file(CreateFileA(files.temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                            FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file) return false;
        ok = WriteAll(file.get(), headers.data(), headers.size()) && WriteAll(file.get(), rows, size);
    }
    if (ok && MoveFileExA(files.temporary.c_str(), files.picture.c_str(), MOVEFILE_REPLACE_EXISTING)) return true;
    DeleteFileA(files.temporary.c_str());
    return false;
}

}  // namespace uv
