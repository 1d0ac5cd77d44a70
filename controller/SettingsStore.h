// The 40 stored settings: their value names, the order in which they are
// loaded and saved, and what loading one of them does to the pages' values.
// The registry itself is behind ValueStore, so this is tested with an
// in-memory store as well as against a real registry.
#pragma once

#include "common/Registry.h"
#include "common/WideText.h"
#include "settings/Settings.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace uv {

enum class SettingKey {
    YOffset,
    XOffset,
    FollowTheSun,
    TimezoneOffset,
    RefreshInterval,
    DawnDuskWidth,
    UseGeneratedNightSource,
    FullScreen,
    NoDistort,
    IgnoreAntarctica,
    Autohide,
    OverlayGrid,
    OverlayDawnDusk,
    OverlayMidday,
    OverlayMidnight,
    OverlaySunLatitude,
    OverlayGridColor,
    OverlayDawnDuskColor,
    OverlayMiddayColor,
    OverlayMidnightColor,
    OverlaySunLatitudeColor,
    GlyphShowSun,
    OverlayCities,
    CitiesColor,
    CitiesSelected,
    CityLabels,
    CityLabelForeground,
    CityLabelBackground,
    CityToWatchInTray,
    OverlayStatus,
    StatusLabelForeground,
    StatusLabelBackground,
    StatusSunLocation,
    StatusSunrise,
    StatusSunset,
    StatusSolarOffset,
    StatusLocalTime,
    WallpaperMode,
    ExactSun,
    RealLocalTime,
};

struct SettingInfo {
    SettingKey key;
    const char* name;  // the registry value name
    bool binary;       // REG_BINARY ("cities selected"); all others are REG_DWORD
};

constexpr std::size_t kSettingCount = 40;
// The settings in the order they are loaded, and in the order they are saved.
const SettingInfo* SettingsLoadOrder();
const SettingInfo* SettingsSaveOrder();

// The start-with-Windows entry for the program file at programPath: the path
// in double quotes, since an unquoted path with blanks makes the system try
// each shorter path ("C:\Program.exe") first.
WideText RunEntryFor(const WideText& programPath);
// A stored entry names the program when it is its path, quoted or not
// (entries written before the quotes). Letter case counts.
bool RunEntryNamesProgram(const WideText& entry, const WideText& programPath);

// The value as it is stored for key (for "YOffset" the slider times 10).
// Not for CitiesSelected.
std::uint32_t StoredValue(const SettingsRefs& refs, SettingKey key);

// Takes one loaded 32-bit value into the pages' values, with the side effects
// of loading: "YOffset" becomes the slider position value / 10, slider values
// are kept within their sliders' ranges, flags become 0 or 1, "timezone
// offset" is dropped when "follow the sun" is on and otherwise moves the X
// slider to timezoneXOffset().
void LoadValue(SettingsRefs& refs, SettingKey key, std::uint32_t value,
               const std::function<int()>& timezoneXOffset);

// The city indices a stored "cities selected" value names: its first
// size / 4 little-endian 32-bit entries, taken modulo cityCount. Negative
// entries name no city and are skipped; with no cities nothing is selected.
std::vector<int> DecodeCitiesSelected(const std::uint8_t* data, std::size_t size, int cityCount);
// The selected indices, ascending, 4 bytes each; empty when none is selected.
std::vector<std::uint8_t> EncodeCitiesSelected(const CitySelection& selection);

struct LoadResult {
    bool citiesLoaded = false;  // the selection was replaced: the city page must sync
};

// Loads every setting in load order. A value that cannot be read leaves its
// default in place; a 32-bit value is taken from exactly 4 bytes of any type.
LoadResult LoadAllSettings(ValueStore& store, SettingsRefs& refs,
                           const std::function<int()>& timezoneXOffset);
// Writes every setting in save order.
void SaveAllSettings(ValueStore& store, const SettingsRefs& refs);

}  // namespace uv
