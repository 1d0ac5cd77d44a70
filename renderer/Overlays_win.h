// Overlay lines drawn into the paint cache: one-pixel solid pens, each routine
// selecting back the pen it replaced and deleting its own.
#pragma once

#include <windows.h>

#include "renderer/OverlayView.h"

namespace uv {

void DrawGrid(HDC dc, const OverlayView& view, float longitudeStep, float latitudeStep, bool show,
              COLORREF color);
void DrawDawnDuskLine(HDC dc, const OverlayView& view, bool show, COLORREF color);
// Where the sun's centre stands 6, 12 and 18 degrees down, each in the
// dawn/dusk line's style.
void DrawTwilightLines(HDC dc, const OverlayView& view, bool civil, bool nautical, bool astronomical,
                       COLORREF civilColor, COLORREF nauticalColor, COLORREF astronomicalColor);
void DrawSunLines(HDC dc, const OverlayView& view, bool midday, bool midnight, bool sunLatitude,
                  COLORREF middayColor, COLORREF midnightColor, COLORREF sunLatitudeColor);

}  // namespace uv
