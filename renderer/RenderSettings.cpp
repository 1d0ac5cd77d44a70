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
    case MessageId::FollowTheSun: s.followSun = Flag(v); break;
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
    case MessageId::UseGeneratedNightSource: s.useGeneratedNight = Flag(v); break;
    case MessageId::OverlayGrid: s.overlayGrid = Flag(v); break;
    case MessageId::OverlayDawnDusk: s.overlayDawnDusk = Flag(v); break;
    case MessageId::OverlayMidday: s.overlayMidday = Flag(v); break;
    case MessageId::OverlayMidnight: s.overlayMidnight = Flag(v); break;
    case MessageId::OverlaySunLatitude: s.overlaySunLatitude = Flag(v); break;
    case MessageId::OverlayGridColor: s.gridColor = static_cast<ColorRef>(v); break;
    case MessageId::OverlayDawnDuskColor: s.dawnDuskColor = static_cast<ColorRef>(v); break;
    case MessageId::OverlayMiddayColor: s.middayColor = static_cast<ColorRef>(v); break;
    case MessageId::OverlayMidnightColor: s.midnightColor = static_cast<ColorRef>(v); break;
    case MessageId::OverlaySunLatitudeColor: s.sunLatitudeColor = static_cast<ColorRef>(v); break;
    case MessageId::CitiesColor: s.citiesColor = static_cast<ColorRef>(v); break;
    case MessageId::ClearCities:
        for (int i = 0; i < cities.GetCityCount(); ++i) cities.DeselectCityIndex(i);
        break;
    case MessageId::SelectCity:
        if (CityIndexFor(cities, v, &index)) cities.SelectCityIndex(index);
        break;
    case MessageId::DeselectCity:
        if (CityIndexFor(cities, v, &index)) cities.DeselectCityIndex(index);
        break;
    case MessageId::OverlayCities: s.overlayCities = Flag(v); break;
    case MessageId::CityLabels: s.cityLabels = Flag(v); break;
    case MessageId::CityLabelForeground: s.cityLabelForeground = static_cast<ColorRef>(v); break;
    case MessageId::CityLabelBackground: s.cityLabelBackground = static_cast<ColorRef>(v); break;
    case MessageId::OverlayStatus: s.overlayStatus = Flag(v); break;
    case MessageId::StatusLabelForeground: s.statusForeground = static_cast<ColorRef>(v); break;
    case MessageId::StatusLabelBackground: s.statusBackground = static_cast<ColorRef>(v); break;
    case MessageId::StatusSunLocation: s.statusSunLocation = Flag(v); break;
    case MessageId::StatusSunrise: s.statusSunrise = Flag(v); break;
    case MessageId::StatusSolarOffset: s.statusSolarOffset = Flag(v); break;
    case MessageId::StatusSunset: s.statusSunset = Flag(v); break;
    case MessageId::StatusLocalTime: s.statusLocalTime = Flag(v); break;
    case MessageId::GlyphShowSun: s.glyphShowSun = Flag(v); break;
    case MessageId::ExactSun: s.exactSun = Flag(v); break;
    case MessageId::RealLocalTime: s.realLocalTime = Flag(v); break;
    case MessageId::OverlayCivilTwilight: s.overlayCivilTwilight = Flag(v); break;
    case MessageId::OverlayCivilTwilightColor: s.civilTwilightColor = static_cast<ColorRef>(v); break;
    case MessageId::OverlayNauticalTwilight: s.overlayNauticalTwilight = Flag(v); break;
    case MessageId::OverlayNauticalTwilightColor: s.nauticalTwilightColor = static_cast<ColorRef>(v); break;
    case MessageId::OverlayAstronomicalTwilight: s.overlayAstronomicalTwilight = Flag(v); break;
    case MessageId::OverlayAstronomicalTwilightColor:
        s.astronomicalTwilightColor = static_cast<ColorRef>(v);
        break;
    case MessageId::GradedTwilight: s.gradedTwilight = Flag(v); break;
    case MessageId::GlyphShowMoon: s.glyphShowMoon = Flag(v); break;
    case MessageId::StatusMoonPhase: s.statusMoonPhase = Flag(v); break;
    case MessageId::StatusMoonRiseSet: s.statusMoonRiseSet = Flag(v); break;
    case MessageId::StatusCivilTwilight: s.statusCivilTwilight = Flag(v); break;
    }
    return SettingAction::None;
}

}  // namespace uv
