#pragma once
// The Moon as the sky shows it: its apparent geocentric place from the main
// periodic terms of the lunar theory ELP-2000/82 (as the almanac literature
// tabulates them: 60 terms in longitude and distance, 60 in latitude), with
// the time scale, nutation and sidereal time of the exact sun (ExactSun.h).
// Within 20 arc seconds of a modern ephemeris over the whole 32-bit time_t
// range; rises and sets within a few seconds.

#include <ctime>

// Apparent right ascension and declination (radians, true equator and
// equinox of date), apparent ecliptic longitude and latitude (radians),
// distance from the Earth's centre (km), equatorial horizontal parallax
// (radians) and Greenwich apparent sidereal time (radians, [0, 2 pi)) at a
// UTC moment in seconds since 1970 with a fraction.
struct ApparentMoon {
    double rightAscension;
    double declination;
    double longitude;
    double latitude;
    double distance;
    double horizontalParallax;
    double siderealTime;
};
ApparentMoon ComputeApparentMoon(double unixSeconds);

// Sublunar point (where the Moon stands in the zenith of the geocentre),
// radians: latitude is the declination, longitude in [-pi, pi].
void SublunarPoint(double unixSeconds, double& latitude, double& longitude);

// The Moon's phase seen from the Earth's centre, against the apparent sun of
// ExactSun.h. elongation is the Moon's apparent ecliptic longitude minus the
// sun's, radians in [0, 2 pi): 0 at new Moon, pi at full Moon; the Moon
// waxes while it is below pi. illuminated is the lit fraction of the disc,
// (1 + cos i) / 2 for the phase angle i (sun - Moon - Earth).
struct MoonPhase {
    double illuminated;
    double phaseAngle;
    double elongation;
    bool waxing;
};
MoonPhase ComputeMoonPhase(double unixSeconds);

// The phase's name for the status panel, from the elongation (radians). The
// four principal phases, "New Moon", "First Quarter", "Full Moon" and "Last
// Quarter", are named within 6 degrees of elongation of their exact moment
// (0, 90, 180 and 270 degrees; about half a day either side at the mean rate
// of 12.2 degrees a day); between them "Waxing Crescent", "Waxing Gibbous",
// "Waning Gibbous" and "Waning Crescent".
const char* MoonPhaseName(double elongation);

// The Moon's upper limb on the horizon for an observer at sea level at the
// place (degrees, north and east positive; geodetic latitude on the
// ellipsoid): topocentric, with standard refraction of 34 arc minutes. Each
// moment is rounded to the second; rises/sets say whether it was found.
struct MoonRiseSet {
    bool rises, sets;
    time_t rise, set;
};

// The first moonrise and the first moonset with from <= moment < to (for the
// status panel, a day of a city's clock). Nothing found for a window longer
// than 10 days or an invalid place.
MoonRiseSet MoonRiseSetBetween(time_t from, time_t to, double latitude, double longitude);

// The next moonrise and moonset after t, within 48 hours: t < moment <=
// t + 172800 (and within time_t).
MoonRiseSet NextMoonRiseSet(time_t t, double latitude, double longitude);
