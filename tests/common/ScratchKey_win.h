// Deletes a scratch registry key of a test with everything under it
// (RegDeleteTree is not on XP).
#pragma once

#include <windows.h>

namespace uv {

inline void DeleteScratchKey(HKEY parent, const wchar_t* name) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(parent, name, 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS) return;
    wchar_t sub[256];
    DWORD size = 256;
    while (RegEnumKeyExW(key, 0, sub, &size, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS) {
        DeleteScratchKey(key, sub);
        size = 256;
    }
    RegCloseKey(key);
    RegDeleteKeyW(parent, name);
}

}  // namespace uv
