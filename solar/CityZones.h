#pragma once
// Each city's real time zone: its tz database name and current rule, from
// the zone list in globepix.dll. Lines of that text (code page 1252, CR LF):
//
//   #tzdata 2026f                        the tz database the rules come from
//   133,Europe/Berlin,CET-1CEST,M3.5.0,M10.5.0/3
//                                        city index, zone, TZ rule to the end
//   @America/Havana,1861920000,1767225600:-18000,1773464400:-14400
//                                        a zone whose rule is wrong for a
//                                        while: from each moment on the
//                                        offset given, until the second field
//
// Any other line, a line that does not parse and a city index past the list
// are ignored; such a city keeps the nominal zone of its longitude.

#include <cstddef>
#include <vector>

#include "solar/ZoneRule.h"

struct CityZone {
    int city;
    char zone[40];
    ZoneRule rule;
    int explicitZone;  // index into the explicit transitions, or -1
};

// The real offset of a place, and what it came from.
struct ZoneReading {
    int offset;        // seconds east of UTC
    const char* zone;  // tz name; null for the nominal zone of the longitude
    bool daylight;
};

class CityZones {
public:
    // Parses the zone list for a city list of cityCount cities. Never fails:
    // what cannot be read is left out.
    void Parse(const char* text, std::size_t length, int cityCount);
    // Parses the "CSV" resource resourceId of module (an HMODULE); a missing
    // resource leaves every city on its nominal zone. Windows only.
    void LoadFromResource(void* module, int resourceId, int cityCount);
    // The entry of city index, or null.
    const CityZone* Find(int city) const;
    std::size_t Count() const { return zones_.size(); }
    const char* Version() const { return version_; }

    // The clock of the city at the UTC moment t: its real zone when the list
    // has one, else the nominal zone of its longitude (degrees).
    ZoneReading ReadingAt(int city, long long t, double latitude, double longitude) const;

private:
    struct Change {
        long long from;
        int offset;
    };
    struct Explicit {
        char zone[40];
        long long until;
        std::vector<Change> changes;  // ascending
    };
    bool ParseZoneLine(const char* line, std::size_t length, int cityCount);
    bool ParseExplicitLine(const char* line, std::size_t length);

    std::vector<CityZone> zones_;  // ascending by city
    std::vector<Explicit> explicit_;
    char version_[16] = "";
};
