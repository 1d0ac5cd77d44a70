// What the paint stage hands to every overlay: the paint cache's size, the
// scale factors of the fitting, the rotation inputs, the sun position of
// the picture on display and the render context that text and glyph are
// drawn with. The device context travels beside it.
#pragma once

#include "renderer/Projection.h"

namespace uv {

class RenderContext;

struct OverlayView {
    int targetWidth = 0;
    int targetHeight = 0;
    float scaleX = 1.0f;
    float scaleY = 1.0f;
    float xOffset = 0.0f;  // whole degrees 0..359
    bool followSun = false;
    double subsolarLongitude = 0.0;    // radians
    double declination = 0.0;          // radians
    unsigned dpi = 96;                 // text, markers and glyph grow with it
    RenderContext* context = nullptr;  // none: no text and no glyph

    // Overlays rotate with the scaled picture, so the shift is taken over
    // the target width, not the image width.
    int Shift() const { return HorizontalShift(followSun, subsolarLongitude, xOffset, targetWidth); }
    // Where horizontal lines start and end. Normally the cache's edges; when
    // the window is wider than a no-distort picture (scaleX < 1) the picture
    // is centred between black bands and lines stop at its edges.
    int LineLeft() const {
        return scaleX < 1.0f ? -static_cast<int>((scaleX - 1.0f) * 0.5f * static_cast<float>(targetWidth))
                             : 0;
    }
    int LineRight() const {
        return scaleX < 1.0f ? LineLeft() + static_cast<int>(static_cast<float>(targetWidth) * scaleX)
                             : targetWidth;
    }
    PixelPoint Project(float latitude, float longitude) const {
        return ProjectLatLon(targetWidth, targetHeight, scaleX, scaleY, Shift(), latitude, longitude);
    }
};

// Radians to degrees the way the overlays convert the sun's angles.
inline double OverlayDegrees(double radians) { return radians * 0.15915494309189535 * 360.0; }

}  // namespace uv
