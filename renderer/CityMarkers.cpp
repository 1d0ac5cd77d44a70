#include "renderer/CityMarkers.h"

#include "solar/CityDatabase.h"

namespace uv {

std::vector<CityMarker> CityMarkerPositions(const OverlayView& view, const CityDatabase& cities) {
    std::vector<CityMarker> markers;
    if (cities.GetSelectedCount() <= 0) return markers;
    const int shift = view.Shift();
    for (int i = 0; i < cities.GetCityCount(); ++i) {
        const CityRecord* city = cities.GetCity(i);
        if (city == nullptr || !city->selected) continue;
        const PixelPoint p = ProjectLatLon(view.targetWidth, view.targetHeight, view.scaleX, view.scaleY,
                                           shift, city->latitude, city->longitude);
        if (p.y > view.targetHeight) continue;
        markers.push_back({p, city});
    }
    return markers;
}

}  // namespace uv
