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
// longitude is the apparent ecliptic longitude (radians, [0, 2 pi)).
struct ApparentSun {
    double rightAscension;
    double declination;
    double distance;
    double siderealTime;
    double longitude;
};
ApparentSun ComputeApparentSun(double unixSeconds);

// TT - UT1 in seconds for a year with its fraction (a table of observed
// values, held at its last entry beyond it).
double DeltaTSeconds(double year);

// The pieces of the apparent-place chain that the Moon shares with the sun.
// Julian centuries since J2000.0 of TT (UT plus DeltaTSeconds) and of UT,
// and the Julian day of UT, at a UTC moment (UT1 taken equal to UTC).
struct TimeScale {
    double tt, ut, jdUt;
};
TimeScale TimeScaleAt(double unixSeconds);

// Nutation in longitude and the true obliquity of the ecliptic, radians, at
// tt Julian centuries of TT (IAU 1980).
struct Nutation {
    double longitude, obliquity;
};
Nutation NutationAt(double tt);

// Greenwich apparent sidereal time, radians, [0, 2 pi).
double ApparentSiderealTime(const TimeScale& time, const Nutation& nutation);

// Ecliptic of date to equator of date (radians): right ascension in
// [0, 2 pi) and declination.
void EclipticToEquatorial(double longitude, double latitude, double obliquity, double& rightAscension,
                          double& declination);

// Subsolar point of the apparent sun, radians: latitude is the declination,
// longitude (in [-pi, pi]) where the sun stands on the meridian.
void ExactSubsolarPoint(double unixSeconds, double& latitude, double& longitude);

// Sunrise or sunset belonging to the solar transit that the simple formula
// uses for the UTC date of t (the one nearest to 12:00 mean time at the
// longitude): the moment, to the second, when the centre of the apparent sun
// stands at altitude (degrees; -0.833 is refraction at the horizon and the
// sun's radius, twilights give the depth without refraction) on that
// transit's rising or setting side. False when the sun stays above or below
// that altitude (polar day or night) or the moment lies outside time_t.
// Degrees, north and east positive.
bool ExactSunEvent(time_t t, double latitude, double longitude, bool sunrise, time_t& event,
                   double altitude = -0.833);
