#include "renderer/ScreenMap.h"

#include <cstring>

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

void CopyShownPart(const std::uint8_t* composite, const ScreenMap& map, int shift, const MapFit& fit,
                   std::uint8_t* bits, int stride) {
    if (map.empty() || fit.empty() || fit.dstWidth > map.width || fit.dstHeight > map.height) return;
    const std::size_t rowBytes = 3 * static_cast<std::size_t>(map.width);
    // Screen map column X shows composite column (X - shift) mod width.
    int first = (map.shownX - shift) % map.width;
    if (first < 0) first += map.width;
    const int leading = map.width - first < fit.dstWidth ? map.width - first : fit.dstWidth;
    for (int y = 0; y < fit.dstHeight; ++y) {
        const int targetRow = fit.targetHeight - 1 - (fit.dstY + y);
        if (targetRow < 0 || targetRow >= fit.targetHeight) continue;
        const std::uint8_t* from = composite + rowBytes * (map.height - 1 - (map.shownY + y));
        std::uint8_t* to =
            bits + static_cast<std::size_t>(stride) * targetRow + 3 * static_cast<std::size_t>(fit.dstX);
        std::memcpy(to, from + 3 * static_cast<std::size_t>(first), 3 * static_cast<std::size_t>(leading));
        std::memcpy(to + 3 * static_cast<std::size_t>(leading), from,
                    3 * static_cast<std::size_t>(fit.dstWidth - leading));
    }
}

}  // namespace uv
