// How the user's own wallpaper is kept and put back. Before the program
// changes the wallpaper for the first time it copies the user's three
// wallpaper values into the settings key, as the exact bytes of the wide
// registry functions; the copy is what a later start, quit or uninstall
// puts back.
#pragma once

#include "common/Registry.h"
#include "ways/WallpaperPlacement.h"
#include "common/WideText.h"

#include <functional>
#include <string>

namespace uv {

enum class WallpaperKey {
    Desktop,  // HKCU\Control Panel\Desktop
    Product,  // the program's settings key
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
// keepMore writes further values of the user's (per-monitor ones) before the
// marker. False when the values cannot be read or copied: the wallpaper must
// then not be changed.
bool KeepUserWallpaper(WallpaperStore& store, const WideText& picture,
                       const std::function<WideText()>& copyShown = nullptr,
                       const std::function<bool(WallpaperStore&)>& keepMore = nullptr);

enum class RestoreResult {
    NothingKept,    // no copy: the wallpaper was never changed, or was put back already
    Restored,       // the copies are back; userPath is to be handed to the system
    UserChangedIt,  // the wallpaper is no longer ours: the user's newer choice stays
    Failed,         // the copies could not be put back; they are kept for the next try
};

// Puts the kept values back when the desktop still shows our picture (or
// shownOurs: the caller saw ours on some monitor, whatever the desktop key
// names), then forgets the copy. When the user's picture file is not usable
// (gone, a folder, offline: usable says) or is the system's copy that ours
// overwrote, the kept copy of the picture takes its place as the wallpaper,
// and userPath names it. A kept copy that is not needed is handed back in
// unusedCopy for the caller to delete.
RestoreResult RestoreUserWallpaper(WallpaperStore& store, WideText& userPath,
                                   const std::function<bool(const WideText&)>& usable = nullptr,
                                   WideText* unusedCopy = nullptr, bool shownOurs = false);

// Makes our picture the wallpaper in the registry, the file name first so
// that an end at any point leaves a state RestoreUserWallpaper undoes. The
// placement values are written only with style (once per change of them).
bool WriteOurWallpaperValues(WallpaperStore& store, const WideText& picture,
                             const WallpaperPlacement& placement, bool style = true);

}  // namespace uv
