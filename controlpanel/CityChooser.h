// The city chooser's logic without the window system: the counts and
// details lines, stepping between selected rows, keeping the database's
// selection flags equal to the list, and the tray tooltip of the watched city.
#pragma once

#include <ctime>
#include <string>
#include <vector>

class CityDatabase;
struct CityRecord;

namespace uv {

constexpr int kMaxSelectedCities = 48;

// "selected %d (of %d) cities" with the limit.
std::string CityCountsText(int selected);

// "name: latitude, longitude".
std::string CityDetailsText(const CityRecord& city);
// The same for city index, and with real local time its zone and the zone's
// offset at now on a second line: "Europe/Berlin +01:00" (the nominal zone
// of the longitude shows as "nominal").
std::string CityDetailsText(const CityDatabase& database, int index, bool realLocalTime, std::time_t now);

// The selected row nearest to caret in the given direction, else the nearest
// in the other direction counting caret itself; -1 for none (or no caret).
int StepToSelectedRow(const std::vector<bool>& rows, int caret, bool up);

// After a click on the list. rows is the list's selection as the click left
// it, caret the clicked row. A click that selects a row beyond the limit is
// undone in rows; a click that only deselects is always taken. When rows
// can be taken, the database's flags are set to equal them and true is
// returned; false means rows were not taken and the list must be refilled
// from the database.
bool TakeListSelection(std::vector<bool>& rows, int caret, CityDatabase& database);

// The rows' selection as the database's flags say.
std::vector<bool> DatabaseRows(const CityDatabase& database);

// The notification tip for trayCity (negative: the sun's position), with the
// exact sun, the watched city's real zone and the Moon's phase when those
// settings are on.
std::string TrayTipText(std::time_t now, const CityDatabase& database, int trayCity, bool exactSun = false,
                        bool realLocalTime = false, bool moonPhase = false);

}  // namespace uv
