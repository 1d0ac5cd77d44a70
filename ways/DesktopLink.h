// The desktop link's side that needs no window system: which windows to look
// for on which system.
#pragma once

#include "settings/Burst.h"

namespace uv {

// How the desktop's list view is found on a system.
enum class DesktopSearch {
    None,         // unknown system: no desktop to attach to
    AnyListView,  // the first "SysListView32" under "SHELLDLL_DefView"
    FolderView,   // the "SysListView32" titled "FolderView"
};

// platformId is the system's platform (2 for NT, 1 for the older consumer
// line, anything else unknown).
DesktopSearch ChooseDesktopSearch(unsigned platformId, unsigned major, unsigned minor);

}  // namespace uv
