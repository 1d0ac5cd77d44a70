#include "solar/UtcCalendar.h"

namespace {

// Floor division for the negative day counts before 1970.
long long FloorDiv(long long a, long long b) {
    long long q = a / b;
    if ((a % b != 0) && ((a < 0) != (b < 0))) --q;
    return q;
}

}  // namespace

// Civil-date arithmetic over 400-year eras, with March as the first month of
// the computational year so that the leap day comes last.
long long DaysFromCivil(long long year, int month, long long day) {
    long long y = year - (month <= 2 ? 1 : 0);
    long long era = FloorDiv(y, 400);
    long long yoe = y - era * 400;    // [0, 399]
    long long mp = (month + 9) % 12;  // March = 0
    long long doy = (153 * mp + 2) / 5 + day - 1;
    long long doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

long long UtcCalendarSeconds(long long year, int month, long long day, long long hour, long long minute,
                             long long second) {
    return DaysFromCivil(year, month, day) * 86400 + hour * 3600 + minute * 60 + second;
}

void UtcBreakdown(long long t, std::tm& out) {
    long long days = FloorDiv(t, 86400);
    long long secs = t - days * 86400;  // [0, 86399]

    long long z = days + 719468;
    long long era = FloorDiv(z, 146097);
    long long doe = z - era * 146097;                                       // [0, 146096]
    long long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;  // [0, 399]
    long long y = yoe + era * 400;
    long long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);  // [0, 365]
    long long mp = (5 * doy + 2) / 153;                       // [0, 11]
    long long d = doy - (153 * mp + 2) / 5 + 1;               // [1, 31]
    long long m = mp < 10 ? mp + 3 : mp - 9;                  // [1, 12]
    if (m <= 2) ++y;

    out = std::tm();
    out.tm_sec = static_cast<int>(secs % 60);
    out.tm_min = static_cast<int>((secs / 60) % 60);
    out.tm_hour = static_cast<int>(secs / 3600);
    out.tm_mday = static_cast<int>(d);
    out.tm_mon = static_cast<int>(m - 1);
    out.tm_year = static_cast<int>(y - 1900);
    // 1970-01-01 was a Thursday.
    long long wday = (days + 4) % 7;
    out.tm_wday = static_cast<int>(wday < 0 ? wday + 7 : wday);
    out.tm_yday = static_cast<int>(days - DaysFromCivil(y, 1, 1));
    out.tm_isdst = 0;
}
