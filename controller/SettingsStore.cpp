#include "controller/SettingsStore.h"

#include <algorithm>

namespace uv {
namespace {

using K = SettingKey;

constexpr SettingInfo kLoadOrder[kSettingCount] = {
    {K::YOffset, "YOffset", false},
    {K::XOffset, "XOffset", false},
    {K::FollowTheSun, "follow the sun", false},
    {K::TimezoneOffset, "timezone offset", false},
    {K::RefreshInterval, "refresh interval", false},
    {K::DawnDuskWidth, "dawn dusk width", false},
    {K::UseGeneratedNightSource, "use generated night source", false},
    {K::FullScreen, "full screen", false},
    {K::NoDistort, "no distort", false},
    {K::IgnoreAntarctica, "ignore antarctica", false},
    {K::Autohide, "autohide", false},
    {K::OverlayGrid, "overlay grid", false},
    {K::OverlayDawnDusk, "overlay dawndusk", false},
    {K::OverlayMidday, "overlay midday", false},
    {K::OverlayMidnight, "overlay midnight", false},
    {K::OverlaySunLatitude, "overlay sunlatitude", false},
    {K::OverlayGridColor, "overlay grid color", false},
    {K::OverlayDawnDuskColor, "overlay dawndusk color", false},
    {K::OverlayMiddayColor, "overlay midday color", false},
    {K::OverlayMidnightColor, "overlay midnight color", false},
    {K::OverlaySunLatitudeColor, "overlay sunlatitude color", false},
    {K::GlyphShowSun, "glyph show sun", false},
    {K::OverlayCities, "overlay cities", false},
    {K::CitiesColor, "cities color", false},
    {K::CitiesSelected, "cities selected", true},
    {K::CityLabels, "city labels", false},
    {K::CityLabelForeground, "city label foreground", false},
    {K::CityLabelBackground, "city label background", false},
    {K::CityToWatchInTray, "city to watch in tray", false},
    {K::OverlayStatus, "overlay status", false},
    {K::StatusLabelForeground, "status label foreground", false},
    {K::StatusLabelBackground, "status label background", false},
    {K::StatusSunLocation, "status sun location", false},
    {K::StatusSunrise, "status sunrise", false},
    {K::StatusSunset, "status sunset", false},
    {K::StatusSolarOffset, "status solar offset", false},
    {K::StatusLocalTime, "status local time", false},
    {K::WallpaperMode, "wallpaper mode", false},
    {K::ExactSun, "exact sun", false},
    {K::RealLocalTime, "real local time", false},
};

// Saving writes "glyph show sun" after "city to watch in tray" instead of
// before "overlay cities".
constexpr SettingInfo kSaveOrder[kSettingCount] = {
    kLoadOrder[0],  kLoadOrder[1],  kLoadOrder[2],  kLoadOrder[3],  kLoadOrder[4],  kLoadOrder[5],
    kLoadOrder[6],  kLoadOrder[7],  kLoadOrder[8],  kLoadOrder[9],  kLoadOrder[10], kLoadOrder[11],
    kLoadOrder[12], kLoadOrder[13], kLoadOrder[14], kLoadOrder[15], kLoadOrder[16], kLoadOrder[17],
    kLoadOrder[18], kLoadOrder[19], kLoadOrder[20], kLoadOrder[22], kLoadOrder[23], kLoadOrder[24],
    kLoadOrder[25], kLoadOrder[26], kLoadOrder[27], kLoadOrder[28], kLoadOrder[21], kLoadOrder[29],
    kLoadOrder[30], kLoadOrder[31], kLoadOrder[32], kLoadOrder[33], kLoadOrder[34], kLoadOrder[35],
    kLoadOrder[36], kLoadOrder[37], kLoadOrder[38], kLoadOrder[39],
};

// The member that holds a plain 32-bit setting, or nullptr for the ones with
// their own rules (sliders, the city selection).
std::uint32_t* Member(const SettingsRefs& r, SettingKey key) {
    OverlayValues& o = *r.overlay;
    switch (key) {
    case K::FollowTheSun: return &r.offset->followTheSun;
    case K::TimezoneOffset: return &r.offset->timezoneOffset;
    case K::FullScreen: return &r.offset->fullScreen;
    case K::NoDistort: return &r.offset->noDistort;
    case K::IgnoreAntarctica: return &r.offset->ignoreAntarctica;
    case K::UseGeneratedNightSource: return &r.misc->useGeneratedNightSource;
    case K::Autohide: return &r.misc->autohide;
    case K::WallpaperMode: return &r.misc->wallpaperMode;
    case K::ExactSun: return &r.misc->exactSun;
    case K::RealLocalTime: return &o.realLocalTime;
    case K::OverlayGrid: return &o.grid;
    case K::OverlayDawnDusk: return &o.dawnDusk;
    case K::OverlayMidday: return &o.midday;
    case K::OverlayMidnight: return &o.midnight;
    case K::OverlaySunLatitude: return &o.sunLatitude;
    case K::OverlayGridColor: return &o.colours.grid;
    case K::OverlayDawnDuskColor: return &o.colours.dawnDusk;
    case K::OverlayMiddayColor: return &o.colours.midday;
    case K::OverlayMidnightColor: return &o.colours.midnight;
    case K::OverlaySunLatitudeColor: return &o.colours.sunLatitude;
    case K::GlyphShowSun: return &r.glyph->showSun;
    case K::OverlayCities: return &o.cities;
    case K::CitiesColor: return &o.colours.cities;
    case K::CityLabels: return &o.cityLabels;
    case K::CityLabelForeground: return &o.colours.cityLabelForeground;
    case K::CityLabelBackground: return &o.colours.cityLabelBackground;
    case K::OverlayStatus: return &o.status;
    case K::StatusLabelForeground: return &o.colours.statusLabelForeground;
    case K::StatusLabelBackground: return &o.colours.statusLabelBackground;
    case K::StatusSunLocation: return &o.statusSunLocation;
    case K::StatusSunrise: return &o.statusSunrise;
    case K::StatusSunset: return &o.statusSunset;
    case K::StatusSolarOffset: return &o.statusSolarOffset;
    case K::StatusLocalTime: return &o.statusLocalTime;
    default: return nullptr;
    }
}

bool IsFlag(SettingKey key) {
    switch (key) {
    case K::FollowTheSun:
    case K::TimezoneOffset:
    case K::FullScreen:
    case K::NoDistort:
    case K::IgnoreAntarctica:
    case K::UseGeneratedNightSource:
    case K::Autohide:
    case K::OverlayGrid:
    case K::OverlayDawnDusk:
    case K::OverlayMidday:
    case K::OverlayMidnight:
    case K::OverlaySunLatitude:
    case K::GlyphShowSun:
    case K::OverlayCities:
    case K::CityLabels:
    case K::OverlayStatus:
    case K::StatusSunLocation:
    case K::StatusSunrise:
    case K::StatusSunset:
    case K::StatusSolarOffset:
    case K::StatusLocalTime:
    case K::WallpaperMode:
    case K::ExactSun:
    case K::RealLocalTime: return true;
    default: return false;
    }
}

// A slider keeps its position within its range, as the control itself does.
int ToSlider(std::uint32_t value, int divisor, int lo, int hi) {
    const int v = static_cast<std::int32_t>(value) / divisor;
    return std::clamp(v, lo, hi);
}

}  // namespace

const SettingInfo* SettingsLoadOrder() { return kLoadOrder; }
const SettingInfo* SettingsSaveOrder() { return kSaveOrder; }

std::uint32_t StoredValue(const SettingsRefs& r, SettingKey key) {
    switch (key) {
    case K::YOffset: return static_cast<std::uint32_t>(r.offset->ySlider * 10);
    case K::XOffset: return static_cast<std::uint32_t>(r.offset->xSlider);
    case K::RefreshInterval: return static_cast<std::uint32_t>(r.misc->refreshSlider);
    case K::DawnDuskWidth: return static_cast<std::uint32_t>(r.misc->dawnDuskSlider);
    case K::CityToWatchInTray: return static_cast<std::uint32_t>(r.cityPage->trayCity);
    default: {
        const std::uint32_t* m = Member(r, key);
        return m ? *m : 0;
    }
    }
}

void LoadValue(SettingsRefs& r, SettingKey key, std::uint32_t value,
               const std::function<int()>& timezoneXOffset) {
    switch (key) {
    case K::YOffset: r.offset->ySlider = ToSlider(value, 10, 0, 100); return;
    case K::XOffset: r.offset->xSlider = ToSlider(value, 1, 0, 359); return;
    case K::RefreshInterval: r.misc->refreshSlider = ToSlider(value, 1, 1, 21); return;
    case K::DawnDuskWidth: r.misc->dawnDuskSlider = ToSlider(value, 1, 0, 100); return;
    case K::CityToWatchInTray: r.cityPage->trayCity = static_cast<std::int32_t>(value); return;
    case K::TimezoneOffset:
        r.offset->timezoneOffset = value != 0 && r.offset->followTheSun == 0 ? 1 : 0;
        if (r.offset->timezoneOffset && timezoneXOffset)
            r.offset->xSlider = std::clamp(timezoneXOffset(), 0, 359);
        return;
    default: break;
    }
    if (std::uint32_t* m = Member(r, key)) *m = IsFlag(key) ? (value != 0 ? 1 : 0) : value;
}

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

LoadResult LoadAllSettings(ValueStore& store, SettingsRefs& refs,
                           const std::function<int()>& timezoneXOffset) {
    LoadResult result;
    for (std::size_t i = 0; i < kSettingCount; ++i) {
        const SettingInfo& s = kLoadOrder[i];
        RegValue v;
        if (!store.Read(s.name, v) || !v.present) continue;
        const std::vector<std::uint8_t>& b = v.data;
        if (s.binary) {
            // Fewer than 4 bytes hold no index and leave the selection alone.
            if (b.size() < 4 || !refs.selection) continue;
            refs.selection->Clear();
            for (int index : DecodeCitiesSelected(b.data(), b.size(), refs.selection->Count()))
                refs.selection->Select(index);
            result.citiesLoaded = true;
        } else if (b.size() == 4) {
            LoadValue(refs, s.key, b[0] | b[1] << 8 | b[2] << 16 | std::uint32_t(b[3]) << 24,
                      timezoneXOffset);
        }
    }
    return result;
}

void SaveAllSettings(ValueStore& store, const SettingsRefs& refs) {
    for (std::size_t i = 0; i < kSettingCount; ++i) {
        const SettingInfo& s = kSaveOrder[i];
        if (!s.binary) {
            store.Write(s.name, DwordValue(StoredValue(refs, s.key)));
        } else {
            RegValue blob{true, kRegBinary, {}};
            if (refs.selection) blob.data = EncodeCitiesSelected(*refs.selection);
            store.Write(s.name, blob);
        }
    }
}

OffsetEnables ComputeOffsetEnables(const OffsetValues& v) {
    OffsetEnables e;
    e.xSlider = v.timezoneOffset == 0;
    e.followTheSun = v.timezoneOffset == 0;
    e.timezoneOffset = v.followTheSun == 0;
    e.ySlider = v.fullScreen == 0;
    e.noDistort = v.fullScreen != 0;
    e.ignoreAntarctica = v.fullScreen != 0 && v.noDistort != 0;
    return e;
}

OverlayEnables ComputeOverlayEnables(const OverlayValues& v) {
    OverlayEnables e;
    e.gridColour = v.grid != 0;
    e.dawnDuskColour = v.dawnDusk != 0;
    e.middayColour = v.midday != 0;
    e.midnightColour = v.midnight != 0;
    e.sunLatitudeColour = v.sunLatitude != 0;
    e.citiesColour = v.cities != 0;
    e.cityLabelsBox = v.cities != 0;
    e.cityLabelColours = v.cityLabels != 0;
    e.statusColours = v.status != 0;
    e.statusBoxes = v.status != 0;
    return e;
}

WideText RunEntryFor(const WideText& programPath) { return u"\"" + programPath + u"\""; }

bool RunEntryNamesProgram(const WideText& entry, const WideText& programPath) {
    return !programPath.empty() && (entry == programPath || entry == RunEntryFor(programPath));
}

}  // namespace uv
