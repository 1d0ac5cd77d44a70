#include "ways/UserWallpaper.h"

namespace uv {

bool WriteOurWallpaperValues(WallpaperStore& store, const WideText& picture,
                             const WallpaperPlacement& placement, bool style) {
    if (!store.Write(WallpaperKey::Desktop, kDesktopValues[0], WideStringValue(picture))) return false;
    return !style ||
           (store.Write(WallpaperKey::Desktop, kDesktopValues[1], WideStringValue(Widen(placement.style))) &&
            store.Write(WallpaperKey::Desktop, kDesktopValues[2], WideStringValue(Widen(placement.tile))));
}

}  // namespace uv
