// The whole desktop picture at window size: the rotated display picture
// copied or scaled into the paint cache for the display mode, then every
// overlay in paint order.
#pragma once

#include <windows.h>

#include <ctime>

#include "renderer/Projection.h"

class CityDatabase;

namespace uv {

class RenderContext;
struct RenderSettings;

// The sun position of the picture on display, radians, and the moment it
// was composed for (the Moon is placed for that moment; 0: not known).
struct ShownSun {
    double subsolarLongitude = 0.0;
    double declination = 0.0;
    std::time_t time = 0;
};

// Fits the map into a window of cx x cy for the settings' display mode,
// "map height fraction" and "YOffset". The cache is fit.targetWidth x
// fit.targetHeight and is shown at (0, fit.windowY).
MapFit FitPaintCache(const RenderSettings& settings, int cx, int cy, int mapWidth, int mapHeight);

// Fills cacheDc (holding a bitmap of at least the target size) from displayDc
// (holding the display picture): fit's source rectangle copied 1:1 into its
// destination when fit is not scaled, else stretched there with halftone,
// black beside it; then grid, dawn/dusk line, sun lines, city markers and
// labels, Moon glyph, sun glyph and status panel, their text and glyph
// from context (the twilight lines follow the dawn/dusk line).
// now is the moment the status panel's city items show.
void BuildPaintCache(HDC cacheDc, const MapFit& fit, HDC displayDc, const RenderSettings& settings,
                     const CityDatabase& cities, const ShownSun& sun, std::time_t now,
                     RenderContext& context);

// Only the overlays, in paint order, over what cacheDc holds.
void DrawOverlays(HDC cacheDc, const MapFit& fit, const RenderSettings& settings, const CityDatabase& cities,
                  const ShownSun& sun, std::time_t now, RenderContext& context);

// Copies the width x height picture of src into dst rotated right by shiftX
// columns and down by shiftY rows: dst column (x + shiftX) mod width shows
// src column x, and likewise the rows; at most four block copies.
void RotatePicture(HDC dst, HDC src, int width, int height, int shiftX, int shiftY = 0);

// The shift a new picture is put on display with: "XOffset" and "follow the
// sun" over the image width.
int DisplayShift(const RenderSettings& settings, const ShownSun& sun, int mapWidth);

}  // namespace uv
