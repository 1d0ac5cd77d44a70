#include "solar/Sunrise.h"

#include <cmath>
#include <limits>

#include "solar/SunPosition.h"
#include "solar/UtcCalendar.h"

namespace {

// Cosine of the sunrise hour angle; outside [-1, 1] (or NaN for a nonsense
// latitude) when the sun does not cross the horizon.
double SunriseCosine(time_t t, double latitude, double zenith) {
    double phi = latitude * kInvDegreesPerTurn * kTwoPi;
    double delta = SolarDeclination(t);
    return std::cos(zenith) / (std::cos(phi) * std::cos(delta)) - std::tan(phi) * std::tan(delta);
}

bool CrossesHorizon(double x) { return x >= -1.0 && x <= 1.0; }

double HourAngleFromCosine(double x) { return std::acos(x) * kInvTwoPi * 360; }

// The moment that lies m minutes after 00:00 UTC of t's UTC date, with the
// seconds dropped toward 00:00.
time_t MinutesToMoment(time_t t, double m) {
    // Only a nonsense longitude gets here with m out of any sensible range;
    // treat it like a day without an event rather than overflow.
    if (!(std::fabs(m) < 1e8)) return static_cast<time_t>(LocalStandardOffset() - 1);
    double hours = std::trunc(m * 0.016666666666666666);
    double minutes = std::trunc(m - 60 * hours);
    std::tm day;
    UtcBreakdown(static_cast<long long>(t), day);
    long long s = UtcCalendarSeconds(day.tm_year + 1900LL, day.tm_mon + 1, day.tm_mday,
                                     static_cast<long long>(hours), static_cast<long long>(minutes), 0);
    // An event past the end of a 32-bit time_t (late on 2038-01-19) would wrap
    // to 1901; it is no event instead.
    if (s < static_cast<long long>(std::numeric_limits<time_t>::min()) ||
        s > static_cast<long long>(std::numeric_limits<time_t>::max()))
        return static_cast<time_t>(LocalStandardOffset() - 1);
    return static_cast<time_t>(s);
}

}  // namespace

double SunriseHourAngle(time_t t, double latitude, double zenith) {
    double x = SunriseCosine(t, latitude, zenith);
    if (!CrossesHorizon(x)) return std::numeric_limits<double>::quiet_NaN();
    return HourAngleFromCosine(x);
}

time_t SunriseTime(time_t t, double latitude, double longitude, double zenith) {
    double x = SunriseCosine(t, latitude, zenith);
    if (!CrossesHorizon(x)) return static_cast<time_t>(LocalStandardOffset() - 1);
    double h = HourAngleFromCosine(x);
    double m = (-longitude - h) * 4 + 720;
    m = m - EquationOfTime(t);
    return MinutesToMoment(t, m);
}

time_t SunsetTime(time_t t, double latitude, double longitude, double zenith) {
    double x = SunriseCosine(t, latitude, zenith);
    if (!CrossesHorizon(x)) return static_cast<time_t>(LocalStandardOffset() - 1);
    double h = HourAngleFromCosine(x);
    double m = (h - longitude) * 4 + 720 - EquationOfTime(t);
    return MinutesToMoment(t, m);
}

namespace {

// False when the runtime cannot break now down or read the UTC fields back.
bool StandardOffsetOnce(time_t now, int& offset) {
    std::tm local, utc;
#ifdef _WIN32
    // The Windows runtime keeps these results per thread.
    const std::tm* l = std::localtime(&now);
    if (!l) return false;
    local = *l;
    const std::tm* g = std::gmtime(&now);
    if (!g) return false;
    utc = *g;
#else
    if (!localtime_r(&now, &local) || !gmtime_r(&now, &utc)) return false;
#endif
    // utc carries tm_isdst = 0, so mktime reads it as local standard time.
    // A failed mktime returns -1 (glibc also leaves tm_wday alone); the one
    // real moment -1 is only taken for a failure near 1970 too.
    local.tm_wday = utc.tm_wday = -1;
    const long long a = std::mktime(&local), b = std::mktime(&utc);
    if (local.tm_wday < 0 || utc.tm_wday < 0 || a == -1 || b == -1) return false;
    offset = static_cast<int>(a - b);
    return true;
}

}  // namespace

int LocalStandardOffsetAt(time_t now) {
    int offset = 0;
    if (StandardOffsetOnce(now, offset)) return offset;
    // Near the ends of a 32-bit time_t the UTC fields, read as local time, lie
    // outside the range; a day nearer 1970 has the same offset.
    const time_t nearer = static_cast<time_t>(now > 0 ? now - 86400 : now + 86400);
    if ((now > 86400 || now < -86400) && StandardOffsetOnce(nearer, offset)) return offset;
    return 0;
}

int LocalStandardOffset() { return LocalStandardOffsetAt(std::time(nullptr)); }
