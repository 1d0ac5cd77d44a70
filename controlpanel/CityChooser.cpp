#include "controlpanel/CityChooser.h"

#include "controller/NotifyTip.h"
#include "solar/CityDatabase.h"
#include "solar/Formatting.h"
#include "solar/SunModel.h"

#include <cstdio>

namespace uv {

std::string CityCountsText(int selected) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "selected %d (of %d) cities", selected, kMaxSelectedCities);
    return buf;
}

std::string CityDetailsText(const CityRecord& city) {
    char lat[32] = {};
    char lon[32] = {};
    FormatLatitude(lat, static_cast<double>(city.latitude), sizeof lat);
    FormatLongitude(lon, static_cast<double>(city.longitude), sizeof lon);
    char buf[128];
    std::snprintf(buf, sizeof buf, "%s: %s, %s", city.name, lat, lon);
    return buf;
}

std::string CityDetailsText(const CityDatabase& database, int index, bool realLocalTime, std::time_t now) {
    const CityRecord* city = database.GetCity(index);
    if (!city) return "";
    std::string text = CityDetailsText(*city);
    if (!realLocalTime) return text;
    const char* zone = nullptr;
    const int offset = CityUtcOffset(true, database, index, now, &zone);
    const int magnitude = offset < 0 ? -offset : offset;
    char buf[96];
    std::snprintf(buf, sizeof buf, "\n%s %c%02d:%02d", zone ? zone : "nominal", offset < 0 ? '-' : '+',
                  magnitude / 3600, magnitude / 60 % 60);
    return text + buf;
}

int StepToSelectedRow(const std::vector<bool>& rows, int caret, bool up) {
    const int n = static_cast<int>(rows.size());
    if (caret < 0 || caret >= n) return -1;
    const int step = up ? -1 : 1;
    for (int i = caret + step; i >= 0 && i < n; i += step)
        if (rows[i]) return i;
    for (int i = caret; i >= 0 && i < n; i -= step)
        if (rows[i]) return i;
    return -1;
}

bool TakeListSelection(std::vector<bool>& rows, int caret, CityDatabase& database) {
    int count = 0;
    for (bool on : rows) count += on ? 1 : 0;
    const int n = static_cast<int>(rows.size());
    if (count > kMaxSelectedCities && caret >= 0 && caret < n && rows[caret]) {
        rows[caret] = false;
        --count;
    }
    // More than the limit can only come from stored settings; removing
    // cities from such a selection is still allowed.
    if (count > kMaxSelectedCities && count > database.GetSelectedCount()) return false;
    if (n != database.GetCityCount()) return false;
    database.ClearSelection();
    for (int i = 0; i < n; ++i)
        if (rows[i]) database.SelectCityIndex(i);
    return true;
}

std::vector<bool> DatabaseRows(const CityDatabase& database) {
    const int n = database.GetCityCount();
    std::vector<bool> rows(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i) rows[i] = database.GetCity(i)->selected != 0;
    return rows;
}

std::string TrayTipText(std::time_t now, const CityDatabase& database, int trayCity, bool exactSun,
                        bool realLocalTime, bool moonPhase) {
    const CityRecord* city = trayCity >= 0 ? database.GetCity(trayCity) : nullptr;
    NotifyTipClock clock;
    clock.exactSun = exactSun;
    clock.realLocalTime = realLocalTime;
    clock.moonPhase = moonPhase;
    if (city && realLocalTime) {
        clock.cityOffset = CityUtcOffset(true, database, trayCity, now);
        clock.machineOffset = MachineUtcOffsetAt(now);
    }
    const std::tm* local = std::localtime(&now);
    return BuildNotifyTip(now, city, local ? local->tm_wday : 0, clock);
}

}  // namespace uv
