// The sun glyph: bitmap 111 of the resource library, white transparent,
// drawn centred on the subsolar point: unscaled at 96 DPI, enlarged for more.
#pragma once

#include <windows.h>

#include "common/ResourceIds.h"
#include "common/WinHandles.h"
#include "renderer/OverlayView.h"

namespace uv {

// Members in the order they must be released: the mask first, then the
// glyph is selected out of its DC (savedBitmap), then the DC, then the bitmap.
struct SunGlyph {
    SunGlyph() = default;
    ~SunGlyph();
    SunGlyph(SunGlyph&& other) noexcept;
    SunGlyph& operator=(SunGlyph&& other) noexcept;
    SunGlyph(const SunGlyph&) = delete;
    SunGlyph& operator=(const SunGlyph&) = delete;

    UniqueBitmap bitmap;
    UniqueMemoryDc glyphDc;
    HGDIOBJ savedBitmap = nullptr;
    UniqueBitmap mask;
    int width = 0;
    int height = 0;
    bool loaded() const { return static_cast<bool>(bitmap); }
};

constexpr int kSunGlyphResource = UV_RES_SUN_GLYPH;

// Loads the glyph and builds its mask (1 where the glyph is white). Returns an
// empty slot when the resource cannot be loaded.
SunGlyph LoadSunGlyph(HDC referenceDc, HMODULE module, int resourceId);
// Builds a slot around a bitmap already in hand (takes ownership).
SunGlyph MakeSunGlyph(HDC referenceDc, HBITMAP bitmap);
void ReleaseSunGlyph(SunGlyph& glyph);
// A copy of a loaded glyph enlarged for dpi; empty when it cannot be made.
SunGlyph ScaleSunGlyph(HDC referenceDc, const SunGlyph& glyph, unsigned dpi);

// Masked copy of a loaded glyph centred on the view's subsolar point.
void DrawGlyph(HDC dc, const OverlayView& view, const SunGlyph& glyph);

// Draws the process's glyph (loading it on first use) when show is set.
void DrawSunGlyph(HDC dc, const OverlayView& view, bool show);
// Whether the process's glyph slot is filled, for the tests.
bool SunGlyphLoaded();
void ReleaseProcessSunGlyph();

}  // namespace uv
