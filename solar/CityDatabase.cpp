#include "solar/CityDatabase.h"

#include <cfloat>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <map>
#include <new>
#include <string>

namespace {

constexpr unsigned kTextLimit = 31;    // name and country characters
constexpr unsigned kNumberLimit = 15;  // characters of a coordinate given to atof

bool IsLineBreak(char c) { return c == '\r' || c == '\n' || c == '\0'; }

void CopyField(char* out, const char* begin, const char* end) {
    std::size_t n = static_cast<std::size_t>(end - begin);
    if (n > kTextLimit) n = kTextLimit;
    if (n) std::memcpy(out, begin, n);  // begin may be null for an empty text
    out[n] = '\0';
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Length of the plain decimal number (blanks, sign, digits, point, exponent)
// at the start of s. Runtimes differ beyond that: glibc also reads hex, "inf"
// and "nan", the Windows runtime does not.
std::size_t DecimalPrefix(const char* s, std::size_t n) {
    std::size_t i = 0;
    while (i < n && (s[i] == ' ' || s[i] == '\t' || s[i] == '\v' || s[i] == '\f')) ++i;
    if (i < n && (s[i] == '+' || s[i] == '-')) ++i;
    std::size_t digits = 0;
    while (i < n && IsDigit(s[i])) ++i, ++digits;
    if (i < n && s[i] == '.') {
        ++i;
        while (i < n && IsDigit(s[i])) ++i, ++digits;
    }
    if (digits == 0) return 0;
    if (i < n && (s[i] == 'e' || s[i] == 'E')) {
        std::size_t j = i + 1;
        if (j < n && (s[j] == '+' || s[j] == '-')) ++j;
        if (j < n && IsDigit(s[j])) {
            while (j < n && IsDigit(s[j])) ++j;
            i = j;
        }
    }
    return i;
}

float ReadNumber(const char* begin, const char* end) {
    // The text is not NUL-terminated, so atof gets a bounded copy of the number.
    char buffer[kNumberLimit + 1];
    std::size_t n = static_cast<std::size_t>(end - begin);
    if (n > kNumberLimit) n = kNumberLimit;
    n = DecimalPrefix(begin, n);
    if (n) std::memcpy(buffer, begin, n);
    buffer[n] = '\0';
    double value = std::atof(buffer);
    // Narrowing a value beyond float's range is undefined; nonsense becomes 0.
    if (!(std::fabs(value) <= FLT_MAX)) value = 0;
    return static_cast<float>(value);
}

}  // namespace

CityDatabase::~CityDatabase() {
    cities.reset();
    countries.reset();
    cityCount = 0;
    countryCount = 0;
}

unsigned CityDatabase::ParseCityLine(const char* line, unsigned available, char* name, char* country,
                                     float& latitude, float& longitude) {
    const char* commas[3] = {nullptr, nullptr, nullptr};
    int found = 0;
    unsigned length = 0;
    while (length < available && !IsLineBreak(line[length])) {
        if (line[length] == ',' && found < 3) commas[found++] = line + length;
        ++length;
    }
    const char* end = line + length;
    // Missing separators leave their fields empty.
    const char* nameEnd = found > 0 ? commas[0] : end;
    const char* countryBegin = found > 0 ? commas[0] + 1 : end;
    const char* countryEnd = found > 1 ? commas[1] : end;
    const char* longitudeBegin = found > 1 ? commas[1] + 1 : end;
    const char* longitudeEnd = found > 2 ? commas[2] : end;
    const char* latitudeBegin = found > 2 ? commas[2] + 1 : end;

    CopyField(name, line, nameEnd);
    CopyField(country, countryBegin, countryEnd);
    longitude = ReadNumber(longitudeBegin, longitudeEnd);
    latitude = ReadNumber(latitudeBegin, end);
    return length;
}

void CityDatabase::Parse(const char* text, unsigned length) {
    cities.reset();
    countries.reset();
    cityCount = 0;
    countryCount = 0;
    // The new records are all unselected.
    selectedCount = 0;
    if (!text) length = 0;

    std::map<std::string, int> countryIndex;
    char name[32];
    char country[32];
    float latitude, longitude;
    // More records than this could not be allocated anyway.
    const int maxCities = static_cast<int>(0x7fffffff / sizeof(CityRecord));

    // Both passes walk the lines the same way, so they see the same cities.
    auto forEachLine = [&](auto&& onLine) {
        int lines = 0;
        unsigned p = 0;
        while (p < length && lines < maxCities) {
            while (p < length && IsLineBreak(text[p])) ++p;
            if (p >= length) break;
            unsigned n = ParseCityLine(text + p, length - p, name, country, latitude, longitude);
            onLine();
            ++lines;
            p += n;  // the terminator, if any, is skipped as a line break
        }
    };

    int lines = 0;
    forEachLine([&] {
        if (countryIndex.emplace(country, countryCount).second) ++countryCount;
        ++lines;
    });

    if (lines == 0) return;
    countries.reset(new (std::nothrow) CountryName[countryCount]);
    cities.reset(new (std::nothrow) CityRecord[lines]);
    if (!countries || !cities) {
        cities.reset();
        countries.reset();
        countryCount = 0;
        return;
    }
    for (const auto& entry : countryIndex) {
        CountryName& out = countries[entry.second];
        std::memset(out.name, 0, sizeof out.name);
        std::memcpy(out.name, entry.first.c_str(), entry.first.size() + 1);
    }

    forEachLine([&] {
        CityRecord& record = cities[cityCount];
        std::memset(&record, 0, sizeof record);
        std::strcpy(record.name, name);  // at most 31 characters
        record.country = &countries[countryIndex.find(country)->second];
        record.latitude = latitude;
        record.longitude = longitude;
        record.selected = 0;
        ++cityCount;
    });
}

int CityDatabase::Slot(int index) const {
    if (cityCount <= 0 || index < 0) return -1;
    return index % cityCount;
}

CityRecord* CityDatabase::GetCity(int index) {
    int slot = Slot(index);
    return slot < 0 ? nullptr : &cities[slot];
}

const CityRecord* CityDatabase::GetCity(int index) const {
    int slot = Slot(index);
    return slot < 0 ? nullptr : &cities[slot];
}

void CityDatabase::SelectCityIndex(int index) {
    int slot = Slot(index);
    if (slot < 0) return;
    if (!cities[slot].selected) {
        cities[slot].selected = 1;
        ++selectedCount;
    }
}

void CityDatabase::DeselectCityIndex(int index) {
    int slot = Slot(index);
    if (slot < 0) return;
    if (cities[slot].selected) {
        cities[slot].selected = 0;
        --selectedCount;
    }
}

void CityDatabase::ClearSelection() {
    for (int i = 0; i < cityCount; ++i) DeselectCityIndex(i);
    selectedCount = 0;
}

const CountryName* CityDatabase::GetCountry(int index) const {
    if (index < 0 || index >= countryCount) return nullptr;
    return &countries[index];
}
