#include "solar/CityZones.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "solar/Formatting.h"

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// A decimal integer with an optional minus sign filling [p, end) exactly.
bool ParseInteger(const char* p, const char* end, long long low, long long high, long long& value) {
    bool negative = false;
    if (p < end && *p == '-') {
        negative = true;
        ++p;
    }
    if (p == end || end - p > 12) return false;
    long long v = 0;
    for (; p < end; ++p) {
        if (!IsDigit(*p)) return false;
        v = v * 10 + (*p - '0');
    }
    value = negative ? -v : v;
    return value >= low && value <= high;
}

// A tz name: letters, digits and / _ - +, at most 39 characters.
bool CopyZoneName(const char* p, const char* end, char (&out)[40]) {
    const std::size_t n = static_cast<std::size_t>(end - p);
    if (n == 0 || n >= sizeof out) return false;
    for (const char* q = p; q < end; ++q) {
        const char c = *q;
        if (!((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || IsDigit(c) || c == '/' || c == '_' ||
              c == '-' || c == '+'))
            return false;
    }
    std::memcpy(out, p, n);
    out[n] = '\0';
    return true;
}

const char* FindByte(const char* p, const char* end, char c) {
    while (p < end && *p != c) ++p;
    return p;
}

// Moments a 32-bit time_t and a little beyond can name.
constexpr long long kMomentLimit = 1LL << 40;
constexpr long long kOffsetLimit = 26 * 3600;

}  // namespace

bool CityZones::ParseZoneLine(const char* line, std::size_t length, int cityCount) {
    const char* end = line + length;
    const char* comma1 = FindByte(line, end, ',');
    if (comma1 == end) return false;
    const char* comma2 = FindByte(comma1 + 1, end, ',');
    if (comma2 == end) return false;
    long long city;
    if (!ParseInteger(line, comma1, 0, cityCount - 1LL, city)) return false;
    CityZone entry{};
    entry.city = static_cast<int>(city);
    entry.explicitZone = -1;
    if (!CopyZoneName(comma1 + 1, comma2, entry.zone)) return false;
    if (!ParseZoneRule(comma2 + 1, static_cast<std::size_t>(end - comma2 - 1), entry.rule)) return false;
    zones_.push_back(entry);
    return true;
}

bool CityZones::ParseExplicitLine(const char* line, std::size_t length) {
    const char* end = line + length;
    const char* p = line + 1;  // past '@'
    const char* comma = FindByte(p, end, ',');
    Explicit zone{};
    if (comma == end || !CopyZoneName(p, comma, zone.zone)) return false;
    p = comma + 1;
    comma = FindByte(p, end, ',');
    if (comma == end || !ParseInteger(p, comma, -kMomentLimit, kMomentLimit, zone.until)) return false;
    while (comma < end) {
        p = comma + 1;
        comma = FindByte(p, end, ',');
        const char* colon = FindByte(p, comma, ':');
        long long from, offset;
        if (colon == comma || !ParseInteger(p, colon, -kMomentLimit, kMomentLimit, from) ||
            !ParseInteger(colon + 1, comma, -kOffsetLimit, kOffsetLimit, offset))
            return false;
        if (!zone.changes.empty() && from <= zone.changes.back().from) return false;
        zone.changes.push_back({from, static_cast<int>(offset)});
    }
    if (zone.changes.empty() || zone.changes.back().from >= zone.until) return false;
    explicit_.push_back(std::move(zone));
    return true;
}

void CityZones::Parse(const char* text, std::size_t length, int cityCount) {
    zones_.clear();
    explicit_.clear();
    version_[0] = '\0';
    if (!text) length = 0;
    try {
        std::size_t p = 0;
        while (p < length) {
            std::size_t e = p;
            while (e < length && text[e] != '\r' && text[e] != '\n' && text[e] != '\0') ++e;
            const char* line = text + p;
            const std::size_t n = e - p;
            static const char kVersion[] = "#tzdata ";
            const std::size_t kv = sizeof kVersion - 1;
            if (n > kv && std::memcmp(line, kVersion, kv) == 0) {
                const std::size_t v = std::min(n - kv, sizeof version_ - 1);
                std::memcpy(version_, line + kv, v);
                version_[v] = '\0';
            } else if (n > 0 && line[0] == '@') {
                ParseExplicitLine(line, n);
            } else if (n > 0 && line[0] != '#') {
                ParseZoneLine(line, n, cityCount);
            }
            p = e + 1;
        }
        // The first line for a city counts.
        std::stable_sort(zones_.begin(), zones_.end(),
                         [](const CityZone& a, const CityZone& b) { return a.city < b.city; });
        zones_.erase(std::unique(zones_.begin(), zones_.end(),
                                 [](const CityZone& a, const CityZone& b) { return a.city == b.city; }),
                     zones_.end());
        for (CityZone& z : zones_) {
            for (std::size_t i = 0; i < explicit_.size(); ++i) {
                if (std::strcmp(z.zone, explicit_[i].zone) == 0) {
                    z.explicitZone = static_cast<int>(i);
                    break;
                }
            }
        }
    } catch (const std::bad_alloc&) {
        // Out of memory: every city keeps its nominal zone.
        zones_.clear();
        explicit_.clear();
    }
}

const CityZone* CityZones::Find(int city) const {
    auto it = std::lower_bound(zones_.begin(), zones_.end(), city,
                               [](const CityZone& z, int c) { return z.city < c; });
    return it != zones_.end() && it->city == city ? &*it : nullptr;
}

ZoneReading CityZones::ReadingAt(int city, long long t, double latitude, double longitude) const {
    const CityZone* z = Find(city);
    if (!z) return {LongitudeZoneOffset(latitude, longitude), nullptr, false};
    ZoneReading reading{0, z->zone, false};
    if (z->explicitZone >= 0) {
        const Explicit& e = explicit_[static_cast<std::size_t>(z->explicitZone)];
        if (t >= e.changes.front().from && t < e.until) {
            auto it = std::upper_bound(e.changes.begin(), e.changes.end(), t,
                                       [](long long m, const Change& c) { return m < c.from; });
            reading.offset = (it - 1)->offset;
            reading.daylight = reading.offset != z->rule.standardOffset;
            return reading;
        }
    }
    reading.offset = ZoneRuleOffset(z->rule, t, &reading.daylight);
    return reading;
}
