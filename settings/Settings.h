// The user's settings as the control panel's pages hold them. Each page owns
// one of these records; the settings store and the desktop link reach them
// through SettingsRefs. No Windows types, so the logic that reads and writes
// them is tested on any host.
#pragma once

#include <cstdint>

namespace uv {

// Offsets page: the two sliders and the map placement switches.
struct OffsetValues {
    int xSlider = 0;   // "XOffset", degrees 0..359
    int ySlider = 50;  // "YOffset" / 10, percent 0..100
    std::uint32_t followTheSun = 0;
    std::uint32_t timezoneOffset = 0;
    std::uint32_t fullScreen = 0;
    std::uint32_t noDistort = 0;
    std::uint32_t ignoreAntarctica = 0;
};

// Misc page.
struct MiscValues {
    int refreshSlider = 6;    // "refresh interval", half minutes 1..21
    int dawnDuskSlider = 10;  // "dawn dusk width", percent 0..100
    std::uint32_t useGeneratedNightSource = 0;
    std::uint32_t autohide = 0;
    std::uint32_t startWithWindows = 0;  // the Run entry, not a product value
    std::uint32_t wallpaperMode = 0;     // the map as the wallpaper even where it could go behind the icons
    std::uint32_t exactSun = 0;          // the apparent sun instead of the simple model
};

// The ten colours of the Overlays page (COLORREF 0x00BBGGRR).
struct OverlayColours {
    std::uint32_t grid = 0x00402020;
    std::uint32_t dawnDusk = 0x00400040;
    std::uint32_t midday = 0x00007F7F;
    std::uint32_t midnight = 0x00600020;
    std::uint32_t sunLatitude = 0x00002040;
    std::uint32_t cities = 0x002020FF;
    std::uint32_t cityLabelForeground = 0x0000FFFF;
    std::uint32_t cityLabelBackground = 0x00000000;
    std::uint32_t statusLabelForeground = 0x00C0C0C0;
    std::uint32_t statusLabelBackground = 0x00400000;
};

// Overlays page: thirteen switches and ten colours.
struct OverlayValues {
    std::uint32_t grid = 0;
    std::uint32_t dawnDusk = 0;
    std::uint32_t midday = 0;
    std::uint32_t midnight = 0;
    std::uint32_t sunLatitude = 0;
    std::uint32_t cities = 0;
    std::uint32_t cityLabels = 0;
    std::uint32_t status = 0;
    std::uint32_t statusSunLocation = 0;
    std::uint32_t statusSunrise = 0;
    std::uint32_t statusSunset = 0;
    std::uint32_t statusSolarOffset = 0;
    std::uint32_t statusLocalTime = 0;
    std::uint32_t realLocalTime = 0;  // each city's real zone instead of its longitude's
    OverlayColours colours;
};

// Glyphs page.
struct GlyphValues {
    std::uint32_t showSun = 0;
};

// Choose Cities page: the watched city. The selection itself lives in the
// city database.
struct CityPageValues {
    std::int32_t trayCity = -1;
};

// The selection flags of the controller's city list, as the store and the
// burst need them.
class CitySelection {
public:
    virtual ~CitySelection() = default;
    virtual int Count() const = 0;
    virtual bool IsSelected(int index) const = 0;
    virtual void Clear() = 0;
    // index in 0..Count()-1.
    virtual void Select(int index) = 0;
};

// Where every setting is held. All pointers are set by the owner.
struct SettingsRefs {
    OffsetValues* offset = nullptr;
    MiscValues* misc = nullptr;
    OverlayValues* overlay = nullptr;
    GlyphValues* glyph = nullptr;
    CityPageValues* cityPage = nullptr;
    CitySelection* selection = nullptr;
};

// Every setting in one place, for tests and tools that have no pages.
struct AllSettings {
    OffsetValues offset;
    MiscValues misc;
    OverlayValues overlay;
    GlyphValues glyph;
    CityPageValues cityPage;
    SettingsRefs Refs(CitySelection* selection) {
        SettingsRefs r;
        r.offset = &offset;
        r.misc = &misc;
        r.overlay = &overlay;
        r.glyph = &glyph;
        r.cityPage = &cityPage;
        r.selection = selection;
        return r;
    }
};

// Which Offsets page controls may be used, as follows from its switches.
struct OffsetEnables {
    bool xSlider;
    bool followTheSun;
    bool timezoneOffset;
    bool ySlider;
    bool noDistort;
    bool ignoreAntarctica;
};
OffsetEnables ComputeOffsetEnables(const OffsetValues& v);

// Which Overlays page controls may be used.
struct OverlayEnables {
    bool gridColour, dawnDuskColour, middayColour, midnightColour, sunLatitudeColour;
    bool citiesColour, cityLabelsBox;
    bool cityLabelColours;
    bool statusColours, statusBoxes;
};
OverlayEnables ComputeOverlayEnables(const OverlayValues& v);

}  // namespace uv
