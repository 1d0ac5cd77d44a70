// The settings store on the registry. The root key is passed in (the user's
// HKEY_CURRENT_USER in the program, a scratch key in tests); under it the
// values live in Software\VantorelSoftware\Umbravue and the start-with-Windows
// entry in Software\Microsoft\Windows\CurrentVersion\Run.
#pragma once

#include "common/WinHandles.h"
#include "controller/SettingsStore.h"

#include <functional>
#include <string>

namespace uv {

// Creates or opens Software, VantorelSoftware and Umbravue, level by level.
// Invalid when a level cannot be opened.
UniqueRegKey OpenProductKey(HKEY root);

// The Run key, opened (never created) level by level from Software.
UniqueRegKey OpenRunKey(HKEY root, REGSAM access);

class RegistrySettingsSource : public SettingsSource {
public:
    explicit RegistrySettingsSource(HKEY key) : key_(key) {}
    bool QueryDword(const char* name, std::uint32_t& value) override;
    bool QueryBinary(const char* name, std::vector<std::uint8_t>& value) override;
private:
    HKEY key_;
};

class RegistrySettingsSink : public SettingsSink {
public:
    explicit RegistrySettingsSink(HKEY key) : key_(key) {}
    void WriteDword(const char* name, std::uint32_t value) override;
    void WriteBinary(const char* name, const std::uint8_t* data, std::size_t size) override;
private:
    HKEY key_;
};

// The full path of the running program file.
std::string ProgramPath();

// Loads every value and the start-with-Windows entry (set only when it names
// programPath exactly).
LoadResult LoadSettingsFromRegistry(HKEY root, SettingsRefs& refs, const std::string& programPath,
                                    const std::function<int()>& timezoneXOffset);
// Writes every value, then writes or deletes the start-with-Windows entry.
void SaveSettingsToRegistry(HKEY root, const SettingsRefs& refs, const std::string& programPath);
// The uninstall command's clean-up: the product key and the Run entry go,
// the vendor key stays. Failures are ignored.
void DeleteStoredSettings(HKEY root);

}  // namespace uv
