// The map's geometry: equirectangular projection into paint-cache pixels,
// the horizontal rotation by "XOffset" and "follow the sun", and how the map
// is fitted into a window for each display mode.
#pragma once

namespace uv {

struct PixelPoint {
    int x;
    int y;
};

// Columns by which the map is rotated to the right, 0 <= shift < width (0 for
// a non-positive width). subsolarLongitude in radians.
int HorizontalShift(bool followSun, double subsolarLongitude, float xOffsetDegrees, int width);

// Latitude/longitude in degrees to paint-cache pixels for a target of
// targetWidth x targetHeight rotated by shift columns.
PixelPoint ProjectLatLon(int targetWidth, int targetHeight, float scaleX, float scaleY, int shift,
                         float latitude, float longitude);

// The two block copies that rotate a picture of the given width right by
// shift columns: source columns [srcX, srcX + width) go to [dstX, ...).
struct ColumnCopy {
    int srcX;
    int dstX;
    int width;
};
struct DisplayRotation {
    ColumnCopy wrapped;  // the right part of the source to the left edge
    ColumnCopy rest;     // the left part of the source after it
};
DisplayRotation ComputeDisplayRotation(int width, int shift);

// Where the map goes for a window of cx x cy and a display mode: the paint
// cache of targetWidth x targetHeight, the source rectangle of the picture
// stretched into the destination rectangle of the cache, the scale factors
// handed to the overlays, and the row at which the cache is shown.
struct MapFit {
    int targetWidth = 0;
    int targetHeight = 0;
    float scaleX = 1.0f;
    float scaleY = 1.0f;
    bool scaled = false;  // false: the picture is copied 1:1
    int srcX = 0, srcY = 0, srcWidth = 0, srcHeight = 0;
    int dstX = 0, dstY = 0, dstWidth = 0, dstHeight = 0;
    int windowY = 0;  // top of the cache in the window
    bool empty() const { return targetWidth <= 0 || targetHeight <= 0; }
};

// displayMode is the received integer (unknown values fit the width);
// mapHeightFraction and yOffsetFraction as stored in the settings record.
MapFit FitMapToWindow(int displayMode, float mapHeightFraction, double yOffsetFraction, int cx, int cy,
                      int mapWidth, int mapHeight);

}  // namespace uv
