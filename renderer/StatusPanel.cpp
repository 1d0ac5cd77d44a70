#include "renderer/StatusPanel.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <map>

#include "renderer/Dpi.h"
#include "solar/CityDatabase.h"
#include "solar/Formatting.h"
#include "solar/Moon.h"
#include "solar/SunPosition.h"
#include "solar/SunModel.h"
#include "solar/Sunrise.h"
#include "solar/UtcCalendar.h"

namespace uv {

namespace {

// Distances at 96 DPI.
struct PanelMetrics {
    int left = 10;
    int lineHeight = 12;
    int nameWidth = 100;
    int itemWidth = 34;
    int valueIndent = 4;
    int columnBase = 150;
    int bottomMargin = 18;
    int columnSlack = 50;
    int sideMargins = 20;

    explicit PanelMetrics(unsigned dpi) {
        for (int* v : {&left, &lineHeight, &nameWidth, &itemWidth, &valueIndent, &columnBase, &bottomMargin,
                       &columnSlack, &sideMargins})
            *v = ScaleToDpi(*v, dpi);
    }
};

struct ByteLess {
    bool operator()(const char* a, const char* b) const {
        return std::strcmp(a, b) < 0;  // strcmp compares as unsigned char
    }
};

// "hh:mm " of a broken-down time; the runtime gives no breakdown for some
// moments (negative ones on Windows), which shows as dashes.
std::string ClockText(const std::tm* t) {
    char buffer[256];
    if (t == nullptr) return "--:-- ";
    std::snprintf(buffer, sizeof buffer, "%02d:%02d ", t->tm_hour, t->tm_min);
    return buffer;
}

// Clock times are shown for moments the program's 32-bit time can hold with
// room to spare: the last 12 hours before its end (2038-01-19 03:14:07 UTC),
// zone arithmetic included, would wrap to 1901 where time_t has 32 bits, so
// every build shows dashes there and beyond.
constexpr long long kLastClockMoment = 2147483647LL - 12 * 3600;

bool ClockMoment(std::time_t t) { return static_cast<long long>(t) <= kLastClockMoment; }

std::string LocalClock(std::time_t t) { return ClockText(std::localtime(&t)); }

// The clock of a city with the given offset from UTC at t.
std::string CityClock(std::time_t t, int offset) {
    std::tm tm;
    UtcBreakdown(static_cast<long long>(t) + offset, tm);
    return ClockText(&tm);
}

// Sunrise or sunset of the UTC date of now as a clock time (the machine's,
// or the city's own with "real local time"), or dashes when there is none
// that day (polar day or night) or it cannot be shown. An event lies within
// a day and a half of now; one further off has wrapped.
std::string EventClock(std::time_t now, const CityDatabase& cities, int index, const StatusPanelOptions& o,
                       bool sunrise, double altitude = kSunriseAltitude) {
    const CityRecord& city = *cities.GetCity(index);
    std::time_t event = 0;
    if (!ClockMoment(now) ||
        !SunEventFor(o.exactSun, now, city.latitude, city.longitude, sunrise, event, altitude))
        return "--:-- ";
    const long long distance = static_cast<long long>(event) - static_cast<long long>(now);
    if (!ClockMoment(event) || distance < -3 * 86400LL || distance > 3 * 86400LL) return "--:-- ";
    if (o.realLocalTime) return CityClock(event, CityUtcOffset(true, cities, index, event));
    return LocalClock(event);
}

// Moonrise and moonset in the day of the clock they are shown in: the
// city's own with "real local time", else the machine's.
struct MoonClocks {
    std::string rise = "--:-- ";
    std::string set = "--:-- ";
};

MoonClocks MoonEventClocks(std::time_t now, const CityDatabase& cities, int index,
                           const StatusPanelOptions& o) {
    MoonClocks clocks;
    if (!ClockMoment(now)) return clocks;
    const CityRecord& city = *cities.GetCity(index);
    const long long offset =
        o.realLocalTime ? CityUtcOffset(true, cities, index, now) : MachineUtcOffsetAt(now);
    const long long local = static_cast<long long>(now) + offset;
    const long long dayStart = (local >= 0 ? local / 86400 : (local - 86399) / 86400) * 86400 - offset;
    const long long dayEnd = dayStart + 86400;
    if (dayStart < 0 || dayEnd > kLastClockMoment) return clocks;
    const MoonRiseSet events = MoonRiseSetBetween(
        static_cast<std::time_t>(dayStart), static_cast<std::time_t>(dayEnd), city.latitude, city.longitude);
    auto show = [&](std::time_t t) {
        return o.realLocalTime ? CityClock(t, CityUtcOffset(true, cities, index, t)) : LocalClock(t);
    };
    if (events.rises) clocks.rise = show(events.rise);
    if (events.sets) clocks.set = show(events.set);
    return clocks;
}

std::string MoonPhaseText(std::time_t now) {
    const MoonPhase phase = ComputeMoonPhase(static_cast<double>(now));
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "moon: %s, %d%% lit", MoonPhaseName(phase.elongation),
                  static_cast<int>(std::floor(phase.illuminated * 100 + 0.5)));
    return buffer;
}

std::string HeaderText(double subsolarLongitude, double declination, const StatusPanelOptions& o,
                       std::time_t now) {
    const bool items = o.CityItemCount() > 0;
    std::string text;
    if (o.sunLocation) {
        char buffer[256];
        char lat[32];
        char lon[32];
        FormatLatitude(lat, RadiansToDegrees(declination), sizeof lat);
        FormatLongitude(lon, RadiansToDegrees(subsolarLongitude), sizeof lon);
        std::snprintf(buffer, sizeof buffer, "sun coordinates: %s, %s", lat, lon);
        text = buffer;
    }
    if (o.moonPhase) {
        if (!text.empty()) text += "; ";
        text += MoonPhaseText(now);
    }
    if (items) {
        if (!text.empty()) text += "; ";
        text += "city time data format is: ";
        const char* names[] = {"civil dawn",        "sunrise",    "sunset",   "civil dusk",
                               "solar noon offset", "local time", "moonrise", "moonset"};
        const bool on[] = {o.civilTwilight, o.sunrise,   o.sunset,      o.civilTwilight,
                           o.solarOffset,   o.localTime, o.moonRiseSet, o.moonRiseSet};
        bool first = true;
        for (int i = 0; i < 8; ++i) {
            if (!on[i]) continue;
            if (!first) text += ", ";
            text += names[i];
            first = false;
        }
        if (o.realLocalTime && (o.sunrise || o.sunset || o.localTime || o.civilTwilight || o.moonRiseSet))
            text += " (each city's own clock)";
    }
    return text;
}

}  // namespace

