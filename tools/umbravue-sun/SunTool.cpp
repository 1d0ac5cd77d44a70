#include "tools/umbravue-sun/SunTool.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <limits>

#include "solar/CityDatabase.h"
#include "solar/CityZones.h"
#include "solar/ExactSun.h"
#include "solar/Formatting.h"
#include "solar/Moon.h"
#include "solar/SunModel.h"
#include "solar/SunPosition.h"
#include "solar/UtcCalendar.h"
#include "tools/umbravue-render/RenderOptions.h"

namespace uv {
namespace {

// Every moment the program works with is a 32-bit time_t, whatever this
// build's time_t is.
constexpr long long kFirst = std::numeric_limits<int>::min();
constexpr long long kLast = std::numeric_limits<int>::max();

bool ParseNumber(const char* begin, const char* end, double& value) {
    if (begin == end || std::strchr("0123456789+-.", *begin) == nullptr) return false;
    const std::string text(begin, end);
    char* stop = nullptr;
    errno = 0;
    value = std::strtod(text.c_str(), &stop);
    return errno == 0 && *stop == '\0' && std::isfinite(value);
}

bool ParsePlace(const std::string& text, double& latitude, double& longitude) {
    const std::size_t comma = text.find(',');
    if (comma == std::string::npos) return false;
    const char* s = text.c_str();
    return ParseNumber(s, s + comma, latitude) && ParseNumber(s + comma + 1, s + text.size(), longitude) &&
           std::fabs(latitude) <= 90 && std::fabs(longitude) <= 180;
}

bool ParseIndex(const std::string& text, int& index) {
    if (text.empty() || text.size() > 9) return false;
    for (char c : text)
        if (c < '0' || c > '9') return false;
    index = std::atoi(text.c_str());
    return true;
}

std::string Moment(long long t, bool zulu) {
    std::tm tm;
    UtcBreakdown(t, tm);
    char text[40];
    std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d%s", tm.tm_year + 1900, tm.tm_mon + 1,
                  tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec, zulu ? "Z" : "");
    return text;
}

// Four decimals, never "-0.0000".
std::string Degrees(double value) {
    if (std::fabs(value) < 0.00005) value = 0;
    char text[32];
    std::snprintf(text, sizeof text, "%.4f", value);
    return text;
}

// An event past the ends of a 32-bit time_t is none, whatever this build's
// time_t is.
std::string Event(const char* name, bool found, long long t) {
    found = found && t >= kFirst && t <= kLast;
    return std::string(name) + " " + (found ? Moment(t, true) : "none") + "\n";
}

// The sublunar point and the lit fraction, which need no place.
std::string MoonLines(long long t) {
    double latitude, longitude;
    SublunarPoint(static_cast<double>(t), latitude, longitude);
    const MoonPhase phase = ComputeMoonPhase(static_cast<double>(t));
    char fraction[32];
    std::snprintf(fraction, sizeof fraction, "%.4f", phase.illuminated);
    return "moon " + Degrees(RadiansToDegrees(latitude)) + " " + Degrees(RadiansToDegrees(longitude)) +
           "\nmoonphase " + fraction + (phase.waxing ? " waxing\n" : " waning\n");
}

}  // namespace

const char* SunToolUsage() {
    return "usage: umbravue-sun --time YYYY-MM-DDTHH:MM:SSZ [--model simple|exact]\n"
           "                    [--place LAT,LON | --city INDEX]\n"
           "Prints the subsolar point (sun LAT LON, degrees), and for a place or a city\n"
           "its sunrise and sunset (UTC, or none); for a city also its time zone with\n"
           "its offset in seconds and its local time. Then the sublunar point (moon LAT\n"
           "LON), the Moon's lit fraction (moonphase FRACTION waxing|waning), and for a\n"
           "place or a city the next moonrise and moonset within 48 hours and the dawn\n"
           "and dusk of civil, nautical and astronomical twilight (UTC, or none).\n";
}

