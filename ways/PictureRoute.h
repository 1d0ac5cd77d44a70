// Which way the picture reaches the screen, and what the Information page
// says about it. Behind the desktop icons the hook library paints it; where
// that cannot work, or the Misc page asks for it, the controller renders it
// itself and makes it the desktop wallpaper.
#pragma once

#include <string>

namespace uv {

enum class PictureWay {
    BehindIcons,          // the hook library paints it in the desktop's list view
    WallpaperChosen,      // the Misc page asks for the wallpaper
    WallpaperNoListView,  // the system has no desktop list view this program can paint in
    WallpaperWow64,       // a 32-bit program cannot enter the 64-bit shell
    WallpaperNoHost,      // the install did not reach a desktop host
};

inline bool IsWallpaperWay(PictureWay way) { return way != PictureWay::BehindIcons; }

// How the last renewal of the wallpaper ended.
enum class WallpaperResult {
    Pending,  // none has ended yet
    Shown,
    NoFolder,            // no application-data folder for the picture can be made
    NotKept,             // the user's wallpaper could not be copied: it is left alone
    NoImages,            // the map images could not be read
    NoMemory,            // the picture's bitmaps could not be made
    WriteFailed,         // the picture file could not be written
    SetFailed,           // the system did not take the wallpaper
    Policy,              // a policy of the organisation sets the wallpaper
    UserChose,           // the user chose a wallpaper while the map was shown: it stays
    Slideshow,           // the desktop shows a slideshow, which could not be brought back
    ShownSlideshowLost,  // shown over a slideshow, as the Misc page asks
    NoWallpaperObject,   // Windows 8 and later without the desktop wallpaper object: not started by itself
    ShownOnePicture,     // shown as one picture over all monitors there, as the Misc page asks
};

// The way for what is known, asked in this order: the Misc page's choice, a
// 32-bit program on 64-bit Windows (no install is tried then), whether a
// desktop list view was found, whether the install reached its host.
PictureWay DecidePictureWay(bool chosen, bool wow64, bool listViewFound, bool hostReached);

// The Information page's line about the picture.
std::string PictureWayText(PictureWay way, WallpaperResult result);

}  // namespace uv
