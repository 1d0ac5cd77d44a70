#include "solar/Formatting.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <cstdlib>

#include "solar/SunPosition.h"
#include "solar/UtcCalendar.h"

double RadiansToDegrees(double radians) { return radians * kInvTwoPi * 360; }

double DegreesToRadians(double degrees) { return degrees * kInvDegreesPerTurn * kTwoPi; }

void SplitDegrees(double value, const char* letters, int& degrees, int& minutes, double& seconds,
                  char& letter) {
    double a;
    if (value < 0) {
        letter = letters[1];
        a = -value;
    } else {
        letter = letters[0];
        a = value;
    }
    // Keeps the integer conversions defined for values no angle reaches.
    if (!(a <= 1e6)) a = 1e6;
    degrees = static_cast<int>(a);
    double m = (a - degrees) * 60;
    minutes = static_cast<int>(m);
    seconds = (m - minutes) * 60;
}

namespace {

void FormatAngle(char* buffer, std::size_t size, double value, const char* letters, const char* format) {
    if (!buffer || size == 0) return;
    int d, m;
    double s;
    char letter;
    SplitDegrees(value, letters, d, m, s, letter);
    // Seconds that print as 60 carry into the minutes (and those into the
    // degrees), so 30.05 reads 30 03'00" and not 30 02'60". The test uses the
    // runtime's own rounding, which is what the text would show.
    char rounded[32];
    std::snprintf(rounded, sizeof rounded, "%02.0f", s);
    if (std::strcmp(rounded, "60") == 0) {
        s = 0;
        if (++m == 60) {
            m = 0;
            ++d;
        }
    }
    std::snprintf(buffer, size, format, d, m, s, letter);
}

}  // namespace

void FormatLatitude(char* buffer, double degrees, std::size_t size) {
    FormatAngle(buffer, size, degrees, "NS", "%2d\260%02d'%02.0f\" %c");
}

void FormatLongitude(char* buffer, double degrees, std::size_t size) {
    FormatAngle(buffer, size, degrees, "EW", "%3d\260%02d'%02.0f\" %c");
}

const char* SignPrefix(float value) {
    if (value > 0) return "+";
    if (value < 0) return "-";
    return "";
}

const char* FormatHoursOffset(int seconds, char* buffer) {
    static char shared[kHoursOffsetBufferSize];
    float h = static_cast<float>(seconds) * 0.00027777778f;
    if (h == 0) return "";
    if (!buffer) buffer = shared;
    float whole = std::trunc(h);
    if (whole * 10 == std::trunc(h * 10)) {
        std::snprintf(buffer, kHoursOffsetBufferSize, "%s%dh", SignPrefix(h),
                      static_cast<int>(std::trunc(std::fabs(h))));
    } else {
        std::snprintf(buffer, kHoursOffsetBufferSize, "%s%0.1fh", SignPrefix(h),
                      static_cast<double>(std::fabs(h)));
    }
    return buffer;
}

const char* WeekdayName(int weekday) {
    static const char* const kNames[7] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    // A negative weekday would index before the table.
    int d = weekday % 7;
    if (d < 0) d += 7;
    return kNames[d];
}

int MachineZoneOffset() {
    // The runtime fills its zone variable only once the zone is initialised;
    // do that here instead of relying on an earlier localtime or mktime.
#ifdef _WIN32
    _tzset();
    return static_cast<int>(-_timezone);
#else
    tzset();
    return static_cast<int>(-timezone);
#endif
}

int LongitudeZoneOffset(double /*latitude*/, double longitude) {
    double a = std::fmod(longitude, 360);
    if (!std::isfinite(a)) return 0;
    if (a > 180) {
        a -= 360;
    } else if (a < -180) {
        a += 360;
    }
    return static_cast<int>(std::ceil(a * 0.06666666666666667) * 3600);
}

int LongitudeZoneDifference(double latitude, double longitude) {
    return LongitudeZoneOffset(latitude, longitude) - MachineZoneOffset();
}

std::tm* LongitudeZoneTime(const time_t* t, double latitude, double longitude) {
    time_t s = *t + LongitudeZoneOffset(latitude, longitude);
    std::tm* tm = std::gmtime(&s);
    if (tm) return tm;
    // The Windows runtime refuses moments before 1970; callers dereference the
    // result, so give them our own breakdown instead of null.
    static std::tm fallback;
    UtcBreakdown(static_cast<long long>(s), fallback);
    return &fallback;
}
