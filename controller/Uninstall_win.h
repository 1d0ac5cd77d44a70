// What "uninstall" does for every user whose wallpaper the program may have
// replaced. The uninstaller runs elevated, often as another account than
// the user of the session (an administrator's password typed in): its own
// HKEY_CURRENT_USER is not that user's. So every user hive that is loaded,
// the session's user's among them, gets its kept wallpaper put back, its
// picture folder removed and its settings deleted.
#pragma once

#include <windows.h>

#include <vector>

#include "common/WinHandles.h"

namespace uv {

struct UserRoot {
    UniqueRegKey owned;  // HKEY_USERS\<SID>, or empty for HKEY_CURRENT_USER
    HKEY root = nullptr;
    bool sessionUser = false;  // the user whose desktop this session shows
};

// The loaded hives of ordinary users; this process's own when none can be
// opened (no rights to the others, or no such list).
std::vector<UserRoot> UninstallRoots();

// Deletes our picture files from the folder the settings under root name,
// but none that a place (a monitor, a virtual desktop, the desktop key)
// still names, nor any while the journal holds places it could not see;
// then the folder when it is empty.
void RemovePictureFolder(HKEY root);

}  // namespace uv
