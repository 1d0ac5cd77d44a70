// What "uninstall" does for every user whose wallpaper the program may have
// replaced. The uninstaller runs elevated, often as another account than
// the user of the session (an administrator's password typed in): its own
// HKEY_CURRENT_USER is not that user's. So every user hive that is loaded,
// the session's user's among them, is visited: a user who never ran the
// program is left as it was; one whose copy still runs (another session, a
// switched-away user) is left to that copy, which alone can reach that
// desktop; every other gets its kept wallpaper put back, its picture folder
// removed and its settings deleted.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "common/WinHandles.h"

namespace uv {

struct UserRoot {
    UniqueRegKey owned;  // HKEY_USERS\<SID>, or empty for HKEY_CURRENT_USER
    HKEY root = nullptr;
    bool sessionUser = false;  // the user whose desktop this session shows
    std::string sid;           // names the account's running copy
};

// The loaded hives of ordinary users (local, domain and Entra ID accounts);
// this process's own when none can be opened (no rights to the others, or
// no such list).
std::vector<UserRoot> UninstallRoots();

// The uninstall of one user: nothing for one without settings; a mark for
// one whose copy runs; else the wallpaper back, pictures and settings gone.
void UninstallUser(const UserRoot& user);

// The mark an uninstall leaves in the settings of a user whose copy runs.
// That copy quits when it sees it, and once its own wallpaper is back,
// removes what the uninstall left to it.
bool UninstallLeftToUs(HKEY root);
// The picture folder and the settings of root go (the wallpaper must be
// back already).
void FinishUninstall(HKEY root);

// Deletes our picture files from the folder the settings under root name,
// but none that a place (a monitor, a virtual desktop, the desktop key)
// still names, nor any while the journal holds places it could not see;
// then the folder when it is empty.
void RemovePictureFolder(HKEY root);

}  // namespace uv
