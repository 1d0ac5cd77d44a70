// The desktop's wallpaper on Windows: the user's own kept in and put back
// from the registry, and ours handed to the system.
#pragma once

#include "controller/SettingsStore_win.h"
#include "controller/UserWallpaper.h"

namespace uv {

// The desktop key (Control Panel\Desktop) and the product key under root.
class RegistryWallpaperStore : public WallpaperStore {
public:
    explicit RegistryWallpaperStore(HKEY root);
    bool Read(WallpaperKey key, const char* name, RegValue& value) override { return ReadValue(Key(key), name, value); }
    bool Write(WallpaperKey key, const char* name, const RegValue& value) override {
        return WriteValue(Key(key), name, value);
    }
private:
    HKEY Key(WallpaperKey key) const { return key == WallpaperKey::Desktop ? desktop_.get() : product_.get(); }
    UniqueRegKey desktop_;
    UniqueRegKey product_;
};

// Puts back the user's wallpaper that a run of the program kept, when the
// desktop still shows the program's picture (after a quit that did not
// happen: the program was killed or crashed).
RestoreResult RestoreKeptWallpaper(HKEY root);

// Makes the written picture the wallpaper: registry values, then the system.
bool SetOurWallpaper(HKEY root, const std::string& picture, const WallpaperPlacement& placement);

}  // namespace uv
