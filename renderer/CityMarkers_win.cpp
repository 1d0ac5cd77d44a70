#include "renderer/CityMarkers_win.h"

#include "common/WinHandles.h"
#include "renderer/CityMarkers.h"
#include "renderer/Renderer_win.h"
#include "solar/CityDatabase.h"

namespace uv {

void DrawCityMarkers(HDC dc, const OverlayView& view, const CityDatabase& cities, bool show,
                     COLORREF markerColor, bool labels, COLORREF labelColor, COLORREF haloColor) {
    if (!show) return;
    UniquePen pen(CreatePen(PS_SOLID, 1, markerColor));
    ScopedSelect select(dc, pen.get());
    for (const CityMarker& m : CityMarkerPositions(view, cities)) {
        // Starting at the arc's first point draws the circle without a
        // connecting line from wherever the pen was.
        MoveToEx(dc, m.centre.x + kMarkerRadius, m.centre.y, nullptr);
        AngleArc(dc, m.centre.x, m.centre.y, kMarkerRadius, 0.0f, 360.0f);
        if (labels) {
            DrawOutlinedText(dc, m.centre.x + kLabelDx, m.centre.y + kLabelDy, labelColor, haloColor,
                             m.city->name);
        }
    }
}

}  // namespace uv
