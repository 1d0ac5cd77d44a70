#include "controller/NotifyTip.h"

#include <cmath>
#include <cstdio>
#include <cstring>

#include "solar/CityDatabase.h"
#include "solar/Formatting.h"
#include "solar/Moon.h"
#include "solar/SunModel.h"
#include "solar/SunPosition.h"
#include "solar/Sunrise.h"
#include "solar/UtcCalendar.h"

namespace {

constexpr long long kSecondsPerDay = 86400;

const char kErrorFormat[] = "error in tip generation: please contact the author; time is %d, diff is %d";

struct Distance {
    long long value;
    bool error;
};

// Moves a passed event on by whole days. An event three or more days back is
// not a real event of today (polar day and night report one from 1970), so it
// is flagged; the days are still added, arithmetically rather than one at a
// time, so that such a distance cannot make the loop run for long.
Distance DistanceAhead(long long delta) {
    Distance d{delta, false};
    if (d.value < 0) {
        long long days = (-d.value + kSecondsPerDay - 1) / kSecondsPerDay;
        d.value += days * kSecondsPerDay;
        d.error = days >= 3;
    }
    if (d.value / 3600 >= 24) d.value -= kSecondsPerDay;
    return d;
}

std::string SunPositionText(time_t now, bool exact) {
    double latitude = 0, longitude = 0;
    SubsolarPointFor(exact, now, latitude, longitude);
    char latText[256], lonText[256];
    FormatLatitude(latText, RadiansToDegrees(latitude), sizeof latText);
    FormatLongitude(lonText, RadiansToDegrees(longitude), sizeof lonText);
    char text[600];
    std::snprintf(text, sizeof text, "Umbravue: Sun is at %s, %s", latText, lonText);
    return text;
}

std::string CityText(time_t now, const CityRecord& city, int localWeekday, const NotifyTipClock& clock) {
    const double latitude = city.latitude;
    const double longitude = city.longitude;
    NextSunEvent next;
    if (clock.exactSun) {
        // A day without either event is reported as the simple model's polar
        // case is.
        time_t sunrise = 0, sunset = 0;
        const bool rises = SunEventFor(true, now, latitude, longitude, true, sunrise);
        const bool sets = SunEventFor(true, now, latitude, longitude, false, sunset);
        next = ChooseNextSunEvent(now, sunrise, sunset);
        if (!rises || !sets) next.error = true;
    } else {
        const long long sunrise = SunriseTime(now, latitude, longitude);
        const long long sunset = SunsetTime(now, latitude, longitude);
        next = ChooseNextSunEvent(now, sunrise, sunset);
        // The polar sentinel is recognised by its distance; asking the hour angle
        // as well keeps a machine whose clock sits near 1970 from showing a time.
        if (std::isnan(SunriseHourAngle(now, latitude))) next.error = true;
    }

    char text[512];
    if (next.error || next.distance < 1) {
        std::snprintf(text, sizeof text, kErrorFormat, static_cast<int>(now),
                      static_cast<int>(next.distance));
        return text;
    }

    char untilText[32];
    std::snprintf(untilText, sizeof untilText, "%d:%02d", static_cast<int>(next.distance / 3600 % 24),
                  static_cast<int>(next.distance % 3600 / 60));

    char nowText[32];
    std::tm real;
    if (clock.realLocalTime) UtcBreakdown(static_cast<long long>(now) + clock.cityOffset, real);
    const std::tm* zone = clock.realLocalTime ? &real : LongitudeZoneTime(&now, latitude, longitude);
    const int hour = zone ? zone->tm_hour : 0;
    const int minute = zone ? zone->tm_min : 0;
    const int weekday = zone ? zone->tm_wday : localWeekday;
    if (weekday == localWeekday)
        std::snprintf(nowText, sizeof nowText, "%d:%02d", hour, minute);
    else
        std::snprintf(nowText, sizeof nowText, "%s, %d:%02d", WeekdayName(weekday), hour, minute);

    char offsetBuffer[kHoursOffsetBufferSize] = "";
    const char* offsetText =
        FormatHoursOffset(clock.realLocalTime ? clock.cityOffset - clock.machineOffset
                                              : LongitudeZoneDifference(latitude, longitude),
                          offsetBuffer);

    // Record fields are fixed 32-byte arrays; never read past them.
    char name[sizeof city.name + 1] = "";
    std::memcpy(name, city.name, sizeof city.name);
    char country[sizeof city.country->name + 1] = "";
    if (city.country) std::memcpy(country, city.country->name, sizeof city.country->name);

    std::snprintf(text, sizeof text, "%s, %s; %s\nnow %s; %s until %s", name, country, offsetText, nowText,
                  untilText, next.event == SunEvent::Sunrise ? "sunrise" : "sunset");
    return text;
}

// The Moon's line in the longest form that still fits beside text.
std::string WithMoonPhase(const std::string& text, time_t now) {
    const MoonPhase phase = ComputeMoonPhase(static_cast<double>(now));
    const int percent = static_cast<int>(std::floor(phase.illuminated * 100 + 0.5));
    char forms[3][64];
    std::snprintf(forms[0], sizeof forms[0], "\n%s, %d%%", MoonPhaseName(phase.elongation), percent);
    std::snprintf(forms[1], sizeof forms[1], "\nMoon %d%% %s", percent, phase.waxing ? "waxing" : "waning");
    std::snprintf(forms[2], sizeof forms[2], "\nMoon %d%%", percent);
    for (const char* form : forms) {
        if (text.size() + std::strlen(form) <= kNotifyTipMaxChars) return text + form;
    }
    return text;
}

}  // namespace

std::string CutNotifyTip(const std::string& text) {
    return text.size() > kNotifyTipMaxChars ? text.substr(0, kNotifyTipMaxChars) : text;
}

void CopyNotifyTip(const std::string& text, char* field, std::size_t size) {
    if (!field || size == 0) return;
    std::size_t n = text.size();
    if (n > kNotifyTipMaxChars) n = kNotifyTipMaxChars;
    if (n > size - 1) n = size - 1;
    std::memcpy(field, text.data(), n);
    field[n] = '\0';
}

NextSunEvent ChooseNextSunEvent(long long now, long long sunrise, long long sunset) {
    const Distance r = DistanceAhead(sunrise - now);
    const Distance s = DistanceAhead(sunset - now);
    NextSunEvent next;
    next.error = r.error || s.error;
    if (r.value < s.value) {
        next.event = SunEvent::Sunrise;
        next.distance = r.value;
    } else {
        next.event = SunEvent::Sunset;
        next.distance = s.value;
    }
    return next;
}

std::string FormatNotifyTip(time_t now, const CityRecord* watchedCity, int localWeekday,
                            const NotifyTipClock& clock) {
    const std::string text =
        watchedCity ? CityText(now, *watchedCity, localWeekday, clock) : SunPositionText(now, clock.exactSun);
    return clock.moonPhase ? WithMoonPhase(text, now) : text;
}

std::string BuildNotifyTip(time_t now, const CityRecord* watchedCity, int localWeekday,
                           const NotifyTipClock& clock) {
    return CutNotifyTip(FormatNotifyTip(now, watchedCity, localWeekday, clock));
}
