// The status panel's layout and texts: a header with the sun's coordinates
// and a legend, then one row per selected city in name order.
#pragma once

#include <ctime>
#include <string>
#include <vector>

class CityDatabase;

namespace uv {

struct StatusPanelOptions {
    bool show = false;
    bool sunLocation = false;
    bool sunrise = false;
    bool sunset = false;
    bool solarOffset = false;
    bool localTime = false;
    // The exact sun for the solar-noon offsets, sunrises and sunsets (the
    // header shows the sun it is given); each city's own clock for the
    // times, from the zones of the city database.
    bool exactSun = false;
    bool realLocalTime = false;
    // The Moon's phase in the header; moonrise and moonset, and civil dawn
    // and dusk, each a pair of city items.
    bool moonPhase = false;
    bool moonRiseSet = false;
    bool civilTwilight = false;
    int CityItemCount() const {
        return sunrise + sunset + solarOffset + localTime + 2 * moonRiseSet + 2 * civilTwilight;
    }
};

struct PanelText {
    int x;
    int y;
    std::string text;
};

struct StatusPanelLayout {
    int columnWidth = 0;
    int columns = 0;  // after dropping a column the cities do not need
    int rowsPerColumn = 0;
    int headerY = 0;
    std::vector<PanelText> texts;  // in drawing order, header first
};

// Texts of the panel for a target of width x height at the moment now (the
// city items and the Moon's phase use now, not the render time). A city's
// row reads: civil dawn, sunrise, sunset, civil dusk, solar noon offset,
// local time, moonrise, moonset, each where it is on. The twilights follow
// the sunrise's rule (the UTC date of now); moonrise and moonset are the
// first ones in the day of the clock they are shown in, which contains now.
// An event that does not occur shows as "--:--". Empty when the panel is off or
// the target is narrower than one column. Distances are those of 96 DPI,
// scaled to dpi.
StatusPanelLayout LayoutStatusPanel(int width, int height, double subsolarLongitude, double declination,
                                    const CityDatabase& cities, const StatusPanelOptions& options,
                                    std::time_t now, unsigned dpi = 96);

}  // namespace uv
