#include "controller/SettingsStore.h"

#include <algorithm>

namespace uv {
namespace {

// A slider keeps its position within its range, as the control itself does.
std::int32_t ToSlider(std::uint32_t value, const SettingInfo& s) {
    return std::clamp(static_cast<std::int32_t>(value) / s.scale, s.lo, s.hi);
}

void LoadValue(SettingsRecord& r, const SettingInfo& s, std::uint32_t value,
               const std::function<int()>& timezoneXOffset) {
    std::int32_t& m = r.*s.member;
    switch (s.kind) {
    case SettingKind::Flag: m = value != 0 ? 1 : 0; break;
    case SettingKind::Slider: m = ToSlider(value, s); break;
    case SettingKind::Colour:
    case SettingKind::Index: m = static_cast<std::int32_t>(value); break;
    case SettingKind::ZoneFlag:
        // "follow the sun" comes first in the table and wins.
        m = value != 0 && r.followTheSun == 0 ? 1 : 0;
        if (m && timezoneXOffset) r.xSlider = std::clamp(timezoneXOffset(), 0, 359);
        break;
    default: break;
    }
}

}  // namespace

std::vector<int> DecodeCitiesSelected(const std::uint8_t* data, std::size_t size, int cityCount) {
    std::vector<int> out;
    if (cityCount <= 0 || data == nullptr) return out;
    for (std::size_t i = 0; i + 4 <= size; i += 4) {
        const std::uint32_t u = std::uint32_t(data[i]) | std::uint32_t(data[i + 1]) << 8 |
                                std::uint32_t(data[i + 2]) << 16 | std::uint32_t(data[i + 3]) << 24;
        const std::int32_t v = static_cast<std::int32_t>(u);
        if (v < 0) continue;
        out.push_back(v % cityCount);
    }
    return out;
}

std::vector<std::uint8_t> EncodeCitiesSelected(const CitySelection& selection) {
    std::vector<std::uint8_t> out;
    const int n = selection.Count();
    for (int i = 0; i < n; ++i) {
        if (!selection.IsSelected(i)) continue;
        const std::uint32_t u = static_cast<std::uint32_t>(i);
        out.push_back(static_cast<std::uint8_t>(u));
        out.push_back(static_cast<std::uint8_t>(u >> 8));
        out.push_back(static_cast<std::uint8_t>(u >> 16));
        out.push_back(static_cast<std::uint8_t>(u >> 24));
    }
    return out;
}

LoadResult LoadAllSettings(ValueStore& store, SettingsRecord& settings, CitySelection* selection,
                           const std::function<int()>& timezoneXOffset) {
    LoadResult result;
    for (const SettingInfo& s : kSettings) {
        if (!s.name) continue;
        RegValue v;
        if (!store.Read(s.name, v) || !v.present) continue;
        const std::vector<std::uint8_t>& b = v.data;
        if (s.kind == SettingKind::Cities) {
            // Fewer than 4 bytes hold no index and leave the selection alone.
            if (b.size() < 4 || !selection) continue;
            selection->Clear();
            for (int index : DecodeCitiesSelected(b.data(), b.size(), selection->Count()))
                selection->Select(index);
            result.citiesLoaded = true;
        } else if (b.size() == 4) {
            LoadValue(settings, s, b[0] | b[1] << 8 | b[2] << 16 | std::uint32_t(b[3]) << 24,
                      timezoneXOffset);
        }
    }
    return result;
}

void SaveAllSettings(ValueStore& store, const SettingsRecord& settings, const CitySelection* selection) {
    static constexpr SettingsOrder kOrder = OrderBy(&SettingInfo::save);
    for (const SettingInfo* row : kOrder) {
        const SettingInfo& s = *row;
        if (s.kind == SettingKind::Cities) {
            RegValue blob{true, kRegBinary, {}};
            if (selection) blob.data = EncodeCitiesSelected(*selection);
            store.Write(s.name, blob);
        } else {
            store.Write(s.name, DwordValue(static_cast<std::uint32_t>(settings.*s.member * s.scale)));
        }
    }
}

WideText RunEntryFor(const WideText& programPath) { return u"\"" + programPath + u"\""; }

bool RunEntryNamesProgram(const WideText& entry, const WideText& programPath) {
    return !programPath.empty() && (entry == programPath || entry == RunEntryFor(programPath));
}

}  // namespace uv
