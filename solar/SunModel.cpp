#include "solar/SunModel.h"

#include <cmath>

#include "solar/CityDatabase.h"
#include "solar/ExactSun.h"
#include "solar/Formatting.h"
#include "solar/SunPosition.h"
#include "solar/Sunrise.h"
#include "solar/UtcCalendar.h"

void SubsolarPointFor(bool exact, time_t t, double& latitude, double& longitude) {
    if (exact) {
        ExactSubsolarPoint(static_cast<double>(t), latitude, longitude);
    } else {
        ComputeSubsolarPoint(t, latitude, longitude);
    }
}

double SolarNoonOffsetFor(bool exact, time_t t, double longitude) {
    if (!exact) return SolarNoonOffset(t, longitude);
    double latitude, sun;
    ExactSubsolarPoint(static_cast<double>(t), latitude, sun);
    double l = longitude;
    WrapAngle(&l);
    double diff = l - sun;
    WrapAngle(&diff);
    return diff * kInvTwoPi * 86400;
}

bool SunEventFor(bool exact, time_t t, double latitude, double longitude, bool sunrise, time_t& event,
                 double altitude) {
    if (exact) return ExactSunEvent(t, latitude, longitude, sunrise, event, altitude);
    // 90.833 degrees gives kSunriseZenith to the last bit.
    const double zenith = (90.0 - altitude) * (kPi / 180);
    if (std::isnan(SunriseHourAngle(t, latitude, zenith))) return false;
    const time_t e =
        sunrise ? SunriseTime(t, latitude, longitude, zenith) : SunsetTime(t, latitude, longitude, zenith);
    // An event beyond the ends of a 32-bit time_t comes back as the no-event
    // sentinel.
    if (e == static_cast<time_t>(LocalStandardOffset() - 1)) return false;
    event = e;
    return true;
}

int CityUtcOffset(bool real, const CityDatabase& cities, int index, long long t, const char** zone) {
    const CityRecord* city = cities.GetCity(index);
    if (zone) *zone = nullptr;
    if (!city) return 0;
    if (!real) return LongitudeZoneOffset(city->latitude, city->longitude);
    // Indices count modulo the number of cities, as everywhere.
    const int slot = static_cast<int>(city - cities.GetCity(0));
    const ZoneReading r = cities.Zones().ReadingAt(slot, t, city->latitude, city->longitude);
    if (zone) *zone = r.zone;
    return r.offset;
}

int MachineUtcOffsetAt(time_t t) {
    std::tm local;
#ifdef _WIN32
    // The Windows runtime keeps this result per thread.
    const std::tm* l = std::localtime(&t);
    if (!l) return 0;
    local = *l;
#else
    if (!localtime_r(&t, &local)) return 0;
#endif
    const long long asUtc = UtcCalendarSeconds(local.tm_year + 1900LL, local.tm_mon + 1, local.tm_mday,
                                               local.tm_hour, local.tm_min, local.tm_sec);
    return static_cast<int>(asUtc - static_cast<long long>(t));
}
