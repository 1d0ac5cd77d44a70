#include "controller/SettingsStore_win.h"

namespace uv {

namespace {

UniqueRegKey CreateSubKey(HKEY parent, const char* name) {
    HKEY key = nullptr;
    if (!parent || RegCreateKeyExA(parent, name, 0, nullptr, REG_OPTION_NON_VOLATILE,
                                   KEY_ALL_ACCESS, nullptr, &key, nullptr) != ERROR_SUCCESS)
        return UniqueRegKey();
    return UniqueRegKey(key);
}

UniqueRegKey OpenSubKey(HKEY parent, const char* name, REGSAM access) {
    HKEY key = nullptr;
    if (!parent || RegOpenKeyExA(parent, name, 0, access, &key) != ERROR_SUCCESS)
        return UniqueRegKey();
    return UniqueRegKey(key);
}

}  // namespace

UniqueRegKey OpenProductKey(HKEY root) {
    UniqueRegKey software = CreateSubKey(root, kSoftwareKey);
    UniqueRegKey vendor = CreateSubKey(software.get(), kVendorKey);
    return CreateSubKey(vendor.get(), kProductKey);
}

UniqueRegKey OpenRunKey(HKEY root, REGSAM access) {
    UniqueRegKey key = CreateSubKey(root, kSoftwareKey);
    for (const char* level : kRunKeyPath) key = OpenSubKey(key.get(), level, access);
    return key;
}

bool RegistrySettingsSource::QueryDword(const char* name, std::uint32_t& value) {
    DWORD v = 0, size = sizeof v, type = 0;
    if (!key_ || RegQueryValueExA(key_, name, nullptr, &type, reinterpret_cast<BYTE*>(&v),
                                  &size) != ERROR_SUCCESS)
        return false;
    // A shorter value would leave part of the number undefined.
    if (size != sizeof v) return false;
    value = v;
    return true;
}

bool RegistrySettingsSource::QueryBinary(const char* name, std::vector<std::uint8_t>& value) {
    DWORD size = 0, type = 0;
    if (!key_ || RegQueryValueExA(key_, name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS)
        return false;
    value.assign(size, 0);
    if (size == 0) return true;
    DWORD got = size;
    if (RegQueryValueExA(key_, name, nullptr, &type, value.data(), &got) != ERROR_SUCCESS)
        return false;
    value.resize(got < size ? got : size);
    return true;
}

void RegistrySettingsSink::WriteDword(const char* name, std::uint32_t value) {
    if (!key_) return;
    const DWORD v = value;
    RegSetValueExA(key_, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&v), sizeof v);
}

void RegistrySettingsSink::WriteBinary(const char* name, const std::uint8_t* data, std::size_t size) {
    if (!key_) return;
    static const BYTE kNothing = 0;
    RegSetValueExA(key_, name, 0, REG_BINARY, size ? data : &kNothing, static_cast<DWORD>(size));
}

std::string ProgramPath() {
    char path[MAX_PATH + 1] = {};
    const DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
    return std::string(path, n < MAX_PATH ? n : MAX_PATH);
}

LoadResult LoadSettingsFromRegistry(HKEY root, SettingsRefs& refs, const std::string& programPath,
                                    const std::function<int()>& timezoneXOffset) {
    UniqueRegKey product = OpenProductKey(root);
    RegistrySettingsSource source(product.get());
    const LoadResult result = LoadAllSettings(source, refs, timezoneXOffset);

    UniqueRegKey run = OpenRunKey(root, KEY_READ);
    // Room for a full path and its quotes.
    char stored[MAX_PATH + 4] = {};
    DWORD size = sizeof stored - 1, type = 0;
    if (run && RegQueryValueExA(run.get(), kRunValueName, nullptr, &type,
                                reinterpret_cast<BYTE*>(stored), &size) == ERROR_SUCCESS &&
        RunEntryNamesProgram(stored, programPath))
        refs.misc->startWithWindows = 1;
    return result;
}

void SaveSettingsToRegistry(HKEY root, const SettingsRefs& refs, const std::string& programPath) {
    {
        UniqueRegKey product = OpenProductKey(root);
        RegistrySettingsSink sink(product.get());
        SaveAllSettings(sink, refs);
    }
    UniqueRegKey run = OpenRunKey(root, KEY_ALL_ACCESS);
    if (!run) return;
    if (refs.misc->startWithWindows) {
        const std::string entry = RunEntryFor(programPath);
        RegSetValueExA(run.get(), kRunValueName, 0, REG_SZ,
                       reinterpret_cast<const BYTE*>(entry.c_str()),
                       static_cast<DWORD>(entry.size() + 1));
    } else {
        RegDeleteValueA(run.get(), kRunValueName);
    }
}

void DeleteStoredSettings(HKEY root) {
    {
        UniqueRegKey software = CreateSubKey(root, kSoftwareKey);
        UniqueRegKey vendor = CreateSubKey(software.get(), kVendorKey);
        if (vendor) RegDeleteKeyA(vendor.get(), kProductKey);
    }
    UniqueRegKey run = OpenRunKey(root, KEY_ALL_ACCESS);
    if (run) RegDeleteValueA(run.get(), kRunValueName);
}

}  // namespace uv
