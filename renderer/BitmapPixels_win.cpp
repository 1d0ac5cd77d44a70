#include "renderer/BitmapPixels_win.h"

#include <memory>
#include <new>

#include "common/SelectedBitmap_win.h"
#include "common/WinHandles.h"
#include "renderer/Compositing.h"

namespace uv {
namespace {

// Rows written at a time, as 32-bit pixels: a bitmap of the screen's format
// takes those as they are, where 24-bit rows are converted pixel by pixel
// (under Wine ten times slower than our conversion and the copy together).
constexpr int kWriteBandRows = 32;

// A bitmap's bits may not be transferred while it is selected into a DC, so
// a temporary bitmap takes its place for the transfer; its size does not
// matter.
template <typename Transfer>
bool WithMapBitmapDeselected(HDC dc, int width, int height, Transfer transfer) {
    if (dc == nullptr || !IsUsableMapSize(width, height)) return false;
    HBITMAP mapBitmap = static_cast<HBITMAP>(GetCurrentObject(dc, OBJ_BITMAP));
    if (mapBitmap == nullptr) return false;
    UniqueBitmap placeholder(CreateCompatibleBitmap(dc, 1, 1));
    if (!placeholder) return false;
    ScopedSelect swap(dc, placeholder.get());
    return transfer(mapBitmap);
}

}  // namespace

bool ReadBitmapPixels(HDC dc, int width, int height, std::uint8_t* buffer) {
    if (buffer == nullptr) return false;
    return WithMapBitmapDeselected(dc, width, height, [&](HBITMAP mapBitmap) {
        BITMAPINFO info = Rgb24Info(width, height);
        return GetDIBits(dc, mapBitmap, 0, height, buffer, &info, DIB_RGB_COLORS) == height;
    });
}

bool WriteBitmapPixels(HDC dc, int width, int height, const std::uint8_t* buffer) {
    if (buffer == nullptr) return false;
    const std::size_t bandPixels = static_cast<std::size_t>(width) * kWriteBandRows;
    std::unique_ptr<std::uint32_t[]> band(new (std::nothrow) std::uint32_t[bandPixels]);
    if (!band) return false;
    return WithMapBitmapDeselected(dc, width, height, [&](HBITMAP mapBitmap) {
        BITMAPINFO info = Rgb24Info(width, height);
        info.bmiHeader.biBitCount = 32;
        // Scan line 0 is the bottom row, like row 0 of the buffer.
        for (int first = 0; first < height; first += kWriteBandRows) {
            const int rows = height - first < kWriteBandRows ? height - first : kWriteBandRows;
            const std::uint8_t* from = buffer + 3 * static_cast<std::size_t>(width) * first;
            const std::size_t count = static_cast<std::size_t>(width) * rows;
            for (std::size_t k = 0; k < count; ++k, from += 3) {
                band[k] = from[0] | (static_cast<std::uint32_t>(from[1]) << 8) |
                          (static_cast<std::uint32_t>(from[2]) << 16);
            }
            if (SetDIBits(dc, mapBitmap, first, rows, band.get(), &info, DIB_RGB_COLORS) != rows)
                return false;
        }
        return true;
    });
}

}  // namespace uv
