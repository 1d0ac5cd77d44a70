// Every setting, described once. The rows are in the order the settings are
// loaded; the other orders are columns. From this list come the record the
// controller holds, the registry load and save, the settings burst, the
// message ids, the desktop's render settings and how they take a message,
// the render tool's names and the control panel's bindings.
//
// Columns of X(key, member, name, kind, def, lo, hi, scale, wire, save, burst,
//              page, control, enabledBy, render, renderMember, renderInitial):
//   key        SettingKey and, when sent, MessageId name
//   member     the SettingsRecord member (none for Mode and Cities)
//   name       the registry value name; nullptr when not in the product key
//   kind       Flag: 0 or 1; Colour: 0x00BBGGRR as stored; Slider: a slider
//              position kept within lo..hi, stored times scale; Index: a
//              signed number as stored. With rules of their own, written by
//              hand where they are used: ZoneFlag ("timezone offset" yields
//              to "follow the sun" and moves the X slider), Mode (sent only,
//              made from the three display switches), Cities (the city
//              selection: a blob stored, a clear and selects sent), RunEntry
//              (the start-with-Windows entry of the Run key)
//   def        the value before any is loaded
//   wire       the message id, or kNotSent
//   save       position in the save order, or -1
//   burst      position in the settings burst, or -1
//   page       the control panel page and its control (0: none)
//   enabledBy  the flag that enables the control on the Overlays page
//   render     how the desktop keeps it, in RenderSettings::renderMember:
//              FLAG, COLOUR (renderInitial until a message comes), OWN
//              (written by hand) or NONE
#pragma once

#include <cstdint>

namespace uv {
// The id of a stored setting the desktop never receives.
constexpr std::uint32_t kNotSent = 0xFFFFFFFFu;
}  // namespace uv

