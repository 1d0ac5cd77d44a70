#pragma once
// UTC calendar arithmetic of our own, so that the sun position does not depend
// on the C runtime's time-zone handling or on the width of time_t (the Windows
// runtime refuses moments before 1970, glibc accepts them).

#include <ctime>

// Days from 1970-01-01 to the given proleptic Gregorian date. month is 1..12,
// day may lie outside its month (it simply counts on).
long long DaysFromCivil(long long year, int month, long long day);

// Seconds since 1970-01-01 00:00:00 UTC of a calendar moment; hour, minute
// and second may be negative or too large and roll into the neighbouring days,
// as with timegm. month is 1..12.
long long UtcCalendarSeconds(long long year, int month, long long day, long long hour, long long minute,
                             long long second);

// The UTC breakdown of t, as gmtime fills it (tm_year since 1900, tm_mon 0..11,
// tm_yday 0 on 1 January, tm_wday 0 on Sunday, tm_isdst 0). Thread-safe and
// valid for every 32-bit time_t, including moments before 1970.
void UtcBreakdown(long long t, std::tm& out);
