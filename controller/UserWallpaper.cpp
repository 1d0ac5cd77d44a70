#include "controller/UserWallpaper.h"

#include <cctype>

namespace uv {

namespace {

bool SamePath(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    }
    return true;
}

}  // namespace

bool KeepUserWallpaper(WallpaperStore& store, const std::string& picture) {
    RegValue marker;
    if (!store.Read(WallpaperKey::Product, kPictureMarker, marker)) return false;
    // Kept already (by this run, or by one whose end put nothing back): the
    // copy is the user's own and stays; only the picture's name may change.
    if (marker.present) return store.Write(WallpaperKey::Product, kPictureMarker, StringValue(picture));
    RegValue values[3];
    for (int i = 0; i < 3; ++i)
        if (!store.Read(WallpaperKey::Desktop, kDesktopValues[i], values[i])) return false;
    for (int i = 0; i < 3; ++i)
        if (!store.Write(WallpaperKey::Product, kKeptValues[i], values[i])) return false;
    return store.Write(WallpaperKey::Product, kPictureMarker, StringValue(picture));
}

RestoreResult RestoreUserWallpaper(WallpaperStore& store, std::string& userPath) {
    userPath.clear();
    RegValue marker;
    if (!store.Read(WallpaperKey::Product, kPictureMarker, marker)) return RestoreResult::Failed;
    if (!marker.present) return RestoreResult::NothingKept;
    RegValue kept[3];
    for (int i = 0; i < 3; ++i)
        if (!store.Read(WallpaperKey::Product, kKeptValues[i], kept[i])) return RestoreResult::Failed;
    RegValue current;
    if (!store.Read(WallpaperKey::Desktop, kDesktopValues[0], current)) return RestoreResult::Failed;

    RestoreResult result = RestoreResult::UserChangedIt;
    if (SamePath(ValueText(current), ValueText(marker))) {
        // The file name goes back last: until then a retry still sees ours.
        for (int i = 2; i >= 0; --i)
            if (!store.Write(WallpaperKey::Desktop, kDesktopValues[i], kept[i])) return RestoreResult::Failed;
        userPath = ValueText(kept[0]);
        result = RestoreResult::Restored;
    }
    // The marker goes first: an end before the copies are gone must not make
    // a later start take a half-deleted copy for the user's wallpaper.
    const RegValue none;
    store.Write(WallpaperKey::Product, kPictureMarker, none);
    for (const char* name : kKeptValues) store.Write(WallpaperKey::Product, name, none);
    return result;
}

bool WriteOurWallpaperValues(WallpaperStore& store, const std::string& picture,
                             const WallpaperPlacement& placement) {
    return store.Write(WallpaperKey::Desktop, kDesktopValues[0], StringValue(picture)) &&
           store.Write(WallpaperKey::Desktop, kDesktopValues[1], StringValue(placement.style)) &&
           store.Write(WallpaperKey::Desktop, kDesktopValues[2], StringValue(placement.tile));
}

}  // namespace uv
