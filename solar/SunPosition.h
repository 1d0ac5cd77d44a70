#pragma once
// Where the sun stands at a moment: the subsolar-point model used for the map
// and the fractional-year series used for sunrise and sunset.

#include <ctime>

// The shipping 32-bit Windows build and its i386 Linux test build both keep
// moments in a 32-bit time_t (glibc's unless _TIME_BITS=64).
#if defined(_WIN32) || defined(__i386__)
static_assert(sizeof(void*) != 4 || sizeof(time_t) == 4, "the 32-bit builds keep moments in a 32-bit time_t");
#endif

constexpr double kPi = 3.141592653589793;
constexpr double kTwoPi = 6.283185307179586;
constexpr double kInvTwoPi = 0.15915494309189535;
// 1/86400.
constexpr double kInvSecondsPerDay = 1.1574074074074073e-05;
// Reciprocal of the tropical year of 365.2421376 days.
constexpr double kInvTropicalYear = 0.0027379097235904473;
// 23.4 degrees in radians: the obliquity of the subsolar-point model.
constexpr double kModelObliquity = 0.4084070449666731;
// 1/360: degrees to a fraction of a turn.
constexpr double kInvDegreesPerTurn = 0.002777777777777778;

// Fraction of the UTC day elapsed at t, whole seconds, in [0, 1).
double UtcDayFraction(time_t t);
// Zero-based UTC day of the year plus UtcDayFraction(t).
double UtcDayOfYear(time_t t);
// Days from 1 January 00:00 UTC to the March equinox of the UTC year of *t.
double MarchEquinoxDay(const time_t* t);
// Subsolar point at t, radians (north and east positive). Longitude is
// written first, then latitude.
void ComputeSubsolarPoint(time_t t, double& latitude, double& longitude);

// The series angle gamma, radians.
double FractionalYearAngle(time_t t);
// Equation of time, minutes.
double EquationOfTime(time_t t);
// Solar declination, radians.
double SolarDeclination(time_t t);

// Reduces *angle in place into [-pi, pi].
void WrapAngle(double* angle);
// Wrapped difference between longitude (radians) and the subsolar longitude.
double AngleFromSubsolar(time_t t, double longitude);
// Seconds of mean solar time since local noon at longitude (radians);
// negative before noon, within [-43200, 43200].
double SolarNoonOffset(time_t t, double longitude);
