// The wallpaper mode's logic that needs no window system: which way the
// picture reaches the screen and what the control panel says about it, the
// picture file's name and header, how the picture is laid over several
// monitors, and how the user's own wallpaper is kept and put back.
//
// Where the picture cannot be painted behind the desktop icons, the
// controller renders it itself and makes it the desktop wallpaper. Before it
// changes the wallpaper for the first time it copies the user's three
// wallpaper values into the settings key; the copy is what a later start,
// quit or uninstall puts back.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "controller/RegistryValue.h"

namespace uv {

// How the picture is shown, and why.
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
    Pending,      // none has ended yet
    Shown,
    NoFolder,     // no application-data folder for the picture can be made
    NotKept,      // the user's wallpaper could not be copied: it is left alone
    NoImages,     // the map images could not be read
    NoMemory,     // the picture's bitmaps could not be made
    WriteFailed,  // the picture file could not be written
    SetFailed,    // the system did not take the wallpaper
    Policy,       // a policy of the organisation sets the wallpaper
    UserChose,    // the user chose a wallpaper while the map was shown: it stays
    Slideshow,    // the desktop shows a slideshow, which could not be brought back
    ShownSlideshowLost,   // shown over a slideshow, as the Misc page asks
};

// The Information page's line about the picture.
std::string PictureWayText(PictureWay way, WallpaperResult result);

// ----- The picture file

constexpr std::size_t kMaxPath = 260;   // the file functions' and the wallpaper's limit, with the NUL
constexpr char16_t kWallpaperFolderName[] = u"Umbravue";
constexpr int kAllMonitors = -1;
constexpr int kMaxPictureMonitors = 64;

// Each picture has two files: a new picture is written to the one the
// desktop does not show and then shown, so the shell always loads a
// complete file, and under a name it has not cached.
struct WallpaperFiles {
    WideText folder;     // <base>\Umbravue
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

// FNV-1a of a picture's bytes: a renewal whose picture did not change
// writes and sets nothing.
std::uint64_t PictureHash(const std::uint8_t* bytes, std::size_t size, std::uint64_t seed = 14695981039346656037ull);

constexpr std::size_t kBmpHeadersSize = 54;
// Bytes per row of a 24-bit BMP: padded to a multiple of 4.
std::size_t BmpRowStride(int width);
// The file header and the BITMAPINFOHEADER of a 24-bit bottom-up BMP.
std::array<std::uint8_t, kBmpHeadersSize> BmpHeaders(int width, int height);

// ----- Several monitors

// The virtual screen in coordinates whose origin is the primary monitor's
// top-left corner.
struct ScreenLayout {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    int monitors = 1;
};

// The wallpaper registry strings for a picture of exactly the virtual
// screen's size, and how far the picture is to be rotated (right, down) so
// that a tiling that starts at the primary monitor's corner shows every part
// at its place.
struct WallpaperPlacement {
    const char* style = "0";   // WallpaperStyle
    const char* tile = "0";    // TileWallpaper
    int shiftX = 0;
    int shiftY = 0;
};

// ntMajor.ntMinor is the system's version: from 6.2 on the system spans one
// picture over all monitors by itself; before that the picture is tiled.
WallpaperPlacement PlaceWallpaper(const ScreenLayout& screen, unsigned ntMajor, unsigned ntMinor);

// ----- The user's wallpaper

enum class WallpaperKey {
    Desktop,   // HKCU\Control Panel\Desktop
    Product,   // the program's settings key
};

// The values of the desktop key that make the wallpaper.
constexpr const char* kDesktopValues[] = {"Wallpaper", "WallpaperStyle", "TileWallpaper"};
// Their copies in the settings key, in the same order; a missing copy means
// the user had no such value.
constexpr const char* kKeptValues[] = {"user wallpaper", "user wallpaper style", "user tile wallpaper"};
// Written last when the copies are complete, deleted first when they are put
// back: the path of the picture this program makes the wallpaper.
constexpr char kPictureMarker[] = "wallpaper picture";
// The path of a copy of the picture the desktop showed when the values were
// kept (the system's own copy, which ours overwrite): what comes back when
// the user's file is gone or is that system copy itself.
constexpr char kKeptPictureCopy[] = "user wallpaper copy";

// The file later systems show the wallpaper from and rewrite at every
// change: "TranscodedWallpaper" (Windows 7: "TranscodedWallpaper.jpg") in a
// folder "Themes".
bool IsTranscodedWallpaper(const WideText& path);

// The extension of a picture file by its first bytes (".bmp", ".jpg",
// ".png", ".gif"); ".jpg" for anything else, the system's copies being JPEG.
const char16_t* PictureExtension(const std::uint8_t* head, std::size_t size);
// The name the copy gets in the picture's folder, without its extension;
// only a file of that name in a folder "Umbravue" is ever deleted as a copy.
constexpr char16_t kPictureCopyName[] = u"user wallpaper copy";
bool IsKeptPictureCopy(const WideText& path);

// Values are read and written as the wide registry functions store them.
class WallpaperStore {
public:
    virtual ~WallpaperStore() = default;
    // A missing value reads as not present; false when it exists but cannot
    // be read.
    virtual bool Read(WallpaperKey key, const char* name, RegValue& value) = 0;
    // A value that is not present is deleted (a missing one is no error).
    virtual bool Write(WallpaperKey key, const char* name, const RegValue& value) = 0;
};

// Copies the user's wallpaper values unless a copy is kept already (then the
// first copy, the user's own, stays). copyShown, when given, copies the
// picture the desktop shows and returns the copy's path (empty: none); it is
// called only when the values are kept afresh and the user has a picture.
// False when the values cannot be read or copied: the wallpaper must then
// not be changed.
// keepMore writes further values of the user's (per-monitor ones) before the
// marker; its failure is the keep's.
bool KeepUserWallpaper(WallpaperStore& store, const WideText& picture,
                       const std::function<WideText()>& copyShown = nullptr,
                       const std::function<bool(WallpaperStore&)>& keepMore = nullptr);

enum class RestoreResult {
    NothingKept,    // no copy: the wallpaper was never changed, or was put back already
    Restored,       // the copies are back; userPath is to be handed to the system
    UserChangedIt,  // the wallpaper is no longer ours: the user's newer choice stays
    Failed,         // the copies could not be put back; they are kept for the next try
};

// Puts the kept values back when the desktop still shows our picture, then
// forgets the copy. When the user's picture file is not usable (gone, a
// folder, offline: usable says) or is the system's copy that ours
// overwrote, the kept copy of the picture takes its place as the wallpaper,
// and userPath names it. A kept copy that is not needed is handed back in
// unusedCopy for the caller to delete.
// shownOurs: the caller saw our picture on some monitor (the per-monitor
// way), whatever the desktop key names.
RestoreResult RestoreUserWallpaper(WallpaperStore& store, WideText& userPath,
                                   const std::function<bool(const WideText&)>& usable = nullptr,
                                   WideText* unusedCopy = nullptr, bool shownOurs = false);

// Makes our picture the wallpaper in the registry, the file name first so
// that an end at any point leaves a state RestoreUserWallpaper undoes. The
// placement values are written only with style (once per change of them).
bool WriteOurWallpaperValues(WallpaperStore& store, const WideText& picture, const WallpaperPlacement& placement,
                             bool style = true);

}  // namespace uv
