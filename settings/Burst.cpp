#include "settings/Burst.h"

#include <cmath>

namespace uv {

Burst BuildSettingsBurst(const SettingsRefs& r, int& lastYOffset) {
    Burst b;
    auto post = [&b](MessageId id, std::uint32_t value) {
        b.posts.push_back({id, static_cast<std::int32_t>(value)});
    };
    const OffsetValues& off = *r.offset;
    const MiscValues& misc = *r.misc;
    const OverlayValues& o = *r.overlay;
    post(MessageId::XOffset, off.xSlider);
    post(MessageId::FollowTheSun, off.followTheSun);
    post(MessageId::DawnDuskWidth, misc.dawnDuskSlider);
    post(MessageId::UseGeneratedNightSource, misc.useGeneratedNightSource);
    const int y = off.ySlider * 10;
    if (y != lastYOffset) {
        post(MessageId::YOffset, y);
        lastYOffset = y;
        b.yOffsetPosted = true;
    }
    post(MessageId::DisplayMode, static_cast<std::uint32_t>(MakeDisplayMode(
                                     off.fullScreen != 0, off.noDistort != 0, off.ignoreAntarctica != 0)));
    post(MessageId::OverlayGrid, o.grid);
    post(MessageId::OverlayDawnDusk, o.dawnDusk);
    post(MessageId::OverlayMidday, o.midday);
    post(MessageId::OverlayMidnight, o.midnight);
    post(MessageId::OverlaySunLatitude, o.sunLatitude);
    post(MessageId::OverlayGridColor, o.colours.grid);
    post(MessageId::OverlayDawnDuskColor, o.colours.dawnDusk);
    post(MessageId::OverlayMiddayColor, o.colours.midday);
    post(MessageId::OverlayMidnightColor, o.colours.midnight);
    post(MessageId::OverlaySunLatitudeColor, o.colours.sunLatitude);
    post(MessageId::OverlayCities, o.cities);
    post(MessageId::CitiesColor, o.colours.cities);
    post(MessageId::ClearCities, 0);
    if (r.selection) {
        const int n = r.selection->Count();
        for (int i = 0; i < n; ++i)
            if (r.selection->IsSelected(i)) post(MessageId::SelectCity, i);
    }
    post(MessageId::CityLabels, o.cityLabels);
    post(MessageId::CityLabelForeground, o.colours.cityLabelForeground);
    post(MessageId::CityLabelBackground, o.colours.cityLabelBackground);
    post(MessageId::OverlayStatus, o.status);
    post(MessageId::StatusLabelForeground, o.colours.statusLabelForeground);
    post(MessageId::StatusLabelBackground, o.colours.statusLabelBackground);
    post(MessageId::StatusSunLocation, o.statusSunLocation);
    post(MessageId::StatusSunrise, o.statusSunrise);
    post(MessageId::StatusSunset, o.statusSunset);
    post(MessageId::StatusSolarOffset, o.statusSolarOffset);
    post(MessageId::StatusLocalTime, o.statusLocalTime);
    post(MessageId::GlyphShowSun, r.glyph->showSun);
    post(MessageId::ExactSun, r.misc->exactSun);
    post(MessageId::RealLocalTime, o.realLocalTime);
    return b;
}

int XOffsetForStandardOffset(long secondsEastOfUtc) {
    const double d = static_cast<double>(secondsEastOfUtc);
    return static_cast<int>(std::fmod(-d / 3600.0 / 24.0 * 360.0 + 360.0, 360.0));
}

}  // namespace uv
