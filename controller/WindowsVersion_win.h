// The version the running system reports, as the desktop search and the
// wallpaper placement decide by it.
#pragma once

#include <windows.h>

namespace uv {

// False (v zeroed but for its size) when the system does not answer.
inline bool ReportedWindowsVersion(OSVERSIONINFOA& v) {
    v = OSVERSIONINFOA{};
    v.dwOSVersionInfoSize = sizeof v;
    // Deprecated for later systems, which report what the manifest declares;
    // XP has nothing else.
#if defined(__GNUC__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
#endif
    return GetVersionExA(&v) != FALSE;
#if defined(__GNUC__)
#pragma GCC diagnostic pop
#endif
}

}  // namespace uv
