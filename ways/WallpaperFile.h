// The wallpaper pictures on disk: a folder "Umbravue" under an
// application-data folder with two files per picture, and the names of the
// other picture files the program knows.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "common/WideText.h"

namespace uv {

constexpr std::size_t kMaxPath = 260;  // the file functions' and the wallpaper's limit, with the NUL
constexpr char16_t kWallpaperFolderName[] = u"Umbravue";
constexpr int kAllMonitors = -1;
constexpr int kMaxPictureMonitors = 64;

// Each picture has two files: a new picture is written to the one the
// desktop does not show and then shown, so the shell always loads a
// complete file, and under a name it has not cached.
struct WallpaperFiles {
    WideText folder;  // <base>\Umbravue
    // "wallpaper-a.bmp" and "wallpaper-b.bmp" (slot 0 and 1) for the one
    // picture over all monitors, "wallpaper-<monitor>a.bmp" and so on for a
    // monitor's own.
    WideText Picture(int monitor, int slot) const;
};

// The files under an application-data folder; false when the base is empty
// or a path would not fit the file functions.
bool MakeWallpaperFiles(const WideText& baseFolder, WallpaperFiles& files);

// True when path names a picture file of ours: "wallpaper*.bmp" in the
// folder of ours, the picture the marker names (an earlier version's
// "wallpaper.bmp" included).
bool IsOurPicture(const WideText& path, const WideText& marker);

// An FNV-1a-style hash of a picture's bytes, a word at a time: a renewal
// whose picture did not change writes and sets nothing.
std::uint64_t PictureHash(const std::uint8_t* bytes, std::size_t size,
                          std::uint64_t seed = 14695981039346656037ull);

// The files later systems show the wallpaper from and rewrite at every
// change, in a folder "Themes": "TranscodedWallpaper" (Windows 7:
// "TranscodedWallpaper.jpg"), and each monitor's own "Transcoded_NNN"
// (Windows 8 and later).
bool IsTranscodedWallpaper(const WideText& path);
// The extension of a picture file by its first bytes (".bmp", ".jpg",
// ".png", ".gif"); ".jpg" for anything else, the system's copies being JPEG.
const char16_t* PictureExtension(const std::uint8_t* head, std::size_t size);
// The name a copy of a user's picture gets in the folder, without its
// extension and a number ("-2") that tells copies apart; only a file of that
// name in a folder "Umbravue" is ever deleted as a copy.
constexpr char16_t kPictureCopyName[] = u"user wallpaper copy";
bool IsKeptPictureCopy(const WideText& path);

// Windows only: the files under the local application-data folder, else the
// roaming one, the folder made when missing; false when neither can be used.
bool PrepareWallpaperFiles(WallpaperFiles& files);
// The folder made again when it was deleted; false when that fails.
bool PictureFolderUsable(const WallpaperFiles& files);
// Writes a 24-bit bottom-up DIB's rows as a BMP file. A file another program
// holds open is tried again for a few seconds, unless stop (an event) is
// signalled meanwhile.
bool WritePicture(const WideText& path, int width, int height, const std::uint8_t* rows,
                  void* stop = nullptr);
// Copies a picture into the folder under a copy's name no file has yet;
// the copy's path, or empty when it cannot be read or written.
WideText CopyPictureFile(const WallpaperFiles& files, const WideText& source);
// Copies the picture later systems show the wallpaper from into the folder;
// the copy's path, or empty where there is none or it cannot be read.
WideText CopyShownPicture(const WallpaperFiles& files);

}  // namespace uv