SunToolParse ParseSunToolOptions(int argc, const char* const* argv, SunToolOptions& o, std::string& error) {
    bool haveTime = false, haveCity = false;
    for (int k = 1; k < argc; ++k) {
        const std::string arg = argv[k];
        if (arg == "--help" || arg == "-h") return SunToolParse::Help;
        if (arg != "--time" && arg != "--model" && arg != "--place" && arg != "--city") {
            error = "unknown option '" + arg + "'";
            return SunToolParse::Error;
        }
        if (k + 1 >= argc) {
            error = arg + " needs a value";
            return SunToolParse::Error;
        }
        const std::string value = argv[++k];
        if (arg == "--time") {
            if (!ParseUtcTime(value, o.time) || o.time < kFirst || o.time > kLast) {
                error = "bad time '" + value +
                        "': give YYYY-MM-DDTHH:MM:SSZ from 1901-12-13T20:45:52Z to 2038-01-19T03:14:07Z";
                return SunToolParse::Error;
            }
            haveTime = true;
        } else if (arg == "--model") {
            if (value != "simple" && value != "exact") {
                error = "bad model '" + value + "': give simple or exact";
                return SunToolParse::Error;
            }
            o.exact = value == "exact";
        } else if (arg == "--place") {
            if (!ParsePlace(value, o.latitude, o.longitude)) {
                error = "bad place '" + value + "': give LAT,LON in degrees, north and east positive";
                return SunToolParse::Error;
            }
            o.havePlace = true;
        } else {
            if (!ParseIndex(value, o.city)) {
                error = "bad city index '" + value + "'";
                return SunToolParse::Error;
            }
            haveCity = true;
        }
    }
    if (!haveTime) {
        error = "--time is missing";
        return SunToolParse::Error;
    }
    if (o.havePlace && haveCity) {
        error = "give --place or --city, not both";
        return SunToolParse::Error;
    }
    if (!haveCity) o.city = -1;
    return SunToolParse::Run;
}

bool SunToolReport(const SunToolOptions& o, const CityDatabase* database, const CityZones* zones,
                   std::string& out, std::string& error) {
    double latitude = o.latitude, longitude = o.longitude;
    const CityRecord* city = nullptr;
    if (o.city >= 0) {
        if (!database || o.city >= database->GetCityCount()) {
            error = "no city " + std::to_string(o.city) + " in the list of " +
                    std::to_string(database ? database->GetCityCount() : 0) + " cities";
            return false;
        }
        city = database->GetCity(o.city);
        latitude = city->latitude;
        longitude = city->longitude;
    }

    const time_t t = static_cast<time_t>(o.time);
    double sunLatitude, sunLongitude;
    if (o.exact) {
        ExactSubsolarPoint(static_cast<double>(o.time), sunLatitude, sunLongitude);
    } else {
        ComputeSubsolarPoint(t, sunLatitude, sunLongitude);
    }
    out = "sun " + Degrees(RadiansToDegrees(sunLatitude)) + " " + Degrees(RadiansToDegrees(sunLongitude)) +
          "\n";
    if (!o.havePlace && !city) {
        out += MoonLines(o.time);
        return true;
    }

    for (int rise = 1; rise >= 0; --rise) {
        time_t event = 0;
        const bool found = SunEventFor(o.exact, t, latitude, longitude, rise != 0, event);
        out += Event(rise ? "sunrise" : "sunset", found, event);
    }
    if (city) {
        const ZoneReading zone = zones
                                     ? zones->ReadingAt(o.city, o.time, latitude, longitude)
                                     : ZoneReading{LongitudeZoneOffset(latitude, longitude), nullptr, false};
        out += std::string("zone ") + (zone.zone ? zone.zone : "nominal") + " " +
               std::to_string(zone.offset) + "\n";
        out += "local " + Moment(o.time + zone.offset, false) + "\n";
    }
    out += MoonLines(o.time);
    const MoonRiseSet moon = NextMoonRiseSet(t, latitude, longitude);
    out += Event("moonrise", moon.rises, moon.rise);
    out += Event("moonset", moon.sets, moon.set);
    const struct {
        const char* name;
        double altitude;
    } twilights[] = {{"civil", kCivilTwilightAltitude},
                     {"nautical", kNauticalTwilightAltitude},
                     {"astronomical", kAstronomicalTwilightAltitude}};
    for (const auto& twilight : twilights) {
        for (int dawn = 1; dawn >= 0; --dawn) {
            time_t event = 0;
            const bool found =
                SunEventFor(o.exact, t, latitude, longitude, dawn != 0, event, twilight.altitude);
            out += Event((std::string(twilight.name) + (dawn ? "-dawn" : "-dusk")).c_str(), found, event);
        }
    }
    return true;
}

}  // namespace uv
