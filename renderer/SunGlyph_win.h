// The sun glyph: bitmap 111 of the resource library, white transparent,
// drawn centred on the subsolar point: unscaled at 96 DPI, enlarged for more.
#pragma once

#include <windows.h>

#include "common/ResourceIds.h"
#include "common/SelectedBitmap_win.h"
#include "common/WinHandles.h"
#include "renderer/OverlayView.h"

namespace uv {

// Members in the order they must be released: the mask first, then the
// glyph with its DC.
struct SunGlyph {
    SelectedBitmap image;
    UniqueBitmap mask;  // monochrome: 1 where the glyph is white
    int width() const { return image.width; }
    int height() const { return image.height; }
    bool loaded() const { return image.exists(); }
};

constexpr int kSunGlyphResource = UV_RES_SUN_GLYPH;

// Loads the glyph and builds its mask (1 where the glyph is white). Returns an
// empty glyph when the resource cannot be loaded.
SunGlyph LoadSunGlyph(HDC referenceDc, HMODULE module, int resourceId);
// Builds a glyph around a bitmap already in hand (takes ownership).
SunGlyph MakeSunGlyph(HDC referenceDc, HBITMAP bitmap);
// A copy of a loaded glyph enlarged for dpi; empty when it cannot be made.
SunGlyph ScaleSunGlyph(HDC referenceDc, const SunGlyph& glyph, unsigned dpi);

// Masked copy of a loaded glyph centred on the view's subsolar point.
void DrawGlyph(HDC dc, const OverlayView& view, const SunGlyph& glyph);

// Draws the view's render context's glyph (loading it on first use) when
// show is set.
void DrawSunGlyph(HDC dc, const OverlayView& view, bool show);

}  // namespace uv
