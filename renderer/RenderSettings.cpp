#include "renderer/RenderSettings.h"

namespace uv {

namespace {

std::uint8_t Flag(std::int32_t v) { return v != 0 ? 1 : 0; }

std::int32_t Clamp(std::int32_t v, std::int32_t low, std::int32_t high) {
    return v < low ? low : v > high ? high : v;
}

// A negative index names no city; any other is taken modulo the city count.
// Nothing is touched in an empty database.
bool CityIndexFor(const CityDatabase& cities, std::int32_t value, int* index) {
    const int count = cities.GetCityCount();
    if (count <= 0 || value < 0) return false;
    *index = value % count;
    return true;
}

void RequestRenderTime(RenderSettings& s, std::time_t now) {
    if (s.renderTime == 0) s.renderTime = now;
}

}  // namespace

std::int32_t NormalizeXOffset(std::int32_t degrees) {
    const std::int32_t r = degrees % 360;
    return r < 0 ? r + 360 : r;
}

DisplayMode EffectiveDisplayMode(std::int32_t mode) {
    switch (mode) {
    case 1: return DisplayMode::FullScreen;
    case 2: return DisplayMode::FullScreenNoDistort;
    case 3: return DisplayMode::FullScreenNoAntarctica;
    default: return DisplayMode::FitWidth;
    }
}

SettingAction ApplySettingsMessage(RenderSettings& s, CityDatabase& cities, std::uint32_t id,
                                   std::intptr_t value, std::time_t now) {
    if (!IsProtocolId(id)) return SettingAction::NotHandled;
    const std::int32_t v = static_cast<std::int32_t>(static_cast<std::uint32_t>(value));
    int index = 0;
    switch (static_cast<MessageId>(id)) {
    case MessageId::Subclass: return SettingAction::StartHost;
    case MessageId::Unsubclass: return SettingAction::StopHost;
    case MessageId::RenderDone: return SettingAction::RenderDone;
    case MessageId::HookHandle: return SettingAction::HookHandle;
    case MessageId::SetTime:
        if (v > 0) s.renderTime = static_cast<std::time_t>(v);
        RequestRenderTime(s, now);
        return SettingAction::RequestRender;
    case MessageId::XOffset: s.xOffset = NormalizeXOffset(v); break;
    case MessageId::YOffset:
        // Thousandths of the free height; beyond 0..1000 the map would be
        // placed outside the window and the offset would overflow an int.
        s.yOffset = Clamp(v, 0, 1000) * 0.001;
        RequestRenderTime(s, now);
        return SettingAction::RequestRender;
    case MessageId::DawnDuskWidth: {
        // Outside 0..100 the twilight formula divides by sin(w * pi/2), which
        // reaches zero at 200 % and gives NaN weights; keep the band sane.
        s.dawnDuskWidth = static_cast<float>(Clamp(v, 0, 100)) * 0.01f;
        break;
    }
    case MessageId::DisplayMode:
        // Unknown modes fit the width, as mode 0 does.
        s.displayMode = v >= 0 && v <= 3 ? v : 0;
        s.mapHeightFraction = v == 3 ? kNoAntarcticaFraction : 1.0f;
        break;
    case MessageId::ClearCities:
        for (int i = 0; i < cities.GetCityCount(); ++i) cities.DeselectCityIndex(i);
        break;
    case MessageId::SelectCity:
        if (CityIndexFor(cities, v, &index)) cities.SelectCityIndex(index);
        break;
    case MessageId::DeselectCity:
        if (CityIndexFor(cities, v, &index)) cities.DeselectCityIndex(index);
        break;
#define UV_APPLY_FLAG(key, member) \
    case MessageId::key:           \
        s.member = Flag(v);        \
        break;
#define UV_APPLY_COLOUR(key, member)         \
    case MessageId::key:                     \
        s.member = static_cast<ColorRef>(v); \
        break;
#define UV_APPLY_OWN(key, member)
#define UV_APPLY_NONE(key, member)
#define UV_APPLY_CASE(key, member, name, kind, def, lo, hi, scale, wire, save, burst, page, control, \
                      enabledBy, render, renderMember, renderInitial)                                \
    UV_APPLY_##render(key, renderMember)
        UV_SETTINGS(UV_APPLY_CASE)
#undef UV_APPLY_CASE
    default: break;
    }
    return SettingAction::None;
}

}  // namespace uv
