// Feeds arbitrary bytes to the city list parser and checks that the database
// it builds is consistent, then drives the selection with indices taken from
// the same bytes.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "solar/CityDatabase.h"

namespace {

void Check(bool ok) {
    if (!ok) std::abort();
}

bool IsBreak(uint8_t c) { return c == '\r' || c == '\n' || c == '\0'; }

// A line is a maximal run of bytes that are not line breaks.
int CountLines(const uint8_t* data, size_t size) {
    int lines = 0;
    bool inLine = false;
    for (size_t i = 0; i < size; ++i) {
        bool b = IsBreak(data[i]);
        if (!b && !inLine) ++lines;
        inLine = !b;
    }
    return lines;
}

bool Terminated(const char* text) { return std::memchr(text, '\0', 32) != nullptr; }

void CheckTables(const CityDatabase& db, int expectedCities) {
    int cities = db.GetCityCount();
    int countries = db.GetCountryCount();
    Check(cities == expectedCities);
    Check(countries >= 0 && countries <= cities);
    Check((cities == 0) == (countries == 0));
    Check(db.GetCountry(countries) == nullptr);
    for (int i = 0; i < countries; ++i) {
        Check(Terminated(db.GetCountry(i)->name));
        for (int j = 0; j < i && j < 64; ++j)
            Check(std::strcmp(db.GetCountry(i)->name, db.GetCountry(j)->name) != 0);
    }
    const CountryName* first = countries ? db.GetCountry(0) : nullptr;
    for (int i = 0; i < cities; ++i) {
        const CityRecord* city = db.GetCity(i);
        Check(city != nullptr);
        Check(Terminated(city->name));
        Check(city->selected == 0);
        Check(city->country >= first && city->country < first + countries);
        Check(city->latitude == city->latitude && city->longitude == city->longitude);
    }
    if (cities == 0) Check(db.GetCity(0) == nullptr);
    Check(db.GetCity(-1) == nullptr);
}

void CheckSelection(CityDatabase& db, const uint8_t* data, size_t size) {
    int cities = db.GetCityCount();
    std::vector<unsigned char> model(static_cast<size_t>(cities), 0);
    for (size_t i = 0; i + 2 < size && i < 3 * 512; i += 3) {
        int index = static_cast<int8_t>(data[i + 1]) * 256 + data[i + 2];
        if (data[i] & 1) {
            db.SelectCityIndex(index);
            if (cities > 0 && index >= 0) model[static_cast<size_t>(index % cities)] = 1;
        } else {
            db.DeselectCityIndex(index);
            if (cities > 0 && index >= 0) model[static_cast<size_t>(index % cities)] = 0;
        }
    }
    int flags = 0, expected = 0;
    for (int i = 0; i < cities; ++i) {
        Check(db.GetCity(i)->selected == model[static_cast<size_t>(i)]);
        flags += db.GetCity(i)->selected;
        expected += model[static_cast<size_t>(i)];
    }
    Check(db.GetSelectedCount() == flags);
    Check(flags == expected);
    db.ClearSelection();
    Check(db.GetSelectedCount() == 0);
    for (int i = 0; i < cities; ++i) Check(db.GetCity(i)->selected == 0);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > 0x7fffffff) return 0;
    // An exact-size copy, so reading past the end is caught.
    std::vector<char> text(data, data + size);
    CityDatabase db;
    db.Parse(text.data(), static_cast<unsigned>(size));
    int lines = CountLines(data, size);
    CheckTables(db, lines);
    CheckSelection(db, data, size);

    // Parsing again gives the same database.
    CityDatabase again;
    again.Parse(text.data(), static_cast<unsigned>(size));
    Check(again.GetCityCount() == db.GetCityCount());
    Check(again.GetCountryCount() == db.GetCountryCount());
    for (int i = 0; i < db.GetCityCount(); ++i) {
        const CityRecord* a = db.GetCity(i);
        const CityRecord* b = again.GetCity(i);
        Check(std::strcmp(a->name, b->name) == 0);
        Check(std::strcmp(a->country->name, b->country->name) == 0);
        Check(std::memcmp(&a->latitude, &b->latitude, sizeof a->latitude) == 0);
        Check(std::memcmp(&a->longitude, &b->longitude, sizeof a->longitude) == 0);
    }

    // The line parser on its own, from the first byte.
    char name[32], country[32];
    float latitude = 0, longitude = 0;
    unsigned length = CityDatabase::ParseCityLine(text.data(), static_cast<unsigned>(size), name, country,
                                                  latitude, longitude);
    Check(length <= size);
    Check(length == size || IsBreak(data[length]));
    Check(Terminated(name) && Terminated(country));
    return 0;
}
