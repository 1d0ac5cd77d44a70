// The desktop key's wallpaper values and the settings key, as the journal of
// places (WallpaperJournal.h) keeps and puts back the user's wallpaper: the
// exact bytes of the wide registry functions.
#pragma once

#include "common/Registry.h"
#include "ways/WallpaperPlacement.h"
#include "common/WideText.h"

#include <string>

namespace uv {

enum class WallpaperKey {
    Desktop,  // HKCU\Control Panel\Desktop
    Product,  // the program's settings key
};

// The values of the desktop key that make the wallpaper.
constexpr const char* kDesktopValues[] = {"Wallpaper", "WallpaperStyle", "TileWallpaper"};
// An earlier version's record of the user's wallpaper, kept once in the
// settings key and marked by the path of our picture; the journal takes it
// over: the three values, in the same order (a missing copy means the user
// had no such value), and the path of a copy of the picture shown then.
constexpr const char* kKeptValues[] = {"user wallpaper", "user wallpaper style", "user tile wallpaper"};
constexpr char kPictureMarker[] = "wallpaper picture";
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

enum class RestoreResult {
    NothingKept,    // nothing to put back: the wallpaper was never changed, or was put back already
    Restored,       // the user's pictures are back
    UserChangedIt,  // no place shows ours any more: the user's newer choices stay
    Failed,         // a place still shows ours; what is kept stays for the next try
};

// Makes our picture the wallpaper in the registry, the file name first so
// that an end at any point leaves a state the journal undoes. The placement
// values are written only with style (once per change of them).
bool WriteOurWallpaperValues(WallpaperStore& store, const WideText& picture,
                             const WallpaperPlacement& placement, bool style = true);

}  // namespace uv
