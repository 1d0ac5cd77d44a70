// Where the selected cities are marked and labelled in the paint cache.
#pragma once

#include <vector>

#include "renderer/OverlayView.h"

class CityDatabase;
struct CityRecord;

namespace uv {

constexpr int kMarkerRadius = 2;
// The label's top-left corner relative to the marker's centre.
constexpr int kLabelDx = 4;
constexpr int kLabelDy = -5;

struct CityMarker {
    PixelPoint centre;
    const CityRecord* city;
};

// Selected cities in database order, skipping those below the visible map
// (y > target height); x is not tested, the device context clips it.
std::vector<CityMarker> CityMarkerPositions(const OverlayView& view, const CityDatabase& cities);

// The eight halo offsets of outlined text, in drawing order; the text itself
// follows at (0, 0).
struct TextOffset {
    int dx;
    int dy;
};
constexpr TextOffset kHaloOffsets[8] = {{-1, -1}, {1, -1}, {-1, 1}, {1, 1}, {0, -1}, {0, 1}, {-1, 0}, {1, 0}};

}  // namespace uv
