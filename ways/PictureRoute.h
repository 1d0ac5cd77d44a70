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

// What is known when a way is chosen.
struct WayFacts {
    bool chosen = false;  // the Misc page asks for the wallpaper
    bool wow64 = false;   // a 32-bit program on 64-bit Windows: no install is tried
    bool listViewFound = false;
    bool hostReached = false;  // the install reached its host in that list view
};

// The decision as a table: the first row whose condition holds names the
// way. A new way is one row here and one class that shows the picture.
struct WayRule {
    bool (*holds)(const WayFacts&);
    PictureWay way;
};
extern const WayRule kWayRules[5];

PictureWay DecidePictureWay(const WayFacts& facts);

// The Information page's line about the picture.
std::string PictureWayText(PictureWay way, WallpaperResult result);

}  // namespace uv
