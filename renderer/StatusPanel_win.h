// The status panel drawn in outlined text at the bottom left of the paint cache.
#pragma once

#include <windows.h>

#include <ctime>

#include "renderer/StatusPanel.h"

class CityDatabase;

namespace uv {

class RenderContext;

// now is the moment the city items show; the paint stage passes time(nullptr).
void DrawStatusPanel(HDC dc, RenderContext& context, int width, int height, double subsolarLongitude,
                     double declination, const CityDatabase& cities, const StatusPanelOptions& options,
                     COLORREF textColor, COLORREF haloColor, std::time_t now, unsigned dpi = 96);

}  // namespace uv
