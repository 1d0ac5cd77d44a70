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

// Sunrise or sunset on the UTC date of t (degrees), as the model gives it:
// whole minutes for the simple one, seconds for the exact one. False when
// the sun does not cross the horizon that day.
bool SunEventFor(bool exact, time_t t, double latitude, double longitude, bool sunrise, time_t& event);

// The offset from UTC (seconds east) of the clock of city index at t: its
// real zone when real is set and the list has one, else the nominal zone of
// its longitude. zone, when given, receives the tz name or null.
int CityUtcOffset(bool real, const CityDatabase& cities, int index, long long t, const char** zone = nullptr);

// The machine's own offset from UTC at t, daylight saving time included, as
// its C runtime knows it; 0 when the runtime cannot tell.
int MachineUtcOffsetAt(time_t t);
