#include "controller/WallpaperFile.h"

namespace uv {

bool MakeWallpaperFiles(const std::string& baseFolder, WallpaperFiles& files) {
    if (baseFolder.empty()) return false;
    std::string folder = baseFolder;
    if (folder.back() != '\\') folder += '\\';
    folder += kWallpaperFolderName;
    WallpaperFiles f;
    f.folder = folder;
    f.picture = folder + '\\' + kWallpaperFileName;
    f.temporary = folder + '\\' + kWallpaperTempName;
    if (f.picture.size() >= kMaxPath || f.temporary.size() >= kMaxPath) return false;
    files = f;
    return true;
}

}  // namespace uv
