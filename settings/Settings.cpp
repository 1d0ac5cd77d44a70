#include "settings/Settings.h"

namespace uv {

namespace {

// Each position of an order is taken by exactly one row, so a row added
// with a position already taken does not build.
constexpr bool PositionsAreDistinct(int SettingInfo::*position) {
    for (const SettingInfo& a : kSettings)
        for (const SettingInfo& b : kSettings)
            if (&a != &b && a.*position >= 0 && a.*position == b.*position) return false;
    return true;
}
static_assert(PositionsAreDistinct(&SettingInfo::save), "two rows save at one place");
static_assert(PositionsAreDistinct(&SettingInfo::burst), "two rows sent at one place");

constexpr bool RowsAreInKeyOrder() {
    for (std::size_t i = 0; i < kSettingCount; ++i)
        if (static_cast<std::size_t>(kSettings[i].key) != i) return false;
    return true;
}
static_assert(RowsAreInKeyOrder(), "InfoOf indexes the table by key");

}  // namespace

OffsetEnables ComputeOffsetEnables(const SettingsRecord& v) {
    OffsetEnables e;
    e.xSlider = v.timezoneOffset == 0;
    e.followTheSun = v.timezoneOffset == 0;
    e.timezoneOffset = v.followTheSun == 0;
    e.ySlider = v.fullScreen == 0;
    e.noDistort = v.fullScreen != 0;
    e.ignoreAntarctica = v.fullScreen != 0 && v.noDistort != 0;
    return e;
}

bool OverlayControlEnabled(const SettingsRecord& v, const SettingInfo& row) {
    if (row.enabledBy == SettingKey::None) return true;
    const SettingMember flag = InfoOf(row.enabledBy).member;
    return flag && v.*flag != 0;
}

}  // namespace uv
