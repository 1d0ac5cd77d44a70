// The record of the settings the desktop picture is drawn from, and the one routine
// that applies a received (id, value) pair to it.
#pragma once

#include <cstdint>
#include <ctime>

#include "settings/SettingsProtocol.h"
#include "solar/CityDatabase.h"

namespace uv {

// Colours are 0x00BBGGRR, red in the low byte.
using ColorRef = std::uint32_t;

constexpr ColorRef MakeColor(unsigned r, unsigned g, unsigned b) {
    return (r & 0xFFu) | ((g & 0xFFu) << 8) | ((b & 0xFFu) << 16);
}

// 5/6 in single precision: only the top five sixths of the map are used.
constexpr float kNoAntarcticaFraction = 0.8333333f;

// Values before any message arrives matter: a setting the controller never
// sends keeps them. Flags are one byte; the render worker reads renderTime,
// dawnDuskWidth, useGeneratedNight and gradedTwilight without a lock, each a single store.
struct RenderSettings {
    std::time_t renderTime = 0;
    std::int32_t xOffset = 0;  // degrees 0..359
    std::uint8_t followSun = 0;
    double yOffset = 0.5;        // fraction of the free height
    float dawnDuskWidth = 0.0f;  // fraction 0..1
    std::int32_t displayMode = 0;
    float mapHeightFraction = 1.0f;
    std::uint8_t useGeneratedNight = 0;

    std::uint8_t overlayGrid = 0;
    std::uint8_t overlayDawnDusk = 0;
    std::uint8_t overlayMidday = 0;
    std::uint8_t overlayMidnight = 0;
    std::uint8_t overlaySunLatitude = 0;
    ColorRef gridColor = 0;
    ColorRef dawnDuskColor = 0;
    ColorRef middayColor = 0;
    ColorRef midnightColor = 0;
    ColorRef sunLatitudeColor = 0;

    std::uint8_t overlayCities = 0;
    ColorRef citiesColor = 0;
    std::uint8_t cityLabels = 0;
    ColorRef cityLabelForeground = 0;
    ColorRef cityLabelBackground = 0;

    std::uint8_t overlayStatus = 0;
    ColorRef statusForeground = MakeColor(255, 127, 63);
    ColorRef statusBackground = MakeColor(63, 63, 63);
    std::uint8_t statusSunLocation = 0;
    std::uint8_t statusSunrise = 0;
    std::uint8_t statusSolarOffset = 0;
    std::uint8_t statusSunset = 0;
    std::uint8_t statusLocalTime = 0;

    std::uint8_t glyphShowSun = 0;

    std::uint8_t exactSun = 0;
    std::uint8_t realLocalTime = 0;

    // Pixels per inch of the screen the picture is for. Never sent: the
    // desktop host draws at 96, the wallpaper at its monitor's DPI.
    unsigned dpi = 96;

    // The Moon and the three twilights.
    std::uint8_t overlayCivilTwilight = 0;
    ColorRef civilTwilightColor = MakeColor(255, 160, 64);
    std::uint8_t overlayNauticalTwilight = 0;
    ColorRef nauticalTwilightColor = MakeColor(64, 160, 255);
    std::uint8_t overlayAstronomicalTwilight = 0;
    ColorRef astronomicalTwilightColor = MakeColor(160, 96, 255);
    std::uint8_t gradedTwilight = 0;
    std::uint8_t glyphShowMoon = 0;
    std::uint8_t statusMoonPhase = 0;
    std::uint8_t statusMoonRiseSet = 0;
    std::uint8_t statusCivilTwilight = 0;
};

// What the caller has to do after a message was applied.
enum class SettingAction {
    None,           // stored; takes effect at its next use
    RequestRender,  // release the render baton (SetTime, YOffset)
    StartHost,      // Subclass: start on the window in the value unless running
    StopHost,       // Unsubclass
    RenderDone,     // compose the finished picture and invalidate
    HookHandle,     // the value is this process's hook handle
    NotHandled,     // not a protocol id: hand the message on unchanged
};

// Applies one settings message. `value` is the message's lParam (pointer
// wide, so window and hook handles pass through untouched); settings use its
// low 32 bits as the signed wire value. `now` is used when a render is
// requested before any time is known. Returns what the caller must do next.
SettingAction ApplySettingsMessage(RenderSettings& settings, CityDatabase& cities, std::uint32_t id,
                                   std::intptr_t value, std::time_t now);

// "XOffset" normalised into 0..359 for any received integer.
std::int32_t NormalizeXOffset(std::int32_t degrees);

DisplayMode EffectiveDisplayMode(std::int32_t mode);

}  // namespace uv
