#include "ways/UserWallpaper.h"

#include "ways/MonitorWallpaper.h"
#include "ways/WallpaperFile.h"

namespace uv {

bool KeepUserWallpaper(WallpaperStore& store, const WideText& picture,
                       const std::function<WideText()>& copyShown,
                       const std::function<bool(WallpaperStore&)>& keepMore) {
    RegValue marker;
    if (!store.Read(WallpaperKey::Product, kPictureMarker, marker)) return false;
    // Kept already (by this run, or by one whose end put nothing back): the
    // copy is the user's own and stays; only the picture's name may change.
    if (marker.present) return store.Write(WallpaperKey::Product, kPictureMarker, WideStringValue(picture));
    RegValue values[3];
    for (int i = 0; i < 3; ++i)
        if (!store.Read(WallpaperKey::Desktop, kDesktopValues[i], values[i])) return false;
    // Our picture is never the user's: when a run before could not put
    // theirs back, the desktop is left without a picture rather than the map.
    if (IsOurPicture(WideValueText(values[0]), picture)) values[0] = WideStringValue(WideText());
    for (int i = 0; i < 3; ++i)
        if (!store.Write(WallpaperKey::Product, kKeptValues[i], values[i])) return false;
    // A copy that cannot be made leaves nothing: the values alone are kept.
    const WideText copy = copyShown && !WideValueText(values[0]).empty() ? copyShown() : WideText();
    if (!store.Write(WallpaperKey::Product, kKeptPictureCopy,
                     copy.empty() ? RegValue() : WideStringValue(copy)))
        return false;
    if (keepMore && !keepMore(store)) return false;
    return store.Write(WallpaperKey::Product, kPictureMarker, WideStringValue(picture));
}

RestoreResult RestoreUserWallpaper(WallpaperStore& store, WideText& userPath,
                                   const std::function<bool(const WideText&)>& usable, WideText* unusedCopy,
                                   bool shownOurs) {
    userPath.clear();
    if (unusedCopy) unusedCopy->clear();
    RegValue marker;
    if (!store.Read(WallpaperKey::Product, kPictureMarker, marker)) return RestoreResult::Failed;
    if (!marker.present) return RestoreResult::NothingKept;
    RegValue kept[3];
    for (int i = 0; i < 3; ++i)
        if (!store.Read(WallpaperKey::Product, kKeptValues[i], kept[i])) return RestoreResult::Failed;
    RegValue current, copyValue;
    if (!store.Read(WallpaperKey::Desktop, kDesktopValues[0], current) ||
        !store.Read(WallpaperKey::Product, kKeptPictureCopy, copyValue))
        return RestoreResult::Failed;
    const WideText copy = WideValueText(copyValue), keptPath = WideValueText(kept[0]);
    bool copyUsed = false;

    RestoreResult result = RestoreResult::UserChangedIt;
    if (shownOurs || IsOurPicture(WideValueText(current), WideValueText(marker))) {
        if (!copy.empty() && !keptPath.empty() &&
            (IsTranscodedWallpaper(keptPath) || (usable && !usable(keptPath)))) {
            // The user's picture lives on only in the copy, which stays.
            kept[0] = WideStringValue(copy);
            copyUsed = true;
        }
        // The file name goes back last: until then a retry still sees ours.
        for (int i = 2; i >= 0; --i)
            if (!store.Write(WallpaperKey::Desktop, kDesktopValues[i], kept[i])) return RestoreResult::Failed;
        userPath = WideValueText(kept[0]);
        result = RestoreResult::Restored;
    }
    // The marker goes first: an end before the copies are gone must not make
    // a later start take a half-deleted copy for the user's wallpaper.
    const RegValue none;
    store.Write(WallpaperKey::Product, kPictureMarker, none);
    for (const char* name : kKeptValues) store.Write(WallpaperKey::Product, name, none);
    for (const char* name : {kKeptPictureCopy, kKeptMonitorWallpapers, kKeptPosition, kKeptBackground})
        store.Write(WallpaperKey::Product, name, none);
    if (unusedCopy && !copyUsed) *unusedCopy = copy;
    return result;
}

bool WriteOurWallpaperValues(WallpaperStore& store, const WideText& picture,
                             const WallpaperPlacement& placement, bool style) {
    if (!store.Write(WallpaperKey::Desktop, kDesktopValues[0], WideStringValue(picture))) return false;
    return !style ||
           (store.Write(WallpaperKey::Desktop, kDesktopValues[1], WideStringValue(Widen(placement.style))) &&
            store.Write(WallpaperKey::Desktop, kDesktopValues[2], WideStringValue(Widen(placement.tile))));
}

}  // namespace uv
