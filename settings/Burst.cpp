#include "settings/Burst.h"

#include <cmath>

namespace uv {

Burst BuildSettingsBurst(const SettingsRecord& r, const CitySelection* selection, int& lastYOffset) {
    static constexpr SettingsOrder kOrder = OrderBy(&SettingInfo::burst);

    Burst b;
    auto post = [&b](MessageId id, std::int32_t value) { b.posts.push_back({id, value}); };
    for (const SettingInfo* row : kOrder) {
        const SettingInfo& s = *row;
        const MessageId id = static_cast<MessageId>(s.wire);
        switch (s.kind) {
        case SettingKind::Mode:
            post(id, static_cast<std::int32_t>(
                         MakeDisplayMode(r.fullScreen != 0, r.noDistort != 0, r.ignoreAntarctica != 0)));
            break;
        case SettingKind::Cities:
            post(MessageId::ClearCities, 0);
            if (selection) {
                const int n = selection->Count();
                for (int c = 0; c < n; ++c)
                    if (selection->IsSelected(c)) post(MessageId::SelectCity, c);
            }
            break;
        default: {
            const std::int32_t value = r.*s.member * s.scale;
            // The host renders anew for every "YOffset": sent only when it moved.
            if (s.key == SettingKey::YOffset) {
                if (value == lastYOffset) break;
                lastYOffset = value;
                b.yOffsetPosted = true;
            }
            post(id, value);
        }
        }
    }
    return b;
}

int XOffsetForStandardOffset(long secondsEastOfUtc) {
    const double d = static_cast<double>(secondsEastOfUtc);
    return static_cast<int>(std::fmod(-d / 3600.0 / 24.0 * 360.0 + 360.0, 360.0));
}

}  // namespace uv
