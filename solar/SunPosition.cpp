#include "solar/SunPosition.h"

#include <cmath>

#include "solar/UtcCalendar.h"

namespace {

std::tm Utc(time_t t) {
    std::tm tm;
    UtcBreakdown(static_cast<long long>(t), tm);
    return tm;
}

}  // namespace

double UtcDayFraction(time_t t) {
    std::tm tm = Utc(t);
    int seconds = tm.tm_sec + 60 * tm.tm_min + 3600 * tm.tm_hour;
    return seconds * kInvSecondsPerDay;
}

double UtcDayOfYear(time_t t) {
    std::tm tm = Utc(t);
    return tm.tm_yday + UtcDayFraction(t);
}

// Mean March equinox from the polynomial in the year, turned into a calendar
// moment by the Julian-day conversion and measured from 1 January 00:00 UTC.
double MarchEquinoxDay(const time_t* t) {
    std::tm tm = Utc(*t);
    int year = tm.tm_year + 1900;
    double y = year * 0.001;
    double jde = 1721139.2855 + 365.2421376 * year + 0.067919 * (y * y) - 0.0027879 * (y * y * y);

    double j = jde + 0.5;
    double z = std::trunc(j);
    double f = j - z;
    double alpha = std::trunc((z - 1867216.25) * 2.7379070069885075e-05);
    double b = z + alpha - std::trunc(alpha * 0.25) + 1525;
    double c = std::trunc((b - 122.1) * 0.0027378507871321013);
    double d = std::trunc(c * 365.25);
    double e = std::trunc((b - d) * 0.03267963176590926);
    double day = b - d - std::trunc(e * 30.6001) + f;
    int month = static_cast<int>(e < 13.5 ? e - 1 : e - 13);

    double wholeDay = std::trunc(day);
    double frac = day - wholeDay;
    double hour = std::trunc(24 * frac);
    double minute = std::trunc(60 * (24 * frac - hour));
    double second = std::trunc(60 * (60 * (24 * frac - hour) - minute));

    long long equinox =
        UtcCalendarSeconds(year, month, static_cast<long long>(wholeDay), static_cast<long long>(hour),
                           static_cast<long long>(minute), static_cast<long long>(second));
    long long newYear = UtcCalendarSeconds(year, 1, 1, 0, 0, 0);
    return static_cast<double>(equinox - newYear) * kInvSecondsPerDay;
}

void ComputeSubsolarPoint(time_t t, double& latitude, double& longitude) {
    double frac = UtcDayFraction(t);
    double lon = kPi - kTwoPi * frac;
    double w = UtcDayOfYear(t) * kInvTropicalYear - MarchEquinoxDay(&t) * kInvTropicalYear;
    if (w < 0) w += 1;
    double lat = kModelObliquity * std::sin(kTwoPi * w);
    longitude = lon;
    latitude = lat;
}

double FractionalYearAngle(time_t t) { return UtcDayOfYear(t) * kInvTropicalYear * kTwoPi; }

double EquationOfTime(time_t t) {
    double g = FractionalYearAngle(t);
    return 229.18 * (0.000075 + 0.001868 * std::cos(g) - 0.032077 * std::sin(g) - 0.014615 * std::cos(2 * g) -
                     0.040849 * std::sin(2 * g));
}

double SolarDeclination(time_t t) {
    double g = FractionalYearAngle(t);
    return 0.006918 - 0.399912 * std::cos(g) + 0.070257 * std::sin(g) - 0.006758 * std::cos(2 * g) +
           0.000907 * std::sin(2 * g) - 0.002697 * std::cos(3 * g) + 0.00148 * std::sin(3 * g);
}

void WrapAngle(double* angle) {
    double a = *angle;
    double r;
    if (a >= 0) {
        r = std::fmod(a, kTwoPi);
        if (r > kPi) r -= kTwoPi;
    } else {
        r = std::fmod(-a, kTwoPi);
        if (r > kPi) r -= kTwoPi;
        r = -r;
    }
    *angle = r;
}

double AngleFromSubsolar(time_t t, double longitude) {
    double sunLatitude, sunLongitude;
    ComputeSubsolarPoint(t, sunLatitude, sunLongitude);
    double l = longitude;
    WrapAngle(&l);
    WrapAngle(&sunLongitude);
    double diff = l - sunLongitude;
    WrapAngle(&diff);
    return diff;
}

double SolarNoonOffset(time_t t, double longitude) {
    return AngleFromSubsolar(t, longitude) * kInvTwoPi * 86400;
}