StatusPanelLayout LayoutStatusPanel(int width, int height, double subsolarLongitude, double declination,
                                    const CityDatabase& cities, const StatusPanelOptions& o, std::time_t now,
                                    unsigned dpi) {
    StatusPanelLayout layout;
    if (!o.show) return layout;
    const PanelMetrics m(dpi);
    const int items = o.CityItemCount();
    layout.columnWidth = m.columnBase + m.itemWidth * items;
    int d = width / layout.columnWidth;
    if (d <= 0) return layout;
    const int n = cities.GetSelectedCount();
    // n / D rounded up; done in integers so that no window, however wide,
    // rounds it down to zero rows for a selected city.
    const int g = n > 0 ? (n + d - 1) / d : 0;
    if ((d - 1) * g >= n && d > 2) d = d - 1;
    layout.columns = d;
    layout.rowsPerColumn = g;

    int t = height - m.bottomMargin;
    if (items > 0) t -= m.lineHeight * g;
    layout.headerY = t;
    layout.texts.push_back({m.left, t, HeaderText(subsolarLongitude, declination, o, now)});
    if (items == 0 || g == 0) return layout;

    // One row per name: a later city of the same name replaces the earlier.
    std::map<const char*, int, ByteLess> byName;
    for (int i = 0; i < cities.GetCityCount(); ++i) {
        const CityRecord* city = cities.GetCity(i);
        if (city != nullptr && city->selected) byName[city->name] = i;
    }
    const int y0 = t + m.lineHeight;
    const int pitch = d <= 1 ? 0 : m.columnSlack / (d - 1) + (width - m.sideMargins) / d;
    int k = 0;
    char buffer[256];
    for (const auto& entry : byName) {
        const int index = entry.second;
        const CityRecord& city = *cities.GetCity(index);
        const int x = m.left + (k / g) * pitch;
        const int y = y0 + m.lineHeight * (k % g);
        ++k;
        std::snprintf(buffer, sizeof buffer, "%s", city.name);
        layout.texts.push_back({x, y, buffer});
        int c = x + m.nameWidth;
        if (o.civilTwilight) {
            layout.texts.push_back(
                {c + m.valueIndent, y, EventClock(now, cities, index, o, true, kCivilTwilightAltitude)});
            c += m.itemWidth;
        }
        if (o.sunrise) {
            layout.texts.push_back({c + m.valueIndent, y, EventClock(now, cities, index, o, true)});
            c += m.itemWidth;
        }
        if (o.sunset) {
            layout.texts.push_back({c + m.valueIndent, y, EventClock(now, cities, index, o, false)});
            c += m.itemWidth;
        }
        if (o.civilTwilight) {
            layout.texts.push_back(
                {c + m.valueIndent, y, EventClock(now, cities, index, o, false, kCivilTwilightAltitude)});
            c += m.itemWidth;
        }
        if (o.solarOffset) {
            const int s =
                static_cast<int>(SolarNoonOffsetFor(o.exactSun, now, DegreesToRadians(city.longitude)));
            const int a = s < 0 ? -s : s;
            if (s <= 0) layout.texts.push_back({c, y, "-"});
            std::snprintf(buffer, sizeof buffer, "%02d:%02d ", a / 3600, a / 60 - (a / 3600) * 60);
            layout.texts.push_back({c + m.valueIndent, y, buffer});
            c += m.itemWidth;
        }
        if (o.localTime) {
            const std::time_t when = now;
            const std::string clock =
                !ClockMoment(now) ? "--:-- "
                : o.realLocalTime ? CityClock(now, CityUtcOffset(true, cities, index, now))
                                  : ClockText(LongitudeZoneTime(&when, city.latitude, city.longitude));
            layout.texts.push_back({c + m.valueIndent, y, clock});
            c += m.itemWidth;
        }
        if (o.moonRiseSet) {
            const MoonClocks moon = MoonEventClocks(now, cities, index, o);
            layout.texts.push_back({c + m.valueIndent, y, moon.rise});
            c += m.itemWidth;
            layout.texts.push_back({c + m.valueIndent, y, moon.set});
        }
    }
    return layout;
}

}  // namespace uv
