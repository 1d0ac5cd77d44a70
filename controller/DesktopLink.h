// The controller's side of the desktop link that needs no window system: which
// windows to look for on which system, what one settings burst holds and in
// what order, and the X offset of the machine's time zone.
#pragma once

#include "controller/Settings.h"
#include "renderer/SettingsProtocol.h"

#include <cstdint>
#include <vector>

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

struct SettingsPost {
    MessageId id;
    std::int32_t value;
    bool operator==(const SettingsPost& o) const { return id == o.id && value == o.value; }
};

struct Burst {
    std::vector<SettingsPost> posts;
    bool yOffsetPosted = false;  // the list view is to be invalidated
};

// One burst of every setting in wire order. "YOffset" is included only when
// it differs from lastYOffset, which is then updated.
Burst BuildSettingsBurst(const SettingsRefs& refs, int& lastYOffset);

// Degrees to rotate the map so that local standard time sits in the middle:
// 360 minus 15 degrees per hour east of UTC, within 0..359.
int XOffsetForStandardOffset(long secondsEastOfUtc);

// Refresh timer period for a "refresh interval" slider position.
inline unsigned RefreshPeriodMs(int refreshSlider) { return static_cast<unsigned>(refreshSlider) * 30000u; }

// The text after the program name of a full command line, as a GUI program
// is handed it: the program name (quoted or not) and the blanks after it
// are skipped.
const char* CommandLineArguments(const char* fullCommandLine);
// Exactly "uninstall", case-sensitive, nothing before or after.
bool IsUninstallCommand(const char* arguments);

// How long an uninstalling process waits for a running instance to close
// before it gives up on it: a hung instance must not keep the installer
// waiting for ever.
constexpr unsigned kUninstallCloseTries = 600;  // 600 x 50 ms = 30 s
constexpr unsigned kUninstallPollMs = 50;

}  // namespace uv
