// The whole desktop picture at window size: the rotated display picture
// scaled into the paint cache for the display mode, then every overlay in
// paint order. The desktop host's paint stage and the render tool both use it.
#pragma once

#include <windows.h>

#include <ctime>

#include "renderer/Projection.h"

class CityDatabase;

namespace uv {

struct RenderSettings;

// The sun position of the picture on display, radians.
struct ShownSun {
    double subsolarLongitude = 0.0;
    double declination = 0.0;
};

// Fits the map into a window of cx x cy for the settings' display mode,
// "map height fraction" and "YOffset". The cache is fit.targetWidth x
// fit.targetHeight and is shown at (0, fit.windowY).
MapFit FitPaintCache(const RenderSettings& settings, int cx, int cy, int mapWidth, int mapHeight);

// Fills cacheDc (holding a bitmap of at least the target size) from displayDc
// (holding the W x H display picture): a 1:1 copy when no scaling is needed,
// else a halftone stretch of fit's source rectangle; then grid, dawn/dusk
// line, sun lines, city markers and labels, sun glyph and status panel.
// now is the moment the status panel's city items show.
void BuildPaintCache(HDC cacheDc, const MapFit& fit, HDC displayDc, const RenderSettings& settings,
                     const CityDatabase& cities, const ShownSun& sun, std::time_t now);

// Only the overlays, in paint order, over what cacheDc holds.
void DrawOverlays(HDC cacheDc, const MapFit& fit, const RenderSettings& settings, const CityDatabase& cities,
                  const ShownSun& sun, std::time_t now);

// displayDc column (x + shift) mod W shows renderedDc column x: two copies.
void RotateIntoDisplay(HDC displayDc, HDC renderedDc, int width, int height, int shift);

// The shift a new picture is put on display with: "XOffset" and "follow the
// sun" over the image width.
int DisplayShift(const RenderSettings& settings, const ShownSun& sun, int mapWidth);

}  // namespace uv
