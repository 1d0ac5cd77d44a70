// Feeds arbitrary bytes to the zone list parser, and the first line of them
// to the TZ rule parser, and checks that every answer stays in range.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "solar/CityZones.h"
#include "solar/ZoneRule.h"

namespace {

void Check(bool ok) {
    if (!ok) std::abort();
}

constexpr int kCities = 64;
constexpr int kDay = 25 * 3600;  // hh up to 24, with minutes and seconds

bool Terminated(const char* text, std::size_t size) { return std::memchr(text, '\0', size) != nullptr; }

void CheckRule(const ZoneRule& rule) {
    Check(Terminated(rule.standardName, sizeof rule.standardName));
    Check(Terminated(rule.daylightName, sizeof rule.daylightName));
    Check(rule.standardOffset >= -kDay && rule.standardOffset <= kDay);
    Check(rule.daylightOffset >= -kDay && rule.daylightOffset <= kDay);
    // Moments over and beyond the 32-bit range.
    const long long moments[] = {-2147483648LL, -1, 0, 1700000000, 2147483647LL, 1LL << 36};
    for (long long t : moments) {
        bool daylight = false;
        const int offset = ZoneRuleOffset(rule, t, &daylight);
        Check(offset == (daylight ? rule.daylightOffset : rule.standardOffset));
        Check(rule.hasDaylight || !daylight);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // An exact-size copy, so reading past the end is caught.
    std::vector<char> text(data, data + size);
    CityZones zones;
    zones.Parse(text.data(), size, kCities);
    Check(zones.Count() <= static_cast<std::size_t>(kCities));
    Check(Terminated(zones.Version(), 16));
    for (int city = -1; city <= kCities; ++city) {
        const CityZone* z = zones.Find(city);
        Check(!z || (city >= 0 && city < kCities && z->city == city));
        if (z) {
            Check(Terminated(z->zone, sizeof z->zone));
            CheckRule(z->rule);
        }
        for (long long t : {-2147483648LL, 0LL, 1800000000LL, 2147483647LL}) {
            const ZoneReading r = zones.ReadingAt(city, t, 10.0, city * 5.0);
            Check((r.zone != nullptr) == (z != nullptr));
            Check(r.offset >= -26 * 3600 && r.offset <= 26 * 3600);
        }
    }

    std::size_t line = 0;
    while (line < size && data[line] != '\n') ++line;
    ZoneRule rule;
    if (ParseZoneRule(text.data(), line, rule)) CheckRule(rule);
    return 0;
}
