// The map composed at the size a window shows it instead of at the images'
// size and then stretched: the whole map at that scale, the part of it that
// fills the destination rectangle of a fit, and the copy of that part,
// rotated, into a bitmap's rows. The day and night images are scaled to the
// screen map once; the twilight band is then as sharp as the screen.
#pragma once

#include <cstdint>

#include "renderer/Projection.h"

namespace uv {

struct ScreenMap {
    int width = 0;  // the whole map at the scale of fit's destination
    int height = 0;
    // The part shown is fit.dstWidth x fit.dstHeight from here, counted from
    // the map's left and top edges.
    int shownX = 0;
    int shownY = 0;
    bool empty() const { return width <= 0 || height <= 0; }
};

// The screen map for a fit of a mapWidth x mapHeight map (FitMapToWindow):
// fit's source rectangle scaled onto its destination rectangle.
ScreenMap ScaleMapToFit(const MapFit& fit, int mapWidth, int mapHeight);

// A rotation of shift columns of a map mapWidth wide, at scaledWidth.
int ScaleShift(int shift, int mapWidth, int scaledWidth);

// Copies the shown part of composite (the screen map's pixels: 3 bytes,
// rows bottom-up, no padding) rotated right by shift columns into a
// bottom-up 24-bit bitmap of fit.targetHeight rows of stride bytes, at fit's
// destination rectangle. Nothing else of the bitmap is written.
void CopyShownPart(const std::uint8_t* composite, const ScreenMap& map, int shift, const MapFit& fit,
                   std::uint8_t* bits, int stride);

}  // namespace uv
