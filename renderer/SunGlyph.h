// Where the sun glyph goes: centred on the projected subsolar point.
#pragma once

#include "renderer/OverlayView.h"

namespace uv {

// Top-left corner of a glyph of width x height whose centre pixel
// (width / 2, height / 2) lies on the subsolar point.
inline PixelPoint SunGlyphTopLeft(const OverlayView& view, int width, int height) {
    const PixelPoint c = view.Project(static_cast<float>(OverlayDegrees(view.declination)),
                                      static_cast<float>(OverlayDegrees(view.subsolarLongitude)));
    return {c.x - width / 2, c.y - height / 2};
}

}  // namespace uv
