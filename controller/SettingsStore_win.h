// The settings store on the registry. The root key is passed in (the user's
// HKEY_CURRENT_USER in the program, a scratch key in tests); under it the
// values live in Software\VantorelSoftware\Umbravue and the
// start-with-Windows entry in Software\Microsoft\Windows\CurrentVersion\Run.
#pragma once

#include "common/Registry_win.h"
#include "controller/SettingsStore.h"

#include <functional>
#include <string>

namespace uv {

// Loads every value and the start-with-Windows entry (set only when it names
// programPath exactly). The entry is read and written through the wide
// functions: the path may hold any character.
LoadResult LoadSettingsFromRegistry(HKEY root, SettingsRecord& settings, CitySelection* selection,
                                    const WideText& programPath, const std::function<int()>& timezoneXOffset);
// Writes every value, then writes or deletes the start-with-Windows entry.
void SaveSettingsToRegistry(HKEY root, const SettingsRecord& settings, const CitySelection* selection,
                            const WideText& programPath);
// The uninstall command's clean-up: the product key and the Run entry go,
// the vendor key stays. Failures are ignored.
void DeleteStoredSettings(HKEY root);

}  // namespace uv
