// What the running system is: the version it reports, as the desktop search
// and the wallpaper placement decide by it, and whether this 32-bit program
// runs on 64-bit Windows.
#pragma once

#include <windows.h>

#include "common/WinHandles.h"

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

// True for a 32-bit program on 64-bit Windows. IsWow64Process is looked up
// at run time: not every supported system has it.
inline bool RunningOnWow64() {
    using IsWow64ProcessFn = BOOL(WINAPI*)(HANDLE, PBOOL);
    const auto isWow64 = LaterFunction<IsWow64ProcessFn>(GetModuleHandleA("kernel32.dll"), "IsWow64Process");
    BOOL wow64 = FALSE;
    return isWow64 && isWow64(GetCurrentProcess(), &wow64) && wow64;
}

}  // namespace uv
