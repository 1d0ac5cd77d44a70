// The desktop's wallpaper on Windows: the user's own kept in and put back
// from the registry, and ours handed to the system.
#pragma once

#include "common/Registry_win.h"
#include "ways/UserWallpaper.h"

namespace uv {

// The desktop key (Control Panel\Desktop) and the product key under root,
// through the wide registry functions.
class RegistryWallpaperStore : public WallpaperStore {
public:
    explicit RegistryWallpaperStore(HKEY root);
    bool Read(WallpaperKey key, const char* name, RegValue& value) override {
        return ReadValue(Key(key), name, value, true);
    }
    bool Write(WallpaperKey key, const char* name, const RegValue& value) override {
        return WriteValue(Key(key), name, value, true);
    }

private:
    HKEY Key(WallpaperKey key) const {
        return key == WallpaperKey::Desktop ? desktop_.get() : product_.get();
    }
    UniqueRegKey desktop_;
    UniqueRegKey product_;
};

// The value in the settings key that names the picture's folder, kept until
// the program is uninstalled, which removes the folder with it.
constexpr char kPictureFolderValue[] = "picture folder";

// Hands path to the system as the wallpaper without writing the registry.
// A path that is empty, too long or refused (the file is gone) leaves the
// desktop without a picture; the registry keeps whatever it names.
void ShowWallpaperNow(const WideText& path);

// Puts back the user's wallpaper that a run of the program kept, when the
// desktop still shows the program's picture (after a quit that did not
// happen: the program was killed or crashed). show: root is the user of
// this session, whose desktop is told; another user's values are only
// written back.
RestoreResult RestoreKeptWallpaper(HKEY root, bool show = true);

// Makes the written picture the wallpaper: registry values (the placement
// only with writeStyle, once per change of it), then the system.
bool SetOurWallpaper(HKEY root, const WideText& picture, const WallpaperPlacement& placement,
                     bool writeStyle);

// True while a policy of the organisation sets the user's wallpaper: it wins
// over any wallpaper a program sets, though the system takes that without
// complaint.
bool PolicySetsWallpaper(HKEY root);

}  // namespace uv
