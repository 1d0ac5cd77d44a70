// The map composed at the size a window shows it instead of at the images'
// size and then stretched: the whole map at that scale and the part of it
// that fills the destination rectangle of a fit. The day and night images
// are scaled to the screen map once; the twilight band is then as sharp as
// the screen.
#pragma once

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

// The fit of a picture of a mapWidth x mapHeight map composed at
// pictureWidth x pictureHeight: for the map's own size fit itself; for the
// screen map of fit its shown part, copied 1:1; for any other size fit's
// source rectangle scaled to that size, stretched. Target, destination and
// the overlays' factors stay those of fit.
MapFit FitComposedPicture(const MapFit& fit, int mapWidth, int mapHeight, int pictureWidth,
                          int pictureHeight);

}  // namespace uv
