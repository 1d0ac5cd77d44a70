#pragma once
// Sunrise and sunset on the UTC date of a moment.

#include <ctime>

// The zenith angle 90.833 degrees of the apparent sunrise, refraction and the
// sun's radius included. The twilights pass their own (90 degrees plus the
// depth, without refraction).
constexpr double kSunriseZenith = 1.5853349194640094;

// Hour angle of sunrise and sunset in degrees, [0, 180]; NaN when the sun
// does not reach the zenith angle (radians) on that date (polar day or night).
double SunriseHourAngle(time_t t, double latitude, double zenith = kSunriseZenith);

// Sunrise and sunset on the UTC date of t, rounded toward 00:00 UTC of that
// date to whole minutes. Polar day or night gives LocalStandardOffset() - 1.
time_t SunriseTime(time_t t, double latitude, double longitude, double zenith = kSunriseZenith);
time_t SunsetTime(time_t t, double latitude, double longitude, double zenith = kSunriseZenith);

// Seconds by which the machine's local standard time (no daylight saving) is
// ahead of UTC, now.
int LocalStandardOffset();
// The same, taken at the moment now.
int LocalStandardOffsetAt(time_t now);
