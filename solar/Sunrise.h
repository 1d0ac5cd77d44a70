#pragma once
// Sunrise and sunset on the UTC date of a moment.

#include <ctime>

// Hour angle of sunrise and sunset in degrees, [0, 180]; NaN when the sun
// does not cross the horizon on that date (polar day or night).
double SunriseHourAngle(time_t t, double latitude);

// Sunrise and sunset on the UTC date of t, rounded toward 00:00 UTC of that
// date to whole minutes. Polar day or night gives LocalStandardOffset() - 1.
time_t SunriseTime(time_t t, double latitude, double longitude);
time_t SunsetTime(time_t t, double latitude, double longitude);

// Seconds by which the machine's local standard time (no daylight saving) is
// ahead of UTC, now.
int LocalStandardOffset();
// The same, taken at the moment now.
int LocalStandardOffsetAt(time_t now);
