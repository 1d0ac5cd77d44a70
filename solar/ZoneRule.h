#pragma once
// A time zone's current rule as a POSIX TZ string (the footer of a TZif file,
// for example "CET-1CEST,M3.5.0,M10.5.0/3"), parsed and evaluated with plain
// integer arithmetic: no system zone functions, which on Windows XP know one
// outdated rule per zone at best.

#include <cstddef>

struct ZoneRuleDate {
    // 'J': day 1..365 of the year, 29 February never counted; 'D': day 0..365
    // counting 29 February; 'M': weekday of a week of a month.
    char kind;
    int day;      // J and D
    int month;    // M: 1..12
    int week;     // M: 1..5, 5 = the last one of the month
    int weekday;  // M: 0 = Sunday
    int time;     // seconds after local midnight of that day, -167h..167h
};

struct ZoneRule {
    // Seconds east of UTC (the TZ string writes them west-positive).
    int standardOffset;
    int daylightOffset;
    bool hasDaylight;
    ZoneRuleDate start;  // daylight time begins, in local standard time
    ZoneRuleDate end;    // daylight time ends, in local daylight time
    char standardName[16];
    char daylightName[16];
};

// Parses a whole TZ string of length bytes (no NUL needed). The std and dst
// names are alphabetic or quoted in angle brackets; offsets and times are
// [+-]hh[:mm[:ss]]. False for anything else, including a daylight name
// without a rule (left to the implementation by POSIX).
bool ParseZoneRule(const char* text, std::size_t length, ZoneRule& rule);

// Offset from UTC (seconds east) at the UTC moment t, and whether daylight
// time is in force then.
int ZoneRuleOffset(const ZoneRule& rule, long long t, bool* daylight = nullptr);
