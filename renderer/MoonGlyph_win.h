// The Moon glyph drawn into the paint cache at the sublunar point.
#pragma once

#include <windows.h>

#include <ctime>

#include "renderer/OverlayView.h"

namespace uv {

// The Moon of moment t (the picture's), its phase against the view's sun,
// centred on the projected sublunar point in a box of the sun glyph's size
// for the view's DPI; cut off at the edges of the target. Nothing when show
// is off.
void DrawMoonGlyph(HDC dc, const OverlayView& view, bool show, std::time_t t);

}  // namespace uv
