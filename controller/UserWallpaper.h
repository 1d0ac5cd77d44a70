// How the user's own wallpaper is kept and put back. Before the program
// changes the wallpaper for the first time it copies the user's three
// wallpaper values into the settings key; the copy is what a later start,
// quit or uninstall puts back.
#pragma once

#include "controller/SettingsStore.h"
#include "controller/WallpaperPlacement.h"

#include <string>

namespace uv {

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
// first copy, the user's own, stays). False when they cannot be read or
// copied: the wallpaper must then not be changed.
bool KeepUserWallpaper(WallpaperStore& store, const std::string& picture);

enum class RestoreResult {
    NothingKept,    // no copy: the wallpaper was never changed, or was put back already
    Restored,       // the copies are back; userPath is to be handed to the system
    UserChangedIt,  // the wallpaper is no longer ours: the user's newer choice stays
    Failed,         // the copies could not be put back; they are kept for the next try
};

// Puts the kept values back when the desktop still shows our picture, then
// forgets the copy.
RestoreResult RestoreUserWallpaper(WallpaperStore& store, std::string& userPath);

// Makes our picture the wallpaper in the registry, the file name first so
// that an end at any point leaves a state RestoreUserWallpaper undoes.
bool WriteOurWallpaperValues(WallpaperStore& store, const std::string& picture,
                             const WallpaperPlacement& placement);

}  // namespace uv
