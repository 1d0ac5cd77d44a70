#include "solar/ZoneRule.h"

#include <cstring>

#include "solar/UtcCalendar.h"

namespace {

class Reader {
public:
    Reader(const char* text, std::size_t length) : p_(text), end_(text + length) {}

    bool AtEnd() const { return p_ == end_; }
    char Peek() const { return p_ < end_ ? *p_ : '\0'; }
    bool Take(char c) {
        if (Peek() != c || AtEnd()) return false;
        ++p_;
        return true;
    }

    // std or dst: three or more letters, or <...> of letters, digits, + and -.
    bool Name(char (&out)[16]) {
        std::size_t n = 0;
        if (Take('<')) {
            while (!AtEnd() && Peek() != '>') {
                const char c = Peek();
                if (!(IsAlpha(c) || IsDigit(c) || c == '+' || c == '-') || n + 1 >= sizeof out) return false;
                out[n++] = c;
                ++p_;
            }
            if (!Take('>')) return false;
        } else {
            while (IsAlpha(Peek()) && !AtEnd()) {
                if (n + 1 >= sizeof out) return false;
                out[n++] = *p_++;
            }
        }
        out[n] = '\0';
        return n >= 3;
    }

    // [+-]hh[:mm[:ss]] as seconds, hours at most maxHours.
    bool Duration(int maxHours, int& seconds) {
        int sign = 1;
        if (Take('-'))
            sign = -1;
        else
            Take('+');
        int hours, minutes = 0, secs = 0;
        if (!Number(0, maxHours, hours)) return false;
        if (Take(':')) {
            if (!Number(0, 59, minutes)) return false;
            if (Take(':') && !Number(0, 59, secs)) return false;
        }
        seconds = sign * (hours * 3600 + minutes * 60 + secs);
        return true;
    }

    bool Date(ZoneRuleDate& date) {
        date = ZoneRuleDate{};
        date.time = 7200;  // 02:00 unless given
        if (Take('M')) {
            date.kind = 'M';
            if (!Number(1, 12, date.month) || !Take('.') || !Number(1, 5, date.week) || !Take('.') ||
                !Number(0, 6, date.weekday))
                return false;
        } else if (Take('J')) {
            date.kind = 'J';
            if (!Number(1, 365, date.day)) return false;
        } else {
            date.kind = 'D';
            if (!Number(0, 365, date.day)) return false;
        }
        if (Take('/')) return Duration(167, date.time);
        return true;
    }

private:
    static bool IsAlpha(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
    static bool IsDigit(char c) { return c >= '0' && c <= '9'; }

    bool Number(int low, int high, int& value) {
        if (!IsDigit(Peek()) || AtEnd()) return false;
        long v = 0;
        while (!AtEnd() && IsDigit(Peek())) {
            v = v * 10 + (*p_++ - '0');
            if (v > high) return false;
        }
        if (v < low) return false;
        value = static_cast<int>(v);
        return true;
    }

    const char* p_;
    const char* end_;
};

bool IsLeap(long long year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int DaysInMonth(long long year, int month) {
    static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && IsLeap(year) ? 29 : kDays[month - 1];
}

// Seconds from 1970 of local midnight of the rule's day in year, counted as
// if local time were UTC.
long long LocalDayStart(const ZoneRuleDate& d, long long year) {
    long long days;
    switch (d.kind) {
    case 'J': days = DaysFromCivil(year, 1, 1) + d.day - 1 + (IsLeap(year) && d.day >= 60 ? 1 : 0); break;
    case 'D': days = DaysFromCivil(year, 1, 1) + d.day; break;
    default: {
        const long long first = DaysFromCivil(year, d.month, 1);
        // 1970-01-01 was a Thursday.
        const int firstWeekday = static_cast<int>(((first + 4) % 7 + 7) % 7);
        int day = 1 + (d.weekday - firstWeekday + 7) % 7 + (d.week - 1) * 7;
        if (day > DaysInMonth(year, d.month)) day -= 7;
        days = first + day - 1;
    }
    }
    return days * 86400;
}

}  // namespace

bool ParseZoneRule(const char* text, std::size_t length, ZoneRule& rule) {
    rule = ZoneRule{};
    if (!text) return false;
    Reader r(text, length);
    int west;
    if (!r.Name(rule.standardName) || !r.Duration(24, west)) return false;
    rule.standardOffset = -west;
    rule.daylightOffset = rule.standardOffset;
    if (r.AtEnd()) return true;

    if (!r.Name(rule.daylightName)) return false;
    rule.hasDaylight = true;
    rule.daylightOffset = rule.standardOffset + 3600;
    if (r.Peek() != ',') {
        if (!r.Duration(24, west)) return false;
        rule.daylightOffset = -west;
    }
    if (!r.Take(',') || !r.Date(rule.start) || !r.Take(',') || !r.Date(rule.end)) return false;
    return r.AtEnd();
}

int ZoneRuleOffset(const ZoneRule& rule, long long t, bool* daylight) {
    bool inDaylight = false;
    if (rule.hasDaylight) {
        std::tm local;
        UtcBreakdown(t + rule.standardOffset, local);
        const long long year = local.tm_year + 1900LL;
        // The last change at or before t, over three years so that changes
        // shifted across the new year by their times are seen. On a tie the
        // start wins: "0/0,J365/25" is daylight time all year.
        long long latest = 0;
        bool found = false;
        for (long long y = year - 1; y <= year + 1; ++y) {
            const long long start = LocalDayStart(rule.start, y) + rule.start.time - rule.standardOffset;
            const long long end = LocalDayStart(rule.end, y) + rule.end.time - rule.daylightOffset;
            if (end <= t && (!found || end > latest)) {
                latest = end;
                found = true;
                inDaylight = false;
            }
            if (start <= t && (!found || start >= latest)) {
                latest = start;
                found = true;
                inDaylight = true;
            }
        }
    }
    if (daylight) *daylight = inDaylight;
    return inDaylight ? rule.daylightOffset : rule.standardOffset;
}
