#include "tools/umbravue-render/DesktopOptions.h"

#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdlib>

#include "settings/SettingsProtocol.h"

namespace uv {
namespace {

struct SettingName {
    const char* setting;  // the stored setting's name
    const char* idName;   // the protocol's name
    MessageId id;
};

const SettingName kSettings[] = {
    {"XOffset", "XOffset", MessageId::XOffset},
    {"follow the sun", "FollowTheSun", MessageId::FollowTheSun},
    {"YOffset", "YOffset", MessageId::YOffset},
    {"dawn dusk width", "DawnDuskWidth", MessageId::DawnDuskWidth},
    {"DisplayMode", "DisplayMode", MessageId::DisplayMode},
    {"use generated night source", "UseGeneratedNightSource", MessageId::UseGeneratedNightSource},
    {"overlay grid", "OverlayGrid", MessageId::OverlayGrid},
    {"overlay dawndusk", "OverlayDawnDusk", MessageId::OverlayDawnDusk},
    {"overlay midday", "OverlayMidday", MessageId::OverlayMidday},
    {"overlay midnight", "OverlayMidnight", MessageId::OverlayMidnight},
    {"overlay sunlatitude", "OverlaySunLatitude", MessageId::OverlaySunLatitude},
    {"overlay grid color", "OverlayGridColor", MessageId::OverlayGridColor},
    {"overlay dawndusk color", "OverlayDawnDuskColor", MessageId::OverlayDawnDuskColor},
    {"overlay midday color", "OverlayMiddayColor", MessageId::OverlayMiddayColor},
    {"overlay midnight color", "OverlayMidnightColor", MessageId::OverlayMidnightColor},
    {"overlay sunlatitude color", "OverlaySunLatitudeColor", MessageId::OverlaySunLatitudeColor},
    {"cities color", "CitiesColor", MessageId::CitiesColor},
    {"clear cities", "ClearCities", MessageId::ClearCities},
    {"select city", "SelectCity", MessageId::SelectCity},
    {"deselect city", "DeselectCity", MessageId::DeselectCity},
    {"overlay cities", "OverlayCities", MessageId::OverlayCities},
    {"city labels", "CityLabels", MessageId::CityLabels},
    {"city label foreground", "CityLabelForeground", MessageId::CityLabelForeground},
    {"city label background", "CityLabelBackground", MessageId::CityLabelBackground},
    {"overlay status", "OverlayStatus", MessageId::OverlayStatus},
    {"status label foreground", "StatusLabelForeground", MessageId::StatusLabelForeground},
    {"status label background", "StatusLabelBackground", MessageId::StatusLabelBackground},
    {"status sun location", "StatusSunLocation", MessageId::StatusSunLocation},
    {"status sunrise", "StatusSunrise", MessageId::StatusSunrise},
    {"status solar offset", "StatusSolarOffset", MessageId::StatusSolarOffset},
    {"status sunset", "StatusSunset", MessageId::StatusSunset},
    {"status local time", "StatusLocalTime", MessageId::StatusLocalTime},
    {"glyph show sun", "GlyphShowSun", MessageId::GlyphShowSun},
    {"exact sun", "ExactSun", MessageId::ExactSun},
    {"real local time", "RealLocalTime", MessageId::RealLocalTime},
    {"overlay civil twilight", "OverlayCivilTwilight", MessageId::OverlayCivilTwilight},
    {"overlay civil twilight color", "OverlayCivilTwilightColor", MessageId::OverlayCivilTwilightColor},
    {"overlay nautical twilight", "OverlayNauticalTwilight", MessageId::OverlayNauticalTwilight},
    {"overlay nautical twilight color", "OverlayNauticalTwilightColor",
     MessageId::OverlayNauticalTwilightColor},
    {"overlay astronomical twilight", "OverlayAstronomicalTwilight", MessageId::OverlayAstronomicalTwilight},
    {"overlay astronomical twilight color", "OverlayAstronomicalTwilightColor",
     MessageId::OverlayAstronomicalTwilightColor},
    {"graded twilight", "GradedTwilight", MessageId::GradedTwilight},
    {"glyph show moon", "GlyphShowMoon", MessageId::GlyphShowMoon},
    {"status moon phase", "StatusMoonPhase", MessageId::StatusMoonPhase},
    {"status moonrise moonset", "StatusMoonRiseSet", MessageId::StatusMoonRiseSet},
    {"status civil twilight", "StatusCivilTwilight", MessageId::StatusCivilTwilight},
};

bool SameIgnoringCase(const std::string& a, const char* b) {
    std::size_t i = 0;
    for (; i < a.size() && b[i] != '\0'; ++i) {
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    }
    return i == a.size() && b[i] == '\0';
}

// Decimal (signed), 0x hexadecimal (colours), or on/off/true/false.
bool ParseValue(const std::string& text, std::int32_t& value) {
    if (SameIgnoringCase(text, "on") || SameIgnoringCase(text, "true")) return value = 1, true;
    if (SameIgnoringCase(text, "off") || SameIgnoringCase(text, "false")) return value = 0, true;
    if (text.empty()) return false;
    const bool hex = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
    char* end = nullptr;
    errno = 0;
    const long long v = std::strtoll(text.c_str(), &end, hex ? 16 : 10);
    if (errno != 0 || *end != '\0' || end == text.c_str()) return false;
    if (hex ? (v < 0 || v > 0xFFFFFFFFLL) : (v < INT32_MIN || v > INT32_MAX)) return false;
    value = static_cast<std::int32_t>(static_cast<std::uint32_t>(v));
    return true;
}

bool ParseWindow(const std::string& text, int& width, int& height) {
    const std::size_t x = text.find_first_of("xX");
    if (x == std::string::npos) return false;
    char* end = nullptr;
    const long w = std::strtol(text.c_str(), &end, 10);
    if (end != text.c_str() + x) return false;
    const char* h0 = text.c_str() + x + 1;
    const long h = std::strtol(h0, &end, 10);
    if (end == h0 || *end != '\0') return false;
    if (w < 1 || h < 1 || w > 16384 || h > 16384) return false;
    width = static_cast<int>(w);
    height = static_cast<int>(h);
    return true;
}

}  // namespace

bool LookupSettingId(const std::string& name, std::uint32_t& id) {
    std::int32_t number = 0;
    if (!name.empty() && std::isdigit(static_cast<unsigned char>(name[0])) && ParseValue(name, number)) {
        for (const SettingName& s : kSettings) {
            if (ToWire(s.id) == static_cast<std::uint32_t>(number)) return id = ToWire(s.id), true;
        }
        return false;
    }
    for (const SettingName& s : kSettings) {
        if (SameIgnoringCase(name, s.setting) || SameIgnoringCase(name, s.idName))
            return id = ToWire(s.id), true;
    }
    return false;
}

int ParseDesktopOption(const std::string& option, const std::string& value, DesktopOptions& o,
                       std::string& error) {
    if (option == "--window") {
        if (!ParseWindow(value, o.windowWidth, o.windowHeight)) {
            error = "bad --window '" + value + "': give WIDTHxHEIGHT, each 1 to 16384";
            return -1;
        }
    } else if (option == "--set") {
        const std::size_t eq = value.rfind('=');
        std::uint32_t id = 0;
        std::int32_t v = 0;
        if (eq == std::string::npos || !LookupSettingId(value.substr(0, eq), id) ||
            !ParseValue(value.substr(eq + 1), v)) {
            error = "bad --set '" + value + "': give SETTING=VALUE with a setting id or name";
            return -1;
        }
        o.settings.emplace_back(id, v);
    } else if (option == "--dpi") {
        std::int32_t dpi = 0;
        if (!ParseValue(value, dpi) || dpi < 48 || dpi > 960) {
            error = "bad --dpi '" + value + "': give 48 to 960";
            return -1;
        }
        o.dpi = static_cast<unsigned>(dpi);
    } else if (option == "--cities") {
        std::size_t at = 0;
        while (at <= value.size()) {
            const std::size_t comma = value.find(',', at);
            const std::string item =
                value.substr(at, comma == std::string::npos ? std::string::npos : comma - at);
            std::int32_t index = 0;
            if (!ParseValue(item, index) || index < 0) {
                error = "bad --cities '" + value + "': give city indices separated by commas";
                return -1;
            }
            o.cities.push_back(index);
            if (comma == std::string::npos) break;
            at = comma + 1;
        }
    } else {
        return 0;
    }
    o.enabled = true;
    return 1;
}

const char* DesktopUsage() {
    return "The desktop picture (Windows build): the map composed at the size the window\n"
           "shows it, rotated and painted with the overlays: the wallpaper's very bytes.\n"
           "  --window WxH         window size (default: the map's size)\n"
           "  --set SETTING=VALUE  any setting by id or name, e.g. 'overlay grid=1',\n"
           "                       XOffset=-30, 7=3, 'cities color=0x0000FF'; repeatable,\n"
           "                       applied in order\n"
           "  --cities LIST        selected city indices, e.g. 3,17,250\n"
           "  --dpi N              text, markers and glyph as the wallpaper of a screen\n"
           "                       of N DPI (default 96)\n";
}

}  // namespace uv
