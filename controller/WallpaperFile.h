// The wallpaper picture on disk: a folder "Umbravue" under an
// application-data folder, the picture and the temporary file renamed over it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace uv {

constexpr std::size_t kMaxPath = 260;   // the ANSI file functions' limit, with the NUL
constexpr char kWallpaperFolderName[] = "Umbravue";
constexpr char kWallpaperFileName[] = "wallpaper.bmp";
constexpr char kWallpaperTempName[] = "wallpaper.tmp";

struct WallpaperFiles {
    std::string folder;     // <base>\Umbravue
    std::string picture;    // the file the wallpaper names
    std::string temporary;  // written first, then renamed over picture
};

// The files under an application-data folder; false when the base is empty
// or a path would not fit the ANSI file functions.
bool MakeWallpaperFiles(const std::string& baseFolder, WallpaperFiles& files);

// Windows only: the files under the local application-data folder, else the
// roaming one, the folder made when missing; false when neither can be used.
bool PrepareWallpaperFiles(WallpaperFiles& files);
// The temporary file renamed over the picture, so the system never reads a
// half-written wallpaper. rows: a 24-bit bottom-up DIB's, as a BMP holds them.
bool WritePicture(const WallpaperFiles& files, int width, int height, const std::uint8_t* rows);

}  // namespace uv
