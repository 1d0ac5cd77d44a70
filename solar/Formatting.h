#pragma once
// Angles, coordinates, hour offsets and weekdays as the user sees them.
// Texts are code page 1252; the degree sign is the byte 0xB0.

#include <cstddef>
#include <ctime>

double RadiansToDegrees(double radians);
double DegreesToRadians(double degrees);

// Splits an angle in degrees into whole degrees, whole minutes and seconds of
// its magnitude; letter is letters[0] for a value >= 0 (and -0.0), letters[1]
// for a negative one.
void SplitDegrees(double value, const char* letters, int& degrees, int& minutes, double& seconds,
                  char& letter);

// "51\xB030'00\" N" and " 0\xB015'00\" W" style texts. The buffer holds at
// least size bytes (16 by default); the text is cut to fit.
void FormatLatitude(char* buffer, double degrees, std::size_t size = 16);
void FormatLongitude(char* buffer, double degrees, std::size_t size = 16);

// "+" for a positive value, "-" for a negative one, "" for zero.
const char* SignPrefix(float value);
// "+1h", "-4.5h" or "" for no offset. With a null buffer the text goes to one
// static buffer shared by all such calls; a caller's buffer holds at least
// kHoursOffsetBufferSize bytes.
constexpr std::size_t kHoursOffsetBufferSize = 16;
const char* FormatHoursOffset(int seconds, char* buffer);
// "Sun" .. "Sat" for tm_wday; any int is reduced modulo 7 into the table.
const char* WeekdayName(int weekday);

// The machine's standard-time offset in seconds east of UTC.
int MachineZoneOffset();
// Nominal zone of a longitude (degrees): whole hours, rounded up; the latitude
// is not used.
int LongitudeZoneOffset(double latitude, double longitude);
// LongitudeZoneOffset minus MachineZoneOffset, seconds.
int LongitudeZoneDifference(double latitude, double longitude);
// UTC breakdown of *t + LongitudeZoneOffset: the clock of the longitude's
// nominal zone. Points at the runtime's shared record: copy it before the next
// gmtime or localtime call.
std::tm* LongitudeZoneTime(const time_t* t, double latitude, double longitude);
