// What one settings burst to the desktop host holds and in what order, and
// the settings that follow from the machine's clock.
#pragma once

#include "settings/Settings.h"
#include "settings/SettingsProtocol.h"

#include <cstdint>
#include <vector>

namespace uv {

struct SettingsPost {
    MessageId id;
    std::int32_t value;
    bool operator==(const SettingsPost& o) const { return id == o.id && value == o.value; }
};

struct Burst {
    std::vector<SettingsPost> posts;
    bool yOffsetPosted = false;  // the list view is to be invalidated
};

// One burst of every sent setting in the table's burst order, the city
// selection as a clear and one select for each selected city (none without a
// selection). "YOffset" is included only when it differs from lastYOffset,
// which is then updated.
Burst BuildSettingsBurst(const SettingsRecord& settings, const CitySelection* selection, int& lastYOffset);

// Degrees to rotate the map so that local standard time sits in the middle:
// 360 minus 15 degrees per hour east of UTC, within 0..359.
int XOffsetForStandardOffset(long secondsEastOfUtc);

// Refresh timer period for a "refresh interval" slider position.
inline unsigned RefreshPeriodMs(int refreshSlider) { return static_cast<unsigned>(refreshSlider) * 30000u; }

}  // namespace uv
