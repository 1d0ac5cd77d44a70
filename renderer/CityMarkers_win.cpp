#include "renderer/CityMarkers_win.h"

#include "common/WinHandles.h"
#include "renderer/CityMarkers.h"
#include "renderer/Dpi.h"
#include "renderer/RenderContext_win.h"
#include "solar/CityDatabase.h"

namespace uv {

void DrawCityMarkers(HDC dc, const OverlayView& view, const CityDatabase& cities, bool show,
                     COLORREF markerColor, bool labels, COLORREF labelColor, COLORREF haloColor) {
    if (!show) return;
    UniquePen pen(CreatePen(PS_SOLID, 1, markerColor));
    ScopedSelect select(dc, pen.get());
    const int radius = ScaleToDpi(kMarkerRadius, view.dpi);
    const int dx = ScaleToDpi(kLabelDx, view.dpi), dy = ScaleToDpi(kLabelDy, view.dpi);
    for (const CityMarker& m : CityMarkerPositions(view, cities)) {
        // Starting at the arc's first point draws the circle without a
        // connecting line from wherever the pen was.
        MoveToEx(dc, m.centre.x + radius, m.centre.y, nullptr);
        AngleArc(dc, m.centre.x, m.centre.y, static_cast<DWORD>(radius), 0.0f, 360.0f);
        if (labels && view.context)
            DrawOutlinedText(dc, *view.context, m.centre.x + dx, m.centre.y + dy, labelColor, haloColor,
                             m.city->name, view.dpi);
    }
}

}  // namespace uv
