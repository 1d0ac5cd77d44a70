// The user's settings: the one record the controller holds, and what the
// table says of each setting, as data. No Windows types, so the logic that
// reads and writes them is tested on any host.
#pragma once

#include <cstddef>
#include <cstdint>

#include "settings/SettingsTable.h"

namespace uv {

enum class SettingKey {
#define UV_SETTING_KEY(key, ...) key,
    UV_SETTINGS(UV_SETTING_KEY)
#undef UV_SETTING_KEY
    None  // no setting: the enabledBy of a control that is always enabled
};

enum class SettingKind { Flag, ZoneFlag, Colour, Slider, Index, Mode, Cities, RunEntry };
enum class SettingPage { None, Offset, Misc, Overlay, Glyph, Cities };

// Every setting's value, as the pages show it: sliders at their positions,
// flags 0 or 1, colours 0x00BBGGRR.
struct SettingsRecord {
#define UV_RECORD_Flag(member, def) std::int32_t member = def;
#define UV_RECORD_ZoneFlag UV_RECORD_Flag
#define UV_RECORD_Colour UV_RECORD_Flag
#define UV_RECORD_Slider UV_RECORD_Flag
#define UV_RECORD_Index UV_RECORD_Flag
#define UV_RECORD_RunEntry UV_RECORD_Flag
#define UV_RECORD_Mode(member, def)
#define UV_RECORD_Cities(member, def)
#define UV_RECORD_MEMBER(key, member, name, kind, def, ...) UV_RECORD_##kind(member, def)
    UV_SETTINGS(UV_RECORD_MEMBER)
#undef UV_RECORD_MEMBER
};

using SettingMember = std::int32_t SettingsRecord::*;

struct SettingInfo {
    SettingKey key;
    const char* keyName;  // the message's name, for the render tool
    const char* name;     // the registry value name, or nullptr
    SettingKind kind;
    std::int32_t def, lo, hi, scale;
    std::uint32_t wire;
    int save, burst;  // positions, or -1
    SettingPage page;
    SettingKey enabledBy;  // SettingKey::None: always enabled
    SettingMember member;  // nullptr for Mode and Cities
};

#define UV_MEMBER_OF_Flag(member) &SettingsRecord::member
#define UV_MEMBER_OF_ZoneFlag UV_MEMBER_OF_Flag
#define UV_MEMBER_OF_Colour UV_MEMBER_OF_Flag
#define UV_MEMBER_OF_Slider UV_MEMBER_OF_Flag
#define UV_MEMBER_OF_Index UV_MEMBER_OF_Flag
#define UV_MEMBER_OF_RunEntry UV_MEMBER_OF_Flag
#define UV_MEMBER_OF_Mode(member) nullptr
#define UV_MEMBER_OF_Cities(member) nullptr

#define UV_SETTING_INFO(key, member, name, kind, def, lo, hi, scale, wire, save, burst, page, control, enabledBy, \
                        ...)                                                                                   \
    {SettingKey::key, #key, name,  SettingKind::kind, def, lo, hi, scale, wire, save, burst, SettingPage::page,   \
     SettingKey::enabledBy, UV_MEMBER_OF_##kind(member)},

constexpr SettingInfo kSettings[] = {
    UV_SETTINGS(UV_SETTING_INFO)
};

constexpr std::size_t kSettingCount = sizeof kSettings / sizeof kSettings[0];

constexpr const SettingInfo& InfoOf(SettingKey key) { return kSettings[static_cast<std::size_t>(key)]; }

// The table's rows in one of its orders (SettingInfo::save or ::burst),
// rows without a position left out.
struct SettingsOrder {
    const SettingInfo* rows[kSettingCount] = {};
    std::size_t count = 0;
    const SettingInfo* const* begin() const { return rows; }
    const SettingInfo* const* end() const { return rows + count; }
};
constexpr SettingsOrder OrderBy(int SettingInfo::*position) {
    SettingsOrder o;
    for (int at = 0; at < static_cast<int>(kSettingCount); ++at)
        for (const SettingInfo& s : kSettings)
            if (s.*position == at) o.rows[o.count++] = &s;
    return o;
}

// How many rows of kind the table places on page.
constexpr std::size_t RowCount(SettingKind kind, SettingPage page) {
    std::size_t n = 0;
    for (const SettingInfo& s : kSettings) n += s.kind == kind && s.page == page;
    return n;
}

// The selection flags of the controller's city list, as the store and the
// burst need them.
class CitySelection {
public:
    virtual ~CitySelection() = default;
    virtual int Count() const = 0;
    virtual bool IsSelected(int index) const = 0;
    virtual void Clear() = 0;
    // index in 0..Count()-1.
    virtual void Select(int index) = 0;
};

// Which Offsets page controls may be used, as follows from its switches.
struct OffsetEnables {
    bool xSlider;
    bool followTheSun;
    bool timezoneOffset;
    bool ySlider;
    bool noDistort;
    bool ignoreAntarctica;
};
OffsetEnables ComputeOffsetEnables(const SettingsRecord& v);

// A control of the Overlays page may be used when the flag its row names is
// on (and always when it names none).
bool OverlayControlEnabled(const SettingsRecord& v, const SettingInfo& row);

}  // namespace uv
