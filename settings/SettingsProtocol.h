// The settings message between the controller and the desktop host: one
// registered window message whose wParam is a MessageId and whose lParam is
// the value. Shared by both deliverables, so it holds no Windows types.
#pragma once

#include <cstdint>

#include "settings/SettingsTable.h"

namespace uv {

// Name registered with RegisterWindowMessageA by both processes; the number
// is only known at run time, so it is never compared with a constant.
constexpr char kSettingsMessageName[] = "umbravue";
// Named semaphores of the desktop host: "umbravue" exists and is held while
// a host runs; the quit one is taken by a stop under way.
constexpr char kBusySemaphoreName[] = "umbravue";
constexpr char kQuitSemaphoreName[] = "umbravue quit received";

// The messages that are not settings: the host's start and stop, the time to
// render, the city selection, the worker's "picture ready" and the hook
// handle. 9, 28, 29, 38, 39 and 41 belong to other hooks.
#define UV_CONTROL_MESSAGES(X) \
    X(Subclass, 0, "subclass")        \
    X(Unsubclass, 1, "unsubclass")    \
    X(SetTime, 2, "set time")         \
    X(ClearCities, 21, "clear cities") \
    X(SelectCity, 22, "select city")  \
    X(DeselectCity, 23, "deselect city") \
    X(RenderDone, 255, "render done") \
    X(HookHandle, 256, "hook handle")

enum class MessageId : std::uint32_t {
#define UV_MESSAGE_ID(key, wire, text) key = wire,
    UV_CONTROL_MESSAGES(UV_MESSAGE_ID)
#undef UV_MESSAGE_ID
#define UV_MESSAGE_ID(key, member, name, kind, def, lo, hi, scale, wire, ...) key = wire,
    UV_SETTINGS(UV_MESSAGE_ID)
#undef UV_MESSAGE_ID
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

// True for the ids above; every other id belongs to someone else and is
// handed on unchanged.
constexpr bool IsProtocolId(std::uint32_t id) {
    if (id == kNotSent) return false;
#define UV_MESSAGE_ID(key, ...) \
    if (id == static_cast<std::uint32_t>(MessageId::key)) return true;
    UV_CONTROL_MESSAGES(UV_MESSAGE_ID)
    UV_SETTINGS(UV_MESSAGE_ID)
#undef UV_MESSAGE_ID
    return false;
}

constexpr std::uint32_t ToWire(MessageId id) { return static_cast<std::uint32_t>(id); }

}  // namespace uv
