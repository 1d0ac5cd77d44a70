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

// Tells the desktop, then the other top-level windows, that the wallpaper
// changed, in limitMs at most all together: a window that does not answer
// must hold up neither the wallpaper nor the end of the session.
void NotifyWallpaperChange(DWORD limitMs = 3000);

// Replays the journal of places of root's user (WallpaperJournal.h): every
// place that still shows the program's picture gets the user's back, at a
// quit, at the end of the session, at uninstall and at the next start after
// a run that could not (killed, crashed, or the system refused). show: root
// is the user of this session, whose monitors and desktop are asked and
// told; another user's places are only those of the registry. Runs on a
// thread of its own, in the multithreaded apartment, while this one runs
// the messages sent to it; what is not done within limitMs is left to the
// next replay (Failed).
RestoreResult RestoreKeptWallpaper(HKEY root, bool show = true, DWORD limitMs = 20000);

// Makes the written picture the wallpaper: registry values (the placement
// only with writeStyle, once per change of it), then the system.
bool SetOurWallpaper(HKEY root, const WideText& picture, const WallpaperPlacement& placement,
                     bool writeStyle);

// True while a policy of the organisation sets the user's wallpaper: it wins
// over any wallpaper a program sets, though the system takes that without
// complaint.
bool PolicySetsWallpaper(HKEY root);

}  // namespace uv
