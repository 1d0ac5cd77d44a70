#pragma once
// The city list: one comma-separated line per city (name, country, longitude,
// latitude). A city's index is its identity between the controller, the hook
// library and the stored settings.

#include <cstddef>
#include <memory>

#include "solar/CityZones.h"

struct CountryName {
    char name[32];
};

struct CityRecord {
    char name[32];
    CountryName* country;
    float latitude;
    float longitude;
    unsigned char selected;
};

static_assert(sizeof(void*) != 4 || sizeof(CityRecord) == 48, "the 32-bit record layout is fixed");

class CityDatabase {
public:
    // Inline: the hook library's state holds one, and that state is set up
    // in a file compiled without SSE (it runs before the processor check).
    CityDatabase() = default;
    ~CityDatabase();
    CityDatabase(const CityDatabase&) = delete;
    CityDatabase& operator=(const CityDatabase&) = delete;

    // Parses the "CSV" resource resourceId of module (an HMODULE). A missing
    // resource gives an empty database. Windows only.
    void LoadFromResource(void* module, int resourceId);

    // Replaces the contents with the cities of text. Lines end at CR, LF or NUL;
    // runs of those between lines are skipped. A line with fewer than three
    // commas still makes a city, its missing fields empty or 0. Names and
    // countries are cut to 31 characters, numbers to their first 15.
    void Parse(const char* text, unsigned length);

    // Parses the line at line (at most available bytes) into the 32-byte
    // buffers name and country and the two coordinates; returns the line's
    // length without its terminator.
    static unsigned ParseCityLine(const char* line, unsigned available, char* name, char* country,
                                  float& latitude, float& longitude);

    int GetCityCount() const { return cityCount; }
    int GetCountryCount() const { return countryCount; }
    int GetSelectedCount() const { return selectedCount; }

    // Indices count modulo the number of cities, so index GetCityCount() names
    // city 0 again. A negative index means no city: GetCity gives nullptr and
    // the selection calls do nothing; so do all of them on an empty database.
    CityRecord* GetCity(int index);
    const CityRecord* GetCity(int index) const;
    void SelectCityIndex(int index);
    void DeselectCityIndex(int index);
    void ClearSelection();

    // Country entry index (order of first appearance), or nullptr.
    const CountryName* GetCountry(int index) const;

    // Each city's real time zone, from the zone list that ships beside the
    // city list; empty (every city on its nominal zone) until one is read.
    // Read it after the cities: lines for indices past the list are dropped.
    const CityZones& Zones() const { return zones; }
    void ParseZones(const char* text, std::size_t length) { zones.Parse(text, length, cityCount); }
    // The "CSV" resource resourceId of module (an HMODULE). Windows only.
    void LoadZonesFromResource(void* module, int resourceId) {
        zones.LoadFromResource(module, resourceId, cityCount);
    }

private:
    int Slot(int index) const;

    int cityCount = 0;
    int countryCount = 0;
    std::unique_ptr<CityRecord[]> cities;
    std::unique_ptr<CountryName[]> countries;
    int selectedCount = 0;
    CityZones zones;
};
