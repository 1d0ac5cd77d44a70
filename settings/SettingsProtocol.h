// The settings message between the controller and the desktop host: one
// registered window message whose wParam is a MessageId and whose lParam is
// the value. Shared by both deliverables, so it holds no Windows types.
#pragma once

#include <cstdint>

namespace uv {

// Name registered with RegisterWindowMessageA by both processes; the number
// is only known at run time, so it is never compared with a constant.
constexpr char kSettingsMessageName[] = "umbravue";
// Named semaphores of the desktop host: "umbravue" exists and is held while
// a host runs; the quit one is taken by a stop under way.
constexpr char kBusySemaphoreName[] = "umbravue";
constexpr char kQuitSemaphoreName[] = "umbravue quit received";

enum class MessageId : std::uint32_t {
    Subclass = 0,
    Unsubclass = 1,
    SetTime = 2,
    XOffset = 3,
    FollowTheSun = 4,
    YOffset = 5,
    DawnDuskWidth = 6,
    DisplayMode = 7,
    UseGeneratedNightSource = 8,
    OverlayGrid = 10,
    OverlayDawnDusk = 11,
    OverlayMidday = 12,
    OverlayMidnight = 13,
    OverlaySunLatitude = 14,
    OverlayGridColor = 15,
    OverlayDawnDuskColor = 16,
    OverlayMiddayColor = 17,
    OverlayMidnightColor = 18,
    OverlaySunLatitudeColor = 19,
    CitiesColor = 20,
    ClearCities = 21,
    SelectCity = 22,
    DeselectCity = 23,
    OverlayCities = 24,
    CityLabels = 25,
    CityLabelForeground = 26,
    CityLabelBackground = 27,
    OverlayStatus = 30,
    StatusLabelForeground = 31,
    StatusLabelBackground = 32,
    StatusSunLocation = 33,
    StatusSunrise = 34,
    StatusSolarOffset = 35,
    StatusSunset = 36,
    StatusLocalTime = 37,
    GlyphShowSun = 40,
    // Appended later: the exact sun in place of the simple model, and each
    // city's real zone in place of the nominal zone of its longitude. 41 is
    // left to other hooks, as before.
    ExactSun = 42,
    RealLocalTime = 43,
    OverlayCivilTwilight = 44,
    OverlayCivilTwilightColor = 45,
    OverlayNauticalTwilight = 46,
    OverlayNauticalTwilightColor = 47,
    OverlayAstronomicalTwilight = 48,
    OverlayAstronomicalTwilightColor = 49,
    GradedTwilight = 50,
    GlyphShowMoon = 51,
    StatusMoonPhase = 52,
    StatusMoonRiseSet = 53,
    StatusCivilTwilight = 54,
    RenderDone = 255,
    HookHandle = 256,
};

// How the map is fitted into the window; sent as one integer (id 7).
enum class DisplayMode : std::int32_t {
    FitWidth = 0,
    FullScreen = 1,
    FullScreenNoDistort = 2,
    FullScreenNoAntarctica = 3,
};

// Builds the DisplayMode value from the three stored switches the way the
// sender does: "no distort" needs "full screen", "ignore antarctica" needs both.
constexpr DisplayMode MakeDisplayMode(bool fullScreen, bool noDistort, bool ignoreAntarctica) {
    return !fullScreen         ? DisplayMode::FitWidth
           : !noDistort        ? DisplayMode::FullScreen
           : !ignoreAntarctica ? DisplayMode::FullScreenNoDistort
                               : DisplayMode::FullScreenNoAntarctica;
}

// True for the ids of the table; every other id belongs to someone else and
// is handed on unchanged.
constexpr bool IsProtocolId(std::uint32_t id) {
    if (id == 255 || id == 256) return true;
    if (id > 54) return false;
    return id != 9 && id != 28 && id != 29 && id != 38 && id != 39 && id != 41;
}

constexpr std::uint32_t ToWire(MessageId id) { return static_cast<std::uint32_t>(id); }

}  // namespace uv
