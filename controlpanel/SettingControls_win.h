// The control that shows each setting on its page (0: none), from the
// settings table, indexed by SettingKey.
#pragma once

#include "controlpanel/GlyphPageRes.h"
#include "controlpanel/MiscPageRes.h"
#include "controlpanel/OffsetPageRes.h"
#include "controlpanel/OverlayPageRes.h"
#include "settings/Settings.h"

namespace uv {

constexpr int kSettingControls[] = {
#define UV_SETTING_CONTROL(key, member, name, kind, def, lo, hi, scale, wire, save, burst, page, control, \
                           ...)                                                                           \
    control,
    UV_SETTINGS(UV_SETTING_CONTROL)
#undef UV_SETTING_CONTROL
};

constexpr int ControlOf(const SettingInfo& row) { return kSettingControls[static_cast<int>(row.key)]; }

}  // namespace uv
