#include "renderer/ScreenMap.h"

namespace uv {
namespace {

// round(value * numerator / denominator) for non-negative values.
int ScaleRounded(int value, int numerator, int denominator) {
    const long long n = static_cast<long long>(value) * numerator;
    return static_cast<int>((2 * n + denominator) / (2 * static_cast<long long>(denominator)));
}

}  // namespace

ScreenMap ScaleMapToFit(const MapFit& fit, int mapWidth, int mapHeight) {
    ScreenMap m;
    if (fit.empty() || fit.srcWidth <= 0 || fit.srcHeight <= 0 || fit.dstWidth <= 0 || fit.dstHeight <= 0 ||
        mapWidth <= 0 || mapHeight <= 0)
        return m;
    m.width = ScaleRounded(mapWidth, fit.dstWidth, fit.srcWidth);
    m.height = ScaleRounded(mapHeight, fit.dstHeight, fit.srcHeight);
    if (m.width < fit.dstWidth) m.width = fit.dstWidth;
    if (m.height < fit.dstHeight) m.height = fit.dstHeight;
    m.shownX = ScaleRounded(fit.srcX, fit.dstWidth, fit.srcWidth);
    m.shownY = ScaleRounded(fit.srcY, fit.dstHeight, fit.srcHeight);
    if (m.shownX > m.width - fit.dstWidth) m.shownX = m.width - fit.dstWidth;
    if (m.shownY > m.height - fit.dstHeight) m.shownY = m.height - fit.dstHeight;
    return m;
}

int ScaleShift(int shift, int mapWidth, int scaledWidth) {
    if (mapWidth <= 0 || scaledWidth <= 0 || shift <= 0) return 0;
    return ScaleRounded(shift, scaledWidth, mapWidth) % scaledWidth;
}

MapFit FitComposedPicture(const MapFit& fit, int mapWidth, int mapHeight, int pictureWidth,
                          int pictureHeight) {
    if (pictureWidth == mapWidth && pictureHeight == mapHeight) return fit;
    MapFit f = fit;
    const ScreenMap m = ScaleMapToFit(fit, mapWidth, mapHeight);
    if (!m.empty() && m.width == pictureWidth && m.height == pictureHeight) {
        f.srcX = m.shownX;
        f.srcY = m.shownY;
        f.srcWidth = fit.dstWidth;
        f.srcHeight = fit.dstHeight;
        f.scaled = false;
        return f;
    }
    if (mapWidth <= 0 || mapHeight <= 0) return MapFit{};
    f.srcX = ScaleRounded(fit.srcX, pictureWidth, mapWidth);
    f.srcY = ScaleRounded(fit.srcY, pictureHeight, mapHeight);
    f.srcWidth = ScaleRounded(fit.srcWidth, pictureWidth, mapWidth);
    f.srcHeight = ScaleRounded(fit.srcHeight, pictureHeight, mapHeight);
    f.scaled = f.srcWidth != f.dstWidth || f.srcHeight != f.dstHeight;
    return f;
}

}  // namespace uv
