#pragma once
// The text of the notification icon's tooltip: where the sun stands, or how
// long until the next sunrise or sunset at the watched city.

#include <ctime>
#include <string>

struct CityRecord;

// The shell shows at most 63 characters of a tip (64 bytes with the zero).
constexpr std::size_t kNotifyTipMaxChars = 63;

// The tip shown before the first timer tick.
constexpr const char kNotifyTipInitial[] = "Umbravue: right click to open control panel";

// text cut after its 63rd character.
std::string CutNotifyTip(const std::string& text);

// Copies the cut text with its terminating zero into a fixed tip field of
// size bytes (the shell's record has 64); never writes past it.
void CopyNotifyTip(const std::string& text, char* field, std::size_t size);

enum class SunEvent { Sunrise, Sunset };

struct NextSunEvent {
    SunEvent event = SunEvent::Sunset;
    long long distance = 0;  // seconds from now to the event
    bool error = false;      // an event lay three or more days back
};

// Picks the nearer of the two events of the UTC date of now and how far ahead
// it is: an event already passed is moved on by whole days, and one a full day
// or more ahead is taken a day earlier. Equal distances give the sunset.
NextSunEvent ChooseNextSunEvent(long long now, long long sunrise, long long sunset);

// What "exact sun" and "real local time" change in the tip. With the real
// local time, cityOffset is the watched city's real offset from UTC at now
// and machineOffset the machine's own, daylight saving time included (both
// seconds east); without it the nominal zone of the city's longitude and the
// machine's standard time are used.
struct NotifyTipClock {
    bool exactSun = false;
    bool realLocalTime = false;
    int cityOffset = 0;
    int machineOffset = 0;
    // A last line with the Moon's phase (when the Moon glyph is shown), as
    // much of "Waxing Gibbous, 78%" or "Moon 78% waxing" as the tip holds.
    bool moonPhase = false;
};

// The whole tip text, not yet cut. watchedCity null means no city is watched;
// localWeekday is tm_wday of now in the user's local time.
std::string FormatNotifyTip(time_t now, const CityRecord* watchedCity, int localWeekday,
                            const NotifyTipClock& clock = NotifyTipClock());

// FormatNotifyTip cut to what the shell shows.
std::string BuildNotifyTip(time_t now, const CityRecord* watchedCity, int localWeekday,
                           const NotifyTipClock& clock = NotifyTipClock());
