#pragma once
// The one place where "exact sun" and "real local time" choose: the simple
// model of SunPosition.h or the apparent sun of ExactSun.h, and the nominal
// zone of a longitude or a city's real zone.

#include <ctime>

class CityDatabase;

// Subsolar point at t, radians (north and east positive).
void SubsolarPointFor(bool exact, time_t t, double& latitude, double& longitude);

// Seconds since the sun crossed the meridian of longitude (radians):
// mean solar time for the simple model, apparent solar time for the exact
// one; in [-43200, 43200], negative before noon.
double SolarNoonOffsetFor(bool exact, time_t t, double longitude);

// Altitudes of the sun's centre, degrees, that the events below are for:
// sunrise and sunset (refraction at the horizon and the sun's radius), and
// the ends of civil, nautical and astronomical twilight (the geometric
// centre, no refraction).
constexpr double kSunriseAltitude = -0.833;
constexpr double kCivilTwilightAltitude = -6;
constexpr double kNauticalTwilightAltitude = -12;
constexpr double kAstronomicalTwilightAltitude = -18;

// Sunrise or sunset on the UTC date of t (degrees), as the model gives it:
// whole minutes for the simple one, seconds for the exact one. With another
// altitude, the moment the sun passes it on the same side of the same
// transit: a twilight's dawn (sunrise true) or dusk. False when the sun does
// not pass that altitude that day.
bool SunEventFor(bool exact, time_t t, double latitude, double longitude, bool sunrise, time_t& event,
                 double altitude = kSunriseAltitude);

// The offset from UTC (seconds east) of the clock of city index at t: its
// real zone when real is set and the list has one, else the nominal zone of
// its longitude. zone, when given, receives the tz name or null.
int CityUtcOffset(bool real, const CityDatabase& cities, int index, long long t, const char** zone = nullptr);

// The machine's own offset from UTC at t, daylight saving time included, as
// its C runtime knows it; 0 when the runtime cannot tell.
int MachineUtcOffsetAt(time_t t);
