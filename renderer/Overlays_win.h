// Overlay lines drawn into the paint cache: one-pixel solid pens, each routine
// selecting back the pen it replaced and deleting its own.
#pragma once

#include <windows.h>

#include "renderer/OverlayView.h"

namespace uv {

void DrawGrid(HDC dc, const OverlayView& view, float longitudeStep, float latitudeStep, bool show,
              COLORREF color);
void DrawDawnDuskLine(HDC dc, const OverlayView& view, bool show, COLORREF color);
void DrawSunLines(HDC dc, const OverlayView& view, bool midday, bool midnight, bool sunLatitude,
                  COLORREF middayColor, COLORREF midnightColor, COLORREF sunLatitudeColor);

}  // namespace uv
