// Circles at the selected cities and, optionally, their names.
#pragma once

#include <windows.h>

#include "renderer/OverlayView.h"

class CityDatabase;

namespace uv {

void DrawCityMarkers(HDC dc, const OverlayView& view, const CityDatabase& cities, bool show,
                     COLORREF markerColor, bool labels, COLORREF labelColor, COLORREF haloColor);

}  // namespace uv
