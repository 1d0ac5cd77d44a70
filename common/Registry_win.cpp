#include "common/Registry_win.h"

#include "common/WideText_win.h"

#include <cstring>
#include <vector>

namespace uv {

UniqueRegKey CreateKey(HKEY parent, const char* path, REGSAM access) {
    HKEY key = nullptr;
    if (!parent || RegCreateKeyExA(parent, path, 0, nullptr, REG_OPTION_NON_VOLATILE, access, nullptr, &key,
                                   nullptr) != ERROR_SUCCESS)
        return UniqueRegKey();
    return UniqueRegKey(key);
}

UniqueRegKey OpenKey(HKEY parent, const char* path, REGSAM access) {
    HKEY key = nullptr;
    if (!parent || RegOpenKeyExA(parent, path, 0, access, &key) != ERROR_SUCCESS) return UniqueRegKey();
    return UniqueRegKey(key);
}

UniqueRegKey OpenKey(HKEY parent, const wchar_t* path, REGSAM access) {
    HKEY key = nullptr;
    if (!parent || RegOpenKeyExW(parent, path, 0, access, &key) != ERROR_SUCCESS) return UniqueRegKey();
    return UniqueRegKey(key);
}

bool DeleteKey(HKEY parent, const char* name) {
    if (!parent) return false;
    const LONG r = RegDeleteKeyA(parent, name);
    return r == ERROR_SUCCESS || r == ERROR_FILE_NOT_FOUND;
}

std::vector<WideText> SubkeyNames(HKEY key, std::size_t limit) {
    std::vector<WideText> names;
    wchar_t name[256];  // a key's name has at most 255 characters
    for (DWORD i = 0; key && names.size() < limit; ++i) {
        DWORD size = 256;
        if (RegEnumKeyExW(key, i, name, &size, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
        names.push_back(FromWide(name));
    }
    return names;
}

bool ReadValue(HKEY key, const char* name, RegValue& value, bool wide) {
    value = RegValue();
    if (!key) return false;
    const std::wstring wideName(name, name + std::strlen(name));  // value names are ASCII
    const auto query = [&](BYTE* data, DWORD* size, DWORD* type) {
        return wide ? RegQueryValueExW(key, wideName.c_str(), nullptr, type, data, size)
                    : RegQueryValueExA(key, name, nullptr, type, data, size);
    };
    DWORD type = 0, size = 0;
    LONG r = query(nullptr, &size, &type);
    if (r == ERROR_FILE_NOT_FOUND) return true;
    if (r != ERROR_SUCCESS) return false;
    std::vector<std::uint8_t> data(size);
    // The value may grow between the two calls.
    for (int tries = 0; tries < 4; ++tries) {
        DWORD got = static_cast<DWORD>(data.size());
        r = query(data.empty() ? nullptr : data.data(), &got, &type);
        if (r == ERROR_MORE_DATA) {
            data.resize(got);
            continue;
        }
        if (r == ERROR_FILE_NOT_FOUND) return true;
        if (r != ERROR_SUCCESS) return false;
        data.resize(got);
        value.present = true;
        value.type = type;
        value.data = std::move(data);
        return true;
    }
    return false;
}

bool WriteValue(HKEY key, const char* name, const RegValue& value, bool wide) {
    if (!key) return false;
    const std::wstring wideName(name, name + std::strlen(name));
    if (!value.present) {
        const LONG r = wide ? RegDeleteValueW(key, wideName.c_str()) : RegDeleteValueA(key, name);
        return r == ERROR_SUCCESS || r == ERROR_FILE_NOT_FOUND;
    }
    static const BYTE kNothing = 0;
    const BYTE* data = value.data.empty() ? &kNothing : value.data.data();
    const DWORD size = static_cast<DWORD>(value.data.size());
    return (wide ? RegSetValueExW(key, wideName.c_str(), 0, value.type, data, size)
                 : RegSetValueExA(key, name, 0, value.type, data, size)) == ERROR_SUCCESS;
}

UniqueRegKey OpenProductKey(HKEY root) {
    UniqueRegKey software = CreateKey(root, kSoftwareKey);
    UniqueRegKey vendor = CreateKey(software.get(), kVendorKey);
    return CreateKey(vendor.get(), kProductKey);
}

UniqueRegKey OpenRunKey(HKEY root, REGSAM access) {
    UniqueRegKey key = CreateKey(root, kSoftwareKey);
    for (const char* level : kRunKeyPath) key = OpenKey(key.get(), level, access);
    return key;
}

WideText ProgramPath() {
    // A path cut to the buffer fills it (XP does not say so otherwise).
    for (DWORD size = MAX_PATH + 1; size <= kMaxWideText + 1; size *= 2) {
        std::vector<wchar_t> path(size);
        const DWORD n = GetModuleFileNameW(nullptr, path.data(), size);
        if (n == 0) break;
        if (n < size) return WideText(reinterpret_cast<const char16_t*>(path.data()), n);
    }
    return WideText();
}

WideText BesideProgram(const char* name) {
    const WideText path = ProgramPath();
    return path.substr(0, path.find_last_of(u'\\') + 1) + Widen(name);
}

}  // namespace uv
