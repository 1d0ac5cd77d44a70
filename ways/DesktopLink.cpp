#include "ways/DesktopLink.h"

namespace uv {

DesktopSearch ChooseDesktopSearch(unsigned platformId, unsigned major, unsigned minor) {
    constexpr unsigned kPlatformWindows = 1;  // the older consumer line
    constexpr unsigned kPlatformNt = 2;
    if (platformId == kPlatformWindows) return DesktopSearch::AnyListView;
    if (platformId == kPlatformNt && major == 5)
        return minor != 0 ? DesktopSearch::FolderView : DesktopSearch::AnyListView;
    return DesktopSearch::None;
}

}  // namespace uv
