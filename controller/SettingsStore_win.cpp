#include "controller/SettingsStore_win.h"

namespace uv {

LoadResult LoadSettingsFromRegistry(HKEY root, SettingsRecord& settings, CitySelection* selection,
                                    const WideText& programPath,
                                    const std::function<int()>& timezoneXOffset) {
    UniqueRegKey product = OpenProductKey(root);
    RegistryValues values(product.get());
    const LoadResult result = LoadAllSettings(values, settings, selection, timezoneXOffset);

    UniqueRegKey run = OpenRunKey(root, KEY_READ);
    RegValue stored;
    if (ReadValue(run.get(), kRunValueName, stored, true) &&
        RunEntryNamesProgram(WideValueText(stored), programPath))
        settings.startWithWindows = 1;
    return result;
}

void SaveSettingsToRegistry(HKEY root, const SettingsRecord& settings, const CitySelection* selection,
                            const WideText& programPath) {
    {
        UniqueRegKey product = OpenProductKey(root);
        RegistryValues values(product.get());
        SaveAllSettings(values, settings, selection);
    }
    const RegValue entry = settings.startWithWindows ? WideStringValue(RunEntryFor(programPath)) : RegValue();
    WriteValue(OpenRunKey(root, KEY_ALL_ACCESS).get(), kRunValueName, entry, true);
}

void DeleteStoredSettings(HKEY root) {
    {
        // Opened only: the uninstall visits users who never had the keys.
        UniqueRegKey software = OpenKey(root, kSoftwareKey, KEY_READ);
        UniqueRegKey vendor = OpenKey(software.get(), kVendorKey, KEY_ALL_ACCESS);
        DeleteKey(vendor.get(), kProductKey);
    }
    WriteValue(OpenRunKey(root, KEY_ALL_ACCESS).get(), kRunValueName, RegValue());
}

}  // namespace uv