// clang-format off
#define UV_SETTINGS(X) \
  X(YOffset,                 ySlider,                 "YOffset",                    Slider,   50,         0, 100, 10, 5,  0,  4,  Offset,  IDC_OFFSET_YSLIDER,          None,          OWN, _, 0) \
  X(XOffset,                 xSlider,                 "XOffset",                    Slider,   0,          0, 359, 1,  3,  1,  0,  Offset,  IDC_OFFSET_XSLIDER,          None,          OWN, _, 0) \
  X(FollowTheSun,            followTheSun,            "follow the sun",             Flag,     0,          0, 1,   1,  4,  2,  1,  Offset,  IDC_OFFSET_FOLLOW,           None,          FLAG, followSun, 0) \
  X(TimezoneOffset,          timezoneOffset,          "timezone offset",            ZoneFlag, 0,          0, 1,   1,  kNotSent, 3, -1, Offset, IDC_OFFSET_TIMEZONE,   None,          NONE, _, 0) \
  X(RefreshInterval,         refreshSlider,           "refresh interval",           Slider,   6,          1, 21,  1,  kNotSent, 4, -1, Misc,   IDC_MISC_REFRESHSLIDER, None,          NONE, _, 0) \
  X(DawnDuskWidth,           dawnDuskSlider,          "dawn dusk width",            Slider,   10,         0, 100, 1,  6,  5,  2,  Misc,    IDC_MISC_WIDTHSLIDER,        None,          OWN, _, 0) \
  X(UseGeneratedNightSource, useGeneratedNightSource, "use generated night source", Flag,     0,          0, 1,   1,  8,  6,  3,  Misc,    IDC_MISC_NOCITYLIGHTS,       None,          FLAG, useGeneratedNight, 0) \
  X(FullScreen,              fullScreen,              "full screen",                Flag,     0,          0, 1,   1,  kNotSent, 7, -1, Offset, IDC_OFFSET_FULLSCREEN, None,          NONE, _, 0) \
  X(NoDistort,               noDistort,               "no distort",                 Flag,     0,          0, 1,   1,  kNotSent, 8, -1, Offset, IDC_OFFSET_NODISTORT,  None,          NONE, _, 0) \
  X(IgnoreAntarctica,        ignoreAntarctica,        "ignore antarctica",          Flag,     0,          0, 1,   1,  kNotSent, 9, -1, Offset, IDC_OFFSET_IGNOREANTARCTICA, None,    NONE, _, 0) \
  X(DisplayMode,             displayMode,             nullptr,                      Mode,     0,          0, 3,   1,  7,  -1, 5,  None,    0,                           None,          OWN, _, 0) \
  X(Autohide,                autohide,                "autohide",                   Flag,     0,          0, 1,   1,  kNotSent, 10, -1, Misc, IDC_MISC_AUTOHIDE,      None,          NONE, _, 0) \
  X(OverlayGrid,             overlayGrid,             "overlay grid",               Flag,     0,          0, 1,   1,  10, 11, 6,  Overlay, IDC_OVL_GRID,                None,          FLAG, overlayGrid, 0) \
  X(OverlayDawnDusk,         overlayDawnDusk,         "overlay dawndusk",           Flag,     0,          0, 1,   1,  11, 12, 7,  Overlay, IDC_OVL_DAWNDUSK,            None,          FLAG, overlayDawnDusk, 0) \
  X(OverlayMidday,           overlayMidday,           "overlay midday",             Flag,     0,          0, 1,   1,  12, 13, 8,  Overlay, IDC_OVL_MIDDAY,              None,          FLAG, overlayMidday, 0) \
  X(OverlayMidnight,         overlayMidnight,         "overlay midnight",           Flag,     0,          0, 1,   1,  13, 14, 9,  Overlay, IDC_OVL_MIDNIGHT,            None,          FLAG, overlayMidnight, 0) \
  X(OverlaySunLatitude,      overlaySunLatitude,      "overlay sunlatitude",        Flag,     0,          0, 1,   1,  14, 15, 10, Overlay, IDC_OVL_SUNLATITUDE,         None,          FLAG, overlaySunLatitude, 0) \
  X(OverlayGridColor,        gridColour,              "overlay grid color",         Colour,   0x00402020, 0, 0,   1,  15, 16, 11, Overlay, IDC_OVL_GRID_COLOR,          OverlayGrid,   COLOUR, gridColor, 0) \
  X(OverlayDawnDuskColor,    dawnDuskColour,          "overlay dawndusk color",     Colour,   0x00400040, 0, 0,   1,  16, 17, 12, Overlay, IDC_OVL_DAWNDUSK_COLOR,      OverlayDawnDusk, COLOUR, dawnDuskColor, 0) \
  X(OverlayMiddayColor,      middayColour,            "overlay midday color",       Colour,   0x00007F7F, 0, 0,   1,  17, 18, 13, Overlay, IDC_OVL_MIDDAY_COLOR,        OverlayMidday, COLOUR, middayColor, 0) \
  X(OverlayMidnightColor,    midnightColour,          "overlay midnight color",     Colour,   0x00600020, 0, 0,   1,  18, 19, 14, Overlay, IDC_OVL_MIDNIGHT_COLOR,      OverlayMidnight, COLOUR, midnightColor, 0) \
  X(OverlaySunLatitudeColor, sunLatitudeColour,       "overlay sunlatitude color",  Colour,   0x00002040, 0, 0,   1,  19, 20, 15, Overlay, IDC_OVL_SUNLATITUDE_COLOR,   OverlaySunLatitude, COLOUR, sunLatitudeColor, 0) \
  X(GlyphShowSun,            glyphShowSun,            "glyph show sun",             Flag,     0,          0, 1,   1,  40, 28, 30, Glyph,   IDC_GLYPH_SHOWSUN,           None,          FLAG, glyphShowSun, 0) \
  X(OverlayCities,           overlayCities,           "overlay cities",             Flag,     0,          0, 1,   1,  24, 21, 16, Overlay, IDC_OVL_CITIES,              None,          FLAG, overlayCities, 0) \
  X(CitiesColor,             citiesColour,            "cities color",               Colour,   0x002020FF, 0, 0,   1,  20, 22, 17, Overlay, IDC_OVL_CITIES_COLOR,        OverlayCities, COLOUR, citiesColor, 0) \
  X(CitiesSelected,          citiesSelected,          "cities selected",            Cities,   0,          0, 0,   1,  kNotSent, 23, 18, Cities, 0,                    None,          OWN, _, 0) \
  X(CityLabels,              cityLabels,              "city labels",                Flag,     0,          0, 1,   1,  25, 24, 19, Overlay, IDC_OVL_CITYLABELS,          OverlayCities, FLAG, cityLabels, 0) \
  X(CityLabelForeground,     cityLabelForeground,     "city label foreground",      Colour,   0x0000FFFF, 0, 0,   1,  26, 25, 20, Overlay, IDC_OVL_CITYLABEL_FG,        CityLabels,    COLOUR, cityLabelForeground, 0) \
  X(CityLabelBackground,     cityLabelBackground,     "city label background",      Colour,   0x00000000, 0, 0,   1,  27, 26, 21, Overlay, IDC_OVL_CITYLABEL_BG,        CityLabels,    COLOUR, cityLabelBackground, 0) \
  X(CityToWatchInTray,       trayCity,                "city to watch in tray",      Index,    -1,         0, 0,   1,  kNotSent, 27, -1, Cities, 0,                    None,          NONE, _, 0) \
  X(OverlayStatus,           overlayStatus,           "overlay status",             Flag,     0,          0, 1,   1,  30, 29, 22, Overlay, IDC_OVL_STATUS,              None,          FLAG, overlayStatus, 0) \
  X(StatusLabelForeground,   statusLabelForeground,   "status label foreground",    Colour,   0x00C0C0C0, 0, 0,   1,  31, 30, 23, Overlay, IDC_OVL_STATUS_FG,           OverlayStatus, COLOUR, statusForeground, MakeColor(255, 127, 63)) \
  X(StatusLabelBackground,   statusLabelBackground,   "status label background",    Colour,   0x00400000, 0, 0,   1,  32, 31, 24, Overlay, IDC_OVL_STATUS_BG,           OverlayStatus, COLOUR, statusBackground, MakeColor(63, 63, 63)) \
  X(StatusSunLocation,       statusSunLocation,       "status sun location",        Flag,     0,          0, 1,   1,  33, 32, 25, Overlay, IDC_OVL_SUNLOCATION,         OverlayStatus, FLAG, statusSunLocation, 0) \
  X(StatusSunrise,           statusSunrise,           "status sunrise",             Flag,     0,          0, 1,   1,  34, 33, 26, Overlay, IDC_OVL_SUNRISE,             OverlayStatus, FLAG, statusSunrise, 0) \
  X(StatusSunset,            statusSunset,            "status sunset",              Flag,     0,          0, 1,   1,  36, 34, 27, Overlay, IDC_OVL_SUNSET,              OverlayStatus, FLAG, statusSunset, 0) \
  X(StatusSolarOffset,       statusSolarOffset,       "status solar offset",        Flag,     0,          0, 1,   1,  35, 35, 28, Overlay, IDC_OVL_SOLAROFFSET,         OverlayStatus, FLAG, statusSolarOffset, 0) \
  X(StatusLocalTime,         statusLocalTime,         "status local time",          Flag,     0,          0, 1,   1,  37, 36, 29, Overlay, IDC_OVL_LOCALTIME,           OverlayStatus, FLAG, statusLocalTime, 0) \
  X(WallpaperMode,           wallpaperMode,           "wallpaper mode",             Flag,     0,          0, 1,   1,  kNotSent, 37, -1, Misc, IDC_MISC_WALLPAPER,     None,          NONE, _, 0) \
  X(ExactSun,                exactSun,                "exact sun",                  Flag,     0,          0, 1,   1,  42, 38, 31, Misc,    IDC_MISC_EXACTSUN,           None,          FLAG, exactSun, 0) \
  X(RealLocalTime,           realLocalTime,           "real local time",            Flag,     0,          0, 1,   1,  43, 39, 32, Overlay, IDC_OVL_REALLOCALTIME,       None,          FLAG, realLocalTime, 0) \
  X(OverlayCivilTwilight,    overlayCivilTwilight,    "overlay civil twilight",     Flag,     0,          0, 1,   1,  44, 40, 33, Overlay, IDC_OVL_CIVILTWILIGHT,       None,          FLAG, overlayCivilTwilight, 0) \
  X(OverlayCivilTwilightColor, civilTwilightColour,   "overlay civil twilight color", Colour, 0x0040A0FF, 0, 0,   1,  45, 41, 34, Overlay, IDC_OVL_CIVILTWILIGHT_COLOR, OverlayCivilTwilight, COLOUR, civilTwilightColor, MakeColor(255, 160, 64)) \
  X(OverlayNauticalTwilight, overlayNauticalTwilight, "overlay nautical twilight",  Flag,     0,          0, 1,   1,  46, 42, 35, Overlay, IDC_OVL_NAUTICALTWILIGHT,    None,          FLAG, overlayNauticalTwilight, 0) \
  X(OverlayNauticalTwilightColor, nauticalTwilightColour, "overlay nautical twilight color", Colour, 0x00FFA040, 0, 0, 1, 47, 43, 36, Overlay, IDC_OVL_NAUTICALTWILIGHT_COLOR, OverlayNauticalTwilight, COLOUR, nauticalTwilightColor, MakeColor(64, 160, 255)) \
  X(OverlayAstronomicalTwilight, overlayAstronomicalTwilight, "overlay astronomical twilight", Flag, 0,   0, 1,   1,  48, 44, 37, Overlay, IDC_OVL_ASTRONOMICALTWILIGHT, None,         FLAG, overlayAstronomicalTwilight, 0) \
  X(OverlayAstronomicalTwilightColor, astronomicalTwilightColour, "overlay astronomical twilight color", Colour, 0x00FF60A0, 0, 0, 1, 49, 45, 38, Overlay, IDC_OVL_ASTRONOMICALTWILIGHT_COLOR, OverlayAstronomicalTwilight, COLOUR, astronomicalTwilightColor, MakeColor(160, 96, 255)) \
  X(GradedTwilight,          gradedTwilight,          "graded twilight",            Flag,     0,          0, 1,   1,  50, 46, 39, Overlay, IDC_OVL_GRADEDTWILIGHT,      None,          FLAG, gradedTwilight, 0) \
  X(GlyphShowMoon,           glyphShowMoon,           "glyph show moon",            Flag,     0,          0, 1,   1,  51, 47, 40, Glyph,   IDC_GLYPH_SHOWMOON,          None,          FLAG, glyphShowMoon, 0) \
  X(StatusMoonPhase,         statusMoonPhase,         "status moon phase",          Flag,     0,          0, 1,   1,  52, 48, 41, Overlay, IDC_OVL_MOONPHASE,           OverlayStatus, FLAG, statusMoonPhase, 0) \
  X(StatusMoonRiseSet,       statusMoonRiseSet,       "status moonrise moonset",    Flag,     0,          0, 1,   1,  53, 49, 42, Overlay, IDC_OVL_MOONRISESET,         OverlayStatus, FLAG, statusMoonRiseSet, 0) \
  X(StatusCivilTwilight,     statusCivilTwilight,     "status civil twilight",      Flag,     0,          0, 1,   1,  54, 50, 43, Overlay, IDC_OVL_CIVILDAWNDUSK,       OverlayStatus, FLAG, statusCivilTwilight, 0) \
  X(StartWithWindows,        startWithWindows,        nullptr,                      RunEntry, 0,          0, 1,   1,  kNotSent, -1, -1, Misc, IDC_MISC_STARTWITHWINDOWS, None,        NONE, _, 0)
// clang-format on
