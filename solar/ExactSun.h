#pragma once
// The sun as the sky shows it: the apparent geocentric position (a truncated
// VSOP87 theory of the Earth with nutation and aberration) and Greenwich
// apparent sidereal time, good to a few arc seconds over the whole 32-bit
// time_t range. The simple model of SunPosition.h stays the default; this is
// what "exact sun" switches to.

#include <ctime>

// Apparent right ascension and declination (radians, true equator and
// equinox of date), distance in astronomical units, and Greenwich apparent
// sidereal time (radians, [0, 2 pi)) at a UTC moment given in seconds since
// 1970 with a fraction. UT1 is taken equal to UTC.
struct ApparentSun {
    double rightAscension;
    double declination;
    double distance;
    double siderealTime;
};
ApparentSun ComputeApparentSun(double unixSeconds);

// TT - UT1 in seconds for a year with its fraction (a table of observed
// values, held at its last entry beyond it).
double DeltaTSeconds(double year);

// Subsolar point of the apparent sun, radians: latitude is the declination,
// longitude (in [-pi, pi]) where the sun stands on the meridian.
void ExactSubsolarPoint(double unixSeconds, double& latitude, double& longitude);

// Sunrise or sunset belonging to the solar transit that the simple formula
// uses for the UTC date of t (the one nearest to 12:00 mean time at the
// longitude): the moment, to the second, when the centre of the apparent sun
// stands at -0.833 degrees on that transit's rising or setting side. False
// when the sun stays above or below that altitude (polar day or night) or
// the moment lies outside time_t. Degrees, north and east positive.
bool ExactSunEvent(time_t t, double latitude, double longitude, bool sunrise, time_t& event);
