#include "renderer/Projection.h"

#include <cmath>

namespace uv {

namespace {

constexpr float kInv360 = 1.0f / 360.0f;  // 0.0027777778450399637
constexpr float kInv180 = 1.0f / 180.0f;  // 0.0055555556900799274
constexpr double kInvTwoPi = 0.15915494309189535;

int Wrap(int value, int modulus) {
    const int r = value % modulus;
    return r < 0 ? r + modulus : r;
}

}  // namespace

int HorizontalShift(bool followSun, double subsolarLongitude, float xOffsetDegrees, int width) {
    if (width <= 0) return 0;
    int s = static_cast<int>(xOffsetDegrees * kInv360 * static_cast<float>(width));
    if (followSun) {
        s = s + width - static_cast<int>(subsolarLongitude * kInvTwoPi * width + 0.5);
    }
    // The remainder keeps the dividend's sign; inputs outside the documented
    // ranges must still give a column inside the map.
    return Wrap(s, width);
}

PixelPoint ProjectLatLon(int targetWidth, int targetHeight, float scaleX, float scaleY, int shift,
                         float latitude, float longitude) {
    const int x0 = static_cast<int>((longitude + 180.0f) * kInv360 * static_cast<float>(targetWidth) + 0.5f);
    const int y0 = static_cast<int>((90.0f - latitude) * kInv180 * static_cast<float>(targetHeight) + 0.5f);
    int x1 = x0 + shift;
    x1 = targetWidth > 0 ? Wrap(x1, targetWidth) : 0;
    PixelPoint p;
    p.y = static_cast<int>(static_cast<float>(y0) * scaleY);
    p.x = static_cast<int>(static_cast<float>(x1) * scaleX) -
          static_cast<int>((scaleX - 1.0f) * 0.5f * static_cast<float>(targetWidth));
    return p;
}

DisplayRotation ComputeDisplayRotation(int width, int shift) {
    DisplayRotation r{};
    if (width <= 0) return r;
    shift = Wrap(shift, width);
    r.wrapped = ColumnCopy{width - shift, 0, shift};
    r.rest = ColumnCopy{0, shift, width - shift};
    return r;
}

MapFit FitMapToWindow(int displayMode, float mapHeightFraction, double yOffsetFraction, int cx, int cy,
                      int mapWidth, int mapHeight) {
    MapFit f;
    if (cx <= 0 || cy <= 0 || mapWidth <= 0 || mapHeight <= 0) return f;
    const bool fullScreen = displayMode >= 1 && displayMode <= 3;
    const bool noDistort = displayMode == 2 || displayMode == 3;
    f.targetWidth = cx;
    if (fullScreen) {
        f.targetHeight = cy;
    } else {
        const double h = static_cast<double>(cx) / mapWidth * mapHeight;
        f.targetHeight = static_cast<int>(h);
        f.windowY = static_cast<int>((cy - h) * yOffsetFraction);
    }
    if (f.targetHeight <= 0) return MapFit{};

    f.srcWidth = mapWidth;
    f.srcHeight = mapHeight;
    f.dstWidth = f.targetWidth;
    f.dstHeight = f.targetHeight;
    if (f.targetWidth == mapWidth && f.targetHeight == mapHeight) return f;
    f.scaled = true;
    if (!noDistort) return f;

    const float k = static_cast<float>(cy) / (static_cast<float>(mapHeight) * mapHeightFraction);
    int ws = static_cast<int>(static_cast<float>(cx) / k);
    f.srcHeight = static_cast<int>(static_cast<float>(mapHeight) * mapHeightFraction);
    if (f.srcHeight > mapHeight) f.srcHeight = mapHeight;
    if (f.srcHeight < 1) f.srcHeight = 1;
    f.scaleX = k * static_cast<float>(mapWidth) / static_cast<float>(cx);
    f.scaleY = k * static_cast<float>(mapHeight) / static_cast<float>(cy);
    if (ws <= mapWidth) {
        if (ws < 1) ws = 1;
        f.srcX = (mapWidth - ws) / 2;
        f.srcWidth = ws;
    } else {
        // A window wider than the map's aspect would need columns left and
        // right of the picture. Read only the picture and stretch it into the
        // centred part of the cache where the overlays expect it; the bands
        // beside it stay black.
        const int shown = static_cast<int>(static_cast<float>(mapWidth) * k + 0.5f);
        f.srcX = 0;
        f.srcWidth = mapWidth;
        f.dstWidth = shown < cx ? shown : cx;
        f.dstX = (cx - f.dstWidth) / 2;
    }
    return f;
}

}  // namespace uv
