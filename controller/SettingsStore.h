// The settings in the registry: loading and saving the record by the
// settings table, and the start-with-Windows entry. The registry itself is behind ValueStore, so this is tested with an
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

// The start-with-Windows entry for the program file at programPath: the path
// in double quotes, since an unquoted path with blanks makes the system try
// each shorter path ("C:\Program.exe") first.
WideText RunEntryFor(const WideText& programPath);
// A stored entry names the program when it is its path, quoted or not
// (entries written before the quotes). Letter case counts.
bool RunEntryNamesProgram(const WideText& entry, const WideText& programPath);

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
// Slider values are kept within their ranges, flags become 0 or 1, "timezone
// offset" is dropped when "follow the sun" is on and otherwise moves the X
// slider to timezoneXOffset(). A "cities selected" of fewer than 4 bytes, or
// no selection, leaves the selection alone.
LoadResult LoadAllSettings(ValueStore& store, SettingsRecord& settings, CitySelection* selection,
                           const std::function<int()>& timezoneXOffset);
// Writes every setting of the product key in save order.
void SaveAllSettings(ValueStore& store, const SettingsRecord& settings, const CitySelection* selection);

}  // namespace uv
