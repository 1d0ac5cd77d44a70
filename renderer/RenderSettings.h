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
// dawnDuskWidth and useGeneratedNight without a lock, each a single store.
// The flags and colours are the settings table's FLAG and COLOUR rows.
struct RenderSettings {
    std::time_t renderTime = 0;
    std::int32_t xOffset = 0;    // degrees 0..359
    double yOffset = 0.5;        // fraction of the free height
    float dawnDuskWidth = 0.0f;  // fraction 0..1
    std::int32_t displayMode = 0;
    float mapHeightFraction = 1.0f;

#define UV_RENDER_FLAG(member, initial) std::uint8_t member = initial;
#define UV_RENDER_COLOUR(member, initial) ColorRef member = initial;
#define UV_RENDER_OWN(member, initial)
#define UV_RENDER_NONE(member, initial)
#define UV_RENDER_MEMBER(key, member, name, kind, def, lo, hi, scale, wire, save, burst, page, control, \
                         enabledBy, render, renderMember, renderInitial)                               \
    UV_RENDER_##render(renderMember, renderInitial)
    UV_SETTINGS(UV_RENDER_MEMBER)
#undef UV_RENDER_MEMBER

    // Pixels per inch of the screen the picture is for. Never sent: the
    // desktop host draws at 96, the wallpaper at its monitor's DPI.
    unsigned dpi = 96;
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
