#include "renderer/BitmapPixels_win.h"

#include "common/WinHandles.h"
#include "renderer/Compositing.h"

namespace uv {
namespace {

BITMAPINFO PixelBufferInfo(int width, int height) {
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;  // positive: bottom-up
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    return info;
}

// A bitmap's bits may not be transferred while it is selected into a DC, so
// a temporary bitmap takes its place for the transfer.
template <typename Transfer>
bool WithMapBitmapDeselected(HDC dc, int width, int height, Transfer transfer) {
    if (dc == nullptr || !IsUsableMapSize(width, height)) return false;
    HBITMAP mapBitmap = static_cast<HBITMAP>(GetCurrentObject(dc, OBJ_BITMAP));
    if (mapBitmap == nullptr) return false;
    UniqueBitmap placeholder(CreateCompatibleBitmap(dc, width, height));
    if (!placeholder) return false;
    ScopedSelect swap(dc, placeholder.get());
    return transfer(mapBitmap);
}

}  // namespace

bool ReadBitmapPixels(HDC dc, int width, int height, std::uint8_t* buffer) {
    if (buffer == nullptr) return false;
    return WithMapBitmapDeselected(dc, width, height, [&](HBITMAP mapBitmap) {
        BITMAPINFO info = PixelBufferInfo(width, height);
        return GetDIBits(dc, mapBitmap, 0, height, buffer, &info, DIB_RGB_COLORS) == height;
    });
}

bool WriteBitmapPixels(HDC dc, int width, int height, const std::uint8_t* buffer) {
    if (buffer == nullptr) return false;
    return WithMapBitmapDeselected(dc, width, height, [&](HBITMAP mapBitmap) {
        BITMAPINFO info = PixelBufferInfo(width, height);
        return SetDIBits(dc, mapBitmap, 0, height, buffer, &info, DIB_RGB_COLORS) == height;
    });
}

}  // namespace uv
